// SPDX-License-Identifier: GPL-2.0-or-later
#include "search/Sorts.h"

#include "platform/ByteText.h"
#include "platform/Process.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

namespace trevalo {

std::int64_t middleIndex(std::int64_t L, std::int64_t r) {
    const std::int64_t sum = L + r;
    if (sum % 2 == 0)
        return sum / 2;
    const std::int64_t low = (sum - 1) / 2; // sum is odd and non-negative here
    return low % 2 == 0 ? low : low + 1;
}

namespace {

void exchange(FileTable& t, std::int64_t a, std::int64_t b) {
    FileEntry& x = t[static_cast<std::size_t>(a)];
    FileEntry& y = t[static_cast<std::size_t>(b)];
    swap(x.path, y.path); // its own swap: three fields, in place
    std::swap(x.size, y.size);
    std::swap(x.stamp, y.stamp);
    std::swap(x.reason, y.reason);
    std::swap(x.kept, y.kept);
    std::swap(x.throughLink, y.throughLink);
    std::swap(x.links, y.links);
}

// One partition of [L, r] around its middle key: afterwards [L, j] holds no key above it and
// [i, r] none below it.
template <typename Key, typename KeyOf, typename Less, typename Swap>
std::pair<std::int64_t, std::int64_t> partition(std::int64_t L, std::int64_t r, const KeyOf& keyOf,
                                                const Less& less, const Swap& swap) {
    std::int64_t i = L;
    std::int64_t j = r;
    const Key x = keyOf(middleIndex(L, r));
    while (i <= j) {
        // Both conditions are evaluated each time, as the loop is defined.
        for (;;) {
            const bool keyLess = less(keyOf(i), x);
            if (!(keyLess & (i < r)))
                break;
            ++i;
        }
        for (;;) {
            const bool keyGreater = less(x, keyOf(j));
            if (!(keyGreater & (j > L)))
                break;
            --j;
        }
        if (i <= j) {
            swap(i, j);
            ++i;
            --j;
        }
    }
    return {i, j};
}

// The partition and recursion of both sorts. Keys: key(k) gives entry k's key, less(a, b) the
// order, swap(a, b) exchanges entries (and whatever travels with them). The two sub-ranges
// are disjoint, so the smaller is sorted by recursion and the larger by the loop: the result
// is that of sorting (L, j) then (i, r), with a stack depth that stays logarithmic.
template <typename Key, typename KeyOf, typename Less, typename Swap>
void hoareSort(std::int64_t L, std::int64_t r, const KeyOf& keyOf, const Less& less,
               const Swap& swap) {
    while (L < r) {
        const auto [i, j] = partition<Key>(L, r, keyOf, less, swap);
        const bool left = L < j;
        const bool right = i < r;
        if (left && right) {
            if (j - L < r - i) {
                hoareSort<Key>(L, j, keyOf, less, swap);
                L = i;
            } else {
                hoareSort<Key>(i, r, keyOf, less, swap);
                r = j;
            }
        } else if (left) {
            r = j;
        } else if (right) {
            L = i;
        } else {
            return;
        }
    }
}

// Ranges at least this long are sorted on two threads where there are two processors.
constexpr std::int64_t kSplitSortEntries = 1 << 16;

// The same sort, its two sub-ranges after the first partition sorted side by side: they are
// disjoint, so the order comes out the same.
template <typename Key, typename KeyOf, typename Less, typename Swap>
void sortRange(std::int64_t L, std::int64_t r, const KeyOf& keyOf, const Less& less,
               const Swap& swap) {
    static const bool twoCores = usableCores() > 1;
    if (r - L + 1 < kSplitSortEntries || !twoCores) {
        hoareSort<Key>(L, r, keyOf, less, swap);
        return;
    }
    const auto [i, j] = partition<Key>(L, r, keyOf, less, swap);
    std::jthread other;
    if (L < j)
        other = std::jthread([&, j = j] { hoareSort<Key>(L, j, keyOf, less, swap); });
    if (i < r)
        hoareSort<Key>(i, r, keyOf, less, swap);
    // `other` joins as it goes.
}

} // namespace

void sortBySize(FileTable& table, std::int64_t L, std::int64_t r) {
    if (L >= r)
        return;
    sortRange<std::int64_t>(
        L, r, [&](std::int64_t k) { return table[static_cast<std::size_t>(k)].size; },
        [](std::int64_t a, std::int64_t b) { return a < b; },
        [&](std::int64_t a, std::int64_t b) { exchange(table, a, b); });
}

void sortByName(FileTable& table, std::int64_t L, std::int64_t r) {
    if (L >= r)
        return;
    // Folded names are worked out once. A name that folding changes is kept folded in one block
    // of text, and where it lies there travels with its entry; for the others (most names) the
    // key is the entry's own name. 8 bytes an entry besides the text, where a string of its own
    // would take 32 and a block of the heap.
    const auto nameAt = [&](std::int64_t k) { return table[static_cast<std::size_t>(k)].name(); };
    std::string folded;
    // offset << 16 | length (a name is at most 255 bytes, and folded at most half again as
    // long), or kOwnName.
    constexpr std::uint64_t kOwnName = ~std::uint64_t{0};
    std::vector<std::uint64_t> keys(static_cast<std::size_t>(r - L + 1));
    for (std::int64_t k = L; k <= r; ++k) {
        const std::string_view name = nameAt(k);
        const std::size_t offset = folded.size();
        appendFolded(folded, name);
        const std::string_view key = std::string_view(folded).substr(offset);
        if (key == name) {
            folded.resize(offset);
            keys[static_cast<std::size_t>(k - L)] = kOwnName;
        } else {
            keys[static_cast<std::size_t>(k - L)] =
                std::uint64_t{offset} << 16 | std::uint64_t{key.size()};
        }
    }
    sortRange<std::string_view>(
        L, r,
        [&](std::int64_t k) {
            const std::uint64_t key = keys[static_cast<std::size_t>(k - L)];
            if (key == kOwnName)
                return nameAt(k);
            return std::string_view(folded).substr(key >> 16, key & 0xFFFF);
        },
        [](std::string_view a, std::string_view b) { return a < b; },
        [&](std::int64_t a, std::int64_t b) {
            exchange(table, a, b);
            std::swap(keys[static_cast<std::size_t>(a - L)], keys[static_cast<std::size_t>(b - L)]);
        });
}

} // namespace trevalo
