#!/usr/bin/env bash
# isAlreadyDownloaded on a 512 MB cached package against md5sum of the same file, alternating in
# one run with the file in the page cache. Higher throughput is better; the goal is a ratio
# (ours / md5sum) of at least 0.95. Both sides are timed as whole processes.
set -euo pipefail
source "$(dirname "$0")/lib/timing.sh"
BUILD_DIR=${BUILD_DIR:-build-bench}
ROUNDS=${ROUNDS:-3}
SIZE_MB=${SIZE_MB:-512}
CLIENT=${VERIFY_CLIENT:-"$BUILD_DIR/bench/verify/bench_verify_client"}
[ -x "$CLIENT" ] || { echo "missing $CLIENT (build $BUILD_DIR first)" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
head -c "${SIZE_MB}M" /dev/urandom > "$work/package.bin"
expected=$(md5sum "$work/package.bin" | cut -d' ' -f1) # also warms the page cache

ours=()
theirs=()
for round in $(seq "$ROUNDS"); do
    t0=$(now_ms)
    "$CLIENT" "$work/package.bin" "$expected" > /dev/null
    t1=$(now_ms)
    ours+=($((t1 - t0)))

    t0=$(now_ms)
    sum=$(md5sum "$work/package.bin" | cut -d' ' -f1)
    t1=$(now_ms)
    [ "$sum" = "$expected" ] || { echo "md5sum disagrees" >&2; exit 1; }
    theirs+=($((t1 - t0)))
    echo "round $round: isAlreadyDownloaded ${ours[-1]} ms, md5sum ${theirs[-1]} ms"
done

m_ours=$(median "${ours[@]}")
m_theirs=$(median "${theirs[@]}")
awk -v o="$m_ours" -v t="$m_theirs" -v mb="$SIZE_MB" 'BEGIN {
    printf "verify %d MB: isAlreadyDownloaded median %d ms (%.0f MB/s), md5sum median %d ms (%.0f MB/s)\n", mb, o, mb*1000/o, t, mb*1000/t
    printf "throughput ratio isAlreadyDownloaded/md5sum = %.2f (goal >= 0.95)\n", t/o
}'
