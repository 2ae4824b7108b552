#!/usr/bin/env bash
# Preview mode: the program shows one child window inside the host's preview window, of its size, and ends
# promptly after its host however the host goes, a hundred starts in a row included; the still, drawn by the
# preview code, fills a host of its own size exactly, sits on black in a larger one and is cut in a smaller one;
# input changes nothing; a handle naming no window ends the program at once; the settings file is never read.
set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

STILL=$QV_SRC/assets/preview.bmp
# Any read of the settings file would move its access time to after its modification time.
printf '[Section]\n' >"$QV_INI"
touch -a -d '2001-02-03 04:05:06' "$QV_INI"
INI_BEFORE=$(stat -c '%X %Y %s' "$QV_INI")

host_value() { sed -n "s/^$1=//p" "$HOST/host.txt" 2>/dev/null; }
# The preview window holds one child: the program's, visible, at 0,0 and of the host's size.
one_child() {
  [[ $(cat "$HOST/children.txt" 2>/dev/null) == "pid=$(host_value program) child=1 visible=1 at=0,0 size=${W}x$H" ]]
}
# start_host W H ARGUMENTS [thread]: a preview host running the program (or its preview code) with ARGUMENTS.
start_host() {
  HOST=$(mktemp -d "$QV_TMP/host.XXXXXX") W=$1 H=$2
  QV_LAUNCH_EXE=$(qv_winpath "$QV_SCR") QV_HOST_ARGS=$3 QV_HOST_MODE=${4:-process} \
    qv_spawn qv_wine "$QV_WIN32/preview_host.exe" "$1" "$2" "$(qv_winpath "$HOST")"
  HOST_PID=$QV_PID
  qv_log "preview host ${W}x$H '$3' ${4:-process}"
  qv_wait_until 30 test -s "$HOST/host.txt" || qv_fail "the preview host did not start"
  LEFT=$(host_value left) TOP=$(host_value top)
  qv_wait_until 20 one_child || qv_fail "${W}x$H: the preview window's children are '$(cat "$HOST/children.txt")'"
}
tell_host() { echo "$1" >"$HOST/command.part" && mv "$HOST/command.part" "$HOST/command.txt"; }
host_ended() { qv_wait_exit "$HOST_PID" 20 || qv_fail "${W}x$H: the preview host did not end"; }
grab() { qv_screenshot "$QV_TMP/screen.png" && qv_crop "$QV_TMP/screen.png" "$LEFT" "$TOP" "$W" "$H" "$1"; }
shows() { grab "$QV_TMP/shown.png" && [[ $(qv_diff_count "$QV_TMP/shown.png" "$1") == 0 ]]; }
changed() { grab "$QV_TMP/now.png" && [[ $(qv_diff_count "$QV_TMP/now.png" "$QV_TMP/before.png") != 0 ]]; }
program_gone() { [[ -z $(qv_pids 'Quorvel\.scr') ]]; }

# Mouse moves, clicks and keys over the preview change no pixel and do not end it.
input_ignored() {
  local x=$((LEFT + W / 2)) y=$((TOP + H / 2))
  grab "$QV_TMP/before.png"
  qv_move "$x" "$y"
  qv_click $((x + 20)) $((y + 10))
  qv_click "$x" "$y" 3
  qv_key a Return Escape space F1
  ! qv_wait_until 2 changed || { cp "$QV_TMP/now.png" "$QV_ARTIFACTS/"; qv_fail "${W}x$H: input changed the preview"; }
  grep -q child=1 "$HOST/children.txt" || qv_fail "${W}x$H: input ended the preview"
  qv_pass "${W}x$H: mouse and key input changed nothing"
}

# The program in its own process, as the display settings start it, and each way its host can go.
for row in '152 112 destroy /p %h' '300 200 destroy-frame /P %h' '100 80 close-frame /p:%h'; do
  read -r width height ending arguments <<<"$row"
  start_host "$width" "$height" "$arguments"
  [[ $ending == destroy ]] && input_ignored
  tell_host "$ending"
  qv_wait_until "$QV_ENDS_WITHIN" program_gone ||
    qv_fail "${W}x$H: the program outlived its host by more than $QV_ENDS_WITHIN s ($ending)"
  [[ $ending == destroy ]] && tell_host close-frame
  host_ended
  qv_pass "${W}x$H '$arguments': one child window of the host's size, gone within $QV_ENDS_WITHIN s of '$ending'"
done

# As the display settings do it: a hundred starts, each in a new preview window that is then destroyed; every
# program ends promptly after its window and none is left behind.
start_host 152 112 '/p %h'
slowest=0
for cycle in $(seq 100); do
  tell_host destroy && t0=$(date +%s%3N)
  qv_wait_until "$QV_ENDS_WITHIN" program_gone ||
    qv_fail "start $cycle: the program outlived its preview window by more than $QV_ENDS_WITHIN s"
  slowest=$(($(date +%s%3N) - t0 > slowest ? $(date +%s%3N) - t0 : slowest))
  ((cycle < 100)) && { tell_host again; qv_wait_until 20 one_child || qv_fail "start $cycle: no preview in the new window"; }
done
tell_host close-frame && host_ended
qv_pass "100 starts in new preview windows: each program gone within $QV_ENDS_WITHIN s of its window (slowest $slowest ms)"

start_host 152 112 '/p %h'
qv_pids preview_host | xargs -r kill -KILL
qv_wait_until "$QV_ENDS_WITHIN" program_gone ||
  qv_fail "the program outlived its host's killed process by more than $QV_ENDS_WITHIN s"
qv_pass "the program ended within $QV_ENDS_WITHIN s of its host's process being killed"

# The preview code in the host's own process, where Wine draws it.
convert "$STILL" -alpha off "PNG24:$QV_TMP/152x112.png"
convert -size 300x200 xc:black "$STILL" -composite -alpha off "PNG24:$QV_TMP/300x200.png"
convert "$STILL" -crop 100x80+0+0 +repage -alpha off "PNG24:$QV_TMP/100x80.png"
for size in 152x112 300x200 100x80; do
  start_host "${size%x*}" "${size#*x}" '' thread
  qv_wait_until 10 shows "$QV_TMP/$size.png" ||
    { cp "$QV_TMP/shown.png" "$QV_ARTIFACTS/$size.png"; qv_fail "$size: the preview does not show the still as expected"; }
  qv_pass "$size: the preview shows the still at its top-left corner on black, pixel for pixel"
  [[ $size == 152x112 ]] && input_ignored
  tell_host close-frame
  host_ended
done

qv_start_scr '/p 12345'
qv_wait_exit "$QV_PID" 10 || qv_fail "'/p 12345', naming no window, kept running"
[[ $(stat -c '%X %Y %s' "$QV_INI") == "$INI_BEFORE" && ! -e $QV_APPDATA/Quorvel ]] ||
  qv_fail "preview mode read or wrote a settings file"
qv_pass "a handle naming no window ends the program; preview mode never touched the settings file"
qv_done
