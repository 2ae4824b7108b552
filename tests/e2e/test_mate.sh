#!/usr/bin/env bash
# The X11 program under MATE's screen-saver daemon: the installed desktop entry is valid and found as the theme
# "screensavers-quorvel"; --activate runs the entry's command, which draws crawlers in the green sheet's colours
# on black; --deactivate ends the program within a second, leaving no shared-memory segment.
# The daemon starts only programs that lie in xscreensaver's folder. The suite therefore runs in a mount
# namespace of its own, where the files `cmake --install` lays out are bound over /usr/libexec/xscreensaver and
# /usr/share/applications/screensavers; the machine's own folders are never written. It needs root (as the
# daemon itself does) and a session bus, which dbus-run-session gives it.
# QUORVEL_NATIVE_BUILD names the native build folder (default build/native).
set -uo pipefail
if [[ -z ${QV_MATE_NAMESPACE:-} ]]; then
  command -v unshare >/dev/null && command -v dbus-run-session >/dev/null ||
    { echo "FAIL: unshare or dbus-run-session is missing (run scripts/setup.sh)" >&2; exit 1; }
  QV_MATE_NAMESPACE=1 exec unshare --mount --propagation private dbus-run-session -- bash "$0" "$@"
fi
QV_NO_WINE=1
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
BUILD=${QUORVEL_NATIVE_BUILD:-$QV_BUILD/native}
[[ -x $BUILD/quorvel ]] || qv_fail "no X11 program in $BUILD (build the native preset)"
for tool in mate-screensaver mate-screensaver-command gsettings desktop-file-validate; do
  command -v "$tool" >/dev/null || qv_fail "$tool is missing (run scripts/setup.sh)"
done

# What a package install lays out, under a scratch root, then seen at its real place by this namespace alone.
stage=$QV_TMP/root
DESTDIR=$stage cmake --install "$BUILD" --prefix /usr >"$QV_TMP/install.log" 2>&1 || qv_fail "cmake --install failed"
entry=$stage/usr/share/applications/screensavers/quorvel.desktop
[[ -f $entry ]] || qv_fail "the install laid out no desktop entry"
desktop-file-validate "$entry" >"$QV_TMP/validate.log" 2>&1 || qv_fail "desktop-file-validate: $(cat "$QV_TMP/validate.log")"
grep -qx 'Exec=/usr/libexec/xscreensaver/quorvel --root' "$entry" || qv_fail "the entry runs $(grep '^Exec=' "$entry")"
mount --bind "$stage/usr/libexec/xscreensaver" /usr/libexec/xscreensaver &&
  mkdir -p /usr/share/applications/screensavers &&
  mount --bind "$stage/usr/share/applications/screensavers" /usr/share/applications/screensavers ||
  qv_fail "could not bind the installed files in this namespace"
qv_pass "the installed desktop entry passes desktop-file-validate and runs the program with --root"

# The daemon reads its settings through GSettings: a keyfile of this run's own, which it and gsettings share.
export XDG_CURRENT_DESKTOP=MATE GSETTINGS_BACKEND=keyfile XDG_CONFIG_HOME=$QV_TMP/config XDG_CACHE_HOME=$QV_TMP/cache
gsettings set org.mate.screensaver mode single &&
  gsettings set org.mate.screensaver themes "['screensavers-quorvel']" &&
  gsettings set org.mate.screensaver lock-enabled false || qv_fail "gsettings could not set the daemon's settings"
mate-screensaver --no-daemon --debug >"$QV_TMP/daemon.log" 2>&1 &
daemon=$!
qv_wait_until 20 mate-screensaver-command --query >/dev/null 2>&1 || qv_fail "the daemon did not answer"

program_pid() { pgrep -x -f '/usr/libexec/xscreensaver/quorvel --root' | head -n1; }

mate-screensaver-command --activate >/dev/null || qv_fail "mate-screensaver-command --activate failed"
grep -q "Setting command for job: '/usr/libexec/xscreensaver/quorvel --root'" "$QV_TMP/daemon.log" ||
  qv_wait_until 5 grep -q "Setting command for job: '/usr" "$QV_TMP/daemon.log" ||
  qv_fail "the daemon found no theme screensavers-quorvel: $(grep 'command for job' "$QV_TMP/daemon.log" | tail -1)"
qv_wait_until 20 qv_green_shown 2000 || qv_fail "no crawlers after --activate"
qv_wait_until 10 qv_green_shown 8000  # a crawler well on the screen, for the picture kept
cp "$QV_TMP/shot.png" "$QV_ARTIFACTS/mate.png"
pid=$(program_pid)
[[ -n $pid ]] || qv_fail "the crawlers are drawn, but by no program found"
[[ $(tr '\0' '\n' <"/proc/$pid/environ" | grep -c '^XSCREENSAVER_WINDOW=0x') == 1 ]] ||
  qv_fail "the daemon gave the program no XSCREENSAVER_WINDOW"
qv_pass "after --activate the daemon's job draws crawlers in the green sheet's colours on black ($QV_ARTIFACTS/mate.png)"

(($(qv_segments_of "$pid") > 0)) || qv_fail "the program ($pid) presents without shared memory"
mate-screensaver-command --deactivate >/dev/null || qv_fail "mate-screensaver-command --deactivate failed"
started=$(date +%s%3N)
qv_wait_until "$QV_ENDS_WITHIN" qv_not qv_running "$pid" ||
  qv_fail "the program still ran $QV_ENDS_WITHIN s after --deactivate"
ended_in=$(($(date +%s%3N) - started))
(($(qv_segments_of "$pid") == 0)) || qv_fail "the program left a shared-memory segment behind: $(ipcs -m -p)"
kill "$daemon" && qv_wait_exit "$daemon" 5 || qv_fail "the daemon did not end"
qv_pass "after --deactivate the program ended in $ended_in ms and left no shared-memory segment"
qv_done
