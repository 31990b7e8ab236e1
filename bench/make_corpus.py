#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-2.0-or-later
"""Seeded generator of file trees for the duplicate-finder benchmark.

    make_corpus.py PROFILE [--quick] [--out DIR] [--seed N] [--files N]
                   [--folders N] [--projects N] [--groups N] [--unsafe-names]
                   [--force] [--dry-run]

Profiles
  mixed     a home-folder-like tree: by default 100,000 files in 2,000 folders,
            about 6 GB, with ~4,000 duplicate groups of 2-5 copies, families of
            equal-size files that differ only in the first, the middle or the
            last byte, zero-length files, names shared across folders (also
            differing only in case), awkward names, hard links and symbolic
            links (to files, to a folder inside the tree, to an ancestor, and a
            dangling one). --quick: 5,000 files in 100 folders.
  samesize  ~23,000 files of only three sizes, all sharing their beginning and
            differing only near the tail or in the middle, with ~1% exact
            copies: long runs of equal size whose members must be read almost
            to the end. --quick: ~2,300 files.
  bigdupes  4 identical files of 512 MiB of random data (written densely, so
            it also measures the disk when the cache is cold). --quick: 64 MiB.
  tiny      1,000,000 empty or tiny (1-64 byte) files in 20,000 folders: the
            cost of cataloguing. --quick: 50,000 files in 1,000 folders.
  longpaths 1,000,000 tiny files (24-120 bytes) under long paths, ~98 bytes
            below the root: 50 projects x 400 folders x 50 files, such as
            project_07_workspace/src/components/module_0123_implementation/
            generated_source_file_042_7_123.txt. Every content is unique but
            for ~10,000 duplicate groups of 2-4 copies spread over the tree:
            the memory a catalogue of many long paths takes. --quick: 50,000
            files, 10 projects x 100 folders x 50 files.

Everything is derived from the seed: the same command writes the same names,
sizes, contents and modification times (the order in which a directory lists
its entries is up to the file system). Files larger than 256 KiB are written
sparse - random data at the start, around the middle and at the end, holes in
between - so a 6 GB tree costs well under 2 GB of disk and a minute or two;
readers see the holes as zero bytes, which costs the same as data once cached.

Next to the tree (DIR.manifest.json) goes a manifest with the parameters and
the expected answer: every group of byte-identical regular files of size > 0
(paths relative to DIR; hard-linked paths count as one file), and the number
of zero-length files. bench/groups.py compares every tool's groups with it.
The default DIR is bench/corpus/PROFILE (bench/corpus/PROFILE-quick).
An existing tree with the same parameters is kept; --force rebuilds it.
"""

import argparse
import hashlib
import json
import os
import random
import shutil
import sys
import time

FORMAT = 1                      # bump when the output for a given seed changes
DENSE_MAX = 256 * 1024          # larger files are written sparse
HEAD, MID, TAIL = 64 * 1024, 8 * 1024, 8 * 1024
POOL_SIZE = 64 * 1024 * 1024    # random bytes that dense contents are cut from
KIB, MIB = 1024, 1024 * 1024

# --------------------------------------------------------------------------
# names

WORDS = ("report notes invoice photo scan draft final backup summary budget "
         "letter thesis slides chart index main utils config data test sample "
         "track mix song clip video frame image icon logo readme changelog "
         "setup module helper parser model view style script page list table "
         "export import archive log dump cache session profile user settings").split()

EXTS = ((".txt", 8), (".jpg", 10), (".JPG", 2), (".png", 6), (".pdf", 5),
        (".docx", 3), (".xlsx", 2), (".mp3", 4), (".flac", 1), (".mp4", 2),
        (".c", 4), (".h", 3), (".cpp", 3), (".py", 4), (".js", 4), (".html", 3),
        (".css", 2), (".json", 3), (".xml", 2), (".csv", 2), (".log", 3),
        (".tar.gz", 1), (".zip", 2), (".o", 2), (".so", 1), ("", 3), (".bak", 1),
        (".md", 2), (".svg", 1), (".iso", 0))

