#!/usr/bin/env bash
# Builds the two fuzzers (clang, libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer) and runs them one after the other, SECONDS
# (default 60) split between them, on all cores but one:
#  - report_reader_fuzzer feeds any bytes to the report reader, with the
#    reader's marker texts as a dictionary (fuzz/report.dict); its corpus is
#    fuzz/corpus/, seeded from the template reports in the model's layout;
#  - summary_run_fuzzer builds a directory tree from its input and runs the
#    whole summary over it; its corpus is fuzz/corpus-run/.
# Every input that reaches new code is kept in those corpus folders, so the
# next run starts where this one ended; commit them now and then, after
# `-merge=1` has kept the inputs that matter.
# A crash leaves its input in build-fuzz/artifacts/ and fails the script.
# QUILLMERE_FUZZ_BUILD names another build folder, so a long run keeps its
# own binary while the tree is rebuilt; QUILLMERE_FUZZ_TARGETS picks the
# targets (default "report_reader_fuzzer summary_run_fuzzer").
set -euo pipefail
cd "$(dirname "$0")/.."

seconds="${1:-60}"
scripts/install-dependencies.sh
build="${QUILLMERE_FUZZ_BUILD:-build-fuzz}"
targets=(${QUILLMERE_FUZZ_TARGETS:-report_reader_fuzzer summary_run_fuzzer})

cmake --preset fuzz -B "$build" >/dev/null
cmake --build "$build" --parallel "$(nproc)" --target "${targets[@]}" make_fuzz_seeds

mkdir -p fuzz/corpus fuzz/corpus-run "$build/seeds" "$build/artifacts"
"$build/fuzz/make_fuzz_seeds" "$build/seeds"

jobs=$(( $(nproc) > 1 ? $(nproc) - 1 : 1 ))
share=$(( seconds / ${#targets[@]} > 0 ? seconds / ${#targets[@]} : 1 ))
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
common=(-max_total_time="$share" -timeout=10 -rss_limit_mb=2048 -artifact_prefix="$build/artifacts/"
  -print_final_stats=1 -fork="$jobs" -ignore_crashes=0)
for target in "${targets[@]}"; do
  case "$target" in
    report_reader_fuzzer)
      "$build/fuzz/report_reader_fuzzer" fuzz/corpus "$build/seeds" \
        -dict=fuzz/report.dict -max_len=262144 "${common[@]}" ;;
    summary_run_fuzzer)
      "$build/fuzz/summary_run_fuzzer" fuzz/corpus-run \
        -dict=fuzz/report.dict -max_len=16384 "${common[@]}" ;;
    *) echo "fuzz/run.sh: unknown target $target" >&2; exit 2 ;;
  esac
done
