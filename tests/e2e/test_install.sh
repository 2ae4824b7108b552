#!/usr/bin/env bash
# The packages (QUORVEL_PACKAGES_DIR, default build/packages): the zip holds both builds' programs and the README,
# whose version resources read the project's version; "setup /S" installs per user, makes Quorvel the screen saver
# and writes the uninstall entry; the installed saver runs and keeps its settings beside itself, also over a second
# setup; the quiet uninstall removes it all and clears the screen saver while it names Quorvel.
set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

PACKAGES=${QUORVEL_PACKAGES_DIR:-$QV_BUILD/packages}
VERSION=$(sed -n 's/^project(Quorvel VERSION \([0-9.]*\) .*/\1/p' "$QV_SRC/CMakeLists.txt")
PUBLISHER=$(sed -n 's/^set(QUORVEL_PUBLISHER "\(.*\)")$/\1/p' "$QV_SRC/CMakeLists.txt")
SETUP=$PACKAGES/QuorvelSetup-$VERSION.exe
[[ $QV_WINE == wine ]] || { SETUP=$PACKAGES/amd64/QuorvelSetup-$VERSION.exe &&
  qv_log "note: Wine runs no 32-bit programs here: the 64-bit build of the same setup program stands in"; }
[[ -f $SETUP ]] || qv_fail "no $SETUP (run packaging/build.sh)"
INSTALL=$WINEPREFIX/drive_c/users/$(id -un)/AppData/Local/Programs/Quorvel
WIN_INSTALL="C:\\users\\$(id -un)\\AppData\\Local\\Programs\\Quorvel"
DESKTOP='HKCU\Control Panel\Desktop' ENTRY='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Quorvel'

# --- The zip and the version resources -------------------------------------------------------------------
ZIP=$PACKAGES/Quorvel-$VERSION-windows.zip
[[ $(cmake -E tar tf "$ZIP" | sort | paste -sd ' ') == 'README.txt x64/Quorvel.scr x86/Quorvel.scr' ]] ||
  qv_fail "$ZIP holds: $(cmake -E tar tf "$ZIP" | paste -sd ' ')"
mkdir "$QV_TMP/zip" && (cd "$QV_TMP/zip" && cmake -E tar xf "$ZIP") || qv_fail "cannot unpack $ZIP"
# The version resource as the resource compiler reads it back, blanks dropped.
printf -v resource '%s\n' "FILEVERSION${VERSION//./,},0" "VALUE\"FileVersion\",\"$VERSION\"" \
  'VALUE"ProductName","Quorvel"' "VALUE\"ProductVersion\",\"$VERSION\""
for pair in x86/Quorvel.scr:win32/Quorvel.scr x64/Quorvel.scr:win64/Quorvel.scr README.txt:../assets/README.txt; do
  cmp -s "$QV_TMP/zip/${pair%:*}" "$QV_BUILD/${pair#*:}" || qv_fail "the zip's ${pair%:*} is not ${pair#*:}"
  [[ $pair != *.scr:* || $(x86_64-w64-mingw32-windres -i "$QV_TMP/zip/${pair%:*}" -O rc | tr -d ' ' |
    grep -E '^(FILEVERSION|VALUE"(ProductName|ProductVersion|FileVersion)")')$'\n' == "$resource" ]] ||
    qv_fail "${pair%:*}'s version resource does not read version $VERSION and product name Quorvel"
done
qv_pass "the zip holds exactly both builds' Quorvel.scr and README.txt; both read back version $VERSION"

