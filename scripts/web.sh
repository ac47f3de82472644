#!/usr/bin/env bash
# Builds the decoder page into dist/web/index.html, with the shipped
# dialects (bitmap.ini and dialects/*.ini) and their samples inside it, and
# takes docs/web.png and docs/web-editor.png as headless Chromium shows
# them: the purchase sample decoded and explained, and the editor.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/wasm.sh
build_dir=${WASM_BUILD:-build-wasm}
shopt -s nullglob
# Each dialect's sample has its name; the repository's bitmap.ini has four.
samples=(bitmap:examples/{purchase,response,reversal,maximal}.hex)
for dialect in dialects/*.ini; do
  name=$(basename "$dialect" .ini)
  samples+=("$name:examples/$name.hex")
done
python3 tools/build_page.py web/index.html web/page.css "$build_dir/wasm/iso8583.wasm" "$build_dir/wasm/iso8583.js" \
  dist/web/index.html --scripts wasm/iso8583_compare.js wasm/json_record.js wasm/message_lines.js wasm/iso8583_api.js web/editor.js web/dialect_hint.js web/comparison_views.js web/page.js \
  --dialects bitmap.ini dialects/*.ini --samples "${samples[@]}"
echo "dist/web/index.html $(stat -c %s dist/web/index.html) bytes"

scripts/browser-tools.sh
node tests/web/screenshot.mjs dist/web/index.html examples/purchase.hex docs/web.png docs/web-editor.png
