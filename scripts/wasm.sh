#!/usr/bin/env bash
# Builds the library as WebAssembly with emscripten in build-wasm (WASM_BUILD
# names another folder): wasm/iso8583.wasm and its loader wasm/iso8583.js,
# for the page and the npm package.
set -euo pipefail
cd "$(dirname "$0")/.."

build_dir=${WASM_BUILD:-build-wasm}
# Debian's emscripten runs its JavaScript optimizer on Debian's acorn.
export NODE_PATH=${NODE_PATH:-/usr/share/nodejs}
generator=()
command -v ninja >/dev/null && generator=(-G Ninja)

# emcmake names its configure command on standard error; only a failure
# is shown, with what the configure or the build wrote.
log=$(mktemp)
trap 'rm -f "$log"' EXIT
emcmake cmake -S . -B "$build_dir" "${generator[@]}" -DCMAKE_BUILD_TYPE=Release >"$log" 2>&1 ||
  { cat "$log" >&2; exit 1; }
cmake --build "$build_dir" -j "${JOBS:-2}" --target iso8583 >"$log" 2>&1 || { cat "$log" >&2; exit 1; }
