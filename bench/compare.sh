#!/usr/bin/env bash
# Times velkmerge-cli against sort, join, Miller and a Python merge on generated files, and checks its output;
# then times the desktop main window's reading and comparing against the CLI's (velkmerge-phase-bench).
#
#   bench/compare.sh [--quick] [--runs N] [--strict] [--update-checksums]
#
# Cases: 100,000 + 100,000 lines and 1,000,000 + 1,000,000 lines of the standard shape against every tool,
# and 1M of each other shape of velkmerge-generate (updates, new, same, long) against sort -u.
# --quick: the 100,000-line case only. --runs N: runs per command (default 5; Miller at 1M runs at most
# three times, each run takes tens of seconds; the window comparison 9 each way, as its runs are short and
# their medians move more).
# --strict: a missed target fails the script.
# --update-checksums: store the current output's checksums in bench/checksums.txt.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

quick=0 strict=0 update=0 runs=""
while [ $# -gt 0 ]; do
    case "$1" in
        --quick) quick=1 ;;
        --strict) strict=1 ;;
        --update-checksums) update=1 ;;
        --runs) runs="${2:?--runs needs a number}"; shift ;;
        -h|--help) sed -n '2,11p' "$0"; exit 0 ;;
        *) echo "unknown option $1" >&2; exit 2 ;;
    esac
    shift
done
case "$runs" in ''|*[!0-9]*|0) [ -z "$runs" ] || { echo "--runs needs a positive number" >&2; exit 2; } ;; esac

sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
source scripts/setup.sh
velkmerge_install_packages
for tool in mlr:miller /usr/bin/time:time; do
    if ! command -v "${tool%%:*}" >/dev/null; then
        $sudo apt-get install -y -qq "${tool##*:}"
    fi
done

build=$root/build/bench
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DVELKMERGE_BENCH=ON -DVELKMERGE_TESTS=OFF \
    -DVELKMERGE_GUI=OFF >/dev/null
cmake --build "$build" -j "$(nproc)" --target velkmerge-cli velkmerge-generate >/dev/null
cli=$build/velkmerge-cli
generate=$build/bench/velkmerge-generate
scratch=$build/compare
checksums=$root/bench/checksums.txt
rm -rf "$scratch"
mkdir -p "$scratch"
times=$scratch/times.tsv
: >"$times"

echo "Machine: $(lscpu | sed -n 's/^Model name: *//p' | head -1), $(nproc) cores," \
    "$(free -g | awk '/^Mem:/ {print $2}') GiB memory; $(uname -sr)"
echo "Tools: $(sort --version | head -1); $(mlr --version); $(python3 --version)"
echo

# Runs one command under GNU time; records wall time (from the clock, finer than time's 10 ms) and peak RSS.
# What earlier commands wrote goes to disk first, so that no command waits behind another's output (the
# other tools each leave tens of megabytes to be written, and velkmerge-cli flushes its file to disk).
timed() {
    local case=$1 tool=$2 out=$3
    shift 3
    local start end
    sync
    start=$(date +%s%N)
    if ! /usr/bin/time -f '%M' -o "$scratch/rss" "$@" >"$out"; then
        echo "FAILED: $tool on $case: $*" >&2
        exit 1
    fi
    end=$(date +%s%N)
    printf '%s\t%s\t%s\t%s\n' "$case" "$tool" "$(((end - start) / 1000))" "$(tail -1 "$scratch/rss")" >>"$times"
}

# The database's lines, plus the input lines (first of each call) whose call the database lacks, in call order.
join_merge() {
    LC_ALL=C sort -t, -k1,1 -s -u Call3.txt >db.sorted
    LC_ALL=C sort -t, -k1,1 -s -u input.txt |
        LC_ALL=C join -t, -v 2 db.sorted - |
        LC_ALL=C sort -t, -k1,1 -s -m db.sorted -
}
export -f join_merge

