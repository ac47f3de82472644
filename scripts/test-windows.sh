#!/usr/bin/env bash
# Runs the window program's tests (after scripts/build-windows.sh): builds
# iso8583dump for this machine to write the reports the window must show,
# then runs CTest in build-win64 on a private 1024x768 Xvfb screen with a
# fresh Wine prefix and a non-Chinese locale.
set -euo pipefail
cd "$(dirname "$0")/.."

if [ ! -f build-win64/CTestTestfile.cmake ] || [ ! -f build-win32/ui/iso8583tool.exe ]; then
  echo "test-windows: build the Windows programs first (scripts/build-windows.sh)" >&2
  exit 1
fi

generator=()
command -v ninja >/dev/null && generator=(-G Ninja)
cmake -S . -B build-host "${generator[@]}" -DCMAKE_BUILD_TYPE=Release \
  -DISO8583_BUILD_TESTS=OFF >/dev/null
cmake --build build-host --target iso8583dump -j "$(nproc)" >/dev/null
# Both builds from the same sources, so that the reports can agree.
cmake build-win64 -DISO8583_HOST_DUMP="$PWD/build-host/cli/iso8583dump" >/dev/null
cmake --build build-win64 -j "$(nproc)" >/dev/null

. tests/windows/wine_session.sh
start_wine_session 1024x768
ctest --test-dir build-win64 --output-on-failure
