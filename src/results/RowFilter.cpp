// SPDX-License-Identifier: GPL-2.0-or-later
#include "results/RowFilter.h"

#include "results/GroupNumbers.h"

#include <algorithm>
#include <cstring>

namespace trevalo {

namespace {

bool isPlainAscii(std::string_view s) {
    return std::none_of(s.begin(), s.end(),
                        [](char c) { return static_cast<unsigned char>(c) & 0x80; });
}

inline char lowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
}

// Whether haystack contains needle (lower-case ASCII), ASCII letters without regard to case.
bool containsAsciiNoCase(std::string_view haystack, std::string_view needle) {
    if (needle.size() > haystack.size())
        return false;
    const char first = needle.front();
    const char firstUpper = (first >= 'a' && first <= 'z') ? static_cast<char>(first - 32) : first;
    const std::size_t last = haystack.size() - needle.size();
    for (std::size_t i = 0; i <= last; ++i) {
        if (haystack[i] != first && haystack[i] != firstUpper)
            continue;
        std::size_t k = 1;
        while (k < needle.size() && lowerAscii(haystack[i + k]) == needle[k])
            ++k;
        if (k == needle.size())
            return true;
    }
    return false;
}

std::string_view withoutTrailingSlash(std::string_view folder) {
    if (folder.size() > 1 && folder.back() == '/')
        folder.remove_suffix(1);
    return folder;
}

} // namespace

RowFilter::RowFilter(std::string_view text) : text_(text) {
    if (text_.empty())
        return;
    if (text_.find_first_of("*?") != std::string::npos)
        wildcard_.emplace(text_);
    folded_ = foldCase(text_);
    asciiText_ = isPlainAscii(folded_);
}

bool RowFilter::contains(std::string_view haystack) const {
    if (isPlainAscii(haystack)) {
        // A plain name folds to plain ASCII: it cannot hold a text that folds to more.
        return asciiText_ && containsAsciiNoCase(haystack, folded_);
    }
    return foldCase(haystack).find(folded_) != std::string::npos;
}

bool RowFilter::passes(const ResultRow& row) const {
    if (text_.empty())
        return true;
    if (!wildcard_)
        return contains(row.name) || contains(row.folder);
    if (wildcard_->matches(row.name) || wildcard_->matches(withoutTrailingSlash(row.folder)))
        return true;
    std::string path;
    path.reserve(row.folder.size() + row.name.size());
    path.append(row.folder).append(row.name);
    return wildcard_->matches(path);
}

std::vector<int> RowFilter::shownRows(const std::vector<ResultRow>& rows, int list) const {
    std::vector<int> shown;
    if (text_.empty()) {
        shown.resize(rows.size());
        for (std::size_t i = 0; i < rows.size(); ++i)
            shown[i] = static_cast<int>(i);
        return shown;
    }
    if (list != ListDuplicates && list != ListSameName) {
        for (std::size_t i = 0; i < rows.size(); ++i)
            if (passes(rows[i]))
                shown.push_back(static_cast<int>(i));
        return shown;
    }

    // Groups: first the rows that pass on their own and their groups, then every row of
    // those groups.
    const GroupNumbers groups(rows, list);
    std::vector<bool> rowPasses(rows.size(), false);
    std::vector<bool> groupShows(groups.count(), false);
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const int g = groups.of(i);
        if (g != GroupNumbers::kNoGroup && groupShows[static_cast<std::size_t>(g)])
            continue; // shows anyway
        if (!passes(rows[i]))
            continue;
        rowPasses[i] = true;
        if (g != GroupNumbers::kNoGroup)
            groupShows[static_cast<std::size_t>(g)] = true;
    }
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const int g = groups.of(i);
        if (rowPasses[i] ||
            (g != GroupNumbers::kNoGroup && groupShows[static_cast<std::size_t>(g)]))
            shown.push_back(static_cast<int>(i));
    }
    return shown;
}

} // namespace trevalo
