#!/usr/bin/env bash
# Builds everything and runs the three test tiers: native (GoogleTest with sanitizers), Wine
# end-to-end, and the Wine GUI tests. Installs what is missing when run as root.
# Prints a summary and exits non-zero when any tier fails.
set -uo pipefail
cd "$(dirname "$0")/.."
repo=$(pwd)
build=${KESTRINE_BUILD_DIR:-$repo/build}
jobs=$(nproc 2>/dev/null || echo 2)

./scripts/install-deps.sh || { echo "test: dependencies missing" >&2; exit 1; }

declare -A result
order=()
step() {  # step NAME COMMAND...
    local name=$1; shift
    order+=("$name")
    echo "=== $name"
    if "$@"; then result[$name]=pass; else result[$name]=FAIL; fi
}

native() {
    cmake -S "$repo" -B "$build/native" -DCMAKE_BUILD_TYPE=Debug >/dev/null &&
    cmake --build "$build/native" -j "$jobs" &&
    ctest --test-dir "$build/native" --output-on-failure -j "$jobs" --timeout 300
}

cross() {
    cmake -S "$repo" -B "$build/win32" -DCMAKE_TOOLCHAIN_FILE="$repo/cmake/mingw-i686.cmake" \
          -DCMAKE_BUILD_TYPE=Release >/dev/null &&
    cmake --build "$build/win32" -j "$jobs" &&
    ./scripts/check-exe.sh "$build/win32/kestrine.exe"
}

wine_tier() {  # wine_tier TIER
    [ "${result[cross build]:-}" = pass ] && [ -x "$build/native/regtool" ] || {
        echo "wine tiers need the cross build and the native regtool"; return 1; }
    timeout 2400 /usr/bin/python3 tests/wine/run_tests.py --build-win32 "$build/win32" \
        --regtool "$build/native/regtool" --tier "$1" --jobs 2
}

step "native tests" native
step "cross build" cross
step "wine tests" wine_tier e2e
step "wine GUI tests" wine_tier gui

echo
echo "=== summary"
status=0
for name in "${order[@]}"; do
    printf '  %-14s %s\n' "$name" "${result[$name]}"
    [ "${result[$name]}" = pass ] || status=1
done
exit $status
