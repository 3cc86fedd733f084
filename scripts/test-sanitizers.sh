#!/usr/bin/env bash
# Builds the core, the command line and every test with AddressSanitizer and
# UndefinedBehaviorSanitizer (any finding stops the test that hit it) and runs
# the whole test suite. The window is left out: the sanitizers watch the core.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-dependencies.sh
flags="-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer"
cmake -S . -B build-sanitizers -G Ninja -DCMAKE_BUILD_TYPE=Debug \
  -DCMAKE_CXX_FLAGS="$flags" -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined" \
  -DQUILLMERE_BUILD_TESTS=ON -DQUILLMERE_BUILD_GUI=OFF
cmake --build build-sanitizers --parallel
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:strict_string_checks=1"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
ctest --test-dir build-sanitizers --output-on-failure --timeout 600
