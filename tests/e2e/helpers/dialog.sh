# shellcheck shell=bash
# The settings dialog's end-to-end helpers, sourced after lib.sh: its layout as the program computes it (probe.exe
# layout), points and regions of its controls on screen, opening it and waiting until it is painted and until it
# has ended, and the settings file it writes. The caller sets TITLE, the window title as an extended regex.

SHOT=$QV_TMP/shot.png
# The file as Wine writes it, which drops the blank the program puts before each number.
ini_text() { printf '[Section]\r\n%s=%s\r\n%s=%s\r\n%s=%s\r\n' "$KEY_SIZE" "$1" "$KEY_LENGTH" "$2" "$KEY_SPEED" "$3"; }

# RECT[name] = "x y w h" in client pixels, CLIENT_W, CLIENT_H and the band colours of every row, for a DPI.
layout() {
  declare -gA RECT=()
  local name a b c d
  qv_wine "$QV_WIN32/probe.exe" layout "$1" 2>/dev/null | tr -d '\r' >"$QV_TMP/layout"
  while read -r name a b c d; do RECT[$name]="$a $b $c $d"; done <"$QV_TMP/layout"
  read -r CLIENT_W CLIENT_H _ <<<"${RECT[client]}"
  WINDOW_ROWS=$(sed -n 's/^window_rows //p' "$QV_TMP/layout" | tr ' ' '\n')
  PANEL_ROWS=$(sed -n 's/^panel_rows //p' "$QV_TMP/layout" | tr ' ' '\n')
  [[ -n $CLIENT_W && -n $WINDOW_ROWS ]] || qv_fail "probe.exe gave no layout"
}
# PX, PY := the screen point of a control's "centre", or of a slider's "left-arrow", "right-arrow" or
# "trough-right" (its arrows are square); click_on clicks there.
point() {
  local x y w h
  read -r x y w h <<<"${RECT[$1]}"
  PY=$((CY + y + h / 2))
  case $2 in
    centre) PX=$((CX + x + w / 2)) ;;
    left-arrow) PX=$((CX + x + h / 2)) ;;
    right-arrow) PX=$((CX + x + w - h / 2 - 1)) ;;
    trough-right) PX=$((CX + x + w - h - 4)) ;;
  esac
}
click_on() { point "$@" && qv_click "$PX" "$PY"; }
# The pixels of a control's rectangle in a screenshot, raw (rgb:-) or as any other picture file.
region() {
  local x y w h
  read -r x y w h <<<"${RECT[$2]}"
  convert "$1" -crop "${w}x$h+$((CX + x))+$((CY + y))" +repage -alpha off -depth 8 "$3"
}
numbers() { local label; for label in lbl_Size lbl_Length lbl_Speed; do region "$SHOT" $label rgb:- | md5sum; done; }
# The colour of every row of a client column, top to bottom.
column() {
  convert "$SHOT" -crop "1x$3+$((CX + $1))+$((CY + $2))" +repage -depth 8 txt:- | sed -nE 's/.*#([0-9A-F]{6}).*/\1/p'
}

# The window shows the computed bands, and its numbers read the same in two screenshots in a row.
painted() {
  qv_screenshot "$SHOT"
  [[ $(column $((CLIENT_W - 5)) 0 "$CLIENT_H") == "$WINDOW_ROWS" ]] || return 1
  local now
  now=$(numbers)
  [[ $now == "$SETTLED" ]] && return 0
  SETTLED=$now
  return 1
}
# open_dialog WHAT [COMMAND_LINE=/c]: starts the program and waits with dialog_shown.
open_dialog() {
  qv_move 1 1  # no hover look in the screenshots
  qv_start_scr "${2:-/c}"
  DIALOG=$QV_PID
  dialog_shown "$1"
}
# Waits until the dialog shows as computed; sets CX, CY (its client area on screen), FRAME and CAPTION.
dialog_shown() {
  qv_wait_until 30 qv_window "$TITLE" || qv_fail "$1: no settings dialog"
  # Wine draws the frame itself: the client area sits at the bottom centre of the X window.
  qv_geometry "$QV_WINDOW"
  FRAME=$(((QV_GEOM_W - CLIENT_W) / 2)) CAPTION=$((QV_GEOM_H - CLIENT_H - (QV_GEOM_W - CLIENT_W)))
  ((FRAME >= 0 && FRAME <= 10 && CAPTION >= 10 && CAPTION <= 40)) ||
    qv_fail "$1: a ${QV_GEOM_W}x$QV_GEOM_H window holds no ${CLIENT_W}x$CLIENT_H client area"
  CX=$((QV_GEOM_X + FRAME)) CY=$((QV_GEOM_Y + QV_GEOM_H - FRAME - CLIENT_H))
  SETTLED=''
  qv_wait_until 15 painted || { cp "$SHOT" "$QV_ARTIFACTS/"; qv_fail "$1: the window's bands never showed as computed"; }
  cp "$SHOT" "$QV_TMP/before.png"
}
# Acts and waits until a control's region differs from the screenshot before.
label_changed() {
  qv_screenshot "$SHOT"
  [[ $(region "$SHOT" "$1" rgb:- | md5sum) != $(region "$QV_TMP/before.png" "$1" rgb:- | md5sum) ]]
}
follows() { # label what
  qv_wait_until 5 label_changed "$1" || qv_fail "$1 did not follow $2"
  cp "$SHOT" "$QV_TMP/before.png"
  qv_pass "$1 followed $2"
}
ended() {
  qv_wait_exit "$DIALOG" 20 && qv_wait_until 5 qv_not qv_window "$TITLE" || qv_fail "$1: the dialog did not close"
}
expect_ini() { # file size length speed what
  cmp -s "$1" <(ini_text "$2" "$3" "$4") || qv_fail "$5: $1 holds $(od -c "$1" | head -8)"
  qv_pass "$5: the settings file holds exactly $2, $3 and $4 under the Shift-JIS keys"
}
# Sets STATE to what probe.exe state says of the window titled $1 (a plain title): lines "window H", "owner H",
# "enabled 0|1", "foreground 0|1", "rect X Y W H", "focus CLASS TEXT", "control CLASS TEXT".
window_state() { STATE=$(qv_wine "$QV_WIN32/probe.exe" state "$1" 2>>"$QV_TMP/wine.log" | tr -d '\r'); }
state_of() { sed -n "s/^$1 //p" <<<"$STATE"; }
close_box() { qv_click $((QV_GEOM_X + QV_GEOM_W - FRAME - CAPTION / 2 - 1)) $((QV_GEOM_Y + FRAME + CAPTION / 2)); }

