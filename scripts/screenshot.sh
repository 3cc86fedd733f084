#!/usr/bin/env bash
# Takes the README's picture of the window on a virtual X display
# (scripts/virtual-display.sh), in a copy of the bundled examples/ runs
# directory under a temporary folder, so that the picture shows no path of
# the checkout, and captures it with ImageMagick's import. Run as root on
# Debian 12.
#   scripts/screenshot.sh            docs/window.png: the Qt window, built in
#                                    build/
#   scripts/screenshot.sh --windows  docs/window-windows.png: Quillmere.exe
#                                    under Wine, the runs on a drive D:; builds
#                                    it in build-windows/ first when it is not
#                                    there (scripts/build-windows.sh builds and
#                                    tests all)
set -euo pipefail
cd "$(dirname "$0")/.."

source scripts/lib/one-option.sh
system=linux
if one_option --windows "scripts/screenshot.sh [--windows]" "$@"; then system=windows; fi

if [[ $system == linux ]]; then
  scripts/install-dependencies.sh
  scripts/install-dependencies.sh imagemagick
  cmake --preset tests
  cmake --build --preset tests --parallel "$(nproc)" --target quillmere
  picture=docs/window.png
else
  build=build-windows
  program=$build/Quillmere.exe
  if [[ ! -f $program ]]; then
    cmake --preset windows
    cmake --build --preset windows --parallel "$(nproc)" --target Quillmere
  fi
  scripts/install-dependencies.sh fonts-wine imagemagick
  picture=docs/window-windows.png
fi
for tool in Xvfb xdotool import; do
  command -v "$tool" >/dev/null || { echo "screenshot: $tool is not installed" >&2; exit 1; }
done

if [[ $system == windows ]]; then
  command -v wine >/dev/null || { echo "screenshot: wine is not installed" >&2; exit 1; }
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
fi

work=$(mktemp -d)
source scripts/virtual-display.sh
start_virtual_display || { echo "screenshot: Xvfb did not start" >&2; exit 1; }

root=$PWD
if [[ $system == linux ]]; then
  cp -r examples "$work/runs"
  rm -f "$work/runs/Summary.txt"
  (cd "$work/runs" && QT_QPA_PLATFORM=xcb LC_ALL=C.UTF-8 exec timeout 60 "$root/build/app/qt/quillmere") &
  app_pid=$!
  wait_for=20
  first_paint=1
else
  wineserver --wait
  mkdir -p "$work/drive-d"
  cp -R examples "$work/drive-d/runs"
  rm -f "$work/drive-d/runs/Summary.txt"
  ln -sfn "$work/drive-d" "$WINEPREFIX/dosdevices/d:"
  trap 'rm -f "$WINEPREFIX/dosdevices/d:"; stop_virtual_display' EXIT
  (cd "$work/drive-d/runs" && LC_ALL=C exec timeout 60 wine "$root/$program") &
  app_pid=$!
  wait_for=60
  first_paint=2
fi
window=$(timeout "$wait_for" xdotool search --sync --onlyvisible --name '^Form1$' | head -n 1)
[[ -n $window ]] || { echo "screenshot: the window did not appear" >&2; exit 1; }
sleep "$first_paint"  # let the first paint finish
mkdir -p docs
import -window "$window" "$picture"
echo "Wrote $picture"
