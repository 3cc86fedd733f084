#!/usr/bin/env bash
# Cross-builds Quillmere for 64-bit Windows with MinGW-w64 into build-windows/,
# runs its tests there as Windows programs under Wine, checks that Linux and
# Windows write the same table, and packs
# build-windows/quillmere-VERSION-windows-x64.zip. Installs MinGW-w64 and Wine
# with apt-get when they are missing (as root, on Debian 12).
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(cmake ninja-build g++ g++-mingw-w64-x86-64-posix wine wine64 googletest zip locales xvfb xauth xdotool
          dpkg-dev libxlsxwriter-dev libz-mingw-w64-dev python3-openpyxl)
scripts/install-packages.sh "${packages[@]}"

build=build-windows
# libxlsxwriter for the workbook, built once from Debian's source package.
xlsxwriter=$(scripts/build-xlsxwriter-windows.sh "$build")
cmake -S . -B "$build" -G Ninja \
  -DQUILLMERE_XLSXWRITER_ROOT="$xlsxwriter" \
  --toolchain "$PWD/cmake/mingw-w64-x86_64.cmake" \
  -DCMAKE_BUILD_TYPE=Release \
  -DQUILLMERE_BUILD_TESTS=ON \
  -DQUILLMERE_BUILD_GUI=OFF
cmake --build "$build" --parallel "${QUILLMERE_JOBS:-2}"

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
# A Wine program that starts just as the previous one's Wine server shuts down
# is sometimes dropped ("wine client error: recvmsg: Connection reset by
# peer") before it runs any of its code; such a test is run again, up to
# twice. A test that fails on its own account fails every time.
ctest --test-dir "$build" --output-on-failure --timeout 300 --parallel "${QUILLMERE_JOBS:-2}" \
  --repeat until-pass:3
scripts/check-windows-tables.sh "$build"
scripts/package-windows.sh "$build"
