# shellcheck shell=bash disable=SC2034
# The Wine test bench for Quorvel's end-to-end tests. Source it at the top of tests/e2e/test_*.sh:
#
#   source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
#
# Sourcing sets up, for this script alone:
#   - an Xvfb display (1024x768x24) on a free display number (DISPLAY is exported);
#   - a private Wine prefix cloned from the shared template build/wineprefix (made once with
#     `wineboot -i`, creation serialised with flock; the clone hard-links the big DLLs, so it takes
#     about a second), with Wine drawing its own window frames (X11 Driver Managed=N) and no crash
#     dialog; WINEDEBUG=-all, WINEDLLOVERRIDES="mscoree,mshtml=", LANG=LC_ALL=ja_JP.UTF-8;
#   - a private copy of Quorvel.scr in $QV_PROG_DIR, so the settings file beside it is this run's own;
#   - a check that Windows programs see code page 932 (fails the test otherwise);
#   - an EXIT trap that kills what this script started (its Wine processes via `wineserver -k` on
#     its own prefix, its Xvfb) and removes the private prefix. Do not set your own EXIT trap: use
#     qv_on_exit. On failure a screenshot is kept in $QV_ARTIFACTS.
# Set QV_NO_INIT=1 before sourcing to get the functions without any of the above (then call qv_init).
#
# A test in brief (each check either passes or ends the script through qv_fail):
#   qv_start_scr '/s'
#   qv_wait_window 'Tavrin_Main' 30 || qv_fail "no saver window"
#   qv_click 512 384
#   qv_wait_exit "$QV_PID" 10 || qv_fail "the saver did not end on a click"
#   qv_pass "a click ends the saver"
#
# Variables after sourcing:
#   QV_SRC        source tree (QUORVEL_SOURCE_DIR, else found from this file)
#   QV_WIN32      folder of the built Windows programs (QUORVEL_WIN32_DIR, else $QV_SRC/build/win32)
#   QV_PROG_DIR   private folder holding this run's copy of Quorvel.scr (and its Quorvel.ini)
#   QV_SCR        $QV_PROG_DIR/Quorvel.scr
#   QV_INI        $QV_PROG_DIR/Quorvel.ini (the settings file beside the program)
#   QV_APPDATA    Unix path of %APPDATA% inside the private prefix
#   QV_TMP        private scratch folder (removed at exit)
#   QV_ARTIFACTS  build/e2e/<test name>/, kept after the run (screenshots for a human to look at)
#   QV_SCREEN_W, QV_SCREEN_H   size of the virtual screen
#   QV_PID        Unix PID of the last process started by qv_start_scr / qv_start_helper
#   QV_EXIT_CODE  exit code found by the last successful qv_wait_exit
#   QV_WINDOW     X window id found by the last successful qv_wait_window / qv_find_window
#   QV_TIMEOUT_SCALE  (input) multiplies every timeout; default 1
#   QV_KEEP       (input) when set, the scratch folder (prefix, wine.log, host state) is kept
#
# Functions (timeouts in seconds, fractions allowed; every wait polls a condition, none just sleeps):
#   qv__deadline SECONDS              print a deadline (epoch ms) SECONDS from now, scaled
#   qv__before DEADLINE               true while that deadline has not passed (for own poll loops)
#   qv_log MESSAGE...                 print a timestamped line
#   qv_fail MESSAGE...                print "FAIL: MESSAGE" and end the test with status 1
#   qv_pass [MESSAGE...]              print "PASS: MESSAGE" (a passed check; does not end the test)
#   qv_on_exit COMMAND                run COMMAND (eval'd) at exit, before the bench's own cleanup
#   qv_winpath UNIX_PATH              print the Windows path (Z:\...) of a Unix path
#   qv_brief TEXT                     print TEXT for a log line (long ones cut, with their length)
#   qv_start_scr [ARGUMENT_TEXT]      start the private Quorvel.scr in the background with exactly
#                                     this argument text ("" or no argument: empty command line;
#                                     " " is a single blank); sets QV_PID. Its command line is the
#                                     quoted program path, a blank, then the text byte for byte.
#                                     QV_PID is a launcher that ends when Quorvel.scr ends, with its
#                                     exit code.
#   qv_start_helper NAME [ARGS...]    start $QV_WIN32/NAME.exe ARGS... in the background; sets QV_PID
#                                     (Wine joins ARGS with blanks, quoting those that hold blanks)
#   qv_start_preview_host W H TEMPLATE [MODE=process]  start the preview host with a W x H
#                                     preview window running the private Quorvel.scr with TEMPLATE
#                                     ("%h" = handle); MODE "thread" runs the preview code inside
#                                     the host instead (see helpers/preview_host.cpp); its state
#                                     folder is $QV_HOST_DIR; waits for host.txt and sets
#                                     QV_HOST_HWND, QV_HOST_LEFT, QV_HOST_TOP, QV_HOST_W, QV_HOST_H;
#                                     QV_PID is the host's PID
#   qv_host_command COMMAND           hand the preview host a command (destroy, destroy-frame, ...)
#   qv_host_value FILE KEY            print KEY's value from a key=value state file of the host
#   qv_running PID                    true while PID (one of ours) has not ended
#   qv_wait_exit [PID] [TIMEOUT=20]   wait until PID (default QV_PID) ends; sets QV_EXIT_CODE;
#                                     returns 1 on timeout
#   qv_wait_wine_idle [TIMEOUT=20]    wait until no Windows program of this prefix runs any more
#   qv_find_window TITLE              true when a visible window has exactly this title (UTF-8;
#                                     no regex needed, it is escaped); sets QV_WINDOW
#   qv_wait_window TITLE [TIMEOUT=20] wait for such a window; sets QV_WINDOW; returns 1 on timeout
#   qv_wait_no_window TITLE [TIMEOUT=20]  wait until no visible window has this title
#   qv_window_geometry WINDOW_ID      set QV_GEOM_X, QV_GEOM_Y, QV_GEOM_W, QV_GEOM_H (screen pixels)
#   qv_visible_titles                 print the titles of all visible windows, one a line
#   qv_wait_file PATH [REGEX] [TIMEOUT=20]  wait until PATH exists (and its content matches the
#                                     extended REGEX, when given)
#   qv_move X Y                       move the mouse pointer to screen point X,Y
#   qv_click X Y [BUTTON=1]           move there and click
#   qv_key KEYSYM...                  press and release keys (xdotool names: a, Return, Escape...)
#   qv_screenshot FILE                save the whole screen as FILE (PNG)
#   qv_pixel IMAGE X Y                print the colour at X,Y of IMAGE as RRGGBB (upper-case hex)
#   qv_crop IMAGE X Y W H OUT         save the W x H region of IMAGE at X,Y as OUT
#   qv_diff_count IMAGE_A IMAGE_B     print how many pixels differ (images of the same size)
#   qv_count_colour IMAGE RRGGBB      print how many pixels of IMAGE have exactly this colour
#   qv_kill PID                       end a process this script started and everything it started
#                                     (SIGKILL); for qv_start_scr that includes Quorvel.scr
#   qv_kill_programs                  end every Windows program running in this script's own
#                                     prefix (Wine's own services stay); waits until they are gone
#   qv_visible_window_count           print how many top-level windows are visible on the display
#   qv_window_count TITLE             print how many visible windows have exactly this title
#   qv_init                           the set-up above (run automatically unless QV_NO_INIT=1)

