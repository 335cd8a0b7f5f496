#!/usr/bin/env bash
# Quillon against a simulated fleet of 30 displays of every LAN series and a local firmware server
# with real packages, in a throw-away profile: the user's settings and cache are never touched.
#   tools/demo/quillon-demo.sh                 start the demo; everything stops when Quillon closes
#   tools/demo/quillon-demo.sh --check SECONDS headless: search, update the ticked displays via
#                                              LAN, wait for one "complete", screenshot, exit 0/1
# BUILD_DIR (default build) holds quillon, displaysim and fwserver. SHOTS_DIR (default demo-shots)
# receives the screenshots of a check. Nothing leaves this machine: the displays live on
# 127.0.80.x (second addresses on 127.0.81.x) and the server on 127.0.0.1, on a port the system picks.
set -euo pipefail
self=$(realpath "$0")
cd "$(dirname "$0")/../.."
BUILD_DIR=${BUILD_DIR:-build}
SHOTS_DIR=${SHOTS_DIR:-demo-shots}
check=0
if [ "${1:-}" = --check ]; then
    check=${2:-240}
    [[ $check =~ ^[0-9]+$ ]] && [ "$check" -gt 0 ] || { echo "--check takes a number of seconds" >&2; exit 2; }
fi
# The check runs in a network namespace of its own where it can: another program of this machine
# on the wildcard UDP port 5320 (a Quillon, a test) would otherwise take some of the fleet's replies.
if [ "$check" != 0 ] && [ -z "${QUILLON_DEMO_NETNS:-}" ] && [ "$(id -u)" -eq 0 ] && unshare -n true 2>/dev/null; then
    exec unshare -n env QUILLON_DEMO_NETNS=1 bash -c 'ip link set lo up && exec "$0" "$@"' "$self" "$@"
fi
for tool in src/app/quillon tools/displaysim/displaysim tools/fwserver/fwserver; do
    [ -x "$BUILD_DIR/$tool" ] || { echo "missing $BUILD_DIR/$tool: build first (./run.sh demo builds it)" >&2; exit 1; }
done
root=$(pwd)
BUILD_DIR=$(cd "$BUILD_DIR" && pwd)

