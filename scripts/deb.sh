#!/usr/bin/env bash
# Builds the Debian package dist/iso8583tools_VERSION_ARCH.deb with CPack
# from a Release build in build-deb (DEB_BUILD names another folder): the
# programs, their manual pages, the sample definitions and messages. Its
# Depends field comes from the libraries the programs link (dpkg-shlibdeps).
set -euo pipefail
cd "$(dirname "$0")/.."

build_dir=${DEB_BUILD:-build-deb}
generator=()
command -v ninja >/dev/null && generator=(-G Ninja)

cmake -S . -B "$build_dir" "${generator[@]}" -DCMAKE_BUILD_TYPE=Release \
  -DISO8583_BUILD_TESTS=OFF >/dev/null
cmake --build "$build_dir" -j "$(nproc)"
rm -rf "$build_dir/package"
(cd "$build_dir" && cpack -G DEB -B "$PWD/package" >/dev/null)

mkdir -p dist
for deb in "$build_dir"/package/*.deb; do
  cp "$deb" dist/
  echo "dist/$(basename "$deb")"
done
