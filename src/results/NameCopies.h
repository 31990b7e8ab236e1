// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "search/ResultRow.h"

#include <vector>

namespace trevalo {

// "Same Name" beside "Duplicates": which files of one name hold the same bytes. Merging two
// photo libraries whose cameras both counted from IMG_0001 gives names shared by identical
// copies and by different photos alike; only the second kind must be renamed before a merge.

// Gives each row of "Same Name" the key of the "Duplicates" group its file belongs to (the
// same path), or GroupMark::None when it is in none, so that identical files of one name show
// the same "#" and can stand together.
void markIdenticalNamesakes(std::vector<ResultRow>& sameName,
                            const std::vector<ResultRow>& duplicates);

// The positions (ascending) of the rows of "Same Name" whose name (letter case ignored) is
// shared by files that are not all identical: two files of the name in different groups of
// identical files, or one in none. The rows must carry markIdenticalNamesakes' keys.
std::vector<int> rowsOfDifferingNames(const std::vector<ResultRow>& sameName);

} // namespace trevalo
