# Shared by the scripts that drive the real program under Xvfb; source it, don't run it.
# Sets up a throw-away working folder with its own runtime folder (so the single-instance
# lock of one run never meets another's) and cleans up on exit.

desktop_setup() {
    work=$(mktemp -d)
    pid=""
    trap '[ -n "$pid" ] && kill "$pid" 2>/dev/null || true; rm -rf "$work"' EXIT
    export XDG_RUNTIME_DIR=$work/runtime
    mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
    cd "$work"
}

# wait_window NAME-REGEX [TRIES]: prints the id of the first visible window so named.
wait_window() {
    local found=""
    for _ in $(seq "${2:-50}"); do
        found=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n1 || true)
        [ -n "$found" ] && break
        sleep 0.2
    done
    [ -n "$found" ] || { echo "FAIL: no window named $1" >&2; return 1; }
    echo "$found"
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
