#!/usr/bin/env bash
# The settings dialog from the keyboard (xdotool): Tab and Shift+Tab go round the three sliders and the two buttons
# in reading order, a focused button showing the focused skin; the focused slider takes Right, Home, End and Page
# Down; Enter means Set except on a focused button, which Enter and Space click; Escape and Alt+F4 mean Cancel.
set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
source "$(dirname "${BASH_SOURCE[0]}")/helpers/dialog.sh"
NAME='Quorvelの設定' TITLE='^Quorvelの設定$'
SIZE='ScrollBar Tavrinの大きさ' LENGTH='ScrollBar Tavrinの長さ' SPEED='ScrollBar Tavrinのｽﾋﾟｰﾄﾞ'
SET='Tavrin.Command 設定' CANCEL='Tavrin.Command ｷｬﾝｾﾙ' SKIN=$QV_SRC/assets/skin_selected.bmp
layout 96

focus_on() { window_state "$NAME" && [[ $(state_of focus) == "$1" ]]; }
# keys_to KEY... FOCUS: presses the keys and waits until FOCUS ("CLASS TEXT") has the focus.
keys_to() {
  qv_key "${@:1:$#-1}"
  qv_wait_until 5 focus_on "${*: -1}" || qv_fail "after $*: the focus is on '$(state_of focus)'"
}
unchanged() { cmp -s "$QV_TMP/saved.ini" "$QV_INI" || qv_fail "$1 changed the settings file"; }

open_dialog "Enter"
keys_to Tab "$SIZE"
qv_key Right Right Right Return
ended "Enter on the size slider"
expect_ini "$QV_INI" 78 100 100 "Tab, Right three times and Enter"
cp "$QV_INI" "$QV_TMP/saved.ini"

for key in Escape alt+F4; do
  open_dialog "$key"
  keys_to Tab "$SIZE"
  qv_key Right
  follows lbl_Size "Right"
  qv_key "$key"
  ended "$key"
  unchanged "$key after Right"
done

open_dialog "Space"
for focus in "$SIZE" "$LENGTH" "$SPEED" "$SET" "$CANCEL"; do keys_to Tab "$focus"; done
# The focused look, straight from the skin: the top edge across the middle of the button.
read -r x y w _ <<<"${RECT[Cmd_Can]}"
qv_screenshot "$SHOT"
[[ $(qv_colours "$SHOT" $((CX + x + w / 2)) $((CY + y)) 1 4) == $(qv_colours "$SKIN" 32 0 1 4) ]] ||
  qv_fail "Cancel, focused by the keyboard, does not show the focused skin"
keys_to shift+Tab "$SET"
keys_to shift+Tab shift+Tab shift+Tab shift+Tab "$CANCEL"
qv_pass "Tab and Shift+Tab go round size, length, speed, Set and Cancel; Cancel focused shows the focused skin"
qv_key space
ended "Space on Cancel"
unchanged "Space on Cancel"
open_dialog "Enter on Cancel"
keys_to shift+Tab "$CANCEL"
qv_key Return
ended "Enter on Cancel"
unchanged "Enter on Cancel"
qv_pass "Escape and Alt+F4 after a change, Space and Enter on a focused Cancel: closed, nothing written"

open_dialog "Home, End and Page Down"
keys_to Tab "$SIZE" && qv_key End
keys_to Tab "$LENGTH" && qv_key Home
keys_to Tab "$SPEED" && qv_key Next
keys_to Tab "$SET"
qv_key Return
ended "Enter on Set"
expect_ini "$QV_INI" 150 50 110 "End on size, Home on length, Page Down on speed and Enter on Set"
