#!/usr/bin/env bash
# Builds kestrine.exe and runs it on the demo machine (a Wine prefix with the catalogue of a
# Simplified Chinese Windows and sample input methods).
#   scripts/demo.sh SWITCHES...   runs the switches and prints what changed in the registry
#   scripts/demo.sh               opens the window on $DISPLAY; with no display, saves
#                                 screenshots of it and prints their paths
set -euo pipefail
cd "$(dirname "$0")/.."
build=${KESTRINE_BUILD_DIR:-$(pwd)/build}
./scripts/build.sh
exec timeout 4000 /usr/bin/python3 tests/wine/demo.py --build-win32 "$build/win32" \
    --regtool "$build/native/regtool" -- "$@"
