#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-2.0-or-later
"""Checks of the benchmark's own tooling (not of trevalo-scan's speed):

    python3 -m unittest discover -s bench -p 'test_*.py'

The last class runs compare_peers.sh end to end against a stand-in for
trevalo-scan and jdupes on a three-file tree (a few seconds, needs GNU time,
taskset and jdupes, which the script installs anyway).
"""

import argparse
import contextlib
import io
import json
import os
import re
import subprocess
import sys
import tempfile
import textwrap
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)

import groups        # noqa: E402
import make_corpus   # noqa: E402


def longpaths_args(**kw):
    a = dict(files=2_000, folders=40, projects=4, groups=None, seed=7)
    a.update(kw)
    return argparse.Namespace(**a)


class LongPathsProfile(unittest.TestCase):
    def test_layout_names_and_lengths(self):
        plan = make_corpus.plan_longpaths(longpaths_args())
        self.assertEqual(len(plan.files), 2_000)
        pattern = re.compile(rb"project_\d\d_workspace/src/components/module_\d{4}_implementation/"
                             rb"generated_source_file_\d{3}_\d_\d{3}\.txt")
        paths = [plan.path(f, name) for f, name, _, _ in plan.files]
        for p in paths:
            self.assertRegex(p, pattern)
        self.assertEqual(len(set(paths)), len(paths), "a path was planned twice")
        # 4 projects of 10 module folders, each holding 50 files
        per_folder = {}
        for f, _, _, _ in plan.files:
            per_folder[f] = per_folder.get(f, 0) + 1
        self.assertEqual(sorted(set(per_folder.values())), [50])
        self.assertEqual(len(per_folder), 40)
        self.assertEqual(len({p.split(b"/")[0] for p in paths}), 4)
        self.assertAlmostEqual(make_corpus.mean_path_bytes(plan), 98, delta=1)
        self.assertTrue(all(24 <= c.size <= 120 for _, _, c, _ in plan.files))

    def test_files_spread_unevenly_still_all_placed(self):
        plan = make_corpus.plan_longpaths(longpaths_args(files=1_001, folders=7, projects=3))
        self.assertEqual(len(plan.files), 1_001)
        counts = {}
        for f, _, _, _ in plan.files:
            counts[f] = counts.get(f, 0) + 1
        self.assertEqual(sorted(set(counts.values())), [143])

    def test_only_the_planned_groups_are_duplicates(self):
        plan = make_corpus.plan_longpaths(longpaths_args(groups=30))
        found, zero, _ = make_corpus.expected(plan, None)
        self.assertEqual(zero, 0)
        self.assertEqual(len(found), 30)
        self.assertTrue(all(2 <= len(g) <= 4 for g in found))
        # the groups lie apart: no file belongs to two
        members = [k for g in found for k in g]
        self.assertEqual(len(members), len(set(members)))

    def test_same_seed_same_tree_other_seed_other_tree(self):
        def fingerprint(seed):
            plan = make_corpus.plan_longpaths(longpaths_args(seed=seed))
            return [(plan.path(f, n), c.key) for f, n, c, _ in plan.files]
        self.assertEqual(fingerprint(3), fingerprint(3))
        self.assertNotEqual(fingerprint(3), fingerprint(4))

    def test_too_many_groups_for_the_files_is_refused(self):
        with self.assertRaises(SystemExit):
            make_corpus.plan_longpaths(longpaths_args(files=10, folders=2, groups=8))

    def test_written_tree_matches_its_manifest(self):
        with tempfile.TemporaryDirectory() as tmp:
            out = os.path.join(tmp, "lp")
            r = subprocess.run([sys.executable, os.path.join(HERE, "make_corpus.py"), "longpaths",
                                "--out", out, "--files", "300", "--folders", "6",
                                "--projects", "2", "--groups", "5"],
                               capture_output=True, text=True)
            self.assertEqual(r.returncode, 0, r.stderr)
            with open(out + ".manifest.json") as fh:
                m = json.load(fh)
            self.assertEqual((m["files"], m["group_count"]), (300, 5))
            self.assertGreater(m["mean_path_bytes"], 90)
            for g in m["groups"]:
                contents = set()
                for p in g:
                    with open(os.path.join(out, p), "rb") as fh:
                        contents.add(fh.read())
                self.assertEqual(len(contents), 1, g)


