#!/usr/bin/env bash
# Display scaling magnifies the crawlers: with Windows' DPI (LogPixels) at 96, 144 and 192 the saver's heads
# measure 1, 1.5 and 2 times their size at 96 dpi, and so do the X11 program's with Xft.dpi at 96 and 192, each
# the median over whole eyes in several screenshots. QUORVEL_X11_PROGRAM names the X11 program (default
# build/native/quorvel).
set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
PROGRAM=${QUORVEL_X11_PROGRAM:-$QV_BUILD/native/quorvel}
[[ -x $PROGRAM ]] || qv_fail "no X11 program at $PROGRAM (build the native preset with libx11-dev and libxext-dev)"

# eye_sides PICTURE: the side of each whole eye in the picture, one a line. An eye is a disc of white and
# near-black ink, colours only the heads have (the cyan sheet's glints are white but hold no ink); its box is
# the same at any heading. One cut by the picture's edge or partly covered by the other head is left out: its
# box touches the edge, is not square, or is not mostly filled. The ink's patches come first, then the eyes'.
eye_sides() {
  convert "$1" -alpha off -print '%w %h\n' -fill '#FFFFFE' -opaque '#090909' -define connected-components:verbose=true \
    \( +clone -fill black +opaque '#FFFFFE' -connected-components 8 +delete \) \
    -fill '#FFFFFE' -opaque '#FFFFFF' -fill black +opaque '#FFFFFE' -connected-components 8 null: 2>/dev/null |
    awk 'NR == 1 { width = $1; height = $2; next }
      /^Objects/ { ++section; next }
      $NF != "srgb(255,255,254)" { next }
      { split($2, box, /[x+]/); split($3, centre, ",") }
      section == 1 { cx[++inks] = centre[1]; cy[inks] = centre[2]; next }
      {
        w = box[1]; h = box[2]; x = box[3]; y = box[4]; side = w > h ? w : h
        if (x == 0 || y == 0 || x + w >= width || y + h >= height) next
        if ((w > h ? w - h : h - w) > 1 + side / 10 || $4 < 0.6 * w * h) next
        for (i = 1; i <= inks; ++i)
          if (cx[i] >= x && cx[i] < x + w && cy[i] >= y && cy[i] < y + h) { print side; next }
      }'
}

# The eyes at scale 1, straight from the sheet; the crawlers are drawn at the default size, 75 %.
SHEET_SIDE=$(eye_sides "$QV_SRC/assets/sheet_green.bmp" | sort -n | tail -n1)
((${SHEET_SIDE:-0} >= 12)) || qv_fail "could not find the eyes on the sheet (got '$SHEET_SIDE')"

# collect PID: one screenshot's eyes added to $QV_TMP/sides; true once there are 12 eyes from 3 screenshots.
shots=0
collect() {
  qv_running "$1" || qv_fail "the saver ended by itself after $shots screenshots"
  qv_screenshot "$QV_TMP/shot.png"
  shots=$((shots + 1))
  eye_sides "$QV_TMP/shot.png" >>"$QV_TMP/sides"
  ((shots >= 3 && $(wc -l <"$QV_TMP/sides") >= 12))
}

# measure WHAT DPI PID: the median eye side over screenshots of the running saver PID, against the sheet's
# side x 0.75 x DPI / 96. The tolerance, 10 %, holds a one-pixel rounding either way of an eye 17 pixels across
# at 96 dpi (nearest-pixel drawing of a picture turned to any heading) and the eye's own 22 x 23 box; a factor
# applied twice or not at all misses by a third or more.
measure() {
  local what=$1 dpi=$2 pid=$3 median expected
  : >"$QV_TMP/sides"
  shots=0
  qv_wait_until 60 collect "$pid" ||
    qv_fail "$what at $dpi dpi: only $(wc -l <"$QV_TMP/sides") whole eyes in $shots screenshots"
  cp "$QV_TMP/shot.png" "$QV_ARTIFACTS/${what%% *}_$dpi.png"
  median=$(sort -n "$QV_TMP/sides" | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }')
  expected=$(echo "$SHEET_SIDE * 0.75 * $dpi / 96" | bc -l)
  qv_log "$what at $dpi dpi: sides of $(wc -l <"$QV_TMP/sides") eyes (pixels x count):" \
    "$(sort -n "$QV_TMP/sides" | uniq -c | awk '{ printf "%sx%s ", $2, $1 }')"
  awk -v m="$median" -v e="$expected" 'BEGIN { exit !(m >= 0.9 * e && m <= 1.1 * e) }' ||
    qv_fail "$what at $dpi dpi: eyes measure $median px, expected $(printf %.1f "$expected") within 10 %"
  qv_pass "$what at $dpi dpi: eyes measure $median px (expected $(printf %.1f "$expected")):" \
    "$(printf %.2f "$(echo "$median / ($SHEET_SIDE * 0.75)" | bc -l)") times their size at 96 dpi"
}

saver_at() {
  local dpi=$1 shown
  # Wine 8 reads the DPI from this value, else from HKLM's Hardware Profiles\Current\Software\Fonts.
  qv_wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >>"$QV_TMP/wine.log" 2>&1 ||
    qv_fail "could not set LogPixels"
  shown=$(qv_wine "$QV_WIN32/probe.exe" dpi 2>>"$QV_TMP/wine.log" | tr -d '\r')
  [[ $shown == *"primary=$dpi "* ]] || qv_fail "with LogPixels at $dpi, Windows programs see '$shown'"
  qv_start_scr /s
  qv_wait_until 20 qv_window '^Tavrin_Main$' || qv_fail "no saver window at $dpi dpi"
  measure "Quorvel.scr" "$dpi" "$QV_PID"
  qv_click 400 300
  qv_wait_exit "$QV_PID" "$QV_ENDS_WITHIN" || qv_fail "the saver at $dpi dpi did not end on a click"
}

x11_at() {
  local dpi=$1 pid
  xrdb -nocpp -merge <<<"Xft.dpi: $dpi" || qv_fail "xrdb could not set Xft.dpi"
  "$PROGRAM" --root &
  pid=$!
  measure "quorvel --root" "$dpi" "$pid"
  kill -TERM "$pid"
  qv_wait_exit "$pid" "$QV_ENDS_WITHIN" || qv_fail "quorvel --root at $dpi dpi did not end on SIGTERM"
}

# The unscaled runs first: they check the measuring itself, whatever the scaled runs find.
saver_at 96
x11_at 96
saver_at 144
saver_at 192
x11_at 192
qv_done
