#!/bin/bash
# The tool bar's editing modes as a user clicks them: the two car tools exclude each other,
# every mode switches curve and height detection off, clearing the modes switches them on
# again, and "マップの作成" shows the object dialog. A button's state is read from the screen.
. "$(dirname "$0")/lib.sh"

declare -A KV_TOOL_COLOUR=(
    [create]=FAC828 [car]=C83232 [train]=2878C8 [grid]=285AAA [magnet]=D22828 [curve]=96643C [height]=785032)
KV_TOOL_ORDER="create car train grid magnet curve height"
KV_TOOLBAR=$KV_TMP/toolbar.ppm

kv_toolbar_capture()
{
    import -window "$(kv_main)" -crop 1000x110+0+0 -depth 8 ppm:- >"$KV_TOOLBAR" || fail "could not capture the main window"
}

# kv_toolbar_scan: one line per tool, "name x y pressed", from the last capture. A tool's icon is
# found by its colour; the pixel beside the icon inside the button is compared with the bare
# tool bar at its left end: a pressed button has a background of its own.
kv_toolbar_scan()
{
    local tools="" name
    for name in $KV_TOOL_ORDER; do
        tools="$tools $name=${KV_TOOL_COLOUR[$name]}"
    done
    python3 - "$KV_TOOLBAR" $tools <<'SCAN'
import sys

data = open(sys.argv[1], "rb").read()
fields, at = [], 0
while len(fields) < 4:  # magic, width, height, maximum
    while data[at:at + 1].isspace():
        at += 1
    start = at
    while not data[at:at + 1].isspace():
        at += 1
    fields.append(data[start:at])
width, height = int(fields[1]), int(fields[2])
pixels = data[at + 1:]

def pixel(x, y):
    i = (y * width + x) * 3
    return pixels[i:i + 3]

for tool in sys.argv[2:]:
    name, hex_colour = tool.split("=")
    colour = bytes.fromhex(hex_colour)
    xs, ys = [], []
    for y in range(height):
        row = pixels[y * width * 3:(y + 1) * width * 3]
        for x in range(width):
            if row[x * 3:x * 3 + 3] == colour:
                xs.append(x)
                ys.append(y)
    if not xs:
        print(name, "-", "-", "-")
        continue
    cx, cy = (min(xs) + max(xs)) // 2, (min(ys) + max(ys)) // 2
    print(name, cx, cy, 1 if pixel(cx - 10, cy) != pixel(2, cy) else 0)
SCAN
}

# kv_tools_state: "name=0|1 ..." for every tool, 1 when pressed.
kv_tools_state()
{
    kv_toolbar_capture
    kv_toolbar_scan | awk '{ printf "%s%s=%s", (NR > 1 ? " " : ""), $1, $4 } END { print "" }'
}

# kv_expect_tools STATE MESSAGE: waits until the tool bar shows STATE.
kv_expect_tools()
{
    local deadline=$((SECONDS + 20)) state=""
    while [ $SECONDS -lt $deadline ]; do
        state=$(kv_tools_state)
        [ "$state" = "$1" ] && return 0
        sleep 0.3
    done
    kv_shot "toolbar-failure"
    fail "$2: tool bar shows \"$state\", expected \"$1\""
}

kv_click_tool()
{
    kv_toolbar_capture
    local centre main
    centre=$(kv_toolbar_scan | awk -v tool="$1" '$1 == tool && $2 != "-" { print $2, $3 }')
    [ -n "$centre" ] || fail "tool $1 not found on the tool bar"
    main=$(kv_main)
    xdotool mousemove --window "$main" $centre click 1
    # Off the buttons again, so that no hover colour is read as a pressed button.
    xdotool mousemove --window "$main" 500 400
}

kv_install korvela
kv_start
kv_start_loop
kv_expect_tools "create=0 car=0 train=0 grid=1 magnet=1 curve=1 height=1" "after start-up"
kv_shot toolbar

kv_click_tool car
kv_expect_tools "create=0 car=1 train=0 grid=1 magnet=1 curve=0 height=0" "move one car"
kv_click_tool train
kv_expect_tools "create=0 car=0 train=1 grid=1 magnet=1 curve=0 height=0" "move the train after one car"
kv_click_tool train
kv_expect_tools "create=0 car=0 train=0 grid=1 magnet=1 curve=1 height=1" "no car tool"

kv_click_tool create
kv_expect_tools "create=1 car=0 train=0 grid=1 magnet=1 curve=0 height=0" "create map"
kv_wait_window "オブジェクト" 20 || fail "create map did not show the object dialog"
kv_click_tool car
kv_expect_tools "create=1 car=1 train=0 grid=1 magnet=1 curve=0 height=0" "create map and one car"
kv_click_tool create
kv_expect_tools "create=0 car=1 train=0 grid=1 magnet=1 curve=0 height=0" "one car left"
kv_click_tool car
kv_expect_tools "create=0 car=0 train=0 grid=1 magnet=1 curve=1 height=1" "all modes cleared"

kv_click_tool grid
kv_expect_tools "create=0 car=0 train=0 grid=0 magnet=1 curve=1 height=1" "grid off"

kill -TERM "$KV_PID"
kv_wait_exit 30 || fail "the program did not end on SIGTERM"
[ "$KV_CODE" = 0 ] || fail "exit code $KV_CODE after SIGTERM"
echo PASS
