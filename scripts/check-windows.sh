#!/usr/bin/env bash
# Runs quillmere-summary.exe under Wine beside the Linux quillmere-summary,
# built from the same sources, and checks that both write the same files.
#
# The table: the bundled examples/ (ASCII names) give byte-identical tables,
# and run folders named "Puffer-Größe" and "Пруд-Ω" (UTF-8 on Linux) give a
# table naming them "Puffer-Größe" in Windows-1252 and "????-?", without
# failing, byte for byte the same on both.
#
# The workbook (--workbook): both workbooks hold the same cells, as openpyxl
# reads them (tests/workbook/dump_workbook.py), for the bundled examples/
# and for run folders named "Puffer-Größe" and "緩衝" with reports whose
# water maximum came by drainage, by run-off and by drift. The report links
# differ by design (Linux an absolute file: URL, Windows a path relative to
# the workbook): each must be there, of its kind. The directory read (as
# typed and as an absolute path) and the time of writing (sheet "About") are
# left out. Both run with two compared figures and every form of
# --threshold, so the Compare blocks, their formulas, cached results and
# conditional formats are compared too.
#
# Usage: scripts/check-windows.sh [BUILD_WINDOWS_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-windows}
exe="$PWD/$build/quillmere-summary.exe"
python=${QUILLMERE_PYTHON:-/usr/bin/python3}
export WINEPREFIX=${WINEPREFIX:-$PWD/$build/wine-prefix}
export WINEDEBUG=-all

# The Linux program, from the same sources, without the window.
cmake --preset command-line -B "$build/linux" >/dev/null
cmake --build "$build/linux" --target quillmere-summary --parallel "${QUILLMERE_JOBS:-$(nproc)}" >/dev/null
linux="$PWD/$build/linux/cli/quillmere-summary"

# A German user on both systems: "," as decimal point, and Windows-1252 as
# Wine's ANSI code page. Wine reads Linux file names in the locale's
# character set, so the locale must be installed (scripts/install-dependencies.sh
# makes de_DE.UTF-8); without it, C.UTF-8 and ".".
user_locale=de_DE.UTF-8
locale -a 2>/dev/null | grep -qi '^de_DE\.utf-\?8$' || user_locale=C.UTF-8
export LANG=$user_locale LC_ALL=$user_locale

check_tables() {
  work="$PWD/$build/table-check"
  rm -rf "$work"
  mkdir -p "$work"
  cp -r examples "$work/linux"
  cp -r examples "$work/windows"
  rm -f "$work/linux/Summary.txt" "$work/windows/Summary.txt"

  "$linux" "$work/linux" >/dev/null
  wine "$exe" "Z:$work/windows" >/dev/null
  if ! cmp "$work/linux/Summary.txt" "$work/windows/Summary.txt"; then
    echo "check-windows: the Linux and Windows tables of examples/ differ" >&2
    return 1
  fi

  mkdir -p "$work/names/Puffer-Größe/toxswa" "$work/names/Пруд-Ω/toxswa"
  cp examples/Baseline/toxswa/00001_D4_Pond.sum "$work/names/Puffer-Größe/toxswa/"
  cp examples/Baseline/toxswa/00001_D4_Pond.sum "$work/names/Пруд-Ω/toxswa/"
  cp -r "$work/names" "$work/names-linux"
  wine "$exe" "Z:$work/names" >/dev/null
  "$linux" "$work/names-linux" >/dev/null
  ids=$(cut -f1 "$work/names/Summary.txt" | tr -d '\r' | tail -n +2)
  expected=$(printf 'Puffer-Gr\xf6\xdfe\n????-?')
  if [[ $ids != "$expected" ]]; then
    echo "check-windows: run folder names in the Windows table are not Windows-1252:" >&2
    printf '%s\n' "$ids" | od -c >&2
    return 1
  fi
  if ! cmp "$work/names-linux/Summary.txt" "$work/names/Summary.txt"; then
    echo "check-windows: the Linux and Windows tables of non-ASCII run folder names differ" >&2
    return 1
  fi
  echo "check-windows: examples/ and non-ASCII names give the same table on Linux and Windows, in Windows-1252"
}

