#!/usr/bin/env bash
# Makes app/win32/quillmere.ico, the icon of Quillmere.exe, from
# app/quillmere.svg with ImageMagick: the sizes Explorer, the task bar and the
# window's caption ask for. Run it again after the picture changes and commit
# the result.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-dependencies.sh imagemagick
convert -background none -density 384 app/quillmere.svg \
  -define icon:auto-resize=256,64,48,32,24,16 app/win32/quillmere.ico
echo "Wrote app/win32/quillmere.ico"
