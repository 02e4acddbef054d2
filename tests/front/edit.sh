#!/bin/bash
# Never losing work, as a user meets it: an edit marks the title with "*", Ctrl+Z and Ctrl+Y
# undo and redo it in map creation (checked in saved maps), closing with unsaved changes asks
# and キャンセル keeps the program running, 保存しない closes. A session killed after an edit leaves
# its recovery file (autosave shortened to a second); the next start offers it and 復元 brings the
# edit back; with the map touched since, Enter discards it instead; an unreadable recovery file
# goes aside as .bad and the start goes on. SIGTERM keeps the edit in the recovery file at once.
. "$(dirname "$0")/lib.sh"
# A failure found inside $(...) ends the whole test, its clean-up included.
trap 'exit 1' TERM

KV_CONTENT=$(dirname "$KV_EXE")
[ -f "$KV_CONTENT/objects/demo.txt" ] || fail "no demo map beside $KV_EXE"
kv_install korvela
cp -r "$KV_CONTENT/objects" "$KV_DIR/objects"
cp "$KV_CONTENT/korvela.ini" "$KV_DIR/korvela.ini"
for folder in trains plane helicopter car; do ln -s "$KV_CONTENT/$folder" "$KV_DIR/$folder"; done
MAP=$KV_DIR/objects/demo.txt
RECOVERY=$XDG_STATE_HOME/korvela/recovery.txt
export KORVELA_AUTOSAVE_SECONDS=1
# The first row of the placed-object list and "削除" in the object dialog (client pixels).
KV_FIRST_ROW_AT="100 662"
KV_DELETE_AT="235 239"

# The main window, whose title follows the map ("korvela - demo", " *" while changed); waited
# for while the program starts.
kv_main()
{
    local window deadline=$((SECONDS + 90))
    while [ $SECONDS -lt $deadline ]; do
        for window in $(kv_windows); do
            case "$(kv_title "$window")" in
            "korvela - demo"*) kv_viewable "$window" && { echo "$window"; return 0; } ;;
            esac
        done
        kill -0 "$KV_PID" 2>/dev/null || break
        sleep 0.2
    done
    echo "FAIL: the main window is not shown" >&2
    kill -TERM $$
    exit 1
}

kv_expect_title()
{
    local deadline=$((SECONDS + 20)) title=""
    while [ $SECONDS -lt $deadline ]; do
        title=$(kv_title "$(kv_main)")
        [ "$title" = "$1" ] && return 0
        sleep 0.2
    done
    kv_shot "title-failure"
    fail "$2: the title is \"$title\", expected \"$1\""
}

# kv_run_map: starts the program on the demo map (a recovery question may come first).
kv_run_map()
{
    "$KV_BIN" "$MAP" >"$KV_LOG" 2>&1 &
    KV_PID=$!
}

# kv_question STEP: the shown message box (titled KORVELA), waited for.
kv_question()
{
    local deadline=$((SECONDS + 90)) window
    while [ $SECONDS -lt $deadline ]; do
        kill -0 "$KV_PID" 2>/dev/null || fail "the program ended while waiting for the box of $1"
        # Titled as the main window was before the map came: told apart by its size.
        for window in $(kv_windows); do
            [ "$(kv_title "$window")" = KORVELA ] && kv_viewable "$window" || continue
            [ "$(xwininfo -id "$window" | awk '/Height:/ { print $2 }')" -lt 400 ] && { echo "$window"; return 0; }
        done
        sleep 0.2
    done
    kv_shot "nobox-$1"
    echo "FAIL: no message box for $1" >&2
    kill -TERM $$
    exit 1
}

# kv_press_in BOX KEY...: keys pressed in the box, which must then go.
kv_press_in()
{
    local box=$1
    shift
    timeout 10 xdotool windowfocus --sync "$box" || fail "could not focus the box"
    sleep 0.3
    xdotool key --delay 150 "$@"
    local deadline=$((SECONDS + 20))
    while kv_viewable "$box"; do
        [ $SECONDS -lt $deadline ] || fail "the box stayed after $*"
        sleep 0.2
    done
}

