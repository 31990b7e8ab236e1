#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-2.0-or-later
# Times `trevalo-scan --duplicates` against fdupes, jdupes, rmlint and rdfind on
# generated trees and on /usr, warm cache (or cold with --cold), and checks that
# every tool finds the same duplicate groups. See bench/README.md for the columns
# and the flags.
#
#   bench/compare_peers.sh [--quick] [--runs N] [--profile NAME]... [--tree DIR]...
#                          [--no-usr] [--tools LIST] [--build-dir DIR | --scan BINARY]
#                          [--results DIR] [--timeout SECONDS] [--hyperfine] [--one-core]
#                          [--cold] [--second-run]
set -euo pipefail

bench=$(cd "$(dirname "$0")" && pwd)
repo=$(dirname "$bench")

usage() {
    cat <<'EOF'
usage: bench/compare_peers.sh [options]
  --quick            smoke run: the 5,000-file mixed corpus only, 3 runs
  --runs N           timed runs per tool and tree, after one warm-up run (default 5)
  --profile NAME     a generated tree: mixed, samesize, bigdupes, tiny, longpaths,
                     or NAME-quick
                     (repeatable)
  --tree DIR         an existing tree (repeatable)
                     without --profile and --tree: mixed and /usr (--quick: mixed-quick)
  --no-usr           leave /usr out of that default
  --tools LIST       comma-separated, in table order; default
                     trevalo-scan,jdupes,fdupes,rmlint,rdfind; also available:
                     trevalo-all (all three searches) and floor (find, then the
                     bytes trevalo-scan reads, 32 readers at once; see README)
  --build-dir DIR    CMake build folder to build trevalo-scan in (default: build/)
  --scan BINARY      time this trevalo-scan binary and build nothing
  --results DIR      where logs and reports go (default bench/results/DATE-TIME)
  --timeout SECONDS  give up on one run after this long (default 900)
  --hyperfine        time with hyperfine (each tool's runs back to back) instead of
                     interleaved rounds
  --one-core         run every tool (and the empty-folder baseline) on CPU 0 alone
                     (taskset -c 0), so that multi-threaded tools get one core too
  --cold             empty the page cache before every run of every tool (root:
                     sync; echo 3 > /proc/sys/vm/drop_caches), so that each reads
                     the disk as a first search does
  --second-run       add trevalo-proven (a search with the proof cache its warm-up
                     filled: a second search of an unchanged tree) and trevalo-walk
                     (--zero-size: the walk alone); trevalo-scan itself always runs
                     with --no-cache
EOF
}

runs=5
quick=0
profiles=()
trees=()
use_usr=1
tools=trevalo-scan,jdupes,fdupes,rmlint,rdfind
build_dir=$repo/build
scan=
results=
timeout_s=900
engine=rounds
runs_given=0
one_core=0
cold=0
second=0
while [ $# -gt 0 ]; do
    case $1 in
    --quick) quick=1 ;;
    --runs) runs=$2; runs_given=1; shift ;;
    --profile) profiles+=("$2"); shift ;;
    --tree) trees+=("$(cd "$2" && pwd)"); shift ;;
    --no-usr) use_usr=0 ;;
    --tools) tools=$2; shift ;;
    --build-dir) build_dir=$(realpath -m "$2"); shift ;;
    --scan) scan=$(realpath "$2"); shift ;;
    --results) results=$(realpath -m "$2"); shift ;;
    --timeout) timeout_s=$2; shift ;;
    --hyperfine) engine=hyperfine ;;
    --one-core) one_core=1 ;;
    --cold) cold=1 ;;
    --second-run) second=1 ;;
    -h|--help) usage; exit 0 ;;
    *) echo "compare_peers.sh: unknown option $1" >&2; usage >&2; exit 2 ;;
    esac
    shift
