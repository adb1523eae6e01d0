#!/bin/sh
# Runs every test: the fuzzers for a short fixed time (tools/fuzz.sh), the
# pure-code tests under AddressSanitizer and UndefinedBehaviorSanitizer, then the
# whole suite (the GUI tests offscreen). Each stage builds incrementally in its own folder.
set -e
top="$(cd "$(dirname "$0")/.." && pwd)"
cd "$top"
sh tools/deps.sh

echo "== fuzzers (clang, libFuzzer + ASan + UBSan) =="
# 15 s per target keeps this stage near three minutes (12 targets) on two cores;
# long runs go through tools/fuzz.sh by hand.
sh tools/fuzz.sh 15

echo "== pure-code tests under ASan + UBSan =="
sh tools/build.sh build-asan -DCMAKE_BUILD_TYPE=Debug -DZAZED_SANITIZE=ON -DZAZED_GUI=OFF
(cd build-asan && ctest --output-on-failure -j 2)

echo "== all tests =="
sh tools/build.sh build -DCMAKE_BUILD_TYPE=RelWithDebInfo
(cd build && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j 2)

echo "== soak, 30 s (RUN with recording and VIDEO against the unit with 1 % faults) =="
# Longer soaks by hand: build/bench/soak --minutes 10.
QT_QPA_PLATFORM=offscreen build/bench/soak --minutes 0.5
