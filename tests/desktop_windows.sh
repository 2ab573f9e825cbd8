#!/usr/bin/env bash
# The real program's windows on the screen, under a window manager or on a bare display:
# outer sizes that include the frame, viewers that stay inside the work area and are not left
# maximised by the window manager, an empty caption, Qt's dialogs in Japanese, the keyboard focus
# back on the renaming window when a viewer or a message closes, a minimised renaming window
# within reach, and a typed filter that never changes which files are renamed.
set -euo pipefail
program=$(realpath "$1")
source "$(dirname "$0")/desktop_lib.sh"
desktop_setup
passed=0
fail() { echo "FAIL: $*"; exit 1; }

convert -size 640x480 xc:'rgb(30,160,30)' a.jpg
convert -size 1600x1200 xc:'rgb(30,30,160)' b.jpg
printf 'no picture' > c.jpg
printf 'gif' > d.gif

start_program "$program"
# The keys reach the renaming window at once: openbox focuses no window without a task-bar button.
focused "$win" || fail "the renaming window has no keyboard focus at start"
# 5670 twips wide, frame included: 378 pixels at 96 dpi; wider only where a thick frame would
# otherwise cut the controls, which need 372 pixels.
outer "$win"
want=$(( OW - CW + 372 > 378 ? OW - CW + 372 : 378 ))
[ "$OW" -eq "$want" ] && [ "$CW" -ge 372 ] \
    || fail "the renaming window is $OW pixels wide, frame included, $CW inside"
passed=$((passed + 1))
# No task-bar button, yet no tool window, which window managers keep above the viewers.
xprop -id "$win" _NET_WM_STATE | grep -q _NET_WM_STATE_SKIP_TASKBAR \
    || fail "the renaming window has a task-bar button"
! xprop -id "$win" _NET_WM_WINDOW_TYPE | grep -q UTILITY || fail "the renaming window is a tool window"
passed=$((passed + 1))
menubar=$((CH - 519))
# The file list starts 675 twips below the menu bar; its lines are 14 pixels apart.
row() { echo $((menubar + 54 + 14 * $1)); }

others() { ours --class numbrella | grep -vx "$win" || true; }
# Keys go where the focus is, as a user's do.
focus() { xdotool windowactivate --sync "$1" 2>/dev/null || xdotool windowfocus --sync "$1" 2>/dev/null || true; sleep 0.2; }
# Closing a viewer gives the focus back to the renaming window.
close_viewer() {
    focus "$1"
    xdotool key ctrl+w
    focused "$win" || fail "the renaming window has no keyboard focus after a viewer closed"
}

# 640 x 480 opens at 9785 x 8080 twips, frame included, inside the work area; larger where a
# thick frame would cover part of the picture, which always shows whole (the box is the window
# less 27 pixels in height).
click_at "$win" 220 "$(row 0)" 2
viewer=$(wait_window 'a.jpg$')
for _ in $(seq 50); do
    outer "$viewer"
    wide=$(( OW - CW + 640 > 652 ? OW - CW + 640 : 652 ))
    high=$(( OH - CH + 507 > 539 ? OH - CH + 507 : 539 ))
    [ "$OW $OH" = "$wide $high" ] && break
    sleep 0.1
done
[ "$OW $OH" = "$wide $high" ] && [ "$CW" -ge 640 ] && [ "$CH" -ge 507 ] \
    || fail "a 640 x 480 picture opens at $OW x $OH pixels ($CW x $CH inside), not $wide x $high"
inside_workarea "$viewer" || fail "the viewer does not fit the work area"
passed=$((passed + 1))
# A viewer opened comes above the renaming window (the window manager's stacking, bottom first).
stacking=$(xprop -root _NET_CLIENT_LIST_STACKING 2>/dev/null | sed -n 's/.*# //p' | tr -d ' ')
if [ -n "$stacking" ]; then
    order=$(tr ',' '\n' <<< "$stacking" | grep -nxE "$(printf '0x%x|0x%x' "$win" "$viewer")" | cut -d: -f2 | tr '\n' ' ')
    [ "$order" = "$(printf '0x%x 0x%x ' "$win" "$viewer")" ] || fail "the viewer opens under the renaming window ($order)"
fi

# Forty clicks on 拡 keep the window inside the work area.
focus "$viewer"
for _ in $(seq 40); do
    click_at "$viewer" 9 12
    sleep 0.05
done
sleep 0.5
inside_workarea "$viewer" || fail "after 40 zoom steps the viewer leaves the work area"
passed=$((passed + 1))

# Qt's own dialogs speak Japanese: the save dialog.
focus "$viewer"
xdotool key ctrl+s
dialog=$(wait_window '^名前を付けて保存$' 25) || fail "no Japanese save dialog"
focus "$dialog"
xdotool key Escape
sleep 0.3
passed=$((passed + 1))
close_viewer "$viewer"

