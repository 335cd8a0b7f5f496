#!/usr/bin/env bash
# Quillon on a virtual X server against 30 simulated displays and a local firmware server, with a
# screenshot of the main window in a light and in a dark palette. Nothing leaves this machine:
# the displays live on 127.0.74.x and the first search is a targeted search of exactly those.
#   BUILD_DIR=build-h7 tools/demo/mainwindow-demo.sh [output folder]
set -euo pipefail
cd "$(dirname "$0")/../.."
BUILD_DIR=${BUILD_DIR:-build}
out=${1:-demo-shots}
mkdir -p "$out"
work=$(mktemp -d)
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

mkdir -p "$work/server"
cp tools/demo/pd_firmware_releases.json "$work/server/"
port=18123
"$BUILD_DIR/tools/fwserver/fwserver" --root "$work/server" --base /firmwareupdates/ --port $port \
    >"$work/fwserver.log" 2>&1 & pids+=($!)
web=()
[ "$(id -u)" -eq 0 ] || web=(--web-port 18080) # port 80 needs root; the page checks then find nothing
"$BUILD_DIR/tools/displaysim/displaysim" --first 127.0.74.1 --count 30 "${web[@]}" >"$work/sim.out" 2>&1 & pids+=($!)
for _ in $(seq 100); do grep -q ready "$work/sim.out" && break; sleep 0.1; done
grep -q ready "$work/sim.out" || { cat "$work/sim.out"; exit 1; }

shoot() { # name palette
    local name=$1 palette=$2
    export XDG_CONFIG_HOME="$work/config-$name" XDG_DATA_HOME="$work/data-$name"
    mkdir -p "$XDG_CONFIG_HOME/Halvern"
    printf '[Settings]\nIP%%20Address%%20Scan%%20Text=127.0.74.1 - 30\nMain%%20Dialog%%20Width=1180\nMain%%20Dialog%%20Height=720\n' \
        >"$XDG_CONFIG_HOME/Halvern/Quillon.conf"
    QUILLON_FIRMWARE_URL="http://127.0.0.1:$port/firmwareupdates/" QUILLON_PALETTE=$palette \
    xvfb-run -a -s "-screen 0 1280x800x24" bash -c '
        "$1" & app=$!
        sleep 12
        xdotool mousemove 300 150 click 1 2>/dev/null || true
        sleep 1
        import -window root "$2"
        kill $app' _ "$BUILD_DIR/src/app/quillon" "$out/mainwindow-$name.png"
}
shoot light light
shoot dark dark
echo "screenshots in $out"