class RunFiles(unittest.TestCase):
    def write(self, text):
        fd, path = tempfile.mkstemp()
        with os.fdopen(fd, "w") as fh:
            fh.write(text)
        self.addCleanup(os.unlink, path)
        return path

    def test_runs_lines_old_and_new(self):
        runs = groups.load_runs(self.write("warmup 0.5 2048 0.30 0.10 0\n"
                                           "run 0.4 4096 0.25 0.05 1 1234\n"
                                           "garbage\n"))
        self.assertEqual(len(runs), 2)
        self.assertIsNone(runs[0]["minflt"])
        self.assertEqual((runs[1]["rss"], runs[1]["user"], runs[1]["sys"], runs[1]["rc"],
                          runs[1]["minflt"]), (4096, 0.25, 0.05, 1, 1234))
        self.assertAlmostEqual(runs[1]["cpu"], 0.30)

    def test_hyperfine_runs_keep_faults_and_skip_exit_lines(self):
        export = self.write(json.dumps({"results": [{"times": [0.5, 0.6, 0.7],
                                                     "exit_codes": [0, 2, 0]}]}))
        times = self.write("100 0.10 0.01 900\n"
                           "Command exited with non-zero status 2\n"
                           "200 0.20 0.02 950\n"
                           "300 0.30 0.03\n")
        buf = io.StringIO()
        old, sys.stdout = sys.stdout, buf
        try:
            groups.cmd_hyperfine_runs(export, times)
        finally:
            sys.stdout = old
        self.assertEqual(buf.getvalue().splitlines(),
                         ["run 0.500000 100 0.10 0.01 0 900",
                          "run 0.600000 200 0.20 0.02 2 950",
                          "run 0.700000 300 0.30 0.03 0 0"])


class ReportTable(unittest.TestCase):
    """report_tree's columns from a hand-made results folder."""

    def setUp(self):
        self.tmp = tempfile.mkdtemp()
        self.addCleanup(subprocess.run, ["rm", "-rf", self.tmp])
        tree = os.path.join(self.tmp, "tree")
        os.mkdir(tree)
        for name, data in (("a", b"same"), ("b", b"same"), ("c", b"other")):
            with open(os.path.join(tree, name), "wb") as fh:
                fh.write(data)
        self.tdir = os.path.join(self.tmp, "results", "01-tree")
        os.makedirs(self.tdir)
        self.put("tree.txt", "tree=%s\nmanifest=\none_core=1\nengine=rounds\n" % tree)
        self.put("tools.tsv", "trevalo-scan\ttrevalo\tts\njdupes\tjdupes0\tjd\n")
        rows = [{"path": os.path.join(tree, n), "name": n, "folder": tree + "/",
                 "group": 1, "size": 4} for n in ("a", "b")]
        self.put("trevalo-scan.out", json.dumps({"files_searched": 4,
                                                 "lists": {"duplicates": rows}}))
        self.put("jdupes.out", "%s/a\0%s/b\0\0" % (tree, tree))
        # 4 files: 1 MiB of peak RSS is 262,144 bytes per file
        self.put("trevalo-scan.runs", "warmup 1 9999 9 9 0 9\n"
                                      "run 0.2 1024 0.10 0.05 0 300\n"
                                      "run 0.4 512 0.30 0.07 0 100\n"
                                      "run 0.3 768 0.20 0.06 0 200\n")
        self.put("jdupes.runs", "run 0.4 2048 0.20 0.01 0 50\n"
                                "run 0.6 2048 0.20 0.03 0 70\n"
                                "run 0.5 2048 0.20 0.02 0 60\n")

    def put(self, name, text, where=None):
        with open(os.path.join(where or self.tdir, name), "w") as fh:
            fh.write(text)

    def table(self):
        out = io.StringIO()
        groups.report_tree(self.tdir, out)
        return out.getvalue()

    def row(self, text, tool):
        line = next(l for l in text.splitlines() if l.strip().startswith(tool + " "))
        return line.split()

    def test_columns(self):
        self.put("baseline.tsv", "trevalo-scan 512 40\njdupes 1024 30\n",
                 os.path.dirname(self.tdir))
        text = self.table()
        hdr = next(l for l in text.splitlines() if "median s" in l)
        for col in ("user s", "sys s", "cpu s", "minor faults", "B/file"):
            self.assertIn(col, hdr)
        # medians of the timed runs, the warm-up left out; RSS is the largest
        self.assertEqual(self.row(text, "trevalo-scan")[1:9],
                         ["0.300", "0.200", "0.20", "0.06", "0.26", "200", "1.0", "262144"])
        self.assertEqual(self.row(text, "jdupes")[3:9],
                         ["0.20", "0.02", "0.22", "60", "2.0", "524288"])
        self.assertIn("trevalo-scan: 4 files catalogued (as trevalo-scan counted them), "
                      "peak RSS 262144 bytes per file (131072 above the 0.5 MiB", text)
        self.assertIn("jdupes: 4 files catalogued (as trevalo-scan counted them), "
                      "peak RSS 524288 bytes per file (262144 above the 1.0 MiB", text)
        self.assertIn("pinned to CPU 0", text)

    def test_results_of_the_older_format(self):
        # no minor faults in the runs, trevalo-scan's baseline alone
        self.put("trevalo-scan.runs", "run 0.2 1024 0.10 0.05 0\n")
        with open(os.path.join(self.tdir, "tree.txt")) as fh:
            self.put("tree.txt", fh.read().replace("one_core=1\n", ""))
        self.put("baseline.txt", "512\n", os.path.dirname(self.tdir))
        text = self.table()
        self.assertEqual(self.row(text, "trevalo-scan")[6], "-")
        self.assertIn("(131072 above the 0.5 MiB", text)
        # without a baseline of its own, jdupes's figure is the gross one alone
        self.assertRegex(text, r"jdupes: 4 files catalogued .*, peak RSS 524288 bytes per file\n")
        self.assertIn("cores free to use", text)


