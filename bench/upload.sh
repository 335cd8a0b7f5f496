#!/usr/bin/env bash
# 20 update sessions (legacy upload, one file each) uploading one package at once to 20 simulated
# displays on loopback, against 20 parallel `curl -F` uploads of the same file to the same displays.
# Sizes 16 MB and 64 MB: the uploading process's peak RSS should stay under 200 MB whatever the
# size (the body is streamed from the file), and our throughput should be at least 0.95x curl's.
set -euo pipefail
source "$(dirname "$0")/lib/timing.sh"
source "$(dirname "$0")/lib/figures.sh"
BUILD_DIR=${BUILD_DIR:-build-bench}
ROUNDS=${ROUNDS:-3}
COUNT=${COUNT:-20}
SIZES_MB=${SIZES_MB:-"16 64"}
FIRST=${FIRST:-127.0.70.1}
PORT=${PORT:-18700}
SIM=${DISPLAYSIM:-"$BUILD_DIR/tools/displaysim/displaysim"}
CLIENT=${UPLOAD_CLIENT:-"$BUILD_DIR/bench/upload/bench_upload_client"}
for exe in "$SIM" "$CLIENT"; do
    [ -x "$exe" ] || { echo "missing $exe (build $BUILD_DIR first)" >&2; exit 1; }
done

work=$(mktemp -d)
sim_pid=
cleanup() {
    if [ -n "$sim_pid" ]; then
        kill "$sim_pid" 2>/dev/null || true
        wait "$sim_pid" 2>/dev/null || true
    fi
    rm -rf "$work"
}
trap cleanup EXIT

# Series 1 displays take a legacy upload at any time, so curl and the sessions send the same request.
# A legacy display restarts once no upload came for a while (30 s by default); slow rounds on a
# busy machine would then meet a display that is restarting, so the quiet time is made long.
echo '{ "defaults": { "update": { "legacyQuietMs": 3600000 } } }' > "$work/sim.json"
"$SIM" --first "$FIRST" --count "$COUNT" --series 1 --web-port "$PORT" --config "$work/sim.json" > "$work/sim.log" 2>&1 &
sim_pid=$!
for _ in $(seq 100); do grep -q "displaysim ready" "$work/sim.log" && break; sleep 0.1; done
grep -q "displaysim ready" "$work/sim.log" || { echo "displaysim did not start" >&2; cat "$work/sim.log" >&2; exit 1; }
addresses=()
base=${FIRST%.*}
last=${FIRST##*.}
for _ in $(seq "$COUNT"); do
    addresses+=("$base.$last")
    last=$((last + 1))
done

for mb in $SIZES_MB; do
    head -c "${mb}M" /dev/urandom > "$work/package.bin"
    ours=()
    theirs=()
    rss=()
    for round in $(seq "$ROUNDS"); do
        t0=$(now_ms)
        line=$("$CLIENT" "$FIRST" "$COUNT" "$PORT" "$work/package.bin")
        t1=$(now_ms)
        ours+=($((t1 - t0)))
        rss+=("$(echo "$line" | sed -n 's/.*peak_rss_kb \([0-9]*\).*/\1/p')")

        t0=$(now_ms)
        pids=()
        for a in "${addresses[@]}"; do
            curl -s -f -o /dev/null -F "updatefile=@$work/package.bin" "http://$a:$PORT/cgi-bin/cgictrl?U=46213" &
            pids+=($!)
        done
        for p in "${pids[@]}"; do wait "$p" || { echo "curl upload failed" >&2; exit 1; }; done
        t1=$(now_ms)
        theirs+=($((t1 - t0)))
        echo "$mb MB round $round: sessions ${ours[-1]} ms (peak RSS ${rss[-1]} kB), curl -F x$COUNT ${theirs[-1]} ms"
    done
    m_ours=$(median "${ours[@]}")
    m_theirs=$(median "${theirs[@]}")
    max_rss=$(printf '%s\n' "${rss[@]}" | sort -n | tail -1)
    awk -v o="$m_ours" -v t="$m_theirs" -v mb="$mb" -v n="$COUNT" -v r="$max_rss" 'BEGIN {
        printf "upload %d x %d MB: sessions median %d ms (%.0f MB/s), curl -F median %d ms (%.0f MB/s)\n", n, mb, o, n*mb*1000/o, t, n*mb*1000/t
        printf "throughput ratio sessions/curl = %.2f (goal >= 0.95); peak RSS %.1f MB (goal <= 200 MB)\n", t/o, r/1024
    }'
    if [ "$mb" = 64 ]; then
        ratio=$(awk -v o="$m_ours" -v t="$m_theirs" 'BEGIN { printf "%.2f", t / o }')
        record_figure upload "$COUNT uploads of $mb MB at once" \
            "$(awk -v o="$m_ours" -v mb="$mb" -v n="$COUNT" 'BEGIN { printf "%.0f MB/s", n*mb*1000/o }')" \
            "$(awk -v t="$m_theirs" -v mb="$mb" -v n="$COUNT" 'BEGIN { printf "%d x curl -F: %.0f MB/s", n, n*mb*1000/t }')" \
            "$ratio" ">= 0.95" "$(verdict_at_least "$ratio" 0.95)"
    fi
done
