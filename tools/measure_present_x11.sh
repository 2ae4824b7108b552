#!/usr/bin/env bash
# Measures, for the record, what presenting costs the X11 program: its CPU use (percent of one core) over ten
# seconds of "quorvel --root" on a 1920x1080 Xvfb display, beside the floor, quorvel-present-floor
# (tools/x11/present_floor.cpp), which only presents two whole frames of that size each refresh through the same
# presenter and pacing. It asserts nothing. Run from the source tree after building the native preset:
#   bash tools/measure_present_x11.sh
set -uo pipefail
QV_NO_WINE=1 QV_SCREEN_W=1920 QV_SCREEN_H=1080
source "$(dirname "${BASH_SOURCE[0]}")/../tests/e2e/lib.sh"
bin=$QV_BUILD/native

ticks_per_second=$(getconf CLK_TCK)
cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }
# PID: percent of one core it used over ten seconds.
cpu_percent() {
  local t0
  t0=$(cpu_ticks "$1")
  sleep 10
  echo "scale=1; 100 * ($(cpu_ticks "$1") - $t0) / (10 * $ticks_per_second)" | bc
}

"$bin/quorvel" --root &
saver=$!
sleep 2  # past the start-up
saver_cpu=$(cpu_percent "$saver")
kill -TERM "$saver"
qv_wait_exit "$saver" 5

"$bin/quorvel-present-floor" 14 >"$QV_TMP/floor.txt" &
floor=$!
sleep 2
floor_cpu=$(cpu_percent "$floor")
qv_wait_exit "$floor" 20

qv_log "quorvel --root: ${saver_cpu}% of a core"
qv_log "floor: ${floor_cpu}% of a core, $(cat "$QV_TMP/floor.txt")"
[[ $floor_cpu != 0 ]] && qv_log "quorvel/floor: $(echo "scale=3; $saver_cpu / $floor_cpu" | bc)"
