#!/usr/bin/env bash
# Makes build-windows/quillmere-VERSION-windows-x64.zip from a finished
# scripts/build-windows.sh: the programs and a short read-me. Refuses a
# program that needs a DLL Windows does not bring along.
# Usage: scripts/package-windows.sh [BUILD_WINDOWS_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-windows}
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
name="quillmere-$version-windows-x64"
export WINEPREFIX=${WINEPREFIX:-$PWD/$build/wine-prefix}
system32="$WINEPREFIX/drive_c/windows/system32"

programs=("$build/quillmere-summary.exe")
[[ -f $build/Quillmere.exe ]] && programs+=("$build/Quillmere.exe")

# Every DLL a program imports must be one of Windows' own (Wine's prefix holds
# them all), never libstdc++, libgcc or winpthread.
for program in "${programs[@]}"; do
  while read -r dll; do
    if [[ ! -f $system32/${dll,,} ]] || [[ ${dll,,} == lib* ]]; then
      echo "package-windows: $program needs $dll, which Windows does not have" >&2
      exit 1
    fi
  done < <(x86_64-w64-mingw32-objdump -p "$program" | sed -n 's/^\s*DLL Name: //p')
done

staging="$build/package/$name"
rm -rf "$build/package"
mkdir -p "$staging"
for program in "${programs[@]}"; do
  x86_64-w64-mingw32-strip -o "$staging/$(basename "$program")" "$program"
done
sed 's/$/\r/' > "$staging/README.txt" <<TEXT
Quillmere $version for Windows (64-bit)

Quillmere gathers the key exposure results of many TOXSWA runs into one
table, Summary.txt, in the directory that holds the run folders: one
tab-separated line per report and substance, ready for a spreadsheet.

Quillmere.exe         the window: choose the drive and the directory whose
                      subfolders are the runs, press Start; the program
                      writes Summary.txt there and ends.
quillmere-summary.exe the same from a command prompt:
                          quillmere-summary.exe C:\\runs
                      exit status 0 complete, 1 a report could not be read
                      or the table not written, 2 the run could not start.

Each run folder's reports are the *.sum files of its folder named toxswa.
Names in the table are in the system's ANSI code page; figures use the
decimal separator of your regional settings. Close Summary.txt in Excel
before a run: a table held open by another program cannot be written.

Nothing to install: both programs run as they are, on Windows 8 or later.
TEXT
rm -f "$build/$name.zip"
(cd "$build/package" && zip -q -r "../$name.zip" "$name")
echo "package-windows: $build/$name.zip"
