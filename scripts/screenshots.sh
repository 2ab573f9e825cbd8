#!/usr/bin/env bash
# Makes the README's pictures with the real program under Xvfb:
#   scripts/screenshots.sh [PROGRAM] [OUTDIR]      (defaults: build/numbrella, docs/screenshots)
# SCALE=1.5 makes them at 144 dpi. Prints each picture's path and its window's size.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
# A display of its own, so that the pictures never show the desktop they were made on.
if [ -z "${SCREENSHOTS_INNER:-}" ]; then
    export SCREENSHOTS_INNER=1
    screen=$(awk -v s="${SCALE:-1}" 'BEGIN { printf "%dx%dx24", 1600 * s, 1200 * s }')
    XVFB_SCREEN=$screen exec "$here/../tests/xvfb_run.sh" "$0" "$@"
fi
program=$(realpath "${1:-$here/../build/numbrella}")
out=$(mkdir -p "${2:-$here/../docs/screenshots}" && cd "${2:-$here/../docs/screenshots}" && pwd)
scale=${SCALE:-1}
export QT_QPA_PLATFORM=xcb QT_SCALE_FACTOR=$scale
px() { awk -v v="$1" -v s="$scale" 'BEGIN { printf "%d", v * s + 0.5 }'; }

source "$here/../tests/desktop_lib.sh"
desktop_setup

# A folder of holiday pictures, drawn here, at a short path for the folder list to show.
# The path is fixed, so runs take turns (the tests run this in two locales at once).
exec 9> /tmp/numbrella.lock
flock -w 100 9 || { echo "screenshots: another run holds /tmp/numbrella" >&2; exit 1; }
pictures=/tmp/numbrella/写真
rm -rf /tmp/numbrella && mkdir -p "$pictures" && cd "$pictures"
trap '[ -n "$pid" ] && kill "$pid" 2>/dev/null || true; rm -rf "$work" /tmp/numbrella' EXIT
draw() {
    convert -size 480x320 gradient:"$1" \
        -fill "$2" -draw "circle $3,80 $(($3 + 36)),80" \
        -fill "$4" -draw "ellipse 110,330 230,110 180,360" -draw "ellipse 400,340 220,130 180,360" \
        -quality 90 "$5"
}
draw '#5fa8e8-#dff0fb' '#f6c445' 360 '#3f8f4f' DSC_0412.jpg
draw '#f08a4b-#fde3c8' '#fff3b0' 120 '#8a5a44' DSC_0413.jpg
draw '#243b6b-#6d83b8' '#f4f1de' 300 '#2e4a3a' DSC_0415.jpg
printf 'memo\n' > memo.txt

start_program "$program"
xdotool windowfocus --sync "$win" 2>/dev/null || true
sleep 0.5
# The base name, by keyboard in the window's tab order: Drive1, Dir1, Text1.
xdotool key --delay 80 Tab Tab
xdotool type --delay 40 trip
sleep 0.3
shot() {
    sleep 0.6
    import -window "$1" "$out/$2"
    eval "$(xdotool getwindowgeometry --shell "$1")"
    echo "$out/$2 ${WIDTH}x${HEIGHT}"
}
shot "$win" renaming.png

# On to File1 (Combo1, Command2, Combo2, Command1, File1), the second picture, Enter.
xdotool key --delay 80 Tab Tab Tab Tab Tab Down Return
viewer=$(wait_window 'DSC_0413.jpg$')
xdotool windowmove "$viewer" "$(px 420)" 0
xdotool windowfocus --sync "$viewer" 2>/dev/null || true
sleep 0.3
xdotool key --delay 150 plus plus
shot "$viewer" viewer.png

# Help > version by keyboard: Alt to the menu bar, on to ヘルプ, open it, take the first item.
xdotool windowfocus --sync "$win" 2>/dev/null || true
sleep 0.3
xdotool key --delay 200 alt Right Down Return
about=$(wait_window 'バージョン情報$' 25)
xdotool windowmove "$about" 0 "$(px 620)"
shot "$about" about.png
