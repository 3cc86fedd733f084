#!/usr/bin/env bash
# Runs a Windows program under Wine on a virtual X display of its own, for
# the tests of Quillmere.exe's window, and exits with its status; 77
# (skipped) when Wine or Xvfb is missing or no X server can be started here.
#
# Usage: with_virtual_display.sh WINE-PREFIX PROGRAM [ARGUMENT...]
set -uo pipefail

export WINEPREFIX=$1
export WINEDEBUG=-all
shift
work=$(mktemp -d "${TMPDIR:-/tmp}/quillmere-wine-XXXXXX")
source "$(dirname "$0")/../../scripts/virtual-display.sh"

skip() { echo "with_virtual_display: skipped: $*" >&2; exit 77; }
command -v wine >/dev/null || skip "Wine is not installed"
command -v Xvfb >/dev/null || skip "Xvfb is not installed"
start_virtual_display || skip "Xvfb did not start: $(tail -n 3 "$work/xvfb.log" | tr '\n' ' ')"

# The window must appear on this display, not on an earlier program's.
wine_on_virtual_display
timeout 120 wine "$@" &
app_pid=$!
wait "$app_pid"
status=$?
app_pid=""
exit "$status"
