#!/usr/bin/env bash
# A long run: "/s" for QV_LONGRUN_SECONDS (120 by default; the same script runs longer), sampling every 5 s the
# program's resident memory (VmRSS) and its GDI and USER objects (GetGuiResources through probe.exe; Wine answers 0
# for both, so there memory alone tells). From 20 s on they stay flat: memory within 512 kB of its value then,
# the object counts unchanged. The samples (seconds, kB, GDI, USER) are kept in build/e2e/test_longrun/samples.txt.
set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

TOTAL=${QV_LONGRUN_SECONDS:-120} SAMPLES=$QV_ARTIFACTS/samples.txt
qv_start_scr /s
qv_wait_until 30 qv_window '^Tavrin_Main$' || qv_fail "no saver window"
PID=$(qv_pids 'Quorvel\.scr' | head -n1) START=$(date +%s) && : >"$SAMPLES"
past() { (($(date +%s) - START >= $1)); }
# Appends "seconds kB gdi user" to the samples and sets RSS, GDI and USER.
sample() {
  qv_running "$PID" || qv_fail "the saver ended by itself after $(($(date +%s) - START)) s"
  RSS=$(awk '/^VmRSS:/ { print $2 }' "/proc/$PID/status")
  read -r GDI USER < <(qv_wine "$QV_WIN32/probe.exe" gui Quorvel.scr 2>/dev/null | tr -d '\r' | tr -c '0-9\n' ' ')
  [[ -n $RSS && -n $USER ]] || qv_fail "no sample of the saver's memory and objects"
  echo "$(($(date +%s) - START)) $RSS $GDI $USER" >>"$SAMPLES"
}

qv_wait_until 25 past 20 || qv_fail "the clock did not reach 20 s"
sample
read -r _ RSS0 GDI0 USER0 <"$SAMPLES"
until past "$TOTAL"; do
  sleep 5  # the sampling period, not a wait for a condition
  sample
  ((RSS - RSS0 <= 512 && GDI == GDI0 && USER == USER0)) ||
    qv_fail "after $(($(date +%s) - START)) s: memory $RSS0 -> $RSS kB, GDI $GDI0 -> $GDI, USER $USER0 -> $USER"
done
qv_click 512 384
qv_wait_exit "$QV_PID" 10 || qv_fail "a click did not end the saver after the long run"
qv_pass "$TOTAL s of /s: from 20 s on, memory $RSS0 -> $RSS kB, GDI $GDI0 -> $GDI, USER $USER0 -> $USER objects"
qv_done
