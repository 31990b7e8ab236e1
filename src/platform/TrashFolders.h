#pragma once

#include "platform/FileSystem.h"

#include <string>
#include <vector>

namespace trevalo {

// The trash folders of this user: the home trash and, at the top of every mounted file
// system, .Trash-$uid and .Trash/$uid. A search never enters them, and a file inside one is
// never trashed again (it would lose its way back).
class TrashFolders {
public:
    // Looks up the trash folders that exist now.
    static TrashFolders current();

    // True when the open folder or the folder with this identity is one of the trash folders.
    bool isTrash(const FileId& folder) const;
    // True when path (absolute or relative to the working folder) lies inside a trash folder:
    // one of the folders above it is a trash folder. Links in the path are followed.
    bool holds(const std::string& path) const;

    const std::vector<std::string>& paths() const { return paths_; }

private:
    std::vector<std::string> paths_;
    std::vector<FileId> ids_;
};

} // namespace trevalo