FAKE = textwrap.dedent("""\
    #!/bin/sh
    # stands in for a duplicate finder: notes the CPUs it may use, reports nothing
    case $1 in -v|--version) echo "stand-in"; exit 0 ;; esac
    grep Cpus_allowed_list /proc/self/status | sed "s/^/$FAKE_NAME /" >>"$AFFINITY_LOG"
    case $FAKE_NAME in
    scan) echo '{"files_searched": 3, "lists": {"zero_size": [], "duplicates": []}}' ;;
    esac
    """)


@unittest.skipUnless(os.path.exists("/usr/bin/time") and os.path.exists("/usr/bin/taskset"),
                     "needs GNU time and taskset")
class ComparePeersScript(unittest.TestCase):
    """compare_peers.sh with stand-ins: every run and the baseline are pinned
    with --one-core and free without, and the runs carry the minor faults."""

    def run_script(self, *extra, env=None):
        tmp = tempfile.mkdtemp()
        self.addCleanup(subprocess.run, ["rm", "-rf", tmp])
        tree = os.path.join(tmp, "tree")
        os.mkdir(tree)
        for n in "abc":
            with open(os.path.join(tree, n), "w") as fh:
                fh.write(n)
        bindir = os.path.join(tmp, "bin")
        os.mkdir(bindir)
        for name, fake in (("trevalo-scan", "scan"), ("jdupes", "jdupes")):
            p = os.path.join(bindir, name)
            with open(p, "w") as fh:
                fh.write(FAKE.replace("$FAKE_NAME", fake))
            os.chmod(p, 0o755)
        log = os.path.join(tmp, "affinity")
        env = dict(os.environ, AFFINITY_LOG=log, PATH=bindir + ":" + os.environ["PATH"],
                   **(env or {}))
        results = os.path.join(tmp, "results")
        r = subprocess.run([os.path.join(HERE, "compare_peers.sh"), "--tree", tree,
                            "--tools", "trevalo-scan,jdupes", "--runs", "2",
                            "--scan", os.path.join(bindir, "trevalo-scan"),
                            "--results", results] + list(extra),
                           env=env, capture_output=True, text=True, timeout=120)
        self.assertEqual(r.returncode, 0, r.stderr)
        with open(log) as fh:
            cpus = [l.split() for l in fh]
        return r.stdout, cpus, results

    def test_one_core_pins_every_run(self):
        out, cpus, results = self.run_script("--one-core")
        # baseline, warm-up and 2 timed runs, for both tools
        self.assertEqual(sorted(c[0] for c in cpus), ["jdupes"] * 4 + ["scan"] * 4)
        self.assertEqual({c[-1] for c in cpus}, {"0"})
        self.assertIn("pinned to CPU 0", out)
        for tool in ("trevalo-scan", "jdupes"):
            with open(os.path.join(results, "01-tree", tool + ".runs")) as fh:
                lines = [l.split() for l in fh]
            self.assertEqual(len(lines), 3)
            for f in lines:
                self.assertEqual(len(f), 7, f)
                self.assertGreater(int(f[6]), 0, "no minor faults counted")
        with open(os.path.join(results, "baseline.tsv")) as fh:
            self.assertEqual([l.split()[0] for l in fh], ["trevalo-scan", "jdupes"])

    @unittest.skipIf(os.cpu_count() < 2, "one core only: nothing to tell apart")
    def test_without_the_switch_no_pin(self):
        out, cpus, _ = self.run_script()
        self.assertNotIn("0", {c[-1] for c in cpus})
        self.assertIn("B/file", out)
        self.assertIn("warm page cache", out)

    def test_cold_empties_the_cache_before_every_run(self):
        log = os.path.join(tempfile.mkdtemp(), "drops")
        self.addCleanup(subprocess.run, ["rm", "-rf", os.path.dirname(log)])
        out, cpus, _ = self.run_script(
            "--cold", env={"TREVALO_BENCH_DROP_CACHES": "echo dropped >>" + log})
        with open(log) as fh:
            drops = fh.read().split()
        # a warm-up and 2 timed runs of both tools; not the searches of an empty folder
        self.assertEqual(len(drops), 6)
        self.assertEqual(len(cpus), 8)
        self.assertIn("the page cache emptied before every run (cold)", out)


