#!/bin/bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The Debian package on this machine: built, installed with apt-get, both
# programs started, then removed. Skipped (77) without root, or when a
# solandre package is installed already: that one is left alone.
set -uo pipefail
build=$1

[ "$(id -u)" -eq 0 ] || { echo "skipped: installing a package needs root"; exit 77; }
if dpkg-query -W -f='${Status}' solandre 2>/dev/null | grep -q "install ok installed"; then
  echo "skipped: a solandre package is installed already"; exit 77
fi

work=$(mktemp -d)
cleanup() {
  dpkg-query -W solandre >/dev/null 2>&1 && apt-get remove -y -q solandre >/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAILED: $*"; exit 1; }

(cd "$build" && cpack -G DEB -B "$work" >/dev/null) || fail "cpack"
deb=$(ls "$work"/solandre_*.deb) || fail "no package written"
apt-get install -y -q "$deb" >"$work/install.log" 2>&1 || { cat "$work/install.log"; fail "apt-get install"; }

[ "$(command -v solandre)" = /usr/bin/solandre ] || fail "solandre not on the PATH"
solandre --version | grep -q "^solandre " || fail "solandre --version"
solandre-cli --version | grep -q "^solandre-cli " || fail "solandre-cli --version"
[ "$(printf 'Uno. Dos.' | solandre-cli number - -)" = $'[1] Uno.\r\n[2] Dos.\r' ] || fail "solandre-cli number"
# The windows start and keep running until stopped.
QT_QPA_PLATFORM=offscreen timeout 3 solandre "$work/obra.txt" >/dev/null 2>&1
[ $? -eq 124 ] || fail "solandre did not keep running"
# What the desktop needs is in the package (some systems leave manual pages
# out when installing, so the package's list is read).
contents=$(dpkg-deb -c "$deb")
for f in man/man1/solandre.1.gz man/man1/solandre-cli.1.gz applications/org.solandre.Solandre.desktop \
         metainfo/org.solandre.Solandre.metainfo.xml icons/hicolor/scalable/apps/org.solandre.Solandre.svg \
         icons/hicolor/48x48/apps/org.solandre.Solandre.png bash-completion/completions/solandre-cli \
         doc/solandre/copyright doc/solandre/LICENSE; do
  grep -q "/usr/share/$f\$" <<<"$contents" || fail "/usr/share/$f not in the package"
done

apt-get remove -y -q solandre >/dev/null 2>&1 || fail "apt-get remove"
[ ! -e /usr/bin/solandre ] && [ ! -e /usr/bin/solandre-cli ] || fail "programs left after removal"
echo "installed, started and removed cleanly"
