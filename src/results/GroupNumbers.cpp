// SPDX-License-Identifier: GPL-2.0-or-later
#include "results/GroupNumbers.h"

#include "platform/ByteText.h"

#include <algorithm>
#include <string>
#include <unordered_map>

namespace trevalo {

namespace {

// Group keys are positions in the search's table: when they are not spread much wider than
// the rows, a vector indexed by key is both smaller and faster than a hash map.
constexpr std::int64_t kDenseSlack = 4096;
constexpr std::int64_t kDenseFactor = 8;

bool isPlainAscii(std::string_view s) {
    return std::none_of(s.begin(), s.end(),
                        [](char c) { return static_cast<unsigned char>(c) & 0x80; });
}

// The name folded as the same-name search compares it, into out.
void foldNameInto(std::string_view name, std::string& out) {
    if (!isPlainAscii(name)) {
        out = foldCase(name);
        return;
    }
    out.assign(name);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c + 32);
}

} // namespace

GroupNumbers::GroupNumbers(const std::vector<ResultRow>& rows, int list)
    : ofRow_(rows.size(), kNoGroup) {
    const auto next = [this] { return static_cast<int>(count_++); };
    if (list == ListSameName) {
        std::unordered_map<std::string, int> numbers;
        numbers.reserve(rows.size());
        std::string folded;
        for (std::size_t i = 0; i < rows.size(); ++i) {
            if (rows[i].isFolder)
                continue;
            foldNameInto(rows[i].name, folded);
            const auto [it, added] = numbers.try_emplace(folded, 0);
            if (added)
                it->second = next();
            ofRow_[i] = it->second;
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
    if (maxKey < kDenseFactor * rowCount + kDenseSlack) {
        std::vector<int> numbers(static_cast<std::size_t>(maxKey) + 1, kNoGroup);
        for (std::size_t i = 0; i < rows.size(); ++i) {
            const ResultRow& row = rows[i];
            if (row.isFolder || row.group < 0)
                continue;
            int& number = numbers[static_cast<std::size_t>(row.group)];
            if (number == kNoGroup)
                number = next();
            ofRow_[i] = number;
        }
        return;
    }
    std::unordered_map<std::int64_t, int> numbers;
    numbers.reserve(rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const ResultRow& row = rows[i];
        if (row.isFolder || row.group < 0)
            continue;
        const auto [it, added] = numbers.try_emplace(row.group, 0);
        if (added)
            it->second = next();
        ofRow_[i] = it->second;
    }
}

} // namespace trevalo
