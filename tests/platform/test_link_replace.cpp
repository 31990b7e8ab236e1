// SPDX-License-Identifier: GPL-2.0-or-later
// Replacing a file by a link to its copy, on real files: every kind keeps every path readable
// with the same bytes, nothing is replaced unless both files are still the files compared, a
// kind that is not possible changes nothing, and undoing brings the original back.
#include "platform/LinkReplace.h"

#include "platform/FileRename.h"
#include "platform/FileSystem.h"
#include "support/TempTree.h"

#include <QtTest>

#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>

using namespace trevalo;
using trevalo::test::exists;
using trevalo::test::readFile;
using trevalo::test::TempTree;

namespace {

FileStamp stampOf(const std::string& path) {
    return statPath(path, false).stamp();
}

// A file and its copy in a tree, replaced: the copy's path reads as before.
struct Pair {
    std::string copy;
    std::string kept;
    FileStamp copyWas;
    FileStamp keptWas;
    Pair(TempTree& tree, const std::string& folder, const std::string& bytes)
        : copy(tree.file(folder + "/copy.jpg", bytes)), kept(tree.file("kept/" + folder, bytes)),
          copyWas(stampOf(copy)), keptWas(stampOf(kept)) {}
    LinkResult replace(LinkKind kind) const {
        return replaceWithLink(copy, copyWas, kept, keptWas, kind);
    }
    RestoreResult undo(const LinkResult& r) const {
        return undoLink(copy, r.link, r.trashed.trashFolder, r.trashed.trashedName, copyWas,
                        r.trashed.origin);
    }
};

} // namespace

class TestLinkReplace : public QObject {
    Q_OBJECT

private slots:
    void init() {
        home_ = std::make_unique<TempTree>();
        ::setenv("XDG_DATA_HOME", home_->path("data").c_str(), 1);
    }
    void cleanup() { ::unsetenv("XDG_DATA_HOME"); }

    void hardAndSymbolicLinksAndTheirUndo() {
        TempTree tree;
        const std::string bytes(300000, 'p');
        const Pair hard(tree, "hard", bytes);
        const LinkResult linked = hard.replace(LinkKind::HardLink);
        QVERIFY2(linked.ok(), linked.reason.c_str());
        const FileStatus now = statPath(hard.copy, false);
        QCOMPARE(now.inode, hard.keptWas.inode); // one file under two names
        QCOMPARE(readFile(hard.copy), bytes);
        QCOMPARE(readFile(linked.trashed.trashFolder + "/files/" + linked.trashed.trashedName),
                 bytes);

        const Pair symbolic(tree, "sym", bytes);
        const LinkResult pointed = symbolic.replace(LinkKind::SymbolicLink);
        QVERIFY2(pointed.ok(), pointed.reason.c_str());
        QCOMPARE(statPath(symbolic.copy, false).kind, FileKind::Symlink);
        QCOMPARE(readFile(symbolic.copy), bytes);

        // Undone: the original is back (the very file), the copy it linked to untouched.
        for (const auto& [pair, result] :
             {std::pair{&hard, &linked}, std::pair{&symbolic, &pointed}}) {
            const RestoreResult back = pair->undo(*result);
            QVERIFY2(back.restored(), back.reason.c_str());
            QCOMPARE(stampOf(pair->copy).inode, pair->copyWas.inode);
            QCOMPARE(readFile(pair->copy), bytes);
            // Its status-change time moved with its count of links; nothing else.
            QVERIFY(isSameFile(statPath(pair->kept, false), pair->keptWas, StatusTime::SetByMove));
        }
        QVERIFY(!exists(linked.trashed.trashFolder + "/files/" + linked.trashed.trashedName));
    }