# names that many folders have; several differ only in case from another
SHARED = ["README.md", "readme.md", "ReadMe.MD", "index.html", "Makefile",
          "__init__.py", "config.json", "Thumbs.db", ".DS_Store", "desktop.ini",
          "LICENSE", "notes.txt", "Notes.txt", "IMG_0001.JPG", "img_0001.jpg",
          "IMG_0002.JPG", "data.csv", "main.c", "style.css", "report (1).pdf",
          "report.pdf", "Report.PDF", "setup.py", "CMakeLists.txt", ".gitignore",
          "package.json", "cover.jpg", "folder.jpg", "track01.mp3", "todo.txt",
          "Untitled.txt", "untitled.txt", "a", "A", "x.o", "core", "log.txt",
          "backup.tar.gz", "photo.jpeg", "Photo.jpeg", "index.js", "favicon.ico"]

# odd but valid UTF-8 without line breaks, so every tool's output stays parseable
AWKWARD = ["file with spaces.txt", "  two leading spaces.txt", "trailing space .txt",
           "-n", "-rf", "--help", "-", "-leading-dash.txt", "it's.txt",
           'say "hi".txt', "back\\slash.txt", "semi;colon.txt", "amp&ersand.txt",
           "dollar$HOME.txt", "star*.txt", "question?.txt", "[brackets].txt",
           "{braces}.txt", "percent%20.txt", "#hash.txt", "~tilde", "tab\there.txt",
           "café.txt", "naïve résumé.pdf", "日本語のファイル.txt", "Ελληνικά.doc",
           "emoji 😀.png", "combining e\u0301.txt", "zero\u200bwidth.txt",
           "שלום.txt", "Привет мир.txt", "ÅÄÖ åäö.txt", "ß.txt", "SS.txt",
           "..two.dots", "name.", "many.dots.in.name.tar.gz", "noextension",
           ".hidden", ".hidden.txt", "a:b.txt", "comma,name.txt", "=equals",
           "+plus", "@at", "`backtick`.txt", "!bang.txt", "(paren).txt",
           "<angle>.txt", "pipe|name.txt", "UPPER.TXT", "upper.txt",
           "x" * 200 + ".txt", "é" * 120 + ".txt"]
# only with --unsafe-names: line breaks and bytes that are not UTF-8
UNSAFE = [b"new\nline.txt", b"carriage\rreturn.txt", b"latin1 caf\xe9.txt",
          b"\xff\xfe bytes.bin", b"mixed \xc3\xa9 and \xe9.txt", b"\n"]

FOLDER_WORDS = ["src", "lib", "docs", "Documents", "Photos", "Music", "Videos",
                "backup", "old", "2019", "2020", "2021", "2022", "Downloads", "tmp",
                "assets", "build", "data", "projects", "Camera Roll", "My Documents",
                "vendor", ".cache", ".config", "Archive", "x86_64", "include",
                "tests", "share", "images", "Desktop", "misc", "work", "home",
                "archive", "ARCHIVE", "copy of docs", "Sauvegarde été", "写真",
                "-dash dir", "it's here", "[tmp]", "node_modules", ".git"]


