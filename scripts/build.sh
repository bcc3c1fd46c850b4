#!/usr/bin/env bash
# Builds kestrine.exe (with the sample files and the test programs) and the host tools the Wine
# scripts use (regtool). Installs what is missing when run as root.
#   scripts/build.sh [i686] [x86_64]   the Windows builds to make (build/win32, build/win64);
#                                      by default the one this machine's Wine runs
#   KESTRINE_BUILD_DIR: the build folder (default: build/ in the repository)
set -euo pipefail
cd "$(dirname "$0")/.."
repo=$(pwd)
build=${KESTRINE_BUILD_DIR:-$repo/build}
jobs=$(nproc 2>/dev/null || echo 2)
./scripts/install-deps.sh >/dev/null
targets=("$@")
if [ "${#targets[@]}" -eq 0 ]; then
    if [ "$(./scripts/wine-arch.sh)" = win32 ]; then targets=(i686); else targets=(x86_64); fi
fi
cmake -S "$repo" -B "$build/native" -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --build "$build/native" -j "$jobs" --target regtool >/dev/null
for target in "${targets[@]}"; do
    case "$target" in
        i686) dir=$build/win32 ;;
        x86_64) dir=$build/win64 ;;
        *) echo "build: unknown target $target (i686 or x86_64)" >&2; exit 2 ;;
    esac
    cmake -S "$repo" -B "$dir" -DCMAKE_TOOLCHAIN_FILE="$repo/cmake/mingw-$target.cmake" \
          -DCMAKE_BUILD_TYPE=Release >/dev/null
    cmake --build "$dir" -j "$jobs" >/dev/null
done
