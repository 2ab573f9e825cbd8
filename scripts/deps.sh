#!/usr/bin/env bash
# Installs the Debian packages that Numbrella needs; quick when they are present.
#   scripts/deps.sh run    what building and starting the program needs (make run)
#   scripts/deps.sh test   that, and what the tests and the code checks need (make test)
set -euo pipefail
what=${1:-test}
case $what in run | test) ;; *) echo "usage: $0 [run|test]" >&2; exit 2 ;; esac
SUDO=()
[ "$(id -u)" -eq 0 ] || SUDO=(sudo)

# Building and starting: the compiler and Qt (whose CMake files look for the keyboard library
# and OpenGL's headers), our X11 code's libxcb, ICU (the names' Japanese order and code page,
# whose library Qt already brings), the image-format plugins (the viewer opens
# more than JPEG and PNG), Qt's Japanese translations (its dialogs and edit menus), and the
# windows' two fonts: Noto Sans CJK JP draws the kanji and kana, the half-width katakana of the
# about window, the full-width digits, "∀" and the ideographic space; DejaVu Sans the Latin
# letters and digits, whose line fits the edit fields.
packages=(cmake g++ ninja-build qt6-base-dev libxkbcommon-dev libgl-dev libxcb1-dev libicu-dev
          qt6-image-formats-plugins qt6-translations-l10n fonts-noto-cjk fonts-dejavu-core)
if [ "$what" = test ]; then
    # The desktop tests: a virtual display, window managers, xdotool and xprop, screenshots, a
    # Japanese locale to run under and a session bus of their own for each.
    packages+=(xvfb xauth xdotool x11-apps x11-utils openbox xfwm4 imagemagick locales
               dbus-daemon)
    # GNOME's window manager and Wayland compositor (mutter, which also runs headless), and the
    # GTK platform theme that Qt takes in a GNOME session; a headless weston and Qt's Wayland
    # plugin, for the viewers on Wayland; and the screen reader Orca for the keyboard walk.
    packages+=(mutter qt6-gtk-platformtheme weston qt6-wayland orca)
    # FAT and exFAT drives through FUSE, for the renaming and saving tests on them, and Python's
    # FUSE binding for the test drive held in memory that fails on demand; ext4 images and
    # chattr (not in Debian 13's minimal system) for the tests of full and unwritable files.
    packages+=(dosfstools exfatprogs fusefat exfat-fuse e2fsprogs python3-fusepy)
    # The install and package checks: the launcher and AppStream validators, the `file` that
    # CPack's .deb generator needs, and Debian's package checker.
    packages+=(desktop-file-utils appstream dpkg-dev binutils file lintian)
    # The sanitized half is built with Clang; the format and static checks.
    packages+=(clang clang-format clang-tidy)
fi

updated=""
update() {
    [ -n "$updated" ] || { echo "deps.sh: reading the package lists"; "${SUDO[@]}" apt-get update -qq; }
    updated=1
}
installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"; }

if [ "$what" = test ]; then
    # Clang's sanitizer runtimes are a package per Clang version (14 on Debian 12, 19 on 13): the
    # one of the clang++ that builds, or before Clang is installed, of the release's default.
    if command -v clang++ > /dev/null; then
        clang_major=$(clang++ --version | sed -n 's/.*clang version \([0-9]\+\)\..*/\1/p' | head -n1)
    else
        update
        clang_major=$(apt-cache depends clang | sed -n 's/^ *Depends: clang-\([0-9]\+\)$/\1/p' | head -n1)
    fi
    [ -n "$clang_major" ] || { echo "deps.sh: cannot tell which Clang version this system has" >&2; exit 1; }
    packages+=("libclang-rt-$clang_major-dev")
fi

missing=()
for p in "${packages[@]}"; do
    installed "$p" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    update
    echo "deps.sh: installing ${#missing[@]} packages and what they need: ${missing[*]}"
    # env passes the setting through sudo, which would drop it from the environment.
    "${SUDO[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -q \
        -o Dpkg::Use-Pty=0 "${missing[@]}" \
        | awk '/^(Need to get|After this)/ { print "  " $0; fflush() }
               /^Get:/ && ++got % 50 == 0 { print "  downloaded " got " packages"; fflush() }
               /^Setting up/ && ++set % 50 == 0 { print "  set up " set " packages"; fflush() }
               END { if (set) print "  set up " set " packages" }' || true
    still=()
    for p in "${missing[@]}"; do installed "$p" || still+=("$p"); done
    [ ${#still[@]} -eq 0 ] || { echo "deps.sh: not installed: ${still[*]}" >&2; exit 1; }
fi
if [ "$what" = test ] && ! locale -a | grep -qix 'ja_JP.utf-\?8'; then
    echo "deps.sh: making the Japanese locale for the desktop tests"
    "${SUDO[@]}" sed -i 's/^# *\(ja_JP.UTF-8 UTF-8\)/\1/' /etc/locale.gen
    grep -qx 'ja_JP.UTF-8 UTF-8' /etc/locale.gen || echo 'ja_JP.UTF-8 UTF-8' | "${SUDO[@]}" tee -a /etc/locale.gen > /dev/null
    "${SUDO[@]}" locale-gen > /dev/null
fi
