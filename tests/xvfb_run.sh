#!/usr/bin/env bash
# Runs a command on a virtual display and a D-Bus session of its own:
#   xvfb_run.sh COMMAND [ARGS...]
# Xvfb takes its display's lock before it listens, so a display that another server holds
# (or has just given up) is refused and the next one tried; -displayfd says when the server
# is ready. -noreset: a server resets whenever its last client leaves, and refuses new ones
# meanwhile, which a test polling with xdotool would run into. XVFB_SCREEN sets the size;
# XVFB_WM=openbox runs the window manager of tests/openbox-rc.xml on the display first;
# XVFB_WM=xfwm4 runs Xfce's, whose frame is thicker; XVFB_WM=mutter GNOME's and XVFB_WM=kwin
# KDE's, which maximise a window that nearly fills the screen themselves.
#
# Whatever the command starts ends with it, on success, failure or a kill. Services that a
# session bus starts on demand (the accessibility bus among them) are no children of the
# test and would outlive it, on the user's own session bus for good; so the command gets a
# private bus, and everything started here carries a mark in its environment, which
# detaching does not shed. On exit every marked process is ended; if this script is killed
# outright (CTest's timeout), a watcher in a session of its own does it.
set -euo pipefail

# end_marked MARK: ends every live process whose environment holds MARK.
end_marked() {
    local pids signal
    for signal in TERM TERM KILL; do
        pids=$(grep -lzs "^$1=" /proc/[0-9]*/environ | cut -d/ -f3 || true)
        [ -n "$pids" ] || return 0
        # shellcheck disable=SC2086
        kill -s "$signal" $pids 2>/dev/null || true
        sleep 0.5
    done
}

if [ "${1:-}" = --end-after ]; then
    # The watcher: waits while the script ($2) lives (a zombie counts as gone).
    while [ -r "/proc/$2/stat" ] && read -r _ _ state _ < "/proc/$2/stat" 2>/dev/null \
            && [ "$state" != Z ]; do
        sleep 0.5
    done
    end_marked "$3"
    exit 0
fi

command -v dbus-run-session > /dev/null || { echo "xvfb_run: dbus-run-session is missing" >&2; exit 1; }
mark=NUMBRELLA_TEST_RUN_$$_$RANDOM
fifo=$(mktemp -u)
mkfifo "$fifo"
trap 'end_marked "$mark"; rm -f "$fifo"' EXIT
trap 'exit 129' HUP
trap 'exit 130' INT
trap 'exit 143' TERM
setsid -f bash "$0" --end-after $$ "$mark" < /dev/null > /dev/null 2>&1

server=""
first=$((100 + RANDOM % 800))
for display in $(seq "$first" $((first + 50))); do
    env "$mark=1" Xvfb ":$display" -displayfd 3 -screen 0 "${XVFB_SCREEN:-1280x1024x24}" \
        -nolisten tcp -noreset 3>"$fifo" 2>/dev/null &
    server=$!
    ready=""
    read -r ready <"$fifo" || true
    [ "$ready" = "$display" ] && break
    wait "$server" 2>/dev/null || true
    server=""
done
[ -n "$server" ] || { echo "xvfb_run: no display could be started" >&2; exit 1; }
export DISPLAY=:$display
unset XAUTHORITY
if [ -n "${XVFB_WM:-}" ]; then
    case $XVFB_WM in
        openbox) env "$mark=1" openbox --config-file "$(dirname "$0")/openbox-rc.xml" >/dev/null 2>&1 & ;;
        # Xfce's, with its thicker frame, on a session bus of its own for its settings.
        xfwm4) env "$mark=1" dbus-run-session -- xfwm4 --compositor=off >/dev/null 2>&1 & ;;
        # Their settings go to a folder of the run's own, not to the user's.
        mutter | kwin)
            wmhome=$(mktemp -d)
            trap 'end_marked "$mark"; rm -rf "$fifo" "$wmhome"' EXIT
            [ "$XVFB_WM" = mutter ] && wm=(mutter --x11 --replace --sm-disable) || wm=(kwin_x11 --replace)
            env "$mark=1" XDG_CONFIG_HOME="$wmhome" XDG_DATA_HOME="$wmhome" XDG_CACHE_HOME="$wmhome" \
                GSETTINGS_BACKEND=memory dbus-run-session -- "${wm[@]}" >/dev/null 2>&1 & ;;
        *) echo "xvfb_run: unknown window manager $XVFB_WM" >&2; exit 1 ;;
    esac
    # Ready once it has claimed the screen and said so on the root window.
    for _ in $(seq 300); do
        xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
        sleep 0.05
    done
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' \
        || { echo "xvfb_run: $XVFB_WM did not start" >&2; exit 1; }
fi
# In the background, so that a signal to this script is handled at once.
env "$mark=1" dbus-run-session -- "$@" &
wait $! && status=0 || status=$?
exit "$status"
