#!/usr/bin/env bash
# Measures the peak memory of quillmere-summary on one report of the three
# shapes that cost the most memory per byte, at several sizes:
#
#   substances    "* Substance" lines (12 bytes each), then one line that
#                 holds every water-layer marker and one every sediment
#                 marker, so that each substance is read in full and written
#   empty-rows    empty lines after the "Appl.No  Date/Hour" heading: each
#                 an application row with an empty date
#   long-lines    one substance per MB, each named on its "PEC in water
#                 layer" line by a name of 1,000,000 bytes: lines as long as
#                 a report may have (1 MiB), every name kept and written
#
#   bench/memory.sh [MB...]    (default: 25 50 100)
#
# For each: report size, peak resident memory (/usr/bin/time -v), its ratio
# to the report's size, wall time, exit status and table size. Reports are
# kept in QUILLMERE_BENCH_DIR (default /tmp/quillmere-bench) and reused;
# QUILLMERE_SUMMARY names another build of the program to measure instead.
set -euo pipefail
cd "$(dirname "$0")/.."

work="${QUILLMERE_BENCH_DIR:-/tmp/quillmere-bench}/memory"
sizes=("$@")
((${#sizes[@]})) || sizes=(25 50 100)

exe="${QUILLMERE_SUMMARY:-}"
if [[ -z "$exe" ]]; then
  scripts/install-dependencies.sh
  cmake --preset bench >/dev/null
  cmake --build --preset bench --parallel "$(nproc)" --target quillmere-summary >/dev/null
  exe="$PWD/build-bench/cli/quillmere-summary"
fi
mkdir -p "$work"

header() {
  printf '* TOXSWA REPORT: Header\n* Scenario                : D4_Pond\n* End of TOXSWA REPORT: Header\n'
}

# Writes the report of shape $1 with about $2 MB into $3.
make_report() {
  local shape=$1 bytes=$(($2 * 1000 * 1000)) file=$3
  {
    header
    case $shape in
      substances)
        { yes '* Substance' || true; } | head -n $((bytes / 12))
        printf '* Summary for the substance loadings\n* Appl.No  Date/Hour\n    1   14-Nov-1978-09h00\n*\n'
        printf '%-42s%s\n' 'PEC in water layer Global max  TWAECsw_7_days TWAECsw_21_days' ' Substance-A'
        printf 'Global max    TWAECsed_7_days TWAECsed_21_days\n'
        ;;
      empty-rows)
        printf '* Summary for the substance loadings\n* Appl.No  Date/Hour\n'
        head -c "$bytes" /dev/zero | tr '\0' '\n'
        printf '*\n'
        ;;
      long-lines)
        local count=$((bytes / 1000000)) i name
        name=$(head -c 1000000 /dev/zero | tr '\0' x)
        for ((i = 1; i <= count; i++)); do printf '* Substance %2d:  A\n' "$i"; done
        printf '* Summary for the substance loadings\n* Appl.No  Date/Hour\n*\n'
        for ((i = 1; i <= count; i++)); do
          printf '%-42s%s\n' '* Table: PEC in water layer of substance:' "$name"
          printf 'Global max          1.5   25-Nov-1978-02h00\nTWAECsw_7_days      1.5\n'
          printf 'TWAECsw_21_days     1.5\n'
        done
        for ((i = 1; i <= count; i++)); do
          printf 'Global max           1.5   25-Nov-1978-11h00\n'
          printf 'TWAECsed_7_days      1.5\nTWAECsed_21_days     1.5\n'
        done
        ;;
    esac
  } >"$file"
}

echo "machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ *//'), Linux $(uname -r), $(awk '/MemTotal/ {printf "%.0f GiB", $2 / 1048576}' /proc/meminfo)"
printf '| %-10s | %9s | %13s | %14s | %7s | %4s | %10s |\n' shape "report MB" "peak RSS MiB" "peak / report" "wall s" exit "table MB"
printf '|:-----------|----------:|--------------:|---------------:|--------:|-----:|-----------:|\n'
for shape in substances empty-rows long-lines; do
  for mb in "${sizes[@]}"; do
    tree="$work/$shape-$mb"
    report="$tree/run/toxswa/$shape.sum"
    if [[ ! -e "$tree/.complete" ]]; then
      rm -rf "$tree"
      mkdir -p "$tree/run/toxswa"
      make_report "$shape" "$mb" "$report"
      touch "$tree/.complete"  # hidden: the run skips it
    fi
    bytes=$(stat -c %s "$report")
    status=0
    /usr/bin/time -v -o "$work/time.txt" "$exe" "$tree" >/dev/null 2>"$work/stderr.txt" || status=$?
    kib=$(awk -F': ' '/Maximum resident set size/ {print $2}' "$work/time.txt")
    wall=$(awk -F': ' '/Elapsed \(wall clock\)/ {print $2}' "$work/time.txt" |
      awk -F: '{s = 0; for (i = 1; i <= NF; i++) s = s * 60 + $i; print s}')
    table=$(stat -c %s "$tree/Summary.txt" 2>/dev/null || echo 0)
    rm -f "$tree/Summary.txt"
    awk -v s="$shape" -v b="$bytes" -v k="$kib" -v w="$wall" -v e="$status" -v t="$table" 'BEGIN {
      printf "| %-10s | %9.1f | %13.1f | %14.2f | %7.2f | %4d | %10.1f |\n", s, b / 1e6, k / 1024, k * 1024 / b, w, e, t / 1e6 }'
  done
done
