// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "platform/FileSystem.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace trevalo {

// A set of file identities (device, inode): open addressing with linear probing in one flat
// array, far lighter and quicker than a node-based set for a million files. Inode 0 marks a
// free slot; no file has it, and an identity with inode 0 is kept aside.
class FileIdSet {
public:
    // Adds id; false when it was there already.
    bool insert(const FileId& id) {
        if (id.inode == 0)
            return insertZero(id);
        if ((size_ + 1) * 4 > slots_.size() * 3)
            grow();
        return insertInto(slots_, id);
    }
    bool contains(const FileId& id) const {
        if (id.inode == 0)
            return std::find(zeros_.begin(), zeros_.end(), id) != zeros_.end();
        if (slots_.empty())
            return false;
        const std::size_t mask = slots_.size() - 1;
        for (std::size_t i = hashOf(id) & mask;; i = (i + 1) & mask) {
            if (slots_[i].inode == 0)
                return false;
            if (slots_[i] == id)
                return true;
        }
    }
    bool erase(const FileId& id) {
        // Rare: rebuild without the id, which keeps probing simple.
        if (!contains(id))
            return false;
        if (id.inode == 0) {
            zeros_.erase(std::find(zeros_.begin(), zeros_.end(), id));
            return true;
        }
        std::vector<FileId> old(slots_.size());
        old.swap(slots_);
        size_ = zeros_.size();
        for (const FileId& s : old)
            if (s.inode != 0 && !(s == id))
                insertInto(slots_, s);
        return true;
    }
    void clear() {
        slots_ = {};
        zeros_ = {};
        size_ = 0;
    }
    std::size_t size() const { return size_; }
    // Adds every identity of `other`.
    void insertAll(const FileIdSet& other) {
        for (const Slot& s : other.slots_)
            if (s.inode != 0)
                insert(s);
        for (const FileId& id : other.zeros_)
            insert(id);
    }

private:
    using Slot = FileId;

    bool insertZero(const FileId& id) {
        if (std::find(zeros_.begin(), zeros_.end(), id) != zeros_.end())
            return false;
        zeros_.push_back(id);
        ++size_;
        return true;
    }

    static std::size_t hashOf(const FileId& id) {
        std::uint64_t x = id.inode ^ (id.device * 0x9E3779B97F4A7C15ull);
        x ^= x >> 33;
        x *= 0xFF51AFD7ED558CCDull;
        x ^= x >> 33;
        return static_cast<std::size_t>(x);
    }

    bool insertInto(std::vector<Slot>& cells, const FileId& id) {
        const std::size_t mask = cells.size() - 1;
        for (std::size_t i = hashOf(id) & mask;; i = (i + 1) & mask) {
            if (cells[i].inode == 0) {
                cells[i] = id;
                ++size_;
                return true;
            }
            if (cells[i] == id)
                return false;
        }
    }

    void grow() {
        std::vector<Slot> bigger(slots_.empty() ? 1024 : slots_.size() * 2);
        size_ = zeros_.size();
        for (const Slot& s : slots_)
            if (s.inode != 0)
                insertInto(bigger, s);
        slots_.swap(bigger);
    }

    std::vector<Slot> slots_;
    std::vector<FileId> zeros_;
    std::size_t size_ = 0;
};

} // namespace trevalo
