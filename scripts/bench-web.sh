#!/usr/bin/env bash
# Measures the WebAssembly build: the npm package's decode of the typical
# purchase request in Node.js against the npm package iso_8583 (installed
# into bench/node at the version its package-lock.json locks, never into
# this project's package), the page opening a file of 10,000 messages and
# its editor repacking the maximal sample in headless Chromium, and the
# sizes of the page and of the package.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/web.sh >/dev/null
scripts/npm.sh >/dev/null
build_dir=${WASM_BUILD:-build-wasm}
version=$(sed -n 's/^project(iso8583tool VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
(cd bench/node && npm ci --no-audit --no-fund --quiet >/dev/null)

echo "== Node.js $(node --version): decode of examples/purchase.hex against iso_8583"
node bench/node/decode_speed.mjs "$build_dir/npm-package/index.js" examples/purchase.hex

echo
echo "== the page in headless Chromium"
messages=$build_dir/messages-10000.txt
awk '{ line[NR] = $0 } END { for (k = 0; k < 10000; ++k) print line[k % NR + 1] }' \
  examples/purchase.hex examples/response.hex examples/reversal.hex >"$messages"
node bench/node/page_speed.mjs dist/web/index.html "$messages"

echo
echo "== sizes (goal: the page's files under 1 MB in all)"
tarball=dist/iso8583tools-$version.tgz
for file in dist/web/index.html "$tarball" "$build_dir/wasm/iso8583.wasm" "$build_dir/wasm/iso8583.js"; do
  printf '%-40s %9d bytes, %9d gzipped\n' "$file" "$(stat -c %s "$file")" "$(gzip -9c "$file" | wc -c)"
done
