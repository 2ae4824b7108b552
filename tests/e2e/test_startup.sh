#!/usr/bin/env bash
# Start-up: the command lines that end at once without a window, the ones that open the saver, the saver with
# settings files it cannot use, the single-instance test against a window of any of the titles that is already open,
# and two starts at the same moment. "/c" opening the settings dialog is test_dialog.sh's first step.
set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

SAVER='^Tavrin_Main$' DIALOG='^Quorvelの設定$'

# No window of either title beyond those already open; true once the program has ended.
no_window_and_ended() {
  (($(qv_windows "$SAVER" | wc -l) <= savers && $(qv_windows "$DIALOG" | wc -l) <= dialogs)) ||
    qv_fail "command line '${text:0:40}' opened a window"
  ! qv_running "$QV_PID"
}
ends_at_once() {
  local text savers dialogs
  savers=$(qv_windows "$SAVER" | wc -l) dialogs=$(qv_windows "$DIALOG" | wc -l)
  for text in "$@"; do
    qv_start_scr "$text"
    qv_wait_until 10 no_window_and_ended || qv_fail "command line '${text:0:40}' did not end within 10 s"
    qv_pass "command line '${text:0:40}' ended by itself without a window"
  done
}

# Only a blank after the one that separates it from the program's path: not an empty command line.
ends_at_once '/x' ' ' '/ｓ' "/x$(printf 'é設定%.0s' {1..3000})"

for text in '/s' ''; do
  qv_start_scr "$text"
  qv_wait_until 30 qv_window "$SAVER" || qv_fail "'$text': no saver window"
  qv_geometry "$QV_WINDOW"
  [[ $QV_GEOM_X,$QV_GEOM_Y,$QV_GEOM_W,$QV_GEOM_H == 0,0,$QV_SCREEN_W,$QV_SCREEN_H ]] ||
    qv_fail "'$text': the saver window is ${QV_GEOM_W}x$QV_GEOM_H at $QV_GEOM_X,$QV_GEOM_Y, not the whole screen"
  qv_click 512 384
  qv_wait_exit "$QV_PID" 10 || qv_fail "'$text': a click did not end the saver"
  qv_wait_until 5 qv_not qv_window "$SAVER" || qv_fail "'$text': the saver window stayed"
  qv_pass "'$text' showed the saver over the whole screen until a click"
done

# Settings files that hold no usable settings, or cannot be read at all, still give a saver.
saver_runs() {
  qv_start_scr /s && qv_wait_until 30 qv_window "$SAVER" && qv_click 512 384 && qv_wait_exit "$QV_PID" 10 ||
    qv_fail "$1: no saver, or one that a click did not end"
  qv_pass "$1: the saver ran until a click"
}
printf '[Section]\r\n%s=%s\r\n' "$KEY_SIZE" "$(printf '9%.0s' {1..300})" >"$QV_INI"
saver_runs "a value of 300 digits"
for byte in $(seq 0 255); do printf "\\$(printf %03o "$byte")"; done >"$QV_INI"
saver_runs "every byte value"
printf '[Section]\r\nTavrinの長さ=１２０\r\n' | iconv -f UTF-8 -t UTF-16 >"$QV_INI"
saver_runs "a file in UTF-16"
printf '[Other]\r\n%s=80\r\n' "$KEY_LENGTH" >"$QV_INI"
saver_runs "no section of its own"
: >"$QV_INI"
saver_runs "an empty file"
rm "$QV_INI"
mkdir "$QV_INI"
saver_runs "a folder named Quorvel.ini"
rmdir "$QV_INI"
echo '[Section]' >"$QV_INI"
qv_wine "$QV_WIN32/probe.exe" lock "$(qv_winpath "$QV_INI")" >"$QV_TMP/lock.txt" 2>>"$QV_TMP/wine.log" &
qv_wait_until 20 grep -q locked "$QV_TMP/lock.txt" || qv_fail "the program that locks the settings file did not start"
saver_runs "a file locked by another program"
qv_kill_programs || qv_fail "could not end the locking program"

# Another instance's window, whatever its class, keeps the settings dialog and the saver from opening: the saver
# and the settings in either language.
for title in Tavrin_Main Quorvelの設定 'Quorvel Settings'; do
  qv_start_helper probe window "$title"
  qv_wait_until 30 qv_window "^$title\$" || qv_fail "the stand-in window '$title' did not appear"
  ends_at_once '/c' '/s'
  qv_kill_programs || qv_fail "could not end the stand-in window '$title'"
done

# Two starts at the same moment both pass the window-title test before either window exists; the per-session
# mutex lets one of them on, and the other ends by itself.
one_program_one_window() { PROGRAMS=$(qv_pids 'Quorvel\.scr' | wc -l) WINDOWS=$(qv_windows "$SAVER|$DIALOG" | wc -l)
  ((PROGRAMS == 1 && WINDOWS == 1)); }
for pair in '/s /s' '/s /c'; do
  read -r first second <<<"$pair"
  QV_LAUNCH_EXE=$(qv_winpath "$QV_SCR") QV_LAUNCH_ARGS=$first QV_LAUNCH_ARGS2=$second \
    qv_spawn qv_wine "$QV_WIN32/probe.exe" launch2
  qv_wait_until 30 one_program_one_window && qv_kill_programs ||
    qv_fail "'$first' and '$second' started together: $PROGRAMS programs, $WINDOWS windows"
  qv_pass "'$first' and '$second' started at the same moment: one window, the other start ended by itself"
done
qv_done
