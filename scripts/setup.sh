#!/usr/bin/env bash
# Installs the Debian packages the memo book needs to build, run and test, when
# they are missing. Safe to run again.
set -euo pipefail

# qt6-translations-l10n: Qt's own dialogs and menus in Japanese.
packages=(qt6-base-dev qt6-qpa-plugins qt6-translations-l10n cmake ninja-build g++ fonts-ipafont-gothic)
# Typing Japanese: Qt's ibus plugin comes with Qt itself (libqt6gui6); a machine
# that uses fcitx5 needs its Qt 6 front end as well.
if command -v fcitx5 >/dev/null 2>&1 || dpkg-query -W -f='${Status}' fcitx5 2>/dev/null | grep -q "install ok installed"; then
    packages+=(fcitx5-frontend-qt6)
fi
if [ "${1:-}" = "--tests" ]; then
    # pdftotext reads what the program prints in the tests;
    # Google Benchmark builds bench/; Xvfb, openbox and xdotool run the
    # program under a real window manager; rsync keeps two folders in step as
    # a sync tool does.
    packages+=(poppler-utils libbenchmark-dev xvfb openbox xdotool rsync)
fi

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
