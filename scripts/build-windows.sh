#!/usr/bin/env bash
# Cross-compiles the Windows programs with mingw-w64: the shipped 32-bit
# iso8583tool.exe and iso8583dump.exe in build-win32, and their 64-bit
# twins with the window tests in build-win64 (scripts/test-windows.sh runs
# them under Wine). Each program carries the compiler's runtime inside.
set -euo pipefail
cd "$(dirname "$0")/.."

generator=()
command -v ninja >/dev/null && generator=(-G Ninja)

cmake -S . -B build-win32 "${generator[@]}" -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE=cmake/i686-w64-mingw32.cmake -DISO8583_BUILD_TESTS=OFF >/dev/null
cmake --build build-win32 -j "$(nproc)"

cmake -S . -B build-win64 "${generator[@]}" -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE=cmake/x86_64-w64-mingw32.cmake -DISO8583_BUILD_TESTS=ON \
  -DISO8583_SHIPPED_DIR="$PWD/build-win32" >/dev/null
cmake --build build-win64 -j "$(nproc)"
