// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "platform/ByteText.h"
#include "search/ResultRow.h"

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace trevalo {

// The groups of a result list numbered 0, 1, ... in the order they first appear, so that a
// pass over the rows can keep what it learns of each group in a plain vector. In "Same Name"
// a group is the rows whose names are equal without regard to letter case; in every other
// list it is the rows with one group key (ResultRow::group), and rows in no group (a
// negative key) and folders' rows have none.
class GroupNumbers {
public:
    GroupNumbers(const std::vector<ResultRow>& rows, int list);

    static constexpr int kNoGroup = -1;
    // The group of the row at position i, or kNoGroup.
    int of(std::size_t i) const { return ofRow_[i]; }
    std::size_t count() const { return count_; }

private:
    std::vector<int> ofRow_;
    std::size_t count_ = 0;
};

// The rows of "Duplicates", "Same Name" or the identical folders of "Folders" that are no longer
// one of a group: rows that may be acted on (neither stale nor a folder's) whose group holds no
// other such row. Positions in rows(), ascending; none for the other lists, which have no groups.
std::vector<int> rowsWithoutGroup(const std::vector<ResultRow>& rows, int list);

// What a row's group is known by: the group key, or in "Same Name" the row's name, folded and
// hashed by two different functions (FNV-1a and a multiplicative one) into 128 bits. The bits
// find a key in a table; names with the same bits are one group only when they are equal without
// regard to case, so that a collision of the hashes never joins two names.
struct GroupKey {
    std::uint64_t low = 0;
    std::uint64_t high = 0;
    // "Same Name" only: the row's name as listed; it must outlive the key.
    std::string_view name;
    bool sameBits(const GroupKey& other) const { return low == other.low && high == other.high; }
    bool operator==(const GroupKey& other) const {
        return sameBits(other) && (name.empty() == other.name.empty()) &&
               (name.empty() || equalNoCase(name, other.name));
    }
};
// The key of a name in "Same Name" (it holds the name).
GroupKey foldedNameKey(std::string_view name);
// The key of a row's group in a list; false for a row in no group.
bool groupKeyOf(const ResultRow& row, int list, GroupKey& key);

// A set of group keys, each with a number, in one flat table with linear probing: a million
// keys take one allocation instead of a million. The names of the keys must outlive the set.
class GroupKeySet {
public:
    explicit GroupKeySet(std::size_t expected);
    // The number of a key: GroupNumbers::kNoGroup until the caller sets it.
    int& numberOf(const GroupKey& key);
    void insert(const GroupKey& key);
    bool contains(const GroupKey& key) const;

private:
    // Key and number side by side: a look-up touches one cache line.
    struct Slot {
        GroupKey key;
        int number = GroupNumbers::kNoGroup;
    };
    std::size_t mask_ = 0;
    std::vector<Slot> slots_;
};

} // namespace trevalo
