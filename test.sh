#!/usr/bin/env bash
# Sets up a fresh Debian machine, builds everything with warnings as errors and runs all tests.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/setup.sh
velkmerge_install_packages
cmake -S . -B build/test -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELKMERGE_WERROR=ON -DVELKMERGE_BENCH=ON
cmake --build build/test -j "$(nproc)"
ctest --test-dir build/test --output-on-failure -j "$(nproc)"

# The core and batch tests again with AddressSanitizer and UndefinedBehaviorSanitizer: any report aborts
# the test that caused it, so a memory fault or undefined behaviour fails test.sh like a failed check.
asan_start=$SECONDS
CC=gcc CXX=g++ cmake -S . -B build/asan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELKMERGE_SANITIZE=ON \
    -DVELKMERGE_GUI=OFF -DVELKMERGE_WERROR=ON
cmake --build build/asan -j "$(nproc)"
ASAN_OPTIONS="halt_on_error=1:abort_on_error=1:detect_leaks=1:strict_string_checks=1" \
    UBSAN_OPTIONS="halt_on_error=1:abort_on_error=1:print_stacktrace=1" \
    ctest --test-dir build/asan --output-on-failure -j "$(nproc)"
echo "Sanitizer build and tests took $((SECONDS - asan_start)) s"

# Once more with ThreadSanitizer, as the two files are read on two threads: a data race fails test.sh too.
tsan_start=$SECONDS
CC=gcc CXX=g++ cmake -S . -B build/tsan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELKMERGE_GUI=OFF \
    -DVELKMERGE_WERROR=ON -DCMAKE_CXX_FLAGS=-fsanitize=thread -DCMAKE_EXE_LINKER_FLAGS=-fsanitize=thread
cmake --build build/tsan -j "$(nproc)"
TSAN_OPTIONS="halt_on_error=1" ctest --test-dir build/tsan --output-on-failure -j "$(nproc)"
echo "ThreadSanitizer build and tests took $((SECONDS - tsan_start)) s"

# Short fuzz runs of the reader and the whole merge (clang and libFuzzer, in build/fuzz).
fuzz_start=$SECONDS
scripts/fuzz.sh --smoke
echo "Fuzz smoke runs took $((SECONDS - fuzz_start)) s"
