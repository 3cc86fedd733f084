#!/usr/bin/env bash
# Builds the report reader's fuzzer (clang, libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer) and runs it for SECONDS (default 60) on all
# cores but one. The corpus grows in build-fuzz/corpus, seeded from reports
# in the model's layout and from fuzz/corpus/ (the inputs of past findings);
# a crash leaves its input in build-fuzz/artifacts/ and fails the script.
# QUILLMERE_FUZZ_BUILD names another build folder, so a long run keeps its
# own binary while the tree is rebuilt.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds="${1:-60}"
scripts/install-dependencies.sh
build="${QUILLMERE_FUZZ_BUILD:-build-fuzz}"
flags="-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer"

cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_CXX_FLAGS="$flags" \
  -DQUILLMERE_BUILD_TESTS=OFF -DQUILLMERE_BUILD_GUI=OFF -DQUILLMERE_BUILD_FUZZER=ON >/dev/null
cmake --build "$build" --target report_reader_fuzzer make_fuzz_seeds

mkdir -p "$build/corpus" "$build/seeds" "$build/artifacts"
"$build/fuzz/make_fuzz_seeds" "$build/seeds"

jobs=$(( $(nproc) > 1 ? $(nproc) - 1 : 1 ))
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
"$build/fuzz/report_reader_fuzzer" "$build/corpus" "$build/seeds" fuzz/corpus \
  -max_total_time="$seconds" -max_len=262144 -timeout=10 -rss_limit_mb=2048 \
  -artifact_prefix="$build/artifacts/" -print_final_stats=1 \
  ${jobs:+-fork="$jobs"} -ignore_crashes=0
