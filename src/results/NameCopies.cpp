// SPDX-License-Identifier: GPL-2.0-or-later
#include "results/NameCopies.h"

#include "results/GroupNumbers.h"

#include <string>
#include <unordered_map>

namespace trevalo {

void markIdenticalNamesakes(std::vector<ResultRow>& sameName,
                            const std::vector<ResultRow>& duplicates) {
    std::unordered_map<std::string, std::int64_t> groupOf;
    groupOf.reserve(duplicates.size());
    for (const ResultRow& row : duplicates)
        if (!row.isFolder && row.group >= 0)
            groupOf.emplace(row.path(), row.group);
    for (ResultRow& row : sameName) {
        const auto it = groupOf.find(row.path());
        row.group = it == groupOf.end() ? GroupMark::None : it->second;
    }
}

std::vector<int> rowsOfDifferingNames(const std::vector<ResultRow>& sameName) {
    const GroupNumbers names(sameName, ListSameName);
    // Per name: the first content seen (a group key, or None for a file in no group) and
    // whether another one came.
    constexpr std::int64_t kUnseen = GroupMark::Dropped;
    std::vector<std::int64_t> first(names.count(), kUnseen);
    std::vector<char> differs(names.count(), 0);
    for (std::size_t i = 0; i < sameName.size(); ++i) {
        const int n = names.of(i);
        if (n == GroupNumbers::kNoGroup)
            continue;
        const auto k = static_cast<std::size_t>(n);
        const std::int64_t content = sameName[i].group;
        if (first[k] == kUnseen)
            first[k] = content;
        else if (content != first[k] || content < 0)
            differs[k] = 1;
    }
    std::vector<int> rows;
    for (std::size_t i = 0; i < sameName.size(); ++i)
        if (names.of(i) != GroupNumbers::kNoGroup && differs[static_cast<std::size_t>(names.of(i))])
            rows.push_back(static_cast<int>(i));
    return rows;
}

} // namespace trevalo
