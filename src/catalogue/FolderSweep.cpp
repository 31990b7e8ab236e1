// SPDX-License-Identifier: GPL-2.0-or-later
#include "catalogue/FolderSweep.h"

#include "platform/ByteText.h"
#include "platform/PathText.h"

#include <cerrno>

namespace trevalo {

namespace {

DirListing::Type typeOf(FileKind kind) {
    switch (kind) {
    case FileKind::Directory:
        return DirListing::Type::Directory;
    case FileKind::Regular:
        return DirListing::Type::Regular;
    case FileKind::Symlink:
        return DirListing::Type::Symlink;
    default:
        return DirListing::Type::Other;
    }
}

} // namespace

FolderSweep::FolderSweep() : trash_(TrashFolders::current()) {}

bool FolderSweep::shouldStop() {
    if (!stopped_ && stop_ && stop_())
        stopped_ = true;
    return stopped_;
}

void FolderSweep::sweep(std::string_view searchPath, bool recursive) {
    if (shouldStop())
        return;
    const std::string_view folderText = folderOf(searchPath);
    pattern_ = std::string(fileNameOf(searchPath));
    const std::string path =
        folderText.empty() ? std::string(".") : withoutTrailingSlashes(folderText);
    const FolderHandle top(path);
    if (!top.isOpen())
        return;
    const FileStatus st = top.status();
    if (st.error || trash_.isTrash(FileId{st.device, st.inode}) || top.isPseudoFileSystem() ||
        !seenFolders_.insert(FileId{st.device, st.inode}))
        return;
    std::vector<Found> below;
    walk(top, path, st.device, recursive, below);
    for (Found& f : below)
        empty_.push_back(std::move(f));
}

bool FolderSweep::walk(const FolderHandle& folder, const std::string& path, std::uint64_t device,
                       bool recursive, std::vector<Found>& below) {
    if (shouldStop())
        return false;
    DirListing listing(folder.fd());
    if (!listing.isOpen())
        return false;
    const std::string folderPath = path == "/" ? path : path + "/";
    const WildcardPattern pattern(pattern_);
    bool empty = true;
    DirListing::Entry e;
    while (listing.next(e)) {
        DirListing::Type type = e.type;
        if (type == DirListing::Type::Unknown)
            type = typeOf(folder.statChild(e.name, false).kind);
        if (exclude_ && exclude_(folderPath, e.name, type == DirListing::Type::Directory)) {
            empty = false;
            continue;
        }
        if (type == DirListing::Type::Symlink) {
            empty = false;
            if (!pattern.matches(e.name))
                continue;
            const FileStatus link = folder.statChild(e.name, false);
            if (link.kind != FileKind::Symlink || !seenLinks_.insert({link.device, link.inode}))
                continue;
            const FileStatus target = folder.statChild(e.name, true);
            if (target.kind == FileKind::Missing && target.error.code() == ENOENT)
                broken_.push_back(Found{childPath(path, e.name), link});
            continue;
        }
        if (type != DirListing::Type::Directory || !recursive) {
            empty = false;
            continue;
        }
        const FolderHandle child = folder.openChild(e.name, false);
        const FileStatus st = child.isOpen() ? child.status() : FileStatus{};
        const FileId id{st.device, st.inode};
        if (!child.isOpen() || st.error || st.device != device || trash_.isTrash(id) ||
            child.isPseudoFileSystem() || !seenFolders_.insert(id)) {
            empty = false;
            continue;
        }
        std::vector<Found> inside;
        const std::string childFolder = childPath(path, e.name);
        if (walk(child, childFolder, device, recursive, inside)) {
            below.push_back(Found{childFolder, st});
        } else {
            empty = false;
            for (Found& f : inside)
                below.push_back(std::move(f));
        }
        if (stopped_)
            return false;
    }
    return empty && !listing.error();
}

} // namespace trevalo
