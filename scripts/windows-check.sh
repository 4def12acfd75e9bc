#!/usr/bin/env bash
# Cross-compiles the core, the batch command and their tests for 64-bit Windows with MinGW-w64, and runs
# the tests under Wine, in build/windows. Installs what it needs from Debian's packages first.
#   scripts/windows-check.sh          build and run the tests
#   scripts/windows-check.sh --build  build only
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/setup.sh
velkmerge_install_packages cmake make g++-mingw-w64-x86-64-posix googletest libcli11-dev nlohmann-json3-dev \
    wine wine64

build=build/windows
headers="$PWD/$build/headers"  # CLI11 and nlohmann-json only, not the rest of the host's /usr/include
mkdir -p "$headers"
ln -sfn /usr/include/CLI "$headers/CLI"
ln -sfn /usr/include/nlohmann "$headers/nlohmann"

# The 64-bit loader is not on PATH; dpkg knows where the package put it.
wine=$(dpkg -L wine64 | grep -E '/wine64$' | head -n 1)
[ -x "$wine" ] || { echo "wine64's loader not found" >&2; exit 1; }
# A Wine configuration of this build's own, and no Wine chatter in the test output.
export WINEPREFIX="$PWD/$build/wineprefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
# One Wine server for the whole run: a test that starts while a server is shutting down fails to start.
wineserver="$(dirname "$wine")/wineserver"
mkdir -p "$WINEPREFIX"  # an empty folder becomes a new prefix
"$wineserver" -p
trap '"$wineserver" -k 2>/dev/null || true' EXIT
[ -e "$WINEPREFIX/system.reg" ] || echo "Making a Wine prefix in $WINEPREFIX"
"$wine" wineboot --init >/dev/null 2>&1  # makes the prefix, or starts its services before the tests do

cmake -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake -DCMAKE_BUILD_TYPE=Release \
    -DVELKMERGE_GUI=OFF -DVELKMERGE_WERROR=ON -DVELKMERGE_HEADER_LIBRARIES="$headers" \
    -DVELKMERGE_GTEST_SOURCE=/usr/src/googletest -DCMAKE_CROSSCOMPILING_EMULATOR="$wine" >/dev/null
cmake --build "$build" -j "$(nproc)"
[ "${1:-}" = "--build" ] && exit 0
# Wine now and then leaves a test process that has finished hanging at its exit: such a run times out
# and is run again (a failed test is not).
ctest --test-dir "$build" --output-on-failure --repeat after-timeout:3
