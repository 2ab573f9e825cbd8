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

# wait_window NAME-REGEX [TRIES]: prints the id of the first visible window so named.
wait_window() {
    local found=""
    for _ in $(seq "${2:-50}"); do
        found=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n1 || true)
        [ -n "$found" ] && break
        sleep 0.2
    done
    [ -n "$found" ] || { echo "FAIL: no window named $1" >&2; return 1; }
    legacy_title_ok "$found" || return 1
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
