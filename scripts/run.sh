#!/usr/bin/env bash
# Installs what building and opening the window needs when it is missing (the
# test command, scripts/test.sh, installs the rest), and builds the programs
# as packaged, without the tests, in build-package/. Where a display is
# available, opens the window in the bundled examples/ runs directory (press
# Start to write examples/Summary.txt); elsewhere writes that table with
# quillmere-summary.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-dependencies.sh --window
cmake --preset release >/dev/null
if [[ -n ${DISPLAY:-} || -n ${WAYLAND_DISPLAY:-} ]]; then
  cmake --build --preset release --parallel "$(nproc)" --target quillmere
  cd examples
  exec ../build-package/app/qt/quillmere
fi
cmake --build --preset release --parallel "$(nproc)" --target quillmere-summary
build-package/cli/quillmere-summary examples
