#!/usr/bin/env bash
# Builds kestrine.exe (with the sample files and the test programs) and the host tools the Wine
# scripts use (regtool, texttool). Installs what is missing when run as root.
#   KESTRINE_BUILD_DIR: the build folder (default: build/ in the repository)
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
