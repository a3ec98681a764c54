#!/bin/sh
# Runs one libFuzzer target for SECONDS (default 60) in a clang build of its
# own (build-fuzz), with AddressSanitizer and UndefinedBehaviorSanitizer, at
# the lowest priority so that other work is not slowed. TARGET is one of
#   rtf          the RTF reader, through a document and the writer and back
#   rtf-text     the RTF reader's plain-text path and the body search alone
#   hakor        the reader of 【ハコネル】's hakor.dat and body files
#   data-folder  the start-up's reading of the four data files
# The corpus grows in build-fuzz/corpus-TARGET, seeded from tests/data; any
# finding is written to build-fuzz/findings-TARGET and the script fails.
# Further arguments go to libFuzzer (e.g. -runs=N, -max_total_time is set).
# A run paused with SIGSTOP (to time something else on a quiet machine)
# counts the pause against the unit under way and ends in a false timeout
# after 20 s; give such a run -timeout=600.
# Memory: AddressSanitizer holds freed blocks back (256 MB of them) to catch
# late uses, and its allocator keeps what it once had, so a run's resident
# size rises to some 500-600 MB in its first minutes, then creeps (about
# 0.4 KB an execution over an hour) while the corpus grows. Inputs run outside
# fuzzing, again and again or 30000 different ones once each, stay within a
# few MB, and LeakSanitizer finds no leak: the reader keeps nothing.
# ASAN_OPTIONS=detect_leaks=0:quarantine_size_mb=16 keeps it near 150 MB,
# at the cost of missing uses of blocks freed longer ago.
set -eu
target=${1:?usage: fuzz.sh TARGET [SECONDS] [libFuzzer options]}
seconds=${2:-60}
[ $# -ge 2 ] && shift 2 || shift $#
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build-fuzz"
case "$target" in
    rtf) program=fuzz_rtf_reader max_len=65536 ;;
    rtf-text) program=fuzz_rtf_text max_len=65536 ;;
    hakor) program=fuzz_hakor_reader max_len=16384 ;;
    data-folder) program=fuzz_data_folder max_len=16384 ;;
    *) echo "unknown target: $target" >&2; exit 2 ;;
esac
if [ ! -f "$build/build.ninja" ]; then
    CC=clang CXX=clang++ cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DTZ_FUZZ=ON -DTZ_SANITIZE=ON -DTZ_BENCH=OFF -DBUILD_TESTING=OFF >/dev/null
fi
nice -n 19 ninja -C "$build" "$program" >/dev/null
corpus="$build/corpus-$target"
mkdir -p "$corpus" "$build/findings-$target"
case "$target" in
    rtf | rtf-text) cp -n "$root"/tests/data/rtf/*.rtf "$root"/tests/data/rtf/*.txt "$corpus/" 2>/dev/null || true ;;
    hakor) cp -n "$root"/tests/data/hakor/* "$corpus/" 2>/dev/null || true ;;
    data-folder)
        # One sound folder: settings, one memo, two categories, keywords (cut at 0x1E).
        [ -e "$corpus/seed" ] || printf '%s\r\n' 1 0 0 0 6975 9450 1215 0 0 0 0 0 '' | {
            cat
            printf '\036%s\r\n' 2026/12/07
            printf '%s\r\n' memo title 1 'a26/12/07 15:30:00' 'a26/12/07 15:30:00' NO
            printf '\036%s\r\n' all other
            printf '\036'
            for i in $(seq 20); do printf 'k%s\r\n' "$i"; done
        } >"$corpus/seed" ;;
esac
export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=0}
exec nice -n 19 "$build/fuzz/$program" -max_total_time="$seconds" -timeout=20 -rss_limit_mb=4096 -max_len=$max_len \
    -artifact_prefix="$build/findings-$target/" -print_final_stats=1 "$@" "$corpus"
