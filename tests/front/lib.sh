# Shared steps of the window program's end-to-end tests, sourced by each test script. The
# scripts run inside xvfb-run with three arguments: the korvela executable, the close-request
# helper and the folder that keeps the screenshots. With KV_WM set (a window manager's command,
# such as openbox) the script first starts that window manager on the display and waits until
# it manages the screen; without it the windows stand on the bare X server.
# Every wait polls with a time limit; nothing here waits on a fixed sleep alone.

set -u

KV_EXE=$1
KV_SEND_CLOSE=$2
KV_SHOTS=$3
mkdir -p "$KV_SHOTS"

export LANG=C.UTF-8
# The checks read the Japanese texts, whatever the desktop of the machine speaks: the C locale
# gives them (a Japanese LANGUAGE would also change the toolkit's fonts and so the dialog sizes).
unset LANGUAGE LC_ALL LC_MESSAGES
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=0}
# Never reach the network from a test.
unset KORVELA_WEB_BASE

KV_TMP=$(mktemp -d)
# Recovery files of these runs stay in the test's own folder, never in the user's state folder.
export XDG_STATE_HOME=$KV_TMP/state
KV_PID=
KV_LOG=$KV_TMP/program.log
KV_BIN=
KV_DIR=
KV_CODE=

KV_WM_PID=

kv_cleanup()
{
    if [ -n "$KV_PID" ] && kill -0 "$KV_PID" 2>/dev/null; then
        kill -KILL "$KV_PID" 2>/dev/null
        wait "$KV_PID" 2>/dev/null
    fi
    if [ -n "$KV_WM_PID" ]; then
        kill "$KV_WM_PID" 2>/dev/null
        wait "$KV_WM_PID" 2>/dev/null
    fi
    rm -rf "$KV_TMP"
}
trap kv_cleanup EXIT

# A window manager that follows the EWMH names its check window on the root window once it
# manages the screen.
kv_wm_running()
{
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'
}

# The X server answers before anything is started on it: on a loaded machine a program started
# at once has been seen to fail to open the display.
kv_x_deadline=$((SECONDS + 30))
until xdpyinfo >/dev/null 2>&1; do
    [ $SECONDS -lt $kv_x_deadline ] || { echo "FAIL: the X server on ${DISPLAY:-no display} does not answer"; exit 1; }
    sleep 0.1
done

if [ -n "${KV_WM:-}" ]; then
    command -v "$KV_WM" >/dev/null || { echo "FAIL: window manager $KV_WM is not installed"; exit 1; }
    "$KV_WM" >"$KV_TMP/wm.log" 2>&1 &
    KV_WM_PID=$!
    kv_wm_deadline=$((SECONDS + 30))
    until kv_wm_running; do
        kill -0 "$KV_WM_PID" 2>/dev/null || { echo "FAIL: $KV_WM ended at start"; cat "$KV_TMP/wm.log"; exit 1; }
        [ $SECONDS -lt $kv_wm_deadline ] || { echo "FAIL: $KV_WM did not take the screen"; exit 1; }
        sleep 0.1
    done
fi

fail()
{
    {
        echo "FAIL: $*"
        # What the screen showed at the failure, for the one who reads the log.
        import -window root "$KV_SHOTS/failure.png" 2>/dev/null && echo "screen at failure: $KV_SHOTS/failure.png"
        if [ -s "$KV_LOG" ]; then
            echo "--- program output (last lines)"
            tail -n 30 "$KV_LOG"
        fi
    } >&2
    # Called inside $(...), exit would end only that subshell and the script would go on
    # without what it asked for: the whole script ends (its EXIT trap cleans up).
    [ "$BASHPID" = "$$" ] || kill -TERM $$
    exit 1
}

# kv_install NAME: a copy of the program named NAME in a fresh folder; its settings file is
# written beside it.
kv_install()
{
    KV_DIR=$(mktemp -d -p "$KV_TMP")
    cp "$KV_EXE" "$KV_DIR/$1"
    KV_BIN=$KV_DIR/$1
    KV_MAIN_TITLE="$1 - *"
}

# The main window's title at start-up, a pattern as kv_find takes it: "NAME - *" (kv_install
# sets it; the title names the map the start opens from the first moment), or "korvela - MAP"
# for a script that starts with a known map. The window keeps its id (KV_MAIN_ID, once kv_start
# found it) while its title follows the open map and its unsaved changes.
KV_MAIN_TITLE="korvela - *"
KV_MAIN_ID=

