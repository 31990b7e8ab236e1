// SPDX-License-Identifier: GPL-2.0-or-later
// The folder walker on real trees: which files it takes, in which order, and each file once; and
// the name comparison and wildcard dialect it matches names with.
#include "catalogue/FileCatalogue.h"
#include "catalogue/FolderSweep.h"
#include "platform/ByteText.h"
#include "support/TempTree.h"

#include <QtTest>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <dirent.h>
#include <fcntl.h>
#include <functional>
#include <map>
#include <mutex>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

using namespace trevalo;
using trevalo::test::TempTree;
using Paths = std::vector<std::string>;

namespace {

Paths pathsOf(const FileCatalogue& files) {
    Paths out;
    for (const auto& e : files.entries())
        out.push_back(e.path.str());
    return out;
}

Paths walk(const std::string& searchPath, bool recursive = true) {
    FileCatalogue files;
    files.addSearchPath(searchPath, recursive);
    return pathsOf(files);
}

using Problems = std::vector<std::pair<std::string, std::string>>; // folder, reason

Problems problemsOf(const FileCatalogue& files) {
    Problems out;
    for (const auto& p : files.problems())
        out.emplace_back(p.path, reasonText(p.reason));
    return out;
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
        QVERIFY(walk(t.path("empty/*.*")).empty());
    }

    void eachFileOnceAcrossRowsLinksAndCase() {
        TempTree t;
        t.file("data/a.txt", "1");
        t.file("data/A.TXT", "2"); // another file: names are case-sensitive here
        t.file("data/sub/b.txt", "3");
        t.file("data/sub/c.txt", "4");
        t.hardlink("data/sub/b.txt", "data/b-link.txt");
        FileCatalogue files;
        files.addSearchPath(t.path("data/sub/*.*"), true);
        files.addSearchPath(t.path("data/*.*"), true);
        files.addSearchPath(t.path("data/*.*"), false);
        files.addSearchPath(t.path("data/sub/*.txt"), false); // the first walk's files again
        files.finish();
        // The file reached first keeps its place and its path.
        QCOMPARE(pathsOf(files).front(), t.path("data/sub/b.txt"));
        QCOMPARE(sorted(pathsOf(files)),
                 sorted({t.path("data/a.txt"), t.path("data/A.TXT"), t.path("data/sub/b.txt"),
                         t.path("data/sub/c.txt")}));
        // Within one folder too: a hard link below the folder comes first in walk order.
        t.hardlink("data/a.txt", "data/sub/a-link.txt");
        const Paths again = walk(t.path("data/*.*"));
        QCOMPARE(std::count(again.begin(), again.end(), t.path("data/sub/a-link.txt")), 1);
        QCOMPARE(std::count(again.begin(), again.end(), t.path("data/a.txt")), 0);
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
        FileCatalogue files;
        files.addSearchPath(t.path("*.txt"), true);
        Paths items = pathsOf(files);
        // The file once, through "real" or through "alias".
        QCOMPARE(std::erase_if(items, [](const auto& p) { return p.ends_with("/file.txt"); }),
                 std::size_t(1));
        QCOMPARE(sorted(items), (Paths{t.path("caf\xe9-\xff.txt"), t.path("dir\xfe/inner.txt")}));
        // The folder that holds itself is a loop and is said so; "alias" is just walked once.
        QCOMPARE(files.problems().size(), std::size_t(1));
        QVERIFY(files.problems()[0].path.ends_with("/loop"));
        QCOMPARE(files.problems()[0].reason, kReasonLoop);
        QVERIFY(!files.problems()[0].isFailure());
    }

