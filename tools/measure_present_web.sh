#!/usr/bin/env bash
# Measures, for the record, what presenting costs the page: the processor time of headless Chromium running the
# page at 1920 x 1080 beside the floor, tools/web/floor.html, which converts and puts the whole canvas each
# frame through the same module, in the same browser; prints both, their frame rates and the ratio (the goal is
# at most 0.35). It asserts nothing. Run from the source tree after building the web preset and scripts/setup.sh:
#   bash tools/measure_present_web.sh [WARM_SECONDS [SECONDS]]   (default 10 and 10)
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
[[ -f build/web/quorvel.wasm ]] || { echo "no page in build/web: cmake --preset web && cmake --build --preset web" >&2; exit 1; }
exec node tools/web/measure_page.mjs build/web "$@"
