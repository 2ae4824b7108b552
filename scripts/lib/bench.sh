# shellcheck shell=bash disable=SC2034
# The bench that the end-to-end tests (tests/e2e/lib.sh), the measurements and picture makers in tools/ and
# scripts/run.sh run the programs on; `source` it first thing. It gives the script its own Xvfb display (1024x768),
# its own Wine prefix cloned from build/wineprefix (Wine drawing window frames itself), its own copy of the program
# in $QV_PROG_DIR, so that the settings file beside it ($QV_INI) is this run's own, and waits until Windows programs
# see code page 932 and the monitors of the display. At exit it ends what this script started (the programs of its
# own prefix, its display) and removes its scratch folder $QV_TMP; after a failure a screenshot, the visible windows
# and Wine's output are kept under $QV_ARTIFACTS (build/bench/<script> unless the caller names another). The screen
# is black where no window is.
# Inputs: QUORVEL_SOURCE_DIR, QUORVEL_WIN32_DIR (the built programs, default build/win32), QV_TIMEOUT_SCALE,
# QV_TWO_MONITORS (below) and QV_NO_INIT to have the functions without any of this.
# With QV_TWO_MONITORS=1 the programs run on Xephyr nested in the Xvfb display, with two screens joined by
# Xinerama and RandR off, which Wine reports as two monitors: 1024x768 at 0,0 (primary) and 800x600 at 1024,0.
# With QV_NO_WINE=1 only the display and the scratch folder are made, for the native X11 program.
# Locale: the script and every tool whose output it reads run in the C locale, whatever the caller's; Wine alone
# runs in Japanese (qv_wine), since the programs' texts need code page 932.
# Every wait polls a condition through qv_wait_until; nothing waits by sleeping alone.

QV_SRC=${QUORVEL_SOURCE_DIR:-$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)}
QV_WIN32=${QUORVEL_WIN32_DIR:-$QV_SRC/build/win32}
QV_BUILD=$QV_SRC/build
QV_NAME=$(basename "${0%.sh}")
QV_ARTIFACTS=${QV_ARTIFACTS:-$QV_BUILD/bench/$QV_NAME}
QV_SCREEN_W=${QV_SCREEN_W:-1024} QV_SCREEN_H=${QV_SCREEN_H:-768}
[[ -n ${QV_TWO_MONITORS:-} ]] && QV_SCREEN_W=1824
QV_XVFB_PID='' QV_TMP=''
export LC_ALL=C WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
QV_WINE_LOCALE=ja_JP.UTF-8
# Wine's 32-bit loader needs the kernel's 32-bit emulation; without it 64-bit programs still run on wine64.
QV_WINE=wine
if ! wine --version >/dev/null 2>&1 && [[ -x /usr/lib/wine/wine64 ]]; then
  export WINELOADER=/usr/lib/wine/wine64
  QV_WINE=$WINELOADER
fi

qv_log() { printf '[%s %s] %s\n' "$(date +%T.%3N)" "$QV_NAME" "$*"; }
qv_fail() { printf 'FAIL: %s\n' "$*" >&2; exit 1; }

# qv_wine ARGS...: Wine (or its server, qv_wineserver) in the Japanese locale.
qv_wine() { LANG=$QV_WINE_LOCALE LC_ALL=$QV_WINE_LOCALE "$QV_WINE" "$@"; }
qv_wineserver() { LANG=$QV_WINE_LOCALE LC_ALL=$QV_WINE_LOCALE wineserver "$@"; }

# qv_wait_until SECONDS COMMAND...: runs COMMAND every 0.1 s until it succeeds; false once SECONDS (times
# QV_TIMEOUT_SCALE) have passed first. COMMAND runs in this shell, so it may set variables.
qv_wait_until() {
  local deadline
  deadline=$(($(date +%s%3N) + $(awk -v s="$1" -v k="${QV_TIMEOUT_SCALE:-1}" 'BEGIN { printf "%d", s * k * 1000 }')))
  shift
  until "$@"; do
    (($(date +%s%3N) < deadline)) || return 1
    sleep 0.1
  done
}

