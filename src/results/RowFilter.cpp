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

// Whether a name holds a lead byte of the Kelvin sign or the long s (without branching, so
// that the loop runs on whole vectors).
bool mayHoldAsciiFolding(std::string_view s) {
    bool any = false;
    for (const char c : s)
        any |= (c == '\xE2') | (c == '\xC5');
    return any;
}

// After a sort the rows' names and folders lie all over the heap, each a cache miss: asking
// for those of a row a little ahead lets the misses overlap.
constexpr std::size_t kPrefetchAhead = 16;
inline void prefetchTexts(const std::vector<ResultRow>& rows, std::size_t i) {
    if (i < rows.size()) {
        __builtin_prefetch(rows[i].name.data());
        __builtin_prefetch(rows[i].folder().data());
    }
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
    endsInStar_ = text_.back() == '*';
    folded_ = foldCase(text_);
    asciiText_ = isPlainAscii(folded_);
}

bool RowFilter::contains(std::string_view haystack) const {
    if (asciiText_) {
        // Bytes that are not ASCII never equal the text's. Of the characters that are not
        // ASCII only two fold to ASCII letters, the Kelvin sign (E2 84 AA) and the long s
        // (C5 BF): only a name that may hold one needs folding.
        if (containsAsciiNoCase(haystack, folded_))
            return true;
        if (!mayHoldAsciiFolding(haystack))
            return false;
    } else if (isPlainAscii(haystack)) {
        return false; // a plain name folds to plain ASCII: it cannot hold this text
    }
    return foldCase(haystack).find(folded_) != std::string::npos;
}

bool RowFilter::passes(std::string_view name, std::string_view folder) const {
    if (text_.empty())
        return true;
    if (!wildcard_)
        return contains(name) || contains(folder);
    // A pattern that ends in "*" and matches the folder matches the full path too.
    return wildcard_->matches(name) || wildcard_->matches(folder, name) ||
           (!endsInStar_ && wildcard_->matches(withoutTrailingSlash(folder)));
}

FilterTexts::FilterTexts(const std::vector<ResultRow>& rows, int list)
    : list_(list), start_(rows.size() + 1, 0), nameLength_(rows.size(), 0), keys_(rows.size()),
      grouped_(rows.size(), 0) {
    std::size_t total = 0;
    for (const ResultRow& row : rows)
        total += row.name.size() + row.folder().size();
    bytes_.reserve(total);
    for (std::size_t i = 0; i < rows.size(); ++i) {
        prefetchTexts(rows, i + kPrefetchAhead);
        const ResultRow& row = rows[i];
        start_[i] = bytes_.size();
        nameLength_[i] = static_cast<std::uint32_t>(row.name.size());
        bytes_.append(row.name).append(row.folder());
        GroupKey key;
        grouped_[i] = groupKeyOf(row, list, key) ? 1 : 0;
        keys_[i] = {key.low, key.high};
    }
    start_[rows.size()] = bytes_.size();
}

namespace {

// The filter over any source of rows: count, name(i), folder(i), groupKey(i, key).
template <class Source>
std::vector<int> shownOf(const RowFilter& filter, const Source& source, int list) {
    const std::size_t count = source.size();
    std::vector<int> shown;
    if (filter.isEmpty()) {
        shown.resize(count);
        for (std::size_t i = 0; i < count; ++i)
            shown[i] = static_cast<int>(i);
        return shown;
    }
    if (list != ListDuplicates && list != ListSameName) {
        for (std::size_t i = 0; i < count; ++i) {
            source.prefetch(i + kPrefetchAhead);
            if (filter.passes(source.name(i), source.folder(i)))
                shown.push_back(static_cast<int>(i));
        }
        return shown;
    }

    // Groups: first the rows that pass on their own and their groups' keys, then the other
    // rows of those groups. The second pass reads only what the first kept.
    std::vector<GroupKey> keys(count);
    std::vector<char> state(count, 0); // 1: in a group, 2: passes
    std::size_t passing = 0;
    for (std::size_t i = 0; i < count; ++i) {
        source.prefetch(i + kPrefetchAhead);
        const bool grouped = source.groupKey(i, keys[i]);
        const bool passed = filter.passes(source.name(i), source.folder(i));
        state[i] = static_cast<char>((grouped ? 1 : 0) | (passed ? 2 : 0));
        passing += passed ? 1 : 0;
    }
    GroupKeySet shownGroups(passing);
    for (std::size_t i = 0; i < count; ++i)
        if (state[i] == 3)
            shownGroups.insert(keys[i]);
    for (std::size_t i = 0; i < count; ++i)
        if ((state[i] & 2) || (state[i] == 1 && passing > 0 && shownGroups.contains(keys[i])))
            shown.push_back(static_cast<int>(i));
    return shown;
}

// The rows themselves as a source.
struct RowSource {
    const std::vector<ResultRow>& rows;
    int list;
    std::size_t size() const { return rows.size(); }
    std::string_view name(std::size_t i) const { return rows[i].name; }
    std::string_view folder(std::size_t i) const { return rows[i].folder(); }
    bool groupKey(std::size_t i, GroupKey& key) const { return groupKeyOf(rows[i], list, key); }
    void prefetch(std::size_t i) const { prefetchTexts(rows, i); }
};

// Texts made beforehand, already in order.
struct TextSource {
    const FilterTexts& texts;
    std::size_t size() const { return texts.size(); }
    std::string_view name(std::size_t i) const { return texts.name(i); }
    std::string_view folder(std::size_t i) const { return texts.folder(i); }
    bool groupKey(std::size_t i, GroupKey& key) const { return texts.groupKey(i, key); }
    void prefetch(std::size_t) const {}
};

} // namespace

std::vector<int> RowFilter::shownRows(const std::vector<ResultRow>& rows, int list) const {
    return shownOf(*this, RowSource{rows, list}, list);
}

std::vector<int> RowFilter::shownRows(const FilterTexts& texts) const {
    return shownOf(*this, TextSource{texts}, texts.list());
}

} // namespace trevalo
