#!/usr/bin/env bash
# Builds the Debian package and checks it: lintian must report no errors and
# no warnings, and the desktop entry must pass desktop-file-validate without a
# hint, and appstreamcli must accept its AppStream metainfo. Then installs the package, runs both installed programs once (the
# table of a copy of examples/, and the window's answer where there is no
# display) and removes it again. The package goes into a scratch root made
# with dpkg-deb; with --system (as root, as .ci/run does) into the system
# with apt-get, where it must not be installed already.
set -euo pipefail
cd "$(dirname "$0")/.."

source scripts/lib/one-option.sh
mode=scratch
if one_option --system "scripts/check-package.sh [--system]" "$@"; then mode=system; fi

fail() { echo "check-package: $*" >&2; exit 1; }

scripts/install-dependencies.sh
if [[ $mode == system ]]; then
  [[ $(id -u) -eq 0 ]] || fail "--system installs the package: run it as root"
  if dpkg-query -W -f='${Status}' quillmere 2>/dev/null | grep -q "install ok installed"; then
    fail "quillmere is installed already; remove it first, or check in a scratch root"
  fi
fi

build=build-package
cmake --preset release >/dev/null
cmake --build --preset release --parallel "$(nproc)"
rm -f "$build"/quillmere_*.deb
(cd "$build" && cpack -G DEB >/dev/null)
deb=$(realpath "$build"/quillmere_*.deb)
echo "Built $deb"

work=$(mktemp -d)
installed=""
cleanup() {
  if [[ -n $installed ]]; then
    apt-get purge -y -qq -o DPkg::Lock::Timeout=600 quillmere >/dev/null || echo "check-package: could not remove quillmere" >&2
  fi
  rm -rf "$work"
}
trap cleanup EXIT

# lintian would rather not run as root: as root, it reads a copy as nobody.
lintian=(lintian --fail-on error,warning)
checked=$deb
if [[ $(id -u) -eq 0 ]] && command -v runuser >/dev/null; then
  chmod 755 "$work"
  checked=$work/$(basename "$deb")
  install -m 644 "$deb" "$checked"
  lintian=(runuser -u nobody -- "${lintian[@]}")
fi
echo "lintian:"
lintian_output=$(cd "$work" && "${lintian[@]}" "$checked" 2>&1) || {
  printf '%s\n' "$lintian_output"
  fail "lintian reports errors or warnings"
}
printf '%s\n' "${lintian_output:-(nothing)}"

if [[ $mode == system ]]; then
  DEBIAN_FRONTEND=noninteractive DEBCONF_NOWARNINGS=yes apt-get install -y -qq --no-install-recommends -o DPkg::Lock::Timeout=600 "$deb" >/dev/null
  installed=yes
  prefix=/usr
else
  dpkg-deb -x "$deb" "$work/root"
  prefix=$work/root/usr
fi
echo "Installed into ${prefix%/usr}/"

entry=$prefix/share/applications/quillmere.desktop
validation=$(desktop-file-validate "$entry" 2>&1) && [[ -z $validation ]] || {
  printf '%s\n' "$validation"
  fail "desktop-file-validate does not pass $entry cleanly"
}
echo "desktop-file-validate: passes"

metainfo=$prefix/share/metainfo/org.quillmere.Quillmere.metainfo.xml
appstreamcli validate --no-net "$metainfo" >/dev/null || {
  appstreamcli validate --no-net "$metainfo"
  fail "appstreamcli validate does not pass $metainfo"
}
echo "appstreamcli validate: passes"
for file in icons/hicolor/scalable/apps/quillmere.svg icons/hicolor/32x32/apps/quillmere.png \
  icons/hicolor/48x48/apps/quillmere.png icons/hicolor/256x256/apps/quillmere.png doc/quillmere/README.md; do
  [[ -f $prefix/share/$file ]] || fail "the package lacks /usr/share/$file"
done

cp -r examples "$work/runs"
rm -f "$work/runs/Summary.txt"
"$prefix/bin/quillmere-summary" "$work/runs"
[[ $(head -c 3 "$work/runs/Summary.txt") == "ID"$'\t' ]] || fail "the installed quillmere-summary wrote no table"

status=0
message=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$prefix/bin/quillmere" 2>&1) || status=$?
printf 'quillmere without a display: exit %s: %s\n' "$status" "$message"
[[ $status -eq 2 && $message == "quillmere: needs a display"* ]] || fail "the installed quillmere did not say it needs a display"

if [[ $mode == system ]]; then
  apt-get purge -y -qq -o DPkg::Lock::Timeout=600 quillmere >/dev/null
  installed=""
  [[ ! -e /usr/bin/quillmere && ! -e /usr/bin/quillmere-summary ]] || fail "removing the package left its programs"
  echo "Removed the package"
fi
echo "check-package: the package passes"
