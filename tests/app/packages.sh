#!/usr/bin/env bash
# Maps that travel, met by the program without a window: the demo with one object type's files
# gone loads every other object, names the type once and saves back byte for byte; the demo
# packed, unpacked on a fresh HOME and run again gives the same trains and objects, and the
# package holds only what the layout uses; a refused package ends the run with exit code 1.
#   packages.sh KORVELA_EXECUTABLE
. "$(dirname "$0")/demo_copy.sh"
export LANGUAGE=ja LC_ALL=C.UTF-8
map=$tmp/bin/objects/demo.txt

# Trains, objects and the types the objects use, from a run report.
digest() {
  python3 -c 'import json,sys
r=json.load(open(sys.argv[1]))
print(json.dumps([r["trains"], r["objects"], sorted({o["type"] for o in r["objects"]})]))' "$1"
}

"$bin" --headless --pack "$tmp/demo.korvela.zip" --report "$tmp/orig.json" "$map" >"$tmp/out.log" 2>&1 ||
  fail "--pack exited $?: $(cat "$tmp/out.log")"
listing=$(unzip -Z1 "$tmp/demo.korvela.zip")
grep -qx "objects/demo.txt" <<<"$listing" || fail "no map in the package"
grep -qx "package.txt" <<<"$listing" || fail "no manifest in the package"
grep -qx "trains/electric_4car.txt" <<<"$listing" || fail "no train in the package"
for type in $(unzip -Z1 "$tmp/demo.korvela.zip" 'objects/*.ini' | sed 's|objects/||; s|\.ini$||'); do
  grep -qa -x "$type"$'\r' "$map" || fail "the package holds $type, which the map does not use"
done

mkdir "$tmp/home"
HOME=$tmp/home XDG_DATA_HOME= "$bin" --headless --unpack "$tmp/demo.korvela.zip" "$tmp/home/unpacked" \
  --report "$tmp/unpacked.json" >"$tmp/out.log" 2>&1 || fail "--unpack exited $?: $(cat "$tmp/out.log")"
[ "$(digest "$tmp/orig.json")" = "$(digest "$tmp/unpacked.json")" ] || fail "the unpacked layout differs"
cmp -s "$map" "$tmp/home/unpacked/objects/demo.txt" || fail "the unpacked map differs"
# Into a folder that exists: a new one inside, named after the map, then a second copy beside it.
for copy in demo "demo (2)"; do
  HOME=$tmp/home "$bin" --headless --unpack "$tmp/demo.korvela.zip" "$tmp/home/unpacked" >/dev/null 2>&1 ||
    fail "a further --unpack failed"
  cmp -s "$map" "$tmp/home/unpacked/$copy/objects/demo.txt" || fail "the copy '$copy' differs"
done

# Truncated: refused, exit 1, the reason said, nothing left.
head -c 2000 "$tmp/demo.korvela.zip" >"$tmp/cut.zip"
"$bin" --headless --unpack "$tmp/cut.zip" "$tmp/refused" >"$tmp/out.log" 2>&1; code=$?
[ $code -eq 1 ] || fail "a truncated package exited $code"
grep -q "zip" "$tmp/out.log" || fail "no reason for the truncated package: $(cat "$tmp/out.log")"
[ ! -e "$tmp/refused" ] || fail "a refused package left $(ls -A "$tmp/refused")"

# One type's files gone: everything else loads, one message, the save is the original file.
type=tree_conifer
rm "$tmp/bin/objects/$type".*
"$bin" --headless --report "$tmp/r.json" --save-map "$tmp/saved.txt" "$map" >"$tmp/out.log" 2>&1 ||
  fail "the map without $type exited $?: $(cat "$tmp/out.log")"
cmp -s "$map" "$tmp/saved.txt" || fail "the save without $type differs from the map"
python3 - "$tmp/r.json" "$tmp/orig.json" "$type" <<'PY' || fail "the report without $type"
import json, sys
r, orig, gone = json.load(open(sys.argv[1])), json.load(open(sys.argv[2])), sys.argv[3]
kept = sum(o["type"] == gone for o in orig["objects"])
assert kept > 0 and r["placeholders"] == kept and r["missing_types"] == {gone: kept}, r.get("missing_types")
assert [o["type"] for o in r["objects"]] == [o["type"] for o in orig["objects"]]
assert sum(gone in m for m in r["messages"]) == 1, r["messages"]
PY
echo "packages: OK"
