#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-2.0-or-later
"""Duplicate groups from the reports of trevalo-scan and its peers, and the table.

    groups.py show FORMAT REPORT [--root DIR]   normalised groups of one report
    groups.py compare FORMAT-A REPORT-A FORMAT-B REPORT-B [--root DIR]
    groups.py report RESULTS-DIR                 the table of a compare_peers.sh run
    groups.py floor-scripts STRACE DIR N ROOT    N scripts that read what a traced run read

FORMAT is one of: trevalo (trevalo-scan --json), fdupes (groups of lines
separated by a blank line: fdupes, jdupes without options), jdupes0 (jdupes -0),
jdupes (jdupes -j), rmlint (rmlint -o json), rdfind (its results file),
manifest (make_corpus.py).

Normalising makes the tools comparable whatever each does with the cases the
duplicate finders disagree on:
  * every reported path is identified by its device and inode (lstat), so a
    file reached through two hard links, or through a symlinked folder, is one
    member however many of its paths a tool lists or which one it picks;
  * zero-length files are dropped (ours are a list of their own, not groups);
  * a path that is itself a symbolic link is dropped (links are not files);
  * a path whose folder resolves outside the searched tree (it was reached
    through a symlinked folder pointing out of it: trevalo-scan walks those,
    the peers as run here do not) is set aside, and counted;
  * what is left of a group with fewer than two members is no group.
Two tools agree when they give the same set of groups, each group a set of files.
"""

import json
import os
import re
import stat
import statistics
import sys
from collections import Counter, defaultdict

FORMATS = ("trevalo", "fdupes", "jdupes0", "jdupes", "rmlint", "rdfind", "manifest")


# --------------------------------------------------------------------------
# readers: each returns a list of groups, each a list of paths (str, with
# undecodable bytes as surrogate escapes, so os functions get the bytes back)

def read_trevalo(path):
    with open(path, "rb") as fh:
        doc = json.loads(fh.read().decode("utf-8", "surrogateescape"))
    by_group = defaultdict(list)
    order = []
    for row in doc["lists"]["duplicates"]:
        g = row["group"]
        if g not in by_group:
            order.append(g)
        by_group[g].append(row["path"])
    info = {"files_searched": doc.get("files_searched"), "seconds": doc.get("seconds"),
            "read_errors": len(doc["lists"].get("read_errors", [])),
            "rows": doc["lists"]["duplicates"]}
    return [by_group[g] for g in order], info


def read_separated(path, path_end, group_end):
    """Groups of paths, each path ending in path_end and each group in a second one."""
    with open(path, "rb") as fh:
        data = fh.read()
    groups = []
    for block in data.split(group_end):
        paths = [os.fsdecode(p) for p in block.split(path_end) if p]
        if paths:
            groups.append(paths)
    return groups, {}


def read_blank_separated(path):
    return read_separated(path, b"\n", b"\n\n")


def read_nul_separated(path):
    """jdupes -0: each path ends in a NUL, each group in a second NUL."""
    return read_separated(path, b"\0", b"\0\0")


def read_jdupes(path):
    with open(path, "rb") as fh:
        doc = json.loads(fh.read().decode("utf-8", "surrogateescape"))
    return [[f["filePath"] for f in s["fileList"]] for s in doc.get("matchSets", [])], {}


def read_rmlint(path):
    with open(path, "rb") as fh:
        doc = json.loads(fh.read().decode("utf-8", "surrogateescape"))
    by_sum = defaultdict(list)
    order = []
    footer = {}
    for item in doc:
        if item.get("type") == "duplicate_file":
            k = (item["size"], item["checksum"])
            if k not in by_sum:
                order.append(k)
            by_sum[k].append(item["path"])
        elif "total_files" in item:
            footer = item
    return [by_sum[k] for k in order], {"total_files": footer.get("total_files")}


def read_rdfind(path):
    by_id = defaultdict(list)
    order = []
    with open(path, "rb") as fh:
        for line in fh:
            line = line.rstrip(b"\n")
            if not line or line.startswith(b"#"):
                continue
            # duptype id depth size device inode priority name (the name may hold spaces)
            parts = line.split(b" ", 7)
            if len(parts) < 8:
                continue
            gid = abs(int(parts[1]))
            if gid not in by_id:
                order.append(gid)
            by_id[gid].append(os.fsdecode(parts[7]))
    return [by_id[g] for g in order], {}


