#!/usr/bin/env bash
# The update history with 100,000 rows: the writes of a running batch, a query by serial number and
# loading the history view's model.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=${BUILD_DIR:-build-bench}
QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen} "$BUILD_DIR/bench/history/bench_history" "$@"
