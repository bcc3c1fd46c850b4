#!/usr/bin/env bash
# Builds everything and runs the test tiers: native (GoogleTest with sanitizers), short fuzz runs
# over the checked-in corpus (libFuzzer), Wine end-to-end, and the Wine GUI tests. Installs what
# is missing when run as root.
# Both Windows builds are made and checked. Where this machine runs 32-bit programs, every Wine
# tier runs on the i686 build and the end-to-end tier also on the x86-64 build (with the test
# of the i686 build on 64-bit Windows); where it runs 64-bit programs only, or with
# KESTRINE_WINE64_ONLY=1, every Wine tier runs on the x86-64 build.
# Prints a summary and exits non-zero when any tier fails.
set -uo pipefail
cd "$(dirname "$0")/.."
repo=$(pwd)
build=${KESTRINE_BUILD_DIR:-$repo/build}
jobs=$(nproc 2>/dev/null || echo 2)

./scripts/install-deps.sh || { echo "test: dependencies missing" >&2; exit 1; }
arch=$(./scripts/wine-arch.sh)

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

cross() {  # cross TARGET DIR
    cmake -S "$repo" -B "$2" -DCMAKE_TOOLCHAIN_FILE="$repo/cmake/mingw-$1.cmake" \
          -DCMAKE_BUILD_TYPE=Release >/dev/null &&
    cmake --build "$2" -j "$jobs" &&
    ./scripts/check-exe.sh "$2/kestrine.exe" "$1"
}

wine_tier() {  # wine_tier TIER BUILD_DIR [run_tests options]
    local tier=$1 dir=$2; shift 2
    [ -f "$dir/kestrine.exe" ] && [ -x "$build/native/regtool" ] || {
        echo "wine tiers need the cross build and the native regtool"; return 1; }
    timeout 2400 /usr/bin/python3 tests/wine/run_tests.py --build-win32 "$dir" \
        --regtool "$build/native/regtool" --tier "$tier" --jobs 2 "$@"
}

step "native tests" native
step "fuzz, short runs" ./fuzz/run.sh ci
step "build i686" cross i686 "$build/win32"
step "build x86_64" cross x86_64 "$build/win64"
if [ "$arch" = win32 ]; then
    step "wine e2e on i686" wine_tier e2e "$build/win32"
    step "wine e2e on x86_64" wine_tier e2e "$build/win64" --wow64-exe "$build/win32/kestrine.exe"
    step "wine GUI on i686" wine_tier gui "$build/win32"
else
    echo "=== this machine runs 64-bit programs only (or KESTRINE_WINE64_ONLY=1): Wine tiers on the x86_64 build"
    step "wine e2e on x86_64" wine_tier e2e "$build/win64"
    step "wine GUI on x86_64" wine_tier gui "$build/win64"
fi

echo
echo "=== summary (Wine: $arch)"
status=0 passed=0 failed=0
for name in "${order[@]}"; do
    printf '  %-20s %s\n' "$name" "${result[$name]}"
    if [ "${result[$name]}" = pass ]; then passed=$((passed + 1)); else failed=$((failed + 1)); status=1; fi
done
echo "steps: $passed passed, $failed failed"
exit $status
