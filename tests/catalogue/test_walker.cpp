// The folder walker on real trees: which files it takes, in which order, and each file once.
#include "catalogue/colFiles.h"
#include "support/TempTree.h"

#include <QtTest>
#include <algorithm>
#include <dirent.h>
#include <string>
#include <vector>

using trevalo::colFiles;
using trevalo::test::TempTree;

namespace {

std::vector<std::string> walk(const std::string& spec, bool recursive = true) {
    colFiles files;
    files.LoadFiles(spec, recursive);
    return files.Items();
}

std::vector<std::string> sorted(std::vector<std::string> v) {
    std::sort(v.begin(), v.end());
    return v;
}

// The order rule written out plainly: per folder, every sub-folder's whole subtree in listing
// order, then the folder's own files in listing order.
void expectedOrder(const std::string& folder, std::vector<std::string>& out) {
    std::vector<std::pair<std::string, unsigned char>> entries;
    if (DIR* d = opendir(folder.c_str())) {
        while (const dirent* e = readdir(d)) {
            const std::string n = e->d_name;
            if (n != "." && n != "..")
                entries.emplace_back(n, e->d_type);
        }
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
        std::vector<std::string> expected;
        expectedOrder(t.root() + "/", expected);
        QCOMPARE(walk(t.path("*.*")), expected);
        QCOMPARE(expected.size(), std::size_t(9));
    }

    void patternDialect() {
        TempTree t;
        for (const char* f : {"README", "notes.txt", "NOTES2.TXT", "ab.txt", "abc.txt", "a.txt",
                              ".hidden", "sub/inner.txt", "sub/INNER", "sub/Äpfel.md"})
            t.file(f, "x");
        const auto names = [&](const std::string& pattern) {
            std::vector<std::string> out;
            for (const auto& p : walk(t.path(pattern)))
                out.push_back(p.substr(t.root().size() + 1));
            return sorted(out);
        };
        using V = std::vector<std::string>;
        // "*.*" takes every name, also names without a dot and hidden files.
        QCOMPARE(names("*.*").size(), std::size_t(10));
        // Letters match without regard to case; the pattern applies unchanged in sub-folders.
        QCOMPARE(names("*.txt"),
                 (V{"NOTES2.TXT", "a.txt", "ab.txt", "abc.txt", "notes.txt", "sub/inner.txt"}));
        QCOMPARE(names("a?.txt"), (V{"ab.txt"}));
        QCOMPARE(names("*"), names("*.*"));
        QCOMPARE(names("inner*"), (V{"sub/INNER", "sub/inner.txt"}));
        QCOMPARE(names(".*"), (V{".hidden"}));
        QCOMPARE(names("äPFEL.*"), (V{"sub/Äpfel.md"}));
    }

    void folderMatchingThePatternIsWalkedNotTaken() {
        TempTree t;
        t.file("pics.jpg/photo.jpg", "x");
        t.file("pics.jpg/readme", "x");
        QCOMPARE(walk(t.path("*.jpg")), (std::vector<std::string>{t.path("pics.jpg/photo.jpg")}));
        QVERIFY(walk(t.path("*.jpg"), false).empty());
    }

    void withoutSubFoldersOnlyTheFolderItself() {
        TempTree t;
        t.file("own.txt", "x");
        t.file("sub/other.txt", "x");
        QCOMPARE(walk(t.path("*.*"), false), (std::vector<std::string>{t.path("own.txt")}));
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
        const auto& items = files.Items();
        QCOMPARE(items.size(), std::size_t(3));
        // The file reached first keeps its place and its path.
        QCOMPARE(items.front(), t.path("data/sub/b.txt"));
        QCOMPARE(sorted(items),
                 sorted({t.path("data/a.txt"), t.path("data/A.TXT"), t.path("data/sub/b.txt")}));
        files.Clear();
        QCOMPARE(files.Count(), std::int64_t(0));
        files.LoadFiles(t.path("data/sub/*.*"), true);
        QCOMPARE(files.Item(1), t.path("data/sub/b.txt"));
        files.Add("");
        QCOMPARE(files.Count(), std::int64_t(1));
    }

    void linksAreNotCopiesAndLoopsEnd() {
        TempTree t;
        t.file("real/file.txt", "x");
        t.symlink(t.path("real/file.txt"), "real/link-to-file.txt");
        t.symlink(t.path("real"), "real/loop");   // a cycle
        t.symlink(t.path("real"), "alias");       // the same folder once more
        t.symlink(t.path("nowhere"), "dangling"); // points at nothing
        const auto items = walk(t.path("*.*"));
        QCOMPARE(items.size(), std::size_t(1));
        QVERIFY(items.front().ends_with("/file.txt"));
    }

    void specialFilesAreNeitherTakenNorOpened() {
        TempTree t;
        t.fifo("pipe.txt"); // opening it would block the walk
        t.socket("sock.txt");
        t.file("plain.txt", "x");
        QCOMPARE(walk(t.path("*.txt")), (std::vector<std::string>{t.path("plain.txt")}));
    }

    void unlistableFolderIsSkippedSiblingsWalked() {
        TempTree t;
        t.file("open1/a.txt", "x");
        t.file("locked/secret.txt", "x");
        t.file("open2/b.txt", "x");
        t.chmod("locked", 0);
        const std::string root = t.path("*.*");
        const std::string a = t.path("open1/a.txt"), b = t.path("open2/b.txt");
        QVERIFY(trevalo::test::runUnprivileged([&] {
            return sorted(walk(root)) == sorted({a, b});
        }));
    }

    void namesThatAreNotUtf8() {
        TempTree t;
        const std::string bad = "caf\xe9-\xff.txt";
        t.file(bad, "x");
        t.file("dir\xfe/inner.txt", "y");
        const auto items = sorted(walk(t.path("*.txt")));
        QCOMPARE(items, sorted({t.path(bad), t.path("dir\xfe/inner.txt")}));
    }

    void missingFolderAddsNothing() {
        TempTree t;
        QVERIFY(walk(t.path("absent/*.*")).empty());
        t.dir("empty");
        QVERIFY(walk(t.path("empty/*.*")).empty());
    }
};

QTEST_GUILESS_MAIN(WalkerTest)
#include "test_walker.moc"
