#!/usr/bin/env bash
# Starts and ends the program five times under a real window manager (Xvfb
# and openbox) and checks that the window's stored place and size (lines 3 to
# 6 of tzurio.ini: top, left, height, width) stay as the first run left them,
# and that they are outer sizes, at least the design size.
set -euo pipefail
program=$1
work=$(mktemp -d)
cleanup() {
    pkill -P $$ 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
export XDG_DATA_HOME="$work/home"  # the backups the program makes
cp "$program" "$work/tzurio"

Xvfb -displayfd 3 -screen 0 1280x1024x24 3>"$work/display" >/dev/null 2>&1 &
for _ in $(seq 50); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=":$(cat "$work/display")"
openbox >/dev/null 2>&1 &
sleep 1

place() { sed -n '3,6p' "$work/tzurio.ini" | tr -d '\r' | tr '\n' ' '; }

run_once() {
    (cd "$work" && ./tzurio >/dev/null 2>&1) &
    local pid=$!
    local window
    window=$(timeout 20 xdotool search --sync --onlyvisible --name 'ツヅリオ' | head -n 1)
    sleep 1.5  # the frame comes, the stored size is applied
    [ "$1" = first ] && first_start=$(place)
    # The user ends it with the menu bar's 終了(&Q).
    xdotool windowactivate --sync "$window" key --clearmodifiers alt+q
    for _ in $(seq 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
    if kill -0 "$pid" 2>/dev/null; then
        echo "the program did not end"
        exit 1
    fi
}

run_once first
read -r _ _ height width <<<"$first_start"
if [ "$height" -lt 6975 ] || [ "$width" -lt 9450 ]; then
    echo "first start stored $first_start: not the outer design size"
    exit 1
fi
after_first=$(place)
for n in 2 3 4 5; do
    run_once next
    if [ "$(place)" != "$after_first" ]; then
        echo "run $n stored '$(place)', the first run '$after_first'"
        exit 1
    fi
done
echo "1 passed, 0 failed: place and size kept over five runs ($after_first)"