    // A folder reached both through a link and by its real path is listed under the real path,
    // whichever comes first and across search paths; a folder only a link leads to is walked
    // and its files say so; a chain of links that leads back ends. The names of a hard-linked
    // file that are not its entry are told, each (folder, name) once.
    void realFoldersComeBeforeLinkedOnes() {
        TempTree t;
        t.file("one/zz/real/f.txt", "f");
        t.symlink(t.path("one/zz/real"), "one/aa");
        t.symlink(t.path("two/sub"), "one/ab");
        t.file("two/sub/g.txt", "g");
        t.file("outside/h.txt", "h");
        t.symlink(t.path("outside"), "one/ext");
        t.symlink(t.path("two"), "outside/back"); // back into the search: walked already
        t.file("one/n1.txt", "names");
        t.hardlink("one/n1.txt", "one/zz/n2.txt");
        t.hardlink("one/n1.txt", "elsewhere-n3.txt");
        FileCatalogue files;
        files.addSearchPath(t.path("one/*.*"), true);
        files.addSearchPath(t.path("two/*.*"), true);
        files.finish();
        std::vector<std::pair<std::string, bool>> found;
        for (const auto& e : files.entries())
            found.emplace_back(e.path.str(), e.throughLink);
        std::sort(found.begin(), found.end());
        const std::string names =
            std::count(found.begin(), found.end(), std::pair(t.path("one/n1.txt"), false))
                ? t.path("one/n1.txt")
                : t.path("one/zz/n2.txt");
        QCOMPARE(found,
                 (std::vector<std::pair<std::string, bool>>{{t.path("one/ext/h.txt"), true},
                                                            {names, false},
                                                            {t.path("one/zz/real/f.txt"), false},
                                                            {t.path("two/sub/g.txt"), false}}));
        QVERIFY(files.problems().empty());
        const auto other = files.otherNames();
        QCOMPARE(other.size(), std::size_t(1));
        const auto& entry = *std::find_if(files.entries().begin(), files.entries().end(),
                                          [](const FileEntry& e) { return e.links == 3; });
        const auto& list = *other.at(FileId{entry.stamp.device, entry.stamp.inode});
        QCOMPARE(list,
                 (std::vector<std::string>{names == t.path("one/n1.txt") ? t.path("one/zz/n2.txt")
                                                                         : t.path("one/n1.txt")}));
    }

    // Folders that cannot be listed or entered are reported with their reason; their siblings
    // are walked. Permissions mean nothing to root, so the walk runs as an unprivileged user.
    void foldersThatCannotBeListedAreReported() {
        TempTree t;
        const Paths open = {t.file("open1/a.txt", "x"), t.file("open2/b.txt", "x")};
        t.file("locked/secret.txt", "x");
        t.file("half/file.txt", "x");
        t.file("half/inner/deep.txt", "x");
        t.chmod("locked", 0);
        t.chmod("half", 0555 & ~0111); // listable, but nothing in it can be reached
        const std::string root = t.path("*.*");
        QVERIFY(trevalo::test::runUnprivileged([&] {
            FileCatalogue files;
            files.addSearchPath(root, true);
            Problems got = problemsOf(files);
            std::sort(got.begin(), got.end());
            const Problems expected = {{t.path("half/inner"), "Permission denied"},
                                       {t.path("locked"), "Permission denied"}};
            // The file that is listed but cannot be measured is there, with its reason.
            std::vector<std::pair<std::string, int>> entries;
            for (const auto& e : files.entries())
                entries.emplace_back(e.path.str(), e.reason);
            std::sort(entries.begin(), entries.end());
            const decltype(entries) wanted = {
                {t.path("half/file.txt"), EACCES}, {open[0], 0}, {open[1], 0}};
            return got == expected && entries == wanted;
        }));
        // A search path that is not there is reported too.
        FileCatalogue files;
        files.addSearchPath(t.path("absent/*.*"), true);
        QCOMPARE(problemsOf(files), (Problems{{t.path("absent"), "No such file or directory"}}));
    }

