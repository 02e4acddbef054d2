#!/bin/bash
# Figures of the window's pass clock, taken on the running demo under Xvfb (software renderer):
# train 1 on autopilot at 4 km/h (a speed no key tap can vary) for a fixed wall time in several set-ups, the distance it
# covers, and the program's frames and processor time in a small window. Not a test: timings
# depend on the machine; run it on an idle one with a release build.
#   bash bench/clock_figures.sh BUILD_DIR [SECONDS]   (SEND_CLOSE: the close helper of a test build)
set -u
build=${1:?build folder}
secs=${2:-10}
exe=$build/src/front/korvela
content=$build/src/front
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export DISPLAY=:77 LANG=C.UTF-8 ASAN_OPTIONS=detect_leaks=0 XDG_STATE_HOME=$work/state
Xvfb :77 -screen 0 1280x1024x24 -noreset >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb; rm -rf "$work"' EXIT
sleep 1

# run NAME SYNC REALTIME KEYS_AFTER_START [SIZE]: one run; prints the distance and clock figures.
run()
{
    local name=$1 sync=$2 realtime=$3 keys=$4 size=${5:-}
    local dir=$work/$name
    mkdir -p "$dir"
    cp "$exe" "$dir/korvela"
    for folder in objects trains car plane helicopter; do cp -r "$content/$folder" "$dir/"; done
    cp "$content/korvela.ini" "$dir/korvela.ini"
    sed -i "s/^Douki=.*/Douki=$sync/" "$dir/korvela.ini"
    # Train 1 alone on autopilot at 4 km/h; whatever operation data the demo has is replaced.
    sed -i '/^:Operation Data/,$d' "$dir/objects/demo.txt"
    printf ':Operation Data\nslot,1,1,4,0\n' >>"$dir/objects/demo.txt"
    grep -q '^RealTime=' "$dir/korvela.ini" && sed -i "s/^RealTime=.*/RealTime=$realtime/" "$dir/korvela.ini" ||
        sed -i "/^Douki=/a RealTime=$realtime" "$dir/korvela.ini"
    "$dir/korvela" --report "$dir/report.json" "$dir/objects/demo.txt" >"$dir/log" 2>&1 &
    local pid=$! main=""
    for _ in $(seq 300); do
        main=$(xdotool search --onlyvisible --pid $pid --name "korvela - demo" 2>/dev/null | head -1)
        [ -n "$main" ] && xdotool search --onlyvisible --pid $pid --name "メッセージ" >/dev/null 2>&1 && break
        sleep 0.2
    done
    sleep 2
    xdotool windowfocus --sync "$main"; xdotool key --delay 100 Return F2 $keys
    [ -n "$size" ] && xdotool windowsize "$main" ${size/x/ }
    sleep 1
    local before after
    before=$(awk '{print $14 + $15}' /proc/$pid/stat)
    pidstat -p $pid 1 $((secs - 1)) >"$dir/pidstat" 2>&1 &
    local pidstat=$!
    sleep "$secs"
    after=$(awk '{print $14 + $15}' /proc/$pid/stat)
    wait $pidstat
    "${SEND_CLOSE:-$build/tests/korvela_send_close}" "$main"
    for _ in $(seq 100); do kill -0 $pid 2>/dev/null || break; sleep 0.2; done
    kill -9 $pid 2>/dev/null
    python3 - "$dir/report.json" "$name" "$before" "$after" "$secs" "$(tail -1 "$dir/pidstat")" <<'PY'
import json, sys
r = json.load(open(sys.argv[1])); name = sys.argv[2]
ticks = (int(sys.argv[4]) - int(sys.argv[3])) / 100
t = r["trains"][0]; c = r["clock"]
print(f"{name:28s} distance/s {t['distance'] / c['seconds']:8.3f}  passes/s {c['passes'] / c['seconds']:6.1f}  frames/s {c['frames'] / c['seconds']:6.1f}"
      f"  rate {c['rate']}  cpu {100 * ticks / float(sys.argv[5]):5.1f}%  ({sys.argv[6].split()[-4:-2] if sys.argv[6] else ''})")
PY
}

[ -n "${ONLY_SMALL:-}" ] || {
run default-sync 1 1 ""
run default-nosync 0 1 ""
run whole-layout-sync 1 1 "ctrl+Home"
run whole-layout-nosync 0 1 "ctrl+Home"
run x4 1 1 "bracketright bracketright"
run no-realtime 0 0 ""
run whole-layout-no-realtime 0 0 "ctrl+Home"
}
run small-nosync 0 1 "" 320x240
run small-nosync-no-realtime 0 0 "" 320x240