def read_manifest(path):
    with open(path) as fh:
        m = json.load(fh)
    root = m["root"]
    groups = [[os.path.join(root, p) for p in g] for g in (m.get("groups") or [])]
    info = {k: m.get(k) for k in ("files", "folders", "bytes", "zero_size_files",
                                  "group_count", "params")}
    info["root"] = root
    return groups, info


READERS = {"trevalo": read_trevalo, "fdupes": read_blank_separated, "jdupes0": read_nul_separated,
           "jdupes": read_jdupes,
           "rmlint": read_rmlint, "rdfind": read_rdfind, "manifest": read_manifest}


def read(fmt, path):
    return READERS[fmt](path)


# --------------------------------------------------------------------------
# normalising

class Tree:
    """lstat and folder resolution, cached, for one searched tree."""

    def __init__(self, root):
        self.root = os.path.realpath(root) if root else None
        self._stat = {}
        self._dir = {}
        self.path_of = {}       # (dev, ino) -> a path, for printing examples

    def lstat(self, p):
        st = self._stat.get(p)
        if st is None:
            try:
                st = os.lstat(p)
            except OSError:
                st = False
            self._stat[p] = st
        return st

    def outside(self, p):
        if not self.root:
            return False
        d = os.path.dirname(p)
        r = self._dir.get(d)
        if r is None:
            real = os.path.realpath(d)
            r = not (real == self.root or real.startswith(self.root.rstrip("/") + "/"))
            self._dir[d] = r
        return r


def normalise(groups, tree):
    """The set of groups as frozensets of (dev, ino), and what was set aside."""
    out = set()
    notes = Counter()
    seen_in = {}
    for g in groups:
        keys = set()
        for p in g:
            st = tree.lstat(p)
            if st is False:
                notes["paths that do not exist"] += 1
                keys.add(("missing", p))
                continue
            if stat.S_ISLNK(st.st_mode):
                notes["symbolic links"] += 1
                continue
            if not stat.S_ISREG(st.st_mode):
                notes["not regular files"] += 1
                continue
            if st.st_size == 0:
                notes["zero-length files"] += 1
                continue
            if tree.outside(p):
                notes["files outside the tree"] += 1
                continue
            k = (st.st_dev, st.st_ino)
            if k in keys:
                notes["second paths of one file"] += 1
                continue
            keys.add(k)
            tree.path_of.setdefault(k, p)
        if len(keys) >= 2:
            fk = frozenset(keys)
            for k in fk:
                if k in seen_in and seen_in[k] != fk:
                    notes["files in two groups"] += 1
                seen_in[k] = fk
            out.add(fk)
        elif g:
            notes["groups left with one file"] += 1
    return out, notes


def check_trevalo_rows(rows, tree):
    """Faults in trevalo-scan's own duplicate rows, whatever the peers say."""
    faults = []
    inode_rows = defaultdict(list)
    group_sizes = defaultdict(set)
    group_count = Counter()
    for r in rows:
        p = r["path"]
        group_sizes[r["group"]].add(r["size"])
        group_count[r["group"]] += 1
        if os.path.join(r["folder"], r["name"]) != p and r["folder"].rstrip("/") + "/" + r["name"] != p:
            faults.append("row path is not folder + name: %r" % p)
        st = tree.lstat(p)
        if st is False:
            faults.append("listed file does not exist: %r" % p)
            continue
        if stat.S_ISLNK(st.st_mode):
            faults.append("a symbolic link is listed as a file: %r" % p)
            continue
        if r["size"] == 0:
            faults.append("zero-length file in a duplicate group: %r" % p)
        if st.st_size != r["size"]:
            faults.append("size %d listed, %d on disk: %r" % (r["size"], st.st_size, p))
        inode_rows[(st.st_dev, st.st_ino)].append(p)
    for k, ps in inode_rows.items():
        if len(ps) > 1:
            faults.append("one file listed %d times (hard links or a second path): %r"
                          % (len(ps), ps))
    for g, sizes in group_sizes.items():
        if len(sizes) > 1:
            faults.append("group %r mixes sizes %s" % (g, sorted(sizes)))
        if group_count[g] < 2:
            faults.append("group %r has a single row" % g)
    return faults