kv_dialog() { kv_find "オブジェクト" || fail "the object dialog is not shown"; }

kv_map_creation()
{
    kv_wait_window "メッセージ" 60 || fail "start-up did not open the messages viewer"
    main=$(kv_main)
    import -window "$(kv_main)" -crop 400x110+0+0 -depth 8 txt:- >"$KV_TMP/toolbar.txt" || fail "could not capture the tool bar"
    local create_at
    create_at=$(awk -F'[,: ]+' '/#FAC828/ { x += $1; y += $2; n++ } END { if (n) printf "%d %d", x / n, y / n }' "$KV_TMP/toolbar.txt")
    [ -n "$create_at" ] || fail "the map creation tool was not found"
    xdotool mousemove --window "$(kv_main)" $create_at click 1
    kv_wait_window "オブジェクト" 20 || fail "map creation did not show the object dialog"
}

# kv_delete_first: the first row of the list clicked and deleted, one edit.
kv_delete_first()
{
    local dialog
    dialog=$(kv_dialog)
    xdotool windowraise "$dialog"
    xdotool mousemove --window "$dialog" $KV_FIRST_ROW_AT click 1
    sleep 0.4
    xdotool mousemove --window "$dialog" $KV_DELETE_AT click 1
    sleep 0.5
}

# kv_save FILE: the tool bar's save, answered with FILE; the success box closed.
kv_save()
{
    rm -f "$1"
    xdotool mousemove --window "$(kv_main)" 40 12 click 1
    sleep 0.7
    xdotool key Down Down Return
    kv_wait_window "マップデータの保存（フォルダの変更禁止）" 30 || { kv_shot chooser-failure; fail "no save chooser"; }
    local chooser
    chooser=$(kv_find "マップデータの保存（フォルダの変更禁止）")
    timeout 10 xdotool windowfocus --sync "$chooser" || fail "could not focus the save chooser"
    sleep 0.3
    xdotool key ctrl+a
    xdotool type --delay 15 "$1"
    sleep 0.3
    xdotool key Return
    kv_wait_hidden "マップデータの保存（フォルダの変更禁止）" 30 || fail "the save chooser stayed open"
    kv_press_in "$(kv_question "save")" Return
    [ -f "$1" ] || fail "saving did not write $1"
}

kv_objects() { tr -d '\r' <"$1" | awk '/^:Map Data/ { on = 1; next } /^:/ || /^$/ { on = 0 } on' | wc -l; }

kv_key_main()
{
    timeout 10 xdotool windowfocus --sync "$(kv_main)" || fail "could not focus the main window"
    xdotool key --delay 100 "$@"
    sleep 0.5
}

# kv_edit_and_kill STEP: one edit, autosaved within the shortened second, then the program
# killed as a crash would end it.
kv_edit_and_kill()
{
    kv_delete_first
    kv_expect_title "korvela - demo *" "after deleting $1"
    local deadline=$((SECONDS + 30))
    until [ -f "$RECOVERY" ]; do
        [ $SECONDS -lt $deadline ] || fail "no recovery file within 30 s of the edit $1"
        sleep 0.2
    done
    kv_kill
}

kv_kill()
{
    kill -KILL "$KV_PID"
    wait "$KV_PID" 2>/dev/null
    KV_PID=
}

# --- undo, redo and the unsaved-changes guard
kv_run_map
kv_map_creation
kv_expect_title "korvela - demo" "after loading"
original=$(kv_objects "$MAP")
kv_delete_first
kv_expect_title "korvela - demo *" "after deleting"
kv_shot edited
kv_key_main ctrl+z
kv_save "$MAP"
kv_expect_title "korvela - demo" "after the save"
[ "$(kv_objects "$MAP")" = "$original" ] || fail "Ctrl+Z left $(kv_objects "$MAP") objects, expected $original"
[ -e "$RECOVERY" ] && fail "the save left the recovery file"
kv_key_main ctrl+y
kv_expect_title "korvela - demo *" "after Ctrl+Y"
kv_shot redone
kv_save "$MAP"
[ "$(kv_objects "$MAP")" = $((original - 1)) ] || fail "Ctrl+Y left $(kv_objects "$MAP") objects"
cp "$MAP" "$KV_TMP/saved.txt"

