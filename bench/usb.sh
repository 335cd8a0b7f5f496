#!/usr/bin/env bash
# Copy and verify of a 512 MB firmware file onto a folder standing in for a USB drive, against
# cp followed by md5sum of the copy, on the same file system, alternating in one run. Both sides
# are timed as whole processes; the goal is a throughput ratio (cp+md5sum time / ours) >= 0.9.
# A second race pushes each copy to the device first and reads it back from the device: ours with
# fsync and the file's cache pages dropped; the reference as cp, sync FILE, then md5sum of a
# direct (uncached) read. The difference between our two medians is what flushing costs.
set -euo pipefail
source "$(dirname "$0")/lib/timing.sh"
BUILD_DIR=${BUILD_DIR:-build-bench}
ROUNDS=${ROUNDS:-3}
SIZE_MB=${SIZE_MB:-512}
CLIENT=${USB_CLIENT:-"$BUILD_DIR/bench/usb/bench_usb_client"}
[ -x "$CLIENT" ] || { echo "missing $CLIENT (build $BUILD_DIR first)" >&2; exit 1; }

work=$(mktemp -d "${BENCH_TMP:-${TMPDIR:-/tmp}}/quillon-usb.XXXXXX")
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/cache" "$work/ours" "$work/theirs"
head -c "${SIZE_MB}M" /dev/urandom > "$work/cache/firmware.bin"
expected=$(md5sum "$work/cache/firmware.bin" | cut -d' ' -f1) # also warms the page cache
echo "file system: $(df -T "$work" | awk 'NR==2 {print $2 " on " $1}')"

race() {
    local flush=$1 label=$2
    local ours=() theirs=()
    for round in $(seq "$ROUNDS"); do
        rm -f "$work/ours/firmware.bin" "$work/theirs/firmware.bin"
        sync
        t0=$(now_ms)
        "$CLIENT" "$work/cache/firmware.bin" "$work/ours" "$expected" $flush > /dev/null
        t1=$(now_ms)
        ours+=($((t1 - t0)))

        t0=$(now_ms)
        cp "$work/cache/firmware.bin" "$work/theirs/firmware.bin"
        if [ -n "$flush" ]; then
            sync "$work/theirs/firmware.bin"
            sum=$(dd if="$work/theirs/firmware.bin" iflag=direct bs=1M status=none | md5sum | cut -d' ' -f1)
        else
            sum=$(md5sum "$work/theirs/firmware.bin" | cut -d' ' -f1)
        fi
        t1=$(now_ms)
        [ "$sum" = "$expected" ] || { echo "md5sum disagrees" >&2; exit 1; }
        theirs+=($((t1 - t0)))
        echo "$label round $round: copy+verify ${ours[-1]} ms, reference ${theirs[-1]} ms"
    done
    local m_ours m_theirs
    m_ours=$(median "${ours[@]}")
    m_theirs=$(median "${theirs[@]}")
    awk -v o="$m_ours" -v t="$m_theirs" -v mb="$SIZE_MB" -v l="$label" 'BEGIN {
        printf "%s %d MB: copy+verify median %d ms (%.0f MB/s), reference median %d ms (%.0f MB/s), ratio %.2f\n", l, mb, o, mb*1000/o, t, mb*1000/t, t/o
    }'
    eval "median_$3=$m_ours"
}

race "" "no flush (vs cp + md5sum)" plain
race "--flush" "flushed (vs cp + sync + uncached md5sum)" flushed
awk -v p="$median_plain" -v f="$median_flushed" 'BEGIN {
    printf "flushing to the device and reading the copy back from it costs %d ms (%.0f%%) over the unflushed copy\n", f-p, (f-p)*100/p
}'
