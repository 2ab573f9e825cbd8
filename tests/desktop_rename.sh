#!/usr/bin/env bash
# The real program under Xvfb: renames by keyboard in tab order; a second start shows nothing.
set -euo pipefail
program=$1
source "$(dirname "$0")/desktop_lib.sh"
desktop_setup
printf a > a.jpg; printf b > b.jpeg; printf c > c.jpg; printf t > notes.txt

start_program "$program"
xdotool windowfocus --sync "$win" 2>/dev/null || true
sleep 0.5
# Drive1 has the focus: Dir1, then Text1.
xdotool key --delay 100 Tab Tab
xdotool type --delay 50 img
# Text1 -> Combo1 -> Command2 -> Combo2 -> Command1
xdotool key --delay 100 Tab Tab Tab Tab space
sleep 1
actual=$(ls | tr '\n' ' ')
expected="img001.jpg img002.jpg img003.jpg notes.txt runtime "
if [ "$actual" != "$expected" ]; then
    echo "FAIL: files are: $actual"; exit 1
fi
[ "$(cat img002.jpg)" = b ] || { echo "FAIL: wrong order"; exit 1; }

# A second start while the first runs ends at once and shows no window.
start=$(date +%s)
timeout 10 "$program"; code=$?
count=$(xdotool search --onlyvisible --name '^Numbrella\+$' 2>/dev/null | wc -l)
[ "$code" -eq 0 ] || { echo "FAIL: second instance exit code $code"; exit 1; }
[ "$count" -eq 1 ] || { echo "FAIL: $count windows"; exit 1; }
echo "desktop rename: 2 passed, 0 failed"
