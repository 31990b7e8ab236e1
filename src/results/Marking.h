// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "search/ResultRow.h"

#include <cstdint>
#include <string_view>
#include <vector>

namespace trevalo {

// Marking rows for deletion. The list index is the tab's: 0 "Zero Size", 1 "Duplicates",
// 2 "Same Name", 3 "Report - read errors".

// Which file of a pair with the same key "Mark older/newer files for deletion" marks.
enum class Age { Older, Newer };

// Sets (or clears) the mark of every row.
void setAllMarks(std::vector<ResultRow>& rows, bool marked);

// Whether "Mark older/newer files for deletion" apply to a list: only "Duplicates" and
// "Same Name" have groups.
bool markByAgeEnabled(int list);

// The column markByAge sorts a list by: "Name" in "Same Name", "#" otherwise.
int markKeyColumn(int list);

// Clears every mark, sorts the rows ascending by the list's key column (markKeyColumn) and
// then, for each pair of adjacent rows with equal keys ("#" text in "Duplicates", the name
// without regard to letter case in "Same Name"), marks the older of the two (Age::Older) or the
// newer one (Age::Newer). Age is the calendar day of the "Date Modified" text; on
// the same day the lower row of the pair counts as the older. A pass only ever sets marks, so
// at least one row of every group stays unmarked.
void markByAge(std::vector<ResultRow>& rows, int list, Age age);

// The calendar day of a "Date Modified" text as yyyymmdd, for comparing ages. The zero date
// ("1899/12/30 00:00:00", a time that could not be read) and a text that is not a date give
// a day before every real one. Any separators are accepted between the six numbers.
std::int64_t dayOfDateText(std::string_view text);

} // namespace trevalo
