// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/Trash.h"

#include "support/TempTree.h"

#include <QtTest>
#include <ctime>

#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

using namespace trevalo;
using trevalo::test::exists;
using trevalo::test::readFile;
using trevalo::test::TempTree;

namespace {

// The value of one key of a .trashinfo.
std::string infoValue(const TrashResult& r, const std::string& key) {
    std::istringstream in(readFile(r.trashFolder + "/info/" + r.trashedName + ".trashinfo"));
    for (std::string line; std::getline(in, line);)
        if (line.starts_with(key + "="))
            return line.substr(key.size() + 1);
    return {};
}

std::string percentDecode(const std::string& text) {
    return QByteArray::fromPercentEncoding(QByteArray::fromStdString(text)).toStdString();
}

} // namespace

class TestTrash : public QObject {
    Q_OBJECT

private slots:
    void init() {
        ::setenv("TZ", "Etc/GMT-5", 1); // far from UTC, so that a date written in UTC shows
        ::tzset();
    }
    void cleanup() { ::unsetenv("XDG_DATA_HOME"); }

    void missingHomeTrashIsCreatedAndTheFileCanBeRestored() {
        TempTree tree;
        ::setenv("XDG_DATA_HOME", tree.path("data").c_str(), 1);
        const std::string name = "caf\xE9 %+.txt"; // not UTF-8
        const std::string original = tree.file("docs/" + name, "hello");
        const std::time_t before = std::time(nullptr);

        const TrashResult r = moveToTrash(original);

        QVERIFY2(r.ok(), r.reason.c_str());
        QCOMPARE(r.trashFolder, tree.path("data/Trash"));
        for (const char* sub : {"", "/files", "/info"}) {
            struct stat sb;
            QVERIFY(::stat((r.trashFolder + sub).c_str(), &sb) == 0);
            QCOMPARE(sb.st_mode & 0777, mode_t(0700));
        }
        QCOMPARE(r.trashedName, name);
        QVERIFY(!exists(original));
        QVERIFY(
            readFile(r.trashFolder + "/info/" + name + ".trashinfo").starts_with("[Trash Info]\n"));
        QCOMPARE(infoValue(r, "Path"), tree.root() + "/docs/caf%E9%20%25%2B.txt");
        // The deletion date is local time: read back as local time, it is the time of the move.
        const std::string date = infoValue(r, "DeletionDate");
        std::tm tm{};
        QVERIFY2(::strptime(date.c_str(), "%Y-%m-%dT%H:%M:%S", &tm) != nullptr, date.c_str());
        tm.tm_isdst = -1;
        const std::time_t written = std::mktime(&tm);
        QVERIFY2(before <= written && written <= std::time(nullptr), date.c_str());

        // What a desktop's trash does to restore it.
        const std::string back = percentDecode(infoValue(r, "Path"));
        QCOMPARE(::rename((r.trashFolder + "/files/" + name).c_str(), back.c_str()), 0);
        QCOMPARE(readFile(original), std::string("hello"));
    }

    void sameNameInTheTrashGetsANumberAndNothingIsReplaced() {
        TempTree tree;
        ::setenv("XDG_DATA_HOME", tree.path("data").c_str(), 1);
        const TrashResult first = moveToTrash(tree.file("one/r.txt", "first"));
        tree.file("data/Trash/files/r.txt.2", "orphan"); // in files/ without a .trashinfo
        const TrashResult second = moveToTrash(tree.file("two/r.txt", "second"));

        QVERIFY(first.ok() && second.ok());
        QCOMPARE(second.trashedName, std::string("r.txt.3"));
        QCOMPARE(readFile(first.trashFolder + "/files/r.txt"), std::string("first"));
        QCOMPARE(readFile(first.trashFolder + "/files/r.txt.2"), std::string("orphan"));
        QCOMPARE(readFile(first.trashFolder + "/files/r.txt.3"), std::string("second"));
        QVERIFY(!exists(first.trashFolder + "/info/r.txt.2.trashinfo"));
        QCOMPARE(percentDecode(infoValue(second, "Path")), tree.path("two/r.txt"));
    }

    void mountTrashUsesTheSharedFolderOnlyWhenItIsSafe() {
        const std::string uid = std::to_string(::getuid());
        TempTree sticky, plain, linked;
        for (TempTree* top : {&sticky, &plain})
            top->dir(".Trash");
        sticky.chmod(".Trash", 01777);
        plain.chmod(".Trash", 0777); // without the sticky bit anyone could take our files
        linked.dir("elsewhere");
        linked.chmod("elsewhere", 01777);
        linked.symlink(linked.path("elsewhere"), ".Trash");

        QCOMPARE(mountTrash(sticky.root()).folder, sticky.path(".Trash/" + uid));
        QVERIFY(exists(sticky.path(".Trash/" + uid + "/info")));
        QCOMPARE(mountTrash(plain.root()).folder, plain.path(".Trash-" + uid));
        QCOMPARE(mountTrash(linked.root()).folder, linked.path(".Trash-" + uid));
        QVERIFY(!exists(linked.path("elsewhere/" + uid)));
    }

