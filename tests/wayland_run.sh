#!/usr/bin/env bash
# Runs a test inside a headless weston of its own, with Qt on Wayland; skips (77) where weston or
# Qt's Wayland plugin is not installed. WAYLAND_COMPOSITOR=mutter runs GNOME's instead, on a
# D-Bus session of its own, with its settings in a folder of the run's.
set -euo pipefail
compositor=${WAYLAND_COMPOSITOR:-weston}
command -v "$compositor" >/dev/null || { echo "SKIP: $compositor is not installed"; exit 77; }
ls /usr/lib/*/qt6/plugins/platforms/libqwayland-generic.so >/dev/null 2>&1 \
    || { echo "SKIP: Qt's Wayland plugin (qt6-wayland) is not installed"; exit 77; }
if [ "$compositor" = mutter ] && [ -z "${WAYLAND_RUN_INNER:-}" ]; then
    WAYLAND_RUN_INNER=1 exec dbus-run-session -- "$0" "$@"
fi
runtime=$(mktemp -d)
chmod 700 "$runtime"
weston_pid=""
trap '[ -n "$weston_pid" ] && kill "$weston_pid" 2>/dev/null; rm -rf "$runtime"' EXIT
export XDG_RUNTIME_DIR=$runtime
if [ "$compositor" = mutter ]; then
    XDG_CONFIG_HOME=$runtime XDG_CACHE_HOME=$runtime GSETTINGS_BACKEND=memory mutter --wayland --headless --no-x11 \
        --virtual-monitor 1280x800 --wayland-display wayland-test >"$runtime/compositor.log" 2>&1 &
else
    weston --backend=headless-backend.so --socket=wayland-test --width=1024 --height=768 \
        --idle-time=0 >"$runtime/compositor.log" 2>&1 &
fi
weston_pid=$!
for _ in $(seq 100); do
    [ -S "$runtime/wayland-test" ] && break
    sleep 0.05
done
[ -S "$runtime/wayland-test" ] || { cat "$runtime/compositor.log"; echo "FAIL: $compositor did not start"; exit 1; }
WAYLAND_DISPLAY=wayland-test QT_QPA_PLATFORM=wayland "$@"