class Names:
    """Unique names per folder drawn from the word lists."""

    def __init__(self, rng, unsafe):
        self.rng = rng
        self.unsafe = unsafe
        self.used = {}          # folder index -> set of names (bytes)
        self.counter = 0

    def _free(self, folder, name):
        used = self.used.setdefault(folder, set())
        if name not in used:
            used.add(name)
            return name
        stem, dot, ext = name.rpartition(b".")
        if not dot or not stem:
            stem, ext = name, b""
        else:
            ext = b"." + ext
        n = 2
        while True:
            cand = stem + b" (%d)" % n + ext
            if len(cand) > 250:
                cand = b"dup%d" % n + ext
            if cand not in used:
                used.add(cand)
                return cand
            n += 1

    def take(self, folder, name):
        return self._free(folder, name)

    def file_name(self, folder, shared_p=0.18, awkward_p=0.02):
        rng = self.rng
        u = rng.random()
        if u < shared_p:
            name = rng.choice(SHARED).encode()
        elif u < shared_p + awkward_p:
            if self.unsafe and rng.random() < 0.2:
                name = rng.choice(UNSAFE)
            else:
                name = rng.choice(AWKWARD).encode()
        else:
            self.counter += 1
            ext = rng.choices([e for e, _ in EXTS], [w for _, w in EXTS])[0]
            sep = rng.choice(("_", "-", " ", ""))
            name = ("%s%s%d%s" % (rng.choice(WORDS), sep, rng.randrange(10000), ext)).encode()
        return self._free(folder, name)


# --------------------------------------------------------------------------
# contents

class Content:
    """One file content: its size and the data blocks written; holes are zero."""
    __slots__ = ("size", "blocks", "key", "mtime")

    def __init__(self, size, blocks):
        self.size = size
        self.blocks = blocks            # [(offset, bytes)], sorted, disjoint
        h = hashlib.blake2b(digest_size=16)
        for off, data in blocks:
            h.update(off.to_bytes(8, "little"))
            h.update(data)
        self.key = (size, h.digest())   # equal keys <=> equal bytes (layout depends on size only)


def layout(size):
    """Offsets and lengths of the written blocks of a file of this size."""
    if size <= DENSE_MAX:
        return [(0, size)] if size else []
    mid = size // 2 - MID // 2
    return [(0, HEAD), (mid, MID), (size - TAIL, TAIL)]


class ContentMaker:
    def __init__(self, rng):
        self.rng = rng
        self.pool = memoryview(rng.randbytes(POOL_SIZE))   # slices share it, no copies

    def random(self, size):
        blocks = []
        for off, n in layout(size):
            start = self.rng.randrange(POOL_SIZE - n + 1)
            blocks.append((off, self.pool[start:start + n]))
        return Content(size, blocks)

    @staticmethod
    def flipped(base, pos):
        """base with the byte at pos inverted (pos lies inside a written block)."""
        blocks = []
        for off, data in base.blocks:
            if off <= pos < off + len(data):
                b = bytearray(data)
                b[pos - off] ^= 0xFF
                data = bytes(b)
            blocks.append((off, data))
        return Content(base.size, blocks)

    @staticmethod
    def stamped(base, pos, stamp):
        """base with stamp written at pos (which may lie in a hole)."""
        blocks = list(base.blocks)
        blocks.append((pos, stamp))
        blocks.sort()
        merged = []
        for off, data in blocks:
            if merged and off < merged[-1][0] + len(merged[-1][1]):
                poff, pdata = merged[-1]
                b = bytearray(pdata)
                end = off + len(data) - poff
                if end > len(b):
                    b.extend(bytes(end - len(b)))
                b[off - poff:end] = data
                merged[-1] = (poff, bytes(b))
            else:
                merged.append((off, data))
        return Content(base.size, merged)


def mixed_size(rng, nonzero=False):
    """A size from a home-folder-like mix: mostly small, some MBs."""
    u = rng.random()
    if u < 0.98:
        s = int(rng.lognormvariate(8.3, 1.35))       # median ~4 KiB
        return max(1, min(s, 2 * MIB))
    return int(128 * KIB * (64 ** rng.random()))    # 128 KiB .. 8 MiB, log-uniform


# --------------------------------------------------------------------------
# plans: a list of folders and of entries; nothing touches the disk yet

