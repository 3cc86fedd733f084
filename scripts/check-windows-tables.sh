#!/usr/bin/env bash
# Runs quillmere-summary.exe under Wine beside the Linux quillmere-summary and
# checks that
#   - the bundled examples/ (ASCII names) give byte-identical tables, and
#   - run folders named "Puffer-Größe" and "Пруд-Ω" (UTF-8 on Linux) give a
#     table naming them "Puffer-Größe" in Windows-1252 and "????-?", without
#     failing, byte for byte the same on both.
# Usage: scripts/check-windows-tables.sh BUILD_WINDOWS_DIR
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-windows}
exe="$PWD/$build/quillmere-summary.exe"
export WINEPREFIX=${WINEPREFIX:-$PWD/$build/wine-prefix}
export WINEDEBUG=-all

# The Linux program, from the same sources, without the window.
cmake --preset command-line -B "$build/linux" >/dev/null
cmake --build "$build/linux" --target quillmere-summary --parallel "${QUILLMERE_JOBS:-$(nproc)}" >/dev/null
linux="$PWD/$build/linux/cli/quillmere-summary"

work="$PWD/$build/table-check"
rm -rf "$work"
mkdir -p "$work"
cp -r examples "$work/linux"
cp -r examples "$work/windows"
rm -f "$work/linux/Summary.txt" "$work/windows/Summary.txt"

# A German user on both systems: "," as decimal point, and Windows-1252 as
# Wine's ANSI code page. Wine reads Linux file names in the locale's
# character set, so the locale must be installed (scripts/install-dependencies.sh
# makes de_DE.UTF-8); without it, C.UTF-8 and ".".
user_locale=de_DE.UTF-8
locale -a 2>/dev/null | grep -qi '^de_DE\.utf-\?8$' || user_locale=C.UTF-8
export LANG=$user_locale LC_ALL=$user_locale
"$linux" "$work/linux" >/dev/null
wine "$exe" "Z:$work/windows" >/dev/null
if ! cmp "$work/linux/Summary.txt" "$work/windows/Summary.txt"; then
  echo "check-windows-tables: the Linux and Windows tables of examples/ differ" >&2
  exit 1
fi

mkdir -p "$work/names/Puffer-Größe/toxswa" "$work/names/Пруд-Ω/toxswa"
cp examples/Baseline/toxswa/00001_D4_Pond.sum "$work/names/Puffer-Größe/toxswa/"
cp examples/Baseline/toxswa/00001_D4_Pond.sum "$work/names/Пруд-Ω/toxswa/"
cp -r "$work/names" "$work/names-linux"
wine "$exe" "Z:$work/names" >/dev/null
"$linux" "$work/names-linux" >/dev/null
ids=$(cut -f1 "$work/names/Summary.txt" | tr -d '\r' | tail -n +2)
expected=$(printf 'Puffer-Gr\xf6\xdfe\n????-?')
if [[ $ids != "$expected" ]]; then
  echo "check-windows-tables: run folder names in the Windows table are not Windows-1252:" >&2
  printf '%s\n' "$ids" | od -c >&2
  exit 1
fi
if ! cmp "$work/names-linux/Summary.txt" "$work/names/Summary.txt"; then
  echo "check-windows-tables: the Linux and Windows tables of non-ASCII run folder names differ" >&2
  exit 1
fi
echo "check-windows-tables: examples/ and non-ASCII names give the same table on Linux and Windows, in Windows-1252"
