#include "results/FileOperations.h"

#include "platform/FileSystem.h"
#include "platform/desktop/ShellOpen.h"
#include "support/TempTree.h"

#include <QDesktopServices>
#include <QGuiApplication>
#include <QProcess>
#include <QtTest>

#include <cstdlib>
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

// The row the search would have listed for a file as it is now.
ResultRow rowOf(const std::string& path, bool checked, std::int64_t group = 1) {
    ResultRow row;
    const auto slash = path.rfind('/');
    row.folder = path.substr(0, slash + 1);
    row.name = path.substr(slash + 1);
    const FileStatus st = statPath(path);
    row.size = st.size;
    row.mtime = st.mtime;
    row.mtimeKnown = st.kind == FileKind::Regular;
    row.group = group;
    row.checked = checked;
    return row;
}

ResultRow groupRow(std::int64_t group, bool checked) {
    ResultRow row;
    row.folder = "/g/";
    row.name = std::to_string(group);
    row.group = group;
    row.checked = checked;
    return row;
}

// A home trash inside the tree for the life of the object.
class TrashInTree {
public:
    explicit TrashInTree(const TempTree& tree) : trash_(tree.path("data/Trash")) {
        ::setenv("XDG_DATA_HOME", tree.path("data").c_str(), 1);
    }
    ~TrashInTree() { ::unsetenv("XDG_DATA_HOME"); }
    std::string file(const std::string& name) const { return trash_ + "/files/" + name; }

private:
    std::string trash_;
};

constexpr const char* kOpenInChild = "TREVALO_TEST_OPEN_HEX";

// Stands in for the desktop's opener: records what it was asked to open.
class FakeOpener : public QObject {
    Q_OBJECT
public:
    explicit FakeOpener(const QStringList& schemes) : schemes_(schemes) {
        for (const QString& scheme : schemes_)
            QDesktopServices::setUrlHandler(scheme, this, "open");
    }
    ~FakeOpener() override {
        for (const QString& scheme : schemes_)
            QDesktopServices::unsetUrlHandler(scheme);
    }
    QList<QUrl> opened;

public slots:
    void open(const QUrl& url) { opened << url; }

private:
    QStringList schemes_;
};

} // namespace

class TestFileOperations : public QObject {
    Q_OBJECT

private slots:
    void onlyMarkedFilesGoToTheTrashAndTheirRowsAreReported() {
        TempTree tree;
        TrashInTree trash(tree);
        const std::vector<ResultRow> rows = {rowOf(tree.file("a.txt", "same"), true),
                                             rowOf(tree.file("b.txt", "same"), false),
                                             rowOf(tree.file("c \xE9.txt", "same"), true)};
        std::vector<std::pair<std::size_t, std::size_t>> steps;

        const DeleteOutcome out = trashMarkedRows(
            rows, [&](std::size_t done, std::size_t total) { steps.emplace_back(done, total); });

        QCOMPARE(out.moved, std::vector<std::size_t>({0, 2}));
        QVERIFY(out.failures.empty());
        QVERIFY(!out.cancelled);
        QVERIFY(!exists(tree.path("a.txt")) && !exists(tree.path("c \xE9.txt")));
        QCOMPARE(readAll(tree.path("b.txt")), std::string("same"));
        QCOMPARE(readAll(trash.file("c \xE9.txt")), std::string("same"));
        QCOMPARE(steps, (std::vector<std::pair<std::size_t, std::size_t>>{{1, 2}, {2, 2}}));
    }

