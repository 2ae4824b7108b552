#!/usr/bin/env bash
# The X11 program on a screen of two monitors of different sizes (Xephyr with Xinerama: 1024x768 at 0,0 and
# 800x600 at 1024,0, so the strip right of the first monitor and below the second one is on no monitor):
# --fullscreen covers both, a crawler reaches the second monitor, and no target it logs lies in the gap.
# QUORVEL_X11_PROGRAM names the program (default build/native/quorvel).
set -uo pipefail
QV_NO_WINE=1 QV_TWO_MONITORS=1
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
PROGRAM=${QUORVEL_X11_PROGRAM:-$QV_BUILD/native/quorvel}
[[ -x $PROGRAM ]] || qv_fail "no X11 program at $PROGRAM (build the native preset)"
xdpyinfo -ext XINERAMA 2>/dev/null | grep -q 'head #1' || qv_fail "the nested server shows no second Xinerama head"

"$PROGRAM" --fullscreen --log-targets >"$QV_TMP/targets" 2>"$QV_TMP/stderr" &
pid=$!
qv_wait_until 10 qv_window '^Quorvel$' && qv_geometry "$QV_WINDOW" || qv_fail "no full-screen window"
[[ "$QV_GEOM_W x $QV_GEOM_H" == "1824 x 768" ]] || qv_fail "--fullscreen gave $QV_GEOM_W x $QV_GEOM_H, not both monitors"

# Lit pixels on the second monitor (1024..1823 x 0..599).
on_second() {
  qv_screenshot "$QV_TMP/shot.png"
  (($(qv_colours "$QV_TMP/shot.png" 1024 0 800 600 | awk '$2 != "000000" { n += $1 } END { print n + 0 }') > 500))
}
qv_wait_until 60 on_second || qv_fail "no crawler reached the second monitor in a minute"
qv_pass "--fullscreen covers both monitors (1824 x 768) and a crawler reaches the second one"

# Two targets a tick: 80 of them are 40 ticks. Were the monitors ignored, a target would fall in the gap
# (800 x 168 of 1824 x 768, a tenth of the screen) 80 times out of 80 with odds against of 1 in 3000.
logged() { (($(grep -c '^target ' "$QV_TMP/targets") >= 80)); }
qv_wait_until 60 logged || qv_fail "only $(grep -c '^target ' "$QV_TMP/targets") targets logged in a minute"
gap=$(awk '$1 == "target" && $3 > 1024 && $4 > 600' "$QV_TMP/targets" | head -3)
[[ -z $gap ]] || qv_fail "targets in the gap between the monitors: $gap"
outside=$(awk '$1 == "target" && ($3 < 0 || $3 > 1824 || $4 < 0 || $4 > 768)' "$QV_TMP/targets" | head -3)
[[ -z $outside ]] || qv_fail "targets off the screen: $outside"
kill -TERM "$pid"
qv_wait_exit "$pid" 2 || qv_fail "SIGTERM did not end the program"
[[ ! -s $QV_TMP/stderr ]] || qv_fail "the program printed: $(head -3 "$QV_TMP/stderr")"
qv_pass "$(grep -c '^target ' "$QV_TMP/targets") targets logged, every one on a monitor, none in the gap"
qv_done
