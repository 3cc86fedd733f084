#!/usr/bin/env bash
# Makes build-windows/quillmere-VERSION-windows-x64.zip from a finished
# scripts/build-windows.sh: the programs, a short read-me, the licence and
# the notices of the libraries linked into the programs. Refuses a
# program that needs a DLL Windows does not bring along.
# Usage: scripts/package-windows.sh [BUILD_WINDOWS_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-windows}
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
name="quillmere-$version-windows-x64"
# The version of libxlsxwriter built for the programs: Debian's, whose source
# package scripts/build-xlsxwriter-windows.sh builds.
xlsxwriter_version=$(dpkg-query -W -f='${source:Version}' libxlsxwriter-dev)
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
With --workbook, quillmere-summary.exe also writes Summary.xlsx there: the
table as typed Excel cells, and the runs compared per scenario.

Quillmere.exe         the window: choose the drive and the directory whose
                      subfolders are the runs, press Start; the program
                      writes Summary.txt there and ends. Tick "Also write
                      Summary.xlsx" before Start for the workbook too.
quillmere-summary.exe the same from a command prompt:
                          quillmere-summary.exe C:\\runs
                      exit status 0 complete, 1 a report could not be read
                      or the table not written, 2 the run could not start.

Each run folder's reports are the *.sum files of its folder named toxswa.
Names in the table are in the system's ANSI code page; figures use the
decimal separator of your regional settings. Close Summary.txt
or Summary.xlsx in Excel before a run: a file held open by another program
cannot be written.

Nothing to install: both programs run as they are, on Windows 8 or later.

Quillmere is under the MIT licence (LICENSE.txt). The programs hold parts
of MinGW-w64's and GCC's runtime libraries, and both programs hold
libxlsxwriter $xlsxwriter_version (with the parts it bundles) and zlib;
their notices are in NOTICES.txt.
TEXT

# Quillmere's licence, and the notices that the licences of what is linked
# into the programs ask to pass on: MinGW-w64's runtime and its winpthreads,
# and GCC's runtime libraries (libstdc++, libgcc), from their Debian
# copyright files; libxlsxwriter, from its own licence file and its Debian
# copyright file (both from the source package it was built from, see
# scripts/build-xlsxwriter-windows.sh), with the Mozilla Public License that
# its tmpfileplus is under, which the copyright file only names; and zlib.
sed 's/$/\r/' LICENSE > "$staging/LICENSE.txt"
xlsxwriter="$build/xlsxwriter/install"
notices=(
  "MinGW-w64 runtime and winpthreads|/usr/share/doc/mingw-w64-x86-64-dev/copyright"
  "GCC runtime libraries (libstdc++, libgcc)|/usr/share/doc/gcc-mingw-w64-x86-64-posix-runtime/copyright"
  "libxlsxwriter $xlsxwriter_version, with minizip, tmpfileplus, md5, queue.h, tree.h and emyg_dtoa|$xlsxwriter/libxlsxwriter-License.txt"
  "libxlsxwriter $xlsxwriter_version: Debian's copyright file|$xlsxwriter/libxlsxwriter-copyright.txt"
  "Mozilla Public License 2.0 (tmpfileplus, part of libxlsxwriter; its source is in libxlsxwriter's source, https://github.com/jmcnamara/libxlsxwriter or Debian's source package libxlsxwriter $xlsxwriter_version)|/usr/share/common-licenses/MPL-2.0"
  "zlib|/usr/share/doc/libz-mingw-w64-dev/copyright"
)
{
  echo "Notices of the libraries linked into Quillmere.exe and quillmere-summary.exe"
  for notice in "${notices[@]}"; do
    file=${notice#*|}
    if [[ ! -f $file ]]; then
      echo "package-windows: the notice $file is missing" >&2
      exit 1
    fi
    printf '\n%s\n%s\n\n' "${notice%%|*}" "==========================================================================="
    cat "$file"
  done
} | sed 's/$/\r/' > "$staging/NOTICES.txt"

rm -f "$build/$name.zip"
(cd "$build/package" && zip -q -r "../$name.zip" "$name")
# The listing is read whole: grep -q stopping at the first match would end
# unzip by SIGPIPE, which pipefail takes for a missing file.
listing=$(unzip -Z1 "$build/$name.zip")
for file in LICENSE.txt NOTICES.txt README.txt quillmere-summary.exe; do
  if ! grep -qx "$name/$file" <<<"$listing"; then
    echo "package-windows: $name.zip lacks $file" >&2
    exit 1
  fi
done
echo "package-windows: $build/$name.zip"
