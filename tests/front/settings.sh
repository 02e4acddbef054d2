#!/bin/bash
# The settings file: SIGTERM while the loop runs writes it with its 18 keys and the layout
# check's two thresholds, the keys' changes included; a restart reads them back (SIGINT then writes them again); a renamed copy of the
# program keeps a settings file and section of its own name.
. "$(dirname "$0")/lib.sh"

kv_install korvela
kv_start
kv_start_loop
# F9: key labels off. F7: the keyboard drives the camera instead of the helicopter. F5 twice:
# camera position "電車－２". F8: track display in its third state. F3 comes last: once the
# settings dialog shows, every key before it has been polled.
kv_key F9 F7 F5 F5 F8 F3
kv_wait_window "設定" 20 || fail "F3 did not show the settings dialog"

kill -TERM "$KV_PID"
kv_wait_exit 30 || fail "the program did not end on SIGTERM"
[ "$KV_CODE" = 0 ] || fail "exit code $KV_CODE after SIGTERM"
ini=$KV_DIR/korvela.ini
kv_check_settings "$ini" korvela
for expected in PointSprite=0 DriveType=0 CamLocateIndex=2 Kidou=2 Object=./ Train=./ FileName=./RailData.txt \
    Light=100 Moji=1 Douki=1 CheckGrade=4 CheckClearance=5; do
    key=${expected%%=*}
    [ "$(kv_setting "$ini" "$key")" = "${expected#*=}" ] ||
        fail "after the first run $key=$(kv_setting "$ini" "$key"), expected ${expected#*=}"
done

# Values no key reaches, edited into the file; a restart must read everything back.
sed -i 's/^Light=.*/Light=37/; s/^Moji=.*/Moji=0/; s/^CheckGrade=.*/CheckGrade=2.5/' "$ini"
kv_start
kill -INT "$KV_PID"
kv_wait_exit 30 || fail "the program did not end on SIGINT"
[ "$KV_CODE" = 0 ] || fail "exit code $KV_CODE after SIGINT"
kv_check_settings "$ini" korvela
for expected in Light=37 Moji=0 PointSprite=0 DriveType=0 CamLocateIndex=2 Kidou=2 CheckGrade=2.5 CheckClearance=5; do
    key=${expected%%=*}
    [ "$(kv_setting "$ini" "$key")" = "${expected#*=}" ] ||
        fail "after the restart $key=$(kv_setting "$ini" "$key"), expected ${expected#*=}"
done

# A renamed copy uses a settings file and a section of its own name. Its close request comes
# while the About box waits for an answer: the box must not hold the program.
kv_install mytrain
kv_start
kv_key alt+h Down Down Return
kv_wait_window "バージョン情報" 20 || fail "the help menu did not show the About box"
kill -TERM "$KV_PID"
kv_wait_exit 30 || fail "the renamed program did not end on SIGTERM"
[ "$KV_CODE" = 0 ] || fail "exit code $KV_CODE of the renamed program"
kv_check_settings "$KV_DIR/mytrain.ini" mytrain
[ ! -e "$KV_DIR/korvela.ini" ] || fail "the renamed program wrote korvela.ini"
echo PASS
