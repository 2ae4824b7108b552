# shellcheck shell=bash disable=SC2034
# The end-to-end tests' layer over the bench (scripts/lib/bench.sh, which says what the bench gives); `source` it
# first thing. After a failure the screenshot, windows and Wine's output are kept under build/e2e/<test>.
# A test cannot pass by accident: any command of the script's own body that fails where nothing handles its
# status fails the test with its line, and a script that ends without reaching `qv_done`, its last line, fails.
# Where a failure is expected, the script says so (`|| ...`, `!`, `if`).

QV_ARTIFACTS=${QUORVEL_SOURCE_DIR:-$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)}/build/e2e/$(basename "${0%.sh}")
source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/lib/bench.sh"

# The settings file's keys, in Shift-JIS as the file holds them.
KEY_SIZE=$(printf 'Tavrinの大きさ' | iconv -f UTF-8 -t CP932)
KEY_LENGTH=$(printf 'Tavrinの長さ' | iconv -f UTF-8 -t CP932) KEY_SPEED=$(printf 'Tavrinの速さ' | iconv -f UTF-8 -t CP932)

qv_pass() { printf 'PASS: %s\n' "$*"; }

# How long a program that ends "at once" may take to be gone. Its end is the work of several processes (under Wine
# the program, the Wine server and the launcher waiting for it; for the X11 program the X server and the daemon
# too), and where the cores are busy each waits its turn: clicks took 0.8 to 1.8 s to end the saver at a load of
# 15 to 18 on two cores. Five seconds is the machine's share; a program that does not end on its cue still fails.
QV_ENDS_WITHIN=5

QV_DONE=''
qv_done() { QV_DONE=1; }
qv_exit_check() { [[ -n $QV_DONE ]] || { echo "FAIL: $QV_NAME ended before its last step" >&2; false; }; }
trap 'qv_fail "line $LINENO: \"$BASH_COMMAND\" ended with status $?"' ERR

# For the X11 program's suites. qv_green_shown LIMIT [X Y W H]: a screenshot (of that region) shows more than
# LIMIT lit pixels, all in the green sheet's colours; any other colour fails the test. The screenshot is left in
# $QV_TMP/shot.png.
qv_green_shown() {
  local foreign
  if [[ ! -s $QV_TMP/green-colours ]]; then
    qv_colours "$QV_SRC/assets/sheet_green.bmp" | awk '{ print $2 }' | sort -u >"$QV_TMP/green-colours"
    (($(wc -l <"$QV_TMP/green-colours") > 5)) || qv_fail "could not read the colours of the green sheet"
  fi
  qv_screenshot "$QV_TMP/shot.png"
  qv_colours "$QV_TMP/shot.png" "${@:2}" >"$QV_TMP/shown"
  foreign=$(awk '{ print $2 }' "$QV_TMP/shown" | sort | comm -23 - "$QV_TMP/green-colours" | grep -vx 000000 | head -3)
  [[ -z $foreign ]] || { cp "$QV_TMP/shot.png" "$QV_ARTIFACTS/"; qv_fail "foreign colours $foreign on the screen"; }
  (($(awk '$2 != "000000" { n += $1 } END { print n + 0 }' "$QV_TMP/shown") > $1))
}
# The shared-memory segments a process holds.
qv_segments_of() { ipcs -m -p | awk -v pid="$1" '$3 == pid' | grep -c . || true; }