work=$(mktemp -d /tmp/quillon-demo.XXXXXX)
pids=()
cleanup() {
    local pid
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null || true; done
    rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

net=127.0.80
first=$net.1
count=30
if [ "$(id -u)" -eq 0 ]; then
    web=80
else
    web=18080
    echo "Not root: the simulated displays serve their web side on port $web, since only root may bind port 80."
    echo "Quillon talks to port 80, so its page checks and LAN updates will not reach them: run as root to see updates."
fi

# One release per series: code, catalogue name, three models (as the simulator names them), the
# version offered, package kind (zip: an archive with unpacked files; bin: a plain package), number
# of files in the archive, second address used (useIP2), power-save mode to be set to normal first,
# expected LAN update duration in seconds.
releases=(
    "1  SERIES_CEDAR4     PX-401   PX-461   PX-551   1.100 bin 1 0 0 25"
    "2  SERIES_LARCH      LX-321   LX-401   LX-491   2.200 bin 1 0 0 25"
    "3  SERIES_CEDAR5     CX-431   CX-501   CX-551   3.300 zip 1 1 1 30"
    "4  SERIES_BIRCH      BX-651   BX-751   BX-861   4.100 zip 2 1 0 40"
    "5  SERIES_CEDAR5_UHD CX-551U  CX-651U  CX-751U  3.500 zip 1 1 0 30"
    "6  SERIES_CEDAR5_XN  CX-461XN CX-551XN CX-651XN 3.400 zip 1 0 0 30"
    "9  SERIES_ROWAN_L    RL-861   RL-981   RL-1101  1.100 bin 1 0 0 20"
    "10 SERIES_ROWAN_H    RH-651   RH-751   RH-861   2.100 bin 1 0 0 35"
    "11 SERIES_WILLOW     WL-431   WL-501   WL-551   1.200 bin 1 0 1 20"
)

md5() { md5sum "$1" | cut -d' ' -f1; }
size() { stat -c %s "$1"; }

# The firmware server first: the port it gets goes into the catalogue's download addresses.
server="$work/server"
mkdir -p "$server" "$work/make"
"$BUILD_DIR/tools/fwserver/fwserver" --root "$server" --base /firmwareupdates/ --port 0 \
    >"$work/fwserver.log" 2>&1 & pids+=($!)
for _ in $(seq 100); do grep -qs listening "$work/fwserver.log" && break; sleep 0.1; done
port=$(sed -n 's|^fwserver listening on http://127.0.0.1:\([0-9]*\)/.*|\1|p' "$work/fwserver.log")
[ -n "$port" ] || { echo "the firmware server did not start:"; cat "$work/fwserver.log"; exit 1; }

# Real packages made now: random firmware images, zipped where the release says so.
entries=()
for r in "${releases[@]}"; do
    read -r code name m1 m2 m3 version kind files ip2 psave secs <<<"$r"
    base=$(echo "${name,,}_${version//./}")
    unpacked=""
    if [ "$kind" = zip ]; then
        rm -f "$work/make/"*
        for f in $(seq "$files"); do
            head -c $((300000 + f * 50000)) /dev/urandom >"$work/make/${base}_fw$f.bin"
            unpacked+="${unpacked:+,}{\"fileName\": \"${base}_fw$f.bin\", \"fileSize\": $(size "$work/make/${base}_fw$f.bin"), \"fileChecksum\": \"$(md5 "$work/make/${base}_fw$f.bin")\"}"
        done
        (cd "$work/make" && zip -q -X "$server/$base.zip" ./*)
        package="$base.zip"
    else
        head -c 400000 /dev/urandom >"$server/$base.bin"
        package="$base.bin"
    fi
    entries+=("{
      \"version\": \"$version\", \"releaseDate\": \"2026-12-01\", \"seriesName\": \"$name\",
      \"downloadLoc\": \"http://127.0.0.1:$port/firmwareupdates/$package\",
      \"fileChecksum\": \"$(md5 "$server/$package")\", \"fileSize\": $(size "$server/$package"),
      \"requiresAppBuild\": 250000, \"updateViaHTTP\": 1, \"updateViaUSB\": 1,
      \"updateViaHTTPDurationSecs\": $secs, \"numPACComponents\": $files, \"useIP2\": $ip2,
      \"needPowerSaveModeToNormal\": $psave, \"needPowerOnToUpdateViaHTTP\": 0,
      \"powerLEDBinkCodeProgress\": 1, \"powerLEDBinkCodeDone\": 2, \"powerLEDBinkCodeError\": 3,
      \"baseUSBFolderName\": \"${name,,}\", \"destinationUSBFileName\": \"$package\",
      \"updateviaUSBInstructions\": \"Insert the drive into the display's USB port and choose <b>Firmware update</b> in its menu.\",
      \"models\": [\"$m1\", \"$m2\", \"$m3\"],
      \"changes\": {\"revision\": \"A\", \"version\": \"$version\", \"changeList\": \"Faster start-up|Fixes HDMI hot-plug detection\"},
      \"previousVersionChangeList\": [{\"revision\": \"A\", \"version\": \"${version%%.*}.050\", \"changeList\": \"Network settings kept over a reset\"}],
      \"unpackedFileInfo\": [$unpacked]
    }")
done
{
    echo '{ "info": { "databaseVersion": 2026121, "latestAppBuildWindows": 250930,'
    echo '  "aboutURLs": "Demo catalogue made by tools/demo/quillon-demo.sh" },'
    echo '  "firmware": ['
    (IFS=,; echo "${entries[*]}")
    echo '] }'
} >"$server/pd_firmware_releases.json"

# The fleet: display i is of series releases[i % 9], model variant i / 9. Each reports a version
# older than the catalogue's and the catalogue's after an update; updates and reboots are quick.
displays=()
for i in $(seq 0 $((count - 1))); do
    read -r code name m1 m2 m3 version kind files ip2 psave secs <<<"${releases[i % ${#releases[@]}]}"
    models=("$m1" "$m2" "$m3")
    model=${models[$(((i / ${#releases[@]}) % 3))]}
    host=$((i + 1))
    second=""
    if [ "$ip2" = 1 ]; then
        # Every other one answers on an address of its own for updates; the rest use their own.
        if ((i % 2)); then
            second="\"secondAddress\": \"127.0.81.$host\", \"serveSecondAddress\": true,"
        else
            second="\"secondAddress\": \"$net.$host\","
        fi
    fi
    displays+=("{ \"index\": $i, \"series\": $code, \"model\": \"$model\", \"mainFw\": \"R${version%%.*}.000\",
      \"power\": 1, \"powerSave\": $((i % 3)), $second
      \"update\": { \"components\": $files, \"progressStep\": 20, \"checkPolls\": 2, \"startPolls\": 1,
                  \"rebootMs\": 2000, \"legacyWritingMs\": 1000, \"legacyQuietMs\": 1500,
                  \"firmwareAfterUpdate\": \"R$version\" } }")
done
(IFS=,; echo "{ \"displays\": [${displays[*]}] }") >"$work/fleet.json"

"$BUILD_DIR/tools/displaysim/displaysim" --first $first --count $count --config "$work/fleet.json" \
    --web-port $web --stats-file "$work/stats.json" >"$work/sim.out" 2>"$work/sim.err" & pids+=($!)
for _ in $(seq 100); do
    grep -q ready "$work/sim.out" && break
    kill -0 "${pids[-1]}" 2>/dev/null || break
    sleep 0.1
done
grep -q ready "$work/sim.out" || { echo "the simulated displays did not start:"; cat "$work/sim.err"; exit 1; }
echo "$(cat "$work/sim.out"), web side on port $web; firmware server on http://127.0.0.1:$port/firmwareupdates/"

# A throw-away profile: settings, cache and the single-instance lock all live under $work. The X
# server's cookie stays where it was found, or a desktop session would refuse the window.
[ -n "${XAUTHORITY:-}" ] || [ ! -f "$HOME/.Xauthority" ] || export XAUTHORITY="$HOME/.Xauthority"
export HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" XDG_DATA_HOME="$work/home/.local/share" \
    XDG_CACHE_HOME="$work/home/.cache" TMPDIR="$work/tmp"
mkdir -p "$XDG_CONFIG_HOME/Halvern" "$XDG_DATA_HOME" "$XDG_CACHE_HOME" "$TMPDIR"
printf '[Settings]\nIP%%20Address%%20Scan%%20Text=%s - %d\nMain%%20Dialog%%20Width=1400\nMain%%20Dialog%%20Height=820\nMulti%%20Update%%20Limit=5\n' \
    "$first" "$count" >"$XDG_CONFIG_HOME/Halvern/Quillon.conf"
export QUILLON_FIRMWARE_URL="http://127.0.0.1:$port/firmwareupdates/"
app="$BUILD_DIR/src/app/quillon"

if [ "$check" = 0 ]; then
    echo "Quillon starts with a temporary profile in $work; the targeted search finds the $count displays."
    echo "Tick displays and press \"Update firmware via LAN\". Closing Quillon stops the displays and the server."
    if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
        echo "No display found: starting Quillon on a virtual X server (xvfb-run)."
        xvfb-run -a -s "-screen 0 1600x900x24" "$app" || true
    else
        "$app" || true
    fi
    exit 0
fi

# The bounded check: the same demo on a virtual X server, driven by keyboard through xdotool.
mkdir -p "$SHOTS_DIR"
shots=$(cd "$SHOTS_DIR" && pwd)
export DEMO_STATS="$work/stats.json" DEMO_SHOTS="$shots" DEMO_CHECK_SECS=$check DEMO_APP="$app" DEMO_LOG="$work/quillon.log"
status=0
xvfb-run -a -s "-screen 0 1600x900x24" bash "$root/tools/demo/demo-drive.sh" || status=$?
if [ "$status" -ne 0 ]; then
    echo "--- last lines of Quillon's output"; tail -n 30 "$work/quillon.log" || true
    echo "--- simulator"; tail -n 5 "$work/sim.err" || true
fi
exit "$status"
