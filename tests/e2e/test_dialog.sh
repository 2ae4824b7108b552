#!/bin/bash
# The settings dialog under Wine: "/c" shows the window with its bands, panel, Japanese texts and buttons;
# the sliders follow trough clicks, arrow clicks, the keyboard and thumb drags, their labels with them; Set
# writes the three positions under their Shift-JIS keys and ends the program; Cancel and the close box leave
# the settings file byte for byte as it was; a size of 300 shows as 300 while its slider stands at 150.
set -u
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

TITLE="Quorvelの設定"
# Screenshots are worked on in this run's own folder and kept in the artifacts folder at the end.
SHOTS=$QV_TMP/shots
mkdir -p "$SHOTS"
qv_on_exit 'cp -f "$SHOTS"/*.png "$QV_ARTIFACTS"/ 2>/dev/null'
# Keys as the file holds them (Shift-JIS).
KEY_SIZE=$(printf 'Tavrin\x82\xcc\x91\xe5\x82\xab\x82\xb3')
KEY_LENGTH=$(printf 'Tavrin\x82\xcc\x92\xb7\x82\xb3')
KEY_SPEED=$(printf 'Tavrin\x82\xcc\x91\xac\x82\xb3')

# The layout at 96 dots per inch (15 twips per pixel), client coordinates.
CLIENT_W=305
CLIENT_H=281
PANEL_X=12
PANEL_Y=12
SLIDER_H=17
ARROW_W=17
declare -A SLIDER=([size]="48 36 73" [length]="48 104 69" [speed]="48 172 69")  # panel x y width
declare -A VALUE_LABEL=([size]="48 56 71 13" [length]="48 124 67 13" [speed]="48 192 67 13")
SET_BUTTON="200 176 93 25"
CANCEL_BUTTON="200 204 93 25"
LINK_LABEL="12 252 207 13"

# --- helpers ---

# Screen position of the client area of the dialog window QV_WINDOW (Wine draws the frame itself).
CX=0 CY=0 FRAME=0 CAPTION=0
locate_client() {
  qv_window_geometry "$QV_WINDOW" || qv_fail "cannot read the dialog's geometry"
  FRAME=$(((QV_GEOM_W - CLIENT_W) / 2))
  CAPTION=$((QV_GEOM_H - CLIENT_H - 2 * FRAME))
  ((FRAME >= 0 && FRAME <= 10 && CAPTION >= 10 && CAPTION <= 40)) ||
    qv_fail "window ${QV_GEOM_W}x${QV_GEOM_H}: expected a ${CLIENT_W}x${CLIENT_H} client area in a frame"
  CX=$((QV_GEOM_X + FRAME))
  CY=$((QV_GEOM_Y + QV_GEOM_H - FRAME - CLIENT_H))
}

# Pixels of exactly one colour inside a client-area rectangle, as "x,y" lines relative to the rectangle.
colour_mask() { # image x y w h RRGGBB
  convert "$1" -crop "${4}x${5}+$((CX + $2))+$((CY + $3))" +repage -depth 8 txt:- 2>/dev/null |
    awk -v c="#$6" 'NR > 1 && toupper($3) == c { sub(":", "", $1); print $1 }'
}

# The same region of two screenshots, as a count of differing pixels.
region_diff() { # image_a image_b x y w h
  local a=$QV_TMP/region_a.png b=$QV_TMP/region_b.png
  qv_crop "$1" $((CX + $3)) $((CY + $4)) "$5" "$6" "$a"
  qv_crop "$2" $((CX + $3)) $((CY + $4)) "$5" "$6" "$b"
  qv_diff_count "$a" "$b"
}

# Expected colours of the band rows of a surface, one RRGGBB a line: window rows are lines in pixels; the
# panel draws in twips, and each of its pixel rows shows the last twip line that rounds onto it.
band_colours() { # window|panel height_pixels [dpi=96]
  awk -v kind="$1" -v rows="$2" -v dpi="${3:-96}" 'BEGIN {
    h = kind == "window" ? rows : rows * 1440 / dpi
    k = h / 3.142
    for (row = 0; row < rows; row++) {
      y = kind == "window" ? row : int((1440 * row + 719) / dpi)
      s = sin(y / k) * 220; if (s < 0) s = -s; v = int(s + 0.5)
      if (kind == "window") printf "%02X%02X%02X\n", v, v, v + 30
      else printf "%02X%02X%02X\n", v + 30, v + 30, v + 30
    } }'
}

