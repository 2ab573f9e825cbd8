#!/usr/bin/env bash
# Renaming the files of a FAT drive through FUSE (fusefat), as on a camera's card: the renaming
# run in-process (bench_rename --profile-run) against a loop of `mv -n`, alternating which goes
# first, each round on new files; prints the medians and the median of the per-round ratios.
# As root (it mounts an image). fusefat itself reads its whole allocation table for every new
# file (about 69,000 reads on this 64 MB image), which the placeholder of each rename is: that,
# not the refused tries before it, is most of the run's time here.
#
#   bench/fat_rename.sh [FILES (200)] [ROUNDS (7)]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD:-$root/build}
count=${1:-200}
rounds=${2:-7}

cmake --build "$build" -j2 --target bench_rename >/dev/null
work=$(mktemp -d)
trap 'fusermount -u "$work/mnt" 2>/dev/null || umount "$work/mnt" 2>/dev/null || true; rm -rf "$work"' EXIT
truncate -s 64M "$work/fat.img"
mkfs.vfat "$work/fat.img" >/dev/null
mkdir "$work/mnt"
fusefat -o rw+ "$work/fat.img" "$work/mnt"

now() { date +%s%N; }

program() {
    QT_QPA_PLATFORM=offscreen "$build/bench/bench_rename" --profile-run "$count" \
        --folder "$work/mnt" | sed -n 's/^run: \(.*\) ms$/\1/p'
}

mv_loop() {
    local dir start i
    dir=$(mktemp -d "$work/mnt/mv-XXXXXX")
    for ((i = 1; i <= count; i++)); do : > "$dir/$(printf 'p%03d.jpg' "$i")"; done
    start=$(now)
    for ((i = 1; i <= count; i++)); do
        mv -n "$dir/$(printf 'p%03d.jpg' "$i")" "$dir/$(printf 'q%03d.jpg' "$i")"
    done
    echo "$(( ($(now) - start) / 1000 ))" | awk '{printf "%.1f\n", $1 / 1000}'
    rm -rf "$dir"
}

results=()
for ((r = 0; r < rounds; r++)); do
    if ((r % 2 == 0)); then p=$(program); m=$(mv_loop); else m=$(mv_loop); p=$(program); fi
    results+=("$p $m")
    echo "round $((r + 1)): run $p ms, mv -n loop $m ms"
done
printf '%s\n' "${results[@]}" | awk -v n="$count" '
    { p[NR] = $1; m[NR] = $2; q[NR] = $1 / $2 }
    function median(a, k,   i, j, t) {
        for (i = 1; i <= k; i++) for (j = i + 1; j <= k; j++) if (a[j] < a[i]) { t = a[i]; a[i] = a[j]; a[j] = t }
        return a[int((k + 1) / 2)]
    }
    END { printf "%d files on fusefat: run %.1f ms, mv -n loop %.1f ms, ratio %.2f\n", n, median(p, NR), median(m, NR), median(q, NR) }'
