#!/usr/bin/env bash
# Installs the build into a throw-away prefix and checks what a desktop would pick up.
# Usage: install_check.sh BUILD-FOLDER [CMAKE]
set -euo pipefail
build=$1
cmake=${2:-cmake}
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
prefix=$scratch/prefix
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

"$cmake" --install "$build" --prefix "$prefix" > /dev/null
id=invalid.numbrella.Numbrella
desktop=$prefix/share/applications/$id.desktop
metainfo=$prefix/share/metainfo/$id.metainfo.xml

[ -x "$prefix/bin/numbrella" ] || fail "no executable bin/numbrella"
[ -f "$desktop" ] || fail "no $id.desktop"
[ -f "$metainfo" ] || fail "no $id.metainfo.xml"

# Icons: real PNGs of their sizes with something drawn; the large ones are the smooth
# rendering, the small ones the 16-colour icon the windows use.
for size in 16 32 48 256; do
    png=$prefix/share/icons/hicolor/${size}x${size}/apps/numbrella.png
    [ -f "$png" ] || { fail "no ${size}x${size} icon"; continue; }
    read -r format width height colours < <(identify -format '%m %w %h %k\n' "$png")
    [ "$format $width $height" = "PNG $size $size" ] \
        || fail "${size}x${size} icon is $format ${width}x$height"
    opaque=$(convert "$png" -alpha extract -format '%[fx:maxima]' info:)
    [ "$opaque" != 0 ] || fail "${size}x${size} icon is fully transparent"
    if [ "$size" -le 32 ]; then
        [ "$colours" -le 16 ] || fail "${size}x${size} icon has $colours colours"
    else
        [ "$colours" -gt 16 ] || fail "${size}x${size} icon is not smooth ($colours colours)"
    fi
done
# Same design at every size: the large icon shrunk to 32 pixels is mostly the small one. Both
# are laid on white first: ImageMagick 6 and 7 weigh the edges' transparency differently in
# a comparison, and on white both count 52 pixels here (a mirrored icon: about 130).
small=$prefix/share/icons/hicolor/32x32/apps/numbrella.png
large=$prefix/share/icons/hicolor/256x256/apps/numbrella.png
convert "$large" -resize 32x32 -background white -flatten "$scratch/shrunk.png"
convert "$small" -background white -flatten "$scratch/small.png"
differing=$(compare -metric AE -fuzz 40% "$scratch/shrunk.png" "$scratch/small.png" null: 2>&1 || true)
[ "${differing%%.*}" -le 80 ] 2>/dev/null || fail "256 and 32 pixel icons differ in $differing of 1024 pixels"

# The validators speak only when something is wrong.
if [ -f "$desktop" ]; then
    out=$(desktop-file-validate "$desktop" 2>&1) || true
    [ -z "$out" ] || fail "desktop-file-validate: $out"
    icon=$(sed -n 's/^Icon=//p' "$desktop")
    [ -f "$prefix/share/icons/hicolor/32x32/apps/$icon.png" ] || fail "Icon=$icon is not installed"
fi
if [ -f "$metainfo" ]; then
    # The id is given; its capital letters and unknown top-level name are only remarks.
    if ! out=$(appstreamcli validate --no-net --pedantic "$metainfo" 2>&1) \
            || grep -q '^[EW]:' <<< "$out"; then
        fail "appstreamcli validate: $out"
    fi
    launchable=$(sed -n 's:.*<launchable type="desktop-id">\(.*\)</launchable>.*:\1:p' "$metainfo")
    [ -f "$prefix/share/applications/$launchable" ] || fail "launchable $launchable is not installed"
fi

[ "$failures" -eq 0 ] || exit 1
echo "install check: passed"
