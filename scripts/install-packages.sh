#!/usr/bin/env bash
# Installs the Debian packages named as arguments that are not installed yet
# (as root, with apt-get), and does nothing when they all are. The scripts
# that build or test Quillmere name what they need through it.
set -euo pipefail

missing=()
for package in "$@"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
done

if ((${#missing[@]})); then
  if [[ $(id -u) -ne 0 ]]; then
    echo "$(basename "$0"): missing packages: ${missing[*]}; run this as root" >&2
    exit 1
  fi
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