def describe(fk, tree, limit=4):
    ps = sorted(tree.path_of.get(k, str(k)) if k[0] != "missing" else k[1] + " (missing)"
                for k in fk)
    size = None
    st = tree.lstat(ps[0]) if ps else False
    if st:
        size = st.st_size
    shown = ", ".join(repr(p) for p in ps[:limit])
    more = " and %d more" % (len(ps) - limit) if len(ps) > limit else ""
    return "%d files of %s bytes: %s%s" % (len(ps), size, shown, more)


def difference(ref, other):
    return ref - other, other - ref


# --------------------------------------------------------------------------
# the table

def fmt_mib(kb):
    return "%.1f" % (kb / 1024.0) if kb is not None else "-"


def load_runs(path):
    """The lines of a TOOL.runs file: phase wall rss_kb user sys rc [minflt]
    (the minor faults came later; older results lack them)."""
    runs = []
    try:
        with open(path) as fh:
            for line in fh:
                f = line.split()
                if len(f) >= 6:
                    runs.append({"phase": f[0], "wall": float(f[1]), "rss": int(f[2]),
                                 "user": float(f[3]), "sys": float(f[4]),
                                 "cpu": float(f[3]) + float(f[4]), "rc": int(f[5]),
                                 "minflt": int(f[6]) if len(f) >= 7 else None})
    except OSError:
        pass
    return runs


def load_baselines(results):
    """RSS (KiB) and minor faults of each tool's search of an empty folder:
    baseline.tsv ("tool rss_kb minflt"), else trevalo-scan's alone in baseline.txt."""
    base = {}
    try:
        with open(os.path.join(results, "baseline.tsv")) as fh:
            for line in fh:
                f = line.split()
                if len(f) == 3:
                    base[f[0]] = {"rss": int(f[1]), "minflt": int(f[2])}
        return base
    except (OSError, ValueError):
        pass
    try:
        with open(os.path.join(results, "baseline.txt")) as fh:
            base["trevalo-scan"] = {"rss": int(fh.read().split()[-1]), "minflt": None}
    except (OSError, ValueError, IndexError):
        pass
    return base


def files_catalogued(parsed, expected):
    """The number of files a search of the tree catalogues: trevalo-scan's own
    count, else the generator's (regular files, a hard-linked file once)."""
    if "trevalo-scan" in parsed and parsed["trevalo-scan"][2].get("files_searched"):
        return parsed["trevalo-scan"][2]["files_searched"], "as trevalo-scan counted them"
    if expected is not None and expected[2].get("files"):
        return expected[2]["files"], "as the generator wrote them"
    return None, None


def cpu_busy(path):
    """CPU seconds the machine spent busy, and stolen by the host, between the
    two /proc/stat lines."""
    try:
        with open(path) as fh:
            lines = [l.split() for l in fh if l.startswith("cpu ")]
        hz = os.sysconf("SC_CLK_TCK")
        a, b = ([int(x) for x in l[1:9]] + [0] * 8 for l in lines[:2])
        # user nice system idle iowait irq softirq steal (guest time is inside user)
        busy = lambda v: v[0] + v[1] + v[2] + v[5] + v[6]
        return (busy(b) - busy(a)) / hz, (b[7] - a[7]) / hz
    except (OSError, ValueError, IndexError):
        return None


def read_kv(path):
    d = {}
    try:
        with open(path) as fh:
            for line in fh:
                k, _, v = line.rstrip("\n").partition("=")
                d[k] = v
    except OSError:
        pass
    return d


