// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "catalogue/FileCatalogue.h"
#include "platform/ByteText.h"
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
    // One walk of a search path.
    struct Walk {
        const WildcardPattern& pattern;
        std::uint64_t device;
        bool recursive;
    };
    // A folder being walked: its sub-folders still to walk, whether it may still be empty, and
    // the empty folders and broken links found below it.
    struct Frame {
        FolderHandle handle;    // closed while deeper folders hold the open files
        std::size_t pathLength; // of its path, without a trailing "/"
        FileId id;
        FileStatus status;
        std::vector<std::string> waiting;
        bool empty = true;
        // The highest empty folders below, named only when this folder turns out not to be
        // empty (or is the top).
        std::vector<Found> below;
    };
    bool listFolder(Frame& frame, const std::string& path, const Walk& walk);
    std::vector<Found> sweepTree(FolderHandle top, const std::string& path, const FileStatus& st,
                                 const Walk& walk);
    bool shouldStop();

    TrashFolders trash_;
    FileCatalogue::ExcludeTest exclude_;
    std::function<bool()> stop_;
    bool stopped_ = false;
    FileIdSet seenFolders_;
    FileIdSet seenLinks_;
    std::vector<Found> empty_;
    std::vector<Found> broken_;
};

} // namespace trevalo
