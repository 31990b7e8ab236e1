// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "catalogue/FileCatalogue.h"
#include "platform/FileSystem.h"
#include "platform/TrashFolders.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace trevalo {

// Empty folders and broken symbolic links under the folders of the search paths.
//
// A folder is empty when it holds nothing but empty folders, at any depth; only the highest
// empty folder is named, never the search path's own folder. A folder that cannot be listed
// in full (or whose sub-folder cannot be), that holds a trash folder, a folder of a kernel
// pseudo file system or another file system, or an entry the exclude rules pass over, is not
// empty, and neither is any folder above it. A link is broken when following it ends at a name
// that does not exist (ENOENT): a link the system will not follow for another reason (a loop,
// no permission) is not called broken. Links are not followed into folders; the pattern and the
// exclude rules pick the links as they pick files.
class FolderSweep {
public:
    struct Found {
        std::string path;  // without a trailing "/"
        FileStatus status; // the lstat of the folder or the link
    };

    FolderSweep();

    void setTrashFolders(TrashFolders trash) { trash_ = std::move(trash); }
    void setExclude(FileCatalogue::ExcludeTest test) { exclude_ = std::move(test); }
    // Once `stop` returns true the sweep ends at the next folder; stopped() tells it did.
    void setStop(std::function<bool()> stop) { stop_ = std::move(stop); }
    bool stopped() const { return stopped_; }

    // Sweeps one search path ("folder/pattern"); with `recursive` false only the folder's own
    // entries are looked at (and no folder is called empty but its own empty sub-folders).
    void sweep(std::string_view searchPath, bool recursive);

    // Each folder and each link once, in the order found.
    const std::vector<Found>& emptyFolders() const { return empty_; }
    const std::vector<Found>& brokenLinks() const { return broken_; }

private:
    // Walks the folder at `path` (no trailing "/"); true when it is empty. Empty sub-folders
    // are named only when `path` itself turns out not to be empty (or is the top).
    bool walk(const FolderHandle& folder, const std::string& path, std::uint64_t device,
              bool recursive, std::vector<Found>& emptyBelow);
    bool shouldStop();

    TrashFolders trash_;
    FileCatalogue::ExcludeTest exclude_;
    std::function<bool()> stop_;
    bool stopped_ = false;
    std::string pattern_;
    FileIdSet seenFolders_;
    FileIdSet seenLinks_;
    std::vector<Found> empty_;
    std::vector<Found> broken_;
};

} // namespace trevalo
