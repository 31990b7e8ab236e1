#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-2.0-or-later
# What a search with the proof cache reads after part of a tree changed: copies TREE, searches
# it once to fill a new cache, changes every 100th file (a third get a byte appended, a third
# are replaced by a copy renamed over them, a third are touched), then searches with the cache
# and without it. Prints the bytes each search read (the sum of what read/pread64 returned, by
# strace; the store's own reads included) and checks that both give the same lists.
#
#   bench/cache_changes.sh TREE [BINARY]
set -euo pipefail

[ $# -ge 1 ] || { echo "usage: $0 TREE [BINARY]" >&2; exit 2; }
tree=$1
scan=${2:-$(dirname "$0")/../build/src/app/trevalo-scan}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp -a "$tree" "$work/tree"
export XDG_CACHE_HOME=$work/cache

read_bytes() {
    strace -f -qq -e trace=read,pread64 -e signal=none -o "$work/trace" "$scan" "$@" \
        >/dev/null 2>&1 || true
    awk '$NF ~ /^[0-9]+$/ {s += $NF; c++} END {printf "%.0f bytes in %d reads\n", s, c}' \
        "$work/trace"
}
steady() { "$scan" "$@" 2>/dev/null | sed -E 's/"seconds": *[0-9.]+//' | md5sum; }

echo "first search, empty cache: $(read_bytes --duplicates --json "$work/tree")"
echo "second search, unchanged:  $(read_bytes --duplicates --json "$work/tree")"
find "$work/tree" -type f | sort | awk 'NR % 100 == 0' >"$work/changed"
k=0
while IFS= read -r f; do
    case $((k % 3)) in
    0) printf x >>"$f" ;;
    1) cp -p "$f" "$f.new" && mv "$f.new" "$f" ;;
    2) touch "$f" ;;
    esac
    k=$((k + 1))
done <"$work/changed"
echo "changed: $(wc -l <"$work/changed") files"
echo "with the cache:            $(read_bytes --duplicates --json "$work/tree")"
echo "without it (--no-cache):   $(read_bytes --no-cache --duplicates --json "$work/tree")"
if [ "$(steady --duplicates --json "$work/tree")" = "$(steady --no-cache --duplicates --json "$work/tree")" ]; then
    echo "same lists with and without the cache"
else
    echo "THE LISTS DIFFER" >&2
    exit 1
fi
