#!/usr/bin/env bash
# The X11 program: its command line's statuses; under the real xscreensaver daemon, which runs it as its
# configuration says ("quorvel --root"), crawlers in the green sheet's colours on black in the daemon's window once
# activated, and after deactivation the program gone with no shared memory left; drawing inside a window named by
# --window-id and ending when that window goes; its own window resized mid-run drawing in the new size; SIGTERM
# ending it with status 0; a click ending --fullscreen.
# QUORVEL_X11_PROGRAM names the program (default build/native/quorvel).
set -uo pipefail
QV_NO_WINE=1
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
PROGRAM=${QUORVEL_X11_PROGRAM:-$QV_BUILD/native/quorvel}
[[ -x $PROGRAM ]] || qv_fail "no X11 program at $PROGRAM (build the native preset with libx11-dev and libxext-dev)"

status=0
out=$("$PROGRAM" --help) || status=$?
[[ $status == 0 && $out == usage:* ]] || qv_fail "--help gave status $status and '${out:0:40}'"
for bad in "--bogus|'--bogus'" "-size large|'large' for -size"; do
  status=0
  err=$("$PROGRAM" ${bad%|*} 2>&1 >/dev/null) || status=$?
  [[ $status == 2 && $err == *"${bad#*|}"* ]] || qv_fail "${bad%|*} gave status $status and '$err'"
done
qv_pass "--help ends with 0; an unknown option or a malformed value with 2 and a message naming it"

# Process ids of the program copy at PATH, however it was started.
program_pids() { ps -e -o pid=,args= | awk -v p="$1" '$2 == p || ($2 ~ /sh$/ && index($0, p)) { print $1 }'; }

# The daemon refuses to start programs as root: it runs as nobody, on a copy of the program nobody can reach.
chmod 755 "$QV_TMP"
mkdir -m 755 "$QV_TMP/bin" && cp "$PROGRAM" "$QV_TMP/bin/quorvel"
home=$QV_TMP/home
mkdir "$home"
printf '%s\n' 'mode: one' 'selected: 0' 'lock: False' 'splash: False' 'fade: False' 'unfade: False' \
  'timeout: 0:30:00' "programs: \"Quorvel\" $QV_TMP/bin/quorvel --root \\n" >"$home/.xscreensaver"
chown -R 65534:65534 "$home"
as_nobody() { setpriv --reuid=65534 --regid=65534 --clear-groups env HOME="$home" DISPLAY="$DISPLAY" "$@"; }
as_nobody xscreensaver -no-splash >"$QV_TMP/daemon.log" 2>&1 &
daemon=$!
end_daemon() {
  kill $(ps -o pid= --ppid "$daemon") "$daemon" 2>/dev/null
  qv_wait_exit "$daemon" 5
}
qv_wait_until 20 as_nobody xscreensaver-command -time >/dev/null 2>&1 || qv_fail "the daemon did not answer"
as_nobody xscreensaver-command -activate >/dev/null || qv_fail "xscreensaver-command -activate failed"
qv_wait_until 20 qv_green_shown 2000 || { end_daemon; qv_fail "no crawlers after -activate: $(tail -3 "$QV_TMP/daemon.log")"; }
pid=$(program_pids "$QV_TMP/bin/quorvel" | tail -n1)
[[ -n $pid ]] && (($(qv_segments_of "$pid") > 0)) || qv_fail "the program ($pid) presents without shared memory"
# A window of its own would lie over the daemon's and hide what the daemon shows.
! qv_window '^Quorvel$' || qv_fail "the daemon's program opened a window of its own"
qv_pass "after -activate the daemon's program draws crawlers in the green sheet's colours on black in its window"
as_nobody xscreensaver-command -deactivate >/dev/null
# The daemon runs its programs at nice 10: beside work of normal priority on every core such a process gets a few
# percent of a core, so how soon it runs after the daemon's signal is the machine's doing (1 to 2.3 s seen beside
# a shared build and two busy loops, with the program's own work after the signal under 20 ms of processor time).
qv_wait_until "$QV_ENDS_WITHIN" qv_not qv_running "$pid" ||
  { end_daemon; qv_fail "the program still ran $QV_ENDS_WITHIN s after -deactivate"; }
(($(qv_segments_of "$pid") == 0)) || qv_fail "the program left a shared-memory segment behind: $(ipcs -m -p)"
end_daemon
! grep -i 'quorvel' "$QV_TMP/daemon.log" || qv_fail "the program printed the lines above under the daemon"
qv_pass "after -deactivate the program ended and left no shared-memory segment"

# A window of another program: xev's, whose small child square our drawing leaves alone.
xev -geometry 400x300+600+400 -name qvhost >/dev/null 2>&1 &
host=$!
qv_wait_until 10 qv_window '^qvhost$' || qv_fail "no test window"
"$PROGRAM" --window-id "$QV_WINDOW" 2>"$QV_TMP/stderr" &
pid=$!
qv_wait_until 20 qv_green_shown 2000 600 400 400 300 || qv_fail "no crawlers inside the window of --window-id"
qv_green_shown 0 0 0 600 768 && qv_fail "drawing outside the window of --window-id"
kill "$host"
qv_wait_exit "$pid" 5 || qv_fail "the program outlived its window"
status=0
wait "$pid" || status=$?
[[ $status == 0 && ! -s $QV_TMP/stderr ]] || qv_fail "status $status after the window went: $(head -3 "$QV_TMP/stderr")"
qv_pass "--window-id draws inside that window and ends quietly, with status 0, when it is destroyed"

# Crawler 2 starts beyond the bottom-right corner of the first size, so it shows in the new area once the
# buffers are made again.
"$PROGRAM" --size 100 &
pid=$!
qv_wait_until 10 qv_window '^Quorvel$' || qv_fail "no window of its own"
qv_wait_until 10 qv_green_shown 500 || qv_fail "nothing drawn in its own window"
xdotool windowsize "$QV_WINDOW" 1024 768
qv_wait_until 20 qv_green_shown 500 800 0 224 768 || qv_fail "nothing drawn beyond the first size after a resize"
qv_running "$pid" || qv_fail "the program ended after a resize"
kill -TERM "$pid"
qv_wait_exit "$pid" "$QV_ENDS_WITHIN" || qv_fail "SIGTERM did not end the program"
status=0
wait "$pid" || status=$?
((status == 0)) || qv_fail "SIGTERM ended it with status $status"
qv_pass "its own window, resized mid-run, is drawn in the new size; SIGTERM ends it with status 0"

"$PROGRAM" --fullscreen &
pid=$!
qv_wait_until 10 qv_window '^Quorvel$' && qv_geometry "$QV_WINDOW" || qv_fail "no full-screen window"
[[ "$QV_GEOM_W x $QV_GEOM_H" == "$QV_SCREEN_W x $QV_SCREEN_H" ]] || qv_fail "--fullscreen gave $QV_GEOM_W x $QV_GEOM_H"
qv_click 300 200
qv_wait_exit "$pid" "$QV_ENDS_WITHIN" || qv_fail "a click left its own window open"
wait "$pid" || qv_fail "a click ended it with status $?"
qv_pass "--fullscreen covers the screen; a click ends it with status 0"
qv_done
