#!/usr/bin/env bash
# Packs dist/iso8583tool-win32.zip from the 32-bit build (after
# scripts/build-windows.sh): the window program, the command-line decoder,
# the sample definitions, the icon and a note for Windows users with
# Windows line ends.
set -euo pipefail
cd "$(dirname "$0")/.."

build="build-win32"
files=("$build/ui/iso8583tool.exe" "$build/ui/trevask.ico" bitmap.ini)
if [ -f "$build/cli/iso8583dump.exe" ]; then
  files+=("$build/cli/iso8583dump.exe")
else
  echo "dist: $build/cli/iso8583dump.exe was not built; packing without it" >&2
fi
for file in "${files[@]}"; do
  [ -f "$file" ] || { echo "dist: $file is missing; run scripts/build-windows.sh" >&2; exit 1; }
done

staging=$(mktemp -d)
trap 'rm -rf "$staging"' EXIT
cp "${files[@]}" "$staging/"
sed 's/\r*$/\r/' ui/README-windows.txt >"$staging/README-windows.txt"
sed -i 's/\r*$/\r/' "$staging/bitmap.ini"

mkdir -p dist
rm -f dist/iso8583tool-win32.zip
(cd "$staging" && zip -q -X -D "$OLDPWD/dist/iso8583tool-win32.zip" ./*)
unzip -l dist/iso8583tool-win32.zip
