#!/usr/bin/env bash
# Sets up, builds and starts the memo book. The program is put into a folder of
# its own (default ~/tzurio, or the folder given) and started there: its memo
# data lives beside it in that folder.
set -euo pipefail
cd "$(dirname "$0")/.."

folder="${1:-$HOME/tzurio}"
bash scripts/setup.sh
cmake -S . -B build-run -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF -DTZ_BENCH=OFF >/dev/null
ninja -C build-run tzurio
mkdir -p "$folder"
install -m 755 build-run/src/tzurio "$folder/tzurio"
echo "Starting $folder/tzurio (memo data: $folder)"
cd "$folder"
exec ./tzurio
