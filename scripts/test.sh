#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-dependencies.sh
cmake --preset tests
cmake --build --preset tests --parallel "$(nproc)"
ctest --preset tests
