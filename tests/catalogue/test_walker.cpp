// The folder walker on real trees: which files it takes, in which order, and each file once; and
// the name comparison and wildcard dialect it matches names with.
#include "catalogue/colFiles.h"
#include "platform/ByteText.h"
#include "support/TempTree.h"

#include <QtTest>
#include <algorithm>
#include <dirent.h>

using namespace trevalo;
using trevalo::test::TempTree;
using Paths = std::vector<std::string>;

namespace {

Paths walk(const std::string& searchPath, bool recursive = true) {
    colFiles files;
    files.LoadFiles(searchPath, recursive);
    return files.Items();
}

Paths sorted(Paths v) {
    std::sort(v.begin(), v.end());
    return v;
}

// The order rule written out plainly: per folder, every sub-folder's whole subtree in listing
// order, then the folder's own files in listing order.
void expectedOrder(const std::string& folder, Paths& out) {
    std::vector<std::pair<std::string, unsigned char>> entries;
    if (DIR* d = opendir(folder.c_str())) {
        while (const dirent* e = readdir(d))
            if (std::string(e->d_name) != "." && std::string(e->d_name) != "..")
                entries.emplace_back(e->d_name, e->d_type);
        closedir(d);
    }
    for (const auto& [name, type] : entries)
        if (type == DT_DIR)
            expectedOrder(folder + name + "/", out);
    for (const auto& [name, type] : entries)
        if (type == DT_REG)
            out.push_back(folder + name);
}

} // namespace

class WalkerTest : public QObject {
    Q_OBJECT

private slots:
    void subFoldersComeFirstInListingOrder() {
        TempTree t;
        for (const char* f : {"top1.txt", "a/a1.txt", "a/deep/d1.txt", "a/deep/d2.txt", "b/b1.txt",
                              "a/a2.txt", "c/c1.txt", "top2.txt", "b/x/y/z.txt"})
            t.file(f, "x");
        Paths expected;
        expectedOrder(t.root() + "/", expected);
        QCOMPARE(expected.size(), std::size_t(9));
        QCOMPARE(walk(t.path("*.*")), expected);
    }

    void patternDialect() {
        TempTree t;
        for (const char* f : {"README", "notes.txt", "NOTES2.TXT", "ab.txt", "abc.txt", "a.txt",
                              ".hidden", "sub/inner.txt", "sub/INNER", "sub/Äpfel.md"})
            t.file(f, "x");
        const auto names = [&](const std::string& pattern) {
            Paths out;
            for (const auto& p : walk(t.path(pattern)))
                out.push_back(p.substr(t.root().size() + 1));
            return sorted(out);
        };
        // "*.*" takes every name, also names without a dot and hidden files.
        QCOMPARE(names("*.*").size(), std::size_t(10));
        QCOMPARE(names("*"), names("*.*"));
        // Letters match without regard to case; the pattern applies unchanged in sub-folders.
        QCOMPARE(names("*.txt"),
                 (Paths{"NOTES2.TXT", "a.txt", "ab.txt", "abc.txt", "notes.txt", "sub/inner.txt"}));
        QCOMPARE(names("a?.txt"), (Paths{"ab.txt"}));
        QCOMPARE(names("inner*"), (Paths{"sub/INNER", "sub/inner.txt"}));
        QCOMPARE(names(".*"), (Paths{".hidden"}));
        QCOMPARE(names("äPFEL.*"), (Paths{"sub/Äpfel.md"}));
    }

    void foldersAreWalkedNotTaken() {
        TempTree t;
        t.file("pics.jpg/photo.jpg", "x");
        t.file("pics.jpg/readme", "x");
        t.file("own.jpg", "x");
        t.dir("empty");
        QCOMPARE(walk(t.path("*.jpg")), (Paths{t.path("pics.jpg/photo.jpg"), t.path("own.jpg")}));
        QCOMPARE(walk(t.path("*.jpg"), false), (Paths{t.path("own.jpg")}));
        QVERIFY(walk(t.path("absent/*.*")).empty());
        QVERIFY(walk(t.path("empty/*.*")).empty());
    }

