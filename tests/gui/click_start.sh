# Sourced by the click tests, first: makes their scratch folder $work, which
# the virtual display's EXIT trap removes, and gives them fail() and skip()
# in the test's name (exit 1, and 77 for a test that cannot run here).
test_name=$(basename "$0" .sh)
work=$(mktemp -d "${TMPDIR:-/tmp}/quillmere-${test_name%_click_test}-XXXXXX")
source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/virtual-display.sh"

fail() { echo "$test_name: $*" >&2; exit 1; }
skip() { echo "$test_name: skipped: $*" >&2; exit 77; }

# Starts the virtual display: skips without Xvfb or when it does not start,
# fails without xdotool.
start_click_display() {
  command -v Xvfb >/dev/null || skip "Xvfb is not installed"
  command -v xdotool >/dev/null || fail "xdotool is not installed"
  start_virtual_display || skip "Xvfb did not start: $(tail -n 3 "$work/xvfb.log" | tr '\n' ' ')"
}

# Copies the runs directory $1 to $work/runs, without a table or workbook,
# and makes the copy the current directory.
enter_copy_of_runs() {
  cp -R "$1" "$work/runs" || fail "cannot copy $1"
  rm -f "$work/runs/Summary.txt" "$work/runs/Summary.xlsx"
  cd "$work/runs" || fail "cannot enter $work/runs"
}

# Finds the window Form1 of the program started as $app_pid, checks its
# 758 x 456 client area, ticks Check1 when asked, clicks the middle of
# Start, waits for the program to end by itself with status 0 and checks the
# table it left in the current directory. Sets rows, reports and the click's
# milliseconds to the program's end (ended_ms).
#
# Usage: click_start_and_check SECONDS-TO-APPEAR SECONDS-TO-SETTLE SECONDS-TO-END [tick]
click_start_and_check() {
  local appear=$1 settle=$2 end=$3 tick=${4:-} window size clicked ended status
  window=$(timeout "$appear" xdotool search --sync --onlyvisible --name '^Form1$' | head -n 1)
  [[ -n $window ]] || fail "no visible window named Form1 appeared; $(cat "$work/program.log")"
  # Without a window manager, the X window is the window's client area.
  size=$(xdotool getwindowgeometry "$window" | sed -n 's/^ *Geometry: //p')
  [[ $size == 758x456 ]] || fail "the client area is $size, expected 758x456"

  # Command1 stands at (24, 368) and is 225 x 41 pixels.
  sleep "$settle"  # let the window take input
  if [[ $tick == tick ]]; then
    # Check1 stands at (304, 64) and is 225 x 21 pixels: its box is at the
    # left end.
    xdotool mousemove --window "$window" 312 74 click 1 || fail "xdotool could not click Check1"
    sleep 0.5
  fi
  clicked=$(date +%s%N)
  xdotool mousemove --window "$window" 136 388 click 1 || fail "xdotool could not click"

  for _ in $(seq $((end * 10))); do
    kill -0 "$app_pid" 2>/dev/null || break
    sleep 0.1
  done
  kill -0 "$app_pid" 2>/dev/null && fail "the program was still running $end s after the click"
  wait "$app_pid"
  status=$?
  app_pid=""
  ended=$(date +%s%N)
  ended_ms=$(((ended - clicked) / 1000000))
  [[ $status -eq 0 ]] || fail "the program exited with status $status; $(cat "$work/program.log")"

  [[ -f Summary.txt ]] || fail "no Summary.txt was written"
  local header
  header=$(head -n 1 Summary.txt | tr -d '\r')
  [[ $header == ID$'\t'Mitigation$'\t'* ]] || fail "unexpected header: $header"
  rows=$(($(wc -l <Summary.txt) - 1))
  reports=$(find . -ipath '*/toxswa/*.sum' | wc -l)
  ((rows >= reports && reports > 0)) || fail "$rows rows for $reports reports"
}

# Checks, with openpyxl, the workbook Summary.xlsx in the current directory
# against the table beside it: the sheet Summary holds its header and $rows
# rows, the sheet About counts $reports reports and names the window as the
# program that wrote it. Skips (77) when openpyxl is missing.
#
# Usage: check_workbook
check_workbook() {
  local python=${QUILLMERE_PYTHON:-/usr/bin/python3} found
  [[ -f Summary.xlsx ]] || fail "no Summary.xlsx was written"
  "$python" -c 'import openpyxl' 2>/dev/null || skip "openpyxl is missing"
  found=$("$python" - <<'PYTHON'
import openpyxl
book = openpyxl.load_workbook("Summary.xlsx")
about = {row[0].value: row[1].value for row in book["About"].iter_rows(min_col=1, max_col=2)}
print(book["Summary"].max_row - 1, about.get("Reports"), about.get("Program", "").split(" ")[0])
PYTHON
  ) || fail "openpyxl cannot read Summary.xlsx"
  [[ $found == "$rows $reports Quillmere" ]] ||
    fail "the workbook holds rows, reports and program '$found', expected '$rows $reports Quillmere'"
}