def report_tree(tdir, out):
    meta = read_kv(os.path.join(tdir, "tree.txt"))
    root = meta.get("tree", "?")
    tools = []
    with open(os.path.join(tdir, "tools.tsv")) as fh:
        for line in fh:
            name, fmt, flags = line.rstrip("\n").split("\t", 2)
            tools.append((name, fmt, flags))
    tree = Tree(root)
    rows = []
    parsed = {}
    for name, fmt, flags in tools:
        runs = load_runs(os.path.join(tdir, name + ".runs"))
        timed = [r for r in runs if r["phase"] == "run"]
        row = {"name": name, "flags": flags, "runs": len(timed)}
        if timed:
            row["median"] = statistics.median(r["wall"] for r in timed)
            row["min"] = min(r["wall"] for r in timed)
            row["user"] = statistics.median(r["user"] for r in timed)
            row["sys"] = statistics.median(r["sys"] for r in timed)
            row["cpu"] = statistics.median(r["cpu"] for r in timed)
            faults = [r["minflt"] for r in timed if r["minflt"] is not None]
            if faults:
                row["minflt"] = statistics.median(faults)
            row["rss"] = max(r["rss"] for r in timed)
            row["walls"] = [r["wall"] for r in timed]
        row["rc"] = sorted({r["rc"] for r in runs if r["rc"] != 0})
        report = os.path.join(tdir, name + ".out")
        if fmt not in READERS:          # a yardstick without a report
            rows.append(row)
            continue
        try:
            groups, info = read(fmt, report)
            norm, notes = normalise(groups, tree)
            parsed[name] = (norm, notes, info)
            last = os.path.join(tdir, name + ".last")
            if os.path.exists(last):
                g2, _ = read(fmt, last)
                n2, _ = normalise(g2, tree)
                row["stable"] = n2 == norm
                row["drift"] = difference(norm, n2)
        except Exception as e:            # a report that cannot be read is a result too
            row["error"] = "%s: %s" % (type(e).__name__, e)
        rows.append(row)

    manifest = meta.get("manifest")
    expected = None
    if manifest and os.path.exists(manifest):
        g, info = read("manifest", manifest)
        expected = normalise(g, tree) + (info,)

    nfiles_all, counted = files_catalogued(parsed, expected)
    ref_name = "trevalo-scan" if "trevalo-scan" in parsed else None
    if ref_name is None and expected is None and parsed:
        ref_name = next(iter(parsed))
    ref = parsed[ref_name][0] if ref_name else expected[0]
    ref_label = ref_name or "expected"
    base = next((r for r in rows if r["name"] == "trevalo-scan" and "median" in r), None)

    w = out.write
    w("\n== %s\n" % root)
    if expected is not None:
        info = expected[2]
        p = info.get("params") or {}
        w("   generated (%s, seed %s): %s files, %s folders, %.2f GB, %s zero-length files, "
          "%s expected groups\n" % (p.get("profile"), p.get("seed"), info.get("files"),
                                    info.get("folders"), (info.get("bytes") or 0) / 1e9,
                                    info.get("zero_size_files"), info.get("group_count")))
    hdr = ("tool", "median s", "min s", "user s", "sys s", "cpu s", "minor faults",
           "peak RSS MiB", "B/file", "time x", "RSS x", "groups", "files",
           "agrees with " + ref_label)
    table = [hdr]
    for r in rows:
        name = r["name"]
        agree = "-"
        ngroups = nfiles = "-"
        if "error" in r:
            agree = "report unreadable"
        elif name in parsed:
            norm = parsed[name][0]
            ngroups, nfiles = str(len(norm)), str(sum(map(len, norm)))
            if name == ref_label:
                agree = "(reference)"
            else:
                a, b = difference(ref, norm)
                agree = "yes" if not a and not b else "NO: %d groups differ (%d / %d)" % (
                    len(a) + len(b), len(a), len(b))
            if r.get("stable") is False:
                agree += ", runs differ!"
        if r["rc"]:
            agree += " [exit %s]" % ",".join(map(str, r["rc"]))
        ratio = rss_ratio = "-"
        if base and "median" in r:
            ratio = "%.2f" % (r["median"] / base["median"]) if base["median"] > 0 else "-"
            rss_ratio = "%.2f" % (r["rss"] / base["rss"]) if base["rss"] > 0 else "-"
        per_file = "-"
        if nfiles_all and "rss" in r:
            per_file = "%.0f" % (r["rss"] * 1024.0 / nfiles_all)
        table.append((name,
                      "%.3f" % r["median"] if "median" in r else "-",
                      "%.3f" % r["min"] if "min" in r else "-",
                      "%.2f" % r["user"] if "user" in r else "-",
                      "%.2f" % r["sys"] if "sys" in r else "-",
                      "%.2f" % r["cpu"] if "cpu" in r else "-",
                      "%.0f" % r["minflt"] if "minflt" in r else "-",
                      fmt_mib(r.get("rss")), per_file, ratio, rss_ratio, ngroups, nfiles, agree))
    if expected is not None:
        norm = expected[0]
        a, b = difference(ref, norm)
        table.append(("expected",) + ("-",) * 10 + (str(len(norm)),
                      str(sum(map(len, norm))),
                      "(reference)" if ref_label == "expected" else
                      "yes" if not a and not b else
                      "NO: %d groups differ (%d / %d)" % (len(a) + len(b), len(a), len(b))))
    widths = [max(len(row[i]) for row in table) for i in range(len(hdr))]
    right = set(range(1, len(hdr) - 1))
    for k, row in enumerate(table):
        cells = [c.rjust(widths[i]) if i in right else c.ljust(widths[i])
                 for i, c in enumerate(row)]
        w("  " + "  ".join(cells).rstrip() + "\n")
        if k == 0:
            w("  " + "  ".join("-" * x for x in widths) + "\n")

    # what the figures mean for the targets
    if nfiles_all:
        empties = load_baselines(os.path.dirname(tdir))
        for r in rows:
            if r["name"] not in ("trevalo-scan", "jdupes") or "rss" not in r:
                continue
            empty = empties.get(r["name"], {}).get("rss")
            extra = ""
            if empty:
                extra = " (%.0f above the %.1f MiB of its search of an empty folder)" % (
                    (r["rss"] - empty) * 1024.0 / nfiles_all, empty / 1024.0)
            w("  %s: %d files catalogued (%s), peak RSS %.0f bytes per file%s\n"
              % (r["name"], nfiles_all, counted, r["rss"] * 1024.0 / nfiles_all, extra))
    def ratio_lines(label, ours, peers):
        for peer in peers:
            p = next((r for r in rows if r["name"] == peer and "median" in r), None)
            if not (ours and p and p["median"] > 0):
                continue
            # the runs of one round were taken side by side: their ratios cancel
            # most of the drift in the machine's load
            pair = ""
            if meta.get("engine", "rounds") == "rounds" and len(ours["walls"]) == len(p["walls"]):
                ratios = [a / b for a, b in zip(ours["walls"], p["walls"]) if b > 0]
                if ratios:
                    pair = ", median of the per-round ratios %.2f (%.2f .. %.2f)" % (
                        statistics.median(ratios), min(ratios), max(ratios))
            w("  %s / %s wall time: %.2f (medians)%s\n"
              % (label, peer, ours["median"] / p["median"], pair))

    ratio_lines("trevalo-scan", base, ("jdupes", "floor"))
    # a second search with the proof cache against the walk alone and against jdupes
    proven = next((r for r in rows if r["name"] == "trevalo-proven" and "median" in r), None)
    ratio_lines("trevalo-proven", proven, ("trevalo-walk", "jdupes"))
    cpu = cpu_busy(os.path.join(tdir, "cpu.txt"))
    span = float(meta.get("timed_wall", "0") or 0)
    if cpu is not None and span > 0:
        busy, steal = cpu
        ours = sum(r["cpu"] for name, _, _ in tools
                   for r in load_runs(os.path.join(tdir, name + ".runs")) if r["phase"] == "run")
        w("  other load while timing: %.2f of %d cores busy with other processes, %.2f stolen "
          "by the host (load average %s -> %s)\n"
          % (max(0.0, busy - ours) / span, os.cpu_count(), steal / span,
             meta.get("load_before", "?"), meta.get("load_after", "?")))

    # details: flags, what was set aside, disagreements, trevalo's own faults
    w("  runs: %s timed per tool after one warm-up run, %s, %s, %s\n"
      % (rows[0]["runs"] if rows else "?",
         "with hyperfine, each tool's runs back to back" if meta.get("engine") == "hyperfine"
         else "in interleaved rounds",
         "every tool pinned to CPU 0 (taskset -c 0)" if meta.get("one_core") == "1"
         else "all %d cores free to use" % os.cpu_count(),
         "the page cache emptied before every run (cold)" if meta.get("cold") == "1"
         else "warm page cache"))
    for r in rows:
        w("  %-13s %s\n" % (r["name"] + ":", r["flags"]))
    for r in rows:
        if "error" in r:
            w("  ! %s: %s\n" % (r["name"], r["error"]))
    for name, (norm, notes, info) in parsed.items():
        if notes:
            w("  %s set aside: %s\n" % (name, ", ".join("%d %s" % (v, k)
                                                          for k, v in sorted(notes.items()))))
    if "trevalo-scan" in parsed:
        rows_t = parsed["trevalo-scan"][2].get("rows", [])
        faults = check_trevalo_rows(rows_t, tree)
        info = parsed["trevalo-scan"][2]
        if info.get("read_errors"):
            w("  trevalo-scan listed %d read errors\n" % info["read_errors"])
        if faults:
            w("  trevalo-scan FAULTS in its own rows (%d):\n" % len(faults))
            for f in faults[:10]:
                w("    %s\n" % f)
    comparisons = [(n, parsed[n][0]) for n in parsed if n != ref_label]
    if expected is not None and ref_label != "expected":
        comparisons.append(("expected", expected[0]))
    drifted = [r for r in rows if r.get("stable") is False]
    everyone = len(drifted) > 1 and len(drifted) == sum(1 for r in rows if "stable" in r)
    for r in drifted[:1] if everyone else drifted:
        a, b = r["drift"]
        w("  %s: the last timed run found other groups than the warm-up (%d / %d)%s\n"
          % ("every tool" if everyone else r["name"], len(a), len(b),
             ": the tree changed while it was searched" if everyone else ""))
        for label, s in (("warm-up", a), ("last run", b)):
            for fk in sorted(s, key=lambda fk: sorted(map(str, fk)))[:2]:
                w("    only %s: %s\n" % (label, describe(fk, tree)))
    for name, norm in comparisons:
        a, b = difference(ref, norm)
        if not a and not b:
            continue
        w("  %s vs %s: %d groups only in %s, %d only in %s; examples:\n"
          % (ref_label, name, len(a), ref_label, len(b), name))
        for label, s in ((ref_label, a), (name, b)):
            for fk in sorted(s, key=lambda fk: sorted(map(str, fk)))[:3]:
                w("    only %s: %s\n" % (label, describe(fk, tree)))


