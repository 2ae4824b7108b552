#!/usr/bin/env bash
# Installs what is missing, builds the Windows saver and runs it under Wine: on the current display when there
# is one (a mouse click ends it), otherwise on a virtual display, where it takes a screenshot after a few
# seconds and says where it saved it. The 32-bit program runs, or the 64-bit one where the kernel runs no
# 32-bit code.
set -uo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.." || exit 1
root=$PWD

bash scripts/setup.sh || exit 1
preset=win32
wine --version >/dev/null 2>&1 || preset=win64
{ cmake --preset "$preset" && cmake --build --preset "$preset"; } || { echo "the $preset build failed"; exit 1; }

if [[ -n ${DISPLAY:-} ]] && xdotool getdisplaygeometry >/dev/null 2>&1; then
  # A display of the user's own: a prefix of our own beside the builds, made once.
  export QV_NO_INIT=1 QUORVEL_SOURCE_DIR=$root
  source tests/e2e/lib.sh
  if [[ ! -f build/wineprefix-run/.quorvel-run-ready ]]; then
    rm -rf build/wineprefix-run
    qv__prefix "$root/build/wineprefix-run" || exit 1
    touch build/wineprefix-run/.quorvel-run-ready
  fi
  export WINEPREFIX=$root/build/wineprefix-run
  echo "Quorvel runs on $DISPLAY; a mouse click ends it."
  "$QV_WINE" "build/$preset/Quorvel.scr" /s
  exit 0
fi

# No display: a virtual one, set up by the test bench (it cleans up after itself).
export QUORVEL_SOURCE_DIR=$root QUORVEL_WIN32_DIR=$root/build/$preset
source tests/e2e/lib.sh
qv_start_scr /s
qv_wait_until 60 qv_window '^Tavrin_Main$' || qv_fail "the saver window did not appear"
# Let it animate for a few seconds; it must not end by itself meanwhile.
! qv_wait_until 4 qv_not qv_running "$QV_PID" || qv_fail "the saver ended by itself"
mkdir -p build/screenshots
shot=$root/build/screenshots/quorvel-saver.png
qv_screenshot "$shot"
qv_click $((QV_SCREEN_W / 2)) $((QV_SCREEN_H / 2))
qv_wait_exit "$QV_PID" 10 || qv_log "the saver did not end on a click; it is ended with the virtual display"
echo "No display here: Quorvel ran on a virtual ${QV_SCREEN_W}x$QV_SCREEN_H display."
echo "Screenshot after a few seconds: $shot"
