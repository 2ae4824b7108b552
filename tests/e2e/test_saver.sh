#!/usr/bin/env bash
# Saver mode under Wine: "/s" covers the whole screen; over the first 20 seconds the screen shows only the
# green sheet's colours on black, crawlers in it, and at some point both crawlers apart; key presses and mouse
# movement leave it running; a click ends it within a second, and so does a right click in its first moments;
# afterwards no saver window is left.
#
# With QUORVEL_MEASURE=1 it then also measures, for the record only, the saver's CPU use and frame rate over
# ten seconds beside the floor program (tests/e2e/helpers/present_floor.cpp), which only presents two 8-bit
# buffers of the screen's size at the same pacing.
set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

SHEET=$QV_SRC/assets/sheet_green.bmp
[[ -f $SHEET ]] || qv_fail "the green sprite sheet $SHEET is missing"

# The colours the screen may show while the saver runs: black and the green sheet's own colours.
convert "$SHEET" -unique-colors txt:- 2>/dev/null | awk 'NR > 1 { print toupper($3) }' | sort -u >"$QV_TMP/allowed.txt"
grep -qx '#000000' "$QV_TMP/allowed.txt" || echo '#000000' >>"$QV_TMP/allowed.txt"
sort -u -o "$QV_TMP/allowed.txt" "$QV_TMP/allowed.txt"
(($(wc -l <"$QV_TMP/allowed.txt") > 5)) || qv_fail "could not read the colours of $SHEET"
# Each frame copies the cyan buffer and then the green one over it, so a screenshot taken between the two
# copies may catch cyan: allowed now and then, but what stays on the screen must be green.
convert "$QV_SRC/assets/sheet_cyan.bmp" -unique-colors txt:- 2>/dev/null | awk 'NR > 1 { print toupper($3) }' |
  sort -u | comm -23 - "$QV_TMP/allowed.txt" >"$QV_TMP/cyan_only.txt"
sort -u "$QV_TMP/allowed.txt" "$QV_TMP/cyan_only.txt" >"$QV_TMP/either.txt"

shown_colours() { convert "$1" -alpha off -unique-colors txt:- 2>/dev/null | awk 'NR > 1 { print toupper($3) }' | sort -u; }

# Heads on the screen, apart: only the heads carry pure white (their eyes), and the two eyes of one head
# merge into one patch once widened, so two patches are two heads with their crawlers.
heads_apart() {
  convert "$1" -alpha off -fill black +opaque '#FFFFFF' -morphology Dilate Disk:8 \
    -define connected-components:verbose=true -connected-components 8 null: 2>/dev/null |
    grep -c 'srgb(255,255,255)'
}

# The Unix process of a Windows program of this script's own prefix, found by a piece of its command line.
wine_process_of() {
  local pid
  for pid in $(pgrep -f "$1"); do
    if tr '\0' '\n' <"/proc/$pid/environ" 2>/dev/null | grep -qx "WINEPREFIX=$WINEPREFIX"; then
      echo "$pid"
      return 0
    fi
  done
  return 1
}

cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat" 2>/dev/null; }

# ---- The window ----
qv_start_scr "/s"
SAVER=$QV_PID
qv_wait_window "Tavrin_Main" 20 || qv_fail "no window titled Tavrin_Main appeared"
qv_window_geometry "$QV_WINDOW"
[[ $QV_GEOM_X == 0 && $QV_GEOM_Y == 0 && $QV_GEOM_W == "$QV_SCREEN_W" && $QV_GEOM_H == "$QV_SCREEN_H" ]] ||
  qv_fail "the saver window is ${QV_GEOM_W}x$QV_GEOM_H at $QV_GEOM_X,$QV_GEOM_Y, expected the whole ${QV_SCREEN_W}x$QV_SCREEN_H screen"
qv_pass "the saver window covers the whole ${QV_SCREEN_W}x$QV_SCREEN_H screen"

# ---- Twenty seconds of screenshots ----
start=$(date +%s.%N)
shots=0 lit_shots=0 both_seen=0 between_copies=0
while (($(echo "$(date +%s.%N) - $start < 20" | bc))); do
  shot=$QV_TMP/run.png
  qv_screenshot "$shot" || qv_fail "no screenshot"
  shots=$((shots + 1))
  shown_colours "$shot" >"$QV_TMP/shown.txt"
  foreign=$(comm -23 "$QV_TMP/shown.txt" "$QV_TMP/either.txt" | head -5 | tr '\n' ' ')
  if [[ -n $foreign ]]; then
    cp "$shot" "$QV_ARTIFACTS/foreign-colours.png"
    qv_fail "screenshot $shots shows colours of neither sheet: $foreign(see $QV_ARTIFACTS/foreign-colours.png)"
  fi
  if [[ -n $(comm -12 "$QV_TMP/shown.txt" "$QV_TMP/cyan_only.txt") ]]; then
    between_copies=$((between_copies + 1))
    cp "$shot" "$QV_ARTIFACTS/between-copies-$between_copies.png"
  fi
  lit=$(qv_count_colour "$shot" 000000)
  lit=$((QV_SCREEN_W * QV_SCREEN_H - lit))
  ((lit > 0)) && lit_shots=$((lit_shots + 1))
  if ((both_seen == 0)) && (($(heads_apart "$shot") >= 2)); then
    both_seen=1
    cp "$shot" "$QV_ARTIFACTS/both-crawlers.png"
  fi
  ((shots == 10)) && cp "$shot" "$QV_ARTIFACTS/after-a-while.png"
  qv_running "$SAVER" || qv_fail "the saver ended by itself after $shots screenshots"
  sleep 0.7
