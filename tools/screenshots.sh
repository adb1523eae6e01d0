#!/bin/sh
# Makes the README's pictures of the main panels in doc/: the program itself, offscreen,
# paired with its simulated unit (tools/screenshots.zs). Run after a build.
set -e
top="$(cd "$(dirname "$0")/.." && pwd)"
cd "$top"
sh tools/build.sh build -DCMAKE_BUILD_TYPE=RelWithDebInfo
mkdir -p doc
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
sed "s|OUT/|$work/|g" tools/screenshots.zs >"$work/screenshots.zs"
# A copy of the program in a fresh folder starts without the settings file of an
# earlier run, which would move windows and change what they show.
cp build/app/zazed "$work/zazed"
QT_QPA_PLATFORM=offscreen "$work/zazed" --demo --script "$work/screenshots.zs" >/dev/null
for f in "$work"/*.png; do
  cp "$f" doc/
done
ls -l doc/*.png
