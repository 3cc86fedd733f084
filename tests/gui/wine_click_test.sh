#!/usr/bin/env bash
# Quillmere.exe under Wine on a virtual X display: started in a copy of a runs
# directory, it shows a window titled Form1 with a 758 x 456 client area; a
# mouse click in the middle of the Start button writes the table and the
# program ends by itself; started again, Check1 ticked, Start writes the
# workbook beside the table too, and openpyxl reads it. Exit 0 when it does, 1 when it does not, 77
# (skipped) when Wine or Xvfb is missing or no X server can be started here.
#
# Usage: wine_click_test.sh QUILLMERE-EXE RUNS-DIRECTORY WINE-PREFIX
set -uo pipefail

program=$(realpath "$1")
source_runs=$(realpath "$2")
export WINEPREFIX=$3
export WINEDEBUG=-all
source "$(dirname "$0")/click_start.sh"

command -v wine >/dev/null || skip "Wine is not installed"
start_click_display
# The window must appear on this display, not on an earlier program's.
wine_on_virtual_display
enter_copy_of_runs "$source_runs"

for tick in "" tick; do
  LC_ALL=C timeout 120 wine "$program" >"$work/program.log" 2>&1 &
  app_pid=$!
  click_start_and_check 60 1 30 $tick
  lines=$(wc -l <Summary.txt)
  [[ $(grep -c $'\r$' Summary.txt) -eq $lines ]] || fail "not every line ends in CR LF"
  grep -q $'\r\r' Summary.txt && fail "a line ends in CR CR LF"
  if [[ $tick == tick ]]; then
    check_workbook
  else
    [[ ! -e Summary.xlsx ]] || fail "Start wrote Summary.xlsx with Check1 unticked"
  fi
  echo "wine_click_test: ${tick:-no tick}: $rows rows from $reports reports; the program ended ${ended_ms} ms after the click"
  # The next program must find no server of this one's.
  wineserver --wait 2>/dev/null
done
