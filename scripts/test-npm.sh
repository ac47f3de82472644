#!/usr/bin/env bash
# Tests the npm package that scripts/npm.sh made, as a user installs it:
# the tarball goes into a scratch project (a local tarball needs no
# registry), and Node's test runner compares it there with iso8583dump and
# iso8583pack of the build in BUILD (default build), also on the messages
# of the fuzz corpora.
set -euo pipefail
cd "$(dirname "$0")/.."

version=$(sed -n 's/^project(iso8583tool VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
tarball=$PWD/dist/iso8583tools-$version.tgz
build_dir=$PWD/${BUILD:-build}
[ -f "$tarball" ] || { echo "test-npm: $tarball is missing; run scripts/npm.sh" >&2; exit 1; }

project=$(mktemp -d)
trap 'rm -rf "$project"' EXIT
cp tests/npm/*.test.mjs "$project/"
(
  cd "$project"
  echo '{ "name": "scratch", "private": true, "type": "module" }' >package.json
  npm install --offline --no-audit --no-fund --quiet "$tarball" >/dev/null
  ISO8583DUMP=$build_dir/cli/iso8583dump ISO8583PACK=$build_dir/cli/iso8583pack \
    SAMPLES=$OLDPWD/examples CORPUS=$OLDPWD/fuzz/corpus node --test ./*.test.mjs
)
