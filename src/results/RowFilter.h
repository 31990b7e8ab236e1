// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "platform/ByteText.h"
#include "search/ResultRow.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace trevalo {

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
    bool passes(const ResultRow& row) const;

    // The positions (ascending) of the rows of a list that show: every position when the
    // text is empty.
    std::vector<int> shownRows(const std::vector<ResultRow>& rows, int list) const;

private:
    bool contains(std::string_view haystack) const;

    std::string text_;
    std::optional<WildcardPattern> wildcard_; // when the text holds "*" or "?"
    std::string folded_;                      // the text case-folded
    bool asciiText_ = true;                   // the folded text is plain ASCII
    bool endsInStar_ = false;
};

} // namespace trevalo