done
((between_copies * 3 <= shots)) ||
  qv_fail "$between_copies of $shots screenshots show the cyan buffer: the green one should stay on the screen"
qv_pass "$shots screenshots over 20 s show the green sheet's colours on black ($between_copies caught between the two copies)"
((lit_shots > shots / 2)) || qv_fail "crawlers showed in only $lit_shots of $shots screenshots"
qv_pass "crawlers show in $lit_shots of $shots screenshots"
((both_seen)) || qv_fail "the two crawlers never showed apart in $shots screenshots"
qv_pass "both crawlers showed apart (see $QV_ARTIFACTS/both-crawlers.png)"

# ---- Keys and mouse movement leave it running ----
qv_key a space Return Escape Tab shift F1
for point in "10 10" "500 400" "1000 700" "300 600" "512 384"; do
  # shellcheck disable=SC2086
  qv_move $point
  sleep 0.1
done
sleep 1.5
qv_running "$SAVER" || qv_fail "keys or mouse movement ended the saver"
qv_find_window "Tavrin_Main" || qv_fail "keys or mouse movement closed the saver window"
qv_pass "key presses and mouse movement leave the saver running"

# ---- A click ends it within a second ----
qv_click 400 300
qv_wait_exit "$SAVER" 1 || qv_fail "the saver was still running a second after the click"
qv_pass "a click ended the saver within a second (exit code $QV_EXIT_CODE)"

qv_wait_no_window "Tavrin_Main" 2 || qv_fail "the saver window is still shown after the program ended"
qv_screenshot "$QV_TMP/after.png"
cp "$QV_TMP/after.png" "$QV_ARTIFACTS/after-exit.png"
green=0
for colour in 00CE79 00C671 00BD68 00B560 00AD58 00A550 337A50 2B6644; do
  green=$((green + $(qv_count_colour "$QV_TMP/after.png" "$colour")))
done
((green == 0)) || qv_fail "$green crawler pixels are still on the screen after the saver ended"
qv_pass "after the saver ended no saver window and no crawler is left on the screen"

# ---- The right button, pressed as soon as the window shows, ends it the same way ----
qv_start_scr "/s"
SAVER=$QV_PID
qv_wait_window "Tavrin_Main" 20 || qv_fail "no saver window on the second start"
qv_click 700 500 3
qv_wait_exit "$SAVER" 1 || qv_fail "the saver was still running a second after a right click in its first moments"
qv_wait_no_window "Tavrin_Main" 2 || qv_fail "the saver window stayed after the right click"
qv_pass "a right click in the first moments ended the saver within a second"

# ---- Measurements, for the record only ----
if [[ -n ${QUORVEL_MEASURE:-} ]]; then
  ticks_per_second=$(getconf CLK_TCK)
  measure_cpu() { # PID SECONDS -> percent of one core
    local pid=$1 seconds=$2 t0 t1
    t0=$(cpu_ticks "$pid")
    sleep "$seconds"
    t1=$(cpu_ticks "$pid")
    echo "scale=1; 100 * ($t1 - $t0) / ($seconds * $ticks_per_second)" | bc
  }

  qv_start_scr "/s"
  qv_wait_window "Tavrin_Main" 20 || qv_fail "measurement: no saver window"
  sleep 2
  pid=$(wine_process_of 'Quorvel\.scr') || qv_fail "measurement: no saver process"
  saver_cpu=$(measure_cpu "$pid" 10)
  qv_click 400 300
  qv_wait_exit "$QV_PID" 5

  # The frame rate: every present is one traced blit of the whole screen, two per frame.
  WINEDEBUG=+timestamp,trace+bitblt qv_start_scr "/s"
  qv_wait_window "Tavrin_Main" 20 || qv_fail "measurement: no saver window"
  sleep 2
  log=$QV_TMP/wine.log
  pattern="StretchBlt src .* log=0,0 ${QV_SCREEN_W}x${QV_SCREEN_H} .*rop=cc0020"
  n0=$(grep -c "$pattern" "$log")
  sleep 10
  n1=$(grep -c "$pattern" "$log")
  saver_fps=$(echo "scale=1; ($n1 - $n0) / 20" | bc)
  qv_click 400 300
  qv_wait_exit "$QV_PID" 5

  qv_start_helper present_floor 14 "$(qv_winpath "$QV_TMP/floor.txt")"
  floor=$QV_PID
  qv_wait_window "Quorvel present floor" 20 || qv_fail "measurement: the floor program showed no window"
  sleep 2
  pid=$(wine_process_of 'present_floor\.exe') || qv_fail "measurement: no floor process"
  floor_cpu=$(measure_cpu "$pid" 10)
  qv_wait_exit "$floor" 20
  floor_result=$(cat "$QV_TMP/floor.txt" 2>/dev/null)

  qv_log "MEASURE saver: ${saver_cpu}% of a core, ${saver_fps} frames/s (paced, ${QV_SCREEN_W}x$QV_SCREEN_H)"
  qv_log "MEASURE floor: ${floor_cpu}% of a core, $floor_result"
  if [[ -n $floor_cpu && $floor_cpu != 0 ]]; then
    qv_log "MEASURE ratio saver/floor: $(echo "scale=2; $saver_cpu / $floor_cpu" | bc)"
  fi
fi
exit 0
