# Sourced by the click tests: finds the window Form1 of the program started
# as $app_pid, checks its 758 x 456 client area, clicks the middle of Start,
# waits for the program to end by itself with status 0 and checks the table
# it left in the current directory. Sets rows, reports and the click's
# milliseconds to the program's end (ended_ms). Uses the caller's fail().
#
# Usage: click_start_and_check SECONDS-TO-APPEAR SECONDS-TO-SETTLE SECONDS-TO-END
click_start_and_check() {
  local appear=$1 settle=$2 end=$3 window size clicked ended status
  window=$(timeout "$appear" xdotool search --sync --onlyvisible --name '^Form1$' | head -n 1)
  [[ -n $window ]] || fail "no visible window named Form1 appeared; $(cat "$work/program.log")"
  # Without a window manager, the X window is the window's client area.
  size=$(xdotool getwindowgeometry "$window" | sed -n 's/^ *Geometry: //p')
  [[ $size == 758x456 ]] || fail "the client area is $size, expected 758x456"

  # Command1 stands at (24, 368) and is 225 x 41 pixels.
  sleep "$settle"  # let the window take input
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
