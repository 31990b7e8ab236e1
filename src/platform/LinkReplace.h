// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "platform/FileSystem.h"
#include "platform/Trash.h"

#include <string>

namespace trevalo {

class TrashFolders;

// Replacing a file by a link to an identical copy of it, and undoing that.

enum class LinkKind {
    Reflink,      // a copy that shares the copy's blocks (btrfs, XFS): two files still, each
                  // with its own owner, mode and times
    HardLink,     // another name of the copy: one file, one owner, mode and time
    SymbolicLink, // a link that names the copy's path
};

// The link put in a file's place, as it was made: what undoing it checks is still there.
struct LinkPlaced {
    LinkKind kind = LinkKind::HardLink;
    FileStamp stamp;    // the link (lstat): for a hard link the copy's identity
    std::string target; // a symbolic link's text
};

struct LinkResult {
    // kReasonChanged: one of the two files is not the file expected, or their bytes differ;
    // otherwise the failed step's (EXDEV, EOPNOTSUPP, EPERM ... where the kind of link is not
    // possible here). Nothing changed unless reason says otherwise.
    OsError error;
    std::string reason;  // what went wrong, in words
    TrashResult trashed; // where the file went in the trash, once replaced
    LinkPlaced link;
    bool ok() const { return !error; }
};

// Replaces the regular file at path, which must still be the file `expected`, by a link of
// `kind` to the regular file at keptPath, which must still be `keptExpected`. Just before, both
// files are opened as the files expected and compared byte for byte. The link is made under a
// fresh name of its own in path's folder; the file goes to the trash (moveToTrash, so the
// desktop's trash can give it back); then the link takes its name, without replacing anything
// that may have come there meanwhile. Should a step fail, the steps before it are undone: the
// file comes back from the trash and the fresh name goes.
LinkResult replaceWithLink(const std::string& path, const FileStamp& expected,
                           const std::string& keptPath, const FileStamp& keptExpected,
                           LinkKind kind, const TrashFolders* trashFolders = nullptr);

// Undoes a replacement: when path still holds the link that was placed (the same link; a
// reflink copy also unchanged), the link is moved aside under a fresh name, the file comes
// back from the trash (restoreFromTrash with its stamp and origin), and the link is removed.
// When the file cannot come back, the link takes its place again. When path holds something
// else, nothing changes and the result says so.
RestoreResult undoLink(const std::string& path, const LinkPlaced& link,
                       const std::string& trashFolder, const std::string& trashedName,
                       const FileStamp& trashedStamp, const TrashOrigin& origin);

} // namespace trevalo
