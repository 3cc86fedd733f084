#!/usr/bin/env bash
# Every test the documents quote as `Suite.Name` (or `Suite.*`) is a test of
# tests/. Usage: test_names_in_docs_test.sh TESTS_FOLDER DOCUMENT...
set -uo pipefail
tests=$1
shift

# The tests' names as Suite.Name, one a line, from TEST(Suite, Name) and its
# kin however the lines are wrapped.
defined=$(find "$tests" -name '*.cpp' -exec cat {} + | tr -s ' \n\t' ' ' |
  grep -oE '\bTEST(_F|_P)? ?\( ?[A-Za-z0-9_]+ ?, ?[A-Za-z0-9_]+ ?\)' |
  sed -E 's/.*\( ?([A-Za-z0-9_]+) ?, ?([A-Za-z0-9_]+) ?\)/\1.\2/' | sort -u)
[[ -n $defined ]] || { echo "no test found in $tests"; exit 1; }

missing=0
quoted=0
for document in "$@"; do
  while IFS= read -r name; do
    quoted=$((quoted + 1))
    if [[ $name == *'.*' ]]; then
      grep -q "^${name%.\*}\." <<<"$defined" && continue
    else
      grep -qxF "$name" <<<"$defined" && continue
    fi
    echo "$document quotes $name, which is no test of $tests"
    missing=1
  done < <(grep -oE '`[A-Z][A-Za-z0-9]*Test\.([A-Z][A-Za-z0-9]*|\*)`' "$document" | tr -d '`' | sort -u)
done
echo "$quoted quoted test names checked"
exit $missing
