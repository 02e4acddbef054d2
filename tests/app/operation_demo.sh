#!/usr/bin/env bash
# Protection and autopilots on the demo as it opens (protection on, its trains in service), from
# the run report: train 1 at full accelerate key behind a slower train 2 stays the two trains'
# half lengths plus the margin behind it and goes on following when train 2 moves on after a
# stop; the freight driven at the siding's buffer stop stops short of it with every car on the
# track; trains 1 and 2 sent at each other along the main line end in a deadlock naming both.
#   operation_demo.sh KORVELA_EXECUTABLE [PASSES]   (PASSES of the following run, default 1200)
. "$(dirname "$0")/demo_copy.sh"
export LC_ALL=C.UTF-8 LANGUAGE=ja
passes=${2:-1200}
map=$tmp/bin/objects/demo.txt
run() { "$bin" --headless --settings "$tmp/bin/korvela.ini" "$@" 2>>"$tmp/log" || fail "the run failed: $(tail -3 "$tmp/log")"; }
# check REPORT PYTHON: the expression's assertions over the report r (its trains t[slot]).
check()
{
    python3 - "$1" "$2" <<'PY' || fail "$2"
import json, math, sys
r = json.load(open(sys.argv[1]))
t = {train["slot"]: train for train in r["trains"]}
op = {train["slot"]: train for train in r["operation"]["trains"]}
MARGIN = 2.0
def half(slot):
    cars = t[slot]["cars"]
    a, b = cars[0], cars[1]
    return math.hypot(a["x"] - b["x"], a["z"] - b["z"]) / 2
def gap(behind, ahead):
    a, b = t[behind]["cars"][0], t[ahead]["cars"][-1]
    return math.hypot(a["x"] - b["x"], a["z"] - b["z"])
# Train 1 behind train 2: car centres at least both half lengths and the margin apart.
def follows(when):
    g, need = gap(1, 2), half(1) + half(2) + MARGIN
    s1, s2 = t[1]["speed"], t[2]["speed"]
    print(f"{when}: centres {g:.3f} apart, {need:.3f} needed; train 1 at {s1:.4f}, train 2 at {s2:.4f}")
    assert g >= need - 0.05, (g, need)
    return g - need
exec(sys.argv[2])
PY
}

# Following: train 2 on autopilot at 20 km/h, stopping at the station (no itinerary: any stop),
# train 1 driven at full accelerate key behind it along the main line. Sampled while it
# follows and after train 2 has been held standing and then let go again.
follow=$tmp/follow.actions
{
    echo "load-map $map"
    echo "auto 1 off"
    # The passing loop's entry turnout (key 1) set for the main line, as train 1's itinerary did.
    echo "hold 1 1"
    echo "cruise 2 20"
    echo "itinerary 2"
    echo "hold Q 0-$((passes * 3))"
    echo "frames $passes"
} >"$follow"
run --actions "$follow" --report "$tmp/following.json"
check "$tmp/following.json" '
assert r["operation"]["protect"] and not op[1]["auto"] and op[2]["auto"]
assert follows("following after '"$passes"' passes") < 20
assert t[1]["speed"] > 0.05, "train 1 does not follow"'
# Train 2 stopped by its key for a while, then back on autopilot: train 1 closes up, stands,
# and runs on behind it.
{
    cat "$follow"
    echo "hold S $passes-$((passes + 400))"
    echo "frames 600"
    echo "auto 2 on"
    echo "frames 600"
} >"$tmp/restart.actions"
run --actions "$tmp/restart.actions" --report "$tmp/restart.json"
check "$tmp/restart.json" '
follows("after train 2 stood and moved on")
assert t[1]["speed"] > 0.05 and t[2]["speed"] > 0.05, "the trains do not run on"'

# Buffer stop: the freight stands on the siding and is driven at its buffer stop (object 65,
# its end at x = 265) at full accelerate key.
sed -i 's/^230.000 0.300 -4.000 1.571/225.000 0.300 -8.000 1.571/' "$map"
printf 'load-map %s\nauto 3 off\nhold E 0-799\nframes 800\n' "$map" >"$tmp/buffer.actions"
run --actions "$tmp/buffer.actions" --report "$tmp/buffer.json"
check "$tmp/buffer.json" '
cars = t[3]["cars"]
front = cars[0]["x"] + half(3)
driven = t[3]["distance"]
print(f"buffer stop: the freight stands with its front at x = {front:.3f}, {driven:.1f} units driven")
assert t[3]["speed"] == 0 and t[3]["distance"] > 10
assert front < 265.0, front
assert all(c["below"] >= 0 and abs(c["z"] + 8) < 0.01 and abs(c["y"] - 0.3) < 0.01 for c in cars), cars'

# Facing each other: train 2 turned west, the station unmarked, both on autopilot without
# itineraries, the passing loop's entry turnout set for the main line.
sed -i 's/^255.000 0.300 0.000 1.571/255.000 0.300 0.000 4.712/' "$map"
printf 'load-map %s\nitinerary 1\nitinerary 2\nstop-mark 6 0\nstop-mark 7 0\nstop-mark 8 0\nstop-mark 9 0\nhold 1 1\nframes 800\n' \
    "$map" >"$tmp/deadlock.actions"
run --actions "$tmp/deadlock.actions" --report "$tmp/deadlock.json"
check "$tmp/deadlock.json" '
print("facing: deadlock", r["operation"]["deadlock"])
assert r["operation"]["deadlock"] == [1, 2], r["operation"]
assert op[1]["state"] == "deadlock" and op[2]["state"] == "deadlock"
assert op[1]["waiting_for"] == 2 and op[2]["waiting_for"] == 1
assert t[1]["speed"] == 0 and t[2]["speed"] == 0'
echo "ok"
