#!/usr/bin/env bash
# The demo's bounded check, run by quillon-demo.sh --check inside xvfb-run: starts Quillon, waits
# for the start-up search to fill the table, presses "Update firmware via LAN" with the keyboard,
# accepts the cautions and the summary, and waits until the simulator reports a display whose
# update completed and Quillon has verified that display's new version. Screenshots of the table,
# the cautions, the summary, the batch running and its end go to DEMO_SHOTS. Exit 0 when that
# happened within DEMO_CHECK_SECS, else 1.
# Keyboard only: without a window manager the dialogs' places are Qt's, but their focus order is
# fixed by their forms (main window: search button, then "Update firmware via LAN"; cautions:
# text, check box, OK).
set -uo pipefail
: "${DEMO_APP:?}" "${DEMO_STATS:?}" "${DEMO_SHOTS:?}" "${DEMO_CHECK_SECS:?}" "${DEMO_LOG:?}"
deadline=$((SECONDS + DEMO_CHECK_SECS))

"$DEMO_APP" >"$DEMO_LOG" 2>&1 &
app=$!
trap 'kill $app 2>/dev/null; wait $app 2>/dev/null' EXIT

say() { echo "demo-check: $*"; }
shot() { import -window root "$DEMO_SHOTS/$1.png" && say "screenshot $DEMO_SHOTS/$1.png"; }
fail() { say "FAILED: $*"; shot failed; exit 1; }
# window TITLE-REGEX → its id once it is mapped, or nothing by the deadline
window() {
    local id
    while ((SECONDS < deadline)); do
        kill -0 $app 2>/dev/null || fail "Quillon exited"
        id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | tail -n 1)
        [ -n "$id" ] && { echo "$id"; return 0; }
        sleep 0.5
    done
    return 1
}
count_rows() { grep -c "SerialNumber:" "$DEMO_LOG" 2>/dev/null || true; }

main=$(window '^Quillon$') || fail "no main window"
# The start-up targeted search reads every display; wait until the reads stop growing.
last=-1
while ((SECONDS < deadline)); do
    grep -q "Found 0 displays" "$DEMO_LOG" && fail "the search found no display"
    n=$(count_rows)
    [ "$n" -gt 0 ] && [ "$n" = "$last" ] && break
    last=$n
    sleep 3
done
say "search read $last display(s)"
[ "$last" -gt 0 ] || fail "the search found no display"
shot table

xdotool windowfocus --sync "$main"
xdotool key Tab space
cautions=$(window 'Firmware Update Cautions') || fail "the cautions did not appear"
sleep 0.5
shot cautions
xdotool windowfocus --sync "$cautions"
xdotool key Tab space
sleep 0.3
xdotool key Tab space
# The summary carries the main window's title.
summary=""
while [ -z "$summary" ] && ((SECONDS < deadline)); do
    summary=$(xdotool search --onlyvisible --name '^Quillon$' 2>/dev/null | grep -vx "$main" | tail -n 1)
    sleep 0.5
done
[ -n "$summary" ] || fail "the summary did not appear"
sleep 0.5
say "summary window: $(xdotool getwindowname "$summary")"
shot summary
xdotool windowfocus --sync "$summary"
xdotool key alt+y

# The simulator rewrites its stats file on every change of a display's update state.
running=0
while ((SECONDS < deadline)); do
    kill -0 $app 2>/dev/null || fail "Quillon exited during the batch"
    if [ "$running" = 0 ] && grep -q '"state": "updating"' "$DEMO_STATS"; then
        running=1
        sleep 4
        shot batch-running
    fi
    done=$(grep -c '"outcome": "complete"' "$DEMO_STATS")
    failed=$(grep -c '"outcome": "failed"' "$DEMO_STATS")
    # DEMO_WAIT_ALL=1 waits for every display of the batch, not just the first one.
    # Quillon's own word on it: after the reboot it reads the display's version and logs
    # "Verified: version ..." when it is the catalogue's.
    verified=$(grep -c "Verified: version" "$DEMO_LOG")
    grep -q "Version after update is\|did not answer after the update\|Another display answers at this address" "$DEMO_LOG" \
        && fail "Quillon found a display not running the new firmware after its update"
    if [ "$done" -gt 0 ] && [ "$verified" -gt 0 ] \
        && { [ "${DEMO_WAIT_ALL:-0}" != 1 ] || [ $((done + failed)) -ge "$(grep -c '"address"' "$DEMO_STATS")" ]; }; then
        sleep 1
        say "simulator: $done display(s) complete, $failed failed; Quillon: $verified verified, after $SECONDS s"
        shot batch-complete
        exit 0
    fi
    sleep 1
done
fail "no display completed its update within $DEMO_CHECK_SECS s"
