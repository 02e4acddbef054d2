#!/bin/bash
# The demo layout as a new user meets it, and every vehicle driven from the keyboard and mouse:
# the layout shows its trains and scenery before Start; the stop keys take the trains that
# run by themselves back into manual; the car tools drag one car and then the
# whole train; trains 1 and 2 run at once on their own keys while train 3 stands; F7 hands the
# keypad to the aeroplane, which speeds up and climbs and is watched from "運転席", "後方" and
# "前方"; the road car drives with the arrow keys. Speeds are read from the text overlay (its
# white glyphs only), view choices from the status bar and, at the end, from the settings file.
. "$(dirname "$0")/lib.sh"

KV_CONTENT=$(dirname "$KV_EXE")
KV_MAP_TITLE="korvela - demo"

# The main window carries the map's name once a map is open.
kv_main()
{
    kv_find "$KV_MAP_TITLE" || fail "the main window is not shown"
}

# kv_install_demo: the program with a fresh copy of the bundled content and the default
# settings file the content generator writes (the build folder's own one may have been changed
# by a user's runs).
kv_install_demo()
{
    kv_install korvela
    local folder
    for folder in objects trains car plane helicopter res; do
        [ -d "$KV_CONTENT/$folder" ] || fail "no demo content folder $KV_CONTENT/$folder"
        cp -r "$KV_CONTENT/$folder" "$KV_DIR/" || fail "could not copy $folder"
    done
    cp "$KV_CONTENT"/*.rtf "$KV_DIR/" 2>/dev/null
    printf '%s\r\n' "[korvela]" "Object=./objects/" "Background=ground" "Train=./trains/" \
        "Plane=./plane/" "Helicopter=./helicopter/" "Car=./car/" "FileName=./objects/demo.txt" \
        "CamLocateIndex=8" "CamViewIndex=1" "Kidou=2" "PointSprite=1" "PointSpriteType=0" "Moji=1" \
        "Light=100" "Line=0" "Gensoku=1" "Douki=1" "DriveType=2" >"$KV_DIR/korvela.ini"
}

kv_start_map()
{
    (cd "$KV_DIR" && exec "$KV_BIN" "$@") >"$KV_LOG" 2>&1 &
    KV_PID=$!
    kv_wait_window "$KV_MAP_TITLE" 120 || fail "the main window with the demo map did not appear"
    kv_wait_window "メッセージ" 60 || fail "start-up did not open the messages viewer"
    kv_settle
}

# Where the 3D view lies on the screen: KV_VIEW_X, KV_VIEW_Y, KV_VIEW_W, KV_VIEW_H; and the main
# window's KV_MAIN_X, KV_MAIN_Y, KV_MAIN_W, KV_MAIN_H.
kv_measure()
{
    local main info
    main=$(kv_main)
    info=$(xwininfo -id "$main")
    KV_MAIN_X=$(sed -n 's/.*Absolute upper-left X: *//p' <<<"$info")
    KV_MAIN_Y=$(sed -n 's/.*Absolute upper-left Y: *//p' <<<"$info")
    KV_MAIN_W=$(sed -n 's/.*Width: *//p' <<<"$info")
    KV_MAIN_H=$(sed -n 's/.*Height: *//p' <<<"$info")
    # The largest child window is the 3D view.
    read -r KV_VIEW_W KV_VIEW_H KV_VIEW_X KV_VIEW_Y < <(xwininfo -id "$main" -tree |
        sed -n 's/.*: ()  *\([0-9]*\)x\([0-9]*\)+-\{0,1\}[0-9]*+-\{0,1\}[0-9]*  *+\([0-9-]*\)+\([0-9-]*\)$/\1 \2 \3 \4/p' |
        sort -n -r | head -n 1)
    [ -n "$KV_VIEW_W" ] && [ "$KV_VIEW_W" -gt 200 ] || fail "could not find the 3D view"
}

# kv_grab FILE W H X Y: a piece of the screen.
kv_grab()
{
    import -window root -crop "$2x$3+$4+$5" +repage "$1" 2>/dev/null || fail "could not capture the screen"
}