    // The trash is never searched, also when the search path lies above it.
    // The trash is never searched, however it is reached: below a search path, through a link to
    // the trash or into its files/ folder, as the search path itself, with the home trash a link
    // elsewhere; and another user's trash at the top of a mount neither.
    void trashFoldersAreNotEntered() {
        TempTree t;
        t.file("real-trash/files/letter.txt", "x");
        t.file("real-trash/info/letter.txt.trashinfo", "x");
        t.dir("data");
        t.symlink(t.path("real-trash"), "data/Trash"); // the home trash is a link
        t.symlink(t.path("real-trash/files"), "search/oldstuff");
        // Only at the top of a mount is .Trash-UID a trash folder.
        const std::string old = t.file("search/.Trash-" + std::to_string(::getuid()) + "/old.txt");
        const std::string kept = t.file("search/letter.txt", "x");
        t.file("search/alice/.local/share/Trash/files/report.odt", "x"); // another user's trash
        qputenv("XDG_DATA_HOME", QByteArray::fromStdString(t.path("data")));
        TrashFolders trash = TrashFolders::current();
        qunsetenv("XDG_DATA_HOME");
        const auto walkWith = [&](const std::string& searchPath) {
            FileCatalogue files;
            files.setTrashFolders(trash);
            files.addSearchPath(searchPath, true);
            return sorted(pathsOf(files));
        };
        QCOMPARE(walkWith(t.path("*.*")), sorted({old, kept}));
        QVERIFY(walkWith(t.path("real-trash/files/*.*")).empty());
        QVERIFY(walkWith(t.path("data/Trash/*.*")).empty());
        QVERIFY(trash.holds(t.path("real-trash/files/letter.txt")));
        QVERIFY(trash.holds(t.path("search/oldstuff/letter.txt")));
        QVERIFY(!trash.holds(kept));
        QVERIFY(trash.holds(t.path("search/alice/.local/share/Trash/files/report.odt")));

        // A mount's trash seen where no mount is (a disk reached through a bind mount that has
        // gone since) is known by its name and its files/ and info/: passed over, and told.
        TempTree u;
        for (const char* trashed : {"disk/.Trash-0/files/p.jpg", "disk/.Trash/1000/files/q.jpg"})
            u.file(trashed, "x");
        for (const char* info : {"disk/.Trash-0/info", "disk/.Trash/1000/info"})
            u.dir(info);
        const std::string notTrash = u.file("disk/.Trash-7/files/r.jpg", "x"); // no info/
        const std::string photo = u.file("disk/p.jpg", "x");
        FileCatalogue disk;
        disk.setTrashFolders(trash);
        disk.addSearchPath(u.path("disk/*.*"), true);
        QCOMPARE(sorted(pathsOf(disk)), sorted({notTrash, photo}));
        Problems told = problemsOf(disk);
        std::sort(told.begin(), told.end());
        QCOMPARE(told, (Problems{{u.path("disk/.Trash-0"), "a trash folder, never searched"},
                                 {u.path("disk/.Trash/1000"), "a trash folder, never searched"}}));
        QVERIFY(trash.holds(u.path("disk/.Trash-0/files/p.jpg")));
        QVERIFY(!trash.holds(notTrash));

        // Another user's trash at the top of a mount (where a tmpfs can be mounted here).
        const std::string mount = t.dir("mnt");
        if (::mount("tmpfs", mount.c_str(), "tmpfs", 0, nullptr) != 0)
            return;
        t.file("mnt/.Trash-65534/files/a", "x");
        t.file("mnt/.Trash/1000/files/a", "x");
        const std::string data = t.file("mnt/data/a", "x");
        const TrashFolders withMount = TrashFolders::current();
        FileCatalogue files;
        files.setTrashFolders(withMount);
        files.addSearchPath(mount + "/*.*", true);
        const Paths found = pathsOf(files);
        ::umount2(mount.c_str(), MNT_DETACH);
        QCOMPARE(found, (Paths{data}));
    }

