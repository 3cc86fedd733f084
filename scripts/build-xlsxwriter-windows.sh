#!/usr/bin/env bash
# Builds libxlsxwriter for 64-bit Windows with MinGW-w64, once, into
# BUILD/xlsxwriter/ (BUILD defaults to build-windows): the same version as
# Debian's libxlsxwriter-dev, from Debian's source package, against
# libz-mingw-w64-dev, as a static library. The source list used for it is a
# private one in BUILD/xlsxwriter/apt; the system's apt configuration is not
# changed. Prints the folder to hand to CMake as QUILLMERE_XLSXWRITER_ROOT.
set -euo pipefail
cd "$(dirname "$0")/.."

build=${1:-build-windows}
root="$PWD/$build/xlsxwriter"
if [[ -f $root/install/lib/libxlsxwriter.a ]]; then
  echo "$root/install"
  exit 0
fi

scripts/install-packages.sh dpkg-dev libxlsxwriter-dev libz-mingw-w64-dev g++-mingw-w64-x86-64-posix cmake ninja-build >&2
version=$(dpkg-query -W -f='${source:Version}' libxlsxwriter-dev)
. /etc/os-release
apt="$root/apt"
mkdir -p "$apt/lists/partial" "$apt/sources" "$apt/cache/archives/partial" "$root/source"
cat > "$apt/sources/debian-source.sources" <<SOURCES
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: $VERSION_CODENAME
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SOURCES
options=(-o "Dir::Etc::SourceList=/dev/null" -o "Dir::Etc::SourceParts=$apt/sources"
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
