#!/usr/bin/env bash
# Builds kestrine.exe and saves screenshots of its windows in the three languages into
# docs/screenshots/ (the main window's three pages, the hot-key editor, the keyboard-layout
# dialog), taken under Xvfb on the demo machine.
set -euo pipefail
cd "$(dirname "$0")/.."
repo=$(pwd)
build=${KESTRINE_BUILD_DIR:-$repo/build}
jobs=$(nproc 2>/dev/null || echo 2)
./scripts/install-deps.sh >/dev/null
cmake -S "$repo" -B "$build/native" -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --build "$build/native" -j "$jobs" --target regtool texttool >/dev/null
cmake -S "$repo" -B "$build/win32" -DCMAKE_TOOLCHAIN_FILE="$repo/cmake/mingw-i686.cmake" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build/win32" -j "$jobs" >/dev/null
exec timeout 900 /usr/bin/python3 tests/wine/screens.py --build-win32 "$build/win32" \
    --regtool "$build/native/regtool" --out "$repo/docs/screenshots" "$@"
