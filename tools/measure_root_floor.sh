#!/usr/bin/env bash
# Measures, for the record, the X11 program's processor time against presenting alone on a 1920x1080 Xvfb display:
# "quorvel --root" and the floor, quorvel-present-floor (tools/x11/present_floor.cpp), take turns ROUNDS times
# (default 3), each sampled for SECONDS (default 20) past its start-up, so that load from elsewhere on the machine
# falls on both alike and a one-tick clock step stays small. It prints each round and the median of the ratios
# quorvel/floor. QV_XFT_DPI=N sets Xft.dpi on the display first, to measure the magnified drawing. It asserts
# nothing. Run from the source tree after building the native preset:
#   bash tools/measure_root_floor.sh [ROUNDS] [SECONDS]
set -uo pipefail
QV_NO_WINE=1 QV_SCREEN_W=1920 QV_SCREEN_H=1080
source "$(dirname "${BASH_SOURCE[0]}")/../tests/e2e/lib.sh"
rounds=${1:-3} seconds=${2:-20} bin=$QV_BUILD/native
for program in quorvel quorvel-present-floor; do
  [[ -x $bin/$program ]] || qv_fail "no $bin/$program (build the native preset)"
done
if [[ -n ${QV_XFT_DPI:-} ]]; then
  xrdb -nocpp -merge <<<"Xft.dpi: $QV_XFT_DPI" || qv_fail "xrdb could not set Xft.dpi"
fi

# cpu_of COMMAND...: percent of a core COMMAND uses over $seconds after its first two; it is ended afterwards.
cpu_of() {
  local pid
  "$@" >/dev/null 2>&1 &
  pid=$!
  sleep 2
  qv_cpu_percent "$pid" "$seconds"
  kill -TERM "$pid" 2>/dev/null
  qv_wait_exit "$pid" 5
}

for ((round = 1; round <= rounds; ++round)); do
  saver=$(cpu_of "$bin/quorvel" --root)
  floor=$(cpu_of "$bin/quorvel-present-floor" $((seconds + 10)))
  ratio=$(awk -v s="$saver" -v f="$floor" 'BEGIN { if (f > 0) printf "%.3f", s / f; else print "n/a" }')
  echo "$ratio" >>"$QV_TMP/ratios"
  qv_log "round $round: quorvel --root ${saver}% of a core, floor ${floor}%, quorvel/floor $ratio"
done
qv_log "Xft.dpi ${QV_XFT_DPI:-unset}, ${seconds} s samples: median quorvel/floor" \
  "$(grep -v n/a "$QV_TMP/ratios" | sort -n | awk '{ v[NR] = $1 } END { print NR ? v[int((NR + 1) / 2)] : "n/a" }')"
