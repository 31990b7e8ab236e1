// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <cstddef>
#include <vector>

namespace trevalo {

// The rows of a list a command acts on: every row, or only the listed positions (the rows a
// filter shows, ascending, as RowFilter gives them). The positions are not owned: they must
// outlive the scope. Positions out of range are passed over.
class RowScope {
public:
    // Every row.
    RowScope() = default;
    explicit RowScope(const std::vector<int>& positions) : positions_(&positions) {}

    bool isAll() const { return positions_ == nullptr; }

    // Calls fn(position) for each row in the scope of a list of rowCount rows, in order.
    template <class Fn> void forEach(std::size_t rowCount, Fn&& fn) const {
        if (!positions_) {
            for (std::size_t i = 0; i < rowCount; ++i)
                fn(i);
            return;
        }
        for (const int p : *positions_)
            if (p >= 0 && static_cast<std::size_t>(p) < rowCount)
                fn(static_cast<std::size_t>(p));
    }

private:
    const std::vector<int>* positions_ = nullptr;
};

} // namespace trevalo
