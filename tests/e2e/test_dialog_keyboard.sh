#!/usr/bin/env bash
# The settings dialog from the keyboard, and owned by the window that opened it. Keys (xdotool): Tab and Shift+Tab
# go round the three sliders and the two buttons in reading order, a focused button showing the focused skin; the
# focused slider takes Right, Home, End and Page Down; Enter means Set except on a focused button, which Enter and
# Space click; Escape and Alt+F4 mean Cancel. Owner: a window that starts "/c:<its handle>" owns the dialog, is
# disabled while it is open and has it centred over it, and is enabled and in front again after Cancel, Set and
# the close box; "/c:12345", which names no window, opens the dialog unowned where "/c" puts it.
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

# --- Keys -----------------------------------------------------------------------------------------------
open_dialog "Enter"
window_state "$NAME" && PLAIN_RECT=$(state_of rect)
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
cp "$QV_INI" "$QV_TMP/saved.ini"

# --- The owner ------------------------------------------------------------------------------------------
no_dialog() { [[ -z $(qv_pids 'Quorvel\.scr') ]] && ! qv_window "$TITLE"; }
host_back() { window_state OwnerHost && [[ $(state_of enabled) == 1 && $(state_of foreground) == 1 ]]; }
for way in Cancel Set "close box"; do
  qv_move 1 1
  QV_LAUNCH_EXE=$(qv_winpath "$QV_SCR") qv_start_helper probe window OwnerHost
  dialog_shown "owned, closed by $way"
  window_state OwnerHost && HOST=$(state_of window) HOST_ENABLED=$(state_of enabled)
  read -r hx hy hw hh <<<"$(state_of rect)"
  window_state "$NAME" && read -r dx dy dw dh <<<"$(state_of rect)"
  [[ $(state_of owner) == "$HOST" && $HOST_ENABLED == 0 ]] ||
    qv_fail "owned: the dialog's owner is '$(state_of owner)', not the host $HOST, or the host is not disabled"
  ((dx == hx + (hw - dw) / 2 && dy == hy + (hh - dh) / 2)) ||
    qv_fail "owned: the dialog at $dx,$dy is not centred over the host at $hx,$hy ${hw}x$hh"
  case $way in Cancel) click_on Cmd_Can centre ;; Set) click_on Cmd_Set centre ;; *) close_box ;; esac
  qv_wait_until 20 no_dialog || qv_fail "owned: $way did not close the dialog"
  qv_wait_until 5 host_back || qv_fail "owned: after $way the host is not enabled and in front: $STATE"
  unchanged "owned, $way"
  qv_kill_programs && { wait "$QV_PID" 2>/dev/null || true; } || qv_fail "could not end the host"
  qv_pass "owned by the host that started it, which it disabled, centred over it; $way: the host enabled and in front"
done

open_dialog "a handle of no window" /c:12345
window_state "$NAME" && [[ $(state_of owner) == 0 && $(state_of rect) == "$PLAIN_RECT" ]] ||
  qv_fail "/c:12345: owner $(state_of owner) at $(state_of rect), where /c gave no owner at $PLAIN_RECT"
qv_key Escape && ended "/c:12345"
qv_pass "/c:12345 opened the dialog unowned where /c puts it"
qv_done
