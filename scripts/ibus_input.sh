#!/usr/bin/env bash
# Japanese typed through a real input method: ibus with Mozc, under Xvfb and
# openbox, into every box of the program that takes text. Romaji and a space
# for the conversion and Enter to take it are typed with xdotool, as a user
# types them; what arrived is read back from the data files the program writes
# (and kept as screenshots when a folder for them is given). The lock password
# boxes must keep the input method off: a password typed there with Mozc on
# must arrive as the letters typed.
#
#   bash scripts/ibus_input.sh [PROGRAM [SHOTS_FOLDER]]     (PROGRAM: build/src/tzurio)
#
# Needs Xvfb, openbox, xdotool, dbus-launch (dbus-x11), ibus and ibus-mozc, and
# Qt's ibus plugin; where one is missing it says which and exits with 77
# (skipped). Mozc's conversion server will not run as root, so when started as
# root the input method and the program run as the user nobody.
# Prints one line per box and "N passed, N failed"; exits with 1 when a box
# failed.
set -euo pipefail
cd "$(dirname "$0")/.."
program=$(realpath -m "${1:-build/src/tzurio}")
shots=${2:-}
[ -n "$shots" ] && mkdir -p "$shots" && shots=$(realpath "$shots")

skip() {
    echo "skipped: $*"
    exit 77
}
[ -x "$program" ] || skip "no program at $program"
for tool in Xvfb openbox xdotool dbus-launch ibus-daemon ibus iconv; do
    command -v "$tool" >/dev/null || skip "$tool is missing (Debian packages: xvfb openbox xdotool dbus-x11 ibus ibus-mozc)"
done
[ -x /usr/lib/ibus-mozc/ibus-engine-mozc ] && [ -x /usr/lib/mozc/mozc_server ] || skip "Mozc for ibus is missing (ibus-mozc)"
ls /usr/lib/*/qt6/plugins/platforminputcontexts/libibusplatforminputcontextplugin.so >/dev/null 2>&1 ||
    skip "Qt's ibus plugin is missing (qt6-base)"
as_user=()
user=$(id -un)
if [ "$(id -u)" = 0 ]; then
    command -v setpriv >/dev/null || skip "setpriv is missing (util-linux), needed to leave root"
    as_user=(setpriv --reuid=65534 --regid=65534 --clear-groups)
    user=nobody
fi

work=$(mktemp -d)
chmod 755 "$work"
home=$work/home
folder=$work/book
mkdir -p "$home/.config/mozc" "$folder" "$work/run"
chmod 700 "$work/run"
cp "$program" "$folder/tzurio"
# Mozc starts in Japanese input (hiragana), as after the user's on key.
printf '%s\n' 'engines {' '  name : "mozc-jp"' '  longname : "Mozc"' '  layout : "default"' '  rank : 80' '}' \
    'active_on_launch: True' >"$home/.config/mozc/ibus_config.textproto"
[ ${#as_user[@]} -gt 0 ] && chown -R 65534:65534 "$home" "$folder" "$work/run"

xvfb_pid=
cleanup() {
    # Everything started for this run carries its HOME: the bus, ibus and its
    # engine, Mozc's server (which leaves its parent), the program.
    local pid
    for pid in $(grep -lsz "^HOME=$home\$" /proc/[0-9]*/environ | cut -d/ -f3); do
        kill "$pid" 2>/dev/null || true
    done
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
    sleep 0.5
    rm -rf "$work"
}
trap cleanup EXIT

Xvfb -displayfd 3 -screen 0 1280x1024x24 3>"$work/display" >/dev/null 2>&1 &
xvfb_pid=$!
for _ in $(seq 50); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=":$(cat "$work/display")"
# The user's session: everything below runs with the user's environment.
user_env=(env -i "HOME=$home" "USER=$user" "LOGNAME=$user" "PATH=$PATH" "DISPLAY=$DISPLAY" "LANG=C.UTF-8"
    "XDG_RUNTIME_DIR=$work/run" "XDG_CONFIG_HOME=$home/.config" "XDG_CACHE_HOME=$home/.cache")
run() { "${as_user[@]}" "${user_env[@]}" "$@"; }

run openbox >/dev/null 2>&1 &
bus=$(run dbus-launch --sh-syntax | sed -n "s/^DBUS_SESSION_BUS_ADDRESS='\(.*\)';$/\1/p")
user_env+=("DBUS_SESSION_BUS_ADDRESS=$bus")
run ibus-daemon --daemonize --replace --panel=disable --emoji-extension=disable >/dev/null 2>&1
engine=
for _ in $(seq 30); do
    run ibus engine mozc-jp >/dev/null 2>&1 || true
    engine=$(run ibus engine 2>/dev/null || true)
    [ "$engine" = mozc-jp ] && break
    sleep 0.5
done
[ "$engine" = mozc-jp ] || skip "ibus did not take the engine mozc-jp"

