#!/bin/bash
# Trains that run by themselves, set up by hand in "運転管理" on the demo layout: the station's
# three pieces of the main line are chosen in the object dialog's list and marked as a stop;
# protection is switched on; train 2 is put on autopilot, and train 1 too, with the stop chosen
# by a click on its marker in the view added to its itinerary. With the window open the view
# shows the stop's markers in blue. Train 1 then stands at the station: its text line holds
# still at 0 km/h while its dwell counts down.
. "$(dirname "$0")/lib.sh"

KV_CONTENT=$(dirname "$KV_EXE")
KV_MAIN_TITLE="korvela - demo"
KV_OPERATION="運転管理"
# Places in the "運転管理" window (client pixels).
KV_PROTECT_AT="22 20"
KV_AUTO_AT="22 62"
KV_APPLY_AT="107 213"
KV_MARK_STOP_AT="277 87"
KV_ADD_STOP_AT="400 87"
KV_SLOT1_AT="36 280"
KV_SLOT2_AT="36 300"
KV_STOP_LIST="500 60 10 420" # width height x y: the stop list's first rows
# The first row of the object dialog's list of placed objects.
KV_FIRST_ROW_AT="100 662"
# The colour of the stop markers.
KV_MARKER="#3070FF"

kv_install korvela
for folder in objects trains car plane helicopter res; do
    cp -r "$KV_CONTENT/$folder" "$KV_DIR/" || fail "could not copy $folder"
done
# The demo as it was before it ran itself: everything of its service is set up here by hand.
sed -i '/^:Operation Data/,$d' "$KV_DIR/objects/demo.txt"
printf '%s\r\n' "[korvela]" "Object=./objects/" "Background=ground" "Train=./trains/" \
    "Plane=./plane/" "Helicopter=./helicopter/" "Car=./car/" "FileName=./objects/demo.txt" \
    "CamLocateIndex=8" "CamViewIndex=11" "Kidou=2" "PointSprite=1" "PointSpriteType=0" "Moji=1" \
    "Light=100" "Line=0" "Gensoku=1" "Douki=1" "DriveType=2" >"$KV_DIR/korvela.ini"

# Where the 3D view lies on the screen (the main window's largest child): KV_VIEW_X, KV_VIEW_Y.
kv_measure_view()
{
    read -r KV_VIEW_W KV_VIEW_H KV_VIEW_X KV_VIEW_Y < <(xwininfo -id "$(kv_main)" -tree |
        sed -n 's/.*: ()  *\([0-9]*\)x\([0-9]*\)+-\{0,1\}[0-9]*+-\{0,1\}[0-9]*  *+\([0-9-]*\)+\([0-9-]*\)$/\1 \2 \3 \4/p' |
        sort -n -r | head -n 1)
    [ -n "$KV_VIEW_W" ] && [ "$KV_VIEW_W" -gt 200 ] || fail "could not find the 3D view"
}

# kv_line NAME X WIDTH: the white glyphs of train 1's text line (overlay row 1) from X on.
kv_line()
{
    import -window root -crop "$3x16+$((KV_VIEW_X + $2))+$((KV_VIEW_Y + 16))" +repage "$KV_TMP/raw.png" 2>/dev/null ||
        fail "could not capture the screen"
    convert "$KV_TMP/raw.png" -fill black +opaque white "$KV_TMP/$1.png" || fail "could not mask the text line"
}

kv_same()
{
    [ "$(compare -metric AE "$KV_TMP/$1.png" "$KV_TMP/$2.png" null: 2>&1 | sed 's/ .*//')" = 0 ]
}

# kv_op_click X Y: a click in "運転管理".
kv_op_click()
{
    kv_click_in "$KV_OPERATION" "$1" "$2"
}

# kv_op_part NAME W H X Y: a piece of the "運転管理" window.
kv_op_part()
{
    import -window "$(kv_find "$KV_OPERATION")" -crop "$2x$3+$4+$5" +repage "$KV_TMP/$1.png" 2>/dev/null ||
        fail "could not capture $KV_OPERATION"
}

