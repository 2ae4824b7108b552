#!/usr/bin/env bash
# Installs what is missing, builds the Windows saver and runs it under Wine: on the current display when there
# is one (a mouse click ends it), otherwise on a virtual display, where it takes a screenshot once both crawlers
# are on the screen and a few seconds' animation after it, and says where it saved them. The 32-bit program
# runs, or the 64-bit one where the kernel runs no 32-bit code.
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
  source scripts/lib/bench.sh
  if [[ ! -f build/wineprefix-run/.quorvel-run-ready ]]; then
    rm -rf build/wineprefix-run
    qv_make_prefix "$root/build/wineprefix-run" || exit 1
    touch build/wineprefix-run/.quorvel-run-ready
  fi
  export WINEPREFIX=$root/build/wineprefix-run
  echo "Quorvel runs on $DISPLAY; a mouse click ends it."
  qv_wine "build/$preset/Quorvel.scr" /s
  exit 0
fi

# No display: a virtual one, set up by the bench (it cleans up after itself).
export QUORVEL_SOURCE_DIR=$root QUORVEL_WIN32_DIR=$root/build/$preset
source scripts/lib/bench.sh
qv_start_scr /s
qv_wait_until 60 qv_window '^Tavrin_Main$' || qv_fail "the saver window did not appear"
mkdir -p build/screenshots
shot=$root/build/screenshots/quorvel-saver.png anim=$root/build/screenshots/quorvel-saver.gif
# The crawlers come in at opposite corners one after the other. At the default settings two of them well inside
# the 1024x768 screen light some 40000 pixels; one that has just come in at its corner lights a few thousand.
both_in() {
  qv_running "$QV_PID" || qv_fail "the saver ended by itself"
  qv_screenshot "$shot"
  (($(convert "$shot" -colorspace gray -threshold 8% -format '%[fx:round(mean*w*h)]' info:) >= 40000))
}
qv_wait_until 90 both_in || qv_log "the crawlers lit fewer pixels than expected; the screenshot shows them as they are"
# A short animation from here on: what the screen shows for a few seconds, at half size.
frames=$QV_TMP/frames started=$(date +%s%3N)
mkdir -p "$frames"
for i in $(seq 100 139); do qv_screenshot "$frames/$i.png"; done
delay=$((($(date +%s%3N) - started) / 400))
convert -delay "$delay" -loop 0 "$frames"/*.png -resize 50% -layers Optimize "$anim"
qv_click $((QV_SCREEN_W / 2)) $((QV_SCREEN_H / 2))
qv_wait_exit "$QV_PID" 10 || qv_log "the saver did not end on a click; it is ended with the virtual display"
echo "No display here: Quorvel ran on a virtual ${QV_SCREEN_W}x$QV_SCREEN_H display."
echo "Screenshot with both crawlers on the screen: $shot"
echo "A few seconds of it, as an animation: $anim"
