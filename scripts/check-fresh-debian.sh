#!/usr/bin/env bash
# Tries the project as a new user would, on a minimal Debian 12 or 13 made with debootstrap:
#   scripts/check-fresh-debian.sh [RELEASE] [REPOSITORY] [REF]
# RELEASE is bookworm (Debian 12, the default) or trixie (Debian 13); the other defaults are
# this repository and HEAD. The roots come from the Debian archive that the machine's apt
# uses, with the release's own suites (its updates and security ones where apt has them).
# Run as root on a Debian machine; it takes about 10 to 25 minutes and the network to the
# Debian archive that the machine's apt uses. Steps:
#   a minimal root (debootstrap --variant=minbase) with only g++ cmake git make added;
#   the project cloned into it; the README's `make run` (on a virtual display, until the
#   window shows) and `make test`, both as root and with no locale set; a user's install
#   into ~/.local from a build folder of their own; `cpack -G DEB` and lintian on the
#   package; the package installed with apt into a second fresh root, started there until
#   its window shows, and asked which folder it started in.
# Prints each step's time and result; keeps the logs, removes the roots (KEEP_ROOTS=1
# keeps them). WORKDIR sets where the roots go (default /var/tmp, about 4 GB).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
release=${1:-bookworm}
case $release in
    bookworm) version=12 ;;
    trixie) version=13 ;;
    *) echo "usage: $0 [bookworm|trixie] [REPOSITORY] [REF]" >&2; exit 2 ;;
esac
repo=$(cd "${2:-$here/..}" && pwd)
ref=${3:-HEAD}
[ "$(id -u)" -eq 0 ] || { echo "run as root: debootstrap, chroot and mounts need it" >&2; exit 1; }
commit=$(git -C "$repo" rev-parse --verify "$ref^{commit}")

work=$(mktemp -d "${WORKDIR:-/var/tmp}/numbrella-fresh.XXXXXX")
logs=$(mktemp -d /tmp/numbrella-fresh-logs.XXXXXX)
base=$work/base root1=$work/root1 root2=$work/root2
src=/usr/local/src/numbrella
deb=numbrella_1.0.0_amd64.deb
display="" server="" runner=""

# The roots are only ever mounted inside private mount namespaces, which vanish with their
# last process; still, nothing is deleted while anything under the work folder is mounted.
mounted_under_work() {
    awk -v w="$work" '$5 == w || index($5, w "/") == 1 { print $5 }' /proc/self/mountinfo
}
cleanup() {
    [ -n "$runner" ] && { kill -KILL "$runner" 2>/dev/null; wait "$runner" 2>/dev/null; }
    [ -n "$server" ] && { kill "$server" 2>/dev/null; wait "$server" 2>/dev/null; }
    if [ -n "${KEEP_ROOTS:-}" ]; then
        echo "roots kept in $work"
        return
    fi
    local left
    left=$(mounted_under_work | sort -r)
    for m in $left; do umount "$m" 2>/dev/null || umount -l "$m" || true; done
    if [ -n "$(mounted_under_work)" ]; then
        echo "still mounted under $work, not removed:" >&2
        mounted_under_work >&2
        return
    fi
    rm -rf --one-file-system "$work"
}
trap on_exit EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

# in_root ROOT [NAME=VALUE...] COMMAND...: runs the command as root in the root, with a
# clean environment (no locale: none is set on a fresh system) and its own /proc, /dev,
# /sys in a private mount namespace, and its own process namespace: when the command ends
# or is killed, everything it started ends too. IN_ROOT_EXEC=1 in the background makes $!
# the namespace's owner: unshare ignores TERM, but its KILL ends them all. IN_ROOT_TMPFS=1
# mounts a tmpfs on the root's /tmp.
in_root() {
    local root=$1
    shift
    ${IN_ROOT_EXEC:+exec} unshare --mount --propagation private --pid --fork --kill-child -- bash -c '
        set -e
        root=$1 tmpfs=$2; shift 2
        mount -t proc proc "$root/proc"
        mount --bind /dev "$root/dev"
        mount -t tmpfs -o mode=1777 tmpfs "$root/dev/shm"
        mount -t sysfs sysfs "$root/sys"
        [ -z "$tmpfs" ] || mount -t tmpfs -o mode=1777 tmpfs "$root/tmp"
        exec chroot "$root" /usr/bin/env -i HOME=/root TERM=dumb \
            PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin "$@"' \
        _ "$root" "${IN_ROOT_TMPFS:-}" "$@"
}

