#!/usr/bin/env bash
# Takes docs/window-windows.png, the README's picture of Quillmere.exe: the
# Windows build's program runs under Wine on a virtual X display, in a copy of
# the bundled examples/ runs directory on a drive D:, and its window is
# captured with ImageMagick's import. Builds Quillmere.exe in build-windows/
# first when it is not there (scripts/build-windows.sh builds and tests all).
set -euo pipefail
cd "$(dirname "$0")/.."

build=build-windows
program=$build/Quillmere.exe
if [[ ! -f $program ]]; then
  cmake --preset windows
  cmake --build --preset windows --parallel "$(nproc)" --target Quillmere
fi
scripts/install-packages.sh fonts-wine
for tool in wine Xvfb xdotool import; do
  command -v "$tool" >/dev/null || { echo "screenshot-windows: $tool is not installed" >&2; exit 1; }
done

# A prefix of its own: without a window manager Wine is asked to draw the
# window's caption and frame itself, which the click test's prefix must not.
export WINEPREFIX=$PWD/$build/wine-prefix-screenshot
export WINEDEBUG=-all
if [[ ! -f $WINEPREFIX/system.reg ]]; then
  wineboot --init >/dev/null 2>&1
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
  wineserver --wait
  # The caption's buttons are glyphs of Marlett, which Wine looks for here.
  cp /usr/share/wine/fonts/marlett.ttf "$WINEPREFIX/drive_c/windows/Fonts/"
fi

work=$(mktemp -d)
source scripts/virtual-display.sh
start_virtual_display || { echo "screenshot-windows: Xvfb did not start" >&2; exit 1; }
wineserver --wait

mkdir -p "$work/drive-d"
cp -R examples "$work/drive-d/runs"
rm -f "$work/drive-d/runs/Summary.txt"
ln -sfn "$work/drive-d" "$WINEPREFIX/dosdevices/d:"

root=$PWD
(cd "$work/drive-d/runs" && LC_ALL=C exec timeout 60 wine "$root/$program") &
app_pid=$!
window=$(timeout 60 xdotool search --sync --onlyvisible --name '^Form1$' | head -n 1)
[[ -n $window ]] || { echo "screenshot-windows: the window did not appear" >&2; exit 1; }
sleep 2  # let the first paint finish
mkdir -p docs
import -window "$window" docs/window-windows.png
rm -f "$WINEPREFIX/dosdevices/d:"
echo "Wrote docs/window-windows.png"
