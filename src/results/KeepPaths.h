// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "search/ResultRow.h"
#include "search/SearchState.h"

#include <cstddef>
#include <vector>

namespace trevalo {

// A Keep box ticked or cleared on a path row after the lists were filled takes effect on them at
// once, as a search with that row kept would have: a file reached by a path row lies under its
// folder (directly, or at any depth when it takes sub-folders) and has a name its pattern
// matches. Folders are compared as written and with their links resolved, so a file listed
// through a link to a kept folder is reached too.
//
// A row of a whole folder is reached when it lies in the row's folder or holds it.
//
// Ticked (kept true): every file row `changed` reaches becomes kept and loses its mark. Cleared:
// the rows `changed` reaches and no other Keep row of `rows` reaches are kept no longer; a file
// kept for another reason (found through a Keep path under another name) stays kept. Folders'
// rows are left alone. Returns how many rows changed.
std::size_t followKeepBox(std::vector<ResultRow>& listed, const PathRow& changed, bool kept,
                          const std::vector<PathRow>& rows);

} // namespace trevalo