done
[[ $runs =~ ^[1-9][0-9]*$ ]] || { echo "compare_peers.sh: --runs needs a positive number" >&2; exit 2; }
if [ $quick = 1 ]; then
    [ $runs_given = 1 ] || runs=3
    [ ${#profiles[@]} -gt 0 ] || profiles=(mixed-quick)
else
    if [ ${#profiles[@]} -eq 0 ] && [ ${#trees[@]} -eq 0 ]; then
        profiles=(mixed)
        [ $use_usr = 0 ] || trees=(/usr)
    fi
fi
[ $second = 0 ] || tools+=,trevalo-proven,trevalo-walk
IFS=, read -r -a tool_list <<<"$tools"
# what every timed command is started through: nothing, or a pin to CPU 0
pin=()
if [ $one_core = 1 ]; then
    command -v taskset >/dev/null || { echo "compare_peers.sh: --one-core needs taskset (util-linux)" >&2; exit 1; }
    pin=(taskset -c 0)
fi
# with --cold, what empties the page cache before each run (a test may stand in
# its own command)
drop_caches=${TREVALO_BENCH_DROP_CACHES:-'sync; echo 3 > /proc/sys/vm/drop_caches'}
if [ $cold = 1 ] && [ -z "${TREVALO_BENCH_DROP_CACHES:-}" ] && [ "$(id -u)" -ne 0 ]; then
    echo "compare_peers.sh: --cold empties the page cache, which needs root" >&2
    exit 1
fi
# GNU time's figures, in the order of the .runs lines: peak RSS (KiB), user and
# system CPU seconds, minor page faults (of the tool and the small wrappers it
# is started through)
time_fmt='%M %U %S %R'

# ---------------------------------------------------------------------------
# what the benchmark needs, from Debian
need=(python3 fdupes jdupes rmlint rdfind hyperfine time)
# the floor reads what trevalo-scan read, as strace saw it
[[ ",$tools," != *,floor,* ]] || need+=(strace)
missing=()
for p in "${need[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ -z "$scan" ]; then
    # the build's own packages come from the project's list
    # shellcheck source=../scripts/deps.sh
    source "$repo/scripts/deps.sh"
    trevalo_ensure_packages "${missing[@]}"
elif [ ${#missing[@]} -gt 0 ]; then
    sudo=()
    [ "$(id -u)" -ne 0 ] && sudo=(sudo)
    "${sudo[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# ---------------------------------------------------------------------------
# trevalo-scan, built optimised
build_note=
if [ -z "$scan" ]; then
    if [ ! -f "$build_dir/CMakeCache.txt" ]; then
        cmake -S "$repo" -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
    fi
    btype=$(sed -n 's/^CMAKE_BUILD_TYPE:[A-Z]*=//p' "$build_dir/CMakeCache.txt")
    case $btype in
    Release|RelWithDebInfo|MinSizeRel) ;;
    *) echo "compare_peers.sh: $build_dir is a '${btype:-no type}' build; timing needs" \
            "Release or RelWithDebInfo (give another --build-dir)" >&2; exit 1 ;;
    esac
    scan=$build_dir/src/app/trevalo-scan
    if ! cmake --build "$build_dir" --target trevalo-scan >"${TMPDIR:-/tmp}/trevalo-bench-build.log" 2>&1; then
        if [ -x "$scan" ]; then
            build_note="BUILD FAILED - timing the binary from $(date -r "$scan" '+%F %T')"
            echo "compare_peers.sh: $build_note (log: ${TMPDIR:-/tmp}/trevalo-bench-build.log)" >&2
        else
            cat "${TMPDIR:-/tmp}/trevalo-bench-build.log" >&2
            exit 1
        fi
    fi
    build_note="${build_note:-$btype build in $build_dir}"
else
    build_note="given binary $scan"
fi

# ---------------------------------------------------------------------------
# trees
tree_paths=()
tree_manifests=()
for p in "${profiles[@]}"; do
    case $p in
    *-quick) args=("${p%-quick}" --quick) ;;
    *) args=("$p") ;;
    esac
    python3 "$bench/make_corpus.py" "${args[@]}" >&2
    tree_paths+=("$bench/corpus/$p")
    tree_manifests+=("$bench/corpus/$p.manifest.json")
done
for t in "${trees[@]}"; do
    tree_paths+=("$t")
    tree_manifests+=("")
done

results=${results:-$bench/results/$(date +%Y%m%d-%H%M%S)}
mkdir -p "$results"
# trevalo-scan's proof cache: the results folder's own, never the user's
export XDG_CACHE_HOME=$results/cache

# ---------------------------------------------------------------------------
# the tools: tool_cmd NAME TREE REPORT sets cmd (argv), fmt (report reader),
# flags (what the table prints) and to_stdout (1: the report is the standard output)
tool_cmd() {
    local name=$1 tree=$2 report=$3
    to_stdout=1
    case $name in
    trevalo-scan)
        cmd=("$scan" --duplicates --no-cache --json "$tree"); fmt=trevalo
        flags="trevalo-scan --duplicates --no-cache --json" ;;
    trevalo-all)
        cmd=("$scan" --no-cache --json "$tree"); fmt=trevalo
        flags="trevalo-scan --no-cache --json (all three searches)" ;;
    trevalo-proven)
        # the proof cache of the results folder, filled by the warm-up run
        cmd=("$scan" --duplicates --json "$tree"); fmt=trevalo
        flags="trevalo-scan --duplicates --json, a second search with the proof cache" ;;
    trevalo-walk)
        cmd=("$scan" --zero-size --no-cache "$tree"); fmt=none
        flags="trevalo-scan --zero-size --no-cache (the walk alone)" ;;
    jdupes)
        # -z off (default): empty files are no duplicates; -H off: hard links of one
        # file are not duplicates of each other; -s off: symlinks not followed.
        # -0 rather than -j: its JSON garbles, or hangs on, names that are not UTF-8
        cmd=(jdupes -r -q -0 "$tree"); fmt=jdupes0
        flags="jdupes -r -q -0" ;;
    fdupes)
        # -n: leave empty files out (fdupes groups them by default); no -H, no -s
        cmd=(fdupes -r -n -q "$tree"); fmt=fdupes
        flags="fdupes -r -n -q" ;;
    rmlint)
        # -T df: only duplicate files (not its other lint: empty files, bad links,
        # unstripped binaries, ...); --hidden: it skips dot files by default;
        # -F: ignore symlinks (by default it compares links as small files);
        # -L: one path per hard-linked file; --without-fiemap: see README
        cmd=(rmlint -T df --hidden -F -L --without-fiemap -o "json:$report" "$tree")
        fmt=rmlint; to_stdout=0
        flags="rmlint -T df --hidden -F -L --without-fiemap -o json:FILE" ;;
    rdfind)
        # the defaults, spelled out: empty files ignored, symlinks not followed,
        # one path per device+inode
        cmd=(rdfind -ignoreempty true -followsymlinks false -removeidentinode true
             -outputname "$report" "$tree")
        fmt=rdfind; to_stdout=0
        flags="rdfind -ignoreempty true -followsymlinks false -removeidentinode true -outputname FILE" ;;
    floor)
        # walking and stat-ing every file, then reading the bytes trevalo-scan
        # read, 32 readers at once (the scripts are made before timing)
        cmd=(sh -c 'find "$1" -type f -printf "%s\n" >/dev/null &&
                    find "$2" -name "floor.*.sh" -print0 | xargs -0 -r -P 32 -n 1 bash' \
             floor "$tree" "$tdir/floor")
        fmt=none
        flags="find TREE -type f -printf '%s\\n', then the bytes trevalo-scan read, by 32 readers (cat, head -c)" ;;
    *) echo "compare_peers.sh: unknown tool $name" >&2; exit 2 ;;
    esac
}

