#!/usr/bin/env bash
# Cross-builds Quillmere for 64-bit Windows with MinGW-w64 into build-windows/,
# runs its tests there as Windows programs under Wine, checks that Linux and
# Windows write the same table and workbook (scripts/check-windows.sh), and
# packs build-windows/quillmere-VERSION-windows-x64.zip. Installs MinGW-w64
# and Wine with apt-get when they are missing (as root, on Debian 12).
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(cmake ninja-build g++ g++-mingw-w64-x86-64-posix wine wine64 googletest zip unzip locales xvfb xauth xdotool
  fonts-liberation dpkg-dev libxlsxwriter-dev libz-mingw-w64-dev python3-openpyxl)
scripts/install-dependencies.sh "${packages[@]}"

build=build-windows

# Builds libxlsxwriter for 64-bit Windows with MinGW-w64, once, into
# build-windows/xlsxwriter/: the same version as Debian's libxlsxwriter-dev,
# from Debian's source package, against libz-mingw-w64-dev, as a static
# library. The source list used for it is a private one in
# build-windows/xlsxwriter/apt; the system's apt configuration is not
# changed. Prints the folder to hand to CMake as QUILLMERE_XLSXWRITER_ROOT.
build_xlsxwriter() {
  local root="$PWD/$build/xlsxwriter" apt source version codename
  if [[ -f $root/install/lib/libxlsxwriter.a ]]; then
    echo "$root/install"
    return 0
  fi

  version=$(dpkg-query -W -f='${source:Version}' libxlsxwriter-dev)
  codename=$(. /etc/os-release && echo "$VERSION_CODENAME")
  apt="$root/apt"
  mkdir -p "$apt/lists/partial" "$apt/sources" "$apt/cache/archives/partial" "$root/source"
  cat > "$apt/sources/debian-source.sources" <<SOURCES
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: $codename
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SOURCES
  local options=(-o "Dir::Etc::SourceList=/dev/null" -o "Dir::Etc::SourceParts=$apt/sources"
           -o "Dir::State::Lists=$apt/lists" -o "Dir::Cache=$apt/cache" -o "APT::Sandbox::User=root")
  apt-get "${options[@]}" -qq update >&2
  (cd "$root/source" && apt-get "${options[@]}" -qq source "libxlsxwriter=$version" >&2)
  source=$(find "$root/source" -mindepth 1 -maxdepth 1 -type d -name 'libxlsxwriter-*' | head -n1)

  cmake -S "$source" -B "$root/build" -G Ninja \
    --toolchain "$PWD/cmake/mingw-w64-x86_64.cmake" \
    -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX="$root/install" \
    -DBUILD_SHARED_LIBS=OFF -DBUILD_TESTS=OFF -DBUILD_EXAMPLES=OFF \
    -DUSE_SYSTEM_MINIZIP=OFF -DUSE_STANDARD_TMPFILE=OFF \
    -DZLIB_LIBRARY=/usr/x86_64-w64-mingw32/lib/libz.a \
    -DZLIB_INCLUDE_DIR=/usr/x86_64-w64-mingw32/include >&2
  cmake --build "$root/build" --parallel "${QUILLMERE_JOBS:-2}" >&2
  cmake --install "$root/build" >&2
  # The notices that go with the library into the Windows package.
  cp "$source/License.txt" "$root/install/libxlsxwriter-License.txt"
  cp "$source/debian/copyright" "$root/install/libxlsxwriter-copyright.txt"
  echo "$root/install"
}

# Makes build-windows/quillmere-VERSION-windows-x64.zip from the finished
# build: the programs, a short read-me, the licence and the notices of the
# libraries linked into the programs. Refuses a program that needs a DLL
# Windows does not bring along.
pack() {
  version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
  name="quillmere-$version-windows-x64"
  # The version of libxlsxwriter built for the programs: Debian's, whose source
  # package build_xlsxwriter builds.
  xlsxwriter_version=$(dpkg-query -W -f='${source:Version}' libxlsxwriter-dev)
  system32="$WINEPREFIX/drive_c/windows/system32"

  programs=("$build/quillmere-summary.exe")
  [[ -f $build/Quillmere.exe ]] && programs+=("$build/Quillmere.exe")

  # Every DLL a program imports must be one of Windows' own (Wine's prefix holds
  # them all), never libstdc++, libgcc or winpthread.
  for program in "${programs[@]}"; do
    while read -r dll; do
      if [[ ! -f $system32/${dll,,} ]] || [[ ${dll,,} == lib* ]]; then
        echo "build-windows: $program needs $dll, which Windows does not have" >&2
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
  # build_xlsxwriter), with the Mozilla Public License that
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
        echo "build-windows: the notice $file is missing" >&2
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
      echo "build-windows: $name.zip lacks $file" >&2
      exit 1
    fi
  done
  echo "build-windows: $build/$name.zip"
}

# libxlsxwriter for the workbook, built once from Debian's source package.
xlsxwriter=$(build_xlsxwriter)
cmake --preset windows -DQUILLMERE_XLSXWRITER_ROOT="$xlsxwriter"
cmake --build --preset windows --parallel "${QUILLMERE_JOBS:-$(nproc)}"

# One Wine prefix for the build, made once: creating it takes a while, and
# tests started together must not each try to.
export WINEPREFIX="$PWD/$build/wine-prefix"
export WINEDEBUG=-all
if [[ ! -f $WINEPREFIX/system.reg ]]; then
  echo "build-windows: preparing the Wine prefix $WINEPREFIX"
  wineboot --init >/dev/null 2>&1 || true
  wineserver --wait || true
fi

# Wine gives Windows names to the Linux file system in the locale's character
# set: only a UTF-8 locale keeps every name a Windows program may make.
if [[ $(locale charmap 2>/dev/null) != UTF-8 ]]; then
  export LANG=C.UTF-8
  unset LC_ALL
fi
# One Wine server for the whole test run, kept alive until it ends: a Wine
# program that started just as the previous one's server shut down was
# sometimes dropped ("wine client error: recvmsg: Connection reset by peer")
# before it ran any of its code. With one server no test is run twice, so a
# test that fails now and then shows. The window's tests use a prefix of
# their own, whose server starts on their virtual display. The prefix's
# own services start here, on no pipe: started by a test, they would hold
# that test's output open for as long as the server lives.
wineserver --persistent
trap 'wineserver --kill 2>/dev/null || true' EXIT
wine cmd.exe /c exit </dev/null >/dev/null 2>&1 || true
ctest --test-dir "$build" --output-on-failure --timeout 300 --parallel "${QUILLMERE_JOBS:-$(nproc)}"
scripts/check-windows.sh "$build"
pack