def cmd_report(results):
    trees = sorted(d for d in os.listdir(results)
                   if os.path.isdir(os.path.join(results, d)) and
                   os.path.exists(os.path.join(results, d, "tools.tsv")))
    out = sys.stdout
    for t in trees:
        report_tree(os.path.join(results, t), out)
    return 0


def cmd_hyperfine_runs(export, timefile):
    """hyperfine's times and exit codes with GNU time's lines, as .runs lines."""
    with open(export) as fh:
        res = json.load(fh)["results"][0]
    with open(timefile) as fh:
        # "rss user sys minflt" (older: without minflt); GNU time puts a
        # "Command exited with non-zero status" line before a failed run's
        mem = [l.split() for l in fh if len(l.split()) in (3, 4) and l.split()[0].isdigit()]
    codes = res.get("exit_codes") or [0] * len(res["times"])
    for k, wall in enumerate(res["times"]):
        m, u, s, f = (mem[k] + ["0"])[:4] if k < len(mem) else ("0", "0", "0", "0")
        print("run %.6f %s %s %s %d %s" % (wall, m, u, s, codes[k] or 0, f))
    return 0


STRACE_CALL = re.compile(r"^(\d+) +(openat2?|pread64|close)\((.*)\) += (-?\d+)")
PROC_FD = re.compile(rb"^/proc/self/fd/(\d+)$")
STRACE_STRING = re.compile(r'"((?:\\x[0-9a-f]{2})*)"')


