// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

namespace trevalo {

// The text of one folder's path followed by the names of files in it, shared by the paths of
// those files; freed with the last of them.
class PathBlock {
public:
    // A block holding `folder` (ending in "/", or empty) and room for `namesBytes` bytes of
    // names; one reference is held by the caller.
    static PathBlock* create(std::string_view folder, std::size_t namesBytes);

    std::string_view folder() const { return {text(), folderLength_}; }
    std::string_view at(std::uint32_t offset, std::uint32_t length) const {
        return {text() + offset, length};
    }
    // Copies a name into the room left; returns its offset.
    std::uint32_t append(std::string_view name);

    void hold() { refs_.fetch_add(1, std::memory_order_relaxed); }
    void drop();

private:
    PathBlock(std::uint32_t folderLength, std::uint32_t capacity)
        : folderLength_(folderLength), used_(folderLength), capacity_(capacity) {}
    char* text() { return reinterpret_cast<char*>(this + 1); }
    const char* text() const { return reinterpret_cast<const char*>(this + 1); }

    std::atomic<std::uint32_t> refs_{1};
    std::uint32_t folderLength_;
    std::uint32_t used_;
    std::uint32_t capacity_;
};

// The path of a file as its folder's path, held once for all of the folder's files, and its
// name. 16 bytes; the whole path is put together only where it is used.
class FilePath {
public:
    FilePath() = default;
    // A path of its own (split at its last "/").
    FilePath(std::string_view path);
    FilePath(const std::string& path) : FilePath(std::string_view(path)) {}
    FilePath(const char* path) : FilePath(std::string_view(path)) {}
    // The name at `offset` of a folder's block (which it holds on to).
    FilePath(PathBlock* block, std::uint32_t offset, std::uint32_t length);
    ~FilePath() {
        if (block_)
            block_->drop();
    }
    FilePath(const FilePath& other);
    FilePath& operator=(const FilePath& other);
    FilePath(FilePath&& other) noexcept
        : block_(std::exchange(other.block_, nullptr)), offset_(other.offset_),
          length_(other.length_) {}
    FilePath& operator=(FilePath&& other) noexcept {
        FilePath moved(std::move(other));
        swap(*this, moved);
        return *this;
    }

    // The folder, ending in "/" (empty for a bare name).
    std::string_view folder() const { return block_ ? block_->folder() : std::string_view(); }
    std::string_view name() const {
        return block_ ? block_->at(offset_, length_) : std::string_view();
    }
    std::string str() const;
    std::size_t size() const { return folder().size() + name().size(); }
    bool empty() const { return size() == 0; }

    friend bool operator==(const FilePath& a, std::string_view b) {
        const std::string_view f = a.folder();
        return b.size() == f.size() + a.length_ && b.substr(0, f.size()) == f &&
               b.substr(f.size()) == a.name();
    }
    friend void swap(FilePath& a, FilePath& b) noexcept {
        std::swap(a.block_, b.block_);
        std::swap(a.offset_, b.offset_);
        std::swap(a.length_, b.length_);
    }

private:
    PathBlock* block_ = nullptr;
    std::uint32_t offset_ = 0;
    std::uint32_t length_ = 0;
};

} // namespace trevalo
