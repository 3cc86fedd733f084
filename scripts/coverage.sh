#!/usr/bin/env bash
# Builds the core, the workbook, the command line and the tests with gcc's
# coverage instrumentation in build-coverage/ (the Qt window is left out;
# what every window shows and does, app/window/, is built uncounted for its
# tests, which reach the layers below it), runs every
# test, and prints the lines and branches of runtime/, summary/, workbook/ and
# cli/ that the tests reach, per file, and in all. The branches that gcc adds for exceptions thrown
# by called functions (--exclude-throw-branches) and those it can prove never
# taken (--exclude-unreachable-branches) are not counted; see the README.
# Every line and branch can be looked at in build-coverage/coverage.html.
# Only the code under measure is instrumented (QUILLMERE_COVERAGE in
# CMakeLists.txt): the functions of the .cpp files of runtime/, summary/,
# workbook/ and cli/, not the inline functions of headers.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-dependencies.sh
scripts/install-dependencies.sh gcovr

build=build-coverage
cmake --preset coverage >/dev/null
cmake --build --preset coverage --parallel "$(nproc)"
# Counts from an earlier run would add up with this one.
find "$build" -name '*.gcda' -delete
ctest --test-dir "$build" --output-on-failure --timeout 600

filters=(--filter 'runtime/' --filter 'summary/' --filter 'workbook/' --filter 'cli/')
options=(--root . --object-directory "$build" --exclude-throw-branches --exclude-unreachable-branches)
gcovr "${options[@]}" "${filters[@]}" --html-details "$build/coverage.html" >/dev/null
echo
echo "Lines covered, per file:"
gcovr "${options[@]}" "${filters[@]}" --sort-percentage
echo
echo "Branches covered, per file:"
gcovr "${options[@]}" "${filters[@]}" --branches --sort-percentage