def bytes_read(trace, root):
    """What each file under root was read of in a run traced with strace -f -xx
    -e trace=openat,openat2,pread64,close: {path: bytes from its start}, in the
    order the files were first read. The comparison reads each file from its
    start, as far as it needs. A file reopened through /proc/self/fd/N (after
    a look at it through an O_PATH descriptor) is the file of descriptor N."""
    pending, open_fds, read = {}, {}, {}
    prefix = os.fsencode(root.rstrip("/")) + b"/"
    with open(trace, "rb") as fh:
        for raw in fh:
            line = raw.decode("latin-1").rstrip("\n")
            pid, _, rest = line.partition(" ")
            rest = rest.lstrip()  # strace pads the pid column
            if rest.endswith(" <unfinished ...>"):
                pending[pid] = rest[:-len(" <unfinished ...>")]
                continue
            if rest.startswith("<... "):
                rest = pending.pop(pid, "") + rest[rest.index(">") + 1:]
            m = STRACE_CALL.match(pid + " " + rest.strip())
            if not m:
                continue
            call, args, result = m.group(2), m.group(3), int(m.group(4))
            if call in ("openat", "openat2"):
                s = STRACE_STRING.search(args)
                if result >= 0 and s:
                    path = bytes.fromhex(s.group(1).replace("\\x", ""))
                    via = PROC_FD.match(path)
                    if via:
                        path = open_fds.get(int(via.group(1)), path)
                    open_fds[result] = path
            elif call == "close":
                open_fds.pop(int(args.split(",")[0]), None)
            elif result > 0:
                fields = args.rsplit(",", 2)
                path = open_fds.get(int(args.split(",")[0]))
                if path is not None and path.startswith(prefix):
                    end = int(fields[2]) + result
                    read[path] = max(read.get(path, 0), end)
    return read


