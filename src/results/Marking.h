// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "results/RowScope.h"
#include "search/ResultRow.h"

#include <cstdint>
#include <string_view>
#include <vector>

namespace trevalo {

// Marking rows for deletion. The list index is the tab's: 0 "Zero Size", 1 "Duplicates",
// 2 "Same Name", 3 "Report - read errors".

// Which file of a pair with the same key "Mark older/newer files for deletion" marks.
enum class Age { Older, Newer };

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
// at least one row of every group stays unmarked. A kept file or a folder is never marked: a pair
// whose chosen row is one marks nothing. With a scope (the rows a filter shows, whole groups)
// only the groups with a row in it are cleared and marked; the other rows keep their marks.
void markByAge(std::vector<ResultRow>& rows, int list, Age age, const RowScope& scope = {});

// ---- Marking that keeps files ----
// None of the passes below ever marks a row that may not be acted on (ResultRow::mayBeActedOn).
// Each is one pass over the rows in a scope (every row, or the rows a filter shows) that keeps
// their order, as ResultListModel::editRows takes it.

// Which row of a group "Mark duplicates, keep one per group" leaves unmarked when the group
// holds no kept row (kept rows always stay unmarked, and then every other row is marked).
enum class KeepRule {
    Oldest,       // the earliest last-write time; a row without one comes last
    Newest,       // the latest last-write time; a row without one comes last
    ShortestPath, // the fewest bytes in folder + name
    FirstInOrder, // the first in the list's current order
};
// Ties go to the row that comes first in the list's current order.

// For each group of identical files (ResultRow::group) with rows in the scope: leaves the
// rows the rule keeps unmarked and marks every other row of the group in the scope. The
// rows kept are the group's kept rows or, when it has none, the one row the rule picks, so a
// group never ends up without an unmarked row in the scope, and a group whose rows are all
// kept gets no mark. Rows outside the scope, and rows in no group, keep their marks. Returns
// the number of rows marked by the pass.
std::size_t markAllButOnePerGroup(std::vector<ResultRow>& rows, KeepRule rule,
                                  const RowScope& scope = {});

// Marks (or clears the marks of) the rows in the scope whose folder (ending in "/") is
// folder; a folder given without its trailing "/" is the same folder. Returns the number of
// rows whose mark changed.
std::size_t setFolderMarks(std::vector<ResultRow>& rows, std::string_view folder, bool marked,
                           const RowScope& scope = {});

// How many rows of a scope a wildcard pattern matches on their full path (folder + name),
// asked before markByPattern applies it.
struct PatternCount {
    std::size_t matching = 0;   // rows whose path matches, kept ones included
    std::size_t unmarkable = 0; // of those, rows that stay unmarked (ResultRow::mayBeActedOn)
    std::size_t markable() const { return matching - unmarkable; }
};
PatternCount countPatternMatches(const std::vector<ResultRow>& rows, std::string_view pattern,
                                 const RowScope& scope = {});

// Marks the rows of the scope whose full path matches a wildcard pattern (the dialect of the
// path rows: "*", "?", letters without regard to case); other marks stay as they are. Returns
// the number of rows newly marked.
std::size_t markByPattern(std::vector<ResultRow>& rows, std::string_view pattern,
                          const RowScope& scope = {});

// The calendar day of a "Date Modified" text as yyyymmdd, for comparing ages. The zero date
// ("1899/12/30 00:00:00", a time that could not be read) and a text that is not a date give
// a day before every real one. Any separators are accepted between the six numbers.
std::int64_t dayOfDateText(std::string_view text);

} // namespace trevalo
