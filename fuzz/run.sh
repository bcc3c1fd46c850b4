#!/bin/sh
# Builds the libFuzzer targets with clang into build/fuzz and runs them:
#   fuzz/run.sh TARGET SECONDS   one target (cli, switch_file, window, load or reg_text) for that long
#   fuzz/run.sh all SECONDS      every target in turn
#   fuzz/run.sh ci               every target over its checked-in corpus for a few seconds
#   fuzz/run.sh campaign RUNS [TARGET...]   every target (or those named) for RUNS inputs; then
#       each checked-in corpus becomes the smallest set of its inputs and the new ones that reaches
#       as far
# New inputs go to build/fuzz/corpus/TARGET; a finding is written as build/fuzz/TARGET-crash-*
# (or -timeout-*, -oom-*) and fails the run; build/fuzz/fuzz/fuzz_TARGET FILE runs it again.
set -eu
cd "$(dirname "$0")/.."
mode=${1:-all} amount=${2:-60} all="cli switch_file preview_save window load reg_text"
cmake -S . -B build/fuzz -DKESTRINE_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ >/dev/null
cmake --build build/fuzz -j2 >/dev/null
fuzz() {  # TARGET, then libFuzzer's options and folders
  t=$1 && shift
  # A switch file may be as long as the program reads, and a byte longer; a window's session
  # is up to about twenty-five actions; the other inputs need a few KB (big files: switch_file).
  case $t in switch_file) n=1048577 ;; window) n=64 ;; reg_text) n=4096 ;; *) n=2048 ;; esac
  "build/fuzz/fuzz/fuzz_$t" -max_len=$n -timeout=20 -artifact_prefix="build/fuzz/$t-" "$@"
}
case $mode in
  ci) targets=$all limit=-max_total_time=3 ;;
  all) targets=$all limit=-max_total_time=$amount ;;
  campaign) shift && if [ $# -gt 0 ]; then shift; fi && targets=${*:-$all} limit=-runs=$amount ;;
  *) targets=$mode limit=-max_total_time=$amount ;;
esac
for t in $targets; do
  mkdir -p "build/fuzz/corpus/$t"
  fuzz "$t" "$limit" -print_final_stats=1 "build/fuzz/corpus/$t" "fuzz/corpus/$t"
  if [ "$mode" = campaign ]; then
    rm -rf "build/fuzz/merged/$t" && mkdir -p "build/fuzz/merged/$t"
    fuzz "$t" -merge=1 "build/fuzz/merged/$t" "fuzz/corpus/$t" "build/fuzz/corpus/$t"
    rm -rf "fuzz/corpus/$t" && mv "build/fuzz/merged/$t" "fuzz/corpus/$t"
  fi
done
if [ "$mode" = campaign ]; then
  du -sh --apparent-size fuzz/corpus/*
  [ "$(cat fuzz/corpus/*/* | wc -c)" -le 2097152 ] || { echo "the corpora hold more than 2 MB" >&2; exit 1; }
fi
