#!/usr/bin/env bash
# Measures, for the record, what presenting costs the saver under Wine: its CPU use (percent of one core) over
# ten seconds of "/s" on the 1024x768 test display (both test monitors with QV_TWO_MONITORS=1), beside the
# floor, present_floor.exe (tools/win32/present_floor.cpp, built with the Windows programs), which only presents
# two 8-bit buffers of the primary screen's size at the same pacing. It asserts nothing. Run from the source tree after building a Windows preset:
#   QUORVEL_WIN32_DIR=$PWD/build/win64 bash tools/measure_present.sh
set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/../tests/e2e/lib.sh"

# PATTERN: percent of one core the program of this prefix matching PATTERN used over ten seconds.
cpu_percent() {
  local pid
  pid=$(qv_pids "$1" | head -n1)
  [[ -n $pid ]] || qv_fail "no process matching $1"
  qv_cpu_percent "$pid"
}
saver_shown() { qv_window '^Tavrin_Main$'; }

qv_start_scr /s
qv_wait_until 20 saver_shown || qv_fail "no saver window"
sleep 2  # past the start-up
saver_cpu=$(cpu_percent 'Quorvel\.scr')
qv_click 400 300
qv_wait_exit "$QV_PID" 5

qv_start_helper present_floor 14 "$(qv_winpath "$QV_TMP/floor.txt")"
floor=$QV_PID
sleep 2
floor_cpu=$(cpu_percent 'present_floor\.exe')
qv_wait_exit "$floor" 20

qv_log "saver: ${saver_cpu}% of a core"
qv_log "floor: ${floor_cpu}% of a core, $(cat "$QV_TMP/floor.txt")"
[[ $floor_cpu != 0 ]] && qv_log "saver/floor: $(echo "scale=2; $saver_cpu / $floor_cpu" | bc)"