# kv_markers: how many marker pixels the view shows and "x y" of one of them, in screen pixels.
kv_markers()
{
    import -window root -crop "${KV_VIEW_W}x${KV_VIEW_H}+$KV_VIEW_X+$KV_VIEW_Y" +repage "$KV_TMP/view.png" 2>/dev/null ||
        fail "could not capture the view"
    convert "$KV_TMP/view.png" -fill black +opaque "$KV_MARKER" -transparent black sparse-color: 2>/dev/null |
        tr ' ' '\n' | awk -F, -v x0="$KV_VIEW_X" -v y0="$KV_VIEW_Y" 'NF >= 3 { n++; x[n] = $1; y[n] = $2 }
            END { if (n) print n, x0 + x[int((n + 1) / 2)], y0 + y[int((n + 1) / 2)] }'
}

kv_markers_shown()
{
    KV_MARKERS=$(kv_markers)
    [ -n "$KV_MARKERS" ]
}

# Train 1 stands at the station: its speed (the line's start) reads as at the start, while the
# dwell's seconds after it count down.
kv_dwelling()
{
    kv_line speed-a 0 88
    kv_line state-a 88 200
    sleep 1.5
    kv_line speed-b 0 88
    kv_line state-b 88 200
    kv_same speed-a standing && kv_same speed-b standing && ! kv_same state-a state-b
}

# The settings name the content relative to the program's folder.
cd "$KV_DIR" || fail "no folder $KV_DIR"
kv_start
kv_start_loop
kv_key F2
kv_wait_hidden "メッセージ" 20 || fail "F2 did not hide the messages viewer"
kv_measure_view
kv_line standing 0 88

# The window from the menu "ウィンドウ(W)", its last item.
kv_key alt+w Down Down Down Return
kv_wait_window "$KV_OPERATION" 20 || fail "the window menu did not open $KV_OPERATION"

# The station's pieces, records 6 to 8, chosen in the object dialog's list from the keyboard;
# the camera at the helicopter looks at the chosen object.
kv_key F4
kv_wait_window "オブジェクト" 20 || fail "F4 did not show the object dialog"
kv_click_in "オブジェクト" $KV_FIRST_ROW_AT
kv_changes "$(kv_find "オブジェクト")" "268x100+10+654" \
    xdotool key --delay 100 Down Down Down Down Down Down shift+Down shift+Down ||
    fail "the keys did not move the selection in the object list"
kv_op_click $KV_PROTECT_AT
kv_op_click $KV_MARK_STOP_AT
kv_poll 20 kv_markers_shown || { kv_shot failure; fail "no stop markers in the view after marking the stop"; }
kv_key F4
kv_wait_hidden "オブジェクト" 20 || fail "F4 did not hide the object dialog"
# The window out of the way, over the view's lower right corner.
xdotool windowmove "$(kv_find "$KV_OPERATION")" 740 460
kv_poll 20 eval '[ "$(kv_rect "$KV_OPERATION" | cut -d" " -f2)" -ge 440 ]' || fail "$KV_OPERATION did not move aside"
kv_poll 20 kv_markers_shown || { kv_shot failure; fail "the stop markers are hidden"; }
kv_shot 1-stop-markers

kv_op_click $KV_SLOT2_AT
kv_op_click $KV_AUTO_AT
kv_op_click $KV_APPLY_AT

# Train 1: autopilot, and the stop whose marker is clicked as its itinerary.
kv_op_click $KV_SLOT1_AT
kv_op_click $KV_AUTO_AT
kv_op_part stops-before $KV_STOP_LIST
read -r count x y <<<"$KV_MARKERS"
xdotool mousemove "$x" "$y" click 1
kv_op_part_changed() { kv_op_part stops-now $KV_STOP_LIST; ! kv_same stops-now stops-before; }
kv_poll 10 kv_op_part_changed || { kv_shot failure; fail "a click on a marker ($count marker pixels) chose no stop"; }
kv_op_click $KV_ADD_STOP_AT
kv_op_click $KV_APPLY_AT
kv_shot 2-window-set
echo "set up at ${SECONDS}s"

kv_poll 120 kv_dwelling || { kv_shot failure; fail "train 1 did not stand at the station"; }
echo "train 1 dwells at ${SECONDS}s"
kv_shot 3-train-at-station

kill -TERM "$KV_PID"
kv_wait_exit 30 || fail "the program did not end on SIGTERM"
[ "$KV_CODE" = 0 ] || fail "exit code $KV_CODE after SIGTERM"
echo PASS
