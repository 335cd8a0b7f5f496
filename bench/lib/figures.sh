# The headline figures, gathered from the benchmark scripts into one summary table that
# ./run.sh bench prints at the end. Sourced, not run.
#
# Format of the shared file (named by $BENCH_FIGURES; a script run on its own, without it, records
# nothing): one line per figure, seven fields separated by tabs, no tab inside a field:
#
#   id  figure  measured  reference  ratio  goal  verdict
#
#   id         a short key the runner knows the figure by: sweep, pagecheck, update_ui, download,
#              upload (the runner shows "not reported" for an id that wrote no line)
#   figure     what is measured, for the table ("20 uploads of 64 MB at once")
#   measured   the figure with its unit ("612 MB/s")
#   reference  what it is compared with, with its unit ("20 x curl -F: 650 MB/s"), or "-"
#   ratio      measured against the reference as the goal reads it ("0.94"), or "-"
#   goal       the goal as written in the issue (">= 0.95")
#   verdict    "met" or "missed"
#
# From a script: source lib/figures.sh, then
#   record_figure upload "20 uploads of 64 MB at once" "612 MB/s" "20 x curl -F: 650 MB/s" 0.94 ">= 0.95" missed

record_figure() {
    [ -n "${BENCH_FIGURES:-}" ] || return 0
    [ "$#" -eq 7 ] || { echo "record_figure: 7 fields expected, $# given" >&2; return 1; }
    local IFS=$'\t'
    printf '%s\n' "$*" >> "$BENCH_FIGURES"
}

# verdict_at_most VALUE BOUND / verdict_at_least VALUE BOUND: "met" or "missed", decimals allowed.
verdict_at_most() { awk -v v="$1" -v b="$2" 'BEGIN { print (v <= b) ? "met" : "missed" }'; }
verdict_at_least() { awk -v v="$1" -v b="$2" 'BEGIN { print (v >= b) ? "met" : "missed" }'; }

# The summary table of the shared file, in the order of the issue; ids not recorded say so.
print_figures() {
    local file=$1
    printf '\n== Summary\n'
    {
        printf 'Figure\tMeasured\tReference\tRatio\tGoal\tVerdict\n'
        local id line
        for id in sweep pagecheck update_ui download upload; do
            line=$(grep -s -m1 "^$id"$'\t' "$file" || true)
            if [ -n "$line" ]; then
                cut -f2- <<<"$line"
            else
                case $id in
                    sweep) printf 'Sweep: CPU per display, 4,096 targets' ;;
                    pagecheck) printf 'Stalled page checks, 1,000 pages' ;;
                    update_ui) printf 'update_ui after a row change, 4,096 rows' ;;
                    download) printf 'Download 256 MB with MD5 on the fly' ;;
                    upload) printf '20 uploads of 64 MB at once' ;;
                esac
                printf '\tnot reported\t-\t-\t-\tmissed\n'
            fi
        done
    } | awk -F '\t' '{ for (i = 1; i <= NF; ++i) { cell[NR, i] = $i; if (length($i) > w[i]) w[i] = length($i) } n = NR }
        END { for (r = 1; r <= n; ++r) { line = ""; for (i = 1; i <= 6; ++i) line = line sprintf("%-" w[i] "s  ", cell[r, i]);
                                         sub(/ +$/, "", line); print line } }'
}
