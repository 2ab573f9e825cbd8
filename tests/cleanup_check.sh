#!/usr/bin/env bash
# A desktop test run through xvfb_run.sh leaves no process behind: not when the test fails,
# not when the harness is stopped by TERM, not when it is killed outright. The test started
# inside holds the real program, a sleeper that detaches into a session of its own, and a
# service that the session bus starts on demand (the accessibility bus, where installed).
# Usage: cleanup_check.sh PROGRAM
set -euo pipefail
program=$(realpath "$1")
here=$(cd "$(dirname "$0")" && pwd)
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# Everything the harness starts carries this mark; the check itself does not.
mark=NUMBRELLA_CLEANUP_CHECK_$$
left() { grep -lzs "^$mark=" /proc/[0-9]*/environ | cut -d/ -f3 || true; }
# no_process_left CASE: a few seconds for the harness's watcher, then nothing marked lives.
no_process_left() {
    local pids=""
    for _ in $(seq 20); do
        pids=$(left)
        [ -z "$pids" ] && return 0
        sleep 0.5
    done
    for p in $pids; do
        fail "$1: left $(tr '\0' ' ' < "/proc/$p/cmdline" 2>/dev/null)"
        kill -KILL "$p" 2>/dev/null || true
    done
}

cat > "$scratch/inside.sh" <<'EOF'
#!/usr/bin/env bash
export XDG_RUNTIME_DIR=$2.runtime
mkdir -m 700 "$XDG_RUNTIME_DIR" && cd "$XDG_RUNTIME_DIR"
"$1" &
setsid sleep 300 < /dev/null > /dev/null 2>&1 &
dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus org.a11y.Bus.GetAddress \
    > /dev/null 2>&1 || true
for _ in $(seq 50); do xdotool search --name '^Numbrella\+$' > /dev/null 2>&1 && break; sleep 0.2; done
touch "$2"
[ "$3" = fail ] && exit 3
sleep 300
EOF
chmod +x "$scratch/inside.sh"
export QT_QPA_PLATFORM=xcb

code=0
env "$mark=1" "$here/xvfb_run.sh" "$scratch/inside.sh" "$program" "$scratch/ready-fail" fail || code=$?
[ -e "$scratch/ready-fail" ] || fail "the failing test did not get going"
[ "$code" -eq 3 ] || fail "a failing test's code 3 came back as $code"
no_process_left "failing test"

for signal in TERM KILL; do
    env "$mark=1" "$here/xvfb_run.sh" "$scratch/inside.sh" "$program" "$scratch/ready-$signal" wait &
    harness=$!
    for _ in $(seq 100); do [ -e "$scratch/ready-$signal" ] && break; sleep 0.2; done
    [ -e "$scratch/ready-$signal" ] || fail "the test to be stopped by $signal did not get going"
    kill -s "$signal" "$harness"
    wait "$harness" 2>/dev/null || true
    no_process_left "harness stopped by $signal"
done

[ "$failures" -eq 0 ] || exit 1
echo "cleanup check: 3 passed, 0 failed"
