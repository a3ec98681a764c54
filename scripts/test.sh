#!/usr/bin/env bash
# Sets up, builds and runs every test twice: a normal build, then one with
# AddressSanitizer and UndefinedBehaviorSanitizer. Both must pass.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh --tests
jobs=$(nproc)

# Moc's output in an existing build folder can miss a header that was added
# since: when the set of headers changed, it is made afresh.
headers=$(find src tests -name '*.h' | sort | md5sum | cut -d' ' -f1)
for dir in build build-asan; do
    if [ -d "$dir" ] && [ "$(cat "$dir/.headers" 2>/dev/null)" != "$headers" ]; then
        find "$dir" -maxdepth 3 -type d -name '*_autogen' -prune -exec rm -rf {} +
        find "$dir" -name ParseCache.txt -delete
    fi
    mkdir -p "$dir"
    echo "$headers" > "$dir/.headers"
done

echo "== normal build"
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
ninja -C build -j "$jobs"
(cd build && ctest --output-on-failure -j "$jobs")

echo "== AddressSanitizer and UndefinedBehaviorSanitizer build"
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTZ_SANITIZE=ON -DTZ_BENCH=OFF >/dev/null
ninja -C build-asan -j "$jobs"
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:strict_string_checks=1"
export LSAN_OPTIONS="suppressions=$PWD/scripts/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
(cd build-asan && ctest --output-on-failure -j "$jobs")
