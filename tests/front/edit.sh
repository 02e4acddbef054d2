#!/bin/bash
# Never losing work, as a user meets it: an edit marks the title with "*", Ctrl+Z and Ctrl+Y
# undo and redo it in map creation (checked in saved maps), from the object dialog too, closing with unsaved changes asks
# and キャンセル keeps the program running, 保存しない closes. A session killed after an edit leaves
# its recovery file (autosave shortened to a second); the next start offers it and 復元 brings the
# edit back; with the map touched since, Enter discards it instead; an unreadable recovery file
# goes aside as .bad and the start goes on. SIGTERM keeps the edit in the recovery file at once.
# Two windows at once keep a recovery file each: the second's start and save leave the first's
# alone, and once the first is killed the next start offers and restores its 20 edits.
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
STATE=$XDG_STATE_HOME/korvela
# The recovery files, one a line; each running program keeps its own.
kv_recoveries() { find "$STATE" -maxdepth 1 -name 'recovery-*.txt' 2>/dev/null | sort; }
export KORVELA_AUTOSAVE_SECONDS=1
# The first row of the placed-object list, its first rows and "削除" in the object dialog (client
# pixels).
KV_FIRST_ROW_AT="100 662"
KV_FIRST_ROW_CROP="250x14+12+657"
KV_ROWS_CROP="268x100+10+654"
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
    kv_steady "$box" "" || fail "the box kept changing"
    xdotool key --delay 150 "$@"
    local deadline=$((SECONDS + 20))
    while kv_viewable "$box"; do
        [ $SECONDS -lt $deadline ] || fail "the box stayed after $*"
        sleep 0.2
    done
}

kv_dialog() { kv_find "オブジェクト" || fail "the object dialog is not shown"; }

# The demo's start ends with the messages viewer; map creation is pressed after it.
kv_map_creation()
{
    kv_wait_window "メッセージ" 60 || fail "start-up did not open the messages viewer"
    kv_settle
    kv_press_map_creation
}

# The first row of the list is drawn selected: one colour other than white fills most of it.
kv_first_row_selected()
{
    import -window "$(kv_dialog)" -crop "$KV_FIRST_ROW_CROP" +repage -depth 8 -format %c histogram:info:- 2>/dev/null |
        sort -rn | awk 'NR == 1 { exit !($3 != "#FFFFFF" && $1 > 1500) }'
}

# kv_delete_first: the first row of the list clicked and deleted, one edit.
kv_delete_first()
{
    local dialog
    dialog=$(kv_dialog)
    xdotool windowraise "$dialog"
    xdotool mousemove --window "$dialog" $KV_FIRST_ROW_AT click 1
    kv_poll 20 kv_first_row_selected || fail "a click on the first row did not select it"
    kv_changes "$dialog" "$KV_ROWS_CROP" xdotool mousemove --window "$dialog" $KV_DELETE_AT click 1 ||
        fail "削除 left the list as it was"
}

# kv_save FILE: the file menu's "名前を付けて保存", answered with FILE; the success box closed.
kv_save()
{
    rm -f "$1"
    kv_open_menu 40
    xdotool key Down Down Down Down Return
    kv_wait_window "マップデータの保存（フォルダの変更禁止）" 30 || { kv_shot chooser-failure; fail "no save chooser"; }
    local chooser
    chooser=$(kv_find "マップデータの保存（フォルダの変更禁止）")
    timeout 10 xdotool windowfocus --sync "$chooser" || fail "could not focus the save chooser"
    kv_steady "$chooser" "" || fail "the save chooser kept changing"
    xdotool key ctrl+a
    xdotool type --delay 15 "$1"
    kv_steady "$chooser" "" || fail "the save chooser kept changing after the name"
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
}

