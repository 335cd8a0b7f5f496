#!/usr/bin/env bash
# Web page lock checks of 1,000 simulated displays whose pages accept the connection and never
# answer. Reported for the product's client (TcpClient through the search's query gate) and, as the
# reference, one network manager per check as the checks were made before: wall time, CPU time,
# peak open descriptors, threads and resident memory of the checking process.
set -euo pipefail
cd "$(dirname "$0")/.."
source bench/lib/figures.sh
BUILD_DIR=${BUILD_DIR:-build-bench}
SIM="$BUILD_DIR/tools/displaysim/displaysim"
BENCH="$BUILD_DIR/bench/pagecheck/bench_pagecheck"
COUNT=${PAGECHECK_COUNT:-1000}
WEB_PORT=18081
ulimit -n "$(ulimit -Hn)" 2>/dev/null || true

work=$(mktemp -d)
sim=""
cleanup() {
    [ -n "$sim" ] && kill "$sim" 2>/dev/null || true
    [ -n "$sim" ] && wait "$sim" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

cat >"$work/stall.json" <<'JSON'
{"defaults": {"misbehaviour": {"web": "neverReply"}}}
JSON
"$SIM" --first 127.3.0.1 --count "$COUNT" --web-port "$WEB_PORT" --config "$work/stall.json" \
    >"$work/sim.out" 2>"$work/sim.err" &
sim=$!
for _ in $(seq 300); do
    grep -qs "displaysim ready" "$work/sim.out" && break
    kill -0 "$sim" 2>/dev/null || { cat "$work/sim.err" >&2; exit 1; }
    sleep 0.1
done
grep -qs "displaysim ready" "$work/sim.out" || { echo "displaysim did not get ready" >&2; exit 1; }

client=$("$BENCH" --mode client --web-port "$WEB_PORT" --range "127.3.0.1:$COUNT")
echo "$client"
reference=$("$BENCH" --mode manager --web-port "$WEB_PORT" --range "127.3.0.1:$COUNT")
sed 's/^pagecheck manager/pagecheck reference (one network manager per check)/' <<<"$reference"

field() { sed -n "s/.* $1=\([0-9]*\).*/\1/p" <<<"$2"; }
wall=$(field wall_ms "$client")
threads=$(field peak_threads "$client")
fds=$(field peak_fds "$client")
soft=$(ulimit -Sn)
ratio=$(awk -v a="$wall" -v b="$(field wall_ms "$reference")" 'BEGIN { printf "%.2f", a / b }')
verdict=missed
if [ "$(verdict_at_most "$ratio" 1.2)" = met ] && [ "$threads" -le 2 ] && { [ "$soft" = unlimited ] || [ "$fds" -le "$soft" ]; }; then
    verdict=met
fi
record_figure pagecheck "Stalled page checks, $COUNT pages" \
    "$(awk -v w="$wall" 'BEGIN { printf "%.1f s", w / 1000 }'), $threads threads, $fds fds (soft limit $soft)" \
    "$(awk -v w="$(field wall_ms "$reference")" -v t="$(field peak_threads "$reference")" 'BEGIN { printf "one manager per check: %.1f s, %d threads", w / 1000, t }')" \
    "$ratio" "<= 1.2; threads 1-2; fds <= soft limit" "$verdict"
