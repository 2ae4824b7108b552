#!/usr/bin/env bash
# The settings dialog: "/c" shows the bands the program computes and every label drawn, the six end labels as six
# different Japanese words; the sliders follow trough and arrow clicks, keys and a dragged thumb, their numbers with
# them; Set writes the positions under the Shift-JIS keys and ends the program; Cancel and the close box, and 30
# openings closed with Cancel, leave the settings file byte for byte; values that do not convert leave the sliders
# at their design positions; a failed save is reported and changes nothing; a program folder that cannot take the
# file sends it to %APPDATA%\Quorvel, which is then read; the link opens the README beside the program; at 144
# dots per inch the window and its bands scale. Positions and colours come from the program's own layout (probe.exe layout).
set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
source "$(dirname "${BASH_SOURCE[0]}")/helpers/dialog.sh"
TITLE='^Quorvelの設定$'

# --- The window as it opens, and the sliders --------------------------------------------------------------
layout 96
open_dialog defaults
panel_bands() {
  local x y w h
  read -r x y w h <<<"${RECT[Pic_2]}"
  [[ $(column $((x + w - 3)) "$y" "$h") == "$PANEL_ROWS" ]]
}
panel_bands || qv_fail "the panel's bands are not the computed ones"
qv_pass "the window's and the panel's bands show as computed, row by row"
# Pixels of a colour inside a control's rectangle, less its outermost pixels, where a heading's frame may run.
ink() {
  local x y w h
  read -r x y w h <<<"${RECT[$1]}"
  qv_count_colour "$SHOT" $((CX + x + 1)) $((CY + y + 1)) $((w - 2)) $((h - 2)) "$2"
}
for label in lbl0 lbl3 lbl10 lbl_Size lbl_Length lbl_Speed; do
  (($(ink $label 000000) >= 10)) || qv_fail "$label shows no text"
done
for frame in Shape0 Shape1 Shape3; do
  read -r x y w h <<<"${RECT[$frame]}"
  (($(qv_count_colour "$SHOT" $((CX + x)) $((CY + y)) "$w" 1 000000) == w)) || qv_fail "$frame is not drawn"
done
(($(ink lbl_URL FFFFFF) >= 10)) || qv_fail "the link shows no text"
# Boxes standing in for missing glyphs would make the end labels' words of one length look alike.
for label in lbl1 lbl2 lbl5 lbl6 lbl11 lbl12; do
  (($(ink $label 000000) >= 10)) || qv_fail "$label shows no text"
  region "$SHOT" $label "PNG24:$QV_TMP/label.png"
  convert "$QV_TMP/label.png" -crop 25x13+0+0 +repage -fill white +opaque '#000000' -depth 8 rgb:- | md5sum >>"$QV_TMP/inks"
done
[[ -z $(sort "$QV_TMP/inks" | uniq -d) ]] || qv_fail "two end labels look alike"
qv_pass "the heading frames and every label drawn, the six end labels six different Japanese words"

click_on HS_Size trough-right
follows lbl_Size "a click in the trough"
click_on HS_Length right-arrow
follows lbl_Length "a click on an arrow"
click_on HS_Speed left-arrow
qv_key Prior Left
follows lbl_Speed "an arrow click and the keys"
qv_wait_until 5 painted || qv_fail "the dialog's numbers never settled"
MOVED=$(numbers)
click_on Cmd_Set centre
ended Set
expect_ini "$QV_INI" 85 101 88 "Set after a trough click (+10), an arrow (+1), an arrow (-1), Page Up (-10) and Left (-1)"

# --- Cancel and the close box leave the file as it was ---------------------------------------------------
cp "$QV_INI" "$QV_TMP/saved.ini"
open_dialog "saved"
[[ $(numbers) == "$MOVED" ]] || qv_fail "the numbers after moving the sliders read otherwise than the saved ones at load"
qv_pass "the numbers after moving the sliders read as the saved numbers do at load"
click_on HS_Size left-arrow
follows lbl_Size "a click on an arrow"
click_on Cmd_Can centre
ended Cancel
cmp -s "$QV_TMP/saved.ini" "$QV_INI" || qv_fail "Cancel changed the settings file"

# The length of 50 puts its thumb at the left end, just right of the arrow.
printf '; by hand\r\n[Section]\r\n%s= 120\r\n%s=50\r\n%s=60\r\n\r\n[Other]\r\nx=1\r\n' "$KEY_SIZE" "$KEY_LENGTH" \
  "$KEY_SPEED" >"$QV_INI"
