#!/usr/bin/env bash
# Takes docs/window.png, the README's picture of the window: the program is
# started in a copy of the bundled examples/ runs directory under a temporary
# folder on a virtual X display and its window is captured with ImageMagick's
# import. Run as root on Debian 12.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-dependencies.sh
scripts/install-packages.sh imagemagick
cmake --preset tests
cmake --build --preset tests --parallel "$(nproc)" --target quillmere

work=$(mktemp -d)
source scripts/virtual-display.sh
start_virtual_display || { echo "screenshot: Xvfb did not start" >&2; exit 1; }

# A neutral runs directory: the bundled examples, copied under a temporary
# folder, so the picture shows no path of the checkout.
cp -r examples "$work/runs"
rm -f "$work/runs/Summary.txt"
root=$PWD
(cd "$work/runs" && QT_QPA_PLATFORM=xcb LC_ALL=C.UTF-8 exec timeout 60 "$root/build/app/qt/quillmere") &
app_pid=$!
window=$(timeout 20 xdotool search --sync --onlyvisible --name '^Form1$' | head -n 1)
[[ -n $window ]] || { echo "screenshot: the window did not appear" >&2; exit 1; }
sleep 1  # let the first paint finish
mkdir -p docs
import -window "$window" docs/window.png
echo "Wrote docs/window.png"