    // Both files are proven just before: a copy edited behind an unchanged date, or files that
    // are one, or a copy on another file system for a hard link, change nothing.
    void nothingChangesUnlessBothAreStillTheFilesCompared() {
        TempTree tree;
        const Pair edited(tree, "edited", "same bytes");
        tree.file("edited/copy.jpg", "Same bytes"); // same size; the stamp says changed
        QCOMPARE(edited.replace(LinkKind::HardLink).error.code(), kReasonChanged);
        // The same bytes checked, not only the stamps: a copy that differs in its bytes.
        const Pair differs(tree, "differs", "one");
        tree.file("kept/differs", "two");
        const FileStamp twoWas = stampOf(differs.kept);
        const LinkResult refused = replaceWithLink(differs.copy, differs.copyWas, differs.kept,
                                                   twoWas, LinkKind::HardLink);
        QCOMPARE(refused.error.code(), kReasonChanged);
        QVERIFY2(refused.reason.find("same bytes") != std::string::npos, refused.reason.c_str());
        QCOMPARE(readFile(differs.copy), std::string("one"));
        const LinkResult self =
            replaceWithLink(differs.kept, twoWas, differs.kept, twoWas, LinkKind::HardLink);
        QVERIFY(!self.ok());
        // Where a copy that shares blocks cannot be made (not btrfs, not XFS), nothing moves.
        const Pair plain(tree, "plain", "bytes");
        const LinkResult noClone = plain.replace(LinkKind::Reflink);
        if (!noClone.ok())
            QVERIFY(isSameFile(statPath(plain.copy, false), plain.copyWas));
        // An undo finds the link changed: the file stays in the trash.
        const Pair moved(tree, "moved", "moved bytes");
        const LinkResult linked = moved.replace(LinkKind::SymbolicLink);
        QVERIFY(linked.ok());
        ::unlink(moved.copy.c_str());
        tree.file("moved/copy.jpg", "a new file of the user's");
        QCOMPARE(moved.undo(linked).status, RestoreStatus::OriginalTaken);
        QCOMPARE(readFile(moved.copy), std::string("a new file of the user's"));
        QVERIFY(exists(linked.trashed.trashFolder + "/files/" + linked.trashed.trashedName));
    }

    // On btrfs (a small image on a loop device, where the test runs as root and mkfs.btrfs is
    // there): a copy that shares blocks is two files, each with its own mode and times.
    void reflinkOnBtrfs() {
        if (::geteuid() != 0)
            QSKIP("a btrfs image needs root to be mounted");
        if (std::system("command -v mkfs.btrfs >/dev/null 2>&1") != 0)
            QSKIP("mkfs.btrfs is not installed (btrfs-progs)");
        TempTree tree;
        const std::string image = tree.path("btrfs.img");
        const std::string mount = tree.dir("mnt");
        if (std::system(("truncate -s 128M '" + image + "' && mkfs.btrfs -q '" + image +
                         "' >/dev/null 2>&1 && mount -o loop '" + image + "' '" + mount + "'")
                            .c_str()) != 0)
            QSKIP("no loop device could mount a btrfs image here");
        const std::string bytes(200000, 'r');
        const std::string copy = tree.file("mnt/a/copy.jpg", bytes);
        const std::string kept = tree.file("mnt/b/kept.jpg", bytes);
        ::chmod(copy.c_str(), 0640);
        tree.setMtime("mnt/a/copy.jpg", 1500000000);
        const FileStamp copyWas = stampOf(copy);
        const std::uint64_t keptInode = stampOf(kept).inode;
        // The trash of that mount is on it: the file never leaves its file system.
        const LinkResult cloned =
            replaceWithLink(copy, copyWas, kept, stampOf(kept), LinkKind::Reflink);
        struct stat st;
        const bool statted = ::stat(copy.c_str(), &st) == 0;
        const std::string read = readFile(copy);
        const RestoreResult back =
            cloned.ok() ? undoLink(copy, cloned.link, cloned.trashed.trashFolder,
                                   cloned.trashed.trashedName, copyWas, cloned.trashed.origin)
                        : RestoreResult{};
        const FileStamp after = stampOf(copy);
        QVERIFY(std::system(("umount '" + mount + "'").c_str()) == 0);
        QVERIFY2(cloned.ok(), cloned.reason.c_str());
        QVERIFY(statted);
        QCOMPARE(read, bytes);
        QVERIFY(st.st_ino != keptInode); // two files, sharing their blocks
        QCOMPARE(st.st_mode & 0777, mode_t(0640));
        QCOMPARE(static_cast<std::int64_t>(st.st_mtim.tv_sec), std::int64_t{1500000000});
        QVERIFY2(back.restored(), back.reason.c_str());
        QCOMPARE(after.inode, copyWas.inode);
    }

private:
    std::unique_ptr<TempTree> home_;
};

QTEST_GUILESS_MAIN(TestLinkReplace)
#include "test_link_replace.moc"