check_workbooks() {
  work="$PWD/$build/workbook-check"
  rm -rf "$work"
  mkdir -p "$work/trees"
  cp -r examples "$work/trees/examples"
  rm -f "$work/trees/examples/Summary.txt" "$work/trees/examples/Summary.xlsx"
  # Drainage (D4_Pond), run-off (R1_Stream, its maximum after the application)
  # and drift (the same report with its water maximum on the application date).
  names="$work/trees/names"
  mkdir -p "$names/Puffer-Größe/toxswa" "$names/緩衝/toxswa" "$names/Baseline/toxswa"
  cp examples/Baseline/toxswa/00001_D4_Pond.sum "$names/Puffer-Größe/toxswa/"
  cp examples/Baseline/toxswa/00003_R1_Stream.sum "$names/Baseline/toxswa/"
  sed '0,/^Global max/s/25-Nov-1978-02h00/14-Nov-1978-09h00/' examples/Baseline/toxswa/00003_R1_Stream.sum \
    >"$names/緩衝/toxswa/00003_R1_Stream.sum"

  # The cells of a workbook, the link targets replaced by their kind.
  cells() {
    "$python" tests/workbook/dump_workbook.py "$1" |
      grep -v -e '^About!B1	' -e '^About!B3	' -e '^About!B6	' |
      sed -E -e 's#	link=[^/	:][^:	]*$#	link=(relative path)#' -e 's#	link=file:///[^	]*$#	link=(file URL)#'
  }

  # Two figures, a threshold for every block, one per figure, and one for the
  # metabolite alone, with a decimal comma and a sign.
  options=(--workbook --compare PECsw_max --compare TWA21d --threshold 10 --threshold TWA21d=0,5
    --threshold EXSW2-M1:PECsw_max=+0.1)
  status=0
  for tree in examples names; do
    cp -r "$work/trees/$tree" "$work/$tree-linux"
    cp -r "$work/trees/$tree" "$work/$tree-windows"
    "$linux" "${options[@]}" "$work/$tree-linux" >/dev/null 2>"$work/$tree-linux.err"
    wine "$exe" "${options[@]}" "Z:$work/$tree-windows" >/dev/null 2>"$work/$tree-windows.err"
    cells "$work/$tree-linux/Summary.xlsx" >"$work/$tree-linux.cells"
    cells "$work/$tree-windows/Summary.xlsx" >"$work/$tree-windows.cells"
    # Every report name links, on Linux by a file URL, on Windows by a relative path.
    for system in linux windows; do
      kind='(relative path)'
      [[ $system == linux ]] && kind='(file URL)'
      if grep -P '^Summary!B([2-9]|\d\d+)\t' "$work/$tree-$system.cells" | grep -vqF "link=$kind"; then
        echo "check-windows: a report name of the $system workbook of $tree has no link $kind" >&2
        status=1
      fi
    done
    if ! diff <(sed 's#	link=(file URL)$#	link=(relative path)#' "$work/$tree-linux.cells") \
      "$work/$tree-windows.cells" >&2; then
      echo "check-windows: the Linux and Windows workbooks of $tree differ (< Linux, > Windows)" >&2
      status=1
    fi
  done
  # The examples as expected, not only alike: a block per substance and figure,
  # each with its threshold, and the counts written with their results.
  for expected in 'Compare!A1	s	"EXSW2: PECsw_max"' 'Compare!B2	n	10' 'Compare!B12	n	0.5' \
    'Compare!A21	s	"EXSW2-M1: PECsw_max"' 'Compare!B22	n	0.1' 'Compare!F5	f	.*	result=4' \
    'Compare rule B5:E7 AND(ISNUMBER($B$2),ISNUMBER(B5),B5>$B$2)'; do
    if ! grep -q "$expected" "$work/examples-windows.cells"; then
      echo "check-windows: the Windows workbook of examples has no line matching $expected" >&2
      status=1
    fi
  done
  # The names tree as expected, not only alike: Unicode run folders, all three routes.
  for expected in 'Summary!A[0-9]*	s	"Puffer-Größe"' 'Summary!A[0-9]*	s	"緩衝"' \
    '	"Drift"$' '	"Drainage"$' '	"Run-off"$'; do
    if ! grep -q "$expected" "$work/names-windows.cells"; then
      echo "check-windows: the Windows workbook of names has no cell matching $expected" >&2
      status=1
    fi
  done
  [[ $status != 0 ]] || echo "check-windows: examples/ and non-ASCII run folders give the same workbook cells on Linux and Windows"
  return $status
}

# Each stops the script at its first failure (set -e), the table first.
check_tables
check_workbooks