    void eachFileOnceAcrossRowsLinksAndCase() {
        TempTree t;
        t.file("data/a.txt", "1");
        t.file("data/A.TXT", "2"); // another file: names are case-sensitive here
        t.file("data/sub/b.txt", "3");
        t.hardlink("data/sub/b.txt", "data/b-link.txt");
        colFiles files;
        files.LoadFiles(t.path("data/sub/*.*"), true);
        files.LoadFiles(t.path("data/*.*"), true);
        files.LoadFiles(t.path("data/*.*"), false);
        // The file reached first keeps its place and its path.
        QCOMPARE(files.Items().front(), t.path("data/sub/b.txt"));
        QCOMPARE(sorted(files.Items()),
                 sorted({t.path("data/a.txt"), t.path("data/A.TXT"), t.path("data/sub/b.txt")}));
        // Clear forgets the files seen, too.
        files.Clear();
        files.LoadFiles(t.path("data/sub/*.*"), true);
        QCOMPARE(files.Count(), std::int64_t(1));
        QCOMPARE(files.Item(1), t.path("data/sub/b.txt"));
    }

    // Only regular files are taken: no FIFO (opening it would block), socket or link to a file;
    // a linked folder is walked once and a loop ends; names need not be UTF-8.
    void onlyRegularFilesOnceEvenThroughLinks() {
        TempTree t;
        t.file("real/file.txt", "x");
        t.symlink(t.path("real/file.txt"), "real/link-to-file.txt");
        t.symlink(t.path("real"), "real/loop");
        t.symlink(t.path("real"), "alias");
        t.symlink(t.path("nowhere"), "dangling.txt");
        t.fifo("pipe.txt");
        t.socket("sock.txt");
        t.file("caf\xe9-\xff.txt", "x");
        t.file("dir\xfe/inner.txt", "y");
        Paths items = walk(t.path("*.txt"));
        // The file once, through "real" or through "alias".
        QCOMPARE(std::erase_if(items, [](const auto& p) { return p.ends_with("/file.txt"); }),
                 std::size_t(1));
        QCOMPARE(sorted(items), (Paths{t.path("caf\xe9-\xff.txt"), t.path("dir\xfe/inner.txt")}));
    }

    void unlistableFolderIsSkippedSiblingsWalked() {
        TempTree t;
        const Paths open = {t.file("open1/a.txt", "x"), t.file("open2/b.txt", "x")};
        t.file("locked/secret.txt", "x");
        t.chmod("locked", 0);
        const std::string root = t.path("*.*");
        QVERIFY(trevalo::test::runUnprivileged([&] { return sorted(walk(root)) == open; }));
    }

    void caseIsIgnoredForLettersNotForOtherBytes() {
        QVERIFY(equalNoCase("ÄRGER.txt", "ärger.txt"));
        QCOMPARE(compareNoCase("ÄRGER.txt", "ärger.txt"), 0);
        QVERIFY(equalNoCase("ΣΟΦΙΑ", "σοφια"));
        QVERIFY(!equalNoCase("a.txt", "a.txt "));
        QVERIFY(compareNoCase("apple", "Banana") < 0);
        QVERIFY(compareNoCase("b", "A") > 0);
        // The order agrees however the comparison proceeds (plain ASCII first, then folded).
        QVERIFY(compareNoCase("xÄ", "xb") > 0);
        QCOMPARE(compareNoCase("xÄ", "xb") > 0, foldCase("xÄ") > foldCase("xb"));
        // Two names that differ only in bytes that are not UTF-8 stay two names.
        QVERIFY(!equalNoCase("\xff.txt", "\xfe.txt"));
        QVERIFY(equalNoCase("\xff.TXT", "\xff.txt"));
        QVERIFY(!equalNoCase("\xc3", "\xc3\x84"));
        QCOMPARE(foldCase("A\xff"
                          "B"),
                 std::string("a\xff"
                             "b"));
    }

    // What the trees above leave out: backtracking, "?" on letters and bytes.
    void wildcards() {
        QVERIFY(!wildcardMatch("*.txt", "notes.txt.bak"));
        QVERIFY(wildcardMatch("a?c", "abc"));
        QVERIFY(wildcardMatch("a?c", "aäc")); // "?" is one character, not one byte
        QVERIFY(!wildcardMatch("a?c", "ac"));
        QVERIFY(wildcardMatch("*a*b*c", "xxaxxbxxc"));
        QVERIFY(!wildcardMatch("*a*b*c", "xxaxxcxxb"));
        QVERIFY(wildcardMatch("?.bin", "\xff.bin"));
        QVERIFY(!wildcardMatch("", "x"));
    }
};

QTEST_GUILESS_MAIN(WalkerTest)
#include "test_walker.moc"
