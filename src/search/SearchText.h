// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "search/SearchState.h"

#include <cstdint>
#include <string>

namespace trevalo {

// A count with thousands separators: "12,345".
std::string groupedCount(std::int64_t count);

// "Completed in S s, searching N files.", S in whole seconds rounded down, N grouped.
std::string completionText(double seconds, std::int64_t files);
// "Cancelled after S s, searching N files.": the lists hold what was found before the cancel.
std::string cancelledText(double seconds, std::int64_t files);
// The one of the two that fits how the search ended, with "; N proven earlier." in place of
// the full stop when the proof cache spared reading N files.
std::string outcomeText(const SearchOutcome& outcome);

} // namespace trevalo
