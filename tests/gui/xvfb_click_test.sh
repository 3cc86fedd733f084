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
work=$(mktemp -d "${TMPDIR:-/tmp}/quillmere-xvfb-XXXXXX")
source "$(dirname "$0")/../../scripts/virtual-display.sh"
source "$(dirname "$0")/click_start.sh"

fail() { echo "xvfb_click_test: $*" >&2; exit 1; }
skip() { echo "xvfb_click_test: skipped: $*" >&2; exit 77; }

command -v Xvfb >/dev/null || skip "Xvfb is not installed"
command -v xdotool >/dev/null || fail "xdotool is not installed"

start_virtual_display || skip "Xvfb did not start: $(tail -n 3 "$work/xvfb.log" | tr '\n' ' ')"

cp -R "$source_runs" "$work/runs" || fail "cannot copy $source_runs"
rm -f "$work/runs/Summary.txt" "$work/runs/Summary.xlsx"

# Figures follow the user's locale: with a decimal comma where one exists.
separator="."
if locale -a 2>/dev/null | grep -qi '^de_DE\.utf-\?8$'; then
  export LC_ALL=de_DE.UTF-8
  separator=","
fi

cd "$work/runs" || fail "cannot enter $work/runs"
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
