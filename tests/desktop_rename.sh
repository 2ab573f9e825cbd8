#!/usr/bin/env bash
# The real program under Xvfb, by keyboard alone: a file opened in a viewer and closed, then
# renamed in tab order with a typed extension and a width chosen by arrow key; a second start
# shows nothing. With SCREEN_READER=orca, the screen reader says each box's value on the way.
set -euo pipefail
program=$1
source "$(dirname "$0")/desktop_lib.sh"
desktop_setup
printf a > a.jpg; printf b > b.jpeg; printf c > c.jpg; printf t > notes.txt

start_screen_reader
start_program "$program"
# A screen reader takes its time to say each step.
keys() { xdotool key --delay "$([ -n "${SCREEN_READER:-}" ] && echo 300 || echo 120)" "$@"; }
# The window has the focus, in Drive1, which says its drive.
expect_said "ドライブ"
expect_said "/'"
# Back to the file list, its second file (Down from the first) into a viewer and out again: the
# focus comes back to the renaming window.
keys shift+Tab Down Return
expect_said "b.jpeg"
sleep 0.5
keys ctrl+w
expect_said "Numbrella+"
# File1 -> Drive1 -> Dir1 -> Text1
keys Tab Tab Tab
xdotool type --delay 50 img
# Text1 -> Combo1, which says its entry; an extension typed over it.
keys Tab
expect_said "jpg"
keys ctrl+a
xdotool type --delay 100 png
# -> Command2 -> Combo2, four digits by arrow key, said; back to Combo1, which says "png".
keys Tab Tab Down
expect_said "４桁"
keys shift+Tab shift+Tab
expect_said "png"
# -> Command2 -> Combo2 -> Command1
keys Tab Tab Tab space
sleep 1
actual=$(ls | tr '\n' ' ')
expected="img0001.png img0002.png img0003.png notes.txt runtime "
if [ "$actual" != "$expected" ]; then
    echo "FAIL: files are: $actual"; exit 1
fi
[ "$(cat img0002.png)" = b ] || { echo "FAIL: wrong order"; exit 1; }
check_said

# A second start while the first runs ends at once and shows no window.
start=$(date +%s)
timeout 10 "$program"; code=$?
count=$(xdotool search --onlyvisible --name '^Numbrella\+$' 2>/dev/null | wc -l)
[ "$code" -eq 0 ] || { echo "FAIL: second instance exit code $code"; exit 1; }
[ "$count" -eq 1 ] || { echo "FAIL: $count windows"; exit 1; }
echo "desktop rename: 2 passed, 0 failed"
