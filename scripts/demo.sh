#!/usr/bin/env bash
# Builds kestrine.exe and runs it on the demo machine (a Wine prefix with the catalogue of a
# Simplified Chinese Windows and sample input methods).
#   scripts/demo.sh SWITCHES...   runs the switches and prints what changed in the registry
#   scripts/demo.sh               opens the window on $DISPLAY; with no display, saves
#                                 screenshots of it and prints their paths
# Installs what is missing when run as root.
set -euo pipefail
cd "$(dirname "$0")/.."
repo=$(pwd)
build=${KESTRINE_BUILD_DIR:-$repo/build}
jobs=$(nproc 2>/dev/null || echo 2)

./scripts/install-deps.sh >/dev/null
cmake -S "$repo" -B "$build/native" -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --build "$build/native" -j "$jobs" --target regtool texttool >/dev/null
cmake -S "$repo" -B "$build/win32" -DCMAKE_TOOLCHAIN_FILE="$repo/cmake/mingw-i686.cmake" \
      -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build/win32" -j "$jobs" >/dev/null
exec timeout 4000 /usr/bin/python3 tests/wine/demo.py --build-win32 "$build/win32" \
    --regtool "$build/native/regtool" -- "$@"