version_of() {
    case $1 in
    trevalo-scan|trevalo-all|trevalo-proven|trevalo-walk) echo "$build_note" ;;
    jdupes) jdupes -v 2>/dev/null | head -1 ;;
    fdupes) fdupes --version 2>/dev/null | head -1 ;;
    rmlint) rmlint --version 2>&1 | head -1 ;;
    rdfind) rdfind --version 2>/dev/null | head -1 ;;
    floor) echo "find, xargs, cat, head (coreutils/findutils)" ;;
    esac
}

# quote for hyperfine's own word splitting (-N)
squote() { printf "'%s'" "${1//\'/\'\\\'\'}"; }

# run_once NAME PHASE REPORT: one run, appending "phase wall rss user sys rc minflt"
# to NAME.runs
run_once() {
    local name=$1 phase=$2 report=$3 out t0 t1 rc
    tool_cmd "$name" "$tree" "$report"
    if [ "$to_stdout" = 1 ]; then out=$report; else out=$tdir/$name.log; fi
    # rmlint renames an existing report out of its way instead of replacing it
    rm -f "$report"
    [ $cold = 0 ] || sh -c "$drop_caches"
    t0=$EPOCHREALTIME
    set +e
    /usr/bin/time -f "$time_fmt" -o "$tdir/$name.time" "${pin[@]}" timeout "$timeout_s" "${cmd[@]}" \
        >"$out" 2>>"$tdir/$name.err" </dev/null
    rc=$?
    set -e
    t1=$EPOCHREALTIME
    local us=$(( 10#${t1/./} - 10#${t0/./} ))
    local m=0 u=0 s=0 f=0
    read -r m u s f < <(grep -E '^[0-9]+ [0-9.]+ [0-9.]+ [0-9]+$' "$tdir/$name.time" | tail -1) || true
    printf '%s %d.%06d %s %s %s %d %s\n' "$phase" $((us / 1000000)) $((us % 1000000)) \
        "${m:-0}" "${u:-0}" "${s:-0}" "$rc" "${f:-0}" >>"$tdir/$name.runs"
}

cpu_line() { grep '^cpu ' /proc/stat; }
loadavg() { cut -d' ' -f1-3 /proc/loadavg; }

{
    echo "date: $(date '+%F %T %Z')"
    echo "machine: $(nproc) cores, $(free -g | awk '/^Mem:/ {print $2 " GiB RAM, " $7 " GiB available"}')," \
         "$(uname -sr), load average $(loadavg)"
    echo "engine: $engine, $runs timed runs per tool after one warm-up run, timeout ${timeout_s}s"
    if [ $one_core = 1 ]; then
        echo "cpu: every tool pinned to CPU 0 (taskset -c 0)"
    else
        echo "cpu: every tool free to use all $(nproc) cores"
    fi
    if [ $cold = 1 ]; then
        echo "cache: emptied before every run (cold)"
    else
        echo "cache: warm (each tool's warm-up run fills it)"
    fi
    for t in "${tool_list[@]}"; do printf '%-13s %s\n' "$t:" "$(version_of "$t")"; done
} | tee "$results/machine.txt"

# the memory of a search of an empty folder, by every tool, to tell the share of
# the peak that grows with the files: baseline.tsv holds "tool rss_kb minflt"
# (baseline.txt, trevalo-scan's RSS alone, is what older reports read)
empty=$(mktemp -d)
tdir=$results/baseline
mkdir -p "$tdir"
: >"$results/baseline.tsv"
for t in "${tool_list[@]}"; do
    [ "$t" != floor ] || continue
    tool_cmd "$t" "$empty" "$tdir/$t.out"
    if [ "$to_stdout" = 1 ]; then out=$tdir/$t.out; else out=$tdir/$t.log; fi
    rm -f "$tdir/$t.out"
    m=0 f=0
    /usr/bin/time -f '%M %R' -o "$tdir/$t.time" "${pin[@]}" "${cmd[@]}" \
        >"$out" 2>"$tdir/$t.err" </dev/null || true
    if read -r m f < <(grep -E '^[0-9]+ [0-9]+$' "$tdir/$t.time" | tail -1); then
        printf '%s %s %s\n' "$t" "$m" "$f" >>"$results/baseline.tsv"
        [ "$t" != trevalo-scan ] || echo "$m" >"$results/baseline.txt"
    fi
done
rm -rf "$empty"

# ---------------------------------------------------------------------------
n=0
for i in "${!tree_paths[@]}"; do
    tree=${tree_paths[$i]}
    n=$((n + 1))
    tdir=$results/$(printf '%02d' $n)-$(basename "$tree" | tr -c 'A-Za-z0-9._\n-' _)
    mkdir -p "$tdir"
    {
        echo "tree=$tree"
        echo "manifest=${tree_manifests[$i]}"
        echo "one_core=$one_core"
        echo "cold=$cold"
    } >"$tdir/tree.txt"
    : >"$tdir/tools.tsv"
    for t in "${tool_list[@]}"; do
        tool_cmd "$t" "$tree" "$tdir/$t.out"
        printf '%s\t%s\t%s\n' "$t" "$fmt" "$flags" >>"$tdir/tools.tsv"
        : >"$tdir/$t.runs"
    done
    if [[ ",$tools," == *,floor,* ]]; then
        # what trevalo-scan reads of which file, as strace sees it, made into 32
        # scripts of cat and head -c
        strace -f -qq -xx -e trace=openat,openat2,pread64,close -o "$tdir/floor.strace" \
            "$scan" --duplicates --no-cache "$tree" >/dev/null 2>&1 </dev/null || true
        rm -rf "$tdir/floor"
        mkdir -p "$tdir/floor"
        python3 "$bench/groups.py" floor-scripts "$tdir/floor.strace" "$tdir/floor" 32 "$tree" >&2
        rm -f "$tdir/floor.strace"
    fi
    echo "== $tree: warm-up run of each tool" >&2
    for t in "${tool_list[@]}"; do
        run_once "$t" warmup "$tdir/$t.out"
    done
    echo "== $tree: $runs timed runs ($engine)" >&2
    load_before=$(loadavg)
    cpu_line >"$tdir/cpu.txt"
    start=$EPOCHREALTIME
    if [ $engine = rounds ]; then
        # round-robin, starting each round one tool later, so that drift in the
        # machine's load falls on every tool alike
        k=${#tool_list[@]}
        for ((r = 0; r < runs; r++)); do
            for ((j = 0; j < k; j++)); do
                t=${tool_list[$(((j + r) % k))]}
                run_once "$t" run "$tdir/$t.last"
            done
            echo "   round $((r + 1))/$runs done" >&2
        done
    else
        for t in "${tool_list[@]}"; do
            tool_cmd "$t" "$tree" "$tdir/$t.last"
            line="/usr/bin/time -f '$time_fmt' -a -o $(squote "$tdir/$t.hftime")"
            for a in "${pin[@]}"; do line+=" $a"; done
            line+=" timeout $timeout_s"
            for a in "${cmd[@]}"; do line+=" $(squote "$a")"; done
            if [ "$to_stdout" = 1 ]; then where=$tdir/$t.last; else where=$tdir/$t.log; fi
            : >"$tdir/$t.hftime"
            hyperfine -N -i --warmup 0 --runs "$runs" --style basic --output "$where" \
                --export-json "$tdir/$t.hyperfine.json" -n "$t" "$line" >&2
            python3 "$bench/groups.py" hyperfine-runs "$tdir/$t.hyperfine.json" "$tdir/$t.hftime" \
                >>"$tdir/$t.runs"
        done
    fi
    end=$EPOCHREALTIME
    cpu_line >>"$tdir/cpu.txt"
    us=$(( 10#${end/./} - 10#${start/./} ))
    {
        echo "engine=$engine"
        echo "timed_wall=$((us / 1000000)).$(printf '%06d' $((us % 1000000)))"
        echo "load_before=$load_before"
        echo "load_after=$(loadavg)"
    } >>"$tdir/tree.txt"
done

python3 "$bench/groups.py" report "$results" | tee "$results/table.txt"
echo
echo "logs and reports: $results"
