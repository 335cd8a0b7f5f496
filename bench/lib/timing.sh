# Timing helpers shared by the benchmark scripts that race a Quillon client against a command-line
# reference. Sourced, not run (./run.sh bench runs only bench/*.sh).

# Wall-clock milliseconds.
now_ms() { echo $(( $(date +%s%N) / 1000000 )); }

# The median of the numbers given as arguments (the lower middle one for an even count).
median() { printf '%s\n' "$@" | sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }
