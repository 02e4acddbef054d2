#!/usr/bin/env bash
# Models with NaN, infinite or overflowing geometry, and maps that cannot be loaded, met by the
# program without a window: --inspect-mesh refuses the models with a reason and exit code 1; a
# headless run of the demo with those models as object types, train cars, aeroplane and road car
# treats them as models that did not load (exit 0, nothing non-finite in the report); a map that
# cannot be loaded ends the run with exit code 1 and the reason on standard error.
#   hostile_models.sh KORVELA_EXECUTABLE
. "$(dirname "$0")/demo_copy.sh"

mesh() { printf 'xof 0303txt 0032\nFrame {\n FrameTransformMatrix { %s;; }\n Mesh { 3; %s;, 0;1;0;, 1;0;0;; 1; 3;0,1,2;; }\n}\n' "$1" "$2"; }
mesh "1,0,0,0, 0,1,0,0, 0,0,1,0, 0,0,0,1" "0;nan;0" >"$tmp/nan_vertex.x"
mesh "1,0,0,0, 0,1,0,0, 0,0,1,0, inf,0,0,1" "0;0;0" >"$tmp/inf_frame.x"
mesh "1e10,0,0,0, 0,1e10,0,0, 0,0,1e10,0, 0,0,0,1" "1e38;0;0" >"$tmp/overflow.x"

for model in nan_vertex inf_frame overflow; do
  out=$("$bin" --inspect-mesh "$tmp/$model.x"); code=$?
  [ $code -eq 1 ] || fail "--inspect-mesh $model.x exited $code"
  case "$out" in '{"ok":false,"error":"'?*) ;; *) fail "--inspect-mesh $model.x said $out" ;; esac
done

# The first object type of the demo map, the second car of two trains (which then end after
# their first car), the aeroplane and the road car.
first_type=$(grep -a -A1 '^:Object Name' "$tmp/bin/objects/demo.txt" | tail -n1 | tr -d '\r')
[ -f "$tmp/bin/objects/$first_type.x" ] || fail "no object type '$first_type' in the demo"
cp "$tmp/nan_vertex.x" "$tmp/bin/objects/$first_type.x"
cp "$tmp/inf_frame.x" "$tmp/bin/trains/ec_pantograph.x"
cp "$tmp/nan_vertex.x" "$tmp/bin/trains/wagon_box.x"
for plane in "$tmp"/bin/plane/*.x; do cp "$tmp/overflow.x" "$plane"; done
for road in "$tmp"/bin/car/*.x; do cp "$tmp/nan_vertex.x" "$road"; done
# Huge numbers in a car model's .ini and the helicopter's are clamped, not carried into poses.
printf '[KORVELA]\r\n運転席座標y=1e30\r\n運転席座標z=9.2\r\n判定位置前方=3e38\r\n判定位置後方=-1e30\r\n' \
  >"$tmp/bin/trains/dc_railcar.ini"
for ini in "$tmp"/bin/helicopter/*.ini; do
  printf '[KORVELA]\r\n拡大率=1e30\r\n回転角度=-1e38\r\n操縦席y=1e30\r\n' >"$ini"
done

# Trains 1 to 3 accelerate; F7 twice hands the keypad to the aeroplane, which speeds up and climbs.
keys="Q@0-200,W@0-200,E@0-200,F7@5,F7@10,ADD@20-200,NUMPAD2@20-200,UP@0-100"
"$bin" --headless --frames 300 --keys "$keys" --report "$tmp/r.json" "$tmp/bin/objects/demo.txt" \
  >"$tmp/out.log" 2>&1; code=$?
[ $code -eq 0 ] || { cat "$tmp/out.log"; fail "the run with broken models exited $code"; }
grep -q '"frames":300' "$tmp/r.json" || fail "the run did not make 300 passes"
grep -q '"name":"electric_4car","speed":[^,]*,"distance":[^,]*,"cars":\[{[^]]*}\]' "$tmp/r.json" ||
  fail "electric_4car does not run with its first car alone"
grep -q 'clamped\|out of range' "$tmp/out.log" || fail "no line says that a value was clamped"
# No number turned into null (a train waiting for nothing says so with null, as it should).
if sed 's/"waiting_for":null//g' "$tmp/r.json" | grep -q 'null'; then
  fail "the report holds null: $(sed 's/"waiting_for":null//g' "$tmp/r.json" | grep -o '.\{60\}null.\{20\}' | head -3)"
fi

# Maps that cannot be loaded.
"$bin" --headless "$tmp/missing.txt" >"$tmp/out.log" 2>"$tmp/err.log"; code=$?
[ $code -eq 1 ] || fail "a missing map exited $code"
grep -q 'ファイルオープン失敗' "$tmp/err.log" || fail "a missing map said: $(cat "$tmp/err.log")"
truncate -s 256M "$tmp/nul.txt"
"$bin" --headless "$tmp/nul.txt" >"$tmp/out.log" 2>"$tmp/err.log"; code=$?
[ $code -eq 1 ] || fail "a map of NUL bytes exited $code"
grep -q 'データファイルではありません' "$tmp/err.log" || fail "a map of NUL bytes said: $(cat "$tmp/err.log")"
echo "PASS"
