#!/usr/bin/env bash
# Installs what is missing, builds, and writes the table of the bundled
# examples/ runs directory.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-dependencies.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build --parallel --target quillmere-summary
build/cli/quillmere-summary examples
