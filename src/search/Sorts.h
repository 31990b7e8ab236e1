// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "search/SearchState.h"

#include <cstdint>

namespace trevalo {

// In-place quicksorts of the table over the closed range [L, r], Hoare partition around the
// middle entry (rounded half to even). They are not stable: the order of equal keys follows
// from the partition steps, and group keys depend on it, so the steps must stay as they are.
// An exchange moves everything an entry holds (path, size, stamp, reason and flags) but its
// group, which stays in its slot.

// By size, ascending, signed (a size of -1 sorts first).
void sortBySize(FileTable& table, std::int64_t L, std::int64_t r);
// By file name, ascending, letter case ignored.
void sortByName(FileTable& table, std::int64_t L, std::int64_t r);

// The middle of [L, r], a half rounded to the even neighbour.
std::int64_t middleIndex(std::int64_t L, std::int64_t r);

} // namespace trevalo
