#!/usr/bin/env bash
# Cross-builds Quillmere for 64-bit Windows with MinGW-w64 into build-windows/,
# runs its tests there as Windows programs under Wine, checks that Linux and
# Windows write the same table and workbook, and packs
# build-windows/quillmere-VERSION-windows-x64.zip. Installs MinGW-w64 and Wine
# with apt-get when they are missing (as root, on Debian 12).
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(cmake ninja-build g++ g++-mingw-w64-x86-64-posix wine wine64 googletest zip unzip locales xvfb xauth xdotool
  fonts-liberation dpkg-dev libxlsxwriter-dev libz-mingw-w64-dev python3-openpyxl)
scripts/install-packages.sh "${packages[@]}"

build=build-windows
# libxlsxwriter for the workbook, built once from Debian's source package.
xlsxwriter=$(scripts/build-xlsxwriter-windows.sh "$build")
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
scripts/check-windows-tables.sh "$build"
scripts/check-windows-workbooks.sh "$build"
scripts/package-windows.sh "$build"
