#!/usr/bin/env bash
# The settings dialog where the user's interface language is not Japanese: LANG=C.UTF-8, which Wine maps to English
# (GetUserDefaultUILanguage 0x0409, code page 1252). Every English text, measured by probe.exe in the font the
# program picks, fits its room at 96, 120, 144 and 192 dpi; the dialog is titled "Quorvel Settings" and shows each
# text whole (its ink as wide as measured and clear of its room's far edge); the buttons carry their captions and
# the sliders their headings as window texts; Set writes the same Shift-JIS bytes as in Japanese.
set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
source "$(dirname "${BASH_SOURCE[0]}")/helpers/dialog.sh"
QV_WINE_LOCALE=C.UTF-8
NAME='Quorvel Settings' TITLE='^Quorvel Settings$'
# The bench's prefix was made under Japanese, so its title-bar font asks for the Japanese character set, which
# English Wine draws as boxes; without the entry the system makes it afresh.
qv_wine reg delete 'HKCU\Control Panel\Desktop\WindowMetrics' /v CaptionFont /f >>"$QV_TMP/wine.log" 2>&1 ||
  qv_fail "cannot reset the title-bar font"

for dpi in 96 120 144 192; do
  qv_wine "$QV_WIN32/probe.exe" texts "$dpi" 2>>"$QV_TMP/wine.log" | tr -d '\r' | grep '^en ' >"$QV_TMP/texts$dpi"
  (($(wc -l <"$QV_TMP/texts$dpi") == 11)) || qv_fail "$dpi dpi: probe.exe measured no 11 English texts"
  while read -r _ name width height room_width room_height; do
    ((width <= room_width && (room_height == 0 || height <= room_height))) ||
      qv_fail "$dpi dpi: $name is ${width}x$height pixels, its room ${room_width}x$room_height"
  done <"$QV_TMP/texts$dpi"
  read -r _ name width _ room_width _ < <(sort -k3,3nr "$QV_TMP/texts$dpi") &&
    qv_pass "$dpi dpi: every English text fits its room; the widest, $name, $width of $room_width pixels"
done

layout 96
open_dialog English
qv_screenshot "$SHOT"
# Exactly black pixels are the text's own, whatever lies behind it: their box in a crop as "W H X Y".
ink_box() { convert "$SHOT" -crop "$3x$4+$1+$2" +repage -fill white +opaque black -format '%@' info: | tr 'x+' '  '; }
while read -r _ name width height room_width room_height; do
  read -r x y w h <<<"${RECT[$name]}"
  case $name in
    Cmd_*) ((x += (w - room_width) / 2, y += (h - room_height) / 2, ch = room_height)) ;;
    lbl0 | lbl3 | lbl10) ((x += 1, ch = room_height)) ;;
    *) ((ch = height, room_width += 1)) ;;  # up to the slider or the panel's edge, which hide what runs on
  esac
  read -r iw ih ix iy <<<"$(ink_box $((CX + x)) $((CY + y)) "$room_width" "$ch")"
  ((iw >= width - 4 && ix + iw < room_width)) ||
    qv_fail "$name: ink ${iw}x$ih at $ix,$iy in its ${room_width}x$ch room, where $width pixels were measured"
done <"$QV_TMP/texts96"
qv_pass "titled '$NAME', every English text drawn whole inside its room"

window_state "$NAME"
CONTROLS='Tavrin_P.Pic_2 |ScrollBar Tavrin size|ScrollBar Tavrin length|ScrollBar Tavrin speed|Tavrin.Command OK'
[[ $(state_of control | paste -sd '|') == "$CONTROLS|Tavrin.Command Cancel" ]] ||
  qv_fail "the controls are: $(state_of control | paste -sd '|')"
qv_pass "the buttons' window texts are their captions, the sliders' their headings"

click_on Cmd_Set centre
ended "OK"
expect_ini "$QV_INI" 75 100 100 "OK under an English system"

qv_done
