// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "results/FileOperations.h"
#include "results/GroupNumbers.h"
#include "results/RowScope.h"
#include "search/ResultRow.h"

#include <QString>

#include <cstddef>
#include <cstdint>
#include <vector>

namespace trevalo {

// What the status bar tells of the current list. Folders' rows count as rows but never as
// files, groups or bytes; sizes that could not be measured add nothing.
struct ListTotals {
    std::size_t rows = 0;
    std::size_t groups = 0;            // "Duplicates" and "Same Name"; 0 in other lists
    std::int64_t reclaimableBytes = 0; // "Duplicates": per group, size x (members - 1)
    std::size_t markedRows = 0;
    std::int64_t markedBytes = 0;
};

// The totals of the rows of a list in a scope (every row, or the rows a filter shows). A
// group counts the members it has in the scope.
ListTotals listTotals(const std::vector<ResultRow>& rows, int list, const RowScope& scope = {});
// The same with the groups numbered beforehand (GroupNumbers of these rows and list), for
// recounting the rows a filter shows on each key typed without numbering the groups again.
ListTotals listTotals(const std::vector<ResultRow>& rows, int list, const RowScope& scope,
                      const GroupNumbers& groups);

// Only the marked rows and their bytes (listTotals' last two), for recounting after each
// change of marks without looking at groups again.
void countMarks(const std::vector<ResultRow>& rows, ListTotals& totals, const RowScope& scope = {});

// The status text of the totals: "1,204 rows in 602 groups, 3.2 GB reclaimable; 17 marked
// (1.1 GB)". Groups only for "Duplicates" and "Same Name", the reclaimable size only for
// "Duplicates", the marks only when there are any.
QString totalsText(const ListTotals& totals, int list);

// The total the Delete question names: "3 files (1.1 GB) will be moved to the trash."
QString trashTotalText(std::size_t files, std::int64_t bytes);
// The same for the files, folders and links of a delete's plan.
QString trashTotalText(const DeletePlan& plan);

// What a delete moves, by kind: whole folders, links and files.
struct EntryCounts {
    std::size_t files = 0;
    std::size_t folders = 0;
    std::size_t links = 0;
};
// The items of a plan, or only those of the given rows.
EntryCounts countEntries(const DeletePlan& plan, const std::vector<std::size_t>* rows = nullptr);
// "3 files", "1 folder", "2 folders and 1 file".
QString entriesText(const EntryCounts& counts);

// A count with thousands separators: "1,204".
QString countText(std::size_t count);

} // namespace trevalo