class Plan:
    def __init__(self, profile, params):
        self.profile = profile
        self.params = params
        self.folders = [b""]            # relative paths; index 0 is the root
        self.files = []                 # (folder index, name, Content, mtime)
        self.hardlinks = []             # (file index, folder index, name)
        self.symlinks = []              # (folder index, name, target bytes)

    def path(self, folder, name):
        f = self.folders[folder]
        return f + b"/" + name if f else name

    def add_file(self, folder, name, content, mtime):
        self.files.append((folder, name, content, mtime))
        return len(self.files) - 1


def random_mtime(rng):
    return rng.randrange(1104537600, 1735603200)    # 2005 .. 2024


def make_folders(plan, rng, names, count, top=12, max_depth=7, awkward_p=0.03):
    depth = [0]
    for i in range(count):
        if i < top:
            parent = 0
        else:
            while True:
                parent = rng.randrange(1, len(plan.folders))
                if depth[parent] < max_depth:
                    break
        if rng.random() < awkward_p:
            base = rng.choice(FOLDER_WORDS[-8:] + AWKWARD[:12])
        else:
            base = rng.choice(FOLDER_WORDS[:-8])
            if rng.random() < 0.5:
                base += rng.choice(("", "_", " ", "-")) + str(rng.randrange(100))
        name = names.take(parent, base.encode())       # files and folders share a namespace
        plan.folders.append(plan.path(parent, name))
        depth.append(depth[parent] + 1)
    # folders differ in how full they are: a few large ones, many small ones
    return [rng.paretovariate(1.2) for _ in plan.folders]


