#!/usr/bin/env bash
# Installs what building and testing Quillmere needs on Debian 12 (run as
# root), and nothing when it is all there already.
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config
  googletest libgtest-dev
  qt6-base-dev libgl1-mesa-dev libmount-dev
  locales
  xvfb xauth xdotool
  clang libclang-rt-14-dev
  time libbenchmark-dev
  scdoc lintian desktop-file-utils appstream dpkg-dev
  python3-pandas r-base-core
  libxlsxwriter-dev python3-openpyxl
  libreoffice-calc-nogui
)

"$(dirname "$0")/install-packages.sh" "${packages[@]}"

# A locale with a decimal comma, for the tests of figures written the way the
# user's spreadsheet reads them.
if ! locale -a 2>/dev/null | grep -qi '^de_DE\.utf-\?8$'; then
  if [[ $(id -u) -eq 0 ]]; then
    sed -i 's/^# *\(de_DE.UTF-8 UTF-8\)/\1/' /etc/locale.gen
    grep -q '^de_DE.UTF-8 UTF-8' /etc/locale.gen || echo 'de_DE.UTF-8 UTF-8' >> /etc/locale.gen
    locale-gen >/dev/null
  fi
fi
