#!/usr/bin/env bash
# Autosave and recovery without a window, on a copy of the demo: 20 edits write the run's own
# recovery file (fewer do not), a save deletes it; the next start offers it and restores the
# edited layout (saved byte for byte as the edits saved it); with the map touched since, the
# question says so and discards by default; an unreadable recovery file goes aside as .bad and
# the start goes on; a run stopped by SIGTERM keeps its changes in the recovery file and never
# writes the map. Then what the recovery must survive: two runs in one folder killed in turn,
# a start from another working folder, a restore that fails, odd files, SIGHUP.
#   recovery.sh KORVELA_EXECUTABLE
. "$(dirname "$0")/demo_copy.sh"
export LC_ALL=C.UTF-8 LANGUAGE=ja
map=$tmp/bin/objects/demo.txt
state=$tmp/state
cp "$map" "$tmp/demo.orig"
# The recovery files in the state folder, one a line (none: nothing).
recoveries() { find "$state" -maxdepth 1 -name 'recovery-*.txt' 2>/dev/null | sort; }

# edits N [OBJECT]: map creation, the object (4) selected, then N typed moves of one unit.
edits()
{
    printf 'menu 32780\nselect %s\ntype objects:1001 1\ntype objects:1004 0\ntype objects:1005 0\n' "${2:-4}"
    for _ in $(seq "$1"); do echo "button objects:1070"; done
}
run() { "$bin" --headless --settings "$tmp/bin/korvela.ini" "$@" 2>>"$tmp/log"; }

edits 19 >"$tmp/19.actions"
run --autosave-dir "$state" --actions "$tmp/19.actions" "$map" || fail "19 edits: the run failed"
[ -n "$(recoveries)" ] && fail "19 edits already wrote the recovery file"

edits 20 >"$tmp/20.actions"
{ cat "$tmp/20.actions"; echo "save-map $tmp/saved.txt"; } >"$tmp/saved.actions"
run --autosave-dir "$state" --actions "$tmp/saved.actions" "$map" || fail "20 edits and a save: the run failed"
[ -n "$(recoveries)" ] && fail "the save left the recovery file"

run --actions "$tmp/20.actions" --save-map "$tmp/edited.txt" "$map" || fail "the reference run failed"
run --autosave-dir "$state" --actions "$tmp/20.actions" "$map" || fail "20 edits: the run failed"
recovery=$(recoveries)
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
[ -n "$(recoveries)" ] && fail "saving the restored layout left a recovery file"

# A map touched after the edits: the question says so and the default discards.
run --autosave-dir "$state" --actions "$tmp/20.actions" "$map" || fail "20 edits (2): the run failed"
touch -d '+1 minute' "$map"
run --save-map "$tmp/plain.txt" "$map" || fail "the plain run failed"
run --autosave-dir "$state" --report "$tmp/newer.json" --save-map "$tmp/kept.txt" "$map" || fail "the newer run failed"
grep -q 'マップファイルはこの変更の後に更新されています' "$tmp/newer.json" || fail "the question does not call the map newer"
[ -n "$(recoveries)" ] && fail "discarding left the recovery file"
cmp -s "$tmp/kept.txt" "$tmp/plain.txt" || fail "discarding changed the layout"

# An unreadable recovery file goes aside and the start goes on.
mkdir -p "$state"
recovery=$state/recovery-1-1.txt
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
[ -n "$(recoveries)" ] && fail "3 edits wrote the recovery file before the signal"
kill -TERM $pid
wait $pid
[ -f "$state/recovery-$pid-"*.txt ] || fail "SIGTERM left no recovery file"
cmp -s "$map" "$tmp/demo.orig" || fail "SIGTERM wrote the user's map"
rm -f "$state"/recovery-*

# long ACTIONS NAME: a run in the background that stops after its script's edits; its pid in
# $pid once its report NAME.json is written.
long()
{
    { cat "$1"; echo "report $tmp/$2.json"; echo "frames 1000000"; } >"$tmp/$2.actions"
    "$bin" --headless --settings "$tmp/bin/korvela.ini" --autosave-dir "$state" --actions "$tmp/$2.actions" \
        --report "$tmp/$2.end.json" "$map" 2>>"$tmp/log" &
    pid=$!
    for _ in $(seq 900); do
        [ -e "$tmp/$2.json" ] && return
        sleep 0.1
    done
    fail "$2 did not get through its edits"
}
# questions REPORT: how many recovery questions the run asked.
questions() { grep -o '前回、保存されていない変更がありました' "$1" | wc -l; }

# --- two runs in one folder, each with its own file; a save, a start and a kill of one never
# touch the other's.
edits 20 5 >"$tmp/b.edits"
run --actions "$tmp/b.edits" --save-map "$tmp/b.ref.txt" "$map" || fail "the reference run of B failed"
long "$tmp/20.actions" a
a=$pid
long "$tmp/b.edits" b
b=$pid
[ "$(recoveries | wc -l)" = 2 ] || fail "two runs keep $(recoveries | wc -l) recovery files"
afile=$(ls "$state/recovery-$a-"*.txt) || fail "A has no file of its own"
run --autosave-dir "$state" --actions "$tmp/saved.actions" "$map" || fail "the saving run failed"
[ -f "$afile" ] || fail "another run's save deleted A's file"
run --autosave-dir "$state" --report "$tmp/live.json" "$map" || fail "the start beside two live runs failed"
[ "$(questions "$tmp/live.json")" = 0 ] || fail "a live run's file was offered"
[ "$(recoveries | wc -l)" = 2 ] || fail "a start beside two live runs changed their files"
kill -9 $a
wait $a 2>/dev/null
run --autosave-dir "$state" --report "$tmp/after-a.json" --save-map "$tmp/after-a.txt" "$map" ||
    fail "the start after A's kill failed"
