#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-2.0-or-later
# The search's size limits and exclude patterns against jdupes' own: on a small tree with known
# answers, trevalo-scan and jdupes must give the same duplicate groups without limits, with a
# minimum and a maximum size, and with a folder and an extension passed over (jdupes excludes by
# path text and extension; on this tree the two say the same thing).
#
#   bench/scope_vs_jdupes.sh [--build-dir DIR | --scan BINARY]
set -euo pipefail
set -f # the options below are split at blanks, never expanded as file names

bench=$(cd "$(dirname "$0")" && pwd)
repo=$(dirname "$bench")
build=$repo/build
scan=
while [ $# -gt 0 ]; do
    case $1 in
        --build-dir) build=$2; shift 2 ;;
        --scan) scan=$2; shift 2 ;;
        *) echo "usage: bench/scope_vs_jdupes.sh [--build-dir DIR | --scan BINARY]" >&2; exit 2 ;;
    esac
done
command -v jdupes >/dev/null || { echo "jdupes is not installed (apt-get install jdupes)" >&2; exit 2; }
if [ -z "$scan" ]; then
    cmake --build "$build" --target trevalo-scan >/dev/null
    scan=$build/src/app/trevalo-scan
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
tree=$work/tree
# a/x1 a/x2 b/x3 "hello world" (11 bytes), a/n.tmp b/o.tmp the same; a/big1 a/big2 3000 bytes
# alike; a/mid1 a/mid2 cache/c1 cache/c2 the same 500 bytes; a/m.dat b/m.dat cache/m.dat 500
# bytes each, all different; a/empty b/empty zero length.
mkdir -p "$tree"/{a,b,cache}
for f in a/x1 a/x2 b/x3 a/n.tmp b/o.tmp; do printf 'hello world' >"$tree/$f"; done
for f in a/big1 a/big2; do head -c 3000 /dev/zero | tr '\0' A >"$tree/$f"; done
for f in a/mid1 a/mid2 cache/c1 cache/c2; do head -c 500 /dev/zero | tr '\0' B >"$tree/$f"; done
for f in a/m.dat:C b/m.dat:D cache/m.dat:E; do
    head -c 500 /dev/zero | tr '\0' "${f#*:}" >"$tree/${f%:*}"
done
: >"$tree/a/empty"
: >"$tree/b/empty"

failed=0
compare() { # NAME, trevalo-scan's options, jdupes' options (one string each)
    # shellcheck disable=SC2086
    "$scan" --duplicates --no-cache --json $2 "$tree" >"$work/ours.json"
    # shellcheck disable=SC2086
    jdupes -r -q $3 "$tree" >"$work/jdupes.txt"
    if python3 "$bench/groups.py" compare trevalo "$work/ours.json" fdupes "$work/jdupes.txt" \
        --root "$tree" >"$work/diff.txt"; then
        echo "same groups: $1"
    else
        echo "DIFFERENT: $1"
        cat "$work/diff.txt"
        failed=1
    fi
}
compare "no limits" "" ""
compare "100 to 2000 bytes" "--min-size 100 --max-size 2000" "-X size+=:100 -X size-=:2000"
compare "cache and *.tmp passed over, 11 to 600 bytes" \
    "--exclude cache --exclude *.tmp --min-size 11 --max-size 600" \
    "-X nostr:/cache/ -X noext:tmp -X size+=:11 -X size-=:600"
exit $failed
