// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "search/ResultRow.h"

#include <cstddef>
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

} // namespace trevalo
