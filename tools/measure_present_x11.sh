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

"$bin/quorvel" --root &
saver=$!
sleep 2  # past the start-up
saver_cpu=$(qv_cpu_percent "$saver")
kill -TERM "$saver"
qv_wait_exit "$saver" 5

"$bin/quorvel-present-floor" 14 >"$QV_TMP/floor.txt" &
floor=$!
sleep 2
floor_cpu=$(qv_cpu_percent "$floor")
qv_wait_exit "$floor" 20

qv_log "quorvel --root: ${saver_cpu}% of a core"
qv_log "floor: ${floor_cpu}% of a core, $(cat "$QV_TMP/floor.txt")"
[[ $floor_cpu != 0 ]] && qv_log "quorvel/floor: $(echo "scale=3; $saver_cpu / $floor_cpu" | bc)"
