// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/FileRename.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace trevalo {

RenameResult renameNoReplaceAt(int oldFolder, const std::string& oldName, int newFolder,
                               const std::string& newName) {
    if (::renameat2(oldFolder, oldName.c_str(), newFolder, newName.c_str(), RENAME_NOREPLACE) == 0)
        return {};
    const int err = errno;
    if (err != EINVAL && err != ENOSYS)
        return {OsError(err)};

    // The file system does not know RENAME_NOREPLACE. link() fails with EEXIST when the new
    // name is taken, so nothing is ever replaced.
    if (::linkat(oldFolder, oldName.c_str(), newFolder, newName.c_str(), 0) != 0)
        return {OsError::last()};
    if (::unlinkat(oldFolder, oldName.c_str(), 0) != 0) {
        const OsError unlinkError = OsError::last();
        ::unlinkat(newFolder, newName.c_str(), 0); // the file stays where it was
        return {unlinkError};
    }
    return {};
}

CheckedRename renameKnownFile(const std::string& folder, const std::string& oldName,
                              const std::string& newName, const FileStamp& expected) {
    CheckedRename out;
    const FolderHandle dir(folder.empty() ? std::string(".") : folder);
    if (!dir.isOpen()) {
        out.error = dir.error();
        return out;
    }
    const FileStatus before = dir.statChild(oldName, false);
    if (before.error) {
        out.error = before.error;
        return out;
    }
    if (!isSameFile(before, expected)) {
        out.error = OsError(kReasonChanged);
        return out;
    }
    const RenameResult moved = renameNoReplaceAt(dir.fd(), oldName, dir.fd(), newName);
    if (!moved.ok()) {
        out.error = moved.error;
        return out;
    }
    const FileStatus after = dir.statChild(newName, false);
    if (isSameFile(after, expected, StatusTime::SetByMove)) {
        out.stamp = after.stamp();
        return out;
    }
    // Another file took the old name between the check and the rename: give it its name back.
    renameNoReplaceAt(dir.fd(), newName, dir.fd(), oldName);
    out.error = OsError(kReasonChanged);
    return out;
}

} // namespace trevalo
