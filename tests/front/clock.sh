#!/bin/bash
# Pause, fast-forward and the window's run report, on the running demo: the Pause key holds the
# scene still while the camera still moves, a second press lets train 1 run on at its speed, "]"
# and "[" step the pass rate, and the report written at the close (--report) says all of it.
. "$(dirname "$0")/lib.sh"

KV_CONTENT=$(dirname "$KV_EXE")
kv_install korvela
KV_MAIN_TITLE="korvela - demo"
for folder in objects trains car plane helicopter; do
    cp -r "$KV_CONTENT/$folder" "$KV_DIR/" || fail "no demo content folder $folder"
done
kv_demo_settings "$KV_DIR/objects/demo.txt"
# Train 1 stands until its key drives it: the demo's service (its operation data) is left out.
sed -i '/^:Operation Data/,$d' "$KV_DIR/objects/demo.txt"
# The demo's trains as the content generator sets them up: beside the program.
sed -i 's|^Train=.*|Train=./trains/|; s|^Object=.*|Object=./objects/|' "$KV_DIR/korvela.ini"
report=$KV_TMP/report.json

kv_start --report "$report" "$KV_DIR/objects/demo.txt"
# Start-up ends with the Start button taking the keyboard (kv_start_loop presses it until it
# answers).
kv_start_loop
kv_key F2
kv_wait_hidden "メッセージ" 20 || fail "F2 did not hide the messages viewer"

# The window right of the text overlay, whose frame rate changes all the time: the scene and
# the status bar's camera panes.
kv_view_shot()
{
    import -window "$(kv_main)" -crop 700x2000+300+0 +repage "$KV_TMP/$1.png" || fail "could not capture the view"
}

kv_same()
{
    [ "$(compare -metric AE "$KV_TMP/$1.png" "$KV_TMP/$2.png" null: 2>&1)" = 0 ]
}

# Train 1 speeds up by one step a tap.
kv_key q q q q q q q q q q q q q q q q q q q q
sleep 1
kv_key Pause
sleep 1
kv_view_shot paused1
sleep 2
kv_view_shot paused2
kv_same paused1 paused2 || { kv_shot failure; fail "the scene moved while paused"; }
kv_shot "1-paused"
# The view stays live: F5 takes the camera to the next position, as its status pane shows.
kv_key F5
kv_moved()
{
    kv_view_shot turned
    ! kv_same paused2 turned
}
for try in $(seq 30); do
    kv_moved && break
    sleep 0.3
done
kv_same paused2 turned && { kv_shot failure; fail "the camera did not move while paused"; }
kv_shot "2-paused-camera-moved"

kv_key Pause
sleep 3
kv_key bracketright bracketright bracketleft
kv_shot "3-running-x2"
sleep 1

"$KV_SEND_CLOSE" "$(kv_main)" || fail "could not ask the main window to close"
kv_wait_exit 60 || fail "the program did not end after the close"
[ "$KV_CODE" = 0 ] || fail "the program ended with status $KV_CODE"
[ -s "$report" ] || fail "no report was written at the close"

python3 - "$report" <<'CHECK' || fail "the report does not show the pause"
import json, sys
report = json.load(open(sys.argv[1]))
clock, train = report["clock"], report["trains"][0]
print("clock", clock, "speed", train["speed"], "distance", train["distance"])
assert clock["paused"] is False and clock["rate"] == 2, clock
assert train["speed"] > 0, "train 1 was not driven"
# A pass moves train 1 by its speed at most, and paused passes are not counted: had the pause
# not held it, the distance would exceed speed × passes by the 3 s it lasted.
assert train["distance"] <= train["speed"] * clock["passes"] * 1.001, "train 1 moved while paused"
# The passes ran on the clock, and none of the 3 paused seconds counted.
assert clock["passes"] <= 60 * 2 * (clock["seconds"] - 2.5), "paused passes were counted"
assert train["distance"] > 0, "train 1 did not run after the pause"
CHECK
echo "PASS"
