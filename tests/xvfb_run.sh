#!/usr/bin/env bash
# Runs a command on a virtual display of its own:  xvfb_run.sh COMMAND [ARGS...]
# Xvfb takes its display's lock before it listens, so a display that another server holds
# (or has just given up) is refused and the next one tried; -displayfd says when the server
# is ready. -noreset: a server resets whenever its last client leaves, and refuses new ones
# meanwhile, which a test polling with xdotool would run into. XVFB_SCREEN sets the size;
# XVFB_WM=openbox runs the window manager of tests/openbox-rc.xml on the display first.
set -euo pipefail
fifo=$(mktemp -u)
mkfifo "$fifo"
server=""
wm=""
trap '[ -n "$wm" ] && { kill "$wm" 2>/dev/null; wait "$wm" 2>/dev/null; }
      [ -n "$server" ] && { kill "$server" 2>/dev/null; wait "$server" 2>/dev/null; }
      rm -f "$fifo"' EXIT
first=$((100 + RANDOM % 800))
for display in $(seq "$first" $((first + 50))); do
    Xvfb ":$display" -displayfd 3 -screen 0 "${XVFB_SCREEN:-1280x1024x24}" -nolisten tcp -noreset \
        3>"$fifo" 2>/dev/null &
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
if [ "${XVFB_WM:-}" = openbox ]; then
    openbox --config-file "$(dirname "$0")/openbox-rc.xml" >/dev/null 2>&1 &
    wm=$!
    # Ready once it has claimed the screen and said so on the root window.
    for _ in $(seq 100); do
        xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
        sleep 0.05
    done
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' \
        || { echo "xvfb_run: openbox did not start" >&2; exit 1; }
fi
"$@"