[ "$(questions "$tmp/after-a.json")" = 1 ] || fail "after A's kill: $(questions "$tmp/after-a.json") questions"
cmp -s "$tmp/after-a.txt" "$tmp/edited.txt" || fail "A's edits were not restored"
[ -e "$afile" ] && fail "A's restored file stayed"
ls "$state/recovery-$b-"*.txt >/dev/null 2>&1 || fail "restoring A's file took B's"
kill -9 $b
wait $b 2>/dev/null
run --autosave-dir "$state" --report "$tmp/after-b.json" --save-map "$tmp/after-b.txt" "$map" ||
    fail "the start after B's kill failed"
[ "$(questions "$tmp/after-b.json")" = 1 ] || fail "after B's kill: $(questions "$tmp/after-b.json") questions"
cmp -s "$tmp/after-b.txt" "$tmp/b.ref.txt" || fail "B's edits were not restored"
[ -n "$(recoveries)" ] && fail "files left after both restores: $(recoveries)"

# --- a map named relative to the working folder: the file holds its absolute path, and a start
# from another folder restores it. A file of an older version with a relative path counts from
# the working folder when it is not beside the file.
{ edits 20; echo "frames 1000000"; } >"$tmp/rel.actions"
(cd "$tmp/bin" && exec "$bin" --headless --settings korvela.ini --autosave-dir "$state" \
    --actions "$tmp/rel.actions" objects/demo.txt 2>>"$tmp/log") &
pid=$!
for _ in $(seq 900); do
    [ -n "$(recoveries)" ] && break
    sleep 0.1
done
kill -9 $pid
wait $pid 2>/dev/null
recovery=$(recoveries)
grep -qx "map=$map" "$recovery" || fail "a relative map path was kept as: $(sed -n 2p "$recovery")"
sed 's|^map=.*|map=objects/demo.txt|' "$recovery" >"$state/recovery.txt"
mv "$recovery" "$tmp/rel.kept"
(cd "$tmp/bin" && "$bin" --headless --settings korvela.ini --autosave-dir "$state" \
    --save-map "$tmp/rel-old.txt" 2>>"$tmp/log") || fail "the older file's restore failed"
cmp -s "$tmp/rel-old.txt" "$tmp/edited.txt" || fail "an older file with a relative path was not restored"
mv "$tmp/rel.kept" "$recovery"
(cd / && "$bin" --headless --settings "$tmp/bin/korvela.ini" --autosave-dir "$state" \
    --save-map "$tmp/rel.txt" 2>>"$tmp/log") || fail "the start from another folder failed"
cmp -s "$tmp/rel.txt" "$tmp/edited.txt" || fail "the start from another folder did not restore the edits"

# --- a restore that fails keeps the map that was opened, unchanged and loaded, and the file,
# set aside under a number that never replaces an older one.
rm -f "$state"/recovery*
mkdir -p "$state"
bad=$state/recovery-7-7.txt
for n in 1 2; do
    # A layout never saved (no map file): the question restores by default. Its text is no map
    # (one naming a type the folder lacks would restore, the objects kept as placeholders).
    { printf 'KORVELA Recovery\nmap=%s\nmap-time=0\nmap-size=-1\nwritten=1\n' "$tmp/bin/objects/unsaved.txt"
      printf 'KORVELA Map Data?\r\n:Object Name\r\nnosuch%s\r\n:Map Data\r\n0 0 0 0 0 0 -1\r\n' $n; } >"$bad"
    run --autosave-dir "$state" --report "$tmp/failed$n.json" --save-map "$tmp/failed$n.txt" "$map" ||
        fail "the run with a recovery that cannot be restored failed"
    cmp -s "$tmp/failed$n.txt" "$tmp/plain.txt" || fail "a failed restore changed the open layout ($n)"
done
grep -q "nosuch1" "$bad.bad" && grep -q "nosuch2" "$bad.bad.1" || fail "set-aside files: $(ls "$state")"
grep -q "復元ファイルを読み込めませんでした。次の名前で残しました: $bad.bad.1" "$tmp/failed2.json" ||
    fail "the message does not say where the file went"

# --- a FIFO, a link and a folder where a recovery file would be: set aside at once, never waited on.
mkfifo "$state/recovery-8-8.txt"
ln -s /dev/zero "$state/recovery-9-9.txt"
timeout 60 "$bin" --headless --settings "$tmp/bin/korvela.ini" --autosave-dir "$state" \
    --report "$tmp/fifo.json" "$map" 2>>"$tmp/log" || fail "a FIFO among the recovery files: status $?"
[ -p "$state/recovery-8-8.txt.bad" ] && [ -L "$state/recovery-9-9.txt.bad" ] ||
    fail "the FIFO and the link were not set aside: $(ls "$state")"

# --- SIGHUP (a closed terminal) is a close that cannot ask: the edits go to the recovery file, the
# run says it was cut short and ends with status 1.
rm -f "$state"/recovery*
mkdir -p "$state"
long "$tmp/19.actions" hup
kill -HUP $pid
wait $pid
status=$?
[ $status = 1 ] || fail "a run stopped by SIGHUP ended with status $status"
ls "$state/recovery-$pid-"*.txt >/dev/null 2>&1 || fail "SIGHUP left no recovery file"
grep -q '"interrupted": *true' "$tmp/hup.end.json" || fail "the report does not say the run was cut short"
grep -q '"interrupted"' "$tmp/hup.json" && fail "a report before the signal says interrupted"
cmp -s "$map" "$tmp/demo.orig" || fail "SIGHUP wrote the user's map"
echo ok
