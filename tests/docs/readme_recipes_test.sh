#!/usr/bin/env bash
# Runs the README's recipes for reading Summary.txt in Python (pandas) and R
# on a table with two substances per report, one, two and three application
# dates, a UTF-8 run folder and report name (written in Windows-1252) and a
# Latin-1 run folder name, and checks that both see every column in place and
# every name as it was. Exit 77 (skipped) when pandas or R is not installed.
# Usage: readme_recipes_test.sh QUILLMERE-SUMMARY README EXAMPLES-DIRECTORY
set -uo pipefail
program=$(realpath "$1")
readme=$(realpath "$2")
examples=$(realpath "$3")

python=/usr/bin/python3
[[ -x $python ]] || python=python3
"$python" -c "import pandas" 2>/dev/null || { echo "skipped: pandas is not installed"; exit 77; }
command -v Rscript >/dev/null || { echo "skipped: R is not installed"; exit 77; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The code block of LANGUAGE in the README's part on reading the table.
recipe() {
  awk -v language="$1" '
    /^##+ / { inPart = ($0 == "### In R and Python") }
    inPart && $0 == "```" && inBlock { inBlock = 0; next }
    inPart && $0 == "```" language { inBlock = 1; next }
    inBlock { print }' "$readme"
}

# Runs: Baseline (one substance; two, two and one application dates),
# Buffer10m-metabolite (two substances), "Puffer-Größe" in UTF-8 with the
# report "Bericht-€.sum" (the euro sign tells Windows-1252 from Latin-1), and
# "Ufer" + Latin-1 e-acute with a report of three application dates.
mkdir "$work/runs"
cp -r "$examples/Baseline" "$examples/Buffer10m-metabolite" "$work/runs/"
mkdir -p "$work/runs/Puffer-Größe/toxswa"
cp "$examples/Baseline/toxswa/00001_D4_Pond.sum" "$work/runs/Puffer-Größe/toxswa/Bericht-€.sum"
latin1_run=$(printf 'Ufer\351')
mkdir -p "$work/runs/$latin1_run/toxswa"
sed 's/^\(    2   16-Apr-1985-09h00 .*\)\r$/&\n    3   30-Apr-1985-09h00           1000.0000              1.7160\r/' \
  "$examples/Baseline/toxswa/00001_D4_Pond.sum" >"$work/runs/$latin1_run/toxswa/three.sum"
LC_ALL=C "$program" "$work/runs" >/dev/null || { echo "quillmere-summary failed"; exit 1; }

expected='columns ID|Mitigation|Scenario|Substance|PECsw_max|TWA7d|TWA21d|PECsed_max|TWAsed7d|TWAsed21d|Date water|Date sed|AppDate|AppDate2|AppDate3
rows 11
first Baseline|00001_D4_Pond.sum|D4_Pond|EXSW2|3.912|0.2386|25-Nov-1978-02h00|02-Apr-1985-09h00|16-Apr-1985-09h00|
one date R1_Stream|39.57|14-Nov-1978-09h00|
second substance EXSW2-M1|0.0532|30-Nov-1978-14h00|02-Dec-1978-01h00|
utf-8 name Puffer-Gr\u00f6\u00dfe|Bericht-\u20ac.sum|D4_Pond
three dates Ufer\u00e9|three.sum|3.912|02-Apr-1985-09h00|16-Apr-1985-09h00|30-Apr-1985-09h00'

python_check='
def text(value):
    return "" if pd.isna(value) else str(value)
def escaped(value):
    return "".join(c if ord(c) < 128 else "\\u%04x" % ord(c) for c in value)
def line(label, row, columns):
    print(label, escaped("|".join(text(row[c]) if c not in figures else "%g" % row[c] for c in columns)))
print("columns", "|".join(table.columns))
print("rows", len(table))
line("first", table.iloc[0], ["ID", "Mitigation", "Scenario", "Substance", "PECsw_max", "TWA7d", "Date water", "AppDate", "AppDate2", "AppDate3"])
line("one date", table.iloc[2], ["Scenario", "PECsw_max", "AppDate", "AppDate2"])
line("second substance", table.iloc[4], ["Substance", "PECsw_max", "Date water", "Date sed", "AppDate"])
line("utf-8 name", table.iloc[9], ["ID", "Mitigation", "Scenario"])
line("three dates", table.iloc[10], ["ID", "Mitigation", "PECsw_max", "AppDate", "AppDate2", "AppDate3"])
'
r_check='
text <- function(value) if (is.na(value)) "" else as.character(value)
line <- function(label, row, columns) {
  values <- vapply(columns, function(c) if (c %in% figures) sprintf("%g", table[[c]][row]) else text(table[[c]][row]), "")
  out <- paste(label, paste(values, collapse = "|"))
  escaped <- vapply(utf8ToInt(enc2utf8(out)), function(u) if (u < 128) intToUtf8(u) else sprintf("\\u%04x", u), "")
  cat(paste(escaped, collapse = ""), "\n", sep = "")
}
cat("columns ", paste(names(table), collapse = "|"), "\n", sep = "")
cat("rows ", nrow(table), "\n", sep = "")
line("first", 1, c("ID", "Mitigation", "Scenario", "Substance", "PECsw_max", "TWA7d", "Date water", "AppDate", "AppDate2", "AppDate3"))
line("one date", 3, c("Scenario", "PECsw_max", "AppDate", "AppDate2"))
line("second substance", 5, c("Substance", "PECsw_max", "Date water", "Date sed", "AppDate"))
line("utf-8 name", 10, c("ID", "Mitigation", "Scenario"))
line("three dates", 11, c("ID", "Mitigation", "PECsw_max", "AppDate", "AppDate2", "AppDate3"))
'

failures=0
check() {
  local language=$1 output=$2
  if [[ $output != "$expected" ]]; then
    echo "FAIL: the $language recipe read:"
    printf '%s\n' "$output"
    echo "expected:"
    printf '%s\n' "$expected"
    failures=$((failures + 1))
  fi
}
python_recipe=$(recipe python)
r_recipe=$(recipe r)
[[ -n $python_recipe && -n $r_recipe ]] || { echo "FAIL: the README has no Python or R recipe"; exit 1; }
check Python "$(cd "$work/runs" && LC_ALL=C.UTF-8 "$python" -c "$python_recipe$python_check" 2>&1)"
check R "$(cd "$work/runs" && LC_ALL=C.UTF-8 Rscript -e "$r_recipe$r_check" 2>&1)"
exit $((failures > 0))
