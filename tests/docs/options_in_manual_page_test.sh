#!/usr/bin/env bash
# Every option quillmere-summary's help lists (the options it takes) appears
# in its manual page. Usage: options_in_manual_page_test.sh PROGRAM PAGE.roff
set -uo pipefail
program=$1
page=$2

# Roff writes a dash as "\-" and switches fonts with "\fB", "\fR", ...
text=$(sed -e 's/\\-/-/g' -e 's/\\f[A-Z]//g' "$page")
options=$("$program" --help | sed -n 's/^  \(-[^ ,]*\(, -[^ ,]*\)*\) .*/\1/p' | tr -d ',' | tr ' ' '\n')
[[ -n $options ]] || { echo "no options found in the help of $program"; exit 1; }

missing=0
for option in $options; do
  if ! grep -qE -- "(^|[^-[:alnum:]])${option}([^-[:alnum:]]|$)" <<<"$text"; then
    echo "$option is not in $page"
    missing=1
  fi
done
exit $missing
