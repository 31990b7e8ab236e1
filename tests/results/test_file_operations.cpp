// SPDX-License-Identifier: GPL-2.0-or-later
#include "results/FileOperations.h"

#include "results/DeleteHistory.h"

#include "platform/ByteText.h"
#include "platform/FileSystem.h"
#include "platform/Trash.h"
#include "platform/desktop/DesktopOpen.h"
#include "support/FileRows.h"
#include "support/TempTree.h"

#include <QtTest>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <mutex>
#include <sys/stat.h>

using namespace trevalo;
using trevalo::test::exists;
using trevalo::test::readFile;
using trevalo::test::TempTree;

namespace {

// The row the search would list for a file as it is now.
ResultRow rowOf(const std::string& path, bool checked = true) {
    ResultRow row = rowOfFile(path, 1);
    row.checked = checked;
    return row;
}

// Sets a file's last-write time to the second and nanosecond.
void setMtimeNs(const std::string& path, std::time_t seconds, long nanoseconds) {
    const timespec times[2] = {{seconds, nanoseconds}, {seconds, nanoseconds}};
    QCOMPARE(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
}

// Another file in the place of a file of the tree, with the same bytes and last-write time
// (what cp -p or rsync -t leave).
void replaceKeepingTimes(TempTree& tree, const std::string& rel) {
    const FileStatus was = statPath(tree.path(rel), false);
    const std::string copy = tree.file(rel + ".new", readFile(tree.path(rel)));
    setMtimeNs(copy, was.mtime, was.mtimeNsec);
    QCOMPARE(::rename(copy.c_str(), tree.path(rel).c_str()), 0);
}

} // namespace

class TestFileOperations : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { ::unsetenv("XDG_DATA_HOME"); }

    // Only marked files go, each step is reported, and a cancel stops before the next file.
    void onlyMarkedFilesGoUntilCancelled() {
        TempTree tree;
        ::setenv("XDG_DATA_HOME", tree.path("data").c_str(), 1);
        const std::vector<ResultRow> rows = {
            rowOf(tree.file("a.txt", "x")), rowOf(tree.file("b.txt", "x"), false),
            rowOf(tree.file("c.txt", "x")), rowOf(tree.file("d.txt", "x"))};
        std::vector<std::size_t> steps;
        std::atomic<bool> cancel{false};
        const DeleteOutcome out = trashPlannedFiles(
            planDelete(rows),
            [&](std::size_t done, std::size_t total) {
                steps.push_back(done * 10 + total);
                cancel = done == 2;
            },
            &cancel);
        QCOMPARE(out.moved, std::vector<std::size_t>({0, 2}));
        QVERIFY(out.failures.empty() && out.cancelled);
        QCOMPARE(steps, std::vector<std::size_t>({13, 23}));
        QVERIFY(!exists(tree.path("a.txt")) && !exists(tree.path("c.txt")));
        QVERIFY(exists(tree.path("b.txt")) && exists(tree.path("d.txt")));
        QCOMPARE(readFile(tree.path("data/Trash/files/c.txt")), std::string("x"));
    }

