#include "platform/FileRename.h"

#include "support/TempTree.h"

#include <QtTest>

#include <cerrno>
#include <fstream>
#include <sstream>
#include <sys/stat.h>

using namespace trevalo;
using trevalo::test::TempTree;

namespace {

std::string readAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

bool exists(const std::string& path) {
    struct stat sb;
    return ::lstat(path.c_str(), &sb) == 0;
}

} // namespace

class TestRename : public QObject {
    Q_OBJECT

private slots:
    void renamesToAFreeName() {
        TempTree tree;
        const std::string from = tree.file("d/a.txt", "A");
        const RenameResult r = renameNoReplace(from, tree.path("d/b \xE9.txt"));
        QVERIFY(r.ok);
        QVERIFY(!exists(from));
        QCOMPARE(readAll(tree.path("d/b \xE9.txt")), std::string("A"));
    }

    void neverReplacesAnExistingFile() {
        TempTree tree;
        const std::string from = tree.file("a.txt", "A");
        const std::string to = tree.file("b.txt", "B");
        const RenameResult r = renameNoReplace(from, to);
        QVERIFY(!r.ok);
        QCOMPARE(r.error, EEXIST);
        QCOMPARE(readAll(from), std::string("A"));
        QCOMPARE(readAll(to), std::string("B"));
    }

    void aFolderOrALinkUnderTheNewNameCountsAsTaken() {
        TempTree tree;
        const std::string from = tree.file("a.txt", "A");
        tree.dir("sub");
        tree.symlink("nowhere", "dangling");
        QCOMPARE(renameNoReplace(from, tree.path("sub")).error, EEXIST);
        QCOMPARE(renameNoReplace(from, tree.path("dangling")).error, EEXIST);
        QCOMPARE(readAll(from), std::string("A"));
    }

    void missingFileReportsItsError() {
        TempTree tree;
        const RenameResult r = renameNoReplace(tree.path("gone"), tree.path("new"));
        QVERIFY(!r.ok);
        QCOMPARE(r.error, ENOENT);
        QVERIFY(!exists(tree.path("new")));
    }
};

QTEST_GUILESS_MAIN(TestRename)
#include "test_rename.moc"