mismatch=0
declare -A sums
# run_case CASE LINES SHAPE RUNS MILLER_RUNS ALL_TOOLS: ALL_TOOLS 0 times velkmerge-cli and sort -u only.
run_case() {
    local case=$1 lines=$2 shape=$3 count=$4 mlr_count=$5 all_tools=$6
    local dir=$scratch/$case
    mkdir -p "$dir"
    cd "$dir"
    "$generate" --lines "$lines" --layout 0 --share 0.5 --repeats 0.01 --shape "$shape" --seed 20240601 \
        --database Call3.txt --input input.txt
    sums[$case/database.txt]=$(sha256sum <Call3.txt | cut -d' ' -f1)
    sums[$case/input.txt]=$(sha256sum <input.txt | cut -d' ' -f1)
    echo "$case: $(wc -l <Call3.txt) + $(wc -l <input.txt) lines, $((($(stat -c %s Call3.txt) + $(stat -c %s input.txt)) / 1048576)) MiB; $count runs each (Miller $mlr_count)"

    local run
    for ((run = 1; run <= count; run++)); do
        rm -rf work
        mkdir work
        cp Call3.txt work/Call3.txt
        timed "$case" velkmerge-cli cli.out "$cli" -q -C work "$dir/input.txt"
        local merged
        merged=$(sha256sum <work/Call3.txt | cut -d' ' -f1)
        # Every run starts from the same files, so every run must write the same bytes.
        if [ "$run" -eq 1 ]; then
            sums[$case/merged-Call3.txt]=$merged
        elif [ "$merged" != "${sums[$case/merged-Call3.txt]}" ]; then
            echo "!!! $case run $run: velkmerge-cli wrote a different Call3.txt than run 1" >&2
            mismatch=1
        fi
        # A merge with nothing to change writes nothing, and keeps no backup.
        if [ "$shape" != same ] && ! cmp -s Call3.txt work/Call3.bak; then
            echo "!!! $case run $run: Call3.bak is not the old Call3.txt" >&2
            mismatch=1
        fi
        timed "$case" "sort -u" sort.out env LC_ALL=C sort -t, -k1,1 -s -u Call3.txt input.txt
        [ "$all_tools" -eq 1 ] || continue
        timed "$case" "sort+join" join.out bash -c join_merge
        if [ "$run" -le "$mlr_count" ]; then
            # NIDX, not CSV: with an implicit header the CSV reader cuts lines to the first line's field count.
            timed "$case" miller mlr.out mlr --inidx --ifs , --onidx --ofs , \
                head -n 1 -g 1 then sort -f 1 Call3.txt input.txt
        fi
        timed "$case" "python dict" /dev/null python3 "$root/bench/dict_merge.py" Call3.txt input.txt dict.out
    done
    cd "$root"
}

run_case 100k 100000 standard "${runs:-5}" "${runs:-5}" 1
if [ "$quick" -eq 0 ]; then
    large_runs=${runs:-5}
    run_case 1M 1000000 standard "$large_runs" $((large_runs < 3 ? large_runs : 3)) 1
    for shape in updates new same long; do
        run_case "1M-$shape" 1000000 "$shape" "$large_runs" 0 0
    done
fi

# The desktop program's reading and comparing against the CLI's, on the largest case run. A separate build,
# as the one above leaves Qt out so that the CLI timings do not depend on it.
phase_build=$root/build/bench-gui
cmake -S . -B "$phase_build" -DCMAKE_BUILD_TYPE=Release -DVELKMERGE_BENCH=ON -DVELKMERGE_TESTS=OFF \
    -DVELKMERGE_GUI=ON >/dev/null
cmake --build "$phase_build" -j "$(nproc)" --target velkmerge-phase-bench velkmerge-resolve-bench >/dev/null
echo "The resolve window over 100,000 differing pairs (velkmerge-resolve-bench)"
QT_QPA_PLATFORM=offscreen XDG_CONFIG_HOME=$scratch/phase-config "$phase_build/bench/velkmerge-resolve-bench" \
    100000 2>/dev/null | sed 's/^/    /'
echo
phase_case=1M
[ "$quick" -eq 1 ] && phase_case=100k
phases=$scratch/phases.tsv
echo "$phase_case: desktop main window against the CLI's, reading and comparing only"
# Qt's notes about the offscreen platform go to a log; the program's own failures are shown.
if ! XDG_CONFIG_HOME=$scratch/phase-config "$phase_build/bench/velkmerge-phase-bench" \
    "$scratch/$phase_case/Call3.txt" "$scratch/$phase_case/input.txt" --runs "${runs:-9}" \
    --scratch "$scratch/phase" >"$scratch/phase.out" 2>"$scratch/phase.err"; then
    cat "$scratch/phase.out"
    grep -v 'propagateSizeHints\|XDG_RUNTIME_DIR' "$scratch/phase.err" >&2 || true
    echo "FAILED: velkmerge-phase-bench on $phase_case" >&2
    exit 1
fi
sed -n 's/^\(reached\|CLI phases\|GUI phases\)/    &/p' "$scratch/phase.out"
sed -n "s/^result cli=\([0-9.]*\) gui=\([0-9.]*\) ratio=\([0-9.]*\)\$/$phase_case\t\1\t\2\t\3/p" \
    "$scratch/phase.out" >"$phases"
if [ ! -s "$phases" ]; then
    echo "FAILED: velkmerge-phase-bench printed no result line" >&2
    exit 1
