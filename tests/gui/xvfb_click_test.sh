#!/usr/bin/env bash
# The real program on a virtual X display: started in a copy of a runs
# directory, a mouse click in the middle of the Start button writes the table
# and the program ends by itself. Exit 0 when it does, 1 when it does not,
# 77 (skipped) when no X server can be started here.
#
# Usage: xvfb_click_test.sh QUILLMERE-EXECUTABLE RUNS-DIRECTORY
set -uo pipefail

program=$(realpath "$1")
source_runs=$(realpath "$2")
work=$(mktemp -d "${TMPDIR:-/tmp}/quillmere-xvfb-XXXXXX")
source "$(dirname "$0")/../../scripts/virtual-display.sh"

fail() { echo "xvfb_click_test: $*" >&2; exit 1; }
skip() { echo "xvfb_click_test: skipped: $*" >&2; exit 77; }

command -v Xvfb >/dev/null || skip "Xvfb is not installed"
command -v xdotool >/dev/null || fail "xdotool is not installed"

start_virtual_display || skip "Xvfb did not start: $(tail -n 3 "$work/xvfb.log" | tr '\n' ' ')"

cp -R "$source_runs" "$work/runs" || fail "cannot copy $source_runs"
rm -f "$work/runs/Summary.txt"

# Figures follow the user's locale: with a decimal comma where one exists.
separator="."
if locale -a 2>/dev/null | grep -qi '^de_DE\.utf-\?8$'; then
  export LC_ALL=de_DE.UTF-8
  separator=","
fi

cd "$work/runs" || fail "cannot enter $work/runs"
QT_QPA_PLATFORM=xcb timeout 60 "$program" >"$work/program.log" 2>&1 &
app_pid=$!

window=$(timeout 20 xdotool search --sync --onlyvisible --name '^Form1$' | head -n 1)
[[ -n $window ]] || fail "no visible window named Form1 appeared; $(cat "$work/program.log")"
geometry=$(xdotool getwindowgeometry "$window" | sed -n 's/^ *Geometry: //p')
[[ $geometry == 758x456 ]] || fail "window is $geometry, expected 758x456"

# Command1 stands at (24, 368) and is 225 x 41 pixels.
clicked=$(date +%s%N)
xdotool mousemove --window "$window" 136 388 click 1 || fail "xdotool could not click"

for _ in $(seq 100); do
  kill -0 "$app_pid" 2>/dev/null || break
  sleep 0.1
done
kill -0 "$app_pid" 2>/dev/null && fail "the program was still running 10 s after the click"
wait "$app_pid"
status=$?
app_pid=""
ended=$(date +%s%N)
[[ $status -eq 0 ]] || fail "the program exited with status $status; $(cat "$work/program.log")"

[[ -f Summary.txt ]] || fail "no Summary.txt was written"
header=$(head -n 1 Summary.txt | tr -d '\r')
[[ $header == ID$'\t'Mitigation$'\t'* ]] || fail "unexpected header: $header"
rows=$(($(wc -l <Summary.txt) - 1))
reports=$(find . -ipath '*/toxswa/*.sum' | wc -l)
((rows >= reports && reports > 0)) || fail "$rows rows for $reports reports"
grep -q "[0-9]${separator}[0-9]" Summary.txt || fail "no figure with the decimal separator '$separator'"

echo "xvfb_click_test: $rows rows from $reports reports; the program ended $(((ended - clicked) / 1000000)) ms after the click"
