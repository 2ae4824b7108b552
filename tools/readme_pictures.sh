#!/usr/bin/env bash
# Makes the README's pictures in docs/:
#   quorvel.gif           the two crawlers as tools/quorvel-render draws them with a fixed seed: eight seconds from
#                         when both are well inside a 1024x768 screen, every sixth frame, at 480x360
#   settings-dialog.png   the settings dialog, settings-dialog-en.png the same in English, and preview.png the preview
#                         still (twice its size), as the Windows program shows them under Wine on a virtual display
# Needs the native build and a Windows one (bash scripts/test.sh makes them): bash tools/readme_pictures.sh
set -uo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.." || exit 1
root=$PWD
win=build/win32
wine --version >/dev/null 2>&1 || win=build/win64
[[ -x build/native/tools/quorvel-render && -f $win/Quorvel.scr ]] || { echo "build native and ${win#build/} first"; exit 1; }
mkdir -p docs

export QUORVEL_SOURCE_DIR=$root QUORVEL_WIN32_DIR=$root/$win
source scripts/lib/bench.sh

# At 60 frames a second the second crawler is well inside from frame 750 on.
build/native/tools/quorvel-render --frames 1230 --every 6 --seed 7 --out "$QV_TMP/f.png" >/dev/null ||
  qv_fail "quorvel-render failed"
convert $(ls "$QV_TMP"/f_*.png | awk -F'[_.]' '$(NF - 1) + 0 >= 750') -resize 480x360 -colors 64 -set delay 10 \
  -loop 0 -fuzz 3% -layers OptimizeTransparency docs/quorvel.gif || qv_fail "no animation"

# A window counts as painted once two screenshots in a row show the same pixels in it.
steady() {
  qv_screenshot "$QV_TMP/shot.png"
  qv_crop "$QV_TMP/shot.png" "$@" "$QV_TMP/now.png"
  [[ -f $QV_TMP/before.png && $(qv_diff_count "$QV_TMP/now.png" "$QV_TMP/before.png") == 0 ]] && return 0
  mv "$QV_TMP/now.png" "$QV_TMP/before.png" && return 1
}

dialog_picture() { # title file
  qv_move 1 1
  qv_start_scr /c
  qv_wait_until 30 qv_window "^$1\$" && qv_geometry "$QV_WINDOW" || qv_fail "no settings dialog"
  qv_wait_until 20 steady "$QV_GEOM_X" "$QV_GEOM_Y" "$QV_GEOM_W" "$QV_GEOM_H" || qv_fail "the dialog never settled"
  # Without the time stamps, the same pixels give the same file.
  convert "$QV_TMP/now.png" -define png:exclude-chunks=date,time "$2"
  { qv_kill_programs && wait "$QV_PID"; } 2>/dev/null
  rm -f "$QV_TMP/before.png"
}
dialog_picture 'Quorvelの設定' docs/settings-dialog.png
# In English, as on a system of any other language. The prefix's title-bar font, made under Japanese, would show
# the English title as boxes; without its entry the system makes it afresh.
qv_wine reg delete 'HKCU\Control Panel\Desktop\WindowMetrics' /v CaptionFont /f >/dev/null 2>&1
QV_WINE_LOCALE=C.UTF-8 dialog_picture 'Quorvel Settings' docs/settings-dialog-en.png
mkdir "$QV_TMP/host"
QV_LAUNCH_EXE=$(qv_winpath "$QV_SCR") QV_HOST_ARGS='' QV_HOST_MODE=thread \
  qv_spawn qv_wine "$QV_WIN32/preview_host.exe" 152 112 "$(qv_winpath "$QV_TMP/host")"
qv_wait_until 30 test -s "$QV_TMP/host/host.txt" || qv_fail "the preview host did not start"
left=$(sed -n 's/^left=//p' "$QV_TMP/host/host.txt") top=$(sed -n 's/^top=//p' "$QV_TMP/host/host.txt")
qv_wait_until 20 steady "$left" "$top" 152 112 || qv_fail "the preview never settled"
convert "$QV_TMP/now.png" -filter point -resize 200% -define png:exclude-chunks=date,time docs/preview.png
{ qv_kill_programs && wait "$QV_PID"; } 2>/dev/null
ls -l docs/quorvel.gif docs/settings-dialog.png docs/settings-dialog-en.png docs/preview.png
