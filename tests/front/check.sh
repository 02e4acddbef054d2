#!/bin/bash
# The layout check as a user meets it: the demo layout with the second piece of its main line
# pushed 0.3 aside. Ctrl+L opens "点検結果" and the view marks the two loose joints in yellow;
# a click on the first finding points the camera at it; "継ぎ目を合わせる" closes both joints
# and the window checks again, so the yellow marks go; Ctrl+Z in map creation and "再点検"
# bring them back. The thresholds typed into the window are kept in the settings file. The edit
# menu's "部品表" opens its window beside the view.
. "$(dirname "$0")/lib.sh"

KV_CONTENT=$(dirname "$KV_EXE")
[ -d "$KV_CONTENT/objects" ] || fail "no demo objects beside $KV_EXE"

# Places in the "点検結果" window (client pixels).
KV_FIRST_ROW_AT="60 287"
KV_GRADE_AT="240 80"
KV_RECHECK_AT="127 197"
KV_MEND_AT="366 197"
# The colour of the marks at loose joints.
KV_NEAR_MISS="#FFFF00"

kv_install korvela
KV_MAIN_TITLE="korvela - gapped"
cp -r "$KV_CONTENT/objects" "$KV_DIR/objects"
gapped=$KV_DIR/objects/gapped.txt
# Record 1 is a straight piece of the main line along x; 0.3 more on its z leaves both of its
# joints loose.
awk '/^:Map Data/ { on = 1; print; next } /^:/ { on = 0 } on && ++n == 2 { $4 = sprintf("%.3f", $4 + 0.3) } { print }' \
    "$KV_DIR/objects/demo.txt" >"$gapped"
kv_demo_settings "$gapped"
# No trains: the demo's first one stands over the pushed piece and would hide the marks.
mkdir -p "$KV_DIR/no-trains"
sed -i "s|^Train=.*|Train=$KV_DIR/no-trains/|" "$KV_DIR/korvela.ini"

kv_check_window()
{
    kv_find "点検結果" || fail "the check window is not shown"
}

kv_click_check()
{
    kv_click_in "点検結果" "$@"
}

# kv_marks NAME: the yellow pixels of the main window's view now, its picture kept as NAME.png.
kv_marks()
{
    import -window "$(kv_main)" "$KV_SHOTS/$1.png" || fail "could not capture the main window"
    kv_colour_count "$KV_SHOTS/$1.png" "$KV_NEAR_MISS"
}

kv_marks_over() { [ "$(kv_marks "$1")" -gt "$2" ]; }
kv_marks_under() { [ "$(kv_marks "$1")" -lt "$2" ]; }

# The map given on the command line is loaded before Start takes the keyboard: wait until the
# view shows it (many colours, not the clear colour alone).
kv_map_drawn()
{
    import -window "$(kv_main)" -crop 600x300+0+80 "$KV_TMP/view.png" 2>/dev/null &&
        [ "$(convert "$KV_TMP/view.png" -format %k info:)" -gt 500 ]
}

kv_start "$gapped"
deadline=$((SECONDS + 90))
until kv_map_drawn; do
    [ $SECONDS -lt $deadline ] || fail "the map was not drawn before Start"
    sleep 0.5
done
kv_start_loop
kv_key F2
kv_wait_hidden "メッセージ" 20 || fail "F2 did not hide the messages viewer"

# In map creation a click on a finding points the edit camera at it, and undo acts.
kv_map_creation
kv_key ctrl+l
kv_wait_window "点検結果" 20 || fail "Ctrl+L did not open the check window"
kv_click_check $KV_FIRST_ROW_AT
# Dragged beside the check window, which keeps to the view's left edge.
kv_look_down 620
kv_poll 20 kv_marks_over gap-marked 20 ||
    fail "the loose joints are not marked in the view ($(kv_marks gap-marked) yellow pixels)"
marked=$(kv_marks gap-marked)
xdotool windowraise "$(kv_check_window)"
kv_steady root "$(kv_rect "点検結果" | awk '{ printf "%dx%d+%d+%d", $3, $4, $1, $2 }')"
kv_shot check-window

kv_click_check $KV_MEND_AT
kv_poll 20 kv_marks_under mended-view 5 ||
    fail "the marks stayed after mending ($(kv_marks mended-view) yellow pixels, $marked before)"
kv_shot mended

# The window shows what it last checked until asked again.
kv_key ctrl+z
kv_click_check $KV_RECHECK_AT
kv_poll 20 kv_marks_over undone-view 20 ||
    fail "undo did not bring the loose joints back ($(kv_marks undone-view) yellow pixels)"
kv_shot undone

# "部品表", the edit menu's last item, opens beside the view, clear of the object dialog and of
# the check window.
kv_key alt+e Up Return
kv_wait_window "部品表" 20 || fail "the edit menu did not open the parts list"
kv_apart "部品表" "オブジェクト"
kv_apart "部品表" "点検結果"
kv_shot parts-list

# A threshold typed into the window goes into the settings file at the close.
kv_type_in "点検結果" $KV_GRADE_AT "2.5"
kill -TERM "$KV_PID"
kv_wait_exit 30 || fail "the program did not end on SIGTERM"
[ "$KV_CODE" = 0 ] || fail "exit code $KV_CODE after SIGTERM"
[ "$(kv_setting "$KV_DIR/korvela.ini" CheckGrade)" = 2.5 ] ||
    fail "CheckGrade=$(kv_setting "$KV_DIR/korvela.ini" CheckGrade) after typing 2.5"
echo PASS