kv_delete_first
kv_expect_title "korvela - demo *" "after the second deletion"
"$KV_SEND_CLOSE" "$(kv_main)" || fail "could not send the close request"
box=$(kv_question "close")
kv_shot close-question
kv_press_in "$box" Escape
sleep 1
kill -0 "$KV_PID" 2>/dev/null || fail "キャンセル ended the program"
kv_expect_title "korvela - demo *" "after キャンセル"
"$KV_SEND_CLOSE" "$(kv_main)" || fail "could not send the close request"
kv_press_in "$(kv_question "close-2")" Tab Return
kv_wait_exit 60 || fail "保存しない did not end the program"
[ "$KV_CODE" = 0 ] || fail "the program ended with $KV_CODE"
cmp -s "$MAP" "$KV_TMP/saved.txt" || fail "保存しない wrote the map"
[ -e "$RECOVERY" ] && fail "closing with 保存しない left the recovery file"

# --- recovery after a kill
original=$(kv_objects "$MAP")
kv_run_map
kv_map_creation
kv_edit_and_kill "before the kill"
[ -f "$RECOVERY" ] || fail "the kill took the recovery file along"

kv_run_map
box=$(kv_question "recovery")
kv_shot recovery-question
kv_press_in "$box" Return
kv_expect_title "korvela - demo *" "after 復元"
kv_map_creation
kv_save "$MAP"
[ "$(kv_objects "$MAP")" = $((original - 1)) ] || fail "復元 gave $(kv_objects "$MAP") objects"
[ -e "$RECOVERY" ] && fail "saving the restored layout left the recovery file"

# --- the map touched after the edit: Enter discards
kv_edit_and_kill "before the second kill"
touch -d '+1 minute' "$MAP"
kv_run_map
box=$(kv_question "newer")
kv_shot recovery-question-newer
kv_press_in "$box" Return
kv_expect_title "korvela - demo" "after Enter on the newer map's question"
[ -e "$RECOVERY" ] && fail "破棄 left the recovery file"

# --- an unreadable recovery file
kv_kill
printf 'garbage\n' >"$RECOVERY"
kv_run_map
box=$(kv_question "bad")
kv_shot recovery-bad
kv_press_in "$box" Return
kv_expect_title "korvela - demo" "after the bad recovery file"
[ "$(cat "$RECOVERY.bad" 2>/dev/null)" = garbage ] || fail "the bad recovery file was not kept as .bad"
[ -e "$RECOVERY" ] && fail "the bad recovery file stayed"
"$KV_SEND_CLOSE" "$(kv_main)" || fail "could not send the last close request"
kv_wait_exit 60 || fail "the unchanged program did not close"

# --- SIGTERM cannot ask: the edit goes to the recovery file at once (autosave is an hour away
# now), never to the map, and the settings are written as on every close
export KORVELA_AUTOSAVE_SECONDS=3600
cp "$MAP" "$KV_TMP/before-term.txt"
kv_run_map
kv_map_creation
kv_delete_first
kv_expect_title "korvela - demo *" "after deleting before SIGTERM"
[ -e "$RECOVERY" ] && fail "autosaved before SIGTERM"
rm "$KV_DIR/korvela.ini"
kill -TERM "$KV_PID"
kv_wait_exit 60 || fail "SIGTERM did not end the program"
[ -f "$RECOVERY" ] || fail "SIGTERM left no recovery file"
cmp -s "$MAP" "$KV_TMP/before-term.txt" || fail "SIGTERM wrote the map"
kv_check_settings "$KV_DIR/korvela.ini" korvela
echo ok