# wait_window NAME-REGEX SECONDS [PID]: waits for a visible window so named on the check's
# display (giving up early if PID ends) and prints its id.
wait_window() {
    local id="" until=$((SECONDS + $2))
    while [ $SECONDS -lt $until ]; do
        id=$(DISPLAY=:$display xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n1 || true)
        [ -n "$id" ] && { echo "$id"; return 0; }
        [ -n "${3:-}" ] && ! kill -0 "$3" 2>/dev/null && break
        sleep 1
    done
    return 1
}

installed_kib() { in_root "$1" dpkg-query -W -f '${Installed-Size}\n' | awk '{ s += $1 } END { print s }'; }
package_count() { in_root "$1" dpkg-query -W | wc -l; }
archive_files() { find "$1/var/cache/apt/archives" -maxdepth 1 -name '*.deb' | sort; }

# step NAME FUNCTION: runs it with its output in a log and prints time and result; a step
# may set `note`. A failing command ends the step and the check (errexit), and the exit
# handler reports the step that was running.
count=0
started=$SECONDS
step_name=""
report() {
    printf '%2d  %-54s %5ds  %-6s %s\n' $count "$step_name" $((SECONDS - step_start)) "$1" "$note"
}
step() {
    step_name=$1 step_start=$SECONDS note=""
    count=$((count + 1))
    log=$logs/$(printf '%02d' $count)-$2.log
    "$2" > "$log" 2>&1
    report ok
    step_name=""
}
on_exit() {
    if [ -n "$step_name" ]; then
        report FAILED
        echo "---- last lines of $log"
        tail -n 40 "$log"
    fi
    cleanup
}

