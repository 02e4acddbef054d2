#!/bin/bash
# The program as a new user meets it: the main window and the messages viewer after start-up,
# Escape leaving the main window alone, F1 to F4 and the window menu showing and hiding the
# viewers and dialogs, and the window manager's close box ending the program through the close
# path, which writes the settings file.
. "$(dirname "$0")/lib.sh"

kv_install korvela
kv_start
kv_shot startup
# The messages viewer opens at the side of the main window, leaving the middle of the view free.
main_rect=$(kv_rect "$KV_MAIN_TITLE")
viewer_rect=$(kv_rect "メッセージ")
echo "$main_rect $viewer_rect" | awk '{ middle = $1 + $3 / 2; exit !($5 > middle) }' ||
    fail "the messages viewer at $viewer_rect covers the middle of the main window at $main_rect"
# It opens below the tool bar, leaving the Start button at its right end free.
echo "$main_rect $viewer_rect" | awk '{ exit !($6 >= $2 + 40) }' ||
    fail "the messages viewer at $viewer_rect reaches over the tool bar of the main window at $main_rect"

kv_key Escape
kv_stays "$KV_MAIN_TITLE" 2 || fail "Escape closed the main window"

# F1 reaches the help viewer from the start, before the loop runs.
kv_key F1
kv_wait_window "使い方" 20 || fail "F1 did not open the help viewer"
kv_shot help
kv_key F1
kv_wait_hidden "使い方" 20 || fail "F1 did not hide the help viewer"

# The menu shows "F3" beside "設定" as a label only: before the loop polls the keys, F3 does
# nothing (an accelerator would show the dialog here, and toggle it twice once the loop runs).
kv_key F3
kv_stays_hidden "設定" 2 || fail "F3 acted before Start: the key is an accelerator"

# The About box from the help menu, closed with Enter, then with Escape.
kv_key alt+h Down Down Return
kv_wait_window "バージョン情報" 20 || fail "the help menu did not show the About box"
kv_shot about
xdotool key Return
kv_wait_hidden "バージョン情報" 20 || fail "Enter did not close the About box"
kv_key alt+h Down Down Return
kv_wait_window "バージョン情報" 20 || fail "the help menu did not show the About box again"
xdotool key Escape
kv_wait_hidden "バージョン情報" 20 || fail "Escape did not close the About box"

kv_start_loop

# Holding F3 while the key repeats shows the dialog once; it does not flicker on and off.
timeout 10 xdotool windowfocus --sync "$(kv_main)" || fail "could not focus the main window"
xdotool keydown F3
sleep 1.5
xdotool keyup F3
kv_wait_window "設定" 20 || fail "holding F3 did not leave the settings dialog shown"
kv_stays "設定" 1 || fail "the settings dialog went away after F3 was released"
kv_key F3
kv_wait_hidden "設定" 20 || fail "F3 did not hide the settings dialog"

kv_key F3
kv_wait_window "設定" 20 || fail "F3 did not show the settings dialog"
kv_key F4
kv_wait_window "オブジェクト" 20 || fail "F4 did not show the object dialog"
kv_shot dialogs
# Side by side on this 1280 × 1024 screen: the object dialog covers none of the settings and
# lies on the screen.
kv_apart "設定" "オブジェクト"
kv_rect "オブジェクト" | awk '{ exit !($1 >= 0 && $2 >= 0 && $1 + $3 <= 1280 && $2 + $4 <= 1024) }' ||
    fail "the object dialog at $(kv_rect "オブジェクト") is not on the screen"

kv_key F3
kv_wait_hidden "設定" 20 || fail "F3 did not hide the settings dialog"
kv_key F4
kv_wait_hidden "オブジェクト" 20 || fail "F4 did not hide the object dialog"

# F2 hides the messages viewer when it is shown and opens it when it is not.
kv_key F2
kv_wait_hidden "メッセージ" 20 || fail "F2 did not hide the messages viewer"
kv_key F2
kv_wait_window "メッセージ" 20 || fail "F2 did not open the messages viewer"

# The menu "ウィンドウ(W)" shows the settings dialog, reached from the keyboard.
kv_key alt+w Return
kv_wait_window "設定" 20 || fail "the window menu did not show the settings dialog"

# Held with its loop running, the program still ends on the window manager's close request.
"$KV_SEND_CLOSE" "$(kv_main)" || fail "could not send the close request"
kv_wait_exit 30 || fail "the program did not end after the close request"
[ "$KV_CODE" = 0 ] || fail "exit code $KV_CODE after the close request"
kv_check_settings "$KV_DIR/korvela.ini" korvela
echo PASS
