#!/usr/bin/env bash
# Debian's package checker finds nothing in the .deb, pedantic and informational tags
# included. Skipped where lintian is not installed (scripts/deps.sh installs it).
# Usage: lintian_check.sh BUILD-FOLDER [CPACK]
set -euo pipefail
build=$(cd "$1" && pwd)
cpack=${2:-cpack}
command -v lintian > /dev/null || { echo "SKIP: lintian is not installed"; exit 77; }
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

"$cpack" -G DEB --config "$build/CPackConfig.cmake" -B "$out" > "$out/cpack.log" \
    || { cat "$out/cpack.log"; exit 1; }
debs=("$out"/numbrella_*.deb)
[ -f "${debs[0]}" ] || { echo "FAIL: cpack made no numbrella_*.deb"; exit 1; }
# Experimental tags (X:) change between lintian versions and are left out.
tags=$(lintian --pedantic --info --no-tag-display-limit "${debs[0]}" 2> "$out/lintian.err" \
       | grep -E '^[EWIP]: ' || true)
if [ -n "$tags" ]; then
    echo "FAIL: lintian $(lintian --version):"
    echo "$tags"
    exit 1
fi
grep -v 'running with root privileges' "$out/lintian.err" >&2 || true
echo "lintian: no tags on $(basename "${debs[0]}")"
