#!/usr/bin/env bash
# Installs what is missing, builds the 32-bit Windows saver and runs it under Wine: on the current
# display when there is one (a mouse click ends it), otherwise on a virtual display, where it takes
# a screenshot after a few seconds and says where it saved it.
set -uo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.." || exit 1
root=$PWD

bash scripts/setup.sh || exit 1
{ cmake --preset win32 && cmake --build --preset win32; } || { echo "the win32 build failed"; exit 1; }

if [[ -n ${DISPLAY:-} ]] && xdotool getdisplaygeometry >/dev/null 2>&1; then
  # A display of the user's own: a prefix of our own beside the builds, made once.
  export QV_NO_INIT=1 QUORVEL_SOURCE_DIR=$root
  source tests/e2e/lib.sh
  qv__prepare_template
  if [[ ! -f build/wineprefix-run/.quorvel-run-ready ]]; then
    rm -rf build/wineprefix-run
    qv__clone_prefix "$QV_TEMPLATE_PREFIX" build/wineprefix-run || exit 1
    touch build/wineprefix-run/.quorvel-run-ready
  fi
  export WINEPREFIX=$root/build/wineprefix-run
  echo "Quorvel runs on $DISPLAY; a mouse click ends it."
  wine build/win32/Quorvel.scr /s
  exit 0
fi

# No display: a virtual one, set up by the test bench (it cleans up after itself).
export QUORVEL_SOURCE_DIR=$root QUORVEL_WIN32_DIR=$root/build/win32
source tests/e2e/lib.sh
qv_start_scr /s
qv_wait_window Tavrin_Main 60 || qv_fail "the saver window did not appear"
# Let it animate for a few seconds, as long as it keeps running.
deadline=$(qv__deadline 4)
while qv__before "$deadline"; do
  qv_running "$QV_PID" || qv_fail "the saver ended by itself"
  sleep 0.2
done
mkdir -p build/screenshots
shot=$root/build/screenshots/quorvel-saver.png
qv_screenshot "$shot" || qv_fail "could not take a screenshot"
qv_click $((QV_SCREEN_W / 2)) $((QV_SCREEN_H / 2))
qv_wait_exit "$QV_PID" 10 || qv_log "the saver did not end on a click; it is ended with the virtual display"
echo "No display here: Quorvel ran on a virtual ${QV_SCREEN_W}x$QV_SCREEN_H display."
echo "Screenshot after a few seconds: $shot"
