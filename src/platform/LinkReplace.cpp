// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/LinkReplace.h"

#include "platform/FileRename.h"
#include "platform/PathText.h"
#include "platform/UserText.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <fcntl.h>
#include <linux/fs.h>
#include <random>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace trevalo {

namespace {

// Bytes compared at a time.
constexpr std::int64_t kCompareChunk = 1 << 20;
// Fresh names tried before giving up.
constexpr int kNameTries = 100;

std::string folderPart(const std::string& path) {
    const std::string_view folder = folderOf(path);
    return folder.empty() ? std::string(".") : std::string(folder);
}

std::string absolute(const std::string& path) {
    if (!path.empty() && path.front() == '/')
        return path;
    char here[PATH_MAX];
    return ::getcwd(here, sizeof here) ? childPath(here, path) : path;
}

// A name of our own beside `name`: a hidden one, short enough for any file system.
std::string freshName(std::string_view name) {
    static thread_local std::mt19937 random{std::random_device{}()};
    std::string letters(8, 'a');
    for (char& c : letters)
        c = static_cast<char>('a' + random() % 26);
    const std::string tail = ".trevalo-" + letters;
    const std::size_t room = NAME_MAX - 1 - tail.size();
    return "." + std::string(name.substr(0, std::min(room, name.size()))) + tail;
}

LinkResult failed(OsError error, std::string reason) {
    LinkResult result;
    result.error = error;
    result.reason = std::move(reason);
    return result;
}

// Whether two open files hold the same bytes, all `size` of them; a read that fails or comes
// short says they do not (error tells a failed read).
bool sameBytes(ReadOnlyFile& a, ReadOnlyFile& b, std::int64_t size, OsError& error) {
    std::vector<char> x(static_cast<std::size_t>(std::min(size, kCompareChunk)) + 1);
    std::vector<char> y(x.size());
    for (std::int64_t at = 0; at < size;) {
        const std::int64_t want = std::min(kCompareChunk, size - at);
        const std::int64_t ra = a.readAt(at, x.data(), want);
        const std::int64_t rb = b.readAt(at, y.data(), want);
        if (ra < 0 || rb < 0) {
            error = ra < 0 ? a.lastError() : b.lastError();
            return false;
        }
        if (ra != want || rb != want ||
            std::memcmp(x.data(), y.data(), static_cast<std::size_t>(want)) != 0)
            return false;
        at += want;
    }
    return true;
}

// Makes the link under `name` in folder; 0 or errno.
int makeLink(LinkKind kind, const FolderHandle& folder, const std::string& name,
             const ReadOnlyFile& original, const ReadOnlyFile& kept,
             const std::string& keptTarget) {
    switch (kind) {
    case LinkKind::HardLink: {
        // Through the open copy, so that the name links the very file compared.
        const std::string self = "/proc/self/fd/" + std::to_string(kept.fd());
        return ::linkat(AT_FDCWD, self.c_str(), folder.fd(), name.c_str(), AT_SYMLINK_FOLLOW) == 0
                   ? 0
                   : errno;
    }
    case LinkKind::SymbolicLink:
        return ::symlinkat(keptTarget.c_str(), folder.fd(), name.c_str()) == 0 ? 0 : errno;
    case LinkKind::Reflink: {
        struct stat was;
        if (::fstat(original.fd(), &was) != 0)
            return errno;
        const int fd =
            ::openat(folder.fd(), name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd < 0)
            return errno;
        int err = ::ioctl(fd, FICLONE, kept.fd()) == 0 ? 0 : errno;
        // The copy keeps the replaced file's owner, mode and times.
        if (err == 0 && (was.st_uid != ::geteuid() || was.st_gid != ::getegid()) &&
            ::fchown(fd, was.st_uid, was.st_gid) != 0)
            err = errno;
        if (err == 0 && ::fchmod(fd, was.st_mode & 07777) != 0)
            err = errno;
        const timespec times[2] = {was.st_atim, was.st_mtim};
        if (err == 0 && ::futimens(fd, times) != 0)
            err = errno;
        ::close(fd);
        if (err != 0)
            ::unlinkat(folder.fd(), name.c_str(), 0);
        return err;
    }
    }
    return EINVAL;
}

// What the link made under name must be: the copy itself, or a link that leads to it.
bool isTheLink(LinkKind kind, const FolderHandle& folder, const std::string& name,
               const FileStamp& kept) {
    const FileStatus made = folder.statChild(name, kind == LinkKind::SymbolicLink);
    if (made.kind != FileKind::Regular)
        return false;
    const bool sameFile = made.device == kept.device && made.inode == kept.inode;
    return kind == LinkKind::Reflink ? !sameFile && made.size == kept.size : sameFile;
}

std::string kindText(LinkKind kind) {
    switch (kind) {
    case LinkKind::Reflink:
        return userText("LinkReplace", "a copy sharing its blocks");
    case LinkKind::HardLink:
        return userText("LinkReplace", "a hard link");
    case LinkKind::SymbolicLink:
        return userText("LinkReplace", "a symbolic link");
    }
    return {};
}

} // namespace

