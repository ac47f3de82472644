#!/usr/bin/env bash
# Builds the decoder page into dist/web/index.html, with the shipped
# dialects (bitmap.ini and dialects/*.ini) inside it, and takes
# docs/web.png: the purchase sample decoded and explained, as headless
# Chromium shows it.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/wasm.sh
build_dir=${WASM_BUILD:-build-wasm}
shopt -s nullglob
python3 tools/build_page.py web/index.html web/page.css "$build_dir/wasm/iso8583.wasm" "$build_dir/wasm/iso8583.js" \
  wasm/iso8583_api.js web/page.js dist/web/index.html bitmap.ini dialects/*.ini
echo "dist/web/index.html $(stat -c %s dist/web/index.html) bytes"

scripts/browser-tools.sh
node tests/web/screenshot.mjs dist/web/index.html examples/purchase.hex docs/web.png
