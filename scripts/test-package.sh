#!/usr/bin/env bash
# Tests the Debian package that scripts/deb.sh made, as a fresh Debian 12
# would use it: its file name and the programs' --version and manual pages
# carry the version of CMakeLists.txt, its Depends names libpcap, apt can
# install it, and the programs unpacked into a scratch root decode and pack
# a sample from the installed files, guess the dialects of samples from the
# installed dialects and sample definitions, and, where bitmap.ini is
# missing, tell where the installed sample is.
set -euo pipefail
cd "$(dirname "$0")/.."

version=$(sed -n 's/^project(iso8583tool VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
deb=dist/iso8583tools_${version}_$(dpkg --print-architecture).deb
[ -f "$deb" ] || { echo "test-package: $deb is missing; run scripts/deb.sh" >&2; exit 1; }

failures=0
# check WHAT COMMAND...: runs the command and counts it as failed unless it succeeds.
check() {
  local what=$1
  shift
  if "$@"; then
    echo "ok: $what"
  else
    echo "FAILED: $what"
    failures=$((failures + 1))
  fi
}

quietly() { "$@" >/dev/null 2>&1; }

echo "testing $deb"
check "Depends names libpcap" grep -q libpcap <<<"$(dpkg-deb -f "$deb" Depends)"
if [ "$(id -u)" -eq 0 ]; then
  check "apt can install it with its dependencies" quietly apt-get install --simulate "./$deb"
fi

root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
dpkg-deb -x "$deb" "$root"
bin=$root/usr/bin
share=$root/usr/share/iso8583tools
for program in iso8583dump iso8583pack; do
  check "$program --version says $version" test "$("$bin/$program" --version)" = "$program $version"
  check "the manual page $program(1) of $version" \
    grep -q "^\.TH ${program^^} \"1\" .* \"$program $version\"" <<<"$(zcat "$root/usr/share/man/man1/$program.1.gz")"
done
doc=$root/usr/share/doc/iso8583tools
check "the copyright file names the Apache licence" grep -q '^License: Apache-2.0' "$doc/copyright"
check "the third-party notices and the LGPL they name" \
  test -s "$doc/THIRD-PARTY-NOTICES.txt" -a -s "$doc/licenses/LGPL-2.1.txt"
check "the manual page bitmap.ini(5)" \
  grep -q '^\.TH BITMAP\.INI 5' <<<"$(zcat "$root/usr/share/man/man5/bitmap.ini.5.gz")"

# In a folder without bitmap.ini, as a user starts out.
mkdir "$root/work"
cd "$root/work"
report=$("$bin/iso8583dump" --defs "$share/bitmap.ini" "$share/examples/purchase.hex")
check "a sample decodes with the installed definitions" grep -qx "解包成功" <<<"$report"
packed=$("$bin/iso8583dump" --defs "$share/bitmap.ini" --json "$share/examples/purchase.hex" |
  "$bin/iso8583pack" --defs "$share/bitmap.ini")
check "it packs back to the sample" test "$packed" = "$(tr -d ' \r\n' <"$share/examples/purchase.hex")"
report=$("$bin/iso8583dump" --defs unionpay-pos "$share/examples/unionpay-pos.hex")
check "a shipped dialect is found by its name" grep -qx "解包成功" <<<"$report"
check "every shipped dialect is listed" test "$("$bin/iso8583dump" --dialects | wc -l)" -eq 5
guess=$("$bin/iso8583dump" --guess "$share/examples/unionpay-pos.hex")
check "the guess finds the shipped dialect without a bitmap.ini" \
  test "$(tail -n 1 <<<"$guess")" = "decode with: --defs unionpay-pos"
guess=$("$bin/iso8583dump" --guess "$share/examples/purchase.hex")
check "the guess finds the installed sample" \
  test "$(tail -n 1 <<<"$guess")" = "decode with: --defs bitmap"
notes=$("$bin/iso8583dump" "$share/examples/purchase.hex" 2>&1 >/dev/null || true)
check "a missing bitmap.ini points to the installed sample" \
  grep -qF "a sample bitmap.ini is installed as $share/bitmap.ini" <<<"$notes"

[ "$failures" -eq 0 ] || { echo "$failures package checks failed" >&2; exit 1; }
