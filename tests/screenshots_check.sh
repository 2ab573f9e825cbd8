#!/usr/bin/env bash
# The README's picture script still works: each picture shows a whole window of the size the
# window has, with something drawn in it.
set -euo pipefail
program=$1
script=$(dirname "$0")/../scripts/screenshots.sh
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
"$script" "$program" "$out" > "$out/list"
declare -A expected=([renaming.png]="378x" [about.png]="312x213" [viewer.png]="")
failed=0
for name in renaming.png viewer.png about.png; do
    line=$(grep "/$name " "$out/list" || true)
    [ -n "$line" ] || { echo "FAIL: no $name"; failed=1; continue; }
    window=${line##* }
    picture=$(identify -format '%wx%h' "$out/$name")
    [ "$picture" = "$window" ] || { echo "FAIL: $name is $picture, its window $window"; failed=1; }
    [[ $window == ${expected[$name]}* ]] || { echo "FAIL: $name window $window"; failed=1; }
    colours=$(identify -format '%k' "$out/$name")
    spread=$(convert "$out/$name" -colorspace gray -format '%[fx:standard_deviation]' info:)
    awk -v c="$colours" -v s="$spread" 'BEGIN { exit !(c > 16 && s > 0.03) }' \
        || { echo "FAIL: $name looks blank ($colours colours, spread $spread)"; failed=1; }
done
[ $failed -eq 0 ] && echo "screenshots: 3 passed, 0 failed"
exit $failed
