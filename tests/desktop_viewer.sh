#!/usr/bin/env bash
# The real program under Xvfb: a double-click on a listed picture opens a viewer titled with
# the file's path, and the screen then shows the picture.
set -euo pipefail
program=$(realpath "$1")
shots=${2:-}
source "$(dirname "$0")/desktop_lib.sh"
desktop_setup
convert -size 320x240 xc:'rgb(200,30,30)' photo001.jpg

start_program "$program"
# The first line of the file list: File1 starts at 2800/675 twips below the menu bar.
click_at "$win" 220 78 2
viewer=$(wait_window 'photo001.jpg$')
title=$(xdotool getwindowname "$viewer")
[ "$title" = "$(pwd -P)/photo001.jpg" ] || { echo "FAIL: viewer title is $title"; exit 1; }
sleep 0.5
import -window root "$work/screen.png"
[ -n "$shots" ] && cp "$work/screen.png" "$shots"
red=$(convert "$work/screen.png" -fill black +opaque 'rgb(200,30,30)' -fuzz 10% -format '%[fx:mean]' info: 2>/dev/null || echo 0)
# At least a sizeable share of the screen is the picture's red.
awk -v r="$red" 'BEGIN { exit !(r > 0.02) }' || { echo "FAIL: picture not shown ($red)"; exit 1; }

# The toolbar's 拡 button zooms and fits the window around the larger picture.
client "$viewer"
before=$CW
click_at "$viewer" 9 12
sleep 0.5
client "$viewer"
[ "$CW" -gt "$before" ] || { echo "FAIL: zoom did not widen the viewer ($before -> $CW)"; exit 1; }
[ -n "$shots" ] && import -window root "${shots%.png}-zoom.png"

# The Help menu's version command opens the about window (the viewer moved off the menu).
xdotool windowmove --sync "$viewer" 0 420 2>/dev/null || xdotool windowmove "$viewer" 0 420
sleep 0.3
click_at "$win" 90 10
sleep 0.5
xdotool key Down Return
about=$(wait_window 'バージョン情報$' 25)
[ -n "$shots" ] && import -window root "${shots%.png}-about.png"
echo "desktop viewer: 4 passed, 0 failed"
