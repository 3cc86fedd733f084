#!/usr/bin/env bash
# Started where no window can be shown, quillmere prints one line that points
# to quillmere-summary and exits 2 (not Qt's abort). Usage: no_display_test.sh QUILLMERE
set -uo pipefail
quillmere=$1
expected="quillmere: needs a display to open its window; quillmere-summary DIR does the same work without one"
failures=0

# Each case: a description, then the environment quillmere starts in.
check() {
  local what=$1
  shift
  local err status
  err=$(env -i PATH=/usr/bin:/bin HOME="${HOME:-/tmp}" "$@" timeout 30 "$quillmere" 2>&1 >/dev/null)
  status=$?
  if [[ $status -ne 2 || $err != "$expected" ]]; then
    echo "FAIL ($what): exit $status, standard error:"
    printf '%s\n' "$err"
    failures=$((failures + 1))
  fi
}

check "no DISPLAY or WAYLAND_DISPLAY"
check "a display nobody serves" DISPLAY=:4711
check "a Wayland display nobody serves" WAYLAND_DISPLAY=quillmere-none QT_QPA_PLATFORM=wayland
exit $((failures > 0))
