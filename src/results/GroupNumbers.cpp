// SPDX-License-Identifier: GPL-2.0-or-later
#include "results/GroupNumbers.h"

#include "platform/ByteText.h"
#include "search/MixBits.h"

#include <algorithm>
#include <cstdint>
#include <string>

namespace trevalo {

namespace {

// Group keys are positions in the search's table: when they are not spread much wider than
// the rows, a vector indexed by key is both smaller and faster than a hash table.
constexpr std::int64_t kDenseSlack = 4096;
constexpr std::int64_t kDenseFactor = 8;
constexpr int kEmpty = GroupNumbers::kNoGroup;

} // namespace

GroupKeySet::GroupKeySet(std::size_t expected) {
    std::size_t capacity = 16;
    while (capacity < 2 * expected)
        capacity *= 2;
    mask_ = capacity - 1;
    slots_.assign(capacity, Slot{});
}

int& GroupKeySet::numberOf(const GroupKey& key) {
    std::size_t i = mixBits(key.low ^ key.high) & mask_;
    while (slots_[i].number != kEmpty && !(slots_[i].key == key))
        i = (i + 1) & mask_;
    if (slots_[i].number == kEmpty)
        slots_[i].key = key;
    return slots_[i].number;
}

bool GroupKeySet::contains(const GroupKey& key) const {
    std::size_t i = mixBits(key.low ^ key.high) & mask_;
    while (slots_[i].number != kEmpty) {
        if (slots_[i].key == key)
            return true;
        i = (i + 1) & mask_;
    }
    return false;
}

void GroupKeySet::insert(const GroupKey& key) {
    int& number = numberOf(key);
    if (number == kEmpty)
        number = 0;
}

GroupKey foldedNameKey(std::string_view name) {
    GroupKey key{0xcbf29ce484222325ULL, 0x9e3779b97f4a7c15ULL, name};
    const auto add = [&key](char c) {
        const auto byte = static_cast<unsigned char>(c);
        key.low = (key.low ^ byte) * 0x100000001b3ULL;
        key.high = (key.high + byte + 1) * 0xff51afd7ed558ccdULL;
    };
    const bool plain = std::none_of(name.begin(), name.end(),
                                    [](char c) { return static_cast<unsigned char>(c) & 0x80; });
    if (plain) {
        for (const char c : name)
            add((c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c);
    } else {
        for (const char c : foldCase(name))
            add(c);
    }
    key.high ^= name.size();
    return key;
}

bool groupKeyOf(const ResultRow& row, int list, GroupKey& key) {
    if (row.isFolder)
        return false;
    if (list == ListSameName) {
        key = foldedNameKey(row.name);
        return true;
    }
    if (row.group < 0)
        return false;
    key = GroupKey{static_cast<std::uint64_t>(row.group), 0, {}};
    return true;
}

GroupNumbers::GroupNumbers(const std::vector<ResultRow>& rows, int list)
    : ofRow_(rows.size(), kNoGroup) {
    const auto next = [this] { return static_cast<int>(count_++); };
    if (list == ListSameName) {
        // The search lists equal names side by side, and a sort by name keeps them so: a row
        // with the name of the row before is in its group. Other rows go by their folded
        // name's key, in a table sized for them alone (a million rows of a few thousand names
        // need a few thousand slots, not two million of 40 bytes).
        constexpr int kAsBefore = -2;
        std::size_t keyed = 0;
        std::size_t previous = rows.size();
        for (std::size_t i = 0; i < rows.size(); ++i) {
            if (rows[i].isFolder)
                continue;
            if (previous < rows.size() && equalNoCase(rows[previous].name, rows[i].name))
                ofRow_[i] = kAsBefore;
            else
                ++keyed;
            previous = i;
        }
        GroupKeySet numbers(keyed);
        previous = rows.size();
        for (std::size_t i = 0; i < rows.size(); ++i) {
            if (rows[i].isFolder)
                continue;
            if (ofRow_[i] == kAsBefore) {
                ofRow_[i] = ofRow_[previous];
                previous = i;
                continue;
            }
            previous = i;
            int& number = numbers.numberOf(foldedNameKey(rows[i].name));
            if (number == kEmpty)
                number = next();
            ofRow_[i] = number;
        }
        return;
    }

    std::int64_t maxKey = -1;
    for (const ResultRow& row : rows)
        if (!row.isFolder)
            maxKey = std::max(maxKey, row.group);
    if (maxKey < 0)
        return;
    const auto rowCount = static_cast<std::int64_t>(rows.size());
    const bool dense = maxKey < kDenseFactor * rowCount + kDenseSlack;
    std::vector<int> byKey(dense ? static_cast<std::size_t>(maxKey) + 1 : 0, kEmpty);
    GroupKeySet hashed(dense ? 0 : rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const ResultRow& row = rows[i];
        if (row.isFolder || row.group < 0)
            continue;
        int& number = dense
                          ? byKey[static_cast<std::size_t>(row.group)]
                          : hashed.numberOf(GroupKey{static_cast<std::uint64_t>(row.group), 0, {}});
        if (number == kEmpty)
            number = next();
        ofRow_[i] = number;
    }
}

std::vector<int> rowsWithoutGroup(const std::vector<ResultRow>& rows, int list) {
    std::vector<int> alone;
    if (list != ListDuplicates && list != ListSameName && list != ListFolders)
        return alone;
    const GroupNumbers groups(rows, list);
    // In "Folders" only identical folders form groups; a covered folder stands alone by itself.
    const auto live = [list](const ResultRow& r) {
        return !r.isFolder && !r.stale() && (list != ListFolders || r.group >= 0);
    };
    std::vector<int> members(groups.count(), 0);
    for (std::size_t i = 0; i < rows.size(); ++i)
        if (live(rows[i]) && groups.of(i) != GroupNumbers::kNoGroup)
            ++members[static_cast<std::size_t>(groups.of(i))];
    for (std::size_t i = 0; i < rows.size(); ++i)
        if (live(rows[i]) && (groups.of(i) == GroupNumbers::kNoGroup ||
                              members[static_cast<std::size_t>(groups.of(i))] < 2))
            alone.push_back(static_cast<int>(i));
    return alone;
}

} // namespace trevalo
