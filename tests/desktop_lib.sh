# Shared by the scripts that drive the real program under Xvfb; source it, don't run it.
# Sets up a throw-away working folder with its own runtime folder (so the single-instance
# lock of one run never meets another's) and cleans up on exit, also when ended by a signal.

desktop_setup() {
    # Asked for a locale that is not generated, the C library would quietly use C instead.
    if [[ ${LC_ALL:-} == *.UTF-8 ]] && [ "$(locale charmap 2>/dev/null)" != UTF-8 ]; then
        echo "SKIP: locale $LC_ALL is not generated (scripts/deps.sh makes it)"
        exit 77
    fi
    work=$(mktemp -d)
    pid=""
    trap '[ -n "$pid" ] && kill "$pid" 2>/dev/null || true; rm -rf "$work"' EXIT
    trap 'exit 143' TERM
    trap 'exit 130' INT
    export XDG_RUNTIME_DIR=$work/runtime
    mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
    cd "$work"
}

# legacy_title_ok WINDOW: the window's legacy title (WM_NAME, which tools and older window
# managers read) says what its UTF-8 title says, whatever the locale.
legacy_title_ok() {
    local legacy modern
    legacy=$(LC_ALL=C.UTF-8 xprop -id "$1" WM_NAME | sed -n 's/^WM_NAME([A-Z_]*) = "\(.*\)"$/\1/p')
    modern=$(LC_ALL=C.UTF-8 xprop -id "$1" _NET_WM_NAME | sed -n 's/^_NET_WM_NAME([A-Z_0-9]*) = "\(.*\)"$/\1/p')
    [ -n "$modern" ] && [ "$legacy" = "$modern" ] \
        || { echo "FAIL: window $1 is titled '$modern' but its WM_NAME says '$legacy'" >&2; return 1; }
}

# ours [XDOTOOL-SEARCH-ARGS...]: the program's own visible windows that match; not the frames
# around them, which mutter 48 (its frames are windows of a process of its own) names and
# classes like the windows they hold.
ours() {
    xdotool search --all --onlyvisible ${pid:+--pid "$pid"} "$@" 2>/dev/null || true
}

# wait_window NAME-REGEX [TRIES]: prints the id of the first visible window so named.
wait_window() {
    local found=""
    for _ in $(seq "${2:-50}"); do
        found=$(ours --name "$1" | head -n1)
        [ -n "$found" ] && break
        sleep 0.2
    done
    [ -n "$found" ] || { echo "FAIL: no window named $1" >&2; return 1; }
    legacy_title_ok "$found" || return 1
    echo "$found"
}

# start_screen_reader: with SCREEN_READER=orca, starts Orca, which writes what it says to
# $XDG_RUNTIME_DIR/speech (no sound is needed: it is given no speech server) and keeps its settings in
# $XDG_RUNTIME_DIR/orca, and makes the program started next speak to assistive technology; skips (77) where
# Orca is not installed. Without it, `expect_said` and `check_said` check nothing.
start_screen_reader() {
    [ "${SCREEN_READER:-}" = orca ] || return 0
    command -v orca > /dev/null || { echo "SKIP: orca is not installed"; exit 77; }
    mkdir -p "$XDG_RUNTIME_DIR/orca"
    XDG_CONFIG_HOME=$XDG_RUNTIME_DIR/orca XDG_DATA_HOME=$XDG_RUNTIME_DIR/orca XDG_CACHE_HOME=$XDG_RUNTIME_DIR/orca \
        GSETTINGS_BACKEND=memory SPEECHD_CMD=/bin/false \
        orca --replace -u "$XDG_RUNTIME_DIR/orca" --debug-file "$XDG_RUNTIME_DIR/speech" > /dev/null 2>&1 &
    orca_pid=$!
    export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
    expected_speech=()
    sleep 3
}

# expect_said TEXT: the screen reader is to say TEXT after what was expected before. Orca writes
# its log in blocks, so what it said is read once it has ended (check_said).
expect_said() {
    [ "${SCREEN_READER:-}" = orca ] || return 0
    expected_speech+=("$1")
    sleep 1
}

