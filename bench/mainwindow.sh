#!/usr/bin/env bash
# The main window with 4,096 rows: one update_ui (goal <= 16 ms) and one evaluation pass, medians of 11 runs.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=${BUILD_DIR:-build-bench}
"$BUILD_DIR/bench/mainwindow/bench_mainwindow"
