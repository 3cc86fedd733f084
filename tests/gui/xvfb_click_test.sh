#!/usr/bin/env bash
# The real program on a virtual X display: started in a copy of a runs
# directory, a mouse click in the middle of the Start button writes the table
# and the program ends by itself; started again, Check1 ticked, Start writes
# the workbook beside the table too, and openpyxl reads it. Exit 0 when it does, 1 when it does not,
# 77 (skipped) when no X server can be started here.
#
# Usage: xvfb_click_test.sh QUILLMERE-EXECUTABLE RUNS-DIRECTORY
set -uo pipefail

program=$(realpath "$1")
source_runs=$(realpath "$2")
source "$(dirname "$0")/click_start.sh"

start_click_display
enter_copy_of_runs "$source_runs"

# Figures follow the user's locale: with a decimal comma where one exists.
separator="."
if locale -a 2>/dev/null | grep -qi '^de_DE\.utf-\?8$'; then
  export LC_ALL=de_DE.UTF-8
  separator=","
fi

for tick in "" tick; do
  QT_QPA_PLATFORM=xcb timeout 60 "$program" >"$work/program.log" 2>&1 &
  app_pid=$!
  click_start_and_check 20 0 10 $tick
  grep -q "[0-9]${separator}[0-9]" Summary.txt || fail "no figure with the decimal separator '$separator'"
  if [[ $tick == tick ]]; then
    check_workbook
  else
    [[ ! -e Summary.xlsx ]] || fail "Start wrote Summary.xlsx with Check1 unticked"
  fi
  echo "xvfb_click_test: ${tick:-no tick}: $rows rows from $reports reports; the program ended ${ended_ms} ms after the click"
done