# kv_row NAME ROW: the white glyphs of one line of the text overlay (the shadow and the scene
# behind it left out), saved as NAME.
kv_row()
{
    kv_grab "$KV_TMP/raw.png" 100 16 "$KV_VIEW_X" $((KV_VIEW_Y + 16 * $2))
    convert "$KV_TMP/raw.png" -fill black +opaque white "$KV_TMP/$1.png" || fail "could not mask row $2"
}

# kv_scene NAME: the 3D view right of the overlay text.
kv_scene()
{
    kv_grab "$KV_TMP/$1.png" $((KV_VIEW_W - 120)) "$KV_VIEW_H" $((KV_VIEW_X + 120)) "$KV_VIEW_Y"
}

# kv_panes NAME: the status bar; kv_pane0 NAME: its left part, the picked car's pane.
kv_panes()
{
    kv_grab "$KV_TMP/$1.png" "$KV_MAIN_W" 20 "$KV_MAIN_X" $((KV_MAIN_Y + KV_MAIN_H - 21))
}

kv_pane0()
{
    kv_grab "$KV_TMP/$1.png" 500 20 "$KV_MAIN_X" $((KV_MAIN_Y + KV_MAIN_H - 21))
}

# kv_diff A B: how many pixels of two captures differ.
kv_diff()
{
    compare -metric AE "$KV_TMP/$1.png" "$KV_TMP/$2.png" null: 2>&1 | sed 's/ .*//'
}

kv_differs()
{
    [ "$(kv_diff "$1" "$2")" != 0 ]
}

kv_focus()
{
    timeout 10 xdotool windowfocus --sync "$(kv_main)" || fail "could not focus the main window"
}

# kv_hold KEYS SECONDS COMMAND...: holds the keys (a frame reads keys as held, so a short tap
# can fall between two frames) until the command succeeds, then lets them go.
kv_hold()
{
    local keys=$1 seconds=$2 status=0
    shift 2
    kv_focus
    xdotool keydown $keys
    kv_poll "$seconds" "$@" || status=1
    xdotool keyup $keys
    return $status
}

# Checks used while holding keys.
kv_row_changed() # ROW BEFORE: the overlay line no longer shows what BEFORE shows
{
    kv_row now "$1"
    kv_differs now "$2"
}

kv_row_back() # ROW BEFORE: the overlay line shows what BEFORE shows again
{
    kv_row now "$1"
    ! kv_differs now "$2"
}

kv_rows_changed() # BEFORE1 BEFORE2: overlay lines 1 and 2 both changed
{
    kv_row_changed 1 "$1" && kv_row_changed 2 "$2"
}

kv_rows_back() # BEFORE1 BEFORE2: overlay lines 1 and 2 both read as before again
{
    kv_row_back 1 "$1" && kv_row_back 2 "$2"
}

kv_panes_changed() # BEFORE: the status bar differs from BEFORE
{
    kv_panes now
    kv_differs now "$1"
}

kv_scene_changed() # BEFORE: the 3D view differs from BEFORE
{
    kv_scene now
    kv_differs now "$1"
}

kv_pane0_changed() # BEFORE
{
    kv_pane0 now
    kv_differs now "$1"
}

# kv_function_key KEY CHECK MESSAGE: presses a function key once (the loop acts once per press)
# and waits until CHECK (kv_panes_changed or kv_scene_changed) sees its effect.
kv_function_key()
{
    local check=$2
    ${check%_changed} before
    kv_focus
    xdotool key "$1"
    kv_poll 20 "$check" before || { kv_shot "failure"; fail "$3"; }
}

