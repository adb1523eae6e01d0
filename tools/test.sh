#!/bin/sh
# Runs every test: the fuzzers for a short fixed time, the pure-code tests under
# AddressSanitizer and UndefinedBehaviorSanitizer, then the whole suite (the GUI
# tests offscreen). Each stage builds incrementally in its own folder.
set -e
top="$(cd "$(dirname "$0")/.." && pwd)"
cd "$top"
sh tools/deps.sh

echo "== fuzzers (clang, libFuzzer + ASan + UBSan) =="
sh tools/build.sh build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_C_COMPILER=clang-14 -DCMAKE_CXX_COMPILER=clang++-14 -DZAZED_FUZZ=ON -DZAZED_GUI=OFF
for f in build-fuzz/fuzz/fuzz_*; do
  [ -x "$f" ] || continue
  name=$(basename "$f")
  seeds="fuzz/corpus/${name#fuzz_}"
  work="build-fuzz/corpus-${name#fuzz_}"
  mkdir -p "$work"
  dict=""
  [ -f "fuzz/${name#fuzz_}.dict" ] && dict="-dict=fuzz/${name#fuzz_}.dict"
  echo "-- $name, 20 s"
  if ! "$f" -max_total_time=20 $dict "$work" "$seeds" >"build-fuzz/$name.log" 2>&1; then
    tail -n 40 "build-fuzz/$name.log"
    echo "$name found a crash (input saved in the current folder)"
    exit 1
  fi
  tail -n 1 "build-fuzz/$name.log"
done

echo "== pure-code tests under ASan + UBSan =="
sh tools/build.sh build-asan -DCMAKE_BUILD_TYPE=Debug -DZAZED_SANITIZE=ON -DZAZED_GUI=OFF
(cd build-asan && ctest --output-on-failure -j 2)

echo "== all tests =="
sh tools/build.sh build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cd build && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j 2
