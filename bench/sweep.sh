#!/usr/bin/env bash
# Targeted search of 1,000 and of 4,096 simulated displays (the address list's maximum), each display
# then read over the control protocol with the flags a fresh search gives it (0x803167). Reported:
# wall time from search start to the last control result, CPU time of the searching process, peak
# open descriptors and threads, and how many displays ended with a communication error.
# The 4,096 displays run in two simulator processes of 2,048 so neither nears the open-file limit.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=${BUILD_DIR:-build-bench}
SIM="$BUILD_DIR/tools/displaysim/displaysim"
SWEEP="$BUILD_DIR/bench/sweep/bench_sweep"
ulimit -n "$(ulimit -Hn)" 2>/dev/null || true

work=$(mktemp -d)
pids=()
cleanup() {
    for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
    for p in "${pids[@]}"; do wait "$p" 2>/dev/null || true; done
    rm -rf "$work"
}
trap cleanup EXIT

# start_sim <first address> <count>: returns once the simulator reports that every display listens.
start_sim() {
    local out="$work/sim${#pids[@]}.out"
    "$SIM" --first "$1" --count "$2" --series 11 >"$out" 2>"$out.err" &
    pids+=($!)
    for _ in $(seq 300); do
        grep -qs "displaysim ready" "$out" && return 0
        kill -0 "${pids[-1]}" 2>/dev/null || { cat "$out.err" >&2; return 1; }
        sleep 0.1
    done
    echo "displaysim did not get ready" >&2
    return 1
}

stop_sims() {
    for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
    for p in "${pids[@]}"; do wait "$p" 2>/dev/null || true; done
    pids=()
}

field() { sed -n "s/.* $1=\([0-9]*\).*/\1/p" <<<"$2"; }

start_sim 127.1.0.1 1000
small=$("$SWEEP" --label 1000 --range 127.1.0.1:1000)
echo "$small"
stop_sims

start_sim 127.1.0.1 2048
start_sim 127.2.0.1 2048
large=$("$SWEEP" --label 4096 --range 127.1.0.1:2048 --range 127.2.0.1:2048)
echo "$large"
stop_sims

awk -v w1="$(field wall_ms "$small")" -v w2="$(field wall_ms "$large")" \
    -v c1="$(field cpu_ms "$small")" -v c2="$(field cpu_ms "$large")" 'BEGIN {
    printf "sweep per display, 4096 against 1000: wall %.2f ms vs %.2f ms (ratio %.2f), cpu %.2f ms vs %.2f ms (ratio %.2f)\n",
           w2 / 4096, w1 / 1000, (w2 / 4096) / (w1 / 1000), c2 / 4096, c1 / 1000, (c2 / 4096) / (c1 / 1000) }'
errors=$(field errors "$large")
if [ "$errors" != "0" ]; then
    echo "sweep: $errors of 4096 displays ended with a communication error" >&2
    exit 1
fi
