#!/usr/bin/env bash
# Builds the libFuzzer targets with clang in build/fuzz and runs them: a short smoke run, or a timed run.
#   scripts/fuzz.sh --smoke                   each target for a fixed number of runs (what test.sh calls)
#   scripts/fuzz.sh --time SECONDS [TARGET...] each named target (default all) for that long
# New inputs go to build/fuzz/corpus-<target> (for a smoke run to build/fuzz/smoke-corpus-<target>, emptied
# first), and crash, leak and timeout files to build/fuzz/artifacts/<target>/, so the seed corpus in
# tests/fuzz/corpus/ is only ever read.
set -euo pipefail
cd "$(dirname "$0")/.."

all_targets=(fuzz_parse_line fuzz_read_call_file fuzz_merge)
smoke_runs=(40000 10000 15000)  # per target, in the order above; together about 30 s here

usage() {
    echo "usage: $0 --smoke | --time SECONDS [TARGET...]" >&2
    exit 2
}

mode="${1:-}"
[ -n "$mode" ] || usage
shift
seconds=""
targets=("${all_targets[@]}")
case "$mode" in
    --smoke) ;;
    --time)
        seconds="${1:-}"
        [[ "$seconds" =~ ^[0-9]+$ ]] || usage
        shift
        [ $# -eq 0 ] || targets=("$@")
        ;;
    *) usage ;;
esac
for t in "${targets[@]}"; do
    [[ " ${all_targets[*]} " == *" $t "* ]] || { echo "unknown fuzz target: $t" >&2; exit 2; }
done

build=build/fuzz
CC=clang CXX=clang++ cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELKMERGE_FUZZ=ON \
    -DVELKMERGE_GUI=OFF -DVELKMERGE_TESTS=OFF -DVELKMERGE_WERROR=ON >/dev/null
cmake --build "$build" -j "$(nproc)" --target "${targets[@]}"

# A report from any sanitizer ends the run as a failure; leaks are checked when the fuzzer ends.
export ASAN_OPTIONS="halt_on_error=1:abort_on_error=1:detect_leaks=1"
export UBSAN_OPTIONS="halt_on_error=1:abort_on_error=1:print_stacktrace=1"
# The merge target writes its files under a per-process folder in TMPDIR; keep them in the build folder.
export TMPDIR="$PWD/$build/tmp"
mkdir -p "$TMPDIR"

for i in "${!all_targets[@]}"; do
    target="${all_targets[$i]}"
    [[ " ${targets[*]} " == *" $target "* ]] || continue
    # A smoke run starts from the seeds alone, so that test.sh runs the same inputs every time; a timed
    # run keeps building on what earlier runs found.
    work="$build/corpus-$target"
    if [ "$mode" = --smoke ]; then
        work="$build/smoke-corpus-$target"
        rm -rf "$work"
    fi
    artifacts="$build/artifacts/$target"
    mkdir -p "$work" "$artifacts"
    if [ "$mode" = --smoke ]; then
        limit=(-runs="${smoke_runs[$i]}" -seed=1)
    else
        limit=(-max_total_time="$seconds")
    fi
    echo "== $target ${limit[*]}"
    start=$SECONDS
    if ! "$build/tests/fuzz/$target" "${limit[@]}" -max_len=4096 -timeout=10 -print_final_stats=0 \
        -artifact_prefix="$artifacts/" "$work" "tests/fuzz/corpus/$target" >"$build/$target.log" 2>&1; then
        tail -n 40 "$build/$target.log" >&2
        echo "$target failed; the input is in $artifacts/, the whole log in $build/$target.log" >&2
        exit 1
    fi
    echo "   passed in $((SECONDS - start)) s ($(grep -c '' "$build/$target.log") log lines)"
done
