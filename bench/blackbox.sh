#!/usr/bin/env bash
# The real program measured black-box under Xvfb against the bare work and its peers; prints
# medians and spreads. Installs what it needs (perl rename, mmv, the X extensions' headers),
# builds the program and the baselines, and runs bench/blackbox.py on a display and a session
# bus of its own (where the AT-SPI bus starts on demand for the screen-reader figures).
#
#   bench/blackbox.sh [BLACKBOX.PY OPTIONS]
#   e.g. bench/blackbox.sh --rounds 5 --only rename --sizes 10000
#   Another build to compare: --program before=/path/to/numbrella (the current build's program
#   is always measured, as "program").
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD:-$root/build}

packages=(rename mmv libxcb1-dev libxcb-damage0-dev libxcb-xtest0-dev libx11-dev xvfb xdotool
          x11-utils imagemagick dbus at-spi2-core python3-pyatspi python3-dbus)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    SUDO=""
    [ "$(id -u)" -eq 0 ] || SUDO=sudo
    $SUDO apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq "${missing[@]}"
fi

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j2 --target numbrella bare_rename bare_list plain_list_window plain_viewer
cc -O2 -o "$build/bench/xprobe" "$root/bench/xprobe.c" -lxcb -lxcb-damage -lxcb-xtest -lX11

export QT_QPA_PLATFORM=xcb XVFB_SCREEN=${XVFB_SCREEN:-1280x1024x24}
exec dbus-run-session -- "$root/tests/xvfb_run.sh" /usr/bin/python3 "$root/bench/blackbox.py" \
    --program "program=$build/numbrella" --bench "$build/bench" --xprobe "$build/bench/xprobe" "$@"
