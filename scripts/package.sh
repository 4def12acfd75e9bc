#!/usr/bin/env bash
# Builds the Debian package in build/package, checks it (lintian, desktop-file-validate, appstreamcli),
# unpacks it into a scratch root and runs the installed programs there: --version, and a merge of the
# example. Installs what it needs from Debian's packages first.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/setup.sh
velkmerge_install_packages cmake g++ make libcli11-dev nlohmann-json3-dev qt6-base-dev qt6-multimedia-dev \
    help2man dpkg-dev file lintian desktop-file-utils appstream

build=build/package
# Debian's own compiler and linker flags for packages, with every hardening option.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
CXXFLAGS="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)" \
    LDFLAGS="$(dpkg-buildflags --get LDFLAGS)" cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DVELKMERGE_TESTS=OFF -DVELKMERGE_MANPAGES=ON \
    -DVELKMERGE_WERROR=ON >/dev/null
cmake --build "$build" -j "$(nproc)"
rm -f "$build"/velkmerge_*.deb
(cd "$build" && cpack -G DEB >/dev/null)
deb=$(ls "$build"/velkmerge_*.deb)
echo "Built $deb"
dpkg-deb --field "$deb" Package Version Architecture Depends

root="$build/root"
rm -rf "$root"
dpkg-deb -x "$deb" "$root"
echo "== desktop-file-validate, appstreamcli validate"
desktop-file-validate "$root/usr/share/applications/velkmerge.desktop"
appstreamcli validate --no-net "$root"/usr/share/metainfo/*.metainfo.xml
echo "== lintian"
lintian --fail-on error --suppress-tags-from-file /dev/null "$deb"

echo "== the installed programs"
"$root/usr/bin/velkmerge-cli" --version
"$root/usr/bin/velkmerge" --version
# Every library the package depends on is there, as apt would install it.
apt-get install --simulate --no-install-recommends "./$deb" >/dev/null
scratch=$(mktemp -d "${TMPDIR:-/tmp}/velkmerge-package.XXXXXX")
trap 'rm -rf "$scratch"' EXIT
cp examples/* "$scratch"/
before=$(wc -l <"$scratch/Call3.txt")
"$root/usr/bin/velkmerge-cli" -C "$scratch" input-standard.txt
after=$(wc -l <"$scratch/Call3.txt")
cmp -s "$scratch/Call3.bak" examples/Call3.txt || { echo "Call3.bak is not the example's Call3.txt" >&2; exit 1; }
[ "$after" -gt "$before" ] || { echo "the merge added no line to Call3.txt" >&2; exit 1; }
echo "Package $deb built, checked, and merged the example ($before lines before, $after after)."
