#!/usr/bin/env bash
# Builds kestrine.exe and saves screenshots of its windows in the three languages into
# docs/screenshots/ (the main window's three pages, the hot-key editor, the keyboard-layout
# dialog), taken under Xvfb on the demo machine.
set -euo pipefail
cd "$(dirname "$0")/.."
repo=$(pwd)
build=${KESTRINE_BUILD_DIR:-$repo/build}
./scripts/build.sh
if [ "$(./scripts/wine-arch.sh)" = win32 ]; then exe_dir=$build/win32; else exe_dir=$build/win64; fi
exec timeout 900 /usr/bin/python3 scripts/screens.py --build-win32 "$exe_dir" \
    --regtool "$build/native/regtool" --out "$repo/docs/screenshots" "$@"