qv_running() { [[ -e /proc/$1 ]] && ! grep -qE '^[0-9]+ \(.*\) [ZX]' "/proc/$1/stat" 2>/dev/null; }
qv_not() { ! "$@"; }
qv_winpath() { local path; path=$(realpath -m -- "$1"); printf 'Z:%s\n' "${path//\//\\}"; }

# qv_spawn COMMAND...: runs a command (a function such as qv_wine too) in the background, its output in Wine's
# log; sets QV_PID.
qv_spawn() { "$@" >>"$QV_TMP/wine.log" 2>&1 & QV_PID=$!; }

# The program with exactly this argument text (Wine would rebuild a command line from Unix arguments); QV_PID
# is the launcher, which ends with the program. QV_SCR may be a Unix path or a Windows one.
qv_start_scr() {
  local exe=$QV_SCR
  [[ $exe == /* ]] && exe=$(qv_winpath "$exe")
  QV_LAUNCH_EXE=$exe QV_LAUNCH_ARGS=${1-} qv_spawn qv_wine "$QV_WIN32/probe.exe" launch
  qv_log "started ${exe##*[\\/]} '${1:0:40}' (pid $QV_PID)"
}

qv_start_helper() {
  qv_spawn qv_wine "$QV_WIN32/$1.exe" "${@:2}"
  qv_log "started $* (pid $QV_PID)"
}

# qv_wait_exit PID SECONDS: waits until PID, started by this script, ends.
qv_wait_exit() { qv_wait_until "$2" qv_not qv_running "$1" && { wait "$1" 2>/dev/null; true; }; }

# qv_pids REGEX [EXCEPT]: Unix PIDs of the Windows programs of this script's own prefix whose command line
# matches the extended REGEX and not EXCEPT.
qv_pids() {
  local pid args
  while read -r pid args; do
    [[ $args =~ $1 && ! ($# -gt 1 && $args =~ $2) ]] &&
      tr '\0' '\n' 2>/dev/null <"/proc/$pid/environ" | grep -qxF "WINEPREFIX=$WINEPREFIX" && echo "$pid"
  done < <(ps -u "$(id -u)" -o pid=,args=)
  true
}

# Ends every program of this prefix (Wine's own services stay) and waits until they are gone.
qv__programs() {
  qv_pids '\.(exe|scr)( |$)' '\\(wineserver|services|winedevice|plugplay|explorer|svchost|rpcss|conhost|winemenubuilder)\.exe'
}
qv__no_programs() { [[ -z $(qv__programs) ]]; }
qv_kill_programs() { qv__programs | xargs -r kill -KILL 2>/dev/null; qv_wait_until 10 qv__no_programs; }

# Visible windows whose title matches an extended regex, one X id a line; qv_window sets QV_WINDOW to the first.
qv_windows() { xdotool search --onlyvisible --name "$1" 2>/dev/null; }
qv_window() { QV_WINDOW=$(qv_windows "$1" | head -n1); [[ -n $QV_WINDOW ]]; }
# Sets QV_GEOM_X, QV_GEOM_Y, QV_GEOM_W and QV_GEOM_H to a window's place on the screen.
qv_geometry() {
  local X='' Y='' WIDTH='' HEIGHT=''
  eval "$(xdotool getwindowgeometry --shell "$1" 2>/dev/null | grep -E '^(X|Y|WIDTH|HEIGHT)=[0-9]+$')"
  QV_GEOM_X=$X QV_GEOM_Y=$Y QV_GEOM_W=$WIDTH QV_GEOM_H=$HEIGHT
  [[ -n $WIDTH ]]
}

qv_move() { xdotool mousemove "$1" "$2"; }
qv_click() { xdotool mousemove "$1" "$2" click "${3:-1}"; }
qv_key() { xdotool key "$@"; }

qv_screenshot() { import -window root "$1" 2>/dev/null || qv_fail "no screenshot of the display"; }
qv_crop() { convert "$1" -crop "${4}x${5}+${2}+${3}" +repage -alpha off "PNG24:$6"; }
qv_diff_count() { compare -metric AE "$1" "$2" null: 2>&1 | cut -d' ' -f1; }
# The colours of a picture (or of its W x H region at X,Y), one RRGGBB a line with its pixel count before it.
qv_colours() {
  convert "$1" ${5:+-crop "${4}x${5}+${2}+${3}"} -alpha off -depth 8 -format %c histogram:info:- 2>/dev/null |
    sed -nE 's/^ *([0-9]+):.*#([0-9A-Fa-f]{6}).*/\1 \2/p' | tr 'a-f' 'A-F'
}
qv_count_colour() { qv_colours "${@:1:$#-1}" | awk -v c="${*: -1}" '$2 == c { n = $1 } END { print n + 0 }'; }

# --- Measurements for the record -------------------------------------------------------------------------

# qv_cpu_percent PID [SECONDS=10]: percent of one core the process used over that many seconds, from now. The
# scheduler's own nanoseconds, summed over the threads: the clock-tick counts of /proc/PID/stat only sample a
# program that runs a fraction of a millisecond a frame, and scatter its figure by a third.
qv__cpu_ns() { cat /proc/"$1"/task/*/schedstat 2>/dev/null | awk '{ ns += $1 } END { printf "%d\n", ns }'; }
qv_cpu_percent() {
  local t0 seconds=${2:-10}
  t0=$(qv__cpu_ns "$1")
  sleep "$seconds"
  echo "scale=2; 100 * ($(qv__cpu_ns "$1") - $t0) / ($seconds * 1000000000)" | bc
}

# qv_present_cost NAME START_SAVER END_SAVER START_FLOOR: what presenting costs a saver beside its floor, a program
# that only presents frames of the same size at the same pacing. Each other argument is a command run in this
# shell; the two starts leave the Unix id of the process to measure in QV_MEASURED. Each runs two seconds past its
# start-up and is measured over ten (percent of one core); the floor ends by itself and writes its own figures to
# $QV_TMP/floor.txt. Logs both, and their ratio.
qv_present_cost() {
  local saver_cpu floor_cpu
  "$2" || qv_fail "$1 did not start"
  sleep 2
  saver_cpu=$(qv_cpu_percent "$QV_MEASURED")
  "$3" || qv_fail "$1 did not end"
  "$4" || qv_fail "the floor did not start"
  sleep 2
  floor_cpu=$(qv_cpu_percent "$QV_MEASURED")
  qv_wait_exit "$QV_MEASURED" 20 || qv_fail "the floor did not end"
  qv_log "$1: ${saver_cpu}% of a core"
  qv_log "floor: ${floor_cpu}% of a core, $(cat "$QV_TMP/floor.txt")"
  [[ $floor_cpu == 0 ]] || qv_log "$1/floor: $(echo "scale=3; $saver_cpu / $floor_cpu" | bc)"
}

# --- Set-up and clean-up ---------------------------------------------------------------------------------

# A layer on top may define qv_exit_check STATUS, run first at exit, to turn a clean exit into a failure.
qv__cleanup() {
  local status=$? id
  trap - EXIT ERR
  set +e
  if ((status == 0)) && declare -F qv_exit_check >/dev/null && ! qv_exit_check; then status=1; fi
  if ((status != 0)) && [[ -n $QV_XVFB_PID ]]; then
    mkdir -p "$QV_ARTIFACTS"
    import -window root "$QV_ARTIFACTS/failure.png" 2>/dev/null && echo "screenshot: $QV_ARTIFACTS/failure.png" >&2
    for id in $(qv_windows .); do echo "window: $(xdotool getwindowname "$id")" >&2; done
    tail -n 20 "$QV_TMP/wine.log" >&2 2>/dev/null
  fi
  [[ ${WINEPREFIX:-} == "$QV_TMP"/* ]] && wineserver -k 2>/dev/null && wineserver -w
  # What is left of this shell's own background jobs, the display last.
  for id in $(jobs -p); do [[ $id == "$QV_XVFB_PID" ]] || kill -KILL "$id" 2>/dev/null; done
  [[ -n $QV_XVFB_PID ]] && kill "$QV_XVFB_PID" 2>/dev/null && wait "$QV_XVFB_PID" 2>/dev/null
  [[ -n $QV_TMP ]] && rm -rf "$QV_TMP"
  exit "$status"
}

# qv_make_prefix FOLDER: a Wine prefix of its own in FOLDER. The template is made once per build folder, under a
# lock; each run works on a clone of it.
qv_make_prefix() {
  local template=$QV_BUILD/wineprefix stamp
  stamp="$("$QV_WINE" --version 2>&1) $QV_WINE frames=N crashdialog=0"
  (
    flock -w 600 9 || exit 1
    if [[ $(cat "$template/.quorvel-ready" 2>/dev/null) != "$stamp" ]]; then
      echo "creating the Wine prefix template $template (once)" >&2
      rm -rf "$template"
      export WINEPREFIX=$template
      qv_wine wineboot -i >/dev/null 2>&1 &&
        qv_wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1 &&
        qv_wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1 &&
        wineserver -w && printf '%s' "$stamp" >"$template/.quorvel-ready" || exit 1
    fi
    # Big files (programs) are shared by hard links; small ones (registry, ini files) are copied, so nothing
    # this run writes reaches the template.
    cd "$template" && mkdir -p "$1" && find . -mindepth 1 -type d -printf '%P\0' | (cd "$1" && xargs -0 -r mkdir -p) &&
      find . -type f -size +64k ! -name '*.reg' -print0 | xargs -0 -r cp -l --parents -t "$1" &&
      find . \( -type f \( -size -65k -o -name '*.reg' \) -o -type l \) -print0 | xargs -0 -r cp -a --parents -t "$1"
  ) 9>"$QV_BUILD/wineprefix.lock"
}

qv__xvfb_ready() { DISPLAY=:$(tr -dc 0-9 <"$QV_TMP/${1:-display}") xdotool getdisplaygeometry >/dev/null 2>&1; }

# Windows programs take their monitors from the registry, which the prefix's desktop process brings up to date
# only after it has started; the template's copy holds the display it was made on. True once a program started
# now sees the monitors of this display.
qv__monitors_seen() {
  QV_MONITORS=$(qv_wine "$QV_WIN32/probe.exe" monitors 2>>"$QV_TMP/wine.log" | tr -d '\r')
  [[ $QV_MONITORS == "monitors=$1 virtual=0,0,$QV_SCREEN_W,$QV_SCREEN_H" ]]
}

qv__init() {
  local tool machine dir
  if [[ -n ${QV_NO_WINE:-} ]]; then tool=(Xvfb xdotool import convert); else tool=(wine wineserver Xvfb xdotool import convert compare flock); fi
  for tool in "${tool[@]}"; do
    command -v "$tool" >/dev/null || qv_fail "$tool is missing (run scripts/setup.sh)"
  done
  [[ -n ${QV_NO_WINE:-} ]] ||
    locale -a | grep -qiE '^ja_JP\.utf-?8$' || qv_fail "the ja_JP.UTF-8 locale is missing (run scripts/setup.sh)"
  [[ -n ${QV_NO_WINE:-} || (-f $QV_WIN32/Quorvel.scr && -f $QV_WIN32/probe.exe) ]] ||
    qv_fail "no programs in $QV_WIN32 (build them first)"
  if [[ -z ${QV_NO_WINE:-} && $QV_WINE != wine ]]; then
    machine=$(od -An -tx2 -N2 -j$(($(od -An -tu4 -N4 -j60 "$QV_WIN32/Quorvel.scr") + 4)) "$QV_WIN32/Quorvel.scr")
    [[ ${machine// /} != 014c ]] || qv_fail "this kernel runs no 32-bit programs; test a 64-bit build instead"
  fi
  mkdir -p "$QV_BUILD/bench-run" "$QV_ARTIFACTS"
  # Scratch folders of runs killed before their clean-up.
  for dir in "$QV_BUILD"/bench-run/*/; do
    [[ -d $dir ]] && ! kill -0 "$(cat "$dir/owner.pid" 2>/dev/null)" 2>/dev/null &&
      [[ -n $(find "$dir" -maxdepth 0 -mmin +10) ]] && rm -rf "$dir"
  done
  QV_TMP=$(mktemp -d "$QV_BUILD/bench-run/$QV_NAME.XXXXXX")
  echo $$ >"$QV_TMP/owner.pid"
  rm -f "$QV_ARTIFACTS/failure.png"
  trap qv__cleanup EXIT
  trap 'exit 130' INT
  trap 'exit 143' TERM

  Xvfb -displayfd 3 -screen 0 "${QV_SCREEN_W}x${QV_SCREEN_H}x24" -br -nolisten tcp -noreset 3>"$QV_TMP/display" \
    >"$QV_TMP/xvfb.log" 2>&1 &
  QV_XVFB_PID=$!
  qv_wait_until 20 qv__xvfb_ready || qv_fail "Xvfb did not start: $(tail -n 3 "$QV_TMP/xvfb.log")"
  DISPLAY=:$(tr -dc 0-9 <"$QV_TMP/display") && export DISPLAY
  if [[ -n ${QV_TWO_MONITORS:-} ]]; then
    command -v Xephyr >/dev/null || qv_fail "Xephyr is missing (run scripts/setup.sh)"
    Xephyr -displayfd 3 -screen 1024x768+0+0 -screen 800x600+1024+0 +xinerama -extension RANDR -nolisten tcp \
      -noreset 3>"$QV_TMP/display2" >"$QV_TMP/xephyr.log" 2>&1 &
    qv_wait_until 20 qv__xvfb_ready display2 || qv_fail "Xephyr did not start: $(tail -n 3 "$QV_TMP/xephyr.log")"
    DISPLAY=:$(tr -dc 0-9 <"$QV_TMP/display2")
  fi
  if [[ -n ${QV_NO_WINE:-} ]]; then
    qv_log "bench ready: DISPLAY=$DISPLAY, no Wine"
    return
  fi

  qv_make_prefix "$QV_TMP/prefix" || qv_fail "could not make this run's Wine prefix"
  export WINEPREFIX=$QV_TMP/prefix
  # The prefix's server stays up between programs, and goes by itself should this script die uncleaned.
  qv_wineserver -p30
  QV_PROG_DIR=$QV_TMP/program QV_SCR=$QV_TMP/program/Quorvel.scr QV_INI=$QV_TMP/program/Quorvel.ini
  QV_APPDATA=$WINEPREFIX/drive_c/users/$(id -un)/AppData/Roaming
  mkdir -p "$QV_PROG_DIR"
  cp "$QV_WIN32/Quorvel.scr" "$QV_SCR"

  # Wine takes the ANSI code page from the locale; the Japanese texts need 932.
  tool=$(qv_wine "$QV_WIN32/probe.exe" 2>>"$QV_TMP/wine.log" | tr -d '\r')
  [[ $tool == acp=932 ]] || qv_fail "Windows programs see '$tool', expected acp=932"
  qv_wait_until 20 qv__monitors_seen "$([[ -n ${QV_TWO_MONITORS:-} ]] && echo 2 || echo 1)" ||
    qv_fail "Windows programs see '$QV_MONITORS', not the monitors of $QV_SCREEN_W x $QV_SCREEN_H"
  qv_log "bench ready: DISPLAY=$DISPLAY, prefix $WINEPREFIX, $tool, $QV_MONITORS"
}

[[ -n ${QV_NO_INIT:-} ]] || qv__init
