#!/bin/sh
# Builds the fuzz targets with clang's source-based coverage into build/coverage, runs each
# target once over its checked-in corpus and prints the lines of the program each folder has
# and how many of them the corpora reach (ui/ and hotkey/ hold only their model side here: the
# win32/ folders are not built natively).
set -eu
cd "$(dirname "$0")/.."
targets="cli switch_file preview_save window load reg_text" out=build/coverage
flags="-fprofile-instr-generate -fcoverage-mapping"
cmake -S . -B $out -DKESTRINE_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_C_COMPILER=clang \
  -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_CXX_FLAGS="$flags" -DCMAKE_EXE_LINKER_FLAGS="$flags" >/dev/null
cmake --build $out -j2 >/dev/null
rm -rf $out/profiles && mkdir -p $out/profiles
objects=""
for t in $targets; do
  LLVM_PROFILE_FILE="$out/profiles/$t.profraw" "$out/fuzz/fuzz_$t" -runs=0 "fuzz/corpus/$t" 2>/dev/null >&2
  objects="$objects -object $out/fuzz/fuzz_$t"
done
llvm-profdata-14 merge -o $out/all.profdata $out/profiles/*.profraw
# Columns of the report: file (from the sources' common folder), regions (3), functions (3),
# lines, missed lines, ...
llvm-cov-14 report -instr-profile $out/all.profdata $objects -ignore-filename-regex='/(tests|fuzz)/' 2>/dev/null |
  awk '$1 ~ /\.(cpp|h)$/ { d = $1; sub(/[^\/]*$/, "", d); n[d] += $8; m[d] += $9 }
    END { for (d in n) printf "%-18s %5d lines %6.1f%% reached\n", d, n[d], 100 * (n[d] - m[d]) / n[d] }' | sort
