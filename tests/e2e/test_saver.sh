#!/usr/bin/env bash
# Saver mode: screenshots show crawlers in the green sheet's colours on black, the two apart at some point; keys
# and mouse movement leave it running; a click ends it promptly and leaves a black screen; a right click
# in its first moments ends it too.
set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

sheet_colours() { qv_colours "$QV_SRC/assets/sheet_$1.bmp" | awk '{ print $2 }' | sort -u; }
sheet_colours green >"$QV_TMP/green"
(($(wc -l <"$QV_TMP/green") > 5)) || qv_fail "could not read the colours of the green sheet"
# Each frame presents the cyan buffer and then the green one over it: a screenshot taken between the two copies
# may catch cyan, but what stays on the screen is green.
sheet_colours cyan | comm -23 - "$QV_TMP/green" >"$QV_TMP/cyan_only"
sort -u "$QV_TMP/green" "$QV_TMP/cyan_only" <(echo 000000) >"$QV_TMP/allowed"

# Only the heads carry pure white (their eyes), and the two eyes of one head fall into one patch of neighbouring
# 16 x 16 cells, so two patches are two heads apart.
heads() {
  convert "$1" -alpha off -fill black +opaque '#FFFFFF' -scale 6.25% -threshold 0 \
    -define connected-components:verbose=true -connected-components 8 null: 2>/dev/null | grep -c 'srgb(255,255,255)'
}

shots=0 lit=0 between=0 apart=0
look() {
  local shot=$QV_TMP/shot.png foreign
  qv_screenshot "$shot"
  shots=$((shots + 1))
  qv_colours "$shot" | awk '{ print $2 }' | sort >"$QV_TMP/shown"
  foreign=$(comm -23 "$QV_TMP/shown" "$QV_TMP/allowed" | head -5 | tr '\n' ' ')
  [[ -z $foreign ]] || { cp "$shot" "$QV_ARTIFACTS/"; qv_fail "screenshot $shots shows foreign colours $foreign"; }
  [[ -n $(comm -12 "$QV_TMP/shown" "$QV_TMP/cyan_only") ]] && between=$((between + 1))
  grep -qvx 000000 "$QV_TMP/shown" && lit=$((lit + 1))
  ((apart)) || { (($(heads "$shot") >= 2)) && apart=1 && cp "$shot" "$QV_ARTIFACTS/apart.png"; }
  qv_running "$SAVER" || qv_fail "the saver ended by itself after $shots screenshots"
  ((shots >= 12 && apart))
}

qv_start_scr /s
SAVER=$QV_PID
qv_wait_until 20 qv_window '^Tavrin_Main$' || qv_fail "no saver window"
qv_wait_until 40 look || qv_fail "the two crawlers never showed apart in $shots screenshots"
((between * 3 <= shots)) || qv_fail "$between of $shots screenshots show the cyan buffer on top"
((lit * 2 > shots)) || qv_fail "crawlers showed in only $lit of $shots screenshots"
qv_pass "$shots screenshots show crawlers ($lit) in the sheets' colours on black, both apart at some point"

qv_key a space Return Escape Tab shift F1
for point in "10 10" "500 400" "1000 700" "512 384"; do qv_move $point; done
! qv_wait_until 2 qv_not qv_running "$SAVER" || qv_fail "keys or mouse movement ended the saver"
qv_pass "key presses and mouse movement leave the saver running"

qv_click 400 300
qv_wait_exit "$SAVER" "$QV_ENDS_WITHIN" || qv_fail "the saver was still running $QV_ENDS_WITHIN s after a click"
qv_wait_until 2 qv_not qv_window '^Tavrin_Main$' || qv_fail "the saver window stayed after the program ended"
qv_screenshot "$QV_TMP/after.png"
[[ $(qv_colours "$QV_TMP/after.png" | awk '{ print $2 }') == 000000 ]] || qv_fail "the screen is not black after the saver"
qv_pass "a click ended the saver within $QV_ENDS_WITHIN s and left a black screen"

qv_start_scr /s
qv_wait_until 20 qv_window '^Tavrin_Main$' || qv_fail "no saver window on the second start"
qv_click 700 500 3
qv_wait_exit "$QV_PID" "$QV_ENDS_WITHIN" ||
  qv_fail "the saver was still running $QV_ENDS_WITHIN s after a right click in its first moments"
qv_pass "a right click in the first moments ended the saver within $QV_ENDS_WITHIN s"
qv_done
