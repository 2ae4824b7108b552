#!/usr/bin/env bash
# The page in headless Chromium (Debian's chromium, driven by puppeteer-core from tests/web): crawlers in the green
# sheet's colours on black, settings from the address bounded and defaulted, a slider rebuilding the saver and kept
# over a reload, resizes and a device pixel ratio of 2, the changed rectangles against a whole put, a browser
# without WebAssembly, and no console error or request outside the page's origin (tests/web/page_test.mjs).
# QUORVEL_WEB_DIR names the built page (default build/web). A missing page or puppeteer-core fails the test.
set -uo pipefail
QV_NO_INIT=1
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
web=${QUORVEL_WEB_DIR:-$QV_BUILD/web}
for file in index.html page.js quorvel.js quorvel.wasm; do
  [[ -f $web/$file ]] || qv_fail "no $web/$file: build the page with cmake --preset web && cmake --build --preset web"
done
[[ -f $QV_SRC/tests/web/node_modules/puppeteer-core/package.json ]] ||
  qv_fail "puppeteer-core is not installed in tests/web: run scripts/setup.sh"
command -v "${QUORVEL_CHROMIUM:-/usr/bin/chromium}" >/dev/null || qv_fail "no Chromium at ${QUORVEL_CHROMIUM:-/usr/bin/chromium}"
node "$QV_SRC/tests/web/page_test.mjs" "$web" "$QV_SRC"
qv_done
