#!/usr/bin/env bash
# Start-up under Wine: which command lines end at once, which open the saver or the settings
# dialog, and the single-instance test against windows that are already open.
set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

readonly SAVER_TITLE='Tavrin_Main'
readonly SETTINGS_TITLE='Quorvelの設定'

# Starts the program and expects it to end by itself without ever showing a window.
expect_ends_at_once() {
  local text=$1 started elapsed windows_before savers_before dialogs_before shown
  shown=$(qv_brief "$text")
  windows_before=$(qv_visible_window_count)
  savers_before=$(qv_window_count "$SAVER_TITLE")
  dialogs_before=$(qv_window_count "$SETTINGS_TITLE")
  started=$(date +%s%3N)
  qv_start_scr "$text"
  local deadline
  deadline=$(qv__deadline 10)
  while qv_running "$QV_PID"; do
    (($(qv_window_count "$SAVER_TITLE") <= savers_before)) || qv_fail "command line '$shown' opened a $SAVER_TITLE window"
    (($(qv_window_count "$SETTINGS_TITLE") <= dialogs_before)) || qv_fail "command line '$shown' opened a $SETTINGS_TITLE window"
    qv__before "$deadline" || qv_fail "command line '$shown' did not end within 10 s"
    sleep 0.05
  done
  qv_wait_exit "$QV_PID" 1
  elapsed=$(($(date +%s%3N) - started))
  local windows_after
  windows_after=$(qv_visible_window_count)
  ((windows_after <= windows_before)) ||
    qv_fail "command line '$shown' left $((windows_after - windows_before)) new window(s)"
  qv_pass "command line '$shown' ended by itself after $elapsed ms without a window"
}

# Starts the saver and checks that it covers the screen and ends on a mouse click.
expect_saver() {
  local text=$1
  qv_start_scr "$text"
  local pid=$QV_PID
  qv_wait_window "$SAVER_TITLE" 30 || qv_fail "command line '$text': no window titled $SAVER_TITLE"
  local deadline
  deadline=$(qv__deadline 10)
  until qv_window_geometry "$QV_WINDOW" &&
    [[ "$QV_GEOM_X,$QV_GEOM_Y,$QV_GEOM_W,$QV_GEOM_H" == "0,0,$QV_SCREEN_W,$QV_SCREEN_H" ]]; do
    qv__before "$deadline" ||
      qv_fail "command line '$text': saver window at ${QV_GEOM_X:-?},${QV_GEOM_Y:-?} size ${QV_GEOM_W:-?}x${QV_GEOM_H:-?}, expected 0,0 size ${QV_SCREEN_W}x$QV_SCREEN_H"
    sleep 0.1
  done
  qv_running "$pid" || qv_fail "command line '$text': the saver ended by itself"
  qv_screenshot "$QV_ARTIFACTS/saver-$(tr -dc 'a-z' <<<"${text:-empty}").png"
  local started
  started=$(date +%s%3N)
  qv_click $((QV_SCREEN_W / 2)) $((QV_SCREEN_H / 2))
  if ! qv_wait_exit "$pid" 5; then
    # A click can be lost while the window is still being set up on a busy machine; one more.
    qv_log "command line '$text': still running 5 s after a click; clicking once more"
    qv_click $((QV_SCREEN_W / 2 + 10)) $((QV_SCREEN_H / 2 + 10))
    qv_wait_exit "$pid" 10 || qv_fail "command line '$text': the saver did not end on a mouse click"
  fi
  qv_wait_no_window "$SAVER_TITLE" 5 || qv_fail "command line '$text': the saver window stayed after the click"
  qv_pass "command line '$text' opened a full-screen $SAVER_TITLE window that a click ended in $(($(date +%s%3N) - started)) ms"
}

# With a window of the given title already open, the program must end at once for each command line.
expect_single_instance() {
  local title=$1
  shift
  qv_start_helper title_window "$title"
  local helper=$QV_PID
  qv_wait_window "$title" 30 || qv_fail "the helper window '$title' did not appear"
  local text
  for text in "$@"; do
    expect_ends_at_once "$text"
    qv_running "$helper" || qv_fail "the helper window '$title' closed during the test"
  done
  qv_kill_programs || qv_fail "could not end the helper window '$title'"
  qv_wait_no_window "$title" 10 || qv_fail "the helper window '$title' stayed"
}

qv_log "command lines that end at once"
expect_ends_at_once '/x'
expect_ends_at_once '/'
expect_ends_at_once ' '

qv_log "odd command lines end at once too"
expect_ends_at_once '/p 99999999999'
expect_ends_at_once '/p'
expect_ends_at_once '/ｓ'
expect_ends_at_once "/x$(printf 'é設定%.0s' {1..3000})"

qv_log "saver mode"
expect_saver '/s'
expect_saver ''
expect_saver '/start'

qv_log "settings mode"
qv_start_scr '/c'
qv_wait_window "$SETTINGS_TITLE" 30 || qv_fail "'/c' opened no window titled $SETTINGS_TITLE"
qv_screenshot "$QV_ARTIFACTS/settings.png"
qv_pass "'/c' opened a window titled $SETTINGS_TITLE"
qv_kill_programs || qv_fail "could not end the settings dialog"
qv_wait_no_window "$SETTINGS_TITLE" 10 || qv_fail "the settings window stayed after its process ended"

qv_log "single-instance test"
expect_single_instance "$SAVER_TITLE" '/c' '/s'
expect_single_instance "$SETTINGS_TITLE" '/c' '/s'

qv_log "all start-up checks passed"
