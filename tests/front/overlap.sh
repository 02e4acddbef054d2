#!/bin/bash
# Windows keep out of each other's way: in Japanese and in English, each pair of the program's
# windows is shown together (settings, objects, messages, help, the check window, "運転管理"),
# and the windows at the side all at once (messages, then the check window and "運転管理" in
# one order in Japanese and the other in English). None may reach over the main window's menu
# and tool bar (with Start at its end); the settings and object dialogs, each two of the windows
# at the side, and the object dialog and the check window or "運転管理" lie side by side (where
# the screen is wide enough for both). Each window lies whole on the screen and no smaller than
# its least size, so that none of its controls is cut off.
. "$(dirname "$0")/lib.sh"

kv_install korvela
cp -r "$(dirname "$KV_EXE")/locale" "$(dirname "$KV_EXE")/en" "$KV_DIR/" || fail "no catalogue beside $KV_EXE"

# "x y w h" of the main window's menu and tool bar on the screen.
kv_bars()
{
    local main
    main=$(kv_main)
    xwininfo -id "$main" | awk '/Absolute upper-left X/ {x=$4} /Absolute upper-left Y/ {y=$4}
        /Width:/ {w=$2} END {print x, y, w, 54}'
}

# kv_frame_rect WINDOW: as kv_window_rect, with the window manager's frame (title bar, borders)
# around it.
kv_frame_rect()
{
    local extents
    extents=$(xprop -id "$1" _NET_FRAME_EXTENTS 2>/dev/null | sed -n 's/.*= //p' | tr -d ,)
    [ -n "$extents" ] || extents="0 0 0 0"
    echo "$(kv_window_rect "$1") $extents" | awk '{ print $1 - $5, $2 - $7, $3 + $5 + $6, $4 + $7 + $8 }'
}

# kv_frames WINDOW...: where the windows' frames stand.
kv_frames()
{
    local window
    for window in "$@"; do
        kv_frame_rect "$window"
    done
}

kv_screen_size() { xdpyinfo | awk '/dimensions:/ { split($2, d, "x"); print d[1], d[2] }'; }
kv_screen_width() { kv_screen_size | cut -d' ' -f1; }

# kv_whole WINDOW FRAME_RECT: the window lies on the screen, no smaller than its least size.
kv_whole()
{
    local least
    least=$(xprop -id "$1" WM_NORMAL_HINTS | awk '/minimum size:/ { print $5, $7 }')
    [ -n "$least" ] || least="0 0"
    echo "$2 $(kv_screen_size) $least $(kv_window_rect "$1")" |
        awk '{ exit !($1 >= 0 && $2 >= 0 && $1 + $3 <= $5 && $2 + $4 <= $6 && $11 >= $7 && $12 >= $8) }'
}

# The pairs that must lie apart.
kv_kept_apart()
{
    case "$1:$2" in
    settings:objects | messages:check | objects:check | messages:operation | check:operation | objects:operation) return 0 ;;
    esac
    return 1
}

kv_rects_apart()
{
    echo "$1 $2" | awk '{ exit !($1 + $3 <= $5 || $5 + $7 <= $1 || $2 + $4 <= $6 || $6 + $8 <= $2) }'
}

# kv_show TITLE KEY...: the keys shown it; waits for it.
kv_show()
{
    local title=$1
    shift
    kv_find "$title" >/dev/null && return 0
    kv_key "$@"
    kv_wait_window "$title" 20 || fail "$* did not show \"$title\""
}

kv_hide()
{
    local title=$1
    shift
    kv_find "$title" >/dev/null || return 0
    kv_key "$@"
    kv_wait_hidden "$title" 20 || fail "$* did not hide \"$title\""
}