if [[ -n ${QV_LIB_LOADED:-} ]]; then return 0; fi
QV_LIB_LOADED=1

QV_SRC=${QUORVEL_SOURCE_DIR:-$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)}
QV_WIN32=${QUORVEL_WIN32_DIR:-$QV_SRC/build/win32}
QV_BUILD=$QV_SRC/build
QV_TEMPLATE_PREFIX=$QV_BUILD/wineprefix
QV_TIMEOUT_SCALE=${QV_TIMEOUT_SCALE:-1}
QV_TEST_NAME=$(basename "${0%.sh}")
QV_SCREEN_W=1024
QV_SCREEN_H=768
QV_PID=
QV_EXIT_CODE=
QV_WINDOW=
QV_STARTED_PIDS=()
QV_EXIT_HOOKS=()
QV_XVFB_PID=
QV_TMP=
QV_HOST_DIR=
QV_FAILED=0

export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
export LANG=ja_JP.UTF-8
export LC_ALL=ja_JP.UTF-8

qv_log() { printf '[%s %s] %s\n' "$(date +%H:%M:%S.%3N)" "$QV_TEST_NAME" "$*"; }
qv_fail() {
  printf 'FAIL: %s\n' "$*" >&2
  QV_FAILED=1
  exit 1
}
qv_pass() { printf 'PASS: %s\n' "$*"; }
qv_on_exit() { QV_EXIT_HOOKS+=("$1"); }

