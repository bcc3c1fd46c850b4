#!/bin/sh
# Builds the libFuzzer targets with clang into build/fuzz and runs them:
#   fuzz/run.sh TARGET SECONDS   one target (cli, reg_text or load) for that long
#   fuzz/run.sh all SECONDS      every target in turn
#   fuzz/run.sh ci               every target over its checked-in corpus for a few seconds
# New inputs go to build/fuzz/corpus/TARGET; a finding is written as crash-* and fails the run.
set -eu
cd "$(dirname "$0")/.."
targets=${1:-all} seconds=${2:-60}
if [ "$targets" = ci ]; then targets=all seconds=5; fi
if [ "$targets" = all ]; then targets="cli reg_text load"; fi
cmake -S . -B build/fuzz -DKESTRINE_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ >/dev/null
cmake --build build/fuzz -j2 >/dev/null
for t in $targets; do
  mkdir -p "build/fuzz/corpus/$t"
  "build/fuzz/fuzz/fuzz_$t" -max_total_time="$seconds" -timeout=20 -artifact_prefix="build/fuzz/$t-" \
    -print_final_stats=1 "build/fuzz/corpus/$t" "fuzz/corpus/$t"
done