# kv_demo_settings MAPFILE: the installed program's settings file, with the objects in its own
# folder (KV_DIR/objects), the demo vehicles of the build folder and MAPFILE as the map file.
kv_demo_settings()
{
    local content
    content=$(dirname "$KV_EXE")
    cat >"$KV_DIR/korvela.ini" <<EOF
[korvela]
Object=$KV_DIR/objects/
Background=ground
Train=$content/trains/
Plane=$content/plane/
Helicopter=$content/helicopter/
Car=$content/car/
FileName=$1
CamLocateIndex=8
CamViewIndex=1
Kidou=2
PointSprite=1
PointSpriteType=0
Moji=1
Light=100
Line=0
Gensoku=1
Douki=1
DriveType=2
EOF
}

# kv_start [ARGS...]: starts the installed program and waits for its main window.
kv_start()
{
    KV_MAIN_ID=
    "$KV_BIN" "$@" >"$KV_LOG" 2>&1 &
    KV_PID=$!
    kv_wait_window "$KV_MAIN_TITLE" 90 || fail "the main window did not appear"
    KV_MAIN_ID=$(kv_find "$KV_MAIN_TITLE")
    # Start-up ends by opening the messages viewer.
    kv_wait_window "メッセージ" 60 || fail "start-up did not open the messages viewer"
    kv_settle
}

# kv_keeps COMMAND...: waits (up to 20 s) until what the command prints stays the same for a
# second.
kv_keeps()
{
    local deadline=$((SECONDS + 20)) last="" now same=0
    while [ $SECONDS -lt $deadline ]; do
        now=$("$@")
        if [ "$now" = "$last" ]; then
            same=$((same + 1))
            [ $same -ge 4 ] && return 0
        else
            same=0
            last=$now
        fi
        sleep 0.25
    done
    return 1
}

# Place and size of one window.
kv_window_geometry()
{
    xwininfo -id "$1" 2>/dev/null | awk '/Absolute upper-left/ { printf "%s ", $4 } /Width:|Height:/ { printf "%s ", $2 }'
}

kv_main_geometry() { kv_window_geometry "$(kv_main)"; }

# Place and size of every window of the program shown now.
kv_shown_geometry()
{
    local window
    for window in $(xdotool search --onlyvisible --pid "$KV_PID" 2>/dev/null | sort); do
        kv_window_geometry "$window"
    done
}

# kv_settle: waits until the main window and the windows shown with it keep their places and
# sizes for a second. A window manager may still move a window it has just placed (and the
# program asks for the screen's corner once its view is ready, then puts the messages viewer
# beside it), so what a test measures before that would point beside the window.
kv_settle()
{
    kv_keeps kv_main_geometry && kv_keeps kv_shown_geometry
}

kv_windows()
{
    xdotool search --pid "$KV_PID" 2>/dev/null
}

kv_title()
{
    xprop -id "$1" _NET_WM_NAME 2>/dev/null | sed -n 's/^_NET_WM_NAME(UTF8_STRING) = "\(.*\)"$/\1/p'
}

kv_viewable()
{
    xwininfo -id "$1" 2>/dev/null | grep -q 'Map State: IsViewable'
}

# kv_find TITLE: the id of the program's shown window with this title (a shell pattern).
kv_find()
{
    local window
    for window in $(kv_windows); do
        # shellcheck disable=SC2254
        case "$(kv_title "$window")" in
            $1) ;;
            *) continue ;;
        esac
        if kv_viewable "$window"; then
            echo "$window"
            return 0
        fi
    done
    return 1
}

# kv_wait_window TITLE SECONDS: waits until the window is shown.
kv_wait_window()
{
    local deadline=$((SECONDS + $2))
    while [ $SECONDS -lt $deadline ]; do
        kill -0 "$KV_PID" 2>/dev/null || fail "the program ended while waiting for \"$1\""
        kv_find "$1" >/dev/null && return 0
        sleep 0.2
    done
    return 1
}

# kv_wait_hidden TITLE SECONDS: waits until no window of this title is shown.
kv_wait_hidden()
{
    local deadline=$((SECONDS + $2))
    while [ $SECONDS -lt $deadline ]; do
        kv_find "$1" >/dev/null || return 0
        sleep 0.2
    done
    return 1
}

# kv_stays TITLE SECONDS: the window is still shown after that time.
kv_stays()
{
    local deadline=$((SECONDS + $2))
    while [ $SECONDS -lt $deadline ]; do
        kv_find "$1" >/dev/null || return 1
        sleep 0.2
    done
    return 0
}

# kv_poll SECONDS COMMAND...: runs the command until it succeeds or the time is up.
kv_poll()
{
    local deadline=$((SECONDS + $1))
    shift
    while [ $SECONDS -lt $deadline ]; do
        kill -0 "$KV_PID" 2>/dev/null || fail "the program ended"
        "$@" && return 0
        sleep 0.3
    done
    return 1
}

# kv_region WINDOW CROP: a fingerprint of that part (WxH+X+Y, empty for all) of the window as it
# is drawn now.
kv_region()
{
    import -window "$1" ${2:+-crop "$2" +repage} -depth 8 rgb:- 2>/dev/null | md5sum | cut -d' ' -f1
}

