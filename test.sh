#!/usr/bin/env bash
# Sets up a fresh Debian machine, builds everything with warnings as errors and runs all tests.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/setup.sh
velkmerge_install_packages
cmake -S . -B build/test -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELKMERGE_WERROR=ON
cmake --build build/test -j "$(nproc)"
ctest --test-dir build/test --output-on-failure -j "$(nproc)"
