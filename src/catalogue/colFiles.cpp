#include "catalogue/colFiles.h"

#include "platform/ByteText.h"
#include "platform/PathText.h"

#include <algorithm>

namespace trevalo {

void colFiles::Clear() {
    paths_ = {};
    files_.clear();
    foldersSeen_.clear();
}

std::int64_t colFiles::LoadFiles(std::string_view sFileSpec, bool bRecursive) {
    const std::string_view folder = GetFolder(sFileSpec);
    const std::string_view pattern = GetFileName(sFileSpec);
    foldersSeen_.clear();
    walk(folder.empty() ? std::string("./") : std::string(folder), pattern, bRecursive);
    foldersSeen_.clear();
    return Count();
}

void colFiles::walk(const std::string& folder, std::string_view pattern, bool recursive) {
    FolderHandle top(folder);
    if (top.isOpen())
        walk(folder, top, 0, pattern, recursive);
}

void colFiles::walk(const std::string& folder, const FolderHandle& handle,
                    std::uint64_t parentDevice, std::string_view pattern, bool recursive) {
    if (aborted())
        return;
    const FileStatus self = handle.status();
    if (self.kind != FileKind::Directory)
        return;
    // A folder reached again through a link is walked once; this also ends link cycles.
    if (!foldersSeen_.insert(FileId{self.device, self.inode}))
        return;
    if (self.device != parentDevice && handle.isPseudoFileSystem())
        return;

    std::vector<DirListing::Entry> entries;
    {
        DirListing listing(handle.fd());
        if (!listing.isOpen())
            return;
        DirListing::Entry e;
        while (listing.next(e))
            entries.push_back(std::move(e));
    }

    if (recursive) {
        for (const auto& e : entries) {
            bool isFolder = e.type == DirListing::Type::Directory;
            if (e.type == DirListing::Type::Symlink || e.type == DirListing::Type::Unknown)
                isFolder = handle.statChild(e.name, true).kind == FileKind::Directory;
            if (!isFolder)
                continue;
            const FolderHandle child = handle.openChild(e.name);
            if (child.isOpen())
                walk(folder + e.name + '/', child, self.device, pattern, true);
        }
    }

    std::string path;
    for (const auto& e : entries) {
        if (e.type != DirListing::Type::Regular && e.type != DirListing::Type::Unknown)
            continue; // folders, links, FIFOs, sockets and devices are never taken
        if (!wildcardMatch(pattern, e.name))
            continue;
        const FileStatus st = handle.statChild(e.name, false);
        if (st.kind != FileKind::Regular)
            continue;
        path.assign(folder).append(e.name);
        insert(path, FileId{st.device, st.inode});
    }
}

void colFiles::insert(std::string path, const FileId& id) {
    if (files_.insert(id))
        paths_.push_back(std::move(path));
}

bool colFiles::holdsPath(std::string_view path) const {
    return std::find(paths_.begin(), paths_.end(), path) != paths_.end();
}

std::string colFiles::Item(std::int64_t position) const {
    if (position < 1 || position > Count())
        return {};
    return paths_[static_cast<std::size_t>(position - 1)];
}

std::string colFiles::Item(std::string_view key) const {
    return holdsPath(key) ? std::string(key) : std::string();
}

bool colFiles::Remove(std::int64_t position) {
    if (position < 1 || position > Count())
        return false;
    const auto it = paths_.begin() + (position - 1);
    const FileStatus st = statPath(*it, false);
    if (st.kind == FileKind::Regular)
        files_.erase(FileId{st.device, st.inode});
    paths_.erase(it);
    return true;
}

bool colFiles::Remove(std::string_view key) {
    const auto it = std::find(paths_.begin(), paths_.end(), key);
    if (it == paths_.end())
        return false;
    return Remove(static_cast<std::int64_t>(it - paths_.begin()) + 1);
}

void colFiles::Add(std::string_view sFileName) {
    if (sFileName.empty() || holdsPath(sFileName))
        return;
    const FileStatus st = statPath(std::string(sFileName), false);
    if (st.kind == FileKind::Regular && !files_.insert(FileId{st.device, st.inode}))
        return;
    paths_.emplace_back(sFileName);
}

} // namespace trevalo
