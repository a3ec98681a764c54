#!/bin/sh
# Runs the RTF reader's fuzz target for SECONDS (default 60) in a clang build
# of its own (build-fuzz), with AddressSanitizer and UndefinedBehaviorSanitizer.
# The corpus grows in build-fuzz/corpus-rtf, seeded with tests/data/rtf; any
# finding is written to build-fuzz/findings-rtf and the script fails.
set -eu
seconds=${1:-60}
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build-fuzz"
if [ ! -f "$build/build.ninja" ]; then
    CC=clang CXX=clang++ cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DTZ_FUZZ=ON -DTZ_SANITIZE=ON -DTZ_BENCH=OFF -DBUILD_TESTING=OFF >/dev/null
fi
ninja -C "$build" fuzz_rtf_reader >/dev/null
mkdir -p "$build/corpus-rtf" "$build/findings-rtf"
cp -n "$root"/tests/data/rtf/*.rtf "$root"/tests/data/rtf/*.txt "$build/corpus-rtf/" 2>/dev/null || true
export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=0}
"$build/fuzz/fuzz_rtf_reader" -max_total_time="$seconds" -timeout=20 -rss_limit_mb=4096 -max_len=65536 \
    -artifact_prefix="$build/findings-rtf/" -print_final_stats=1 "$build/corpus-rtf"
