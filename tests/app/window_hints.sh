#!/usr/bin/env bash
# The smallest size of the main window and of the editor, as a real window
# manager (Xvfb and openbox) sees it in WM_NORMAL_HINTS: with the frame it is
# the design's outer size (main window 9450 × 6975 twips, editor 9450 × 6475),
# and dragging the frame's corner inward stops there, while dragging it
# outward still works. The editor is opened by keyboard alone: Shift+Tab from
# the category box goes round to 登録.
set -euo pipefail
program=$1
work=$(mktemp -d)
cleanup() {
    pkill -P $$ 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
cp "$program" "$work/tzurio"

Xvfb -displayfd 3 -screen 0 1280x1024x24 3>"$work/display" >/dev/null 2>&1 &
for _ in $(seq 50); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=":$(cat "$work/display")"
openbox >/dev/null 2>&1 &
sleep 1
export QT_FONT_DPI=96  # 15 twips a pixel

fail() {
    echo "$*"
    exit 1
}

# "min_w min_h" from WM_NORMAL_HINTS, "l r t b" from _NET_FRAME_EXTENTS, "x y w h" of the client window.
minimum() { xprop -id "$1" WM_NORMAL_HINTS | sed -n 's/.*program specified minimum size: \([0-9]*\) by \([0-9]*\).*/\1 \2/p'; }
frame() { xprop -id "$1" _NET_FRAME_EXTENTS | sed -n 's/.*= \([0-9]*\), \([0-9]*\), \([0-9]*\), \([0-9]*\).*/\1 \2 \3 \4/p'; }
place() {
    xwininfo -id "$1" |
        awk '/Absolute upper-left X/ {x=$4} /Absolute upper-left Y/ {y=$4} /Width:/ {w=$2} /Height:/ {h=$2} END {print x,y,w,h}'
}

# Drags the bottom-right corner of the window's frame by dx, dy.
drag_corner() {
    local x y w h l r t b
    read -r x y w h <<<"$(place "$1")"
    read -r l r t b <<<"$(frame "$1")"
    local cx=$((x + w + r - 1)) cy=$((y + h + b - 1))
    xdotool mousemove "$cx" "$cy" sleep 0.3 mousedown 1 sleep 0.3 \
        mousemove $((cx + $2 / 2)) $((cy + $3 / 2)) sleep 0.2 mousemove $((cx + $2)) $((cy + $3)) sleep 0.3 mouseup 1
    sleep 1
}

# The window's smallest outer size is outer_w × outer_h pixels, and a drag stops there.
check() {
    local name=$1 window=$2 outer_w=$3 outer_h=$4
    local min_w min_h l r t b x y w h w0 h0
    read -r min_w min_h <<<"$(minimum "$window")"
    read -r l r t b <<<"$(frame "$window")"
    [ -n "${min_w:-}" ] || fail "$name: no minimum size in WM_NORMAL_HINTS"
    [ $((min_w + l + r)) -eq "$outer_w" ] && [ $((min_h + t + b)) -eq "$outer_h" ] ||
        fail "$name: minimum $min_w x $min_h with frame $l $r $t $b, not the outer $outer_w x $outer_h"
    read -r x y w0 h0 <<<"$(place "$window")"
    drag_corner "$window" 100 80
    read -r x y w h <<<"$(place "$window")"
    [ "$w" -gt "$w0" ] && [ "$h" -gt "$h0" ] || fail "$name: the drag outward did not widen it ($w0 x $h0 to $w x $h)"
    drag_corner "$window" -400 -300
    read -r x y w h <<<"$(place "$window")"
    [ "$w" -eq "$min_w" ] && [ "$h" -eq "$min_h" ] || fail "$name: dragged inward to $w x $h, below the minimum $min_w x $min_h"
}

(cd "$work" && ./tzurio >/dev/null 2>&1) &
pid=$!
main=$(timeout 20 xdotool search --sync --onlyvisible --name 'ツヅリオ.*件' | head -n 1)
sleep 1.5
check "main window" "$main" 630 465

# Shift+Tab from the category box: 印刷, 削除, 訂正, 登録; Space presses it.
xdotool windowactivate --sync "$main"
sleep 0.5
xdotool key --clearmodifiers shift+Tab shift+Tab shift+Tab shift+Tab space
editor=$(timeout 10 xdotool search --sync --onlyvisible --name '^【ツヅリオ】Ver\.3\.0$' | head -n 1) ||
    fail "the editor did not open from the keyboard"
sleep 1.5
check "editor" "$editor" 630 432
xdotool windowactivate --sync "$editor" key Escape
sleep 0.5

xdotool windowactivate --sync "$main" key --clearmodifiers alt+q
for _ in $(seq 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
kill -0 "$pid" 2>/dev/null && fail "the program did not end"
# The outer size stored at exit is the one the window manager shows.
stored=$(sed -n '5,6p' "$work/tzurio.ini" | tr -d '\r ' | tr '\n' ' ')
[ "$stored" = "6975 9450 " ] || fail "stored height and width '$stored', not the smallest size 6975 9450"
echo "1 passed, 0 failed: the smallest sizes reach the window manager and hold a drag"
