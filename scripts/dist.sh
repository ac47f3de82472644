#!/usr/bin/env bash
# Packs dist/iso8583tool-VERSION-win32.zip from the 32-bit build (after
# scripts/build-windows.sh): the window program, the command-line decoder
# and packer, the sample definitions, the shipped dialects in dialects\,
# the icon, and with Windows line ends a note for Windows users, the
# licence and the third-party notices with the licence texts they name.
# VERSION is the one the programs were built with.
set -euo pipefail
cd "$(dirname "$0")/.."

build="build-win32"
files=("$build/ui/iso8583tool.exe" "$build/ui/trevask.ico" bitmap.ini)
for program in iso8583dump iso8583pack; do
  if [ -f "$build/cli/$program.exe" ]; then
    files+=("$build/cli/$program.exe")
  else
    echo "dist: $build/cli/$program.exe was not built; packing without it" >&2
  fi
done
for file in "${files[@]}"; do
  [ -f "$file" ] || { echo "dist: $file is missing; run scripts/build-windows.sh" >&2; exit 1; }
done
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
zip_file="dist/iso8583tool-$version-win32.zip"

staging=$(mktemp -d)
trap 'rm -rf "$staging"' EXIT
cp "${files[@]}" "$staging/"
sed 's/\r*$/\r/' ui/README-windows.txt >"$staging/README-windows.txt"
sed 's/\r*$/\r/' LICENSE >"$staging/LICENSE.txt"
sed 's/\r*$/\r/' THIRD-PARTY-NOTICES.txt >"$staging/THIRD-PARTY-NOTICES.txt"
mkdir "$staging/licenses"
sed 's/\r*$/\r/' licenses/LGPL-2.1.txt >"$staging/licenses/LGPL-2.1.txt"
sed -i 's/\r*$/\r/' "$staging/bitmap.ini"
mkdir "$staging/dialects"
for dialect in dialects/*.ini; do
  sed 's/\r*$/\r/' "$dialect" >"$staging/$dialect"
done

mkdir -p dist
rm -f "$zip_file"
(cd "$staging" && zip -q -X -D -r "$OLDPWD/$zip_file" ./*)
unzip -l "$zip_file"