    void fileChangedSinceTheSearchStaysWithItsRow() {
        TempTree tree;
        TrashInTree trash(tree);
        tree.file("grown.txt", "abc");
        tree.file("touched.txt", "abc");
        tree.setMtime("touched.txt", 1'600'000'000);
        const std::vector<ResultRow> rows = {rowOf(tree.path("grown.txt"), true),
                                             rowOf(tree.path("touched.txt"), true),
                                             rowOf(tree.file("kept.txt", "abc"), true)};
        tree.file("grown.txt", "abcd");              // new size
        tree.setMtime("touched.txt", 1'600'000'001); // same size, new last-write time
        ::unlink(tree.path("kept.txt").c_str());
        tree.symlink("grown.txt", "kept.txt"); // no longer a regular file

        const DeleteOutcome out = trashMarkedRows(rows);

        QVERIFY(out.moved.empty());
        QCOMPARE(out.failures.size(), std::size_t(3));
        for (std::size_t i = 0; i < 3; ++i) {
            QCOMPARE(out.failures[i].row, i);
            QCOMPARE(out.failures[i].reason, std::string(kChangedSinceSearch));
        }
        QCOMPARE(out.failures[0].path, tree.path("grown.txt"));
        QCOMPARE(readAll(tree.path("grown.txt")), std::string("abcd"));
        QCOMPARE(readAll(tree.path("touched.txt")), std::string("abc"));
        QVERIFY(!exists(trash.file("touched.txt")));
    }

    void fileThatCannotMoveIsNamedAndTheOthersStillGo() {
        TempTree tree;
        tree.dir("data");
        tree.chmod("data", 0777);
        const std::string free = tree.file("open/free.txt", "1");
        const std::string stuck = tree.file("locked/stuck.txt", "2");
        const std::string gone = tree.path("open/gone.txt");
        tree.chmod("open", 0777);
        tree.chmod("locked", 0555);
        std::vector<ResultRow> rows = {rowOf(stuck, true), rowOf(free, true), rowOf(free, true)};
        rows[2].name = "gone.txt";
        const std::string data = tree.path("data");

        QVERIFY(trevalo::test::runUnprivileged([&] {
            ::setenv("XDG_DATA_HOME", data.c_str(), 1);
            const DeleteOutcome out = trashMarkedRows(rows);
            return out.moved == std::vector<std::size_t>{1} && out.failures.size() == 2 &&
                   out.failures[0].row == 0 && out.failures[0].path == stuck &&
                   out.failures[0].reason == "Permission denied" && out.failures[1].row == 2 &&
                   out.failures[1].path == gone &&
                   out.failures[1].reason == "No such file or directory";
        }));
        QCOMPARE(readAll(stuck), std::string("2"));
        QVERIFY(!exists(free));
    }

    void cancelStopsBeforeTheNextFile() {
        TempTree tree;
        TrashInTree trash(tree);
        const std::vector<ResultRow> rows = {rowOf(tree.file("1", "x"), true),
                                             rowOf(tree.file("2", "x"), true),
                                             rowOf(tree.file("3", "x"), true)};
        std::atomic<bool> cancel{false};

        const DeleteOutcome out = trashMarkedRows(
            rows, [&](std::size_t, std::size_t) { cancel = true; }, &cancel);

        QVERIFY(out.cancelled);
        QCOMPARE(out.moved, std::vector<std::size_t>({0}));
        QVERIFY(out.failures.empty());
        QVERIFY(exists(tree.path("2")) && exists(tree.path("3")));
    }

    void planKeepsWhatTheWorkerNeedsOfTheMarkedRows() {
        TempTree tree;
        TrashInTree trash(tree);
        std::vector<ResultRow> rows = {rowOf(tree.file("a", "x"), false),
                                       rowOf(tree.file("b", "xy"), true)};
        const DeletePlan plan = planDelete(rows);
        rows.clear(); // the worker never looks at the list
        QCOMPARE(plan.items.size(), std::size_t(1));
        QCOMPARE(plan.items[0].row, std::size_t(1));
        QCOMPARE(plan.items[0].path, tree.path("b"));
        QCOMPARE(trashPlannedFiles(plan).moved, std::vector<std::size_t>({1}));
        QCOMPARE(readAll(trash.file("b")), std::string("xy"));
    }

    void groupsWithEveryRowMarkedAreCounted() {
        // Rows of a group need not stand together.
        const std::vector<ResultRow> rows = {
            groupRow(1, true),  groupRow(2, true), groupRow(3, true), groupRow(1, true),
            groupRow(2, false), groupRow(3, true), groupRow(3, true), groupRow(4, false)};
        QCOMPARE(groupsLosingEveryCopy(rows), std::size_t(2));
        QCOMPARE(countMarked(rows), std::size_t(6));
        QCOMPARE(groupsLosingEveryCopy({}), std::size_t(0));
    }

    void failureMessageNamesEachFileWithItsReason() {
        const std::vector<DeleteFailure> failures = {{0, "/d/a.txt", "Permission denied"},
                                                     {3, "/d/caf\xE9", kChangedSinceSearch},
                                                     {4, "/d/c", "No such file or directory"}};
        QCOMPARE(failureMessage(failures),
                 QString("Deletion failed: \n/d/a.txt: Permission denied\n/d/caf\uFFFD: "
                         "changed since the search\n/d/c: No such file or directory"));
        QCOMPARE(failureMessage(failures, 1),
                 QString("Deletion failed: \n/d/a.txt: Permission denied\n... and 2 more"));
    }

    void renameChangesOnlyTheRowsName() {
        TempTree tree;
        ResultRow row = rowOf(tree.file("d.x/a.txt", "A"), true);
        const RenameOutcome r = renameRowFile(row, "b \xE9.txt");
        QVERIFY2(r.ok, r.reason.c_str());
        QCOMPARE(row.name, std::string("b \xE9.txt"));
        QCOMPARE(row.folder, tree.path("d.x") + "/");
        QVERIFY(row.checked);
        QVERIFY(!exists(tree.path("d.x/a.txt")));
        QCOMPARE(readAll(tree.path("d.x/b \xE9.txt")), std::string("A"));
    }

    void renameOntoAnExistingNameIsRefusedWithBothFilesIntact() {
        TempTree tree;
        ResultRow row = rowOf(tree.file("a.txt", "A"), false);
        tree.file("b.txt", "B");
        const RenameOutcome r = renameRowFile(row, "b.txt");
        QVERIFY(!r.ok);
        QCOMPARE(r.reason, std::string("File exists"));
        QCOMPARE(row.name, std::string("a.txt"));
        QCOMPARE(readAll(tree.path("a.txt")), std::string("A"));
        QCOMPARE(readAll(tree.path("b.txt")), std::string("B"));
    }

    void renameRefusesWhatIsNotAPlainName() {
        TempTree tree;
        tree.dir("sub");
        ResultRow row = rowOf(tree.file("a.txt", "A"), false);
        for (const std::string& name :
             {std::string(), std::string("."), std::string(".."), std::string("sub/a.txt"),
              std::string("../a.txt"), std::string("/tmp/x"), std::string("x\0y", 3)}) {
            const RenameOutcome r = renameRowFile(row, name);
            QVERIFY2(!r.ok, name.c_str());
            QCOMPARE(row.name, std::string("a.txt"));
        }
        QCOMPARE(readAll(tree.path("a.txt")), std::string("A"));
        QVERIFY(!exists(tree.path("sub/a.txt")) && !exists(tree.path("x")));
        QVERIFY(isAcceptableNewName("...") && isAcceptableNewName(".hidden"));
    }

    void renameOfAFileThatIsGoneFails() {
        TempTree tree;
        ResultRow row = rowOf(tree.file("a.txt", "A"), false);
        ::unlink(tree.path("a.txt").c_str());
        QVERIFY(!renameRowFile(row, "b.txt").ok);
        QCOMPARE(row.name, std::string("a.txt"));
    }

    void openHandsTheExactPathToTheDesktop() {
        FakeOpener opener({"file"});
        const std::string plain = "/data/a b#1%?.txt";
        const std::string latin1 = "/data/caf\xE9.txt";
        QVERIFY(ShellOpen(plain));
        QVERIFY(ShellOpen(latin1));
        QCOMPARE(opener.opened.size(), 2);
        QVERIFY(opener.opened[0].isLocalFile());
        QCOMPARE(opener.opened[0].toLocalFile(), QString::fromStdString(plain));
        // Bytes that are not UTF-8 travel percent-encoded, as they are.
        const QByteArray encoded = opener.opened[1].toEncoded();
        QCOMPARE(encoded, QByteArray("file:///data/caf%E9.txt"));
        QCOMPARE(
            QByteArray::fromPercentEncoding(opener.opened[1].path(QUrl::FullyEncoded).toLatin1())
                .toStdString(),
            latin1);
    }

    void openRunsTheDesktopsOpenerWithTheExactBytes() {
        // Under a real display Qt hands the file to xdg-open; a fake one first on PATH
        // records what it gets.
        const QString xvfb = QStandardPaths::findExecutable("xvfb-run");
        if (xvfb.isEmpty())
            QSKIP("xvfb-run is not installed");
        TempTree tree;
        const std::string record = tree.path("opened.txt");
        tree.file("bin/xdg-open", "#!/bin/sh\nprintf '%s\\n' \"$@\" > '" + record + "'\n");
        tree.chmod("bin/xdg-open", 0755);
        const std::string target = "/data/caf\xE9 1.txt";

        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("PATH", QString::fromStdString(tree.path("bin")) + ":" + env.value("PATH"));
        env.insert("QT_QPA_PLATFORM", "xcb");
        env.insert(kOpenInChild, QByteArray::fromStdString(target).toHex());
        QProcess child;
        child.setProcessEnvironment(env);
        child.start(xvfb, {"-a", QCoreApplication::applicationFilePath()});
        QVERIFY(child.waitForFinished(120000));
        QVERIFY2(child.exitCode() == 0, child.readAllStandardError().constData());
        // The opener runs detached; wait until it has written its line.
        QTRY_VERIFY_WITH_TIMEOUT(readAll(record).find('\n') != std::string::npos, 60000);
        QCOMPARE(readAll(record), std::string("file:///data/caf%E9%201.txt\n"));
    }

    void openWebPageOpensTheAddress() {
        FakeOpener opener({"https"});
        QVERIFY(openWebPage("https://example.org/trevalo/"));
        QCOMPARE(opener.opened, QList<QUrl>({QUrl("https://example.org/trevalo/")}));
    }
};

// Run as the child of openRunsTheDesktopsOpenerWithTheExactBytes: opens one file under a
// display and ends.
int main(int argc, char** argv) {
    if (qEnvironmentVariableIsSet(kOpenInChild)) {
        QGuiApplication app(argc, argv);
        const QByteArray path = QByteArray::fromHex(qgetenv(kOpenInChild));
        return ShellOpen(path.toStdString()) ? 0 : 1;
    }
    QCoreApplication app(argc, argv);
    TestFileOperations test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}
#include "test_file_operations.moc"