# kv_check_shown NAME...: the named windows, all shown, once they keep still: each pair that must
# lie apart does, each lies whole on the screen, and none reaches over the menu and tool bar.
kv_check_shown()
{
    local -a names=("$@") frames=() titles=() windows=()
    local i j name title window frame bar problems=0
    for name in "${names[@]}"; do
        title=$(kv_title_of "$name")
        window=$(kv_find "$title") || fail "\"$title\" is not shown"
        titles+=("$title")
        windows+=("$window")
    done
    # The program holds a new window to its place while a window manager maps it.
    kv_keeps kv_frames "${windows[@]}" || fail "${names[*]} kept moving"
    for ((i = 0; i < ${#names[@]}; i++)); do
        frames[i]=$(kv_frame_rect "${windows[i]}")
    done
    local shot="$KV_LANG_NAME-$(IFS=-; echo "${names[*]}")"
    for ((i = 0; i < ${#names[@]}; i++)); do
        for ((j = i + 1; j < ${#names[@]}; j++)); do
            # Side by side where the screen is wide enough for both.
            if kv_kept_apart "${names[i]}" "${names[j]}" && ! kv_rects_apart "${frames[i]}" "${frames[j]}" &&
                echo "${frames[i]} ${frames[j]}" | awk -v w="$(kv_screen_width)" '{ exit !($3 + $7 + 24 <= w) }'; then
                echo "OVERLAP ($KV_LANG_NAME): \"${titles[i]}\" at ${frames[i]} and \"${titles[j]}\" at ${frames[j]}"
                kv_shot "overlap-$shot"
                problems=$((problems + 1))
            fi
        done
    done
    for ((i = 0; i < ${#names[@]}; i++)); do
        frame=${frames[i]}
        if ! kv_whole "${windows[i]}" "$frame"; then
            echo "CUT OFF ($KV_LANG_NAME): \"${titles[i]}\" at $frame leaves the $(kv_screen_size | tr ' ' x) screen or is below its least size"
            kv_shot "cut-$shot"
            problems=$((problems + 1))
        fi
        while read -r bar; do
            kv_rects_apart "$frame" "$bar" && continue
            echo "OVER THE BARS ($KV_LANG_NAME): a window at $frame covers the main window's menu and tool bar at $bar"
            kv_shot "bars-$shot"
            problems=$((problems + 1))
        done < <(kv_bars)
    done
    return $problems
}

# kv_show_only NAME...: these windows shown, the others of the walk hidden.
kv_show_only()
{
    local name
    for name in settings objects messages help check operation; do
        [[ " $* " == *" $name "* ]] || kv_hide_named "$name"
    done
    for name in "$@"; do
        kv_show_named "$name"
    done
}

# kv_walk_pairs: every pair of windows shown together, checked, then hidden again.
kv_walk_pairs()
{
    local -a names=("$@")
    local i j problems=0
    for ((i = 0; i < ${#names[@]}; i++)); do
        for ((j = i + 1; j < ${#names[@]}; j++)); do
            kv_show_only "${names[i]}" "${names[j]}"
            kv_check_shown "${names[i]}" "${names[j]}" || problems=$((problems + $?))
        done
    done
    return $problems
}

kv_run_language()
{
    KV_LANG_NAME=$1
    shift
    "$KV_BIN" "$@" >"$KV_LOG" 2>&1 &
    KV_PID=$!
    KV_MAIN_ID=
    kv_wait_window "korvela - *" 90 || fail "the main window did not appear"
    KV_MAIN_ID=$(kv_find "korvela - *")
    kv_wait_window "$(kv_title_of messages)" 60 || fail "start-up did not open the messages viewer"
    kv_start_loop "$(kv_title_of settings)"
    local result=0
    # The windows at the side, opened one after another from the start, stack there, none over
    # another, where the screen has the room for three (a 720 px screen has it for two of them).
    # The last two opened in the one order in Japanese, in the other in English.
    if [ "$(kv_screen_size | cut -d' ' -f2)" -ge 1024 ]; then
        local -a side=(messages check operation)
        [ "$KV_LANG_NAME" = ja ] || side=(messages operation check)
        kv_show_only "${side[@]}"
        kv_check_shown "${side[@]}" || result=$((result + $?))
    fi
    kv_walk_pairs settings objects messages help check operation || result=$((result + $?))
    "$KV_SEND_CLOSE" "$(kv_main)" || fail "could not send the close request"
    kv_wait_exit 60 || fail "the program did not end after the close request"
    return $result
}

kv_title_of()
{
    case "$KV_LANG_NAME:$1" in
    ja:settings) echo "設定" ;; en:settings) echo "Settings" ;;
    ja:objects) echo "オブジェクト" ;; en:objects) echo "Objects" ;;
    ja:messages) echo "メッセージ" ;; en:messages) echo "Messages" ;;
    ja:help) echo "使い方" ;; en:help) echo "How to Use" ;;
    ja:check) echo "点検結果" ;; en:check) echo "Check Results" ;;
    ja:operation) echo "運転管理" ;; en:operation) echo "Operations" ;;
    esac
}

kv_show_named()
{
    case $1 in
    settings) kv_show "$(kv_title_of settings)" F3 ;;
    objects) kv_show "$(kv_title_of objects)" F4 ;;
    messages) kv_show "$(kv_title_of messages)" F2 ;;
    help) kv_show "$(kv_title_of help)" F1 ;;
    check) kv_show "$(kv_title_of check)" ctrl+l ;;
    # The last item of the window menu.
    operation) kv_show "$(kv_title_of operation)" alt+w Down Down Down Return ;;
    esac
}

kv_hide_named()
{
    case $1 in
    settings) kv_hide "$(kv_title_of settings)" F3 ;;
    objects) kv_hide "$(kv_title_of objects)" F4 ;;
    messages) kv_hide "$(kv_title_of messages)" F2 ;;
    help) kv_hide "$(kv_title_of help)" F1 ;;
    check | operation)
        local window
        window=$(kv_find "$(kv_title_of "$1")") || return 0
        "$KV_SEND_CLOSE" "$window"
        kv_wait_hidden "$(kv_title_of "$1")" 20 || fail "\"$(kv_title_of "$1")\" did not close"
        ;;
    esac
}

failures=0
kv_run_language ja || failures=$((failures + $?))
kv_run_language en --lang en || failures=$((failures + $?))
[ "$failures" = 0 ] || fail "$failures overlaps"
echo PASS
