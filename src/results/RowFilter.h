// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "platform/ByteText.h"
#include "results/GroupNumbers.h"
#include "search/ResultRow.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace trevalo {

// What the filter reads of each row of a list (name, folder, group), side by side in one
// buffer. Made once when the list's rows change (a search, a sort, a delete), it lets each key
// typed in the filter box read memory in order, where the rows' own strings lie wherever
// the heap put them (after a sort, a cache miss each).
class FilterTexts {
public:
    FilterTexts(const std::vector<ResultRow>& rows, int list);

    int list() const { return list_; }
    std::size_t size() const { return nameLength_.size(); }
    std::string_view name(std::size_t i) const {
        return std::string_view(bytes_).substr(start_[i], nameLength_[i]);
    }
    std::string_view folder(std::size_t i) const {
        const std::size_t from = start_[i] + nameLength_[i];
        return std::string_view(bytes_).substr(from, start_[i + 1] - from);
    }
    // The key of the row's group; false for a row in no group.
    bool groupKey(std::size_t i, GroupKey& key) const {
        key = GroupKey{keys_[i].low, keys_[i].high, list_ == ListSameName ? name(i) : ""};
        return grouped_[i] != 0;
    }

private:
    int list_;
    std::string bytes_;              // name and folder of each row, one after the other
    std::vector<std::size_t> start_; // where each row's bytes start; one more at the end
    std::vector<std::uint32_t> nameLength_;
    // The bits of each row's group key; a name is taken from bytes_ when it is asked for.
    struct KeyBits {
        std::uint64_t low = 0;
        std::uint64_t high = 0;
    };
    std::vector<KeyBits> keys_;
    std::vector<char> grouped_;
};

// The filter box: which rows of a list a typed text lets through.
//
// A text holding "*" or "?" is a wildcard (the dialect of the path rows) that a row passes
// when its name, its folder (without the trailing "/") or its full path matches. Any other
// text passes a row whose name or folder contains it, letters without regard to case (and
// bytes that are not UTF-8 as they are). In "Duplicates" and "Same Name" groups stay whole:
// every row of a group shows when one of its rows passes.
class RowFilter {
public:
    explicit RowFilter(std::string_view text);

    // An empty text lets every row through.
    bool isEmpty() const { return text_.empty(); }
    // Whether one row passes, on its own (without its group).
    bool passes(const ResultRow& row) const { return passes(row.name, row.folder()); }
    bool passes(std::string_view name, std::string_view folder) const;

    // The positions (ascending) of the rows of a list that show: every position when the
    // text is empty.
    std::vector<int> shownRows(const std::vector<ResultRow>& rows, int list) const;
    // The same from the texts of the rows, made beforehand.
    std::vector<int> shownRows(const FilterTexts& texts) const;

private:
    bool contains(std::string_view haystack) const;

    std::string text_;
    std::optional<WildcardPattern> wildcard_; // when the text holds "*" or "?"
    std::string folded_;                      // the text case-folded
    bool asciiText_ = true;                   // the folded text is plain ASCII
    bool endsInStar_ = false;
};

} // namespace trevalo