# check_said: ends the screen reader and fails unless it said each expected text, in order.
check_said() {
    [ "${SCREEN_READER:-}" = orca ] || return 0
    kill "$orca_pid" 2>/dev/null || true
    wait "$orca_pid" 2>/dev/null || true
    sed -n "s/.*SPEECH OUTPUT: \('.*'\).*/\1/p" "$XDG_RUNTIME_DIR/speech" > "$XDG_RUNTIME_DIR/said"
    awk -v want="$(printf '%s\n' "${expected_speech[@]}")" '
        BEGIN { n = split(want, w, "\n") - 1; i = 1 }
        # One utterance may hold several expected texts (Orca 48 says a box and its value at once).
        { while (i <= n && (at = index($0, w[i]))) { $0 = substr($0, at + length(w[i])); i++ } }
        END { if (i <= n) { print "FAIL: the screen reader did not say " w[i] " in its turn"; exit 1 } }
    ' "$XDG_RUNTIME_DIR/said" || { cat "$XDG_RUNTIME_DIR/said"; return 1; }
}

# start_program PROGRAM [ARGS...]: starts it in the background and waits for its main window.
start_program() {
    "$@" & pid=$!
    if ! win=$(wait_window '^Numbrella\+$'); then
        if kill -0 "$pid" 2>/dev/null; then
            echo "the program runs but shows no window" >&2
        else
            wait "$pid" && code=0 || code=$?
            echo "the program ended with code $code" >&2
        fi
        return 1
    fi
}

# focused WINDOW: waits up to two seconds for the keyboard focus to be on the window.
focused() {
    for _ in $(seq 20); do
        [ "$(xdotool getwindowfocus 2>/dev/null)" = "$1" ] && return 0
        sleep 0.1
    done
    echo "the keyboard focus is on window $(xdotool getwindowfocus 2>/dev/null), not on $1" >&2
    return 1
}

# client WINDOW: sets CX CY CW CH, the window's inside as placed on the screen. (xdotool's
# own geometry is off by the frame under a reparenting window manager.)
client() {
    eval "$(xwininfo -id "$1" | awk '/Absolute upper-left X/ {print "CX=" $4}
                                     /Absolute upper-left Y/ {print "CY=" $4}
                                     /^ *Width:/ {print "CW=" $2} /^ *Height:/ {print "CH=" $2}')"
}

# outer WINDOW: sets OX OY OW OH, the window with the frame the window manager put around it.
outer() {
    client "$1"
    local extents l=0 r=0 t=0 b=0
    extents=$(xprop -id "$1" _NET_FRAME_EXTENTS 2>/dev/null | sed -n 's/.*= //p' | tr -d ' ')
    [ -n "$extents" ] && IFS=, read -r l r t b <<< "$extents"
    OX=$((CX - l)) OY=$((CY - t)) OW=$((CW + l + r)) OH=$((CH + t + b))
}

# workarea: sets WX WY WW WH, the screen less the panels; the whole screen without a window
# manager.
workarea() {
    local area
    area=$(xprop -root _NET_WORKAREA 2>/dev/null | sed -n 's/.*= //p' | tr -d ' ' | cut -d, -f1-4)
    if [ -z "$area" ]; then
        area=$(xwininfo -root | awk '/^ *Width:/ {w=$2} /^ *Height:/ {h=$2} END {print "0,0," w "," h}')
    fi
    IFS=, read -r WX WY WW WH <<< "$area"
}

# inside_workarea WINDOW: fails unless the whole window, frame included, is in the work area.
inside_workarea() {
    outer "$1"
    workarea
    [ "$OX" -ge "$WX" ] && [ "$OY" -ge "$WY" ] \
        && [ $((OX + OW)) -le $((WX + WW)) ] && [ $((OY + OH)) -le $((WY + WH)) ] \
        || { echo "window $OW x $OH at $OX,$OY is not inside the work area $WW x $WH at $WX,$WY" >&2; return 1; }
}

# click_at WINDOW X Y [REPEAT]: clicks at X,Y inside the window.
click_at() {
    client "$1"
    xdotool mousemove $((CX + $2)) $((CY + $3)) click --repeat "${4:-1}" --delay 80 1
}
