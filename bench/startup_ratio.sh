#!/usr/bin/env bash
# Start-up at 30,000 memos against a one-memo book: the real program started
# under Xvfb, timed from exec to its main window mapped, alternating the two
# books; prints the medians and their ratio.
#   bash bench/startup_ratio.sh [BUILD] [RUNS]     (needs Xvfb and xdotool)
set -euo pipefail
build=${1:-build}
runs=${2:-15}
work=$(mktemp -d)
trap 'pkill -P $$ 2>/dev/null || true; rm -rf "$work"' EXIT
export XDG_DATA_HOME="$work/home"
for book in one many; do mkdir -p "$work/$book" && cp "$build/src/tzurio" "$work/$book/"; done
"$build/bench/gen_data_folder" "$work/one" 1 >/dev/null
"$build/bench/gen_data_folder" "$work/many" 30000 300 0 >/dev/null
Xvfb -displayfd 3 -screen 0 1280x1024x24 3>"$work/display" >/dev/null 2>&1 &
for _ in $(seq 50); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=":$(cat "$work/display")"

start_once() {
    local t0 t1 pid
    cd "$work/$1"
    t0=$(date +%s%N)
    ./tzurio >/dev/null 2>&1 &
    pid=$!
    until xdotool search --onlyvisible --pid "$pid" --name '件' >/dev/null 2>&1; do sleep 0.002; done
    t1=$(date +%s%N)
    kill -TERM "$pid"
    wait "$pid" 2>/dev/null || true
    echo $(((t1 - t0) / 1000))
}
median() { sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }

start_once one >/dev/null  # the font cache and the program's pages warm
start_once many >/dev/null
for _ in $(seq "$runs"); do
    start_once one >>"$work/one.times"
    start_once many >>"$work/many.times"
done
one=$(median <"$work/one.times")
many=$(median <"$work/many.times")
echo "one memo: ${one} us   30,000 memos: ${many} us   ratio: $(echo "scale=2; $many / $one" | bc)"