SHELL_PLAIN = re.compile(rb"^[A-Za-z0-9/._+,:@%=-]+$")
SHELL_QUOTABLE = re.compile(rb"^[ -&(-~]+$")  # printable ASCII but the single quote


def shell_word(path):
    """A path as one word of bash: as it is, in single quotes, or byte by byte."""
    if SHELL_PLAIN.match(path):
        return path.decode()
    if SHELL_QUOTABLE.match(path):
        return "'" + path.decode() + "'"
    return "$'" + "".join("\\x%02x" % b for b in path) + "'"


def cmd_floor_scripts(trace, out_dir, count, root):
    """Shares the reads of a traced run out to `count` scripts, round robin in
    the order the run first read each file: cat for a file read to its end,
    head -c for one read part of the way."""
    read = bytes_read(trace, root)
    shares = [defaultdict(list) for _ in range(count)]
    for k, (path, length) in enumerate(read.items()):
        try:
            whole = length >= os.lstat(path).st_size
        except OSError:
            continue
        shares[k % count][None if whole else length].append(path)
    for k, share in enumerate(shares):
        with open(os.path.join(out_dir, "floor.%02d.sh" % k), "w") as fh:
            for length, paths in share.items():
                command = "cat --" if length is None else "head -q -c %d --" % length
                for at in range(0, len(paths), 200):
                    fh.write("%s %s >/dev/null\n" % (
                        command, " ".join(shell_word(p) for p in paths[at:at + 200])))
    print("floor: %d files, %.1f MB read by the traced run, in %d scripts"
          % (len(read), sum(read.values()) / 1e6, count))
    return 0


def main(argv):
    if len(argv) >= 2 and argv[1] == "report" and len(argv) == 3:
        return cmd_report(argv[2])
    if len(argv) == 6 and argv[1] == "floor-scripts":
        return cmd_floor_scripts(argv[2], argv[3], int(argv[4]), argv[5])
    if len(argv) == 4 and argv[1] == "hyperfine-runs":
        return cmd_hyperfine_runs(argv[2], argv[3])
    root = None
    if "--root" in argv:
        i = argv.index("--root")
        root = argv[i + 1]
        del argv[i:i + 2]
    if len(argv) == 4 and argv[1] == "show" and argv[2] in FORMATS:
        tree = Tree(root)
        groups, _ = read(argv[2], argv[3])
        norm, notes = normalise(groups, tree)
        for fk in sorted(norm, key=lambda fk: sorted(map(str, fk))):
            print(describe(fk, tree, limit=100))
        print("%d groups, %d files; set aside: %s" % (len(norm), sum(map(len, norm)), dict(notes)),
              file=sys.stderr)
        return 0
    if len(argv) == 6 and argv[1] == "compare" and argv[2] in FORMATS and argv[4] in FORMATS:
        tree = Tree(root)
        a, na = normalise(read(argv[2], argv[3])[0], tree)
        b, nb = normalise(read(argv[4], argv[5])[0], tree)
        x, y = difference(a, b)
        print("A: %d groups (set aside %s); B: %d groups (set aside %s)"
              % (len(a), dict(na), len(b), dict(nb)))
        for fk in x:
            print("only A: " + describe(fk, tree))
        for fk in y:
            print("only B: " + describe(fk, tree))
        return 0 if not x and not y else 1
    sys.stderr.write(__doc__.split("\n\n")[1] + "\n")
    return 2


if __name__ == "__main__":
    sys.exit(main(sys.argv))
