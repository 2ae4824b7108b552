#!/usr/bin/env bash
# Two monitors, 1024x768 and 800x600 to its right: the saver's window covers both (the 1824x768 virtual screen),
# both show only black and the sheets' colours, a crawler reaches the second one, and a click there ends it.
set -uo pipefail
QV_TWO_MONITORS=1
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

qv_colours "$QV_SRC/assets/sheet_green.bmp" | awk '{ print $2 }' >"$QV_TMP/sheets"
qv_colours "$QV_SRC/assets/sheet_cyan.bmp" | awk '{ print $2 }' >>"$QV_TMP/sheets"
sort -u "$QV_TMP/sheets" <(echo 000000) >"$QV_TMP/allowed"

qv_start_scr /s
SAVER=$QV_PID
qv_wait_until 20 qv_window '^Tavrin_Main$' || qv_fail "no saver window"
# Wine may map the window before it has its final place; what counts is where it settles.
placed() { qv_geometry "$QV_WINDOW" && [[ "$QV_GEOM_X,$QV_GEOM_Y ${QV_GEOM_W}x$QV_GEOM_H" == "0,0 1824x768" ]]; }
qv_wait_until 5 placed ||
  qv_fail "the saver window lies at $QV_GEOM_X,$QV_GEOM_Y ${QV_GEOM_W}x$QV_GEOM_H, not over both monitors"
qv_pass "the saver window covers both monitors: 0,0 1824x768"

shots=0
# A screenshot of each monitor: nothing but black and the sheets' colours; true once the second shows a crawler.
second_lit() {
  local shot=$QV_TMP/shot.png region foreign
  qv_screenshot "$shot"
  shots=$((shots + 1))
  for region in "0 0 1024 768" "1024 0 800 600"; do
    # shellcheck disable=SC2086
    foreign=$(qv_colours "$shot" $region | awk '{ print $2 }' | sort | comm -23 - "$QV_TMP/allowed" | head -3)
    [[ -z $foreign ]] || { cp "$shot" "$QV_ARTIFACTS/"; qv_fail "screenshot $shots shows $(echo $foreign) at $region"; }
  done
  qv_running "$SAVER" || qv_fail "the saver ended by itself"
  (($(qv_colours "$shot" 1024 0 800 600 | awk '$2 != "000000" { n += $1 } END { print n + 0 }') > 200))
}
qv_wait_until 90 second_lit || qv_fail "no crawler reached the second monitor in $shots screenshots"
cp "$QV_TMP/shot.png" "$QV_ARTIFACTS/second_monitor.png"
qv_pass "both monitors show only black and the crawlers; a crawler reached the second after $shots screenshots"

qv_click 1500 300
qv_wait_exit "$SAVER" "$QV_ENDS_WITHIN" ||
  qv_fail "the saver was still running $QV_ENDS_WITHIN s after a click on the second monitor"
qv_pass "a click on the second monitor ended the saver"
qv_done
