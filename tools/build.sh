#!/bin/sh
# build.sh DIR [cmake options...]: configures DIR once, then builds it incrementally.
set -e
dir="$1"; shift
top="$(cd "$(dirname "$0")/.." && pwd)"
if [ ! -f "$top/$dir/build.ninja" ]; then
  cmake -S "$top" -B "$top/$dir" -G Ninja "$@"
fi
cmake --build "$top/$dir" -j "$(nproc)"
