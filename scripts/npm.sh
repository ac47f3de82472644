#!/usr/bin/env bash
# Builds the npm package dist/iso8583tools-VERSION.tgz: the WebAssembly
# module with its loader, the decoder's JavaScript (the guess and the
# comparison too) and types, the licence, and the shipped dialects
# (bitmap.ini and dialects/*.ini). The version is the one of
# CMakeLists.txt.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/wasm.sh
build_dir=${WASM_BUILD:-build-wasm}
version=$(sed -n 's/^project(iso8583tool VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
stage=$build_dir/npm-package
rm -rf "$stage"
mkdir -p "$stage/dialects" dist
cp npm/index.js npm/index.d.ts npm/README.md LICENSE wasm/iso8583_api.js wasm/json_record.js \
  wasm/message_lines.js "$stage/"
cp "$build_dir/wasm/iso8583.js" "$stage/iso8583.cjs"
cp "$build_dir/wasm/iso8583.wasm" "$stage/iso8583.wasm"
cp bitmap.ini "$stage/dialects/"
cp wasm/iso8583_compare.js npm/guess.js "$stage/"
shopt -s nullglob
for dialect in dialects/*.ini; do cp "$dialect" "$stage/dialects/"; done
sed "s/@VERSION@/$version/" npm/package.json.in >"$stage/package.json"
(cd "$stage" && npm pack --quiet --pack-destination "$OLDPWD/dist" >/dev/null)
echo "dist/iso8583tools-$version.tgz $(stat -c %s "dist/iso8583tools-$version.tgz") bytes"