    void fileOnAnotherFileSystemGoesToThatMountsTrash() {
        TempTree tree;
        ::setenv("XDG_DATA_HOME", tree.path("data").c_str(), 1);
        struct stat here, shm;
        if (::stat(tree.root().c_str(), &here) != 0 || ::stat("/dev/shm", &shm) != 0 ||
            here.st_dev == shm.st_dev || ::access("/dev/shm", W_OK) != 0)
            QSKIP("no second writable file system at /dev/shm");
        const std::string own = "/dev/shm/.Trash-" + std::to_string(::getuid());
        const bool ownThere = exists(own);
        TempTree shmTree("/dev/shm");
        const TrashResult r = moveToTrash(shmTree.file("on shm.txt", "elsewhere"));
        const std::string path = r.ok() ? infoValue(r, "Path") : r.reason;
        std::error_code ignored;
        if (!ownThere)
            std::filesystem::remove_all(own, ignored);
        else if (r.ok())
            for (const std::string& f :
                 {"/files/" + r.trashedName, "/info/" + r.trashedName + ".trashinfo"})
                std::filesystem::remove(r.trashFolder + f, ignored);
        QCOMPARE(path, shmTree.root() + "/on%20shm.txt");
        QVERIFY2(r.trashFolder.starts_with("/dev/shm/.Trash"), r.trashFolder.c_str());
    }

    // The way back: by the .trashinfo's path (percent-decoded, any bytes), into folders made
    // anew when they went meanwhile, and the .trashinfo goes with it; only once.
    void restorePutsTheFileBackWhereItsTrashinfoSays() {
        TempTree tree;
        ::setenv("XDG_DATA_HOME", tree.path("data").c_str(), 1);
        const std::string name = "caf\xE9 50%.txt";
        const std::string original = tree.file("docs/sub/" + name, std::string(100000, 'z'));
        const TrashResult r = moveToTrash(original);
        QVERIFY2(r.ok(), r.reason.c_str());
        std::filesystem::remove_all(tree.path("docs"));

        const RestoreResult back = restoreFromTrash(r.trashFolder, r.trashedName);
        QVERIFY2(back.restored(), back.reason.c_str());
        QCOMPARE(back.originalPath, original);
        QCOMPARE(readFile(original), std::string(100000, 'z'));
        QVERIFY(back.reason.empty());
        QVERIFY(isSameFile(statPath(original, false), back.stamp));
        QVERIFY(!exists(r.trashFolder + "/info/" + r.trashedName + ".trashinfo"));
        QVERIFY(!exists(r.trashFolder + "/files/" + r.trashedName));

        const RestoreResult again = restoreFromTrash(r.trashFolder, r.trashedName);
        QCOMPARE(again.status, RestoreStatus::NotInTrash);
        QCOMPARE(readFile(original), std::string(100000, 'z'));
    }

    // Whatever stands at the original path now stays, and so does the file in the trash; a
    // file of the same name in the trash that is not the one that went is not taken for it.
    void restoreNeverReplacesAndKnowsItsFile() {
        TempTree tree;
        ::setenv("XDG_DATA_HOME", tree.path("data").c_str(), 1);
        const std::string original = tree.file("a.txt", "old");
        const FileStamp went = statPath(original, false).stamp();
        const TrashResult r = moveToTrash(original);
        QVERIFY(r.ok());
        tree.file("a.txt", "new");

        const RestoreResult taken = restoreFromTrash(r.trashFolder, r.trashedName, &went);
        QCOMPARE(taken.status, RestoreStatus::OriginalTaken);
        QCOMPARE(readFile(original), std::string("new"));
        QCOMPARE(readFile(r.trashFolder + "/files/" + r.trashedName), std::string("old"));
        QVERIFY(exists(r.trashFolder + "/info/" + r.trashedName + ".trashinfo"));

        // The trash is emptied and another a.txt goes there under the same name.
        std::filesystem::remove(r.trashFolder + "/files/" + r.trashedName);
        std::filesystem::remove(r.trashFolder + "/info/" + r.trashedName + ".trashinfo");
        const TrashResult other = moveToTrash(tree.file("b/a.txt", "other"));
        QCOMPARE(other.trashedName, r.trashedName);
        std::filesystem::remove(original);
        const RestoreResult gone = restoreFromTrash(r.trashFolder, r.trashedName, &went);
        QCOMPARE(gone.status, RestoreStatus::NotInTrash);
        QVERIFY(!exists(original));
        QCOMPARE(readFile(other.trashFolder + "/files/" + other.trashedName), std::string("other"));
    }

