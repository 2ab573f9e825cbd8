#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing need; quick when present.
set -euo pipefail
SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO=sudo
packages=(cmake g++ ninja-build qt6-base-dev qt6-image-formats-plugins qt6-translations-l10n
          libgl-dev libxcb1-dev fonts-noto-cjk xvfb xauth xdotool x11-apps openbox xfwm4 imagemagick
          desktop-file-utils appstream dpkg-dev binutils)
# The keyboard library that Qt's CMake files look for, the `file` that CPack's .deb
# generator needs, Debian's package checker; xprop, a Japanese locale for the desktop tests
# to run under, and a session bus of their own for each.
packages+=(libxkbcommon-dev file lintian x11-utils locales dbus-daemon)
# A headless Wayland compositor and Qt's Wayland plugin, for the viewer's test on Wayland.
packages+=(weston qt6-wayland)
# FAT and exFAT drives through FUSE, for the renaming and saving tests on them.
packages+=(dosfstools exfatprogs fusefat exfat-fuse)
# The sanitized half is built with Clang; the format and static checks of make test.
packages+=(clang clang-format clang-tidy)

updated=""
update() { [ -n "$updated" ] || $SUDO apt-get update -qq; updated=1; }
installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"; }

# Clang's sanitizer runtimes are a package per Clang version (14 on Debian 12, 19 on 13): the
# one of the clang++ that builds, or before Clang is installed, of the release's default clang.
if command -v clang++ > /dev/null; then
    clang_major=$(clang++ --version | sed -n 's/.*clang version \([0-9]\+\)\..*/\1/p' | head -n1)
else
    update
    clang_major=$(apt-cache depends clang | sed -n 's/^ *Depends: clang-\([0-9]\+\)$/\1/p' | head -n1)
fi
[ -n "$clang_major" ] || { echo "deps.sh: cannot tell which Clang version this system has" >&2; exit 1; }
packages+=("libclang-rt-$clang_major-dev")

missing=()
for p in "${packages[@]}"; do
    installed "$p" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    update
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq "${missing[@]}"
fi
if ! locale -a | grep -qix 'ja_JP.utf-\?8'; then
    $SUDO sed -i 's/^# *\(ja_JP.UTF-8 UTF-8\)/\1/' /etc/locale.gen
    grep -qx 'ja_JP.UTF-8 UTF-8' /etc/locale.gen || echo 'ja_JP.UTF-8 UTF-8' | $SUDO tee -a /etc/locale.gen > /dev/null
    $SUDO locale-gen > /dev/null
fi
