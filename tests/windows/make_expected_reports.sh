#!/bin/sh
# Writes the reports that the window's output box must show, as
# iso8583dump --raw prints them for the same messages, into OUT_DIR:
#   make_expected_reports.sh SOURCE_DIR OUT_DIR ISO8583DUMP
# NAME.report for each sample message NAME (unionpay-pos and layouts-example
# with their dialects);
# purchase-cp936.hex, the purchase message followed by a Chinese character
# in code page 936; purchase-undefined.report, the purchase message with no
# definitions (an empty definition file: iso8583dump refuses a missing one).
set -eu
source_dir=$1
out=$2
dump=${3:-}
if [ ! -x "$dump" ]; then
  echo "no iso8583dump for this machine: configure with -DISO8583_HOST_DUMP=PATH" \
    "(scripts/test-windows.sh does)" >&2
  exit 1
fi
mkdir -p "$out"

# iso8583dump exits 0 or 1 after printing a report, 2 when it printed none.
decode() {
  status=0
  "$dump" --raw "$@" || status=$?
  [ "$status" -le 1 ] || { echo "iso8583dump $* printed no report" >&2; exit 1; }
}

for name in purchase response reversal; do
  decode --defs "$source_dir/bitmap.ini" "$source_dir/examples/$name.hex" >"$out/$name.report"
done

for dialect in unionpay-pos layouts-example; do
  decode --defs "$source_dir/dialects/$dialect.ini" "$source_dir/examples/$dialect.hex" \
    >"$out/$dialect.report"
done

# 中 is D6 D0 in code page 936.
{ tr -d '\r\n' <"$source_dir/examples/purchase.hex"; printf '\326\320'; } >"$out/purchase-cp936.hex"

: >"$out/empty-bitmap.ini"
decode --defs "$out/empty-bitmap.ini" "$source_dir/examples/purchase.hex" \
  >"$out/purchase-undefined.report"
