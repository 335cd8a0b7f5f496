#!/usr/bin/env bash
# Catalogue parse and firmware status evaluation of 4,096 rows; run by ./run.sh bench.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=${BUILD_DIR:-build-bench}
cmake --build "$BUILD_DIR" --target bench_catalogue >/dev/null
"$BUILD_DIR/bench/catalogue/bench_catalogue"