# Seconds scaled by QV_TIMEOUT_SCALE, as a deadline in epoch milliseconds.
qv__deadline() {
  local seconds=${1:-20}
  echo $(($(date +%s%3N) + $(awk -v s="$seconds" -v k="$QV_TIMEOUT_SCALE" 'BEGIN { printf "%d", s * k * 1000 }')))
}
qv__before() { (($(date +%s%3N) < $1)); }

qv_winpath() {
  local path
  path=$(realpath -m -- "$1")
  printf 'Z:%s\n' "${path//\//\\}"
}

qv__track() { QV_PID=$1; QV_STARTED_PIDS+=("$1"); }

# Runs a command in the background under a small subshell that records its exit code, so waiting,
# killing and exit codes work the same for every program, and the shell prints no job notices.
qv__spawn() {
  (
    # Windows programs that this one starts are not its Unix children (Wine detaches them), but
    # they inherit the environment: the tag finds them again.
    export QV_SPAWN_TAG=$BASHPID
    "$@" >>"$QV_TMP/wine.log" 2>&1
    echo $? >"$QV_TMP/exit.$BASHPID"
  ) 2>>"$QV_TMP/wine.log" &
  qv__track $!
}

# The Unix processes that carry the tag of the spawn PID.
qv__tagged() {
  local pid
  for pid in $(pgrep -u "$(id -u)" . 2>/dev/null); do
    { tr '\0' '\n' <"/proc/$pid/environ" | grep -qxF "QV_SPAWN_TAG=$1"; } 2>/dev/null && echo "$pid"
  done
}

