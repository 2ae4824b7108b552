#!/usr/bin/env bash
# DLL planting: a DLL that marks its loading (planted.dll) is copied beside a program under every DLL name the
# program maps (imported or loaded later) and under the names of the saver's old imports and what they pull in.
# A program with the saver's old imports (msimg32, shell32) loads a planted one: Wine's shlwapi, which shell32
# pulls in, takes shcore.dll from the program's folder. The saver and the settings dialog load none and run as
# before, the saver also when it loads shell32 itself to find the per-user settings folder.
set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

shown() { qv_window '^(Tavrin_Main|Quorvelの設定)$'; }
marks() { (cd "$1" && ls -- *.loaded 2>/dev/null | paste -sd' '); }
plant() { local name; for name in $NAMES; do cp "$QV_WIN32/planted.dll" "$1/$name" || return 1; done; }

qv_start_scr /c
qv_wait_until 30 shown || qv_fail "no settings dialog"
NAMES=$( (grep -oiE '[^/ ]+\.dll$' "/proc/$(qv_pids 'Quorvel\.scr' | head -n1)/maps"
  printf '%s.dll\n' msimg32 shell32 shlwapi shcore) | tr 'A-Z' 'a-z' | sort -u)
qv_kill_programs || qv_fail "could not end the settings dialog"
grep -qx gdi32.dll <<<"$NAMES" || qv_fail "no DLLs seen in the program's memory map: $NAMES"
plant "$QV_PROG_DIR" || qv_fail "could not plant the DLLs"
qv_log "planted beside the program: $(paste -sd' ' <<<"$NAMES")"

mkdir "$QV_TMP/old"
cp "$QV_WIN32/old_imports.exe" "$QV_TMP/old/"
plant "$QV_TMP/old" || qv_fail "could not plant the DLLs beside the program with the old imports"
# What it draws with a planted msimg32 does not matter here: the marks tell what it loaded.
qv_wine "$QV_TMP/old/old_imports.exe" >>"$QV_TMP/wine.log" 2>&1 || qv_log "old_imports.exe ended with status $?"
[[ -n $(marks "$QV_TMP/old") ]] || qv_fail "the program with the old imports loaded no planted DLL"
qv_pass "the program with the saver's old imports loaded planted DLLs: $(marks "$QV_TMP/old")"

# The program's folder cannot take the settings file: the saver asks shell32 for the per-user folder.
mkdir "$QV_INI"
for mode in /s /c; do
  qv_start_scr "$mode"
  qv_wait_until 30 shown || qv_fail "'$mode' showed no window with DLLs planted beside it"
  qv_kill_programs || qv_fail "could not end '$mode'"
  [[ -z $(marks "$QV_PROG_DIR") ]] || qv_fail "'$mode' loaded planted DLLs: $(marks "$QV_PROG_DIR")"
  qv_pass "'$mode' ran and loaded none of the DLLs planted beside it"
done
qv_done
