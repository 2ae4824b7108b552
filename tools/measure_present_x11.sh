#!/usr/bin/env bash
# Measures, for the record, what presenting costs the X11 program: its CPU use (percent of one core) over ten
# seconds of "quorvel --root" on a 1920x1080 Xvfb display, beside the floor, quorvel-present-floor
# (tools/x11/present_floor.cpp), which only presents two whole frames of that size each refresh through the same
# presenter and pacing. It asserts nothing. Run from the source tree after building the native preset:
#   bash tools/measure_present_x11.sh
set -uo pipefail
QV_NO_WINE=1 QV_SCREEN_W=1920 QV_SCREEN_H=1080
source "$(dirname "${BASH_SOURCE[0]}")/../scripts/lib/bench.sh"
bin=$QV_BUILD/native

start_saver() { "$bin/quorvel" --root & QV_MEASURED=$!; }
end_saver() { kill -TERM "$QV_MEASURED" && qv_wait_exit "$QV_MEASURED" 5; }
start_floor() { "$bin/quorvel-present-floor" 14 >"$QV_TMP/floor.txt" & QV_MEASURED=$!; }
qv_present_cost "quorvel --root" start_saver end_saver start_floor