class FloorScripts(unittest.TestCase):
    """The floor reads, 32 readers at once, what a traced trevalo-scan read."""

    def test_reads_of_a_traced_run(self):
        tmp = tempfile.mkdtemp()
        self.addCleanup(subprocess.run, ["rm", "-rf", tmp])
        tree = os.path.join(tmp, "tree")
        os.mkdir(tree)
        hexed = lambda p: "".join("\\x%02x" % b for b in os.fsencode(p))
        files = {"whole": 10, "part": 100000, "it's \xe9": 5}
        for name, size in files.items():
            with open(os.path.join(os.fsencode(tree), name.encode("latin-1")), "wb") as fh:
                fh.write(b"x" * size)
        path = lambda n: os.fsdecode(os.path.join(os.fsencode(tree), n.encode("latin-1")))
        trace = os.path.join(tmp, "trace")
        with open(trace, "w") as fh:
            fh.write('7 openat(AT_FDCWD, "%s", O_RDONLY) = 3\n' % hexed("/lib/libc.so.6"))
            fh.write('7 pread64(3, ""..., 784, 64) = 784\n')
            fh.write('7 close(3) = 0\n')
            fh.write('7 openat(AT_FDCWD, "%s", O_RDONLY|O_NOFOLLOW) = 3\n' % hexed(path("whole")))
            fh.write('8 openat(AT_FDCWD, "%s", O_RDONLY <unfinished ...>\n' % hexed(path("part")))
            fh.write('7 pread64(3, "\\x78"..., 10, 0) = 10\n')
            fh.write('8 <... openat resumed>) = 4\n')
            fh.write('8 pread64(4, "\\x78"..., 65536, 0 <unfinished ...>\n')
            fh.write('7 close(3) = 0\n')
            fh.write('8 <... pread64 resumed>) = 65536\n')
            fh.write('7 openat(AT_FDCWD, "%s", O_RDONLY) = 3\n' % hexed(path("it's \xe9")))
            fh.write('7 pread64(3, "\\x78"..., 5, 0) = 5\n')
        self.assertEqual(groups.bytes_read(trace, tree),
                         {os.fsencode(path("whole")): 10, os.fsencode(path("part")): 65536,
                          os.fsencode(path("it's \xe9")): 5})
        out = os.path.join(tmp, "scripts")
        os.mkdir(out)
        with contextlib.redirect_stdout(io.StringIO()):
            groups.cmd_floor_scripts(trace, out, 2, tree)
        text = ""
        for name in sorted(os.listdir(out)):
            r = subprocess.run(["bash", "-x", os.path.join(out, name)], capture_output=True)
            self.assertEqual(r.returncode, 0, r.stderr)
            text += r.stderr.decode("latin-1")
        # the two read to their end by one cat (round robin: 1st and 3rd to the 1st script)
        self.assertIn("head -q -c 65536 -- " + path("part"), text)
        self.assertEqual(text.count("+ cat --"), 1)
        self.assertIn("+ cat -- " + path("whole") + " ", text)
        self.assertIn("s \xe9", text)


if __name__ == "__main__":
    unittest.main()
