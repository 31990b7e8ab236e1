#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-2.0-or-later
# What the "Folders" list adds to a search with Duplicates: trevalo-scan --duplicates against
# trevalo-scan --duplicates --folders on each tree, runs interleaved, page cache warm (one run
# of each first, not counted). Prints per tree and mode the median wall time, user+system CPU
# time and, where perf can count them, the instructions, and the share Folders adds.
#
#   bench/folders_cost.sh [--scan PATH] [--runs N] TREE...
set -euo pipefail
scan=build/src/app/trevalo-scan
runs=5
while [ $# -gt 0 ]; do
    case $1 in
    --scan) scan=$2; shift 2 ;;
    --runs) runs=$2; shift 2 ;;
    *) break ;;
    esac
done
[ $# -gt 0 ] || { echo "usage: $0 [--scan PATH] [--runs N] TREE..." >&2; exit 2; }
counts=$(mktemp)
trap 'rm -f "$counts"' EXIT
have_perf=0
if perf stat -x, -e instructions:u -o "$counts" true >/dev/null 2>&1 &&
    awk -F, '/instructions/ {exit !($1 ~ /^[0-9]+$/)}' "$counts"; then
    have_perf=1
fi

# One run: "wall cpu instructions" on stdout.
measure() {
    local times instr=0
    if [ $have_perf = 1 ]; then
        perf stat -x, -e instructions:u -o "$counts" "$scan" "$@" >/dev/null 2>&1 || true
        instr=$(awk -F, '/instructions/ {print $1}' "$counts")
    fi
    /usr/bin/time -o "$counts" -f '%e %U %S' "$scan" "$@" >/dev/null 2>&1 || true
    times=$(awk 'END {print $1, $2 + $3}' "$counts")
    echo "$times $instr"
}

median() { sort -g | awk '{a[NR]=$1} END {print a[int((NR + 1) / 2)]}'; }

for tree in "$@"; do
    "$scan" --duplicates "$tree" >/dev/null 2>&1 || true
    "$scan" --duplicates --folders "$tree" >/dev/null 2>&1 || true
    declare -A wall=() cpu=() instr=()
    for ((i = 0; i < runs; i++)); do
        for mode in plain folders; do
            args=(--duplicates)
            [ $mode = folders ] && args+=(--folders)
            read -r w c n < <(measure "${args[@]}" "$tree")
            wall[$mode]+="$w "; cpu[$mode]+="$c "; instr[$mode]+="$n "
        done
    done
    for mode in plain folders; do
        w=$(tr ' ' '\n' <<<"${wall[$mode]}" | grep . | median)
        c=$(tr ' ' '\n' <<<"${cpu[$mode]}" | grep . | median)
        n=$(tr ' ' '\n' <<<"${instr[$mode]}" | { grep . || echo 0; } | median)
        printf '%s\t%-8s wall %6.2f s  cpu %6.2f s  instructions %s\n' "$tree" "$mode" "$w" "$c" "$n"
        eval "${mode}_c=$c ${mode}_n=$n"
    done
    awk -v a="$plain_c" -v b="$folders_c" -v x="$plain_n" -v y="$folders_n" 'BEGIN {
        printf "\tFolders adds %+.1f%% cpu", (a > 0 ? (b - a) / a * 100 : 0)
        if (x > 0) printf ", %+.1f%% instructions", (y - x) / x * 100
        printf "\n" }'
    unset wall cpu instr
done
