#!/bin/sh
# Builds zazed and starts it with its simulated control unit (zazed --demo).
# Without a display the same demo runs offscreen from a script and leaves
# screenshots in demo-out/.
set -e
top="$(cd "$(dirname "$0")/.." && pwd)"
cd "$top"
sh tools/deps.sh
sh tools/build.sh build -DCMAKE_BUILD_TYPE=RelWithDebInfo
if [ -n "$DISPLAY" ] || [ -n "$WAYLAND_DISPLAY" ]; then
  echo "Starting zazed with a simulated unit: the connect panel shows its TCP address."
  exec build/app/zazed --demo "$@"
fi
out="$top/demo-out"
mkdir -p "$out"
rm -f "$out"/*.png "$out"/recording.csv
echo "No display: running the demo offscreen (tools/demo.zs); screenshots go to $out"
sed "s|OUT/|$out/|g" tools/demo.zs >build/demo.zs
QT_QPA_PLATFORM=offscreen build/app/zazed --demo --script build/demo.zs
echo "Done. Screenshots and the recording:"
ls -1 "$out"
