#!/usr/bin/env bash
# Tests the page that scripts/web.sh built in headless Chromium, against
# iso8583dump and iso8583pack of the build in BUILD (default build).
set -euo pipefail
cd "$(dirname "$0")/.."

[ -f dist/web/index.html ] || { echo "test-web: dist/web/index.html is missing; run scripts/web.sh" >&2; exit 1; }
scripts/browser-tools.sh
PAGE=$PWD/dist/web/index.html ISO8583DUMP=$PWD/${BUILD:-build}/cli/iso8583dump \
  ISO8583PACK=$PWD/${BUILD:-build}/cli/iso8583pack SOURCE_DIR=$PWD \
  node --test tests/web/page.test.mjs