cp "$QV_INI" "$QV_TMP/by_hand.ini"
open_dialog drag
point HS_Length left-arrow
read -r _ _ _ h <<<"${RECT[HS_Length]}"
qv_move $((PX + h)) "$PY"
xdotool mousedown 1
for step in 2 4 6 8; do qv_move $((PX + h + step)) "$PY"; done
follows lbl_Length "the thumb while it is dragged"
xdotool mouseup 1
close_box
ended "close box"
cmp -s "$QV_TMP/by_hand.ini" "$QV_INI" || qv_fail "the close box changed the settings file"
qv_pass "Cancel and the close box left the settings file byte for byte as it was"
# 30 times more, without the checks above: the window opens where it did, and Cancel is clicked until it ends.
point Cmd_Can centre
cancelled() { qv_click "$PX" "$PY"; ! qv_running "$DIALOG"; }
started=$(date +%s)
for cycle in $(seq 30); do
  qv_start_scr /c
  DIALOG=$QV_PID
  qv_wait_until 30 qv_window "$TITLE" || qv_fail "open and Cancel $cycle: no settings dialog"
  qv_wait_until 20 cancelled || qv_fail "open and Cancel $cycle: Cancel did not close the dialog"
  ended "open and Cancel $cycle"
done
cmp -s "$QV_TMP/by_hand.ini" "$QV_INI" || qv_fail "30 times open and Cancel changed the settings file"
qv_pass "30 times open and Cancel in $(($(date +%s) - started)) s left the settings file byte for byte as it was"

# Values that cannot be settings (300 digits, binary bytes, UTF-16 text) leave the sliders where the design puts them.
{ printf '[Section]\r\n%s=%s\r\n%s=\x01\xff\x80\x00\x7f\r\n' "$KEY_SIZE" "$(printf '7%.0s' {1..300})" "$KEY_LENGTH"
  printf '%s=' "$KEY_SPEED"; printf '９０' | iconv -f UTF-8 -t UTF-16LE; printf '\r\n'; } >"$QV_INI"
open_dialog "values that do not convert"
click_on Cmd_Set centre
ended "Set after values that do not convert"
expect_ini "$QV_INI" 150 50 50 "300 digits, binary bytes and UTF-16 text: the sliders at their design positions"

# --- Where the file cannot be written --------------------------------------------------------------------
# A folder where the file should be: the settings go to the per-user file, and once it exists it is read.
rm -f "$QV_INI"
mkdir "$QV_INI"
open_dialog "per-user file"
click_on Cmd_Set centre
ended "Set with the program's folder locked"
expect_ini "$QV_APPDATA/Quorvel/Quorvel.ini" 75 100 100 "the program's folder locked, Set went to %APPDATA%\\Quorvel"
ini_text 120 60 70 >"$QV_APPDATA/Quorvel/Quorvel.ini"
open_dialog "per-user file read"
click_on HS_Size right-arrow
follows lbl_Size "a click on an arrow"
click_on Cmd_Set centre
ended "Set from the per-user file"
expect_ini "$QV_APPDATA/Quorvel/Quorvel.ini" 121 60 70 "the per-user file read at load and written by Set"

# A file where the per-user folder should be as well: nowhere to save, and the user is told.
rm -rf "$QV_APPDATA/Quorvel"
echo 'not a folder' >"$QV_APPDATA/Quorvel"
open_dialog unwritable
click_on Cmd_Set centre
two_windows() { (($(qv_windows "$TITLE" | wc -l) >= 2)); }
qv_wait_until 10 two_windows || qv_fail "no message box, titled as the dialog, after a save that failed"
qv_running "$DIALOG" || qv_fail "the program ended under the message"
qv_key Return
ended "the message"
[[ -d $QV_INI && $(cat "$QV_APPDATA/Quorvel") == 'not a folder' ]] || qv_fail "the failed save changed a file"
qv_pass "a save that could not be written anywhere was reported in a message box and changed nothing"
rmdir "$QV_INI"
rm -f "$QV_APPDATA/Quorvel"

# --- The link ------------------------------------------------------------------------------------------
# A fresh prefix knows no program for text files: this prefix gets Notepad for them.
qv_wine reg add 'HKCR\.txt' /ve /d txtfile /f >>"$QV_TMP/wine.log" 2>&1 &&
  qv_wine reg add 'HKCR\txtfile\shell\open\command' /ve /d 'notepad.exe "%1"' /f >>"$QV_TMP/wine.log" 2>&1 ||
  qv_fail "cannot give text files a program"
echo Quorvel >"$QV_PROG_DIR/README.txt"
open_dialog link
read -r x y w h <<<"${RECT[lbl_URL]}"
qv_click $((CX + x + 10)) $((CY + y + h / 2))
qv_wait_until 20 qv_window README || qv_fail "the link opened no window showing README.txt"
qv_window "$TITLE" || qv_fail "the link closed the dialog"
qv_pass "the link opened the README beside the program"
qv_kill_programs || qv_fail "could not end the programs the link started"

# --- 144 dots per inch ---------------------------------------------------------------------------------
qv_wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 144 /f >>"$QV_TMP/wine.log" 2>&1 ||
  qv_fail "cannot set 144 dots per inch"
layout 144
open_dialog "144 dpi"
panel_bands || qv_fail "144 dpi: the panel's bands are not the computed ones"
(($(ink Cmd_Set 000000) >= 10)) || qv_fail "144 dpi: no Set caption"
qv_pass "144 dpi: a ${CLIENT_W}x$CLIENT_H window with the computed bands, Set where the layout puts it"
close_box
ended "144 dpi"
qv_done
