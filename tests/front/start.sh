#!/bin/bash
# The first start and the later ones, as a newcomer meets them: without a map file the very
# first start opens the demo (the title names it from the first moment), later starts the map
# last loaded or saved, and the demo again once that is gone; Ctrl+Home looks down on the whole
# layout and Ctrl+Q closes the program as the close box does.
. "$(dirname "$0")/lib.sh"

# kv_quit: Ctrl+Q, pressed again while start-up may still hold the keys back (a window manager
# maps the window before the view is ready), until the program has ended.
kv_quit()
{
    local try
    for try in 1 2 3; do
        kv_key ctrl+q
        kv_wait_exit 15 && return 0
    done
    return 1
}


kv_install korvela
content=$(dirname "$KV_EXE")
for folder in objects trains car plane helicopter res; do
    cp -r "$content/$folder" "$KV_DIR/" || fail "could not copy $folder"
done
rm -f "$KV_DIR/korvela.ini"

KV_MAIN_TITLE="korvela - demo"
kv_start
kv_shot first-start

# The whole layout: the 3D view changes to the view from above.
kv_grab_view()
{
    import -window "$(kv_main)" -crop 600x400+200+200 +repage "$1" 2>/dev/null || fail "could not capture the view"
}
kv_grab_view "$KV_TMP/before.png"
kv_key ctrl+Home
deadline=$((SECONDS + 20))
while :; do
    kv_grab_view "$KV_TMP/after.png"
    changed=$(compare -metric AE "$KV_TMP/before.png" "$KV_TMP/after.png" null: 2>&1 | cut -d' ' -f1)
    [ "${changed:-0}" -gt 10000 ] && break
    [ $SECONDS -lt $deadline ] || fail "Ctrl+Home did not change the view ($changed pixels)"
    sleep 0.3
done
kv_shot whole-layout

kv_quit || fail "Ctrl+Q did not close the program"
[ "$KV_CODE" = 0 ] || fail "the program ended with $KV_CODE"
kv_check_settings "$KV_DIR/korvela.ini" korvela
[ "$(kv_setting "$KV_DIR/korvela.ini" RecentFile1)" = "./objects/demo.txt" ] ||
    fail "the demo is not the first recent map: $(kv_setting "$KV_DIR/korvela.ini" RecentFile1)"

# A later start opens the map last used; once it is gone, the demo.
cp "$KV_DIR/objects/demo.txt" "$KV_DIR/objects/mine.txt"
sed -i 's|^FileName=.*|FileName=./objects/mine.txt\r|' "$KV_DIR/korvela.ini"
KV_MAIN_TITLE="korvela - mine"
kv_start
kv_quit || fail "Ctrl+Q did not close the program the second time"
rm "$KV_DIR/objects/mine.txt"
KV_MAIN_TITLE="korvela - demo"
kv_start
kv_quit || fail "Ctrl+Q did not close the program the third time"
echo "start: all checks passed"