kv_tool_centre() # COLOUR: the centre of the tool-bar icon drawn in this colour
{
    import -window "$(kv_main)" -crop 1000x110+0+0 -depth 8 ppm:- 2>/dev/null | python3 -c '
import sys
data = sys.stdin.buffer.read()
fields, at = [], 0
while len(fields) < 4:
    while data[at:at + 1].isspace():
        at += 1
    start = at
    while not data[at:at + 1].isspace():
        at += 1
    fields.append(data[start:at])
width, height = int(fields[1]), int(fields[2])
pixels = data[at + 1:]
colour = bytes.fromhex(sys.argv[1])
xs, ys = [], []
for y in range(height):
    for x in range(width):
        i = (y * width + x) * 3
        if pixels[i:i + 3] == colour:
            xs.append(x)
            ys.append(y)
if xs:
    print((min(xs) + max(xs)) // 2, (min(ys) + max(ys)) // 2)
' "$1"
}

kv_click_tool() # COLOUR NAME
{
    local centre main
    centre=$(kv_tool_centre "$1")
    [ -n "$centre" ] || fail "tool $2 not found on the tool bar"
    main=$(kv_main)
    # Done once the button shows its new state, the pointer away from it.
    set -- $centre
    local crop="24x24+$(($1 - 12))+$(($2 - 12))"
    kv_changes "$main" "$crop" eval "xdotool mousemove --window $main $centre click 1 mousemove --window $main 600 500" ||
        fail "the tool button at $centre did not change"
    kv_steady "$main" "$crop"
}

# kv_drag_car NAME: with a car tool checked, presses the left button on a car of the view and
# drags it to the right until the view changes, then lets go. A press shows what it picked in
# pane 0; only a car moves under the drag, so a press that picked a layout object is let go and
# tried further right. Pane 0 is blank again after the release.
kv_drag_car()
{
    kv_pane0 blank
    kv_scene "$1-before"
    local y=$((KV_VIEW_Y + KV_VIEW_H * 56 / 100)) x moved="" step
    for x in 60 160 260 360 460 560 660; do
        xdotool mousemove $((KV_VIEW_X + x)) "$y" mousedown 1
        if kv_poll 4 kv_pane0_changed blank; then
            for step in 1 2 3 4 5 6; do
                xdotool mousemove $((KV_VIEW_X + x + 3 * step)) "$y"
                if kv_poll 2 kv_scene_changed "$1-before"; then
                    moved=$x
                    break
                fi
            done
        fi
        [ -n "$moved" ] && break
        xdotool mouseup 1
        kv_poll 10 eval '! kv_pane0_changed blank'
    done
    [ -n "$moved" ] || { kv_shot "$1-failure"; fail "$1: no car moved under a drag along the line y=$y"; }
    echo "$1: dragged from x=$moved at ${SECONDS}s"
    sleep 1
    kv_shot "$1-dragging"
    xdotool mouseup 1
    xdotool mousemove $((KV_VIEW_X + 5)) $((KV_VIEW_Y + KV_VIEW_H - 5))
    kv_poll 20 eval '! kv_pane0_changed blank' || fail "$1: pane 0 was not cleared on release"
}

kv_install_demo
kv_start_map "$KV_DIR/objects/demo.txt"
kv_measure

# Before Start the view already shows the layout: many colours, not an empty clear colour.
kv_demo_drawn()
{
    kv_measure
    kv_scene demo
    colours=$(convert "$KV_TMP/demo.png" -format %k info:)
    [ "$colours" -gt 500 ]
}
kv_poll 60 kv_demo_drawn || fail "the demo layout view has only $colours colours before Start"
kv_shot "1-demo-before-start"

kv_start_loop
echo "loop started at ${SECONDS}s"
# F2 puts the messages viewer away, off the view.
kv_key F2
kv_wait_hidden "メッセージ" 20 || fail "F2 did not hide the messages viewer"
# The demo opens in service: the stop keys of trains 1 to 3 (A, S, D) take them back into manual
# and stop them, so that they stand for the drags and each moves on its own keys only.
kv_hold "a s d" 5 sleep 1

# The car tools: "電車１両の移動" drags the lead car alone, "電車１編成の移動" the whole train.
kv_click_tool C83232 "電車１両の移動"
kv_drag_car "2-one-car"
kv_click_tool 2878C8 "電車１編成の移動"
kv_drag_car "3-whole-train"
kv_click_tool 2878C8 "電車１編成の移動"
kv_poll 20 kv_scene_changed "3-whole-train-before" || fail "clearing the car tool left the view"
sleep 1
kv_shot "4-train-after-drags"

# Trains 1 ("QAZ") and 2 ("WSX") at once: Q and W held speed both up, train 3 stays at 0; A and S
# stop both again.
kv_row train1 1
kv_row train2 2
kv_row train3 3
kv_hold "q w" 30 kv_rows_changed train1 train2 || { kv_shot "failure"; fail "Q and W did not drive trains 1 and 2"; }
kv_row_back 3 train3 || fail "train 3 runs although its keys were not pressed"
kv_shot "5-two-trains-driven"
sleep 1
kv_rows_changed train1 train2 || fail "trains 1 and 2 did not keep their speed"
kv_hold "a s" 30 kv_rows_back train1 train2 || { kv_shot "failure"; fail "A and S did not stop trains 1 and 2"; }
kv_function_key F6 kv_scene_changed "F6 did not turn the view to train 2"
sleep 1
kv_shot "6-train2-labels"
echo "trains driven at ${SECONDS}s"
# Shift+F6 steps back to train 1 while nothing moves, so the change seen is the step's.
kv_focus
xdotool keydown shift
kv_function_key F6 kv_scene_changed "Shift+F6 did not turn the view back to train 1"
xdotool keyup shift

# F7 twice: from the helicopter to the camera, then to the aeroplane.
kv_function_key F7 kv_panes_changed "F7 did not hand the keypad to the camera"
kv_function_key F7 kv_panes_changed "F7 did not hand the keypad to the aeroplane"
kv_row plane_speed 8
kv_row plane_height 9
kv_hold KP_Add 30 kv_row_changed 8 plane_speed || { kv_shot "failure"; fail "keypad plus did not speed the aeroplane up"; }
kv_hold KP_2 30 kv_row_changed 9 plane_height || { kv_shot "failure"; fail "keypad 2 did not make the aeroplane climb"; }

# The camera at the aeroplane; with Shift the view-point list steps backwards from "電車－１" to
# "原点", "運転席", "後方" and "前方".
kv_focus
xdotool keydown shift
kv_function_key F5 kv_panes_changed "Shift+F5 did not put the camera at the aeroplane"
kv_function_key F6 kv_panes_changed "Shift+F6 did not turn the view to the origin"
kv_function_key F6 kv_panes_changed "Shift+F6 did not choose the cockpit view"
kv_scene plane_cockpit
kv_shot "7-plane-cockpit"
kv_function_key F6 kv_panes_changed "Shift+F6 did not choose the rear view"
kv_scene plane_rear
kv_shot "8-plane-rear"
kv_function_key F6 kv_panes_changed "Shift+F6 did not choose the front view"
kv_scene plane_front
kv_shot "9-plane-front"
xdotool keyup shift
for pair in "plane_cockpit plane_rear" "plane_rear plane_front" "plane_cockpit plane_front"; do
    set -- $pair
    [ "$(kv_diff "$1" "$2")" -gt 2000 ] || fail "the views $1 and $2 look alike"
done

# The road car: the camera moves on to it (F5 twice) and looks from its driver's seat (F6
# twice: "後方", "運転席"); the up arrow drives it.
kv_function_key F5 kv_panes_changed "F5 did not put the camera at the helicopter"
kv_function_key F5 kv_panes_changed "F5 did not put the camera at the car"
kv_function_key F6 kv_panes_changed "F6 did not choose the rear view"
kv_function_key F6 kv_panes_changed "F6 did not choose the driver's seat view"
kv_row car_speed 7
kv_scene car_standing
kv_hold Up 30 kv_row_changed 7 car_speed || { kv_shot "failure"; fail "the up arrow did not drive the road car"; }
kv_poll 20 kv_scene_changed car_standing || fail "the driver's view of the road car did not move"
kv_shot "10-road-car-driving"
echo "road car driven at ${SECONDS}s"

kill -TERM "$KV_PID"
kv_wait_exit 30 || fail "the program did not end on SIGTERM"
[ "$KV_CODE" = 0 ] || fail "exit code $KV_CODE after SIGTERM"
ini=$KV_DIR/korvela.ini
kv_check_settings "$ini" korvela
for expected in DriveType=1 CamLocateIndex=9 CamViewIndex=15; do
    key=${expected%%=*}
    [ "$(kv_setting "$ini" "$key")" = "${expected#*=}" ] ||
        fail "$key=$(kv_setting "$ini" "$key") in the settings file, expected ${expected#*=}"
done
echo PASS
