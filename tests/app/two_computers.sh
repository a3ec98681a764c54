#!/usr/bin/env bash
# Two copies of the program on two folders that a copy loop keeps in step, as
# a sync tool keeps a memo book in step between two computers (the lock file
# stays on its own computer). The copies run at the same time and add memos
# one after the other, as a user does on each computer; each ends with the
# exit save. No memo may be lost: every title added is in a memo index or in
# a version of it that a copy kept beside its own.
set -euo pipefail
program=$1
work=$(mktemp -d)
cleanup() {
    # The copy loop ends first: a copy still running would write into the folder as it goes.
    touch "$work/stop"
    [ -z "${sync_loop:-}" ] || wait "$sync_loop" 2>/dev/null || true
    pkill -P $$ 2>/dev/null || true
    [ -n "${KEEP:-}" ] && echo "kept: $work" || rm -rf "$work"
}
trap cleanup EXIT
export XDG_DATA_HOME="$work/home"  # the backups the program makes
mkdir -p "$work/a" "$work/b"
cp "$program" "$work/a/tzurio"
cp "$program" "$work/b/tzurio"

# Each computer has a screen of its own.
for side in a b; do
    Xvfb -displayfd 3 -screen 0 1024x768x24 3>"$work/$side.display" >/dev/null 2>&1 &
    for _ in $(seq 50); do [ -s "$work/$side.display" ] && break; sleep 0.1; done
    DISPLAY=":$(cat "$work/$side.display")" openbox >/dev/null 2>&1 &
done
sleep 1
on() { DISPLAY=":$(cat "$work/$1.display")" "${@:2}"; }

# The copy loop: each way, a file newer on one side replaces the other's.
sync_once() {
    rsync -a --update --exclude tzurio.lock --exclude tzurio --exclude '*.new' "$work/a/" "$work/b/"
    rsync -a --update --exclude tzurio.lock --exclude tzurio --exclude '*.new' "$work/b/" "$work/a/"
}
(while sleep 0.3 && [ ! -e "$work/stop" ]; do sync_once 2>/dev/null || true; done) &
sync_loop=$!

# The first start makes the memo book in one folder; the loop carries it over.
start() {
    (cd "$work/$1" && DISPLAY=":$(cat "$work/$1.display")" exec ./tzurio >/dev/null 2>&1) &
    echo $! >"$work/$1.pid"
    timeout 20 env DISPLAY=":$(cat "$work/$1.display")" xdotool search --sync --onlyvisible --name '件' | head -n 1 >"$work/$1.window"
    sleep 1.5  # the frame comes, the stored place is applied
}

# 登録 in the main window, a category and a title typed, 登録 in the editor.
add_memo() {
    local window editor
    window=$(cat "$work/$1.window")
    on "$1" xdotool windowactivate --sync "$window" mousemove --window "$window" 582 416 click 1
    editor=$(timeout 10 env DISPLAY=":$(cat "$work/$1.display")" xdotool search --sync --onlyvisible --name '^【ツヅリオ】Ver\.3\.0$' | head -n 1)
    on "$1" xdotool windowactivate --sync "$editor" mousemove --window "$editor" 144 11 click 1 type --delay 30 "sync"
    on "$1" xdotool mousemove --window "$editor" 334 41 click 1 type --delay 30 "$2"
    on "$1" xdotool mousemove --window "$editor" 565 357 click 1
    for _ in $(seq 50); do on "$1" xdotool search --onlyvisible --name '^【ツヅリオ】Ver\.3\.0$' >/dev/null || break; sleep 0.1; done
    echo "$2" >>"$work/added"
}

# The exit save; a message it shows (the other versions kept) is answered.
stop() {
    local pid
    pid=$(cat "$work/$1.pid")
    kill -TERM "$pid"
    for _ in $(seq 100); do
        kill -0 "$pid" 2>/dev/null || return 0
        local box
        box=$(on "$1" xdotool search --onlyvisible --name '^【ツヅリオ】Ver\.3\.0$' 2>/dev/null | head -n 1 || true)
        [ -n "$box" ] && on "$1" xdotool windowactivate --sync "$box" key Return && echo "$1: told of the other versions" >>"$work/told"
        sleep 0.1
    done
    echo "the program in $1 did not end"
    exit 1
}

start a
stop a
sleep 1
# Each round one computer adds a memo and ends while the other still runs;
# the other ends after the copy loop has brought the memo over.
for round in 1 2 3; do
    for pair in "a b" "b a"; do
        set -- $pair
        start "$1"
        start "$2"
        add_memo "$1" "$1$round"
        stop "$1"
        sleep 1.5  # the loop carries the memo over
        stop "$2"
        sleep 1.5
    done
done

lost=0
while read -r title; do
    if ! grep -qa -- "^$title"$'\r'"\$" "$work"/a/tzurio.dat "$work"/a/tzurio.dat.other-* 2>/dev/null; then
        echo "lost: $title"
        lost=1
    fi
done <"$work/added"
echo "added: $(tr '\n' ' ' <"$work/added")"
echo "kept other versions: $(cd "$work/a" && ls -- *.other-* 2>/dev/null | tr '\n' ' ')"
cat "$work/told" 2>/dev/null || true
exit $lost
