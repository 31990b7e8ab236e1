// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace trevalo {

// An entry of a row of the proof store, as 64-bit numbers: the file's inode number; the day it
// was last seen (high half) and its shape (low half: 1 when the first chunk's digest is there,
// plus twice the number of part digests); its size, last-write and change times in nanoseconds
// and proof number; the two halves of its first chunk's digest when it is known; then chunk, low
// and high half of each part digest. A row holds its entries in inode order.
constexpr std::size_t kFixedWords = 6;
constexpr std::size_t kHeadWords = 2;
constexpr std::size_t kPartWords = 3;
constexpr std::int64_t kShapeMask = 0xffffffff;

// The second word of an entry: the day it was last seen and its shape.
constexpr std::int64_t datedShape(std::int64_t day, std::int64_t shape) {
    return static_cast<std::int64_t>(static_cast<std::uint64_t>(day) << 32 |
                                     (static_cast<std::uint64_t>(shape) & kShapeMask));
}
constexpr std::int64_t dayOf(std::int64_t datedShape) {
    return datedShape >> 32;
}

// The words of one entry of this shape.
constexpr std::size_t entryWords(std::int64_t shape) {
    return kFixedWords + ((shape & 1) != 0 ? kHeadWords : 0) +
           static_cast<std::size_t>(shape >> 1) * kPartWords;
}

// The entries of a row (whole entries, as above) as the store keeps them: each number as the
// difference from its like in the entry before (inode, day, last-write time, the last proof
// other than 0) or from the last-write time (change time) in 1 to 10 bytes, digests as they are,
// and a checksum of it all at the end. The entries of a folder's files mostly differ little: a
// row takes some 30 bytes a file rather than 64, which the store writes, logs and reads.
void packEntries(std::span<const std::int64_t> words, std::string& bytes);

// The words of a row packed by packEntries, in `words`; false, with `words` empty, when the
// bytes are not that (cut short, changed, or with more than `mostParts` part digests to an
// entry).
bool unpackEntries(std::span<const unsigned char> bytes, std::size_t mostParts,
                   std::vector<std::int64_t>& words);

} // namespace trevalo
