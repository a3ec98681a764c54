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
folder="$(cd "$folder" && pwd)"

# The manual that 使い方 opens. A manual already in the folder is the user's and
# stays as it is, whatever the case of its name (a folder carried from another
# system may hold MANUAL.WRI).
if [ -z "$(find "$folder" -maxdepth 1 -iname manual.wri -print -quit)" ]; then
    install -m 644 data/manual.wri "$folder/manual.wri"
fi

# One argument of a desktop entry's Exec line, quoted as desktop entries want it.
desktop_quote() {
    local s="$1"
    s="${s//\\/\\\\\\\\}"
    s="${s//\"/\\\\\"}"
    s="${s//\`/\\\\\`}"
    s="${s//\$/\\\\\$}"
    s="${s//%/%%}"
    printf '"%s"' "$s"
}

# A menu entry for the desktop: ツヅリオ under Office, started on this folder.
apps="${XDG_DATA_HOME:-$HOME/.local/share}/applications"
icons="${XDG_DATA_HOME:-$HOME/.local/share}/icons/hicolor/scalable/apps"
mkdir -p "$apps" "$icons"
install -m 644 data/tzurio.svg "$icons/tzurio.svg"
cat > "$apps/tzurio.desktop" <<ENTRY
[Desktop Entry]
Type=Application
Name=ツヅリオ
Comment=メモ帳
Exec=$(desktop_quote "$folder/tzurio")
Path=$folder
Icon=$icons/tzurio.svg
Terminal=false
Categories=Office;
ENTRY
command -v update-desktop-database >/dev/null 2>&1 && update-desktop-database "$apps" >/dev/null 2>&1 || true
echo "Starting $folder/tzurio (memo data: $folder)"
cd "$folder"
exec ./tzurio
