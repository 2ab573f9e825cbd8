#!/usr/bin/env bash
# Builds the Debian package and checks it: dependencies, contents, that apt would take it,
# and that the packaged program starts and shows its window. Run under Xvfb.
# Usage: package_check.sh BUILD-FOLDER [CPACK]
set -euo pipefail
build=$(cd "$1" && pwd)
cpack=${2:-cpack}
source "$(dirname "$0")/desktop_lib.sh"
desktop_setup
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

"$cpack" -G DEB --config "$build/CPackConfig.cmake" -B "$work/out" > "$work/cpack.log" \
    || { cat "$work/cpack.log"; exit 1; }
debs=("$work"/out/numbrella_*.deb)
[ -f "${debs[0]}" ] || { echo "FAIL: cpack made no numbrella_*.deb"; exit 1; }
deb=${debs[0]}

# Depends names what the program needs; alternatives count, versions are stripped. Debian 13
# renamed some libraries for 64-bit time (libqt6core6t64): either name counts.
depends=$(dpkg-deb -f "$deb" Depends)
mapfile -t named < <(tr ',|' '\n\n' <<< "$depends" | sed 's/(.*)//; s/[[:space:]]//g' | sed '/^$/d')
provided() {
    local n
    for n in "${named[@]}"; do [ "${n%t64}" = "${1%t64}" ] && return 0; done
    return 1
}
for p in libqt6core6 libqt6gui6 libqt6widgets6 libqt6printsupport6 libc6 libstdc++6 \
         libgcc-s1 qt6-qpa-plugins qt6-image-formats-plugins qt6-translations-l10n fonts-noto-cjk; do
    provided "$p" || fail "Depends lacks $p: $depends"
done
# Versioned where dpkg-shlibdeps knows the versions.
grep -Eq 'libqt6core6(t64)? \(>= ' <<< "$depends" || fail "libqt6core6 is not versioned: $depends"

# Only the program goes to bin: no tests, benchmarks or build tools.
mapfile -t bins < <(dpkg-deb -c "$deb" | awk '{print $NF}' | grep '^\./usr/bin/.' || true)
[ "${bins[*]}" = "./usr/bin/numbrella" ] || fail "usr/bin holds: ${bins[*]}"
dpkg-deb -c "$deb" | grep -Eq '(test_|bench_|numbrella_icons)' && fail "test or build files packaged"

root=$work/root
dpkg -x "$deb" "$root"
program=$root/usr/bin/numbrella

# Every library the binary links comes from a package in Depends. Paths may be under /lib
# or /usr/lib (merged /usr), so both are asked for.
while read -r lib path; do
    [ -n "$path" ] || { fail "$lib is not found"; continue; }
    owner=""
    for candidate in "$path" "$(realpath "$path")" "/usr${path#/usr}" "${path#/usr}"; do
        owner=$(dpkg -S "$candidate" 2>/dev/null | head -n1 | cut -d: -f1) && [ -n "$owner" ] && break
    done
    [ -n "$owner" ] || { fail "no package owns $path"; continue; }
    provided "$owner" || fail "$lib comes from $owner, which Depends does not name"
done < <(objdump -p "$program" | awk '/NEEDED/ {print $2}' | while read -r lib; do
             echo "$lib $(ldd "$program" | awk -v l="$lib" '$1 == l {print $3}')"
         done)

# apt resolves it (simulation only: nothing is installed).
if [ "$(id -u)" -eq 0 ]; then
    apt-get install -s "$deb" > "$work/apt.log" 2>&1 && grep -q '^Inst numbrella' "$work/apt.log" \
        || fail "apt-get install -s: $(cat "$work/apt.log")"
else
    echo "not root: apt-get simulation skipped"
fi

# The launcher starts a program the package holds, and that program shows its window.
exec_name=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$root/usr/share/applications/invalid.numbrella.Numbrella.desktop")
[ -x "$root/usr/bin/$exec_name" ] || fail "Exec=$exec_name is not in usr/bin"
start_program "$program" || fail "the packaged program shows no window"

[ "$failures" -eq 0 ] || exit 1
echo "package check: passed"