    // A tree deeper than the open-file limit and than any path the system takes: every file
    // found, no crash, whatever the limit on open files; and with only two folders held open,
    // the order of a branching tree is still the walk order.
    void deepTreesAndFewOpenFiles() {
        TempTree t;
        {
            constexpr int kDepth = 25000;
            const std::int64_t made = t.chain("deep", kDepth, "d", [](int level) {
                return level % 1000 == 0 || level == kDepth
                           ? std::optional(std::string(std::size_t(level % 1000 + 1), 'x'))
                           : std::nullopt;
            });
            FileCatalogue files;
            files.addSearchPath(t.path("deep/*.*"), true);
            QCOMPARE(files.count(), made);
            QVERIFY(files.problems().empty());
            const auto& bottom = files.entries().front();
            QCOMPARE(bottom.stamp.size, std::int64_t(1));
            QVERIFY(bottom.path.size() > 50000);
            QVERIFY(trevalo::test::runWithOpenFileLimit(12, [&] {
                FileCatalogue few;
                few.addSearchPath(t.path("deep/*.*"), true);
                return few.count() == made && few.problems().empty();
            }));
            // An empty folder at the bottom: the sweep for empty folders goes as deep, with as
            // few open files, and names it.
            int at = ::open(t.path("deep").c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
            std::string deepest = t.path("deep");
            for (int level = 0; level < kDepth && at >= 0; ++level) {
                const int next = ::openat(at, "d", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
                ::close(at);
                at = next;
                deepest += "/d";
            }
            QVERIFY(at >= 0 && ::mkdirat(at, "e", 0755) == 0);
            ::close(at);
            const auto sweptEmpty = [&] {
                FolderSweep sweep;
                sweep.sweep(t.path("deep/*.*"), true);
                return sweep.emptyFolders().size() == 1 &&
                       sweep.emptyFolders().front().path == deepest + "/e";
            };
            QVERIFY(sweptEmpty());
            QVERIFY(trevalo::test::runWithOpenFileLimit(12, sweptEmpty));
        }
        for (int a = 0; a < 4; ++a)
            for (int b = 0; b < 3; ++b)
                for (int c = 0; c < 3; ++c)
                    t.file("w/" + std::to_string(a) + "/" + std::to_string(b) + "/" +
                               std::to_string(c) + "/f" + std::to_string(c),
                           "x");
        Paths expected;
        expectedOrder(t.path("w/"), expected);
        FileCatalogue files;
        files.setOpenFolderLimit(2);
        files.addSearchPath(t.path("w/*.*"), true);
        QCOMPARE(pathsOf(files), expected);
        QVERIFY(trevalo::test::runWithOpenFileLimit(
            12, [&] { return walk(t.path("w/*.*")) == expected; }));
        // Every free descriptor is taken elsewhere for a moment each time a folder is entered:
        // the walk waits for one, to open a sub-folder and to enter again a folder it gave back,
        // rather than leave folders unwalked.
        QVERIFY(trevalo::test::runWithOpenFileLimit(40, [&] {
            // A plain condition variable and flag: the undefined-behaviour sanitizer's check of
            // the type behind condition_variable_any's shared state, made while every descriptor
            // is held, fails now and then.
            std::mutex mutex;
            std::condition_variable taken;
            std::vector<int> held;
            bool done = false;
            std::thread giveBack([&] {
                std::unique_lock lock(mutex);
                for (;;) {
                    taken.wait(lock, [&] { return done || !held.empty(); });
                    if (held.empty())
                        return;
                    lock.unlock();
                    std::this_thread::sleep_for(std::chrono::milliseconds(5));
                    lock.lock();
                    for (const int fd : held)
                        ::close(fd);
                    held.clear();
                }
            });
            FileCatalogue few;
            few.setWalkThreads(1);
            few.setOpenFolderLimit(2);
            few.setProgress([&](std::int64_t) {
                const std::lock_guard lock(mutex);
                for (int fd = ::dup(0); fd >= 0; fd = ::dup(0))
                    held.push_back(fd);
                taken.notify_one();
            });
            few.addSearchPath(t.path("w/*.*"), true);
            const bool walked = pathsOf(few) == expected && few.problems().empty();
            {
                const std::lock_guard lock(mutex);
                done = true;
            }
            taken.notify_one();
            giveBack.join();
            return walked;
        }));
    }

    // Deep folders that hold more sub-folders after a deep one are entered again cheaply: the
    // walk of a 3,000-level comb opens each folder a few times at most, not once per level above,
    // however few descriptors it gets.
    void deepCombIsWalkedInLinearTime() {
        TempTree t;
        // At every level four folders; the walk goes deep into the one listed first, so that
        // three are left to enter after its whole subtree.
        int at = ::open(t.dir("comb").c_str(), O_RDONLY | O_DIRECTORY);
        int folders = 1;
        for (int depth = 0; depth < 3000; ++depth) {
            for (const char* name : {"x0", "x1", "x2", "x3"})
                ::mkdirat(at, name, 0755);
            folders += 4;
            std::string first;
            DIR* d = ::fdopendir(::dup(at));
            while (const dirent* e = ::readdir(d))
                if (e->d_name[0] == 'x') {
                    first = e->d_name;
                    break;
                }
            ::closedir(d);
            const int next = ::openat(at, first.c_str(), O_RDONLY | O_DIRECTORY);
            ::close(at);
            at = next;
        }
        ::close(at);
        FileCatalogue files;
        files.addSearchPath(t.path("comb/*.*"), true);
        QVERIFY(files.problems().empty());
        QVERIFY2(files.foldersOpened() <= 2 * folders,
                 qPrintable(QString::number(files.foldersOpened())));
        // The descriptors run out long before the folders the walk may hold open do (others
        // hold them): the walk gives back folders it holds and goes on, and reports nothing.
        QVERIFY(trevalo::test::runWithOpenFileLimit(12, [&] {
            FileCatalogue few;
            few.setOpenFolderLimit(64);
            few.setWalkThreads(1);
            few.addSearchPath(t.path("comb/*.*"), true);
            return few.problems().empty() && few.foldersOpened() <= 3 * folders;
        }));
    }

    // A stop request ends the walk at the next folder. (Progress is told by the walk that
    // starts at the top, so the request comes once the top is listed: folders further down
    // may be walked by other threads, which tell nothing.)
    void stopEndsTheWalkAtOnce() {
        TempTree t;
        for (int i = 0; i < 200; ++i)
            t.file("d" + std::to_string(i) + "/f", "x");
        FileCatalogue files;
        std::atomic<int> folders = 0;
        files.setProgress([&](std::int64_t) { ++folders; });
        files.setStop([&] { return folders >= 1; });
        files.addSearchPath(t.path("*.*"), true);
        files.addSearchPath(t.path("*.*"), true);
        QVERIFY(files.stopped());
        QVERIFY(folders <= 2);
        QVERIFY(files.entries().size() < 200);
    }

    // A folder's path is held once for all of its files, and the paths stay right after the
    // walk is gone, through copies, moves and swaps, until the last entry of the folder goes.
    void pathsShareTheirFolderAndOutliveTheWalk() {
        TempTree t;
        const std::string odd = "caf\xe9 \xff";
        t.file("d1/a", "1");
        t.file("d1/" + odd, "2");
        t.file("d1/sub/b", "3");
        t.file("c", "4");
        FileEntries table;
        {
            FileCatalogue files;
            files.addSearchPath(t.path("*.*"), true);
            table = std::move(files.entries());
        }
        std::map<std::string, std::vector<const FileEntry*>> byFolder;
        for (const FileEntry& e : table) {
            QCOMPARE(e.path.str(), std::string(e.path.folder()) + std::string(e.name()));
            QVERIFY(e.path == e.path.str());
            byFolder[std::string(e.path.folder())].push_back(&e);
        }
        QCOMPARE(byFolder.size(), std::size_t(3));
        const auto& d1 = byFolder[t.path("d1/")];
        QCOMPARE(d1.size(), std::size_t(2));
        QVERIFY(d1[0]->path.folder().data() == d1[1]->path.folder().data());
        QCOMPARE(sorted({d1[0]->path.str(), d1[1]->path.str()}),
                 sorted({t.path("d1/a"), t.path("d1/" + odd)}));

        FileEntry copy = *d1[0];
        const std::string expected = copy.path.str();
        std::swap(table.front().path, table.back().path);
        std::swap(table.front().path, table.back().path);
        FileEntry moved = std::move(table.back());
        table.clear();
        QCOMPARE(copy.path.str(), expected);
        QVERIFY(!moved.path.empty());
        copy.path = moved.path;
        QCOMPARE(copy.path.str(), moved.path.str());

        // A path given whole is split at its last "/".
        const FilePath bare("name"), root("/x"), none;
        QCOMPARE(bare.folder(), std::string_view());
        QCOMPARE(bare.name(), std::string_view("name"));
        QCOMPARE(root.folder(), std::string_view("/"));
        QCOMPARE(root.str(), std::string("/x"));
        QVERIFY(none.empty() && none == std::string_view());
    }

    // A walk cut into parts walked on two or eight threads gives exactly the catalogue, in
    // order, and the problems of a walk on one thread: through links that lead into a part
    // walked later or earlier, loops to folders above a part, hard links across parts, excluded
    // folders, a folder too deep for one walker's open folders, and a second path over the same
    // files.
    void partsOnSeveralThreadsMakeTheSameCatalogue() {
        TempTree t;
        for (const char* top : {"a", "b", "c"})
            for (int i = 0; i < 6; ++i)
                for (int j = 0; j < 3; ++j)
                    for (int k = 0; k < 2; ++k)
                        t.file(std::string("w/") + top + "/" + top + std::to_string(i) + "/s" +
                                   std::to_string(j) + "/f" + std::to_string(k) + ".txt",
                               std::string(std::size_t(i + j + k), 'x'));
        t.symlink(t.path("w/c/c3"), "w/a/a1/toC");     // walked here first, later skipped
        t.symlink(t.path("w/a/a2"), "w/c/c5/s0/toA");  // walked already
        t.symlink(t.path("w/b"), "w/b/b2/s1/up");      // a loop above its part
        t.symlink(t.path("w/c/c3"), "w/c/c3/s0/back"); // a loop, said once: through toC
        t.symlink(t.path("w"), "w/b/b4/top");          // a loop to the search path
        t.hardlink("w/a/a0/s0/f1.txt", "w/c/c1/s2/same.txt");
        t.file("w/b/b0/skipme/hidden.txt", "x");
        t.fifo("w/b/b3/pipe.txt");
        t.symlink(t.path("nowhere"), "w/c/dangling");
        t.chain("w/c/c0", 300, "d", [](int level) {
            return level % 7 == 0 ? std::optional(std::string(std::size_t(level % 5), 'y'))
                                  : std::nullopt;
        });
        const auto catalogue = [&](int threads, bool descriptorsHeld = false) {
            FileCatalogue files;
            files.setWalkThreads(threads);
            files.setExclude([](std::string_view, std::string_view name,
                                bool isFolder) { return isFolder && name == "skipme"; },
                             false);
            std::vector<int> held;
            std::atomic<bool> allHeld{false};
            std::jthread giveBack;
            if (descriptorsHeld) {
                // Every descriptor but one is held elsewhere for a moment as the walk starts.
                // The thread that gives them back starts first: started with no descriptor free, it
                // fails the undefined-behaviour sanitizer's check of its type.
                files.setOpenFolderLimit(32);
                giveBack = std::jthread([&] {
                    while (!allHeld)
                        std::this_thread::sleep_for(std::chrono::milliseconds(1));
                    std::this_thread::sleep_for(std::chrono::milliseconds(100));
                    for (const int fd : held)
                        ::close(fd);
                });
                for (int fd = ::dup(0); fd >= 0; fd = ::dup(0))
                    held.push_back(fd);
                ::close(held.back());
                held.pop_back();
                allHeld = true;
            }
            files.addSearchPath(t.path("w/*.*"), true);
            files.addSearchPath(t.path("w/c/*.*"), true, PathRole::Keep);
            files.finish();
            std::vector<std::tuple<std::string, std::int64_t, bool>> rows;
            for (const auto& e : files.entries())
                rows.emplace_back(e.path.str(), e.size, e.kept);
            return std::make_pair(rows, problemsOf(files));
        };
        const auto one = catalogue(1);
        QVERIFY(one.first.size() > 100);
        QCOMPARE(one.second.size(), std::size_t(3)); // the loops
        for (int run = 0; run < 20; ++run) {
            const auto several = catalogue(run % 2 ? 8 : 2);
            QVERIFY(several.first == one.first);
            QCOMPARE(several.second, one.second);
        }
        // Few open files, or descriptors held elsewhere for a moment: the parts wait for
        // descriptors rather than report folders unlisted.
        QVERIFY(trevalo::test::runWithOpenFileLimit(
            100, [&] { return catalogue(2) == one && catalogue(8) == one; }));
        QVERIFY(trevalo::test::runWithOpenFileLimit(64, [&] { return catalogue(2, true) == one; }));
    }

    // The identity set keeps every file it was given, however large it grows.
    void identitySetForgetsNothing() {
        FileIdSet set;
        for (std::uint64_t i = 0; i < 20000; ++i)
            QVERIFY(set.insert(FileId{i % 3, i * 7919 % 100003}));
        QCOMPARE(set.size(), std::size_t(20000));
        for (std::uint64_t i = 0; i < 20000; ++i) {
            QVERIFY(set.contains(FileId{i % 3, i * 7919 % 100003}));
            QVERIFY(!set.insert(FileId{i % 3, i * 7919 % 100003}));
        }
        QVERIFY(set.erase(FileId{1, 7919}));
        QVERIFY(!set.contains(FileId{1, 7919}));
        QVERIFY(set.contains(FileId{2, 2 * 7919}));
    }
};

QTEST_GUILESS_MAIN(WalkerTest)
#include "test_walker.moc"