fi
echo

# Checksums: generated files first, so that a generator change is told apart from an output change.
if [ "$update" -eq 1 ]; then
    {
        echo "# sha256 of the generated files and of the Call3.txt velkmerge-cli writes from them (bench/compare.sh)"
        # Cases not run this time keep their stored values.
        if [ -f "$checksums" ]; then
            awk '!/^#/' "$checksums" | while read -r sum name; do
                [ -n "${sums[$name]+x}" ] || echo "$sum $name"
            done
        fi
        for name in "${!sums[@]}"; do echo "${sums[$name]} $name"; done | sort -k2
    } >"$checksums.new"
    mv "$checksums.new" "$checksums"
    echo "Stored checksums in bench/checksums.txt"
else
    for name in $(printf '%s\n' "${!sums[@]}" | sort); do
        stored=$(awk -v n="$name" '$2 == n {print $1}' "$checksums" 2>/dev/null || true)
        if [ -z "$stored" ]; then
            echo "note: no stored checksum for $name (bench/compare.sh --update-checksums stores it)"
        elif [ "$stored" != "${sums[$name]}" ]; then
            echo "!!! CHECKSUM MISMATCH: $name is ${sums[$name]}, stored $stored" >&2
            mismatch=1
        fi
    done
fi
echo

python3 - "$times" "$scratch" "$quick" "$phases" <<'PY' || target_missed=1
import collections, os, statistics, sys
times, scratch, quick, phases = sys.argv[1], sys.argv[2], sys.argv[3] == "1", sys.argv[4]
rows = collections.defaultdict(list)
for line in open(times):
    case, tool, micros, kib = line.rstrip("\n").split("\t")
    rows[case, tool].append((int(micros) / 1e6, int(kib) / 1024))
tools = ["velkmerge-cli", "sort -u", "sort+join", "miller", "python dict"]
med = {k: (statistics.median(t for t, _ in v), statistics.median(m for _, m in v), len(v)) for k, v in rows.items()}
print(f"{'case':<5} {'command':<14} {'runs':>4} {'median s':>9} {'peak MiB':>9} {'time / cli':>10}")
cases = ["100k", "1M"] + ([] if quick else [f"1M-{shape}" for shape in ("updates", "new", "same", "long")])
for case in cases:
    for tool in tools:
        if (case, tool) in med:
            t, m, n = med[case, tool]
            print(f"{case:<5} {tool:<14} {n:>4} {t:>9.3f} {m:>9.1f} {t / med[case, 'velkmerge-cli'][0]:>10.2f}")
print()
results = []
def target(name, ok, detail):
    results.append(ok)
    print(f"{'PASS' if ok else 'FAIL'}  {name}: {detail}")
if quick:
    print("SKIP  the 1M targets (--quick)")
else:
    for case in cases[1:]:
        cli, srt = med[case, "velkmerge-cli"], med[case, "sort -u"]
        target(f"{case}: velkmerge-cli >= 3x faster than sort -u", srt[0] >= 3 * cli[0], f"{srt[0] / cli[0]:.2f}x")
        size = sum(os.path.getsize(os.path.join(scratch, case, f)) for f in ("Call3.txt", "input.txt")) / 2**20
        target(f"{case}: velkmerge-cli peak RSS <= 2.2x the two files", cli[1] <= 2.2 * size,
               f"{cli[1]:.0f} MiB vs {size:.0f} MiB files ({cli[1] / size:.2f}x)")
    cli, mlr = med["1M", "velkmerge-cli"], med["1M", "miller"]
    target("1M: velkmerge-cli >= 50x faster than Miller", mlr[0] >= 50 * cli[0], f"{mlr[0] / cli[0]:.2f}x")
    small = med["100k", "velkmerge-cli"]
    target("velkmerge-cli 1M time <= 12x the 100k time", cli[0] <= 12 * small[0], f"{cli[0] / small[0]:.2f}x")
for line in open(phases):
    case, cli_s, gui_s, _ = line.rstrip("\n").split("\t")
    cli_s, gui_s = float(cli_s), float(gui_s)
    target(f"{case}: GUI phases <= 1.2 x CLI phases", gui_s <= 1.2 * cli_s,
           f"{gui_s:.3f} s vs {cli_s:.3f} s ({gui_s / cli_s:.2f}x)")
sys.exit(0 if all(results) else 1)
PY

if [ "$mismatch" -ne 0 ]; then
    echo "!!! velkmerge-cli's output or the generated files changed: see the lines marked !!! above" >&2
    exit 1
fi
if [ "${target_missed:-0}" -eq 1 ] && [ "$strict" -eq 1 ]; then
    exit 1
fi
exit 0