# The colour column of a client x from top to bottom of a rectangle, one RRGGBB a line.
column_colours() { # image x y h
  convert "$1" -crop "1x${4}+$((CX + $2))+$((CY + $3))" +repage -depth 8 txt:- 2>/dev/null |
    awk 'NR > 1 { print toupper(substr($3, 2)) }'
}

screenshot() { qv_screenshot "$1" || qv_fail "screenshot $1 failed"; }

# Waits until the window shows its bands and its picture has settled: two screenshots of the client area
# a moment apart are alike (the children paint after the bands).
wait_painted() { # [band-probe-x band-probe-y]
  local shot=$QV_TMP/painted.png previous=$QV_TMP/painted_before.png deadline
  local px=${1:-300} py=${2:-140}
  deadline=$(qv__deadline 15)
  rm -f "$previous"
  while :; do
    screenshot "$shot"
    if [[ $(qv_pixel "$shot" $((CX + px)) $((CY + py))) == DCDCFA ]]; then
      [[ -f $previous ]] && (($(region_diff "$previous" "$shot" 0 0 $CLIENT_W $CLIENT_H) == 0)) && return 0
      cp "$shot" "$previous"
    fi
    qv__before "$deadline" || qv_fail "the dialog's picture never settled"
    sleep 0.2
  done
}

open_dialog() { # what
  # The pointer out of the way, so no control under it shows a hover look in the screenshots.
  qv_move 1 1
  qv_start_scr "/c"
  qv_wait_window "$TITLE" 30 || qv_fail "$1: no window titled $TITLE after /c"
  DIALOG_PID=$QV_PID
  locate_client
  wait_painted
  qv_log "$1: dialog open, client area at $CX,$CY"
}

# Takes screenshots until a client region differs from the one in BEFORE; leaves the last in AFTER.
wait_region_change() { # before after x y w h what
  local deadline
  deadline=$(qv__deadline 5)
  while :; do
    screenshot "$2"
    (($(region_diff "$1" "$2" "$3" "$4" "$5" "$6") > 0)) && return 0
    qv__before "$deadline" || qv_fail "$7"
    sleep 0.1
  done
}

click_client() { qv_click $((CX + $1)) $((CY + $2)); }
click_button() { # "x y w h"
  local x y w h
  read -r x y w h <<<"$1"
  click_client $((x + w / 2)) $((y + h / 2))
}
click_close_box() { qv_click $((QV_GEOM_X + QV_GEOM_W - FRAME - CAPTION / 2 - 1)) $((QV_GEOM_Y + FRAME + CAPTION / 2)); }

# Client coordinates of a slider's parts.
slider_point() { # name trough-right|arrow-right|arrow-left|thumb -> "x y"
  local x y w
  read -r x y w <<<"${SLIDER[$1]}"
  x=$((PANEL_X + x)) y=$((PANEL_Y + y + SLIDER_H / 2))
  case $2 in
    trough-right) echo "$((x + w - ARROW_W - 4)) $y" ;;
    arrow-right) echo "$((x + w - ARROW_W / 2 - 1)) $y" ;;
    arrow-left) echo "$((x + ARROW_W / 2)) $y" ;;
  esac
}

label_rect() { # name -> "x y w h" in client coordinates
  local x y w h
  read -r x y w h <<<"${VALUE_LABEL[$1]}"
  echo "$((PANEL_X + x)) $((PANEL_Y + y)) $w $h"
}

ini_value() { # key
  LC_ALL=C awk -v key="$1" -F= '{ sub(/\r$/, "") } $1 == key { v = $2; sub(/^ +/, "", v); print v }' "$QV_INI"
}

expect_ini() { # size length speed what
  local got_size got_length got_speed
  [[ -f $QV_INI ]] || qv_fail "$4: no $QV_INI"
  LC_ALL=C grep -aqx $'\\[Section\\]\r\\?' "$QV_INI" || qv_fail "$4: no [Section] header in the settings file"
  got_size=$(ini_value "$KEY_SIZE") got_length=$(ini_value "$KEY_LENGTH") got_speed=$(ini_value "$KEY_SPEED")
  [[ $got_size == "$1" && $got_length == "$2" && $got_speed == "$3" ]] ||
    qv_fail "$4: expected size/length/speed $1/$2/$3 under the Shift-JIS keys, got '$got_size'/'$got_length'/'$got_speed'; file: $(LC_ALL=C od -c "$QV_INI" | head -20)"
  qv_pass "$4: the file holds $1, $2, $3 under the Shift-JIS keys"
}

