#!/usr/bin/env bash
# Installs puppeteer-core, at the version that tests/web/package-lock.json
# locks, for driving headless Chromium (the page's tests, its screenshot
# and its benchmark).
set -euo pipefail
cd "$(dirname "$0")/../tests/web"
if [ ! -d node_modules/puppeteer-core ] || [ package-lock.json -nt node_modules/.package-lock.json ]; then
  npm ci --no-audit --no-fund --quiet >/dev/null
fi
