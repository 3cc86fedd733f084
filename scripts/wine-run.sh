#!/usr/bin/env bash
# Runs a Windows program of the build under Wine, for CTest (the cross-build's
# emulator), in the Wine prefix given first.
#
# Now and then Wine drops a program before any code of the program runs: it
# ends with a failing status and has printed nothing at all, or only Wine's
# own complaint ("wine client error: ..."). Such a start, and only such a
# start, is made once more, and this says so on standard error. A program
# that printed anything of its own, passing or failing, is never run again,
# so a test of ours that fails now and then still shows.
#
# Usage: wine-run.sh WINE-PREFIX PROGRAM [ARGUMENT...]
set -uo pipefail
export WINEPREFIX=$1 WINEDEBUG=-all
shift
work=$(mktemp -d "${TMPDIR:-/tmp}/quillmere-wine-run-XXXXXX")
trap 'rm -rf "$work"' EXIT

run() {
  wine "$@" >"$work/out" 2>"$work/err"
}
dropped() {
  [[ ! -s $work/out ]] && ! grep -qv '^wine' "$work/err"
}

run "$@"
status=$?
if ((status != 0)) && dropped; then
  echo "wine-run: Wine dropped $(basename "$1") before it ran (status $status$(
    [[ -s $work/err ]] && printf ': %s' "$(tr '\n' ' ' <"$work/err")")); running it once more" >&2
  run "$@"
  status=$?
fi
cat "$work/out"
cat "$work/err" >&2
exit "$status"
