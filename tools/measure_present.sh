#!/usr/bin/env bash
# Measures, for the record, what presenting costs the saver under Wine: its CPU use (percent of one core) over
# ten seconds of "/s" on the 1024x768 test display (both test monitors with QV_TWO_MONITORS=1), beside the
# floor, present_floor.exe (tools/win32/present_floor.cpp, built with the Windows programs), which only presents
# two 8-bit buffers of the primary screen's size at the same pacing. It asserts nothing. Run from the source tree
# after building a Windows preset:
#   QUORVEL_WIN32_DIR=$PWD/build/win64 bash tools/measure_present.sh
set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/../scripts/lib/bench.sh"

# The Unix process of the program of this prefix matching PATTERN, in QV_MEASURED.
measured() { QV_MEASURED=$(qv_pids "$1" | head -n1); [[ -n $QV_MEASURED ]]; }
start_saver() { qv_start_scr /s && qv_wait_until 20 qv_window '^Tavrin_Main$' && measured 'Quorvel\.scr'; }
end_saver() { qv_click 400 300 && qv_wait_exit "$QV_PID" 5; }
start_floor() {
  qv_start_helper present_floor 14 "$(qv_winpath "$QV_TMP/floor.txt")" && qv_wait_until 10 measured 'present_floor\.exe'
}
qv_present_cost saver start_saver end_saver start_floor