# A picture larger than the screen: the viewer fills at most the work area, and both scroll
# bars are on the screen beside the picture.
click_at "$win" 220 "$(row 1)" 2
viewer=$(wait_window 'b.jpg$')
sleep 0.5
inside_workarea "$viewer" || fail "the large picture's viewer does not fit the work area"
# Not left maximised (kwin and mutter maximise a window that nearly fills the work area), so that
# the zoom buttons still fit it to the picture.
for _ in $(seq 30); do
    xprop -id "$viewer" _NET_WM_STATE | grep -q MAXIMIZED || break
    sleep 0.1
done
! xprop -id "$viewer" _NET_WM_STATE | grep -q MAXIMIZED || fail "the large picture's viewer stays maximised"
client "$viewer"
shot=$(mktemp --suffix=.png)
import -window root "$shot"
colour() { convert "$shot" -format "%[pixel:p{$1,$2}]" info:; }
picture=$(colour $((CX + CW / 2)) $((CY + CH / 2)))
vbar=$(colour $((CX + CW - 8)) $((CY + CH / 2)))
hbar=$(colour $((CX + CW / 2)) $((CY + CH - 8)))
[ "$vbar" != "$picture" ] && [ "$hbar" != "$picture" ] \
    || fail "scroll bars not on screen (picture $picture, right edge $vbar, bottom edge $hbar)"
rm -f "$shot"
focus "$viewer"
for _ in $(seq 6); do click_at "$viewer" 57 12; sleep 0.1; done   # 縮: 1600 x 1200 to 903 x 677
for _ in $(seq 30); do outer "$viewer"; [ "$OW" -lt 960 ] && break; sleep 0.1; done
[ "$OW" -lt 960 ] || fail "six steps out leave the large picture's viewer $OW pixels wide"
passed=$((passed + 1))
close_viewer "$viewer"

# A file that is no picture: the viewer's caption stays empty, not the program's name.
click_at "$win" 220 "$(row 2)" 2
empty=""
for _ in $(seq 50); do
    empty=$(others | head -n1)
    [ -n "$empty" ] && break
    sleep 0.1
done
[ -n "$empty" ] || fail "no viewer opened for a file that is no picture"
names=$(xprop -id "$empty" WM_NAME _NET_WM_NAME)
grep -q 'Numbrella' <<< "$names" && fail "the empty caption reads: $names"
[ "$(xprop -id "$empty" _NET_WM_NAME | sed 's/^[^=]*= *//')" = '' ] \
    || fail "the empty viewer is titled: $names"
passed=$((passed + 1))
close_viewer "$empty"

# The message box's OK gives the focus back too. A filter without files (bmp, chosen by arrow
# keys), 連番化, Enter; then back to jpg.
click_at "$win" 255 $((menubar + 33))
xdotool key Down Down
click_at "$win" 213 $((menubar + 33))
wait_window '^Numbrella ポテリカ$' 25 > /dev/null || fail "no message that there are no files"
xdotool key Return
focused "$win" || fail "the renaming window has no keyboard focus after the message closed"
click_at "$win" 255 $((menubar + 33))
xdotool key Up Up
passed=$((passed + 1))

# A typed extension that matches a filter entry is no choice of it: the listed .jpg files get
# .gif names, the .gif file nobody saw listed stays as it is.
focus "$win"
click_at "$win" 305 $((menubar + 10))   # the base name
xdotool type --delay 50 n
click_at "$win" 255 $((menubar + 33))   # the filter's edit field
xdotool key ctrl+a
xdotool type --delay 50 gif
click_at "$win" 213 $((menubar + 33))   # 連番化
for _ in $(seq 100); do
    [ -e n003.gif ] && break
    sleep 0.1
done
actual=$(ls | grep -v runtime | tr '\n' ' ')
[ "$actual" = "d.gif n001.gif n002.gif n003.gif " ] || fail "after the run the folder holds: $actual"
[ "$(cat d.gif)" = gif ] || fail "d.gif was changed"
passed=$((passed + 1))

# Where the window manager minimises it anyway (openbox, kwin), the renaming window has a
# task-bar button until it is restored.
xdotool windowminimize "$win"
sleep 0.5
if xprop -id "$win" WM_STATE | grep -q Iconic; then
    ! xprop -id "$win" _NET_WM_STATE | grep -q SKIP_TASKBAR || fail "a minimised renaming window cannot be found"
    xdotool windowactivate "$win" 2>/dev/null || true
    for _ in $(seq 20); do
        xprop -id "$win" _NET_WM_STATE | grep -q SKIP_TASKBAR && break
        sleep 0.1
    done
    xprop -id "$win" _NET_WM_STATE | grep -q SKIP_TASKBAR || fail "the restored renaming window keeps a task-bar button"
    passed=$((passed + 1))
fi
echo "desktop windows: $passed passed, 0 failed"