wait_ended() { # what
  qv_wait_exit "$DIALOG_PID" 20 || qv_fail "$1: the program did not end"
  qv_wait_no_window "$TITLE" 5 || qv_fail "$1: the window is still there"
  qv_pass "$1: the window closed and the program ended"
}

rm -f "$QV_INI"
qv_on_exit 'rm -f "$QV_INI"'

# === 1. The window as it opens with the default settings =======================================
open_dialog "defaults"
S0=$SHOTS/opened.png
screenshot "$S0"

# Window bands, every row, in a column clear of controls.
mapfile -t WINDOW_BANDS < <(band_colours window $CLIENT_H)
expected=$(printf '%s\n' "${WINDOW_BANDS[@]}")
got=$(column_colours "$S0" 300 0 $CLIENT_H)
[[ $got == "$expected" ]] || qv_fail "window bands differ: $(diff <(echo "$expected") <(echo "$got") | head -6 | tr '\n' ' ')"
qv_pass "window bands: all $CLIENT_H rows as expected (top $(head -1 <<<"$got"), middle $(sed -n 141p <<<"$got"))"

# Panel bands, every row, right of the end labels.
expected=$(band_colours panel 217)
got=$(column_colours "$S0" $((PANEL_X + 174)) $PANEL_Y 217)
[[ $got == "$expected" ]] || qv_fail "panel bands differ: $(diff <(echo "$expected") <(echo "$got") | head -6 | tr '\n' ' ')"
qv_pass "panel bands: all 217 rows as expected"

# Japanese texts as glyphs: the first character of each end label has ink, and no two are alike (boxes
# standing in for missing glyphs would all look the same).
declare -A FIRST_CHAR=([small]="8 40" [large]="124 40" [short]="20 108" [long]="120 108" [slow]="20 176" [fast]="120 176")
for name in "${!FIRST_CHAR[@]}"; do
  read -r x y <<<"${FIRST_CHAR[$name]}"
  colour_mask "$S0" $((PANEL_X + x)) $((PANEL_Y + y)) 12 13 000000 >"$QV_TMP/glyph_$name"
  ink=$(wc -l <"$QV_TMP/glyph_$name")
  ((ink >= 12)) || qv_fail "end label '$name': expected a drawn character, got $ink ink pixels"
done
for a in "${!FIRST_CHAR[@]}"; do
  for b in "${!FIRST_CHAR[@]}"; do
    [[ $a < $b ]] || continue
    cmp -s "$QV_TMP/glyph_$a" "$QV_TMP/glyph_$b" && qv_fail "end labels '$a' and '$b' show the same shape: boxes, not glyphs"
  done
done
qv_pass "end labels: six different Japanese characters drawn"
for y in 12 80 148; do
  ink=$(colour_mask "$S0" $((PANEL_X + 9)) $((PANEL_Y + y)) 99 16 000000 | wc -l)
  ((ink >= 40)) || qv_fail "heading at panel row $y: expected black text, got $ink ink pixels"
done
qv_pass "headings drawn in black inside their frames"
ink=$(colour_mask "$S0" $LINK_LABEL FFFFFF | wc -l)
((ink >= 40)) || qv_fail "link label: expected white text, got $ink white pixels"
qv_pass "link label drawn in white ($ink pixels)"

# Both buttons: faces that are not the background, with captions that differ.
for button in SET_BUTTON CANCEL_BUTTON; do
  read -r x y w h <<<"${!button}"
  convert "$S0" -crop "${w}x${h}+$((CX + x))+$((CY + y))" +repage -depth 8 txt:- 2>/dev/null |
    awk 'NR > 1 { split($1, p, ","); print p[2] + 0, toupper(substr($3, 2)) }' >"$QV_TMP/button_px"
  background=0
  while read -r row colour; do
    [[ $colour == "${WINDOW_BANDS[y + row]}" ]] && ((background++))
  done <"$QV_TMP/button_px"
  ((background * 10 < w * h * 3)) || qv_fail "$button: $background of $((w * h)) pixels show the bands, no button face"
  colour_mask "$S0" "$x" "$y" "$w" "$h" 000000 >"$QV_TMP/caption_$button"
  ink=$(wc -l <"$QV_TMP/caption_$button")
  ((ink >= 10)) || qv_fail "$button: expected a caption, got $ink black pixels"