# kv_edit_and_kill STEP: one edit, autosaved within the shortened second, then the program
# killed as a crash would end it.
kv_edit_and_kill()
{
    kv_delete_first
    kv_expect_title "korvela - demo *" "after deleting $1"
    local deadline=$((SECONDS + 30))
    until [ -n "$(kv_recoveries)" ]; do
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
[ -n "$(kv_recoveries)" ] && fail "the save left the recovery file"
kv_key_main ctrl+y
kv_expect_title "korvela - demo *" "after Ctrl+Y"
kv_shot redone
kv_save "$MAP"
[ "$(kv_objects "$MAP")" = $((original - 1)) ] || fail "Ctrl+Y left $(kv_objects "$MAP") objects"
cp "$MAP" "$KV_TMP/saved.txt"

# The main window's shortcuts act from the other windows: Ctrl+Z pressed in the object dialog
# (its 削除 button has the focus) undoes a deletion made there, Ctrl+L opens the check window.
kv_delete_first
kv_expect_title "korvela - demo *" "after deleting in the object dialog"
timeout 10 xdotool windowfocus --sync "$(kv_dialog)" || fail "could not focus the object dialog"
xdotool key ctrl+z
kv_save "$MAP"
cmp -s "$MAP" "$KV_TMP/saved.txt" || fail "Ctrl+Z in the object dialog did not undo the deletion"
timeout 10 xdotool windowfocus --sync "$(kv_dialog)" || fail "could not focus the object dialog"
xdotool key ctrl+l
kv_wait_window "点検結果" 20 || fail "Ctrl+L in the object dialog did not open the check window"

kv_delete_first
kv_expect_title "korvela - demo *" "after the second deletion"
"$KV_SEND_CLOSE" "$(kv_main)" || fail "could not send the close request"
box=$(kv_question "close")
kv_shot close-question
kv_press_in "$box" Escape
kv_expect_title "korvela - demo *" "after キャンセル"
kill -0 "$KV_PID" 2>/dev/null || fail "キャンセル ended the program"
"$KV_SEND_CLOSE" "$(kv_main)" || fail "could not send the close request"
kv_press_in "$(kv_question "close-2")" Tab Return
kv_wait_exit 60 || fail "保存しない did not end the program"
[ "$KV_CODE" = 0 ] || fail "the program ended with $KV_CODE"
cmp -s "$MAP" "$KV_TMP/saved.txt" || fail "保存しない wrote the map"
[ -n "$(kv_recoveries)" ] && fail "closing with 保存しない left the recovery file"

# --- recovery after a kill
original=$(kv_objects "$MAP")
kv_run_map
kv_map_creation
kv_edit_and_kill "before the kill"
[ -n "$(kv_recoveries)" ] || fail "the kill took the recovery file along"

kv_run_map
box=$(kv_question "recovery")
kv_shot recovery-question
kv_press_in "$box" Return
kv_expect_title "korvela - demo *" "after 復元"
kv_map_creation
kv_save "$MAP"
[ "$(kv_objects "$MAP")" = $((original - 1)) ] || fail "復元 gave $(kv_objects "$MAP") objects"
[ -n "$(kv_recoveries)" ] && fail "saving the restored layout left the recovery file"

# --- the map touched after the edit: Enter discards
kv_edit_and_kill "before the second kill"
touch -d '+1 minute' "$MAP"
kv_run_map
box=$(kv_question "newer")
kv_shot recovery-question-newer
kv_press_in "$box" Return
kv_expect_title "korvela - demo" "after Enter on the newer map's question"
[ -n "$(kv_recoveries)" ] && fail "破棄 left the recovery file"

# --- an unreadable recovery file
kv_kill
RECOVERY=$STATE/recovery-1-1.txt
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
[ -n "$(kv_recoveries)" ] && fail "autosaved before SIGTERM"
rm "$KV_DIR/korvela.ini"
kill -TERM "$KV_PID"
kv_wait_exit 60 || fail "SIGTERM did not end the program"
[ -n "$(kv_recoveries)" ] || fail "SIGTERM left no recovery file"
cmp -s "$MAP" "$KV_TMP/before-term.txt" || fail "SIGTERM wrote the map"
kv_check_settings "$KV_DIR/korvela.ini" korvela

# --- two windows at once: the first makes 20 edits (autosaved by their count) and is killed
# after the second started and saved; the next start offers the first's file and restores it.
rm -f "$STATE"/recovery-*
original=$(kv_objects "$MAP")
kv_run_map
first=$KV_PID
kv_map_creation
for _ in $(seq 20); do kv_delete_first; done
kv_expect_title "korvela - demo *" "after 20 deletions"
deadline=$((SECONDS + 30))
until firstfile=$(ls "$STATE/recovery-$first-"*.txt 2>/dev/null) &&
    [ "$(kv_objects "$firstfile")" = $((original - 20)) ]; do
    [ $SECONDS -lt $deadline ] || fail "the first window's 20 edits were not autosaved"
    sleep 0.2
done
kv_run_map
second=$KV_PID
kv_wait_window "メッセージ" 60 || fail "the second window did not start"
# Start-up is over once the window keeps its place: a question would have come before.
kv_settle
for window in $(kv_windows); do
    [ "$(kv_title "$window")" = KORVELA ] && kv_viewable "$window" &&
        [ "$(xwininfo -id "$window" | awk '/Height:/ { print $2 }')" -lt 400 ] &&
        { kv_shot second-asked; fail "the second window asked about a running program's file"; }
done
kv_expect_title "korvela - demo" "the second window's start"
kv_map_creation
kv_delete_first
kv_save "$KV_DIR/objects/second.txt"
kv_shot two-windows
[ "$(kv_objects "$KV_DIR/objects/second.txt")" = $((original - 1)) ] || fail "the second window saved the wrong layout"
[ -f "$firstfile" ] || fail "the second window's save took the first's recovery file"
[ "$(kv_recoveries | wc -l)" = 1 ] || fail "recovery files after the second's save: $(kv_recoveries)"
KV_PID=$first
kv_kill
KV_PID=$second
# Its title names second.txt now; saved, it closes without a question.
kill -TERM "$KV_PID"
kv_wait_exit 60 || fail "the saved second window did not close"
[ -f "$firstfile" ] || fail "closing the second window took the first's recovery file"
kv_run_map
box=$(kv_question "two-windows")
kv_shot recovery-question-first
kv_press_in "$box" Return
kv_expect_title "korvela - demo *" "after restoring the first window's edits"
kv_map_creation
kv_save "$KV_DIR/objects/restored.txt"
[ "$(kv_objects "$KV_DIR/objects/restored.txt")" = $((original - 20)) ] ||
    fail "the restore gave $(kv_objects "$KV_DIR/objects/restored.txt") objects, expected $((original - 20))"
[ -e "$firstfile" ] && fail "the restored file stayed"
echo ok
