#!/usr/bin/env bash
# Builds kestrine.exe and runs it on the demo machine (a Wine prefix with the catalogue of a
# Simplified Chinese Windows and sample input methods): the 32-bit build in a 32-bit prefix, or
# where this machine runs 64-bit programs only, the x86-64 build in a 64-bit prefix.
#   scripts/demo.sh SWITCHES...   runs the switches and prints what changed in the registry
#   scripts/demo.sh               opens the window on $DISPLAY; with no display, saves
#                                 screenshots of it and prints their paths
set -euo pipefail
cd "$(dirname "$0")/.."
build=${KESTRINE_BUILD_DIR:-$(pwd)/build}
./scripts/build.sh
if [ "$(./scripts/wine-arch.sh)" = win32 ]; then exe_dir=$build/win32; else exe_dir=$build/win64; fi
exec timeout 4000 /usr/bin/python3 scripts/demo.py --build-win32 "$exe_dir" \
    --regtool "$build/native/regtool" -- "$@"
