// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "platform/FileSystem.h"

#include <string>
#include <string_view>
#include <vector>

namespace trevalo {

// The trash folders on this machine: this user's home trash and, at the top of every mounted
// file system, .Trash-UID and .Trash/UID of every user, with their files/ and info/ folders,
// known by identity so that a link to them is no way in; and every folder whose path ends in
// /.local/share/Trash, the home trash of whichever user it belongs to. A
// search never enters them, and a file inside one is never trashed again (its .trashinfo would
// be orphaned and its way back lost).
class TrashFolders {
public:
    // Looks up the trash folders that exist now.
    static TrashFolders current();

    // True when the folder with this identity is a trash folder or its files/ or info/.
    bool isTrash(const FileId& folder) const;
    // True when path (absolute or relative to the working folder) lies inside a trash folder:
    // one of the folders above it, links resolved, is a trash folder.
    bool holds(const std::string& path) const;
    // True for a folder path ending in /.local/share/Trash: some user's home trash.
    static bool isHomeTrashPath(std::string_view folder);
    // True for the trash of some mount, whether or not that mount is here now (a bind mount
    // gone since, the disk of another machine): a folder that holds files/ and info/ and is
    // named .Trash or .Trash-<digits>, or is named by digits inside a folder named .Trash.
    // folderPath is the folder's path (a trailing "/" is allowed), folder the folder itself.
    static bool looksLikeTrash(std::string_view folderPath, const FolderHandle& folder);

    const std::vector<std::string>& paths() const { return paths_; }

private:
    std::vector<std::string> paths_;
    std::vector<FileId> ids_;
};

} // namespace trevalo
