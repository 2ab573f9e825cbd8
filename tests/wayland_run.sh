#!/usr/bin/env bash
# Runs a test inside a headless weston of its own, with Qt on Wayland; skips (77) where weston or
# Qt's Wayland plugin is not installed.
set -euo pipefail
command -v weston >/dev/null || { echo "SKIP: weston is not installed"; exit 77; }
ls /usr/lib/*/qt6/plugins/platforms/libqwayland-generic.so >/dev/null 2>&1 \
    || { echo "SKIP: Qt's Wayland plugin (qt6-wayland) is not installed"; exit 77; }
runtime=$(mktemp -d)
chmod 700 "$runtime"
weston_pid=""
trap '[ -n "$weston_pid" ] && kill "$weston_pid" 2>/dev/null; rm -rf "$runtime"' EXIT
export XDG_RUNTIME_DIR=$runtime
weston --backend=headless-backend.so --socket=wayland-test --width=1024 --height=768 \
    --idle-time=0 >"$runtime/weston.log" 2>&1 &
weston_pid=$!
for _ in $(seq 100); do
    [ -S "$runtime/wayland-test" ] && break
    sleep 0.05
done
[ -S "$runtime/wayland-test" ] || { cat "$runtime/weston.log"; echo "FAIL: weston did not start"; exit 1; }
WAYLAND_DISPLAY=wayland-test QT_QPA_PLATFORM=wayland "$@"
