#!/bin/bash
# Pause, fast-forward and the window's run report, on the running demo: the Pause key holds the
# scene still while the camera still turns, a second press lets train 1 run on at its speed, "]"
# and "[" step the pass rate, and the report written at the close (--report) says all of it.
. "$(dirname "$0")/lib.sh"

KV_CONTENT=$(dirname "$KV_EXE")
kv_install korvela
KV_MAIN_TITLE="korvela - demo"
cp -r "$KV_CONTENT/objects" "$KV_DIR/objects"
kv_demo_settings "$KV_DIR/objects/demo.txt"
report=$KV_TMP/report.json

kv_start --report "$report" "$KV_DIR/objects/demo.txt"
kv_start_loop
kv_key F2
kv_wait_hidden "メッセージ" 20 || fail "F2 did not hide the messages viewer"

# The scene right of the text overlay, whose frame rate changes all the time.
kv_view_shot()
{
    import -window "$(kv_main)" -crop 500x300+300+200 +repage "$KV_TMP/$1.png" || fail "could not capture the view"
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
kv_look_down
sleep 1
kv_view_shot turned
kv_same paused2 turned && fail "the camera did not turn while paused"
kv_shot "2-paused-camera-turned"

kv_key Pause
sleep 2
kv_view_shot running
sleep 1
kv_view_shot running2
kv_same running running2 && fail "the scene stands still after the second press of Pause"
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
assert clock["passes"] >= 60 * (clock["seconds"] - 8), "too few passes for the time"
CHECK
echo "PASS"