    // A file goes back only into the folder it went from: never through a link put in its
    // folder's place, nor into another folder made at its path; a folder that is gone whole
    // is made again where it was, but not below a link that now stands for one above it.
    void restoreNeverWritesThroughALink() {
        TempTree tree;
        ::setenv("XDG_DATA_HOME", tree.path("data").c_str(), 1);
        const auto trash = [&](const std::string& rel) {
            const std::string path = tree.file(rel, "bytes of " + rel);
            const TrashResult r = moveToTrash(path, nullptr);
            if (!r.ok() || !r.origin.known())
                qFatal("not trashed: %s", r.reason.c_str());
            return r;
        };
        const auto restore = [&](const TrashResult& r) {
            return restoreFromTrash(r.trashFolder, r.trashedName, nullptr, &r.origin);
        };
        tree.dir("elsewhere");

        // The folder is replaced by a link to another folder.
        const TrashResult linked = trash("photos/p.jpg");
        std::filesystem::remove_all(tree.path("photos"));
        tree.symlink("elsewhere", "photos");
        RestoreResult back = restore(linked);
        QCOMPARE(back.status, RestoreStatus::Failed);
        QVERIFY2(back.reason.find("not the one it was deleted from") != std::string::npos,
                 back.reason.c_str());
        QVERIFY(!exists(tree.path("elsewhere/p.jpg")));
        QVERIFY(exists(linked.trashFolder + "/files/" + linked.trashedName));

        // The folder is removed and made again: another folder.
        const TrashResult remade = trash("docs/d.txt");
        std::filesystem::remove_all(tree.path("docs"));
        tree.dir("docs");
        back = restore(remade);
        QCOMPARE(back.status, RestoreStatus::Failed);
        QVERIFY(!exists(tree.path("docs/d.txt")));

        // Gone whole, folders above included: made again where they were.
        const TrashResult deep = trash("a/b/c/f.txt");
        std::filesystem::remove_all(tree.path("a"));
        back = restore(deep);
        QVERIFY2(back.restored(), back.reason.c_str());
        QCOMPARE(readFile(tree.path("a/b/c/f.txt")), std::string("bytes of a/b/c/f.txt"));

        // Gone, and a folder above it replaced by a link: nothing is made through the link.
        const TrashResult under = trash("x/y/g.txt");
        std::filesystem::remove_all(tree.path("x"));
        tree.symlink("elsewhere", "x");
        back = restore(under);
        QCOMPARE(back.status, RestoreStatus::Failed);
        QVERIFY(!exists(tree.path("elsewhere/y")));
        QVERIFY(exists(under.trashFolder + "/info/" + under.trashedName + ".trashinfo"));

        // The folder itself unchanged: the file is back.
        const TrashResult plain = trash("keep/k.txt");
        back = restore(plain);
        QVERIFY2(back.restored(), back.reason.c_str());
        QVERIFY(isSameFile(statPath(tree.path("keep/k.txt"), false), back.stamp));
    }

    // In the trash at the top of a mount a path may be relative to that top.
    void restoreTakesRelativePathsFromTheTopOfAMount() {
        const std::string uid = std::to_string(::getuid());
        for (const std::string& trash : {".Trash-" + uid, ".Trash/" + uid}) {
            TempTree top;
            top.file(trash + "/files/f", "bytes");
            top.file(trash + "/info/f.trashinfo",
                     "[Other]\nPath=/nowhere\n[Trash Info]\nPath=in%20here/f\n"
                     "DeletionDate=2020-01-01T00:00:00\n");
            const RestoreResult back = restoreFromTrash(top.path(trash), "f");
            QVERIFY2(back.restored(), back.reason.c_str());
            QCOMPARE(readFile(top.path("in here/f")), std::string("bytes"));
        }
        QCOMPARE(trashPercentDecode("a%2Fb%zz%4%"), std::string("a/b%zz%4%"));
        const std::string bytes = "\x01 %\xff\xC3\xA9/x";
        QCOMPARE(trashPercentDecode(trashPercentEncode(bytes)), bytes);
    }
};

QTEST_GUILESS_MAIN(TestTrash)
#include "test_trash.moc"