kv_region_differs() { [ "$(kv_region "$1" "$2")" != "$3" ]; }

# kv_changes WINDOW CROP COMMAND...: runs the command, then waits (up to 20 s) until that part of
# the window looks different from before it.
kv_changes()
{
    local window=$1 crop=$2 before
    shift 2
    before=$(kv_region "$window" "$crop")
    "$@"
    kv_poll 20 kv_region_differs "$window" "$crop" "$before"
}

# kv_steady WINDOW CROP: waits (up to 20 s) until that part of the window is drawn the same twice
# in a row.
kv_steady()
{
    local last now deadline=$((SECONDS + 20))
    last=$(kv_region "$1" "$2")
    while [ $SECONDS -lt $deadline ]; do
        sleep 0.2
        now=$(kv_region "$1" "$2")
        [ "$now" = "$last" ] && return 0
        last=$now
    done
    return 1
}

# kv_open_menu X: a click on the main window's menu bar at X (the keyboard's Alt would stay with
# whichever window has the focus); waits until the menu is drawn below it.
kv_open_menu()
{
    local main at
    main=$(kv_main)
    at=$(xwininfo -id "$main" | awk -v x="$1" '/Absolute upper-left X/ { ax = $4 } /Absolute upper-left Y/ { ay = $4 }
        END { printf "160x80+%d+%d", (ax + x > 20 ? ax + x - 20 : 0), ay + 30 }')
    kv_changes root "$at" xdotool mousemove --window "$main" "$1" 12 click 1 || fail "no menu opened at $1"
}

# kv_stays_hidden TITLE SECONDS: no window of this title shows up in that time.
kv_stays_hidden()
{
    local deadline=$((SECONDS + $2))
    while [ $SECONDS -lt $deadline ]; do
        kv_find "$1" >/dev/null && return 1
        sleep 0.2
    done
    return 0
}

kv_main()
{
    local window=$KV_MAIN_ID
    [ -n "$window" ] || window=$(kv_find "$KV_MAIN_TITLE") || fail "the main window is not shown"
    kv_viewable "$window" || fail "the main window is not shown"
    echo "$window"
}

# kv_key KEY...: presses keys with the main window focused, as a user at its keyboard.
kv_key()
{
    local main
    main=$(kv_main)
    timeout 10 xdotool windowfocus --sync "$main" || fail "could not focus the main window"
    xdotool key --delay 80 "$@"
}

# kv_start_loop [SETTINGS_TITLE]: presses the Start button (it has the keyboard once start-up is
# over) and waits until the loop polls the function keys, proven by F3 showing the settings
# dialog (titled "設定" unless given; F3 again hides it).
kv_start_loop()
{
    local settings=${1:-設定}
    # Return reaches Start only once the button holds the keyboard, which a busy machine may
    # delay past the viewer's opening: pressed again until the loop answers F3.
    local try width
    for try in 1 2 3; do
        kv_key Return
        kv_key F3
        kv_wait_window "$settings" 15 && break
        # Pressed with the mouse then: the button at the tool bar's right end.
        width=$(xwininfo -id "$(kv_main)" | awk '/Width:/ { print $2 }')
        xdotool mousemove --window "$(kv_main)" $((width - 24)) 38 click 1
    done
    kv_find "$settings" >/dev/null || { kv_shot start-failure; fail "F3 did not show the settings dialog after Start"; }
    kv_key F3
    kv_wait_hidden "$settings" 20 || fail "F3 did not hide the settings dialog"
}

# kv_wait_exit SECONDS: waits for the program to end; its exit code is left in KV_CODE.
kv_wait_exit()
{
    local deadline=$((SECONDS + $1))
    while [ $SECONDS -lt $deadline ]; do
        if ! kill -0 "$KV_PID" 2>/dev/null; then
            KV_CODE=0
            wait "$KV_PID" || KV_CODE=$?
            KV_PID=
            return 0
        fi
        sleep 0.2
    done
    return 1
}

# kv_rect TITLE: "x y width height" of the shown window of that title, on the screen.
kv_rect()
{
    local window
    window=$(kv_find "$1") || fail "no window \"$1\" is shown"
    kv_window_rect "$window"
}

# kv_window_rect WINDOW: as kv_rect, for a window found before.
kv_window_rect()
{
    xwininfo -id "$1" | awk '/Absolute upper-left X/ {x=$4} /Absolute upper-left Y/ {y=$4}
        /Width:/ {w=$2} /Height:/ {h=$2} END {print x, y, w, h}'
}

kv_lie_apart()
{
    echo "$(kv_rect "$1") $(kv_rect "$2")" |
        awk '{ exit !($1 + $3 <= $5 || $5 + $7 <= $1 || $2 + $4 <= $6 || $6 + $8 <= $2) }'
}

# kv_apart TITLE TITLE: the two shown windows do not overlap, once the program and the window
# manager have put them in their places.
kv_apart()
{
    kv_poll 10 kv_lie_apart "$1" "$2" || fail "\"$1\" at $(kv_rect "$1") and \"$2\" at $(kv_rect "$2") overlap"
}

# kv_colour_count FILE COLOUR: how many pixels of the picture have that colour.
kv_colour_count()
{
    convert "$1" -depth 8 -format %c histogram:info:- | awk -v c="$2" '$3 == c { n = $1 + 0 } END { print n + 0 }'
}

# kv_map_creation: presses "マップの作成" on the tool bar (its icon is the only one of its colour)
# and waits for the object dialog it shows. The tool bar is looked for until it is drawn: under a
# window manager the first frames may still show the window before its tool bar was laid out.
kv_map_creation() { kv_press_map_creation; }
kv_press_map_creation()
{
    local create_at="" deadline=$((SECONDS + 30))
    while [ $SECONDS -lt $deadline ]; do
        import -window "$(kv_main)" -crop 400x110+0+0 -depth 8 txt:- >"$KV_TMP/toolbar.txt" 2>/dev/null &&
            create_at=$(awk -F'[,: ]+' '/#FAC828/ { x += $1; y += $2; n++ } END { if (n) printf "%d %d", x / n, y / n }' \
                "$KV_TMP/toolbar.txt")
        [ -n "$create_at" ] && break
        sleep 0.3
    done
    [ -n "$create_at" ] || { kv_shot toolbar-failure; fail "the map creation tool was not found"; }
    xdotool mousemove --window "$(kv_main)" $create_at click 1
    kv_wait_window "オブジェクト" 20 || fail "map creation did not show the object dialog"
}

# kv_click_in TITLE X Y: a click at a client point of the shown window of that title, raised,
# once it keeps its place (a window just shown may still be moved to it).
kv_click_in()
{
    local window
    window=$(kv_find "$1") || fail "no window \"$1\" is shown"
    kv_keeps kv_window_geometry "$window" || fail "\"$1\" kept moving"
    xdotool windowraise "$window"
    xdotool mousemove --window "$window" "$2" "$3" click 1
}

# kv_type_in TITLE X Y TEXT: TEXT typed over what the box at a client point of that window holds.
kv_type_in()
{
    local window
    window=$(kv_find "$1") || fail "no window \"$1\" is shown"
    kv_keeps kv_window_geometry "$window" || fail "\"$1\" kept moving"
    xdotool windowraise "$window"
    timeout 10 xdotool windowfocus --sync "$window" || fail "could not focus \"$1\""
    xdotool mousemove --window "$window" "$2" "$3" click 1
    xdotool key ctrl+a
    xdotool type --delay 80 "$4"
}

# kv_look_down [X]: a right drag over the view (from X, 300 unless given) that turns the camera to
# look down on the ground.
kv_look_down()
{
    xdotool mousemove --window "$(kv_main)" "${1:-300}" 400 mousedown 3
    local step
    for step in $(seq 20); do
        xdotool mousemove_relative 0 8
        sleep 0.05
    done
    xdotool mouseup 3
}

kv_shot()
{
    import -window root "$KV_SHOTS/$1.png" || fail "screenshot $1 failed"
}

# kv_settings_keys FILE: the keys of the settings file, one a line, in file order.
kv_settings_keys()
{
    tr -d '\r' <"$1" | awk -F= '/^\[/ || /^;/ { next } NF > 1 { print $1 }'
}

kv_setting()
{
    tr -d '\r' <"$1" | sed -n "s/^$2=//p"
}

KV_SETTINGS_KEYS="Object Background Train Plane Helicopter Car FileName CamLocateIndex CamViewIndex Kidou PointSprite PointSpriteType Moji Light Line Gensoku Douki DriveType RealTime CheckGrade CheckClearance RecentFile1 RecentFile2 RecentFile3 RecentFile4 RecentFile5 RecentFile6 RecentFile7 RecentFile8"

# kv_check_settings FILE SECTION: the file holds one section of that name with the 19 keys, the
# layout check's two thresholds and the eight recent maps in their order.
kv_check_settings()
{
    [ -f "$1" ] || fail "no settings file $1"
    local sections
    sections=$(tr -d '\r' <"$1" | sed -n 's/^\[\(.*\)\]$/\1/p')
    [ "$sections" = "$2" ] || fail "settings file $1 has sections [$sections], expected [$2]"
    local keys
    keys=$(kv_settings_keys "$1" | tr '\n' ' ' | sed 's/ $//')
    [ "$keys" = "$KV_SETTINGS_KEYS" ] || fail "settings keys are \"$keys\""
}
