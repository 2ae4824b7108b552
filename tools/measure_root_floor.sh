#!/usr/bin/env bash
# Measures, for the record, the X11 program's processor time against presenting alone on a 1920x1080 Xvfb display,
# several times over: each round measures "quorvel --root" and then the floor, quorvel-present-floor
# (tools/x11/present_floor.cpp), as qv_present_cost does, so that load from elsewhere on the machine falls on both
# alike; it prints every round and the median of the ratios quorvel/floor. QV_XFT_DPI=N sets Xft.dpi on the display
# first, to measure the magnified drawing. It asserts nothing. Run from the source tree after building the native
# preset:
#   bash tools/measure_root_floor.sh [ROUNDS=5]
set -uo pipefail
QV_NO_WINE=1 QV_SCREEN_W=1920 QV_SCREEN_H=1080
source "$(dirname "${BASH_SOURCE[0]}")/../scripts/lib/bench.sh"
rounds=${1:-5} bin=$QV_BUILD/native
for program in quorvel quorvel-present-floor; do
  [[ -x $bin/$program ]] || qv_fail "no $bin/$program (build the native preset)"
done
if [[ -n ${QV_XFT_DPI:-} ]]; then
  xrdb -nocpp -merge <<<"Xft.dpi: $QV_XFT_DPI" || qv_fail "xrdb could not set Xft.dpi"
fi

start_saver() { "$bin/quorvel" --root & QV_MEASURED=$!; }
end_saver() { kill -TERM "$QV_MEASURED" && qv_wait_exit "$QV_MEASURED" 5; }
start_floor() { "$bin/quorvel-present-floor" 14 >"$QV_TMP/floor.txt" & QV_MEASURED=$!; }
for ((round = 1; round <= rounds; ++round)); do
  qv_present_cost "quorvel --root" start_saver end_saver start_floor >"$QV_TMP/round"
  sed "s/^\[[^]]*\] /round $round: /" "$QV_TMP/round"
  sed -n 's|.*quorvel --root/floor: ||p' "$QV_TMP/round" >>"$QV_TMP/ratios"
done
qv_log "Xft.dpi ${QV_XFT_DPI:-unset}: median quorvel/floor over $(wc -l <"$QV_TMP/ratios") rounds" \
  "$(sort -n "$QV_TMP/ratios" | awk '{ v[NR] = $1 } END { print NR ? v[int((NR + 1) / 2)] : "none" }')"