shot_count=0
shot() {
    shot_count=$((shot_count + 1))
    [ -n "$shots" ] && command -v import >/dev/null && import -window root "$shots/$(printf %02d $shot_count)-$1.png" || true
}
# Keys and text, with the pauses a conversion needs.
keys() { xdotool key --delay 150 "$@"; sleep 0.6; }
romaji() {
    xdotool type --delay 150 "$1"
    sleep 0.4
    keys space
    keys Return
}
# The top window whose title is exactly $1 (a regular expression).
window() { { xdotool search --onlyvisible --name "$1" 2>/dev/null || true; } | tail -n 1; }
wait_window() {
    local w
    for _ in $(seq 50); do
        w=$(window "$1")
        [ -n "$w" ] && echo "$w" && return
        sleep 0.2
    done
    echo "no window '$1' came" >&2
    return 1
}
# Clicks at x y of window $1, counted from its right or bottom edge when negative.
click() {
    local w=$1 x=$2 y=$3
    eval "$(xdotool getwindowgeometry --shell "$w" | grep -E '^(WIDTH|HEIGHT)=')"
    [ "$x" -lt 0 ] && x=$((WIDTH + x))
    [ "$y" -lt 0 ] && y=$((HEIGHT + y))
    xdotool mousemove --window "$w" "$x" "$y" click 1
    sleep 0.6
}
# Line $2 of data file $1 (code page 932), as UTF-8.
line_of() { sed -n "${2}p" "$folder/$1" 2>/dev/null | tr -d '\r' | iconv -f CP932 -t UTF-8; }

(cd "$folder" && run env QT_IM_MODULE=ibus QT_QPA_PLATFORM=xcb ./tzurio >"$work/program.log" 2>&1) &
main=$(wait_window '^【ツヅリオ】Ver\.3\.0 \(')
sleep 1.5
xdotool windowactivate --sync "$main"
sleep 0.5

# The title keyword box: Tab from the category box, where the focus starts.
keys Tab
romaji kaigi
shot keyword-box
keys Return

# The password dialog: no password yet, so it asks for the new one at once.
keys alt+f p
keyset=$(wait_window '^鍵を開けるためのパスワードセット$')
xdotool type --delay 150 abc
sleep 0.4
shot password-setting
keys Return
# The reminder; more Enters if the input method took the first.
for _ in 1 2 3; do
    [ -z "$(window '^鍵を開けるためのパスワードセット$')" ] && break
    shot password-reminder
    keys Return
done

# The category window's entry box, then 分類追加 and 終了.
keys alt+b
bunrui=$(wait_window '^分類の整理$')
click "$bunrui" 100 229
romaji bunrui
shot category-window
click "$bunrui" 267 229
click "$bunrui" 267 193

# The editor: category, Enter to the date, Enter to the title, Enter to the
# body; the memo locked, and saved.
click "$main" -45 -28
editor=$(wait_window '^【ツヅリオ】Ver\.3\.0$')
sleep 1
romaji shigoto
keys Return Return
romaji kaigi
keys Return
romaji yotei
click "$editor" -130 14
shot editor
click "$editor" -55 -48
sleep 1

# The locked memo: its password in the unlock dialog.
click "$main" 300 74
keys Return
wait_window '^鍵を開けるためのパスワード$' >/dev/null
xdotool type --delay 150 abc
sleep 0.4
shot unlock
keys Return
for _ in 1 2; do
    [ -z "$(window '^鍵を開けるためのパスワード$')" ] && break
    keys Return
done
wrong_password=$(window '^【ツヅリオ】Ver\.3\.0$')
shot after-unlock
[ -n "$wrong_password" ] && keys Return

# The search windows' keyword boxes.
keys alt+z a
zenbun=$(wait_window '^全文検索（すべてのメモ）$')
keys ctrl+a BackSpace
romaji kensaku
shot search-all
keys Return
sleep 1
keys Escape
keys alt+z c
zenbun2=$(wait_window '^全文検索\(表示中のメモ\)$')
keys ctrl+a BackSpace
romaji memo
shot search-shown
click "$zenbun2" 248 82
shot search-shown-result
[ -n "$(window '^ツヅリオ$')" ] && keys Return
keys Escape

# The user ends the program; the exit save writes the keyword file.
keys alt+q
for _ in $(seq 50); do [ -z "$(window '^【ツヅリオ】Ver\.3\.0 \(')" ] && break; sleep 0.2; done
sleep 1

passed=0
failed=0
check() {
    if [ "$2" = "$3" ]; then
        echo "ok    $1: $2"
        passed=$((passed + 1))
    else
        echo "FAIL  $1: '$2', wanted '$3'"
        failed=$((failed + 1))
    fi
}
check "title keyword box (kensaku.dat)" "$(line_of kensaku.dat 3)" 会議
check "category window entry box (bunrui.dat)" "$(line_of bunrui.dat 3)" 分類
check "editor category (tzurio.dat)" "$(line_of tzurio.dat 2)" 仕事
check "editor title (tzurio.dat)" "$(line_of tzurio.dat 3)" 会議
check "editor body (memo1)" "$(line_of memo1/m1000002.txt 1)" 予定
check "search window, all memos (kensaku.dat)" "$(line_of kensaku.dat 2)" 検索
check "search window, memo shown (kensaku.dat)" "$(line_of kensaku.dat 1)" メモ
check "password setting, input method off (tzurio.ini)" "$(line_of tzurio.ini 13)" abc
# The memo opens with the password set above only when both boxes took the letters as typed.
unlock=$([ -z "$wrong_password" ] && echo unlocked || echo 'wrong password')
check "unlock password, input method off" "$unlock with $(line_of tzurio.ini 13)" "unlocked with abc"
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