    // Files that cannot move stay, each named with its reason, while the others go: a file in a
    // folder the user may not change (its .trashinfo taken back), a file gone, files changed
    // since the search (another size, another last-write time, no regular file, another file
    // with the same size and times, a last-write time later by nanoseconds), a file the search
    // could not measure, and a file inside the trash already (its place there kept).
    void filesThatCannotMoveAreNamedAndTheOthersStillGo() {
        TempTree tree;
        const std::string data = tree.dir("data");
        tree.chmod("data", 0777);
        const std::string stuck = tree.file("locked/stuck.txt", "2");
        tree.chmod("locked", 0555);
        const std::string free = tree.file("open/free.txt", "1");
        tree.chmod("open", 0777);
        tree.file("touched", "abc");
        tree.setMtime("touched", 1'600'000'000);
        const std::string trashed = tree.file("data/Trash/files/letter.txt", "in the trash");
        tree.file("data/Trash/info/letter.txt.trashinfo", "[Trash Info]\nPath=/letter.txt\n");
        std::vector<ResultRow> rows;
        for (const std::string& path :
             {stuck, free, free, tree.file("grown", "abc"), tree.path("touched"),
              tree.file("relinked", "abc"), tree.file("copied", "abc"), tree.file("nudged", "abc"),
              tree.file("unmeasured", "abc"), trashed})
            rows.push_back(rowOf(path));
        rows[2].name = "gone.txt";
        rows[8].mtimeKnown = false;
        tree.file("grown", "abcd");
        tree.setMtime("touched", 1'600'000'001);
        ::unlink(tree.path("relinked").c_str());
        tree.symlink("touched", "relinked");
        replaceKeepingTimes(tree, "copied");
        setMtimeNs(tree.path("nudged"), rows[7].stamp.mtime, rows[7].stamp.mtimeNsec == 5 ? 6 : 5);
        tree.chmod("data/Trash/files", 0777);
        tree.chmod("data/Trash/info", 0777);

        QVERIFY(trevalo::test::runUnprivileged([&] {
            ::setenv("XDG_DATA_HOME", data.c_str(), 1);
            const DeleteOutcome out = trashPlannedFiles(planDelete(rows));
            std::vector<std::string> failed;
            for (const DeleteFailure& f : out.failures)
                failed.push_back(std::to_string(f.row) + " " + f.reason);
            const std::string changed = kChangedSinceSearch;
            const std::vector<std::string> expected = {"0 Permission denied",
                                                       "2 No such file or directory",
                                                       "3 " + changed,
                                                       "4 " + changed,
                                                       "5 " + changed,
                                                       "6 " + changed,
                                                       "7 " + changed,
                                                       std::string("8 ") + kNotMeasured,
                                                       std::string("9 ") +
                                                           reasonText(kReasonInTrash)};
            return out.moved == std::vector<std::size_t>{1} && failed == expected &&
                   !exists(data + "/Trash/info/stuck.txt.trashinfo") &&
                   !exists(data + "/Trash/files/letter.txt.2") &&
                   !exists(data + "/Trash/info/letter.txt.2.trashinfo");
        }));
        QCOMPARE(readFile(stuck), std::string("2"));
        QCOMPARE(readFile(tree.path("touched")), std::string("abc"));
        QCOMPARE(readFile(tree.path("copied")), std::string("abc"));
        QCOMPARE(readFile(trashed), std::string("in the trash"));
        QVERIFY(!exists(free));
    }

    // A delete and its restore, as the window runs them: every byte comes back, the rows come
    // back unmarked in each list they left, and a restored file can be deleted again (its row
    // carries the stamp it has now). Deletes come back last first.
    void restoreBringsBackFilesAndRowsOfTheLastDeleteFirst() {
        TempTree tree;
        ::setenv("XDG_DATA_HOME", tree.path("data").c_str(), 1);
        std::array<std::vector<ResultRow>, kResultListCount> lists;
        const std::string big(300000, '\x5a');
        for (const std::string rel : {"a/one", "b/one", "a/two", "b/two"})
            lists[ListDuplicates].push_back(rowOf(tree.file(rel, big + rel), false));
        lists[ListSameName] = {lists[ListDuplicates][0], lists[ListDuplicates][1]};
        DeleteHistory history;
        // One delete per step, from the "Duplicates" list; the rows of the files that went
        // leave every list.
        const auto deleteMarked = [&](std::vector<std::string> paths) {
            for (ResultRow& row : lists[ListDuplicates])
                row.checked = std::find(paths.begin(), paths.end(), row.path()) != paths.end();
            const DeletePlan plan = planDelete(lists[ListDuplicates]);
            DeleteRecord record(plan, trashPlannedFiles(plan));
            for (int list = 0; list < kResultListCount; ++list)
                std::erase_if(lists[static_cast<std::size_t>(list)],
                              [&](const ResultRow& row) { return record.takeRow(list, row); });
            history.push(std::move(record));
        };
        deleteMarked({tree.path("a/one"), tree.path("a/two")});
        deleteMarked({tree.path("b/two")});
        history.push(DeleteRecord(planDelete({}), {})); // nothing moved: not remembered
        QCOMPARE(history.size(), std::size_t(2));
        QCOMPARE(lists[ListDuplicates].size(), std::size_t(1));
        QCOMPARE(lists[ListSameName].size(), std::size_t(1));

        RestoreReport last = history.restoreLast();
        QCOMPARE(last.restoredCount(), std::size_t(1));
        QCOMPARE(last.rows[ListDuplicates].size(), std::size_t(1));
        QCOMPARE(readFile(tree.path("b/two")), big + "b/two");
        QVERIFY(!exists(tree.path("a/one")));

        RestoreReport first = history.restoreLast();
        QVERIFY(history.empty());
        QCOMPARE(first.restoredCount(), std::size_t(2));
        QVERIFY(restoreMessage(first).isEmpty());
        for (const std::string rel : {"a/one", "a/two"})
            QCOMPARE(readFile(tree.path(rel)), big + rel);
        QCOMPARE(first.rows[ListSameName].size(), std::size_t(1));
        QCOMPARE(first.rows[ListSameName][0].path(), tree.path("a/one"));
        std::vector<ResultRow> again = first.rows[ListDuplicates];
        QCOMPARE(again.size(), std::size_t(2));
        for (ResultRow& row : again) {
            QVERIFY(!row.checked);
            row.checked = true;
        }
        const DeleteOutcome redo = trashPlannedFiles(planDelete(again));
        QVERIFY(redo.failures.empty());
        QCOMPARE(redo.moved.size(), std::size_t(2));
    }

    // A restore stopped after its first file leaves the others to the next one; the row a
    // delete had settled comes back with the first file of its group that does.
    void aStoppedRestoreLeavesTheRestAndSettledRowsComeBack() {
        TempTree tree;
        ::setenv("XDG_DATA_HOME", tree.path("data").c_str(), 1);
        std::vector<ResultRow> rows;
        for (const char* rel : {"a", "b", "c"})
            rows.push_back(rowOf(tree.file(rel, "group 1")));
        ResultRow twin = rowOf(tree.file("twin", "group 1"), false);
        ResultRow stranger = rowOf(tree.file("stranger", "group 2"), false);
        stranger.group = 2;
        const DeletePlan plan = planDelete(rows);
        DeleteRecord record(plan, trashPlannedFiles(plan));
        for (const ResultRow& row : rows)
            QVERIFY(record.takeRow(ListDuplicates, row));
        record.keepSettled(ListDuplicates, {twin, stranger});

        std::atomic<bool> stop{false};
        const RestoreReport first = restoreDelete(
            record, true, [&](std::size_t, std::size_t) { stop = true; }, &stop);
        QVERIFY(first.cancelled);
        QCOMPARE(first.restoredCount(), std::size_t(1));
        QVERIFY(exists(tree.path("a")) && !exists(tree.path("b")));
        std::vector<std::string> back;
        for (const ResultRow& row : first.rows[ListDuplicates])
            back.push_back(row.name);
        QCOMPARE(back, (std::vector<std::string>{"a", "twin"}));

        const RestoreReport rest = restoreDelete(record.untried(first.files.size()));
        QVERIFY(!rest.cancelled);
        QCOMPARE(rest.restoredCount(), std::size_t(2));
        QVERIFY(exists(tree.path("b")) && exists(tree.path("c")));
    }

    // Files that cannot come back are named, and nothing at their old place is replaced: one
    // whose place was taken, one emptied from the trash; the rest come back.
    void restoreNamesWhatItCouldNotPutBack() {
        TempTree tree;
        ::setenv("XDG_DATA_HOME", tree.path("data").c_str(), 1);
        std::vector<ResultRow> rows;
        for (const char* rel : {"taken", "emptied", "fine"})
            rows.push_back(rowOf(tree.file(rel, rel)));
        const DeletePlan plan = planDelete(rows);
        const DeleteOutcome outcome = trashPlannedFiles(plan);
        QCOMPARE(outcome.places.size(), std::size_t(3));
        DeleteRecord record(plan, outcome);
        for (const ResultRow& row : rows)
            QVERIFY(record.takeRow(ListDuplicates, row));
        tree.file("taken", "someone else's");
        const TrashLocation& emptied = outcome.places[1];
        std::filesystem::remove(emptied.trashFolder + "/files/" + emptied.trashedName);
        std::filesystem::remove(emptied.trashFolder + "/info/" + emptied.trashedName +
                                ".trashinfo");

        const RestoreReport report = restoreDelete(record);
        QCOMPARE(report.files.size(), std::size_t(3));
        QCOMPARE(report.files[0].result.status, RestoreStatus::OriginalTaken);
        QCOMPARE(report.files[1].result.status, RestoreStatus::NotInTrash);
        QCOMPARE(report.files[2].result.status, RestoreStatus::Restored);
        QCOMPARE(readFile(tree.path("taken")), std::string("someone else's"));
        QCOMPARE(
            readFile(outcome.places[0].trashFolder + "/files/" + outcome.places[0].trashedName),
            std::string("taken"));
        QCOMPARE(readFile(tree.path("fine")), std::string("fine"));
        QCOMPARE(report.rows[ListDuplicates].size(), std::size_t(1));
        const QString message = restoreMessage(report, 1);
        QVERIFY(message.startsWith(QStringLiteral("Not restored:\n") +
                                   QString::fromStdString(tree.path("taken")) +
                                   QStringLiteral(": a file now stands")));
        QVERIFY(message.endsWith(QStringLiteral("\n... and 1 more")));
    }

    // Before the question: which groups of "Duplicates" keep a copy on disk, and how many files
    // of the delete keep none, whichever list it runs from.
    void copiesLeftAreLookedUpOnDisk() {
        TempTree tree;
        std::vector<ResultRow> duplicates;
        const auto member = [&](const std::string& rel, std::int64_t group) {
            duplicates.push_back(rowOf(tree.file(rel, "group " + std::to_string(group)), false));
            duplicates.back().group = group;
            return duplicates.back();
        };
        // Group 1 keeps b (marked in "Duplicates", but this delete runs from another list);
        // group 2's other copy was replaced by a file with the same bytes and times; group 3
        // goes whole; group 4's other copy is gone.
        std::vector<ResultRow> sameName = {member("1/a", 1), member("2/c", 2), member("3/e", 3),
                                           member("3/f", 3), member("4/g", 4)};
        duplicates.push_back(rowOf(tree.file("1/b", "group 1")));
        duplicates.back().group = 1;
        member("2/d", 2);
        member("4/h", 4);
        replaceKeepingTimes(tree, "2/d");
        ::unlink(tree.path("4/h").c_str());
        sameName.push_back(rowOf(tree.file("z/only", "no copy anywhere")));
        sameName.push_back(rowOf(tree.file("z/empty")));
        // Group 5's other row is the same file reached through a linked folder: no copy.
        sameName.push_back(member("5/i", 5));
        tree.symlink("5", "5link");
        duplicates.push_back(rowOf(tree.path("5link/i")));
        duplicates.back().group = 5;
        for (ResultRow& r : sameName)
            r.checked = true;

        const CopiesLeft left = copiesLeftAfter(planDelete(sameName), duplicates);
        QCOMPARE(left.groupsWithoutCopy, std::size_t(4));
        QCOMPARE(left.filesWithoutCopy, std::size_t(6)); // c, e, f, g, only, i

        // From "Duplicates" itself: a group whose every row is marked keeps no copy.
        for (ResultRow& r : duplicates)
            r.checked = r.group == 1;
        const CopiesLeft whole = copiesLeftAfter(planDelete(duplicates), duplicates);
        QCOMPARE(whole.groupsWithoutCopy, std::size_t(1));
        QCOMPARE(whole.filesWithoutCopy, std::size_t(2));
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

    // Only the row's name changes; a taken name, a folder's name or what is not a plain name is
    // refused, both files intact.
    void renameNeverReplacesAndTakesOnlyAName() {
        TempTree tree;
        tree.file("d.x/b.txt", "B");
        tree.dir("d.x/sub");
        ResultRow row = rowOf(tree.file("d.x/a.txt", "A"));
        for (const std::string& name :
             {std::string("b.txt"), std::string("sub"), std::string(), std::string("."),
              std::string(".."), std::string("sub/a.txt"), std::string("../a.txt"),
              std::string("x\0y", 3)})
            QVERIFY2(!renameFileOfRow(row, name).ok, name.c_str());
        QCOMPARE(readFile(tree.path("d.x/a.txt")), std::string("A"));
        QCOMPARE(readFile(tree.path("d.x/b.txt")), std::string("B"));
        QVERIFY(!exists(tree.path("d.x/sub/a.txt")) && !exists(tree.path("a.txt")) &&
                !exists(tree.path("d.x/x")));

        QVERIFY(renameFileOfRow(row, "b \xE9.txt").ok);
        QCOMPARE(readFile(tree.path("d.x/b \xE9.txt")), std::string("A"));

        // Another file in the row's place, with the same bytes and times, is not renamed.
        ResultRow other = rowOf(tree.file("d.x/c.txt", "C"));
        replaceKeepingTimes(tree, "d.x/c.txt");
        const RenameOutcome refused = renameFileOfRow(other, "d.txt");
        QCOMPARE(refused.reason, std::string(kChangedSinceSearch));
        QVERIFY(exists(tree.path("d.x/c.txt")) && !exists(tree.path("d.x/d.txt")));
    }

    // The rename prompt starts from the shown name; what the user leaves of it keeps its bytes.
    void editedNamesKeepTheBytesLeftAlone_data() {
        QTest::addColumn<QByteArray>("original");
        QTest::addColumn<QString>("edited");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("typed after a byte that is not UTF-8")
            << QByteArray("caf\xE9.txt") << QStringLiteral("caf\uFFFD-2.txt")
            << QByteArray("caf\xE9-2.txt");
        QTest::newRow("two such bytes, one deleted")
            << QByteArray("a\xE9\xE8z") << QStringLiteral("a\uFFFDz") << QByteArray("a\xE9z");
        QTest::newRow("front and back edited")
            << QByteArray("\xFFmid\xFE") << QStringLiteral("X\uFFFDmid\uFFFDY")
            << QByteArray("X\xFFmid\xFEY");
        QTest::newRow("a character outside the basic plane kept, an accent typed")
            << QByteArray("\xF0\x9F\x93\x84 \xE9.txt")
            << QStringLiteral("\U0001F4C4 \uFFFD\u00E9.txt")
            << QByteArray("\xF0\x9F\x93\x84 \xE9\xC3\xA9.txt");
        QTest::newRow("all replaced")
            << QByteArray("\xE9\xE8") << QStringLiteral("new") << QByteArray("new");
        QTest::newRow("a truncated sequence is one character per byte")
            << QByteArray("x\xE2\x82y") << QStringLiteral("x\uFFFD\uFFFDy!")
            << QByteArray("x\xE2\x82y!");
    }
    void editedNamesKeepTheBytesLeftAlone() {
        QFETCH(QByteArray, original);
        QFETCH(QString, edited);
        QFETCH(QByteArray, expected);
        const std::string bytes = original.toStdString();
        QCOMPARE(bytesOfEditedName(bytes, displayText(bytes)), bytes);
        QCOMPARE(QByteArray::fromStdString(bytesOfEditedName(original.toStdString(), edited)),
                 expected);
    }

    // The launcher gets the exact bytes of the path; when it fails (as xdg-open does when no
    // program is set up for the type) the failure comes back with its reason, and without a
    // launcher the request says so at once.
    void openHandsTheExactBytesToTheDesktopsOpener() {
        const std::string target = "/data/caf\xE9 #1.txt";
        QCOMPARE(fileUrlOf(target).toEncoded(), QByteArray("file:///data/caf%E9%20%231.txt"));
        TempTree tree;
        const std::string record = tree.path("opened.txt");
        tree.file("bin/xdg-open", "#!/bin/sh\necho \"$@\" > '" + record + "'\nexit 3\n");
        tree.chmod("bin/xdg-open", 0755);
        const QByteArray path = qgetenv("PATH");
        const auto restorePath = qScopeGuard([&] { qputenv("PATH", path); });
        qputenv("PATH", QByteArray::fromStdString(tree.path("bin")));
        std::mutex mutex;
        QString reason;
        const QString started = openWithDesktop(fileUrlOf(target), [&](const QString& why) {
            const std::lock_guard lock(mutex);
            reason = why;
        });
        QVERIFY2(started.isEmpty(), qPrintable(started));
        QTRY_VERIFY_WITH_TIMEOUT(
            [&] {
                const std::lock_guard lock(mutex);
                return !reason.isEmpty();
            }(),
            10000);
        QCOMPARE(reason, QStringLiteral("the desktop has no program set up to open it"));
        QCOMPARE(readFile(record), std::string("file:///data/caf%E9%20%231.txt\n"));

        qputenv("PATH", QByteArray::fromStdString(tree.path("none")));
        QVERIFY(openWithDesktop(fileUrlOf(target), {}).contains(QStringLiteral("xdg-open")));
    }
};

// As the child of the test above: opens one file under a display and ends.
QTEST_GUILESS_MAIN(TestFileOperations)

#include "test_file_operations.moc"