def plan_mixed(a):
    n, nfold = a.files, a.folders
    ngroups = a.groups if a.groups is not None else round(n * 0.04)
    rng = random.Random(a.seed)
    maker = ContentMaker(rng)
    plan = Plan("mixed", dict(files=n, folders=nfold, groups=ngroups, seed=a.seed,
                              unsafe_names=a.unsafe_names))
    names = Names(rng, a.unsafe_names)
    weights = make_folders(plan, rng, names, nfold)
    folder_ids = list(range(len(plan.folders)))

    def folder():
        return rng.choices(folder_ids, weights)[0]

    def put(content, name=None, where=None, mtime=None):
        f = folder() if where is None else where
        nm = names.file_name(f) if name is None else names.take(f, name)
        return plan.add_file(f, nm, content, random_mtime(rng) if mtime is None else mtime)

    made = 0
    # a few large files (about one in 10,000), sometimes copied once
    low = 32 * MIB if n >= 50_000 else 4 * MIB
    for _ in range(max(1, n // 12500)):
        c = maker.random(int(low * (8 ** rng.random())))      # 32 .. 256 MiB (quick: 4 .. 32)
        i = put(c)
        made += 1
        if rng.random() < 0.3:
            put(c, name=plan.files[i][1])
            made += 1
    # duplicate groups of 2-5 copies; copies keep the name half of the time
    for _ in range(ngroups):
        c = maker.random(mixed_size(rng))
        copies = rng.choices((2, 3, 4, 5), (50, 25, 15, 10))[0]
        first = put(c)
        t = plan.files[first][3]
        for _ in range(copies - 1):
            same = rng.random() < 0.5
            put(c, name=plan.files[first][1] if same else None,
                mtime=t if rng.random() < 0.5 else None)
        made += copies
    # families of equal size: a base and variants differing in one byte
    for _ in range(max(1, n // 200)):
        size = max(3, min(mixed_size(rng), 8 * MIB))
        base = maker.random(size)
        members = [base, maker.flipped(base, 0), maker.flipped(base, size // 2),
                   maker.flipped(base, size - 1)]
        if rng.random() < 0.4:
            members.append(base)                     # the base also has a copy
        if rng.random() < 0.2:
            members.append(members[3])               # and so has the last-byte variant
        rng.shuffle(members)
        for c in members:
            put(c)
        made += len(members)
    # zero-length files, some of them under shared names
    for _ in range(round(n * 0.015)):
        put(Content(0, []))
        made += 1
    # the rest: single files (equal sizes among small ones happen by chance)
    while made < n:
        put(maker.random(mixed_size(rng)))
        made += 1

    # hard links: a second name for some files, in another folder or the same
    nfiles = len(plan.files)
    for _ in range(max(2, n // 400)):
        i = rng.randrange(nfiles)
        if plan.files[i][2].size == 0 and rng.random() < 0.7:
            continue
        f = folder()
        plan.hardlinks.append((i, f, names.file_name(f, shared_p=0.1)))
    # symbolic links to files (never catalogued) and to folders
    for _ in range(max(2, n // 500)):
        i = rng.randrange(nfiles)
        f = folder()
        plan.symlinks.append((f, names.file_name(f), b"/" + plan.path(plan.files[i][0], plan.files[i][1])))
    if len(plan.folders) > 3:
        # a link to another folder of the tree, one to an ancestor (a loop),
        # one to nowhere; absolute targets are completed when written
        f = folder()
        plan.symlinks.append((f, names.take(f, b"link to folder"), b"/" + plan.folders[1]))
        deep = max(range(1, len(plan.folders)), key=lambda k: plan.folders[k].count(b"/"))
        plan.symlinks.append((deep, names.take(deep, b"loop"), b".."))
        plan.symlinks.append((deep, names.take(deep, b"dangling"), b"no such file"))
    return plan


def plan_samesize(a):
    n = a.files
    nfold = a.folders
    rng = random.Random(a.seed)
    maker = ContentMaker(rng)
    plan = Plan("samesize", dict(files=n, folders=nfold, seed=a.seed))
    names = Names(rng, False)
    make_folders(plan, rng, names, nfold, top=4, max_depth=3, awkward_p=0.0)
    sizes = (4 * KIB, 64 * KIB, 512 * KIB)
    bases = [maker.random(s) for s in sizes]
    copies_every = 100
    i = 0
    while len(plan.files) < n:
        which = i % 3
        size = sizes[which]
        stamp = i.to_bytes(8, "little")
        # the stamp sits either in the last 8 bytes or at the exact middle
        pos = size - 8 if (i // 3) % 2 == 0 else size // 2
        c = maker.stamped(bases[which], pos, stamp)
        f = rng.randrange(len(plan.folders))
        nm = names.take(f, b"f%06d.bin" % i)
        t = random_mtime(rng)
        plan.add_file(f, nm, c, t)
        if i % copies_every == 7 and len(plan.files) < n:
            g = rng.randrange(len(plan.folders))
            plan.add_file(g, names.take(g, b"f%06d copy.bin" % i), c, t)
        i += 1
    return plan


def plan_bigdupes(a):
    rng = random.Random(a.seed)
    plan = Plan("bigdupes", dict(files=a.files, size_mib=a.size_mib, seed=a.seed))
    plan.dense_big = True
    size = a.size_mib * MIB
    c = Content(size, [(0, b"")])        # key filled in when written
    t = random_mtime(rng)
    for k in range(a.files):
        plan.add_file(0, b"big%d.bin" % k, c, t)
    return plan


def plan_tiny(a):
    n, nfold = a.files, a.folders
    rng = random.Random(a.seed)
    pool = rng.randbytes(1 << 20)
    plan = Plan("tiny", dict(files=n, folders=nfold, seed=a.seed))
    plan.light = True
    names = Names(rng, False)
    make_folders(plan, rng, names, nfold, top=20, max_depth=4, awkward_p=0.0)
    nf = len(plan.folders)
    for i in range(n):
        f = rng.randrange(nf)
        size = 0 if rng.random() < 0.5 else rng.randrange(1, 65)
        start = rng.randrange(len(pool) - size + 1)
        c = Content(size, [(0, pool[start:start + size])] if size else [])
        plan.add_file(f, b"%x" % i, c, 1262304000)
    return plan


def plan_longpaths(a):
    """projects x folders x files of unique tiny contents under long names,
    with some duplicate groups of 2-4 copies scattered over the projects."""
    n, nfold = a.files, a.folders
    projects = max(1, min(a.projects, nfold))
    ngroups = a.groups if a.groups is not None else round(n * 0.01)
    rng = random.Random(a.seed)
    pool = rng.randbytes(1 << 20)
    plan = Plan("longpaths", dict(files=n, folders=nfold, projects=projects,
                                  groups=ngroups, seed=a.seed))
    plan.light = True
    modules = []                        # folder indices of the module folders
    per_project = -(-nfold // projects)
    for p in range(projects):
        top = b"project_%02d_workspace" % p
        plan.folders += [top, top + b"/src", top + b"/src/components"]
        for m in range(min(per_project, nfold - len(modules))):
            plan.folders.append(top + b"/src/components/module_%04d_implementation" % m)
            modules.append(len(plan.folders) - 1)
    # contents: "INDEX\n" and random filler, so no two are equal by chance
    contents = []
    for i in range(n):
        size = rng.randrange(24, 121)
        stamp = b"%d\n" % i
        start = rng.randrange(len(pool) - size)
        contents.append(Content(size, [(0, stamp + pool[start:start + size - len(stamp)])]))
    # duplicate groups: disjoint sets of slots, the first one's content copied
    # to the others (a group never shares a slot with another group)
    copies = [rng.choices((2, 3, 4), (60, 25, 15))[0] for _ in range(ngroups)]
    if sum(copies) > n:
        sys.exit("longpaths: %d groups need %d files, more than --files %d"
                 % (ngroups, sum(copies), n))
    slots = rng.sample(range(n), sum(copies))
    k = 0
    for c in copies:
        src = slots[k]
        for j in slots[k + 1:k + c]:
            contents[j] = contents[src]
        k += c
    i = 0
    for j, f in enumerate(modules):
        for m in range(n // len(modules) + (j < n % len(modules))):
            name = b"generated_source_file_%03d_%d_%03d.txt" % (m, rng.randrange(10),
                                                                rng.randrange(1000))
            plan.add_file(f, name, contents[i], 1262304000)
            i += 1
    return plan


# --------------------------------------------------------------------------
# writing

def write_big(root, plan):
    """bigdupes: one dense random file, copied in the kernel."""
    rng = random.Random(plan.params["seed"] + 1)
    size = plan.params["size_mib"] * MIB
    first = None
    h = hashlib.blake2b(digest_size=16)
    for k, (fi, name, c, t) in enumerate(plan.files):
        p = os.path.join(os.fsencode(root), name)
        fd = os.open(p, os.O_WRONLY | os.O_CREAT | os.O_EXCL, 0o644)
        try:
            if first is None:
                left = size
                while left:
                    chunk = rng.randbytes(min(left, 16 * MIB))
                    h.update(chunk)
                    os.write(fd, chunk)
                    left -= len(chunk)
                first = p
            else:
                with open(first, "rb") as src:
                    left = size
                    while left:
                        done = os.copy_file_range(src.fileno(), fd, left)
                        if done <= 0:
                            raise OSError("copy_file_range stopped early")
                        left -= done
            os.utime(fd, (t, t))
        finally:
            os.close(fd)
    return (size, h.digest())


def write_tree(root, plan):
    root_b = os.fsencode(root)
    for rel in plan.folders[1:]:
        os.mkdir(os.path.join(root_b, rel))
    light = getattr(plan, "light", False)
    big_key = None
    if getattr(plan, "dense_big", False):
        big_key = write_big(root, plan)
    else:
        flags = os.O_WRONLY | os.O_CREAT | os.O_EXCL | os.O_CLOEXEC
        for k, (f, name, c, t) in enumerate(plan.files):
            p = os.path.join(root_b, plan.path(f, name))
            fd = os.open(p, flags, 0o644)
            try:
                for off, data in c.blocks:
                    if off == 0:
                        os.write(fd, data)
                    else:
                        os.pwrite(fd, data, off)
                if c.blocks and c.blocks[-1][0] + len(c.blocks[-1][1]) < c.size:
                    os.ftruncate(fd, c.size)
                if not light:
                    os.utime(fd, (t, t))
            finally:
                os.close(fd)
            if k and k % 20000 == 0:
                print("  %d files written" % k, file=sys.stderr)
    for i, f, name in plan.hardlinks:
        fi, fname = plan.files[i][0], plan.files[i][1]
        os.link(os.path.join(root_b, plan.path(fi, fname)), os.path.join(root_b, plan.path(f, name)))
    for f, name, target in plan.symlinks:
        if target.startswith(b"/"):
            target = os.path.join(root_b, target[1:])
        os.symlink(target, os.path.join(root_b, plan.path(f, name)))
    return big_key


def expected(plan, big_key):
    """Groups of identical non-empty files (one path per file) and counts."""
    by_key = {}
    zero = 0
    total = 0
    for k, (f, name, c, t) in enumerate(plan.files):
        key = big_key if big_key else c.key
        total += c.size
        if c.size == 0:
            zero += 1
            continue
        by_key.setdefault(key, []).append(k)
    groups = [ks for ks in by_key.values() if len(ks) > 1]
    groups.sort(key=lambda ks: ks[0])
    return groups, zero, total


def decode(b):
    return b.decode("utf-8", "surrogateescape")


def mean_path_bytes(plan):
    """The mean length of the files' paths below the root, in bytes."""
    if not plan.files:
        return 0.0
    dirs = [len(f) + 1 if f else 0 for f in plan.folders]
    return sum(dirs[f] + len(name) for f, name, _, _ in plan.files) / len(plan.files)


def print_summary(where, plan, groups, zero, total, took):
    print("%s: %d files, %d folders, %.2f GB, %d zero-length, %d duplicate groups (%d files), "
          "%d hard links, %d symlinks, paths of %.0f bytes below the root on average; %s"
          % (where, len(plan.files), len(plan.folders) - 1, total / 1e9, zero, len(groups),
             sum(map(len, groups)), len(plan.hardlinks), len(plan.symlinks),
             mean_path_bytes(plan), took))


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    ap = argparse.ArgumentParser(description=__doc__.split("\n\n")[0],
                                 formatter_class=argparse.RawDescriptionHelpFormatter,
                                 epilog=__doc__.split("\n", 4)[-1])
    ap.add_argument("profile", choices=("mixed", "samesize", "bigdupes", "tiny", "longpaths"))
    ap.add_argument("--quick", action="store_true", help="the small variant of the profile")
    ap.add_argument("--out", help="folder to generate into (default bench/corpus/PROFILE[-quick])")
    ap.add_argument("--seed", type=int, default=20240601)
    ap.add_argument("--files", type=int, help="number of regular files (distinct inodes)")
    ap.add_argument("--folders", type=int, help="number of folders below the root")
    ap.add_argument("--projects", type=int,
                    help="longpaths: projects the folders are spread over (default 50, quick 10)")
    ap.add_argument("--groups", type=int, help="mixed, longpaths: explicit duplicate groups "
                                                "(default 4%%, longpaths 1%% of files)")
    ap.add_argument("--size-mib", type=int, help="bigdupes: size of each file")
    ap.add_argument("--unsafe-names", action="store_true",
                    help="mixed: also names with line breaks and non-UTF-8 bytes "
                         "(line-oriented peer outputs cannot represent them)")
    ap.add_argument("--force", action="store_true", help="rebuild even if an identical tree exists")
    ap.add_argument("--dry-run", action="store_true", help="print the plan's figures, write nothing")
    a = ap.parse_args()

    defaults = {
        ("mixed", False): (100_000, 2_000), ("mixed", True): (5_000, 100),
        ("samesize", False): (23_000, 200), ("samesize", True): (2_300, 20),
        ("bigdupes", False): (4, 0), ("bigdupes", True): (4, 0),
        ("tiny", False): (1_000_000, 20_000), ("tiny", True): (50_000, 1_000),
        ("longpaths", False): (1_000_000, 20_000), ("longpaths", True): (50_000, 1_000),
    }[(a.profile, a.quick)]
    if a.projects is None:
        a.projects = 10 if a.quick else 50
    a.files = a.files if a.files is not None else defaults[0]
    a.folders = a.folders if a.folders is not None else defaults[1]
    if a.size_mib is None:
        a.size_mib = 64 if a.quick else 512
    if a.files < 1 or a.folders < 0:
        ap.error("--files must be positive and --folders not negative")
    if a.profile == "longpaths" and (a.folders < 1 or a.projects < 1):
        ap.error("longpaths needs at least one folder and one project")
    name = a.profile + ("-quick" if a.quick else "")
    out = os.path.abspath(a.out or os.path.join(here, "corpus", name))
    manifest_path = out.rstrip("/") + ".manifest.json"

    t0 = time.monotonic()
    plan = {"mixed": plan_mixed, "samesize": plan_samesize,
            "bigdupes": plan_bigdupes, "tiny": plan_tiny,
            "longpaths": plan_longpaths}[a.profile](a)
    params = dict(plan.params, profile=a.profile, format=FORMAT)

    if a.dry_run:
        groups, zero, total = expected(plan, (1, b"") if a.profile == "bigdupes" else None)
        print_summary(name, plan, groups, zero, total, "planned in %.1fs" % (time.monotonic() - t0))
        return 0

    if os.path.exists(out):
        old = None
        try:
            with open(manifest_path) as fh:
                old = json.load(fh)
        except (OSError, ValueError):
            pass
        if old and old.get("params") == params and old.get("complete") and not a.force:
            print("%s: up to date (%s)" % (out, manifest_path))
            return 0
        if old is None and os.listdir(out):
            sys.exit("%s exists, is not empty and has no manifest from this generator; "
                     "not touching it" % out)
        print("removing the old %s" % out, file=sys.stderr)
        shutil.rmtree(out)
    if os.path.exists(manifest_path):
        os.unlink(manifest_path)
    os.makedirs(out)
    # the manifest goes first, marking the folder as ours even if writing stops half-way
    with open(manifest_path, "w") as fh:
        json.dump({"params": params, "complete": False}, fh)

    print("writing %s ..." % out, file=sys.stderr)
    big_key = write_tree(out, plan)
    groups, zero, total = expected(plan, big_key)
    hard = [(decode(plan.path(plan.files[i][0], plan.files[i][1])), decode(plan.path(f, nm)))
            for i, f, nm in plan.hardlinks]
    manifest = {
        "params": params,
        "complete": True,
        "root": out,
        "files": len(plan.files),
        "folders": len(plan.folders) - 1,
        "bytes": total,
        "zero_size_files": zero,
        "hard_links": hard,
        "symlinks": len(plan.symlinks),
        "mean_path_bytes": round(mean_path_bytes(plan), 1),
        "groups": [[decode(plan.path(plan.files[k][0], plan.files[k][1])) for k in ks]
                   for ks in groups] if a.profile != "tiny" or len(groups) < 200_000 else None,
        "group_count": len(groups),
    }
    tmp = manifest_path + ".tmp"
    with open(tmp, "w") as fh:
        json.dump(manifest, fh, ensure_ascii=True)
    os.replace(tmp, manifest_path)
    print_summary(out, plan, groups, zero, total, "%.1fs" % (time.monotonic() - t0))
    return 0


if __name__ == "__main__":
    sys.exit(main())
