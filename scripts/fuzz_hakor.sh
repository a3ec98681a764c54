#!/bin/sh
# Runs the fuzz target of the hakor.dat reader (the import of 【ハコネル】 memos)
# for SECONDS (default 60) in a clang build of its own (build-fuzz), with
# AddressSanitizer and UndefinedBehaviorSanitizer. The corpus grows in
# build-fuzz/corpus-hakor, seeded with tests/data/hakor; any finding is written
# to build-fuzz/findings-hakor and the script fails.
set -eu
seconds=${1:-60}
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build-fuzz"
if [ ! -f "$build/build.ninja" ]; then
    CC=clang CXX=clang++ cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DTZ_FUZZ=ON -DTZ_SANITIZE=ON -DTZ_BENCH=OFF -DBUILD_TESTING=OFF >/dev/null
fi
ninja -C "$build" -j2 fuzz_hakor_reader >/dev/null
mkdir -p "$build/corpus-hakor" "$build/findings-hakor"
cp -n "$root"/tests/data/hakor/* "$build/corpus-hakor/" 2>/dev/null || true
export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=0}
"$build/fuzz/fuzz_hakor_reader" -max_total_time="$seconds" -timeout=20 -rss_limit_mb=4096 -max_len=16384 \
    -artifact_prefix="$build/findings-hakor/" -print_final_stats=1 "$build/corpus-hakor"
