#!/usr/bin/env bash
# Measures the WebAssembly build: the npm package's decode of the typical
# purchase request in Node.js against the npm package iso_8583 (installed
# into bench/node at the version its package-lock.json locks, never into
# this project's package), its report against the same calls compiled
# natively (bench/binding_speed.cc, built in build-bench), its lines() and
# its memory, the page opening a file of 10,000 messages and its editor
# repacking the maximal sample in headless Chromium, and the sizes of the
# page and of the package.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/web.sh >/dev/null
scripts/npm.sh >/dev/null
build_dir=${WASM_BUILD:-build-wasm}
version=$(sed -n 's/^project(iso8583tool VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
(cd bench/node && npm ci --no-audit --no-fund --quiet >/dev/null)
generator=$(command -v ninja >/dev/null && echo Ninja || echo "Unix Makefiles")
cmake -S . -B build-bench -G "$generator" -DCMAKE_BUILD_TYPE=Release \
  -DISO8583_BUILD_BENCHMARKS=ON -DISO8583_BUILD_TESTS=OFF >/dev/null
cmake --build build-bench -j "${JOBS:-2}" --target binding_speed >/dev/null

echo "== Node.js $(node --version): decode of examples/purchase.hex against iso_8583"
node bench/node/decode_speed.mjs "$build_dir/npm-package/index.js" examples/purchase.hex \
  build-bench/bench/binding_speed bitmap.ini

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
