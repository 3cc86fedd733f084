#!/usr/bin/env bash
# Measures quillmere-summary on generated trees of reports against the floor
# of reading the same files with cat, page cache warm.
#
#   bench/run.sh [REPORTS...]     (default: 200 2000 20000)
#
# For each size: the median wall time of RUNS (default 11) alternating runs of
# `cat` of every report and of quillmere-summary, their ratio, the time per
# report and the peak resident memory (/usr/bin/time). Then the peak memory
# of a run whose one report is 50 MB with no line end, a tree of the older
# FOCUS_TOXSWA 3.x layout against one of today's, per byte, and the report
# reader alone on reports in memory (Google Benchmark). Trees are kept in
# QUILLMERE_BENCH_DIR (default /tmp/quillmere-bench) and reused.
set -euo pipefail
cd "$(dirname "$0")/.."

work="${QUILLMERE_BENCH_DIR:-/tmp/quillmere-bench}"
# A tree is reused when it holds the marker of the generator that made it:
# "-2" since each report of a run folder has a scenario of its own.
runs="${RUNS:-11}"
sizes=("$@")
((${#sizes[@]})) || sizes=(200 2000 20000)

scripts/install-dependencies.sh
cmake --preset bench >/dev/null
cmake --build --preset bench --parallel "$(nproc)" --target quillmere-summary make_bench_runs report_reader_benchmark >/dev/null
exe="$PWD/build-bench/cli/quillmere-summary"
mkdir -p "$work"

median() { sort -n | awk '{v[NR] = $1} END {print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2}'; }
now() { date +%s%N; }
peak_kib() { /usr/bin/time -f %M "$@" 2>&1 >/dev/null | tail -1; }

# Makes the tree $1 of $2 reports (of the older layout with "older") unless
# the generator of today made it already.
make_tree() {
  [[ -e "$1/.complete-2" ]] && return 0
  rm -rf "$1"
  build-bench/bench/make_bench_runs "$@"
  touch "$1/.complete-2"  # hidden: the run skips it
}

# Runs the commands (functions) $1 and $2 $runs times, alternating, and sets
# first_us and second_us to the median wall time of each, in microseconds.
alternate() {
  local first=() second=() i t0 t1 t2
  for ((i = 0; i < runs; i++)); do
    t0=$(now); "$1" >/dev/null; t1=$(now)
    "$2" >/dev/null; t2=$(now)
    first+=($(((t1 - t0) / 1000)))
    second+=($(((t2 - t1) / 1000)))
  done
  first_us=$(printf '%s\n' "${first[@]}" | median)
  second_us=$(printf '%s\n' "${second[@]}" | median)
}
cat_reports() { xargs -0 cat <"$list"; }
run_tree() { "$exe" "$tree"; }
run_older() { "$exe" "$older"; }
run_today() { "$exe" "$today"; }
run_book() { "$exe" "${book[@]}" "$tree"; }

echo "machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ *//'), Linux $(uname -r), $(awk '/MemTotal/ {printf "%.0f GiB", $2 / 1048576}' /proc/meminfo)"
echo "runs per figure: $runs, alternating; medians"
printf '| %8s | %9s | %9s | %15s | %6s | %14s | %13s |\n' reports "tree MB" "cat ms" "quillmere ms" ratio "µs per report" "peak RSS KiB"
printf '|---------:|----------:|----------:|----------------:|-------:|---------------:|--------------:|\n'
for n in "${sizes[@]}"; do
  tree="$work/$n"
  make_tree "$tree" "$n"
  list="$work/$n.list"
  find "$tree" -name '*.sum' -print0 | sort -z >"$list"
  bytes=$(xargs -0 cat <"$list" | wc -c)
  "$exe" "$tree" >/dev/null  # warms the cache and the table

  alternate cat_reports run_tree
  catUs=$first_us
  runUs=$second_us
  rss=0
  for ((i = 0; i < 3; i++)); do
    r=$(peak_kib "$exe" "$tree")
    ((r > rss)) && rss=$r
  done
  awk -v n="$n" -v b="$bytes" -v c="$catUs" -v q="$runUs" -v m="$rss" 'BEGIN {
    printf "| %8d | %9.1f | %9.1f | %15.1f | %6.2f | %14.1f | %13d |\n", n, b / 1e6, c / 1000, q / 1000, q / c, q / n, m }'
done

# Reports of the older FOCUS_TOXSWA 3.x layout against today's, per byte:
# trees of OLDER_SIZES reports (default 2000) of each, runs alternating.
echo
echo "older layout against today's: medians of $runs alternating runs"
printf '| %8s | %11s | %11s | %13s | %13s | %15s | %15s |\n' reports "older MB" "today's MB" "older ms" "today's ms" "older ns per KB" "today's ns per KB"
printf '|---------:|------------:|------------:|--------------:|--------------:|----------------:|----------------:|\n'
for n in ${OLDER_SIZES:-2000}; do
  today="$work/$n"
  older="$work/older-$n"
  make_tree "$today" "$n"
  make_tree "$older" "$n" older
  "$exe" "$today" >/dev/null
  "$exe" "$older" >/dev/null
  olderBytes=$(find "$older" -name '*.sum' -print0 | xargs -0 cat | wc -c)
  todayBytes=$(find "$today" -name '*.sum' -print0 | xargs -0 cat | wc -c)
  alternate run_older run_today
  olderUs=$first_us
  todayUs=$second_us
  awk -v n="$n" -v ob="$olderBytes" -v tb="$todayBytes" -v o="$olderUs" -v t="$todayUs" 'BEGIN {
    printf "| %8d | %11.1f | %11.1f | %13.1f | %13.1f | %15.1f | %15.1f |\n", n, ob / 1e6, tb / 1e6, o / 1000, t / 1000, o * 1000 / (ob / 1024), t * 1000 / (tb / 1024) }'
done

# One report of 50 MB in a single line: memory stays near the report's size.
long="$work/long-line"
if [[ ! -e "$long/.complete-2" ]]; then
  rm -rf "$long"
  mkdir -p "$long/run/toxswa"
  head -c $((50 * 1024 * 1024)) /dev/zero | tr '\0' x >"$long/run/toxswa/long.sum"
  touch "$long/.complete-2"
fi
echo
echo "one 50 MB report without a line end: peak RSS $(peak_kib "$exe" "$long") KiB (the run fails on it, as it should)"

# The report reader alone, on the same reports held in memory.
echo
build-bench/bench/report_reader_benchmark --benchmark_min_time=1 2>/dev/null | grep '^BM_'

# The workbook: the same run with --workbook, two compared figures and a
# threshold, against the text table alone, on 2,000 and 20,000 reports
# (WORKBOOK_SIZES), and its peak memory.
book=(--workbook --compare PECsw_max --compare TWA21d --threshold 0.1)
echo
echo "with ${book[*]}: medians of $runs alternating runs"
printf '| %8s | %15s | %15s | %6s | %13s | %13s |\n' reports "table ms" "+ workbook ms" ratio "table KiB" "+ workbook KiB"
printf '|---------:|----------------:|----------------:|-------:|--------------:|--------------:|\n'
for n in ${WORKBOOK_SIZES:-2000 20000}; do
  tree="$work/$n"
  make_tree "$tree" "$n"
  "$exe" "${book[@]}" "$tree" >/dev/null
  alternate run_tree run_book
  tableUs=$first_us
  bookUs=$second_us
  awk -v n="$n" -v t="$tableUs" -v w="$bookUs" -v a="$(peak_kib "$exe" "$tree")" \
    -v b="$(peak_kib "$exe" "${book[@]}" "$tree")" 'BEGIN {
    printf "| %8d | %15.1f | %15.1f | %6.2f | %13d | %13d |\n", n, t / 1000, w / 1000, w / t, a, b }'
done
