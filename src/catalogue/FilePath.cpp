// SPDX-License-Identifier: GPL-2.0-or-later
#include "catalogue/FilePath.h"

#include <cstring>
#include <new>
#include <utility>

namespace trevalo {

PathBlock* PathBlock::create(std::string_view folder, std::size_t namesBytes) {
    const std::size_t capacity = folder.size() + namesBytes;
    void* memory = ::operator new(sizeof(PathBlock) + capacity);
    auto* block = new (memory)
        PathBlock(static_cast<std::uint32_t>(folder.size()), static_cast<std::uint32_t>(capacity));
    if (!folder.empty())
        std::memcpy(block->text(), folder.data(), folder.size());
    return block;
}

std::uint32_t PathBlock::append(std::string_view name) {
    const std::uint32_t at = used_;
    if (!name.empty())
        std::memcpy(text() + at, name.data(), name.size());
    used_ += static_cast<std::uint32_t>(name.size());
    return at;
}

void PathBlock::drop() {
    if (refs_.fetch_sub(1, std::memory_order_acq_rel) == 1) {
        this->~PathBlock();
        ::operator delete(this);
    }
}

FilePath::FilePath(std::string_view path) {
    const std::size_t slash = path.rfind('/');
    const std::size_t folderLength = slash == std::string_view::npos ? 0 : slash + 1;
    const std::string_view name = path.substr(folderLength);
    block_ = PathBlock::create(path.substr(0, folderLength), name.size());
    offset_ = block_->append(name);
    length_ = static_cast<std::uint32_t>(name.size());
}

FilePath::FilePath(PathBlock* block, std::uint32_t offset, std::uint32_t length)
    : block_(block), offset_(offset), length_(length) {
    if (block_)
        block_->hold();
}

FilePath::FilePath(const FilePath& other)
    : block_(other.block_), offset_(other.offset_), length_(other.length_) {
    if (block_)
        block_->hold();
}

FilePath& FilePath::operator=(const FilePath& other) {
    FilePath copy(other);
    swap(*this, copy);
    return *this;
}

std::string FilePath::str() const {
    const std::string_view f = folder();
    const std::string_view n = name();
    std::string out;
    out.reserve(f.size() + n.size());
    out.append(f).append(n);
    return out;
}

} // namespace trevalo