host_tools() {
    local missing=()
    for tool in debootstrap:debootstrap Xvfb:xvfb xdotool:xdotool unshare:util-linux; do
        command -v "${tool%%:*}" > /dev/null || missing+=("${tool#*:}")
    done
    if [ ${#missing[@]} -gt 0 ]; then
        apt-get update -qq
        DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}"
        note="installed ${missing[*]}"
    fi
}

# The Debian archive of the machine's apt: "URI SUITE COMPONENTS" for the release's suites,
# from one-line and deb822 sources alike. A machine of another release has the same archive
# under its own suite names: they are renamed to the checked release's.
debian_sources() {
    local f
    for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
        [ -f "$f" ] || continue
        sed -n 's/^[[:space:]]*deb[[:space:]]\+\(\[[^]]*\][[:space:]]\+\)\?\([^[:space:]]\+\)[[:space:]]\+\([^[:space:]]\+\)[[:space:]]*\(.*\)$/\2 \3 \4/p' "$f"
    done
    for f in /etc/apt/sources.list.d/*.sources; do
        [ -f "$f" ] || continue
        awk 'function flush(   n, m, i, j, u, s) {
                 if (types ~ /(^| )deb( |$)/ && enabled != "no") {
                     n = split(uris, u, " "); m = split(suites, s, " ")
                     for (i = 1; i <= n; i++) for (j = 1; j <= m; j++) print u[i], s[j], comps
                 }
                 types = uris = suites = comps = enabled = ""
             }
             /^[[:space:]]*#/ { next }
             /^[[:space:]]*$/ { flush(); next }
             { key = tolower($1); sub(/:$/, "", key); $1 = ""; sub(/^ +/, "") }
             key == "types" { types = $0 }
             key == "uris" { uris = $0 }
             key == "suites" { suites = $0 }
             key == "components" { comps = $0 }
             key == "enabled" { enabled = tolower($0) }
             END { flush() }' "$f"
    done | awk -v r="$release" '$2 ~ /^(bookworm|trixie)(-updates|-security)?$/ {
                                     sub(/^[a-z]+/, r, $2); print }' | sort -u
}

make_base() {
    local mirror
    debian_sources > "$work/sources.list.body"
    mirror=$(awk -v r="$release" '$2 == r { print $1; exit }' "$work/sources.list.body")
    [ -n "$mirror" ] || { echo "the machine's apt has no Debian archive for $release"; return 1; }
    # Its own mounts of /proc and /sys stay private, even if it is interrupted.
    unshare --mount --propagation private -- debootstrap --variant=minbase "$release" "$base" "$mirror"
    sed 's/^/deb /' "$work/sources.list.body" > "$base/etc/apt/sources.list"
    cp /etc/resolv.conf "$base/etc/resolv.conf"
    note="$mirror, $(package_count "$base") packages"
}

add_build_tools() {
    cp -a "$base" "$root1"
    in_root "$root1" apt-get update -q
    in_root "$root1" env DEBIAN_FRONTEND=noninteractive apt-get install -y -q g++ cmake git make
    archive_files "$root1" > "$work/archives.before"
    before_kib=$(installed_kib "$root1")
    before_count=$(package_count "$root1")
    note="$before_count packages"
}

clone_project() {
    git clone -q "$repo" "$root1$src"
    git -C "$root1$src" checkout -q --detach "$commit"
    note="$(git -C "$root1$src" log -1 --format='%h %s' | cut -c1-60)"
}

start_display() {
    local fifo=$work/displayfd
    mkfifo "$fifo"
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$fifo" &
    server=$!
    read -r display <"$fifo"
    [ -n "$display" ] && note=":$display"
}

# The README's first command blocks while the program runs: in the background, until the
# window shows. The root reaches the display through its abstract socket.
make_run() {
    IN_ROOT_EXEC=1 in_root "$root1" DISPLAY=":$display" bash -c "cd $src && make run" \
        > "$logs/make-run.out" 2>&1 &
    runner=$!
    if ! wait_window '^Numbrella\+$' 3600 "$runner" > /dev/null; then
        tail -n 40 "$logs/make-run.out"
        return 1
    fi
    kill -KILL "$runner"; wait "$runner" 2>/dev/null || true; runner=""
    local added kib downloaded
    added=$(( $(package_count "$root1") - before_count ))
    kib=$(( $(installed_kib "$root1") - before_kib ))
    archive_files "$root1" > "$work/archives.after"
    downloaded=$(comm -13 "$work/archives.before" "$work/archives.after" | xargs -r du -cb | tail -n1 | cut -f1)
    note="window shown; set-up: $added packages, $((${downloaded:-0} / 1000000)) MB downloaded, $((kib / 1024)) MiB installed"
}

# A warning is an error in CI, which sets CI; a new user does not, so they are counted here
# (the plain build's in make run's output, the sanitized build's in make test's) and fail the
# check at its end.
make_test() {
    in_root "$root1" bash -c "cd $src && make test"
    grep -hE '^[^ :]+:[0-9]+:[0-9]+: warning: ' "$logs/make-run.out" "$log" > "$logs/warnings" || true
    # The whole set-up once the tests' tools are in too, counted from before make run.
    local added kib downloaded
    added=$(( $(package_count "$root1") - before_count ))
    kib=$(( $(installed_kib "$root1") - before_kib ))
    archive_files "$root1" > "$work/archives.test"
    downloaded=$(comm -13 "$work/archives.before" "$work/archives.test" | xargs -r du -cb | tail -n1 | cut -f1)
    note="$(grep '^make test:' "$log" | tail -n1); $(wc -l < "$logs/warnings") compiler warnings; set-up with the tests: $added packages, $((${downloaded:-0} / 1000000)) MB downloaded, $((kib / 1024)) MiB installed"
}

user_install() {
    in_root "$root1" bash -c "
        set -e
        useradd -m tester
        runuser -u tester -- env HOME=/home/tester bash -c '
            set -e
            cmake -S $src -B ~/numbrella-build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
            cmake --build ~/numbrella-build -j2
            cmake --install ~/numbrella-build --prefix ~/.local
            test -x ~/.local/bin/numbrella
            test -f ~/.local/share/applications/invalid.numbrella.Numbrella.desktop'"
    note="~/.local/bin/numbrella installed by a user"
}

build_package() {
    in_root "$root1" bash -c "cd $src/build && cpack -G DEB"
    [ -f "$root1$src/build/$deb" ]
    note="$deb, $(du -k "$root1$src/build/$deb" | cut -f1) KiB"
}

run_lintian() {
    local out tags
    out=$(in_root "$root1" bash -c "cd $src/build && lintian --pedantic --info $deb" 2>&1 || true)
    echo "$out"
    tags=$(grep -cE '^[EWIP]: ' <<< "$out" || true)
    note="$(in_root "$root1" lintian --version): $tags tags"
    [ "$tags" -eq 0 ]
}

install_package() {
    cp -a "$base" "$root2"
    cp "$root1$src/build/$deb" "$root2/root/"
    local before_count before_kib
    before_count=$(package_count "$root2")
    before_kib=$(installed_kib "$root2")
    in_root "$root2" apt-get update -q
    in_root "$root2" bash -c "cd /root && DEBIAN_FRONTEND=noninteractive apt-get install -y -q ./$deb"
    note="$(( $(package_count "$root2") - before_count )) packages, $(( ($(installed_kib "$root2") - before_kib) / 1024 )) MiB installed"
}

# start_in_pictures: starts the installed program in /root/pictures of the second root, where
# a double-click on the first listed file opens a viewer titled with the file's path, which
# says which folder the program started in: sets `folder`. Only the window is required.
start_in_pictures() {
    IN_ROOT_EXEC=1 in_root "$root2" DISPLAY=":$display" bash -c 'cd /root/pictures && exec numbrella' &
    runner=$!
    local win viewer
    win=$(wait_window '^Numbrella\+$' 120 "$runner") || { echo "no window"; return 1; }
    eval "$(DISPLAY=:$display xdotool getwindowgeometry --shell "$win")"
    # The first line of the file list, as the desktop tests find it.
    DISPLAY=:$display xdotool mousemove $((X + 220)) $((Y + 78)) click --repeat 2 --delay 80 1
    folder="(no viewer: the list does not show photo.jpg)"
    if viewer=$(wait_window 'photo\.jpg$' 20 "$runner"); then
        folder=$(dirname "$(DISPLAY=:$display xdotool getwindowname "$viewer")")
    fi
    kill -KILL "$runner"; wait "$runner" 2>/dev/null || true; runner=""
}

# Once in the bare root, once with a file system of its own on /tmp, as many systems have:
# then the root's "/" is not the only mount point that the drive list sees.
run_package() {
    mkdir -p "$root2/root/pictures"
    in_root "$root1" convert -size 320x240 xc:red /tmp/photo.jpg
    cp "$root1/tmp/photo.jpg" "$root2/root/pictures/photo.jpg"
    local bare
    start_in_pictures
    bare=$folder
    IN_ROOT_TMPFS=1 start_in_pictures
    note="window shown; started in $bare; with a tmpfs on /tmp in $folder"
}

echo "fresh Debian $version ($release) check of $repo at $(git -C "$repo" rev-parse --short "$commit"); logs in $logs"
step "host tools (debootstrap, Xvfb, xdotool)" host_tools
step "debootstrap --variant=minbase $release" make_base
step "apt-get install g++ cmake git make" add_build_tools
step "git clone" clone_project
step "virtual display" start_display
step "make run (until the window shows)" make_run
step "make test" make_test
step "user install into ~/.local" user_install
step "cpack -G DEB" build_package
step "lintian --pedantic --info" run_lintian
step "apt install ./$deb (second root)" install_package
step "numbrella from the package (second root)" run_package
if [ -s "$logs/warnings" ]; then
    echo "compiler warnings (errors in CI):"
    sort -u "$logs/warnings"
    exit 1
fi
echo "all steps passed in $(( (SECONDS - started) / 60 )) min $(( (SECONDS - started) % 60 )) s"
