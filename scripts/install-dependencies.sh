#!/usr/bin/env bash
# Installs on Debian 12 (as root, with apt-get) what is missing, and nothing
# when it is all there already:
#   scripts/install-dependencies.sh             what building and testing needs
#   scripts/install-dependencies.sh --window    what building and opening the
#                                               window needs (scripts/run.sh)
#   scripts/install-dependencies.sh PACKAGE...  the Debian packages named (the
#                                               other scripts name theirs so)
set -euo pipefail

# Building the programs: the window with Qt and libmount, the workbook with
# libxlsxwriter.
window=(cmake ninja-build g++ pkg-config qt6-base-dev libgl1-mesa-dev libmount-dev libxlsxwriter-dev)
# The tests and the checks of .ci/run on top of that.
tests=(
  googletest libgtest-dev
  locales
  xvfb xauth xdotool
  clang libclang-rt-14-dev
  time libbenchmark-dev
  scdoc lintian desktop-file-utils appstream dpkg-dev
  python3-pandas r-base-core
  python3-openpyxl
  libreoffice-calc-nogui
)

install_missing() {
  local missing=() package
  for package in "$@"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
  done
  ((${#missing[@]})) || return 0
  if [[ $(id -u) -ne 0 ]]; then
    echo "install-dependencies: missing packages: ${missing[*]}; run this as root" >&2
    exit 1
  fi
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

case "${1:-}" in
  --window)
    install_missing "${window[@]}"
    exit 0
    ;;
  -*)
    echo "usage: scripts/install-dependencies.sh [--window | PACKAGE...]" >&2
    exit 2
    ;;
  ?*)
    install_missing "$@"
    exit 0
    ;;
esac

install_missing "${window[@]}" "${tests[@]}"

# A locale with a decimal comma, for the tests of figures written the way the
# user's spreadsheet reads them.
if ! locale -a 2>/dev/null | grep -qi '^de_DE\.utf-\?8$'; then
  if [[ $(id -u) -eq 0 ]]; then
    sed -i 's/^# *\(de_DE.UTF-8 UTF-8\)/\1/' /etc/locale.gen
    grep -q '^de_DE.UTF-8 UTF-8' /etc/locale.gen || echo 'de_DE.UTF-8 UTF-8' >> /etc/locale.gen
    locale-gen >/dev/null
  fi
fi
