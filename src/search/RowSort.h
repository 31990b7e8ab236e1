// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "search/ResultRow.h"

#include <vector>

namespace trevalo {

// Sorts result rows by one column (0-based ResultColumn); order 0 ascending, 1 descending.
// "Name" ignores letter case, "#" and "Size" compare as numbers, "In Folder" and
// "Date Modified" as text. Rows with equal keys keep their order.
void sortRows(std::vector<ResultRow>& rows, int column, int order);

} // namespace trevalo
