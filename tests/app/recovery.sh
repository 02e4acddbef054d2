#!/usr/bin/env bash
# Autosave and recovery without a window, on a copy of the demo: 20 edits write the recovery
# file (fewer do not), a save deletes it; the next start offers it and restores the edited layout
# (saved byte for byte as the edits saved it); with the map touched since, the question says so
# and discards by default; an unreadable recovery file goes aside as .bad and the start goes on;
# a run stopped by SIGTERM keeps its changes in the recovery file and never writes the map.
#   recovery.sh KORVELA_EXECUTABLE
set -u
exe=$1
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=0}
export LC_ALL=C.UTF-8 LANGUAGE=ja
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

from=$(dirname "$exe")
mkdir -p "$tmp/bin"
cp -r "$exe" "$from/objects" "$from/trains" "$from/plane" "$from/helicopter" "$from/car" "$from/korvela.ini" "$tmp/bin/"
bin=$tmp/bin/korvela
map=$tmp/bin/objects/demo.txt
state=$tmp/state
recovery=$state/recovery.txt
cp "$map" "$tmp/demo.orig"

# edits N: map creation, object 4 selected, then N typed moves of one unit.
edits()
{
    printf 'menu 32780\nselect 4\ntype objects:1001 1\ntype objects:1004 0\ntype objects:1005 0\n'
    for _ in $(seq "$1"); do echo "button objects:1070"; done
}
run() { "$bin" --headless --settings "$tmp/bin/korvela.ini" "$@" 2>>"$tmp/log"; }

edits 19 >"$tmp/19.actions"
run --autosave-dir "$state" --actions "$tmp/19.actions" "$map" || fail "19 edits: the run failed"
[ -e "$recovery" ] && fail "19 edits already wrote the recovery file"

edits 20 >"$tmp/20.actions"
{ cat "$tmp/20.actions"; echo "save-map $tmp/saved.txt"; } >"$tmp/saved.actions"
run --autosave-dir "$state" --actions "$tmp/saved.actions" "$map" || fail "20 edits and a save: the run failed"
[ -e "$recovery" ] && fail "the save left the recovery file"

run --actions "$tmp/20.actions" --save-map "$tmp/edited.txt" "$map" || fail "the reference run failed"
run --autosave-dir "$state" --actions "$tmp/20.actions" "$map" || fail "20 edits: the run failed"
[ -f "$recovery" ] || fail "20 edits wrote no recovery file"
head -n 2 "$recovery" | tr '\n' ' ' | grep -qx "KORVELA Recovery map=$map " || fail "recovery header: $(head -n 2 "$recovery")"
cmp -s "$map" "$tmp/demo.orig" || fail "the user's map was written"

# The next start offers it; the default answer restores it, unsaved, under the map's name.
run --autosave-dir "$state" --report "$tmp/restored.json" --save-map "$tmp/restored.txt" "$map" ||
    fail "the restoring run failed"
grep -q '前回、保存されていない変更がありました。復元しますか？\\n\\nマップ: '"$map" "$tmp/restored.json" ||
    fail "no recovery question in $(cat "$tmp/restored.json")"
grep -q 'マップファイルはこの変更の後に更新されています' "$tmp/restored.json" && fail "the question calls the map newer"
cmp -s "$tmp/restored.txt" "$tmp/edited.txt" || fail "the restored layout differs from the edited one"
[ -e "$recovery" ] && fail "saving the restored layout left the recovery file"

# A map touched after the edits: the question says so and the default discards.
run --autosave-dir "$state" --actions "$tmp/20.actions" "$map" || fail "20 edits (2): the run failed"
touch -d '+1 minute' "$map"
run --save-map "$tmp/plain.txt" "$map" || fail "the plain run failed"
run --autosave-dir "$state" --report "$tmp/newer.json" --save-map "$tmp/kept.txt" "$map" || fail "the newer run failed"
grep -q 'マップファイルはこの変更の後に更新されています' "$tmp/newer.json" || fail "the question does not call the map newer"
[ -e "$recovery" ] && fail "discarding left the recovery file"
cmp -s "$tmp/kept.txt" "$tmp/plain.txt" || fail "discarding changed the layout"

# An unreadable recovery file goes aside and the start goes on.
mkdir -p "$state"
printf 'not a recovery file\n' >"$recovery"
run --autosave-dir "$state" --report "$tmp/bad.json" "$map" || fail "the run with a bad recovery file failed"
[ -e "$recovery" ] && fail "the bad recovery file stayed"
[ "$(cat "$recovery.bad" 2>/dev/null)" = "not a recovery file" ] || fail "the bad recovery file was not kept as .bad"
grep -q "復元ファイルを読み込めませんでした" "$tmp/bad.json" || fail "the set-aside was not told"
rm "$recovery.bad"

# SIGTERM during a long run: the changes go to the recovery file at once, the map stays.
{ edits 3; echo "report $tmp/edited.json"; echo "frames 100000"; } >"$tmp/long.actions"
"$bin" --headless --settings "$tmp/bin/korvela.ini" --autosave-dir "$state" --actions "$tmp/long.actions" "$map" \
    2>>"$tmp/log" &
pid=$!
for _ in $(seq 600); do
    [ -e "$tmp/edited.json" ] && break
    sleep 0.1
done
[ -e "$tmp/edited.json" ] || fail "the long run did not get through its edits"
[ -e "$recovery" ] && fail "3 edits wrote the recovery file before the signal"
kill -TERM $pid
wait $pid
[ -f "$recovery" ] || fail "SIGTERM left no recovery file"
cmp -s "$map" "$tmp/demo.orig" || fail "SIGTERM wrote the user's map"
echo ok