done
cmp -s "$QV_TMP/caption_SET_BUTTON" "$QV_TMP/caption_CANCEL_BUTTON" && qv_fail "the two buttons show the same caption"
qv_pass "both buttons drawn with their own captions"

# Value labels at load: keep their pictures to compare with later runs.
for name in size length speed; do
  colour_mask "$S0" $(label_rect $name) 000000 >"$QV_TMP/label0_$name"
  (($(wc -l <"$QV_TMP/label0_$name") >= 8)) || qv_fail "value label $name: no number shown"
done

# === 2. Moving the sliders ======================================================================
# A click in the size slider's trough right of the thumb: 75 -> 85.
S1=$SHOTS/size_page.png
click_client $(slider_point size trough-right)
wait_region_change "$S0" "$S1" $(label_rect size) "the size label did not follow a trough click"
qv_pass "size: trough click moved the slider and its label changed"

# A click on the length slider's right arrow: 100 -> 101.
S2=$SHOTS/length_arrow.png
click_client $(slider_point length arrow-right)
wait_region_change "$S1" "$S2" $(label_rect length) "the length label did not follow an arrow click"
qv_pass "length: arrow click moved the slider and its label changed"

# The keyboard on the speed slider: its left arrow (100 -> 99) gives it the focus, Page Up and Left then
# move it by 10 and 1: 99 -> 89 -> 88.
S3=$SHOTS/speed_keys.png
click_client $(slider_point speed arrow-left)
wait_region_change "$S2" "$S3" $(label_rect speed) "the speed label did not follow an arrow click"
S3b=$SHOTS/speed_keys2.png
qv_key Prior
qv_key Left
wait_region_change "$S3" "$S3b" $(label_rect speed) "the speed label did not follow the keyboard"
qv_pass "speed: arrow click and keys moved the slider and its label changed"
for name in size length speed; do colour_mask "$S3b" $(label_rect $name) 000000 >"$QV_TMP/label1_$name"; done

click_button "$SET_BUTTON"
wait_ended "Set"
expect_ini 85 101 88 "Set after a trough click, an arrow click and keys"
ini_after_set=$QV_TMP/after_set.ini
cp "$QV_INI" "$ini_after_set"

# === 3. The labels show the saved positions; dragging; Cancel ===================================
open_dialog "reopen"
S4=$SHOTS/reopened.png
screenshot "$S4"
for name in size length speed; do
  colour_mask "$S4" $(label_rect $name) 000000 >"$QV_TMP/label2_$name"
  cmp -s "$QV_TMP/label1_$name" "$QV_TMP/label2_$name" ||
    qv_fail "value label $name: after moving the slider it did not show what the saved value shows at load"
done
qv_pass "labels after moving the sliders read 85, 101 and 88, exactly as the saved values show at load"

# Drag the length thumb to the right: its label follows while the button is still held.
read -r lx ly lw <<<"${SLIDER[length]}"
thumb_x=$((CX + PANEL_X + lx + ARROW_W + (lw - 3 * ARROW_W) * (101 - 50) / 150 + ARROW_W / 2))
thumb_y=$((CY + PANEL_Y + ly + SLIDER_H / 2))
qv_move "$thumb_x" "$thumb_y"
xdotool mousedown 1
for step in 2 4 6 8; do qv_move $((thumb_x + step)) "$thumb_y"; done
S5=$SHOTS/length_drag.png
wait_region_change "$S4" "$S5" $(label_rect length) "the length label did not follow the dragged thumb"
xdotool mouseup 1
qv_pass "length: the label followed the thumb during the drag"

click_button "$CANCEL_BUTTON"
wait_ended "Cancel"
cmp -s "$ini_after_set" "$QV_INI" || qv_fail "Cancel changed the settings file"
qv_pass "Cancel left the settings file byte for byte as it was"

# === 4. The close box ===========================================================================
printf '; written by hand\r\n[Section]\r\n%s= 120\r\n%s=150\r\n%s=60\r\n\r\n[Other]\r\nx=1\r\n' \
  "$KEY_SIZE" "$KEY_LENGTH" "$KEY_SPEED" >"$QV_INI"
cp "$QV_INI" "$QV_TMP/hand.ini"
open_dialog "close box"
S6=$SHOTS/close_box_opened.png
S6b=$SHOTS/close_box_moved.png
screenshot "$S6"
click_client $(slider_point size arrow-left)
wait_region_change "$S6" "$S6b" $(label_rect size) "the size label did not follow an arrow click"
click_close_box
wait_ended "close box"
cmp -s "$QV_TMP/hand.ini" "$QV_INI" || qv_fail "the close box changed the settings file"
qv_pass "the close box left the settings file byte for byte as it was"

