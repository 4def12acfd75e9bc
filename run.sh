#!/usr/bin/env bash
# Sets up a fresh Debian machine, builds VelkMerge and opens the desktop program on a scratch copy of the
# bundled example; without a display it merges the example with the batch command instead.
# With arguments, runs velkmerge-cli with them instead (in the current folder).
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
source "$here/scripts/setup.sh"
velkmerge_install_packages
cmake -S "$here" -B "$here/build/run" -DCMAKE_BUILD_TYPE=Release -DVELKMERGE_TESTS=OFF > /dev/null
cli="$here/build/run/velkmerge-cli"

if [ $# -gt 0 ]; then
    cmake --build "$here/build/run" -j "$(nproc)" --target velkmerge-cli > /dev/null
    exec "$cli" "$@"
fi
cmake --build "$here/build/run" -j "$(nproc)" --target velkmerge-cli velkmerge > /dev/null

scratch="$(mktemp -d "${TMPDIR:-/tmp}/velkmerge-example.XXXXXX")"
cp "$here"/examples/* "$scratch"/
cd "$scratch"
echo "Example folder: $scratch"
echo

if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
    echo "Opening VelkMerge on the example. Type input-standard.txt as the input file and press Merge;"
    echo "Call3.txt of the example folder is merged, the old one kept as Call3.bak."
    exec "$here/build/run/velkmerge"
fi

echo "No display found; showing the batch demo instead."
echo
echo "---- Call3.txt before the merge ----"
cat Call3.txt
echo "---- input-standard.txt ----"
cat input-standard.txt
echo
echo "\$ velkmerge-cli --dry-run input-v46.txt --layout 1      (what an old-layout list would change)"
"$cli" --dry-run input-v46.txt --layout 1
echo
echo "\$ velkmerge-cli input-standard.txt"
status=0
"$cli" input-standard.txt || status=$?
echo
echo "---- Call3.txt after the merge (the old one is Call3.bak) ----"
cat Call3.txt
exit "$status"
