#!/usr/bin/env bash
# Sorting the display table by address through the sort proxy: 4,096 rows, median of 11 runs.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=${BUILD_DIR:-build-bench}
"$BUILD_DIR/bench/table/bench_table_sort"
