#!/usr/bin/env bash
# Targeted search of 1,000 and of 4,096 simulated displays (the address list's maximum), each display
# then read over the control protocol with the flags a fresh search gives it (0x803167). Reported:
# wall time from search start to the last control result, CPU time of the searching process, peak
# open descriptors and threads, and how many displays ended with a communication error.
#
# Both sizes run against the same simulators, started once: two processes of 2,048 displays (so
# neither nears the open-file limit), the 1,000 targets taken half from each. A simulator polls all
# of its listeners on every turn, so a larger one answers slower; compared with a simulator of its
# own size, the larger sweep looked dearer per display than the client made it. The simulators' CPU
# is theirs: only the searching process is measured. Medians of ROUNDS alternating rounds. Each
# round also sweeps the 4,096 on Qt's own event loop, for comparison with quillonctl's (epoll).
set -euo pipefail
cd "$(dirname "$0")/.."
source bench/lib/timing.sh
source bench/lib/figures.sh
BUILD_DIR=${BUILD_DIR:-build-bench}
ROUNDS=${ROUNDS:-3}
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

field() { sed -n "s/.* $1=\([0-9]*\).*/\1/p" <<<"$2"; }

start_sim 127.1.0.1 2048
start_sim 127.2.0.1 2048

small_cpu=()
small_wall=()
large_cpu=()
large_wall=()
qt_cpu=()
errors=0
for round in $(seq "$ROUNDS"); do
    small=$("$SWEEP" --label 1000 --range 127.1.0.1:500 --range 127.2.0.1:500)
    echo "round $round: $small"
    large=$("$SWEEP" --label 4096 --range 127.1.0.1:2048 --range 127.2.0.1:2048)
    echo "round $round: $large"
    qt=$("$SWEEP" --label 4096-qt-loop --loop qt --range 127.1.0.1:2048 --range 127.2.0.1:2048)
    echo "round $round: $qt"
    # Per display, in microseconds, so that the median works on whole numbers.
    small_cpu+=($(field cpu_ms "$small"))
    small_wall+=($(field wall_ms "$small"))
    large_cpu+=($(( $(field cpu_ms "$large") * 1000 / 4096 )))
    large_wall+=($(( $(field wall_ms "$large") * 1000 / 4096 )))
    qt_cpu+=($(( $(field cpu_ms "$qt") * 1000 / 4096 )))
    errors=$(( errors + $(field errors "$small") + $(field errors "$large") + $(field errors "$qt") ))
done

c1=$(median "${small_cpu[@]}")
c2=$(median "${large_cpu[@]}")
w1=$(median "${small_wall[@]}")
w2=$(median "${large_wall[@]}")
cq=$(median "${qt_cpu[@]}")
ratio=$(awk -v a="$c2" -v b="$c1" 'BEGIN { printf "%.2f", a / b }')
awk -v c1="$c1" -v c2="$c2" -v w1="$w1" -v w2="$w2" 'BEGIN {
    printf "sweep per display, 4096 against 1000 (medians of the rounds): cpu %.2f ms vs %.2f ms (ratio %.2f), wall %.2f ms vs %.2f ms (ratio %.2f)\n",
           c2 / 1000, c1 / 1000, c2 / c1, w2 / 1000, w1 / 1000, w2 / w1 }'
awk -v c2="$c2" -v cq="$cq" 'BEGIN {
    printf "sweep of 4096, cpu per display: quillonctl loop (epoll) %.2f ms, Qt loop %.2f ms (ratio %.2f)\n", c2 / 1000, cq / 1000, c2 / cq }'
verdict=missed
if [ "$(verdict_at_most "$c2" 500)" = met ] && [ "$(verdict_at_most "$ratio" 1.2)" = met ]; then
    verdict=met
fi
record_figure sweep "Sweep: CPU per display, 4,096 targets" \
    "$(awk -v c="$c2" 'BEGIN { printf "%.2f ms", c / 1000 }')" \
    "$(awk -v c="$c1" 'BEGIN { printf "1,000 targets: %.2f ms", c / 1000 }')" \
    "$ratio" "<= 0.5 ms; 4,096/1,000 <= 1.2" "$verdict"
if [ "$errors" != "0" ]; then
    echo "sweep: $errors displays ended with a communication error" >&2
    exit 1
fi