LinkResult replaceWithLink(const std::string& path, const FileStamp& expected,
                           const std::string& keptPath, const FileStamp& keptExpected,
                           LinkKind kind, const TrashFolders* trashFolders) {
    ReadOnlyFile original;
    ReadOnlyFile kept;
    if (const OsError e = original.open(path, &expected))
        return failed(e, e.text());
    if (const OsError e = kept.open(keptPath, &keptExpected))
        return failed(OsError(kReasonChanged),
                      withArgs(userText("LinkReplace", "its copy %1: %2"), {keptPath, e.text()}));
    if (expected.device == keptExpected.device && expected.inode == keptExpected.inode)
        return failed(OsError(kReasonChanged),
                      withArgs(userText("LinkReplace", "it is the same file as %1"), {keptPath}));
    if (kind == LinkKind::HardLink && expected.device != keptExpected.device)
        return failed(
            OsError(EXDEV),
            withArgs(userText("LinkReplace", "a hard link cannot reach %1 on another file system"),
                     {keptPath}));
    OsError readError;
    if (!sameBytes(original, kept, expected.size, readError))
        return readError ? failed(readError, readError.text())
                         : failed(OsError(kReasonChanged),
                                  withArgs(userText("LinkReplace",
                                                    "it no longer holds the same bytes as %1"),
                                           {keptPath}));

    const FolderHandle folder(folderPart(path));
    if (!folder.isOpen())
        return failed(folder.error(), folder.error().text());
    const std::string name(fileNameOf(path));
    std::string fresh;
    int err = EEXIST;
    for (int i = 0; i < kNameTries && err == EEXIST; ++i) {
        fresh = freshName(name);
        err = makeLink(kind, folder, fresh, original, kept, absolute(keptPath));
    }
    if (err != 0)
        return failed(OsError(err), withArgs(userText("LinkReplace", "%1 cannot be made here: %2"),
                                             {kindText(kind), errorText(err)}));
    const auto dropFresh = [&] { ::unlinkat(folder.fd(), fresh.c_str(), 0); };
    if (!isTheLink(kind, folder, fresh, keptExpected)) {
        dropFresh();
        return failed(OsError(kReasonChanged),
                      withArgs(userText("LinkReplace", "its copy %1 changed"), {keptPath}));
    }

    LinkResult result;
    result.trashed = moveToTrash(path, &expected, trashFolders);
    if (!result.trashed.ok()) {
        dropFresh();
        return failed(result.trashed.error, result.trashed.reason);
    }
    const RenameResult placed = renameNoReplaceAt(folder.fd(), fresh, folder.fd(), name);
    if (!placed.ok()) {
        // Something took the name meanwhile: the file comes back, if it can, and the link goes.
        const RestoreResult back =
            restoreFromTrash(result.trashed.trashFolder, result.trashed.trashedName, &expected,
                             &result.trashed.origin);
        if (back.restored()) {
            dropFresh();
            return failed(placed.error,
                          withArgs(userText("LinkReplace", "the link could not take its name: %1"),
                                   {placed.error.text()}));
        }
        return failed(
            placed.error,
            withArgs(userText("LinkReplace", "the link could not take its name (%1), and the file "
                                             "stays in the trash at %2: %3; the link is %4"),
                     {placed.error.text(),
                      result.trashed.trashFolder + "/files/" + result.trashed.trashedName,
                      back.reason, std::string(folderPart(path)) + fresh}));
    }
    const FileStatus now = folder.statChild(name, false);
    result.link.kind = kind;
    result.link.stamp = now.stamp();
    if (kind == LinkKind::SymbolicLink)
        result.link.target = absolute(keptPath);
    return result;
}

RestoreResult undoLink(const std::string& path, const LinkPlaced& link,
                       const std::string& trashFolder, const std::string& trashedName,
                       const FileStamp& trashedStamp, const TrashOrigin& origin) {
    RestoreResult result;
    result.originalPath = path;
    const auto fail = [&result](RestoreStatus status, OsError error, std::string reason) {
        result.status = status;
        result.error = error;
        result.reason = std::move(reason);
        return result;
    };
    const FolderHandle folder(folderPart(path));
    if (!folder.isOpen())
        return fail(RestoreStatus::Failed, folder.error(), folder.error().text());
    const std::string name(fileNameOf(path));
    const FileStatus now = folder.statChild(name, false);
    bool still = now.device == link.stamp.device && now.inode == link.stamp.inode;
    if (link.kind == LinkKind::SymbolicLink) {
        std::string text(PATH_MAX, '\0');
        const ssize_t n = ::readlinkat(folder.fd(), name.c_str(), text.data(), text.size());
        still = still && now.kind == FileKind::Symlink && n >= 0 &&
                text.substr(0, static_cast<std::size_t>(n)) == link.target;
    } else {
        still =
            still && now.kind == FileKind::Regular &&
            (link.kind == LinkKind::HardLink || isSameFile(now, link.stamp, StatusTime::SetByMove));
    }
    if (!still)
        return fail(RestoreStatus::OriginalTaken, OsError(kReasonChanged),
                    userText("LinkReplace",
                             "the link put in its place has changed or gone; the file stays "
                             "in the trash"));

    std::string aside;
    RenameResult moved{OsError(EEXIST)};
    for (int i = 0; i < kNameTries && moved.error.code() == EEXIST; ++i) {
        aside = freshName(name);
        moved = renameNoReplaceAt(folder.fd(), name, folder.fd(), aside);
    }
    if (!moved.ok())
        return fail(RestoreStatus::Failed, moved.error, moved.error.text());
    result = restoreFromTrash(trashFolder, trashedName, &trashedStamp, &origin);
    if (result.restored())
        ::unlinkat(folder.fd(), aside.c_str(), 0);
    else
        renameNoReplaceAt(folder.fd(), aside, folder.fd(), name);
    return result;
}

} // namespace trevalo