# === 5. A size outside the slider's range =======================================================
printf '[Section]\r\n%s=300\r\n%s=100\r\n%s=100\r\n' "$KEY_SIZE" "$KEY_LENGTH" "$KEY_SPEED" >"$QV_INI"
open_dialog "size 300"
S7=$SHOTS/size300.png
screenshot "$S7"
click_button "$SET_BUTTON"
wait_ended "Set with size 300"
expect_ini 150 100 100 "Set with a size of 300 in the file"

open_dialog "size 150"
S8=$SHOTS/size150.png
screenshot "$S8"
read -r sx sy sw <<<"${SLIDER[size]}"
diff_slider=$(region_diff "$S7" "$S8" $((PANEL_X + sx)) $((PANEL_Y + sy)) "$sw" "$SLIDER_H")
((diff_slider == 0)) || qv_fail "size 300: the slider does not stand where a size of 150 puts it ($diff_slider pixels differ)"
qv_pass "size 300: the slider stands at 150"

# The label reads 300: not 150, and its last two digits are the two zeros that end "100" elsewhere.
colour_mask "$S7" $(label_rect size) 000000 >"$QV_TMP/label_300"
colour_mask "$S8" $(label_rect size) 000000 >"$QV_TMP/label_150"
cmp -s "$QV_TMP/label_300" "$QV_TMP/label_150" && qv_fail "size 300: the label reads the slider's 150"
# Right-aligned ink columns of a mask, for comparing the end of two numbers drawn in different places.
tail_columns() { # mask_file columns
  awk -F, -v n="$2" '{ x[NR] = $1; y[NR] = $2; if ($1 > m) m = $1 } END {
    for (i = 1; i <= NR; i++) if (x[i] > m - n) print m - x[i] "," y[i] }' "$1" | sort
}
colour_mask "$S0" $(label_rect length) 000000 >"$QV_TMP/label_100"
width_100=$(awk -F, 'NR == 1 || $1 < lo { lo = $1 } $1 > hi { hi = $1 } END { print hi - lo + 1 }' "$QV_TMP/label_100")
digits=$((width_100 * 2 / 3))
[[ $(tail_columns "$QV_TMP/label_300" $digits) == "$(tail_columns "$QV_TMP/label_100" $digits)" ]] ||
  qv_fail "size 300: the label's last digits are not the zeros of 100"
qv_pass "size 300: the label reads 300 while the slider stands at 150, and Set wrote 150"

click_button "$CANCEL_BUTTON"
wait_ended "Cancel at 150"
rm -f "$QV_INI"

# === 6. A save that cannot be written anywhere is reported ======================================
# A folder where the file should be, and a file where the per-user folder should be.
mkdir -p "$QV_INI"
mkdir -p "$QV_APPDATA"
printf 'not a folder' >"$QV_APPDATA/Quorvel"
qv_on_exit 'rmdir "$QV_INI" 2>/dev/null; rm -f "$QV_APPDATA/Quorvel"'
open_dialog "unwritable"
click_button "$SET_BUTTON"
deadline=$(qv__deadline 10)
until (($(qv_visible_titles | awk -F '\t' -v t="$TITLE" '$2 == t' | wc -l) >= 2)); do
  qv_running "$DIALOG_PID" || qv_fail "unwritable: the program ended without telling the user"
  qv__before "$deadline" || qv_fail "unwritable: no message box after a failed save"
  sleep 0.1
done
screenshot "$SHOTS/save_failed.png"
qv_running "$DIALOG_PID" || qv_fail "unwritable: the program ended under the message box"
qv_pass "unwritable: a failed save is reported in a message box"
qv_key Return
wait_ended "unwritable, after the message"
rmdir "$QV_INI"
rm -f "$QV_APPDATA/Quorvel"

