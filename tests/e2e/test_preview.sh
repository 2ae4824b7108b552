#!/usr/bin/env bash
# Preview mode under Wine: the still inside a host window of several sizes, pixel for pixel; input
# changes nothing; the program ends with its host; a handle naming no window ends it at once; the
# settings file is never touched.
set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

# The picture the program carries; QV_PREVIEW_STILL points elsewhere when trying out another still.
STILL=${QV_PREVIEW_STILL:-$QV_SRC/assets/preview.bmp}
[[ -f $STILL ]] || qv_fail "the preview still $STILL is missing"
read -r STILL_W STILL_H < <(identify -format '%w %h\n' "$STILL" 2>/dev/null)
[[ $STILL_W == 152 && $STILL_H == 112 ]] || qv_fail "the still is ${STILL_W}x$STILL_H, expected 152x112"

# A settings file whose access time lies before its modification time: any read moves the access
# time (with relatime too). A probe file read first shows that this file system records reads.
for file in "$QV_INI" "$QV_TMP/atime-probe.ini"; do
  printf '[Section]\n' >"$file"
  touch -a -d '2001-02-03 04:05:06' "$file"
done
INI_STAT_BEFORE=$(stat -c '%X %Y %s' "$QV_INI")
cat "$QV_TMP/atime-probe.ini" >/dev/null
ATIME_WORKS=1
[[ $(stat -c %X "$QV_TMP/atime-probe.ini") != "$(stat -c %X "$QV_INI")" ]] || ATIME_WORKS=0

# The host's preview area, cut out of a screenshot.
grab_preview() {
  qv_screenshot "$QV_TMP/screen.png" || return 1
  qv_crop "$QV_TMP/screen.png" "$QV_HOST_LEFT" "$QV_HOST_TOP" "$QV_HOST_W" "$QV_HOST_H" "$1"
}

# The host's preview area must come to show exactly the expected picture.
expect_picture() {
  local name=$1 expected=$2 deadline differing=unknown
  deadline=$(qv__deadline 20)
  while :; do
    if grab_preview "$QV_TMP/shown.png"; then
      differing=$(qv_diff_count "$QV_TMP/shown.png" "$expected")
      [[ $differing == 0 ]] && break
    fi
    if ! qv__before "$deadline"; then
      cp "$QV_TMP/shown.png" "$QV_ARTIFACTS/$name-shown.png" 2>/dev/null
      cp "$expected" "$QV_ARTIFACTS/$name-expected.png"
      qv_fail "$name: the preview shows $differing pixel(s) unlike the expected picture (see $QV_ARTIFACTS)"
    fi
    sleep 0.2
  done
  cp "$QV_TMP/shown.png" "$QV_ARTIFACTS/$name.png"
  qv_pass "$name: the preview area shows the expected ${QV_HOST_W}x$QV_HOST_H picture exactly"
}

# The preview's window is the one child of the host's preview window, visible, at 0,0, of its size.
expect_one_child() {
  local name=$1 program line deadline
  program=$(qv_host_value host.txt pid)
  deadline=$(qv__deadline 20)
  while :; do
    rm -f "$QV_HOST_DIR/children.txt"
    qv_host_command children
    qv_wait_file "$QV_HOST_DIR/children.txt" '' 10 || qv_fail "$name: the host did not list its children"
    line=$(<"$QV_HOST_DIR/children.txt")
    [[ -n $line ]] && break
    qv__before "$deadline" || qv_fail "$name: no window appeared inside the host's preview window"
    sleep 0.1
  done
  [[ $(wc -l <"$QV_HOST_DIR/children.txt") == 1 ]] ||
    qv_fail "$name: the preview window has these children, expected exactly one: $line"
  [[ $line == *" pid=$program child=1 visible=1 left=0 top=0 width=$QV_HOST_W height=$QV_HOST_H" ]] ||
    qv_fail "$name: child window '$line', expected one of pid $program with the child style, visible, at 0,0, ${QV_HOST_W}x$QV_HOST_H"
  qv_pass "$name: the preview is a visible child window at 0,0 of the host's size (${QV_HOST_W}x$QV_HOST_H)"
}

