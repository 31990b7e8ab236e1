// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "search/OwnedValue.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace trevalo {

// A chunk of a file by its number (chunk c of files of one size starts at c times their chunk
// length), or a number of chunks.
using ChunkIndex = std::int64_t;

// A 128-bit digest (XXH3-128) of one chunk.
struct Digest128 {
    std::uint64_t low = 0;
    std::uint64_t high = 0;
    bool operator==(const Digest128&) const = default;
};

// The digest of one chunk of a file.
struct PartDigest {
    ChunkIndex chunk = 0;
    Digest128 digest;
    bool operator==(const PartDigest&) const = default;
};

// The digests of the chunks where a file parted from others: most files have none, so the list
// costs one pointer until its first digest comes (the proof cache holds one per file looked up).
class PartDigests {
public:
    const PartDigest* begin() const { return list_.get() ? list_.get()->data() : nullptr; }
    const PartDigest* end() const {
        return list_.get() ? list_.get()->data() + list_.get()->size() : nullptr;
    }
    std::size_t size() const { return list_.get() ? list_.get()->size() : 0; }
    void add(const PartDigest& part) { list_.made().push_back(part); }
    bool operator==(const PartDigests& other) const {
        return std::equal(begin(), end(), other.begin(), other.end());
    }

private:
    OwnedValue<std::vector<PartDigest>> list_;
};

// Digests of what a comparison read of one file: its first chunk, and the chunks where it was
// seen to part from another file of its size. Two files of one size with different digests of
// one chunk differ; equal digests prove nothing.
struct ReadDigests {
    static constexpr std::size_t kMostParts = 4;

    bool hasHead = false;
    Digest128 head;
    PartDigests parts; // at most kMostParts, each chunk once

    bool differsFrom(const ReadDigests& other) const;
    // Whether a digest of this chunk would be kept: one not known yet, while there is room.
    bool wantsPart(ChunkIndex chunk) const;
    void addPart(ChunkIndex chunk, const Digest128& digest);
    // Takes in what `other`, of a file known to be identical, tells.
    void merge(const ReadDigests& other);
    // Whether this tells something `other` does not.
    bool adds(const ReadDigests& other) const;
};

} // namespace trevalo