# === 6b. A program folder that cannot take the settings: they live in %APPDATA%\Quorvel =========
# A folder stands where the file beside the program should be, so the settings cannot be written there.
USER_INI=$QV_APPDATA/Quorvel/Quorvel.ini
mkdir -p "$QV_INI"
rm -rf "$QV_APPDATA/Quorvel"
qv_on_exit 'rmdir "$QV_INI" 2>/dev/null; rm -rf "$QV_APPDATA/Quorvel"'
open_dialog "per-user file"
click_button "$SET_BUTTON"
wait_ended "Set with a locked program folder"
[[ -d $QV_INI ]] || qv_fail "per-user file: the program folder's entry was replaced"
BESIDE_INI=$QV_INI
QV_INI=$USER_INI
expect_ini 75 100 100 "Set with a locked program folder wrote %APPDATA%\\Quorvel\\Quorvel.ini, and"
# Once the per-user file exists it is the one read: its size of 120 plus one arrow click saves 121.
printf '[Section]\r\n%s=120\r\n%s=60\r\n%s=70\r\n' "$KEY_SIZE" "$KEY_LENGTH" "$KEY_SPEED" >"$QV_INI"
open_dialog "per-user file read back"
S6c=$SHOTS/per_user_opened.png
S6d=$SHOTS/per_user_moved.png
screenshot "$S6c"
click_client $(slider_point size arrow-right)
wait_region_change "$S6c" "$S6d" $(label_rect size) "per-user file: the size label did not follow an arrow click"
click_button "$SET_BUTTON"
wait_ended "Set from the per-user file"
expect_ini 121 60 70 "the per-user file was read at load, and Set"
QV_INI=$BESIDE_INI
rmdir "$QV_INI"
rm -rf "$QV_APPDATA/Quorvel"

# === 7. The link opens the README beside the program ============================================
# A fresh prefix knows no program for text files; give this run's own prefix Notepad for them.
wine reg add 'HKCR\.txt' /ve /d txtfile /f >>"$QV_TMP/wine.log" 2>&1 || qv_fail "link: cannot register .txt"
wine reg add 'HKCR\txtfile\shell\open\command' /ve /d 'notepad.exe "%1"' /f >>"$QV_TMP/wine.log" 2>&1 ||
  qv_fail "link: cannot register the text-file program"
printf 'Quorvel\r\n' >"$QV_PROG_DIR/README.txt"
qv_on_exit 'rm -f "$QV_PROG_DIR/README.txt"'
open_dialog "link"
read -r x y w h <<<"$LINK_LABEL"
click_client $((x + 10)) $((y + h / 2))
deadline=$(qv__deadline 20)
until qv_visible_titles | grep -q 'README'; do
  qv__before "$deadline" || qv_fail "link: no window showing README.txt opened"
  sleep 0.2
done
qv_pass "link: the README beside the program was opened ($(qv_visible_titles | grep README | cut -f2))"
qv_find_window "$TITLE" || qv_fail "link: the dialog closed"
qv_kill_programs || qv_fail "link: could not end the programs started"
rm -f "$QV_PROG_DIR/README.txt" "$QV_INI"

# === 8. At 144 dots per inch the layout scales with the display =================================
wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 144 /f >>"$QV_TMP/wine.log" 2>&1 ||
  qv_fail "144 dpi: cannot set the display's DPI"
CLIENT_W=458
CLIENT_H=422
open_dialog_at_144() {
  qv_move 1 1
  qv_start_scr "/c"
  qv_wait_window "$TITLE" 30 || qv_fail "144 dpi: no window titled $TITLE after /c"
  DIALOG_PID=$QV_PID
  locate_client
  wait_painted 450 211
}
open_dialog_at_144
qv_pass "144 dpi: the client area is ${CLIENT_W}x${CLIENT_H} pixels"
S9=$SHOTS/dpi144.png
screenshot "$S9"
expected=$(band_colours window $CLIENT_H 144)
got=$(column_colours "$S9" 450 0 $CLIENT_H)
[[ $got == "$expected" ]] || qv_fail "144 dpi: window bands differ: $(diff <(echo "$expected") <(echo "$got") | head -6 | tr '\n' ' ')"
expected=$(band_colours panel 326 144)
got=$(column_colours "$S9" $((18 + 262)) 18 326)
[[ $got == "$expected" ]] || qv_fail "144 dpi: panel bands differ: $(diff <(echo "$expected") <(echo "$got") | head -6 | tr '\n' ' ')"
qv_pass "144 dpi: window and panel bands as expected row by row"
read -r x y w h <<<"300 264 140 38"
ink=$(colour_mask "$S9" "$x" "$y" "$w" "$h" 000000 | wc -l)
((ink >= 10)) || qv_fail "144 dpi: no Set button caption where the layout puts the button"
click_close_box
wait_ended "144 dpi, close box"
echo "PASS: test_dialog"