# After COMMAND the preview must end within a second.
expect_ends_with_host() {
  local name=$1 command=$2 host=$QV_PID ms
  qv_host_command "$command"
  qv_wait_file "$QV_HOST_DIR/exit.txt" '^ms_after_destroy=' 20 || qv_fail "$name: the preview kept running after '$command'"
  ms=$(qv_host_value exit.txt ms_after_destroy)
  ((ms >= 0 && ms <= 1000)) || qv_fail "$name: the preview ended $ms ms after '$command', expected within 1000 ms"
  qv_pass "$name: the preview ended $ms ms after '$command'"
  [[ $command == destroy ]] && qv_host_command close-frame
  qv_wait_exit "$host" 20 || qv_fail "$name: the host did not end"
}

still_running() {
  [[ ! -f $QV_HOST_DIR/exit.txt ]] || qv_fail "$1: the preview ended by itself ($(tr '\n' ' ' <"$QV_HOST_DIR/exit.txt"))"
}

# Mouse moves, clicks and keys over the preview change no pixel and do not end it.
expect_input_ignored() {
  local name=$1 cx cy deadline differing
  grab_preview "$QV_TMP/before-input.png" || qv_fail "$name: no screenshot"
  cx=$((QV_HOST_LEFT + QV_HOST_W / 2)) cy=$((QV_HOST_TOP + QV_HOST_H / 2))
  qv_move "$cx" "$cy"
  qv_move $((cx + 30)) $((cy + 20))
  qv_click "$cx" "$cy"
  qv_click $((cx - 40)) $((cy - 30)) 3
  qv_key a Return Escape space Tab F1
  qv_move $((QV_HOST_LEFT + 2)) $((QV_HOST_TOP + 2))
  # Watch the preview for a while: nothing may change while the input is being handled.
  deadline=$(qv__deadline 2)
  while qv__before "$deadline"; do
    grab_preview "$QV_TMP/after-input.png" || qv_fail "$name: no screenshot"
    differing=$(qv_diff_count "$QV_TMP/after-input.png" "$QV_TMP/before-input.png")
    if [[ $differing != 0 ]]; then
      cp "$QV_TMP/after-input.png" "$QV_ARTIFACTS/$name-after-input.png"
      qv_fail "$name: $differing pixel(s) of the preview changed after mouse and key input"
    fi
    still_running "$name"
    sleep 0.2
  done
  qv_pass "$name: mouse moves, clicks and key presses changed nothing and the preview kept running"
}

# The real program in its own process, as the display settings start it.
CROSS_PROCESS_DRAWN=unknown
check_program() {
  local name=$1 width=$2 height=$3 template=$4 expected=$5 end_command=$6 input=${7:-}
  qv_log "$name: Quorvel.scr '$template' in a ${width}x$height host"
  qv_start_preview_host "$width" "$height" "$template"
  expect_one_child "$name"
  still_running "$name"
  # Wine shows no window of one process inside a window of another: there the host's own magenta
  # stays. Where the program's pixels do reach the screen, they must be exactly the picture.
  grab_preview "$QV_TMP/shown.png" || qv_fail "$name: no screenshot"
  if [[ $(qv_count_colour "$QV_TMP/shown.png" FF00FF) == $((width * height)) ]]; then
    CROSS_PROCESS_DRAWN=no
  else
    CROSS_PROCESS_DRAWN=yes
    expect_picture "$name" "$expected"
  fi
  [[ -n $input ]] && expect_input_ignored "$name"
  expect_ends_with_host "$name" "$end_command"
}

# The same preview code inside the host's process, where Wine does draw it.
check_painting() {
  local name=$1 width=$2 height=$3 expected=$4 end_command=$5 input=${6:-}
  qv_log "$name: the preview code in a ${width}x$height host of the same process"
  qv_start_preview_host "$width" "$height" '' thread
  expect_one_child "$name"
  expect_picture "$name" "$expected"
  [[ -n $input ]] && expect_input_ignored "$name"
  expect_ends_with_host "$name" "$end_command"
}

