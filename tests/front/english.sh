#!/bin/bash
# The program in English: --lang en names the windows in English, the Help menu's language
# choice is kept in the settings file (under its own key, the settings keys unchanged), and the
# next start without the option speaks the language chosen.
. "$(dirname "$0")/lib.sh"

kv_install korvela
# The catalogue and the English texts lie beside the program, as in its build folder.
cp -r "$(dirname "$KV_EXE")/locale" "$(dirname "$KV_EXE")/en" "$KV_DIR/" || fail "no catalogue beside $KV_EXE"

"$KV_BIN" --lang en >"$KV_LOG" 2>&1 &
KV_PID=$!
kv_wait_window "korvela - *" 90 || fail "the main window did not appear"
kv_wait_window "Messages" 60 || fail "start-up did not open the viewer titled Messages"
kv_shot main

kv_start_loop Settings
kv_key F3
kv_wait_window "Settings" 20 || fail "F3 did not show the dialog titled Settings"
kv_key F4
kv_wait_window "Objects" 20 || fail "F4 did not show the dialog titled Objects"
kv_shot dialogs
kv_key F3 F4
kv_wait_hidden "Settings" 20 || fail "F3 did not hide the settings dialog"

# A small window of the program beside the main window (a message box).
kv_note_shown()
{
    local window main
    main=$(kv_main)
    for window in $(kv_windows); do
        [ "$window" != "$main" ] && kv_viewable "$window" &&
            [ "$(xwininfo -id "$window" | awk '/Height:/ { print $2 }')" -lt 400 ] && return 0
    done
    return 1
}

# Help, last item: the language submenu; its first item is Japanese. The note that follows is
# said in both languages.
kv_key alt+h Up Right Return
kv_poll 20 kv_note_shown || fail "choosing Japanese showed no note"
kv_key Return
"$KV_SEND_CLOSE" "$(kv_main)" || fail "could not send the close request"
kv_wait_exit 60 || fail "the program did not end after the close request"
[ "$(kv_setting "$KV_DIR/korvela.ini" Language)" = "ja" ] || fail "the language choice was not kept"
KV_SETTINGS_KEYS="Language $KV_SETTINGS_KEYS"
kv_check_settings "$KV_DIR/korvela.ini" korvela

kv_start
kv_shot japanese
"$KV_SEND_CLOSE" "$(kv_main)" || fail "could not send the close request"
kv_wait_exit 60 || fail "the program did not end after the close request"
echo "english: passed"
