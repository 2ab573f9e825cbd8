#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing need; quick when present.
set -euo pipefail
packages=(cmake g++ ninja-build qt6-base-dev qt6-image-formats-plugins qt6-translations-l10n
          libgl-dev libxcb1-dev fonts-noto-cjk xvfb xauth xdotool x11-apps x11-utils openbox
          imagemagick desktop-file-utils appstream dpkg-dev binutils
          dosfstools exfatprogs fusefat exfat-fuse)
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