# The host's process dies outright (no window is destroyed in an orderly way): the program must
# notice within a second.
check_host_killed() {
  local name=host-killed host hostwine program pid started elapsed deadline
  qv_log "$name: Quorvel.scr in a host whose process is killed"
  qv_start_preview_host 152 112 '/p %h'
  host=$QV_PID
  expect_one_child "$name"
  hostwine=$(ps -o pid= --ppid "$host" | tr -d ' ')
  # Wine detaches the programs a program starts; they keep its environment, so the spawn tag finds them.
  program=()
  for pid in $(qv__tagged "$host"); do
    [[ $(tr '\0' ' ' <"/proc/$pid/cmdline" 2>/dev/null) == *Quorvel.scr* ]] && program+=("$pid")
  done
  [[ -n $hostwine && ${#program[@]} == 1 ]] || qv_fail "$name: cannot tell the host's process ('$hostwine') and the program's (${program[*]}) apart"
  started=$(date +%s%3N)
  kill -KILL "$hostwine"
  deadline=$(qv__deadline 10)
  while [[ -d /proc/${program[0]} ]] && qv_running "${program[0]}"; do
    qv__before "$deadline" || qv_fail "$name: the program kept running after its host's process was killed"
    sleep 0.02
  done
  elapsed=$(($(date +%s%3N) - started))
  ((elapsed <= 1000)) || qv_fail "$name: the program ended $elapsed ms after its host's process was killed, expected within 1000 ms"
  qv_wait_exit "$host" 10
  qv_pass "$name: the program ended $elapsed ms after its host's process was killed"
}

convert "$STILL" -alpha off "PNG24:$QV_TMP/expect-152.png"
convert -size 300x200 xc:black "$STILL" -geometry +0+0 -composite -alpha off "PNG24:$QV_TMP/expect-300.png"
convert "$STILL" -crop 100x80+0+0 +repage -alpha off "PNG24:$QV_TMP/expect-100.png"

check_program program-exact-size 152 112 '/p %h' "$QV_TMP/expect-152.png" destroy input
check_program program-larger-host 300 200 '/P %h' "$QV_TMP/expect-300.png" destroy-frame
check_program program-smaller-host 100 80 '/p:%h' "$QV_TMP/expect-100.png" close-frame
check_host_killed
if [[ $CROSS_PROCESS_DRAWN == no ]]; then
  qv_log "NOTE: this Wine draws no window of another process inside the host; the pixels are checked in-process below"
fi

check_painting painting-exact-size 152 112 "$QV_TMP/expect-152.png" destroy input
check_painting painting-larger-host 300 200 "$QV_TMP/expect-300.png" destroy-frame
check_painting painting-smaller-host 100 80 "$QV_TMP/expect-100.png" close-frame

qv_log "a handle that names no window"
started=$(date +%s%3N)
qv_start_scr '/p 12345'
qv_wait_exit "$QV_PID" 10 || qv_fail "'/p 12345' kept running"
qv_pass "'/p 12345' ended by itself after $(($(date +%s%3N) - started)) ms"

qv_log "the settings file in preview mode"
[[ $(stat -c '%X %Y %s' "$QV_INI") == "$INI_STAT_BEFORE" ]] ||
  qv_fail "preview mode touched $QV_INI (access, modification, size was '$INI_STAT_BEFORE', now '$(stat -c '%X %Y %s' "$QV_INI")')"
[[ ! -e $QV_APPDATA/Quorvel ]] || qv_fail "preview mode created $QV_APPDATA/Quorvel"
if ((ATIME_WORKS)); then
  qv_pass "the settings file was neither read nor written in preview mode"
else
  qv_pass "the settings file was not written in preview mode (this file system does not record reads)"
fi

qv_log "all preview checks passed"
