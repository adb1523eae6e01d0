#!/bin/sh
# fuzz.sh SECONDS|-runs=N [TARGET...]: builds the libFuzzer targets with clang 14
# (libFuzzer + ASan + UBSan, in build-fuzz/) and runs each for SECONDS (or for
# N executions, e.g. -runs=10000000 for a long run) on its seed corpus in
# fuzz/corpus/NAME and its dictionary fuzz/NAME.dict, if any. Each target's
# executions and executions per second are printed when it ends.
# Without targets it runs all of them, one after the other. New inputs that add
# coverage collect in build-fuzz/corpus-NAME and are used again on the next run.
# An input that takes longer than 10 s counts as a hang (timeout-*).
# A crash or a sanitizer report stops the run with status 1; the input is left
# in the current folder as crash-*, leak-*, timeout-* or oom-*.
set -e
limit="${1:?usage: fuzz.sh SECONDS|-runs=N [TARGET...]}"
shift
case "$limit" in
  -runs=*) budget="$limit" ;;
  *) budget="-max_total_time=$limit" ;;
esac
top="$(cd "$(dirname "$0")/.." && pwd)"
cd "$top"
sh tools/build.sh build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_C_COMPILER=clang-14 -DCMAKE_CXX_COMPILER=clang++-14 -DZAZED_FUZZ=ON -DZAZED_GUI=OFF
targets="$*"
[ -n "$targets" ] || targets=$(cd build-fuzz/fuzz && ls fuzz_* | sed 's/^fuzz_//')
for t in $targets; do
  f="build-fuzz/fuzz/fuzz_$t"
  [ -x "$f" ] || { echo "no fuzz target $t"; exit 2; }
  work="build-fuzz/corpus-$t"
  mkdir -p "$work"
  dict=""
  [ -f "fuzz/$t.dict" ] && dict="-dict=fuzz/$t.dict"
  echo "-- fuzz_$t, $limit"
  if ! "$f" "$budget" -timeout=10 -print_final_stats=1 $dict "$work" "fuzz/corpus/$t" \
    >"build-fuzz/fuzz_$t.log" 2>&1; then
    tail -n 40 "build-fuzz/fuzz_$t.log"
    echo "fuzz_$t found a crash (input saved in the current folder)"
    exit 1
  fi
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "build-fuzz/fuzz_$t.log")
  rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "build-fuzz/fuzz_$t.log")
  echo "   $runs runs, $rate/s"
done
