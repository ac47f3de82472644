#!/usr/bin/env bash
# Installs, on Debian 12, the packages that building and testing need, when
# one is missing (`install-deps.sh build`: only those that building
# iso8583dump needs; `install-deps.sh deb`: those and the ones making the
# Debian package): compilers, RapidJSON, libpcap, the iso-codes data,
# help2man for the manual pages, the tools the Debian package is made with,
# GoogleTest, Google Benchmark, clang with libFuzzer and the sanitizer
# runtimes, the mingw-w64 cross compilers, wine64 with Xvfb and a Chinese
# font for the window tests, the dump tools the hexdump tests run, jq for
# the README's commands, and libtins and tshark, which the benchmarks
# measure against. `install-deps.sh web` installs what the page and the npm
# package need: emscripten (with the acorn parser its optimizer runs on),
# Node.js with npm, and Chromium for the page's tests.
set -euo pipefail

# `build` is what building iso8583dump needs; the default is everything.
build_packages=(cmake ninja-build g++ make python3 rapidjson-dev libpcap-dev iso-codes help2man)
deb_packages=(dpkg-dev file)
web_packages=(emscripten node-acorn chromium fonts-wqy-microhei xxd)
# Node.js may come with its own npm, which Debian's npm package would clash with.
command -v npm >/dev/null || web_packages+=(nodejs npm)
if [ "${1:-all}" = build ]; then
  packages=("${build_packages[@]}")
elif [ "${1:-all}" = deb ]; then
  packages=("${build_packages[@]}" "${deb_packages[@]}")
elif [ "${1:-all}" = web ]; then
  packages=("${build_packages[@]}" "${web_packages[@]}")
else
  packages=(
    "${build_packages[@]}"
    "${deb_packages[@]}"
    "${web_packages[@]}"
    libgtest-dev libgmock-dev libbenchmark-dev xxd bsdextrautils jq
    libtins-dev pkg-config tshark
    clang libclang-rt-14-dev
    g++-mingw-w64-i686 g++-mingw-w64-x86-64 binutils-mingw-w64-i686
    wine64 xvfb x11-utils fonts-wqy-microhei
    imagemagick zip unzip time
  )
fi

missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
    missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -ne 0 ]; then
  echo "missing packages: ${missing[*]} (run as root to install them)" >&2
  exit 1
fi
echo "installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq "${missing[@]}" >/dev/null