# --- Install, run, install again, remove ------------------------------------------------------------------
# VALUES[name] := the data of every value of a registry key, as reg.exe shows it; false when there is no key.
read_key() {
  declare -gA VALUES=()
  local line re='^    (.+)    REG_[A-Z_]+    (.*)$'
  qv_wine reg query "$1" >"$QV_TMP/reg.txt" 2>/dev/null || return 1
  while IFS= read -r line; do [[ $line =~ $re ]] || continue; VALUES[${BASH_REMATCH[1]}]=${BASH_REMATCH[2]}; done \
    < <(tr -d '\r' <"$QV_TMP/reg.txt")
}
expect() { [[ ${VALUES[$1]-} == "$2" ]] || qv_fail "$3: $1 is '${VALUES[$1]-}', expected '$2'"; }
run_setup() {
  qv_spawn qv_wine "$SETUP" /S
  qv_wait_exit "$QV_PID" 120 || qv_fail "$1: the setup program did not end"
  cmp -s "$INSTALL/Quorvel.scr" "$QV_BUILD/win64/Quorvel.scr" || qv_fail "$1: no 64-bit Quorvel.scr installed"
  cmp -s "$INSTALL/README.txt" "$QV_SRC/assets/README.txt" && [[ -f $INSTALL/Uninstall.exe ]] ||
    qv_fail "$1: no README.txt or uninstaller"
  read_key "$DESKTOP" && expect SCRNSAVE.EXE "$WIN_INSTALL\\Quorvel.scr" "$1" && expect ScreenSaveActive 1 "$1"
}
removed() { [[ ! -e $INSTALL ]] && ! read_key "$ENTRY"; }
uninstall() {
  read_key "$ENTRY" && [[ ${VALUES[QuietUninstallString]} =~ ^\"([^\"]+)\"\ (.+)$ ]] ||
    qv_fail "no quiet uninstall command"
  QV_SCR=${BASH_REMATCH[1]} qv_start_scr "${BASH_REMATCH[2]}"
  qv_wait_until 60 removed || qv_fail "$1: the quiet uninstall left $(ls "$INSTALL" 2>/dev/null) or its entry"
  read_key "$DESKTOP"
}

run_setup "setup /S"
read_key "$ENTRY" || qv_fail "no uninstall entry"
for value in DisplayName=Quorvel "DisplayIcon=$WIN_INSTALL\\Quorvel.scr,0" "DisplayVersion=$VERSION" \
  "Publisher=$PUBLISHER" "UninstallString=\"$WIN_INSTALL\\Uninstall.exe\"" \
  "QuietUninstallString=\"$WIN_INSTALL\\Uninstall.exe\" /S"; do
  expect "${value%%=*}" "${value#*=}" "the uninstall entry"
done
((${VALUES[EstimatedSize]:-0} >= $(stat -c %s "$INSTALL/Quorvel.scr") / 1024)) ||
  qv_fail "the uninstall entry gives a size of ${VALUES[EstimatedSize]:-none} KB"
qv_pass "setup /S installed the 64-bit saver and README.txt, made it the screen saver, wrote the uninstall entry"

QV_SCR="$WIN_INSTALL\\Quorvel.scr"
qv_start_scr /s
qv_wait_until 60 qv_window '^Tavrin_Main$' || qv_fail "the installed saver showed no window"
qv_click $((QV_SCREEN_W / 2)) $((QV_SCREEN_H / 2))
qv_wait_exit "$QV_PID" 20 || qv_fail "the installed saver did not end on a click"
read -r _ CLIENT_W CLIENT_H _ x y w h < <(qv_wine "$QV_WIN32/probe.exe" layout 96 | tr -d '\r' |
  grep -E '^(client|Cmd_Set) ' | paste -sd ' ')
qv_start_scr /c
qv_wait_until 30 qv_window '^Quorvelの設定$' && qv_geometry "$QV_WINDOW" || qv_fail "no dialog from the installed program"
# Wine draws the frame itself: the client area sits at the bottom centre of the X window.
frame=$(((QV_GEOM_W - CLIENT_W) / 2))
qv_click $((QV_GEOM_X + frame + x + w / 2)) $((QV_GEOM_Y + QV_GEOM_H - frame - CLIENT_H + y + h / 2))
qv_wait_exit "$QV_PID" 20 && [[ -s $INSTALL/Quorvel.ini && ! -e $QV_APPDATA/Quorvel ]] ||
  qv_fail "Set in the installed saver's dialog wrote no Quorvel.ini in the install folder"
qv_pass "the installed saver ran from there: /s ended on a click, Set wrote Quorvel.ini beside it"

cp "$INSTALL/Quorvel.ini" "$QV_TMP/kept.ini"
printf stale >>"$INSTALL/Quorvel.scr"
run_setup "setup again"
cmp -s "$INSTALL/Quorvel.ini" "$QV_TMP/kept.ini" || qv_fail "setup again changed Quorvel.ini"
qv_pass "setup again replaced the program and kept Quorvel.ini byte for byte"

uninstall "the quiet uninstall"
[[ -z ${VALUES[SCRNSAVE.EXE]+set} ]] || qv_fail "the uninstall left SCRNSAVE.EXE at '${VALUES[SCRNSAVE.EXE]}'"
run_setup "setup after removal"
qv_wine reg add "$DESKTOP" /v SCRNSAVE.EXE /d 'C:\other.scr' /f >>"$QV_TMP/wine.log" 2>&1
uninstall "the quiet uninstall with another saver chosen"
expect SCRNSAVE.EXE 'C:\other.scr' "the quiet uninstall with another saver chosen"
qv_pass "the quiet uninstall removed files, settings and entry; it cleared SCRNSAVE.EXE only while it named Quorvel"
qv_done
