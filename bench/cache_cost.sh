#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-2.0-or-later
# What the proof cache costs a first search and saves a second one: trevalo-scan --duplicates
# with --no-cache, then with an empty cache (a new XDG_CACHE_HOME per round), then again with
# the cache that run filled; interleaved rounds, warm page cache (unless --cold). Several binaries (say, before
# and after a change) take turns within each round.
#
#   bench/cache_cost.sh [--runs N] [--cold] [--instructions] TREE [BINARY...]
#
# --cold empties the page cache before every run (as root: sync; echo 3 > drop_caches), so that
# each one reads the tree (and the store) from the disk.
#
# Prints per binary and kind the medians of wall time, user+system CPU time and minor faults,
# and the first search's ratios to --no-cache round by round. --instructions adds, per binary
# and kind, the instructions of one single-threaded run under callgrind (user space only, the
# same on a busy machine; some 50 times slower; needs valgrind).
set -euo pipefail

runs=5
cold=0
instructions=0
while [ $# -gt 0 ]; do
    case $1 in
    --runs) runs=$2; shift 2 ;;
    --cold) cold=1; shift ;;
    --instructions) instructions=1; shift ;;
    -h | --help) sed -n '3,16p' "$0"; exit 0 ;;
    *) break ;;
    esac
done
[ $# -ge 1 ] || { echo "usage: $0 [--runs N] [--cold] [--instructions] TREE [BINARY...]" >&2; exit 2; }
if [ $cold = 1 ] && ! [ -w /proc/sys/vm/drop_caches ]; then
    echo "$0: --cold needs root (to empty the page cache)" >&2
    exit 2
fi
tree=$1
shift
binaries=("$@")
[ ${#binaries[@]} -gt 0 ] || binaries=("$(dirname "$0")/../build/src/app/trevalo-scan")

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
times=$work/times
: >"$times"

run() { # BINARY KIND CACHE
    local extra=()
    [ "$2" = nocache ] && extra=(--no-cache)
    if [ $cold = 1 ]; then
        sync
        echo 3 >/proc/sys/vm/drop_caches
    fi
    # Wall time to the microsecond (GNU time gives hundredths: 2% of a half-second search).
    local t0=$EPOCHREALTIME
    XDG_CACHE_HOME=$3 /usr/bin/time -o "$work/t" -f "%U %S %R" \
        "$1" --duplicates --json "${extra[@]}" "$tree" >/dev/null 2>"$work/err" || true
    local t1=$EPOCHREALTIME
    echo "$4 $2 $(python3 -c "print(f'{$t1 - $t0:.6f}')") $(cat "$work/t")" >>"$times"
}

# The warm-up: the tree into the page cache.
"${binaries[0]}" --duplicates --no-cache "$tree" >/dev/null 2>&1 || true
for round in $(seq 1 "$runs"); do
    for i in "${!binaries[@]}"; do
        cache=$(mktemp -d "$work/cache.XXXX")
        for kind in nocache first second; do
            run "${binaries[$i]}" $kind "$cache" "$i"
        done
        rm -rf "$cache"
    done
done

for i in "${!binaries[@]}"; do
    echo "$i: ${binaries[$i]}"
done
python3 - "$times" <<'EOF'
import statistics as st
import sys

rows = {}
for line in open(sys.argv[1]):
    b, kind, wall, user, system, faults = line.split()
    rows.setdefault((b, kind), []).append((float(wall), float(user) + float(system), int(faults)))
print(f"{'bin':>3} {'kind':8} {'wall s':>7} {'cpu s':>6} {'faults':>7}   (medians)")
for (b, kind), v in sorted(rows.items()):
    print(f"{b:>3} {kind:8} {st.median(x[0] for x in v):7.3f} {st.median(x[1] for x in v):6.2f}"
          f" {int(st.median(x[2] for x in v)):7d}")
for b in sorted({b for b, _ in rows}):
    pairs = list(zip(rows[(b, 'first')], rows[(b, 'nocache')]))
    ratio = lambda a, b: f"{a / b:.2f}" if b > 0 else "-"
    wall = ' '.join(ratio(f[0], n[0]) for f, n in pairs)
    cpu = ' '.join(ratio(f[1], n[1]) for f, n in pairs)
    middle = st.median(f[0] / n[0] for f, n in pairs)
    print(f"{b:>3} first / --no-cache by round: wall {wall} (median {middle:.3f}); cpu {cpu}")
EOF

if [ $instructions = 1 ]; then
    for i in "${!binaries[@]}"; do
        cache=$(mktemp -d "$work/cache.XXXX")
        for kind in nocache first second; do
            extra=()
            [ $kind = nocache ] && extra=(--no-cache)
            XDG_CACHE_HOME=$cache valgrind --tool=callgrind --callgrind-out-file="$work/cg" \
                "${binaries[$i]}" --threads 1 --duplicates --json "${extra[@]}" "$tree" \
                >/dev/null 2>"$work/err" || true
            echo "$i $kind instructions $(sed -n "s/^\(summary\|totals\): \([0-9]*\).*/\2/p" "$work/cg" | head -1)"
        done
        rm -rf "$cache"
    done
fi
