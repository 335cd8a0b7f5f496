#!/usr/bin/env bash
# A LAN update in the window against 10 simulated displays on 127.0.76.x and a local firmware
# server: the confirmation summary and the batch in progress, in a light and in a dark palette; then
# a batch stopped by the rollout policy (rollout-stopped-rollout.png), and a display that came back
# on its old version (mismatch-en.png, mismatch-ja.png).
#   BUILD_DIR=build-queue tools/demo/lanupdate-demo.sh [output folder]
set -euo pipefail
cd "$(dirname "$0")/../.."
BUILD_DIR=${BUILD_DIR:-build}
out=${1:-demo-shots}
mkdir -p "$out"
for palette in light dark; do
    QUILLON_PALETTE=$palette xvfb-run -a -s "-screen 0 1600x900x24" \
        "$BUILD_DIR/tools/demo/lanupdate_shots" "$out" "$palette" 2>/dev/null
done
xvfb-run -a -s "-screen 0 1600x900x24" "$BUILD_DIR/tools/demo/lanupdate_shots" "$out" rollout rollout 2>/dev/null
# A display that comes back on its old version, in English and in Japanese (mismatch-en.png, mismatch-ja.png).
xvfb-run -a -s "-screen 0 1600x900x24" "$BUILD_DIR/tools/demo/lanupdate_shots" "$out" en mismatch 2>/dev/null
LANGUAGE=ja LANG=ja_JP.UTF-8 xvfb-run -a -s "-screen 0 1600x900x24" "$BUILD_DIR/tools/demo/lanupdate_shots" "$out" ja mismatch 2>/dev/null
