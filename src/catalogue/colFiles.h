#pragma once

#include "catalogue/FileIdSet.h"
#include "platform/FileSystem.h"

#include <atomic>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace trevalo {

// The catalogue of one search run: the full paths of the files the search paths name, in the
// order they were found, each file once. A file is one device and inode, so a path reached
// twice, a hard link or a folder reached through a link adds nothing the second time.
class colFiles {
public:
    colFiles() = default;

    // Empties the catalogue.
    void Clear();

    // Walks one search path ("folder/pattern") and adds the regular files found. With
    // bRecursive, every sub-folder's whole subtree comes first, in listing order, then the
    // folder's own matching files. Returns the number of paths held afterwards.
    std::int64_t LoadFiles(std::string_view sFileSpec, bool bRecursive);

    // The paths in insertion order.
    const std::vector<std::string>& Items() const { return paths_; }
    std::vector<std::string>& Items() { return paths_; }
    std::int64_t Count() const { return static_cast<std::int64_t>(paths_.size()); }

    // The path at a 1-based position, or the held path equal to key; empty when there is none.
    std::string Item(std::int64_t position) const;
    std::string Item(std::string_view key) const;

    // Removes the path at a 1-based position or the held path equal to key; false when there
    // is none (nothing changes).
    bool Remove(std::int64_t position);
    bool Remove(std::string_view key);

    // Appends a path keyed by itself, unless it is empty or already held.
    void Add(std::string_view sFileName);

    // A flag that, once set, ends every walk at once (the program is closing).
    void setAbortFlag(const std::atomic<bool>* abort) { abort_ = abort; }

private:
    void walk(const std::string& folder, std::string_view pattern, bool recursive);
    void walk(const std::string& folder, const FolderHandle& handle, std::uint64_t parentDevice,
              std::string_view pattern, bool recursive);
    void insert(std::string path, const FileId& id);
    bool holdsPath(std::string_view path) const;

    bool aborted() const { return abort_ && abort_->load(std::memory_order_relaxed); }

    const std::atomic<bool>* abort_ = nullptr;
    std::vector<std::string> paths_;
    FileIdSet files_;       // files already held
    FileIdSet foldersSeen_; // folders walked by this LoadFiles
};

} // namespace trevalo
