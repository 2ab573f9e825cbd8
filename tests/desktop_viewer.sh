#!/usr/bin/env bash
# The real program under Xvfb: a double-click on a listed picture opens a viewer titled with
# the file's path, and the screen then shows the picture.
set -euo pipefail
program=$(realpath "$1")
shots=${2:-}
work=$(mktemp -d)
trap 'kill "$pid" 2>/dev/null || true; rm -rf "$work"' EXIT
export XDG_RUNTIME_DIR=$work/runtime
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
cd "$work"
convert -size 320x240 xc:'rgb(200,30,30)' photo001.jpg

"$program" & pid=$!
win=""
for _ in $(seq 50); do
    win=$(xdotool search --onlyvisible --name '^Numbrella\+$' 2>/dev/null | head -n1 || true)
    [ -n "$win" ] && break
    sleep 0.2
done
[ -n "$win" ] || { echo "FAIL: no window"; exit 1; }
eval "$(xdotool getwindowgeometry --shell "$win")"
# The first line of the file list: File1 starts at 2800/675 twips below the menu bar.
xdotool mousemove $((X + 220)) $((Y + 78)) click --repeat 2 --delay 80 1
viewer=""
for _ in $(seq 50); do
    viewer=$(xdotool search --onlyvisible --name "photo001.jpg\$" 2>/dev/null | head -n1 || true)
    [ -n "$viewer" ] && break
    sleep 0.2
done
[ -n "$viewer" ] || { echo "FAIL: no viewer window"; exit 1; }
title=$(xdotool getwindowname "$viewer")
[ "$title" = "$(pwd -P)/photo001.jpg" ] || { echo "FAIL: viewer title is $title"; exit 1; }
sleep 0.5
import -window root "$work/screen.png"
[ -n "$shots" ] && cp "$work/screen.png" "$shots"
red=$(convert "$work/screen.png" -fill black +opaque 'rgb(200,30,30)' -fuzz 10% -format '%[fx:mean]' info: 2>/dev/null || echo 0)
# At least a sizeable share of the screen is the picture's red.
awk -v r="$red" 'BEGIN { exit !(r > 0.02) }' || { echo "FAIL: picture not shown ($red)"; exit 1; }

# The toolbar's 拡 button zooms and fits the window around the larger picture.
eval "$(xdotool getwindowgeometry --shell "$viewer")"
before=$WIDTH
xdotool mousemove $((X + 9)) $((Y + 12)) click 1
sleep 0.5
eval "$(xdotool getwindowgeometry --shell "$viewer")"
[ "$WIDTH" -gt "$before" ] || { echo "FAIL: zoom did not widen the viewer ($before -> $WIDTH)"; exit 1; }
[ -n "$shots" ] && import -window root "${shots%.png}-zoom.png"

# The Help menu's version command opens the about window (the viewer moved off the menu).
xdotool windowmove --sync "$viewer" 400 0 2>/dev/null || xdotool windowmove "$viewer" 400 0
sleep 0.3
eval "$(xdotool getwindowgeometry --shell "$win")"
xdotool mousemove $((X + 90)) $((Y + 10)) click 1
sleep 0.5
xdotool key Down Return
about=""
for _ in $(seq 25); do
    about=$(xdotool search --onlyvisible --name 'バージョン情報$' 2>/dev/null | head -n1 || true)
    [ -n "$about" ] && break
    sleep 0.2
done
[ -n "$about" ] || { echo "FAIL: no about window"; exit 1; }
[ -n "$shots" ] && import -window root "${shots%.png}-about.png"
echo "desktop viewer: 4 passed, 0 failed"
