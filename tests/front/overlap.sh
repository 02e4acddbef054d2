#!/bin/bash
# Windows keep out of each other's way: in Japanese and in English, each pair of the program's
# windows is shown together (settings, objects, messages, help, the check window). None may reach
# over the main window's menu and tool bar (with Start at its end); the settings and object
# dialogs, the messages viewer and the check window, and the object dialog and the check window
# lie side by side (where the screen is wide enough for both). Each window lies whole on the
# screen and no smaller than its least size, so that none of its controls is cut off.
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

# kv_frame_rect TITLE: as kv_rect, with the window manager's frame (title bar, borders) around it.
kv_frame_rect()
{
    local window extents
    window=$(kv_find "$1") || fail "no window \"$1\" is shown"
    extents=$(xprop -id "$window" _NET_FRAME_EXTENTS 2>/dev/null | sed -n 's/.*= //p' | tr -d ,)
    [ -n "$extents" ] || extents="0 0 0 0"
    echo "$(kv_rect "$1") $extents" | awk '{ print $1 - $5, $2 - $7, $3 + $5 + $6, $4 + $7 + $8 }'
}

# kv_frames TITLE...: where the windows' frames stand.
kv_frames()
{
    local title
    for title in "$@"; do
        kv_frame_rect "$title"
    done
}

kv_screen_size() { xdpyinfo | awk '/dimensions:/ { split($2, d, "x"); print d[1], d[2] }'; }
kv_screen_width() { kv_screen_size | cut -d' ' -f1; }

# kv_whole TITLE FRAME_RECT: the window lies on the screen, no smaller than its least size.
kv_whole()
{
    local least
    least=$(xprop -id "$(kv_find "$1")" WM_NORMAL_HINTS | awk '/minimum size:/ { print $5, $7 }')
    [ -n "$least" ] || least="0 0"
    echo "$2 $(kv_screen_size) $least $(kv_rect "$1")" |
        awk '{ exit !($1 >= 0 && $2 >= 0 && $1 + $3 <= $5 && $2 + $4 <= $6 && $11 >= $7 && $12 >= $8) }'
}

# The pairs that must lie apart.
kv_kept_apart()
{
    case "$1:$2" in
    settings:objects | messages:check | objects:check) return 0 ;;
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

# kv_walk_pairs: every pair of windows shown together, checked, then hidden again.
kv_walk_pairs()
{
    local -a names=("$@")
    local i j a b bars problems=0
    for ((i = 0; i < ${#names[@]}; i++)); do
        for ((j = i + 1; j < ${#names[@]}; j++)); do
            a=${names[i]}
            b=${names[j]}
            for name in "${names[@]}"; do
                [ "$name" = "$a" ] || [ "$name" = "$b" ] || kv_hide_named "$name"
            done
            kv_show_named "$a"
            kv_show_named "$b"
            # The program holds a new window to its place while a window manager maps it.
            kv_keeps kv_frames "$(kv_title_of "$a")" "$(kv_title_of "$b")" || fail "\"$a\" and \"$b\" kept moving"
            local ra rb
            ra=$(kv_frame_rect "$(kv_title_of "$a")")
            rb=$(kv_frame_rect "$(kv_title_of "$b")")
            # Side by side where the screen is wide enough for both.
            if kv_kept_apart "$a" "$b" && ! kv_rects_apart "$ra" "$rb" &&
                echo "$ra $rb" | awk -v w="$(kv_screen_width)" '{ exit !($3 + $7 + 24 <= w) }'; then
                echo "OVERLAP ($KV_LANG_NAME): \"$(kv_title_of "$a")\" at $ra and \"$(kv_title_of "$b")\" at $rb"
                kv_shot "overlap-$KV_LANG_NAME-$a-$b"
                problems=$((problems + 1))
            fi
            for name in "$a" "$b"; do
                local frame
                frame=$(kv_frame_rect "$(kv_title_of "$name")")
                kv_whole "$(kv_title_of "$name")" "$frame" && continue
                echo "CUT OFF ($KV_LANG_NAME): \"$(kv_title_of "$name")\" at $frame leaves the $(kv_screen_size | tr ' ' x) screen or is below its least size"
                kv_shot "cut-$KV_LANG_NAME-$a-$b"
                problems=$((problems + 1))
            done
            while read -r bar; do
                for r in "$ra" "$rb"; do
                    kv_rects_apart "$r" "$bar" && continue
                    echo "OVER THE BARS ($KV_LANG_NAME): a window at $r covers the main window's menu and tool bar at $bar"
                    kv_shot "bars-$KV_LANG_NAME-$a-$b"
                    problems=$((problems + 1))
                done
            done < <(kv_bars)
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
    kv_walk_pairs settings objects messages help check || result=$?
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
    esac
}

kv_hide_named()
{
    case $1 in
    settings) kv_hide "$(kv_title_of settings)" F3 ;;
    objects) kv_hide "$(kv_title_of objects)" F4 ;;
    messages) kv_hide "$(kv_title_of messages)" F2 ;;
    help) kv_hide "$(kv_title_of help)" F1 ;;
    check)
        local window
        window=$(kv_find "$(kv_title_of check)") || return 0
        "$KV_SEND_CLOSE" "$window"
        kv_wait_hidden "$(kv_title_of check)" 20 || fail "the check window did not close"
        ;;
    esac
}

failures=0
kv_run_language ja || failures=$((failures + $?))
kv_run_language en --lang en || failures=$((failures + $?))
[ "$failures" = 0 ] || fail "$failures overlaps"
echo PASS
