#!/bin/bash
# Trains that run by themselves, set up by hand in "運転管理" on the demo layout: the station's
# three pieces are chosen in the object dialog's list and marked as a stop; protection is
# switched on; train 1 is put on autopilot with the station as its itinerary and train 2 on
# autopilot. With the window open the view shows the stop's markers in blue, and a click on a
# marker chooses that stop in the window's list. Train 1 then stands at the station: its text
# line reads "停車中".
. "$(dirname "$0")/lib.sh"

KV_CONTENT=$(dirname "$KV_EXE")
KV_MAIN_TITLE="korvela - demo"

kv_install korvela
for folder in objects trains car plane helicopter res; do
    cp -r "$KV_CONTENT/$folder" "$KV_DIR/" || fail "could not copy $folder"
done
printf '%s\r\n' "[korvela]" "Object=./objects/" "Background=ground" "Train=./trains/" \
    "Plane=./plane/" "Helicopter=./helicopter/" "Car=./car/" "FileName=./objects/demo.txt" \
    "CamLocateIndex=8" "CamViewIndex=1" "Kidou=2" "PointSprite=1" "PointSpriteType=0" "Moji=1" \
    "Light=100" "Line=0" "Gensoku=1" "Douki=1" "DriveType=2" >"$KV_DIR/korvela.ini"

kv_start_map()
{
    (cd "$KV_DIR" && exec "$KV_BIN" "$@") >"$KV_LOG" 2>&1 &
    KV_PID=$!
    kv_wait_window "$KV_MAIN_TITLE" 120 || fail "the main window with the demo map did not appear"
    KV_MAIN_ID=$(kv_find "$KV_MAIN_TITLE")
    kv_wait_window "メッセージ" 60 || fail "start-up did not open the messages viewer"
    kv_settle
}

kv_start_map
kv_start_loop
kv_key F2
kv_wait_hidden "メッセージ" 20 || fail "F2 did not hide the messages viewer"
kv_key alt+w Down Down Down Return
kv_wait_window "運転管理" 20 || fail "the window menu did not open 運転管理"
kv_key F4
kv_wait_window "オブジェクト" 20 || fail "F4 did not show the object dialog"
sleep 2
kv_shot explore
for t in "運転管理" "オブジェクト"; do echo "$t $(kv_rect "$t")"; done
import -window "$(kv_find 運転管理)" "$KV_SHOTS/op.png"
import -window "$(kv_find オブジェクト)" "$KV_SHOTS/obj.png"
echo PASS