# TEXT for a log line: long texts are cut to their first 40 characters and their length.
qv_brief() {
  if ((${#1} > 40)); then printf '%s...(%d characters)' "${1:0:40}" "${#1}"; else printf '%s' "$1"; fi
}

qv_start_scr() {
  local text=${1-}
  [[ -f $QV_SCR ]] || qv_fail "no program at $QV_SCR"
  qv__spawn env QV_LAUNCH_EXE="$(qv_winpath "$QV_SCR")" QV_LAUNCH_ARGS="$text" wine "$QV_WIN32/launch.exe"
  qv_log "started Quorvel.scr with command line '$(qv_brief "$text")' (pid $QV_PID)"
}

qv_start_helper() {
  local name=$1
  shift
  [[ -f $QV_WIN32/$name.exe ]] || qv_fail "no test helper at $QV_WIN32/$name.exe"
  qv__spawn wine "$QV_WIN32/$name.exe" "$@"
  qv_log "started $name.exe $* (pid $QV_PID)"
}

qv_running() {
  local pid=$1 stat
  { stat=$(<"/proc/$pid/stat"); } 2>/dev/null || return 1
  stat=${stat##*) }  # the state follows the command name, which may hold blanks
  [[ -n $stat && ${stat:0:1} != Z && ${stat:0:1} != X ]]
}

# PID and all its descendants, deepest first.
qv__descendants() {
  local child
  for child in $(ps -o pid= --ppid "$1" 2>/dev/null); do qv__descendants "$child"; done
  echo "$1"
}

qv_wait_exit() {
  local pid=${1:-$QV_PID} deadline code=0
  deadline=$(qv__deadline "${2:-20}")
  while qv_running "$pid"; do
    qv__before "$deadline" || return 1
    sleep 0.05
  done
  { wait "$pid"; } 2>/dev/null || code=$?
  if [[ -s $QV_TMP/exit.$pid ]]; then code=$(<"$QV_TMP/exit.$pid"); fi
  QV_EXIT_CODE=$code
  return 0
}

qv_kill() {
  local pid=$1 ours
  for ours in "${QV_STARTED_PIDS[@]}"; do
    if [[ $ours == "$pid" ]]; then
      # The program and whatever it started (for qv_start_scr: the launcher and Quorvel.scr).
      # shellcheck disable=SC2046 # a list of PIDs
      kill -KILL $({ qv__descendants "$pid"; qv__tagged "$pid"; } | grep -vx "$pid" | sort -u) 2>/dev/null
      qv_wait_exit "$pid" 10
      return
    fi
  done
  qv_log "qv_kill: $pid was not started by this script; left alone"
  return 1
}

# Windows programs of this prefix (Wine's own services left out), as Unix PIDs.
qv__wine_pids() {
  local pid args
  while read -r pid args; do
    case $args in
      *wineserver* | *services.exe* | *winedevice.exe* | *plugplay.exe* | *explorer.exe* | *svchost.exe* | *rpcss.exe* | *conhost.exe* | *winemenubuilder*) continue ;;
    esac
    { tr '\0' '\n' <"/proc/$pid/environ" | grep -qxF "WINEPREFIX=$WINEPREFIX"; } 2>/dev/null && echo "$pid"
  done < <(ps -u "$(id -u)" -o pid=,args= 2>/dev/null | grep -iE '\.(exe|scr)( |$)')
}

qv_kill_programs() {
  local pids deadline pid
  pids=$(qv__wine_pids)
  [[ -n $pids ]] && kill -KILL $pids 2>/dev/null
  deadline=$(qv__deadline 10)
  while [[ -n $(qv__wine_pids) ]]; do
    qv__before "$deadline" || return 1
    sleep 0.05
  done
  # Collect the launch subshells that have ended with them.
  for pid in "${QV_STARTED_PIDS[@]}"; do
    qv_running "$pid" || { wait "$pid"; } 2>/dev/null
  done
  return 0
}

qv_wait_wine_idle() {
  local deadline
  deadline=$(qv__deadline "${1:-20}")
  while [[ -n $(qv__wine_pids) ]]; do
    qv__before "$deadline" || return 1
    sleep 0.1
  done
}

qv__title_regex() {
  # xdotool matches an extended regex against the UTF-8 title; escape it into an exact match.
  local escaped
  escaped=$(printf '%s' "$1" | sed -e 's/[][\.*^$+?(){}|/]/\\&/g')
  printf '^%s$' "$escaped"
}

qv_find_window() {
  local ids
  ids=$(xdotool search --onlyvisible --name "$(qv__title_regex "$1")" 2>/dev/null) || return 1
  [[ -n $ids ]] || return 1
  QV_WINDOW=$(head -n1 <<<"$ids")
}

qv_wait_window() {
  local deadline
  deadline=$(qv__deadline "${2:-20}")
  until qv_find_window "$1"; do
    qv__before "$deadline" || return 1
    sleep 0.1
  done
}

qv_wait_no_window() {
  local deadline
  deadline=$(qv__deadline "${2:-20}")
  while qv_find_window "$1"; do
    qv__before "$deadline" || return 1
    sleep 0.1
  done
}

qv_window_geometry() {
  local X Y WIDTH HEIGHT line
  while IFS= read -r line; do
    case $line in X=* | Y=* | WIDTH=* | HEIGHT=*) eval "$line" ;; esac
  done < <(xdotool getwindowgeometry --shell "$1" 2>/dev/null)
  QV_GEOM_X=${X:-} QV_GEOM_Y=${Y:-} QV_GEOM_W=${WIDTH:-} QV_GEOM_H=${HEIGHT:-}
  [[ -n $QV_GEOM_W ]]
}

qv_window_count() {
  xdotool search --onlyvisible --name "$(qv__title_regex "$1")" 2>/dev/null | wc -l
}

qv_visible_window_count() {
  xdotool search --onlyvisible --maxdepth 1 --name '' 2>/dev/null | wc -l
}

qv_visible_titles() {
  local id
  for id in $(xdotool search --onlyvisible --name '.' 2>/dev/null); do
    printf '%s\t%s\n' "$id" "$(xdotool getwindowname "$id" 2>/dev/null)"
  done
}

qv_wait_file() {
  local path=$1 regex=${2:-} deadline
  deadline=$(qv__deadline "${3:-20}")
  until [[ -f $path ]] && { [[ -z $regex ]] || grep -qE -- "$regex" "$path" 2>/dev/null; }; do
    qv__before "$deadline" || return 1
    sleep 0.05
  done
}

qv_move() { xdotool mousemove "$1" "$2"; }
qv_click() {
  qv_move "$1" "$2"
  xdotool click "${3:-1}"
}
qv_key() { xdotool key "$@"; }

qv_screenshot() { import -window root "$1" 2>/dev/null; }

qv_pixel() {
  convert "$1" -crop "1x1+$2+$3" +repage -depth 8 txt:- 2>/dev/null |
    sed -n 's/.*#\([0-9A-Fa-f]\{6\}\).*/\1/p' | head -n1 | tr 'a-f' 'A-F'
}

qv_crop() { convert "$1" -crop "${4}x${5}+${2}+${3}" +repage -alpha off "PNG24:$6"; }

qv_diff_count() {
  local count
  count=$(compare -metric AE "$1" "$2" null: 2>&1 >/dev/null)
  printf '%s\n' "${count%% *}"
}

qv_count_colour() {
  convert "$1" -alpha off -fill white +opaque "#$2" -fill black -opaque "#$2" -negate \
    -format '%[fx:round(mean*w*h)]\n' info: 2>/dev/null
}

qv_start_preview_host() {
  local width=$1 height=$2 template=$3 mode=${4:-process}
  QV_HOST_DIR=$(mktemp -d "$QV_TMP/host.XXXXXX")
  qv__spawn env QV_LAUNCH_EXE="$(qv_winpath "$QV_SCR")" QV_HOST_DIR="$(qv_winpath "$QV_HOST_DIR")" \
    QV_HOST_ARGS="$template" QV_HOST_MODE="$mode" wine "$QV_WIN32/preview_host.exe" "$width" "$height"
  qv_log "started preview_host.exe $width x $height '$template' $mode (pid $QV_PID)"
  qv_wait_file "$QV_HOST_DIR/host.txt" '^pid=' 30 || qv_fail "the preview host did not start (no host.txt)"
  QV_HOST_HWND=$(qv_host_value host.txt hwnd)
  QV_HOST_LEFT=$(qv_host_value host.txt left)
  QV_HOST_TOP=$(qv_host_value host.txt top)
  QV_HOST_W=$(qv_host_value host.txt width)
  QV_HOST_H=$(qv_host_value host.txt height)
}

qv_host_command() {
  printf '%s\n' "$1" >"$QV_HOST_DIR/command.part"
  mv -f "$QV_HOST_DIR/command.part" "$QV_HOST_DIR/command.txt"
}

qv_host_value() { sed -n "s/^$2=//p" "$QV_HOST_DIR/$1" 2>/dev/null | head -n1; }

# --- set-up and clean-up -------------------------------------------------------------------------

qv__cleanup() {
  local status=$? hook pid
  trap - EXIT INT TERM
  ((status != 0)) && QV_FAILED=1
  for hook in "${QV_EXIT_HOOKS[@]}"; do eval "$hook" || true; done
  if ((QV_FAILED)) && [[ -n ${DISPLAY:-} && -n $QV_XVFB_PID ]] && qv_running "$QV_XVFB_PID"; then
    mkdir -p "$QV_ARTIFACTS"
    qv_screenshot "$QV_ARTIFACTS/failure.png" && echo "failure screenshot: $QV_ARTIFACTS/failure.png" >&2
    echo "visible windows:" >&2
    qv_visible_titles >&2
    [[ -s $QV_TMP/wine.log ]] && { echo "wine output:" >&2; tail -n 30 "$QV_TMP/wine.log" >&2; }
  fi
  if [[ -n ${WINEPREFIX:-} && $WINEPREFIX == "$QV_TMP"/* ]]; then
    wineserver -k >/dev/null 2>&1 || true
    local deadline
    deadline=$(qv__deadline 10)
    while [[ -n $(qv__own_wineserver) ]]; do
      qv__before "$deadline" || break
      sleep 0.1
    done
  fi
  for pid in "${QV_STARTED_PIDS[@]}"; do
    if qv_running "$pid"; then
      # shellcheck disable=SC2046 # a list of PIDs
      kill -KILL $(qv__descendants "$pid") 2>/dev/null
      { wait "$pid"; } 2>/dev/null
    fi
  done
  if [[ -n $QV_XVFB_PID ]]; then
    { kill -TERM "$QV_XVFB_PID"; wait "$QV_XVFB_PID"; } 2>/dev/null
  fi
  if [[ -n ${QV_KEEP:-} && -n $QV_TMP ]]; then
    touch "$QV_TMP/.keep"
    echo "kept for inspection: $QV_TMP" >&2
  elif [[ -n $QV_TMP && -d $QV_TMP ]]; then
    rm -rf "$QV_TMP"
  fi
  exit "$status"
}

# The wineserver processes that serve this script's own prefix.
qv__own_wineserver() {
  local pid
  for pid in $(pgrep -u "$(id -u)" wineserver 2>/dev/null); do
    { tr '\0' '\n' <"/proc/$pid/environ" | grep -qxF "WINEPREFIX=$WINEPREFIX"; } 2>/dev/null && echo "$pid"
  done
}

qv__start_xvfb() {
  local deadline number=
  Xvfb -displayfd 3 -screen 0 "${QV_SCREEN_W}x${QV_SCREEN_H}x24" -nolisten tcp -noreset \
    3>"$QV_TMP/display" >"$QV_TMP/xvfb.log" 2>&1 &
  QV_XVFB_PID=$!
  deadline=$(qv__deadline 20)
  until [[ -n $number ]]; do
    qv_running "$QV_XVFB_PID" || qv_fail "Xvfb did not start: $(tail -n 5 "$QV_TMP/xvfb.log")"
    qv__before "$deadline" || qv_fail "Xvfb did not report a display number"
    sleep 0.05
    number=$(tr -dc '0-9' <"$QV_TMP/display")
  done
  export DISPLAY=:$number
  xdotool getdisplaygeometry >/dev/null 2>&1 || qv_fail "cannot talk to the virtual display $DISPLAY"
}

# The template prefix is made once and shared; each run works on its own clone of it.
qv__prepare_template() {
  local stamp
  stamp="$(wine --version 2>/dev/null) managed=N crashdialog=0"
  mkdir -p "$QV_BUILD"
  (
    flock -w 600 9 || { echo "timed out waiting for $QV_BUILD/wineprefix.lock" >&2; exit 1; }
    if [[ -f $QV_TEMPLATE_PREFIX/.quorvel-ready && $(cat "$QV_TEMPLATE_PREFIX/.quorvel-ready") == "$stamp" ]]; then
      exit 0
    fi
    echo "creating the Wine prefix template $QV_TEMPLATE_PREFIX (once)" >&2
    rm -rf "$QV_TEMPLATE_PREFIX"
    export WINEPREFIX=$QV_TEMPLATE_PREFIX
    wineboot -i >/dev/null 2>&1 || exit 1
    # Wine draws Windows-style frames itself, as the screenshots should show them.
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1 || exit 1
    # A crashing program ends instead of waiting in a dialog.
    wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1 || exit 1
    wineserver -w
    printf '%s' "$stamp" >"$QV_TEMPLATE_PREFIX/.quorvel-ready"
  ) 9>"$QV_BUILD/wineprefix.lock" || qv_fail "could not create the Wine prefix template"
}

qv__clone_prefix() {
  local from to
  from=$(realpath -m -- "$1")
  to=$(realpath -m -- "$2")
  mkdir -p "$to"
  # Under a shared lock, so that the template is never rebuilt halfway through a clone.
  (
    set -o pipefail
    flock -s -w 600 9 || exit 1
    cd "$from" || exit 1
    find . -mindepth 1 -type d -print0 | (cd "$to" && xargs -0 -r mkdir -p) || exit 1
    # Program files are never written in place, so the big ones are shared; everything small
    # (registry, ini files) is copied, so nothing this run writes reaches the template.
    find . -type f -size +64k ! -name '*.reg' -print0 | xargs -0 -r cp -l --parents -t "$to" || exit 1
    find . \( -type f \( -size -65k -o -name '*.reg' \) -o -type l \) -print0 | xargs -0 -r cp -a --parents -t "$to"
  ) 9>"$QV_BUILD/wineprefix.lock"
}

# Folders of earlier runs whose script was killed before it could clean up.
qv__sweep_stale_runs() {
  local dir owner
  for dir in "$QV_BUILD"/e2e-run/*/; do
    [[ -d $dir && -f $dir/owner.pid && ! -e $dir/.keep ]] || continue
    owner=$(<"$dir/owner.pid")
    [[ -n $owner ]] && kill -0 "$owner" 2>/dev/null && continue
    [[ -n $(find "$dir" -maxdepth 0 -mmin +10 2>/dev/null) ]] && rm -rf "$dir"
  done
}

qv_init() {
  local started tool helper
  started=$(date +%s%3N)
  locale -a 2>/dev/null | grep -qiE '^ja_JP\.utf-?8$' ||
    qv_fail "the ja_JP.UTF-8 locale is missing (run scripts/setup.sh)"
  for tool in wine wineserver Xvfb xdotool import convert compare flock; do
    command -v "$tool" >/dev/null 2>&1 || qv_fail "$tool is missing (run scripts/setup.sh)"
  done
  for helper in launch acp; do
    [[ -f $QV_WIN32/$helper.exe ]] || qv_fail "test helper $QV_WIN32/$helper.exe is missing (build the win32 preset)"
  done
  mkdir -p "$QV_BUILD/e2e-run"
  qv__sweep_stale_runs
  QV_TMP=$(mktemp -d "$QV_BUILD/e2e-run/$QV_TEST_NAME.XXXXXX")
  echo $$ >"$QV_TMP/owner.pid"
  QV_ARTIFACTS=$QV_BUILD/e2e/$QV_TEST_NAME
  # Not emptied: another run of the same test may be writing there right now.
  mkdir -p "$QV_ARTIFACTS"
  rm -f "$QV_ARTIFACTS/failure.png"
  trap qv__cleanup EXIT
  trap 'exit 130' INT
  trap 'exit 143' TERM

  qv__start_xvfb
  qv__prepare_template
  qv__clone_prefix "$QV_TEMPLATE_PREFIX" "$QV_TMP/prefix" || qv_fail "could not clone the Wine prefix"
  export WINEPREFIX=$QV_TMP/prefix
  # Keep this prefix's wineserver up between programs, so each one starts quickly; a finite
  # persistence lets it go away by itself should this script be killed before its clean-up.
  wineserver -p30 >/dev/null 2>&1

  QV_PROG_DIR=$QV_TMP/program
  mkdir -p "$QV_PROG_DIR"
  QV_SCR=$QV_PROG_DIR/Quorvel.scr
  QV_INI=$QV_PROG_DIR/Quorvel.ini
  [[ -f $QV_WIN32/Quorvel.scr ]] && cp "$QV_WIN32/Quorvel.scr" "$QV_SCR"
  QV_APPDATA=$WINEPREFIX/drive_c/users/$(id -un)/AppData/Roaming

  # Wine takes the ANSI code page from the locale; the Japanese texts need 932.
  local acp_file=$QV_TMP/acp.txt
  qv__spawn wine "$QV_WIN32/acp.exe" "$(qv_winpath "$acp_file")"
  qv_wait_exit "$QV_PID" 60 || qv_fail "acp.exe did not end"
  grep -q '^acp=932 ' "$acp_file" 2>/dev/null ||
    qv_fail "Windows programs see code page '$(cat "$acp_file" 2>/dev/null)', expected acp=932"
  qv_log "bench ready on DISPLAY=$DISPLAY, prefix $WINEPREFIX, code page 932 ($(($(date +%s%3N) - started)) ms)"
}

if [[ -z ${QV_NO_INIT:-} ]]; then
  qv_init
fi
