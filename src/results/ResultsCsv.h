// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "results/RowScope.h"
#include "search/ResultRow.h"

#include <string>
#include <vector>

namespace trevalo {

// The rows in scope of one result list (the rows shown), in their order, as CSV (RFC 4180: CRLF
// line ends, fields quoted where they must be, quotes doubled), UTF-8, with a header row:
//   Name,In Folder,Group,Size,Date Modified,Kept,Reason,Marked,Stale
// Group only in the Duplicates list; Size the exact byte count (empty when not measured); Date
// Modified in ISO 8601, UTC ("2024-05-01T10:20:30Z", empty when not known); Kept and Marked
// "yes" or empty; Reason only for read errors; Stale why the row is stale, empty while it is
// not. Names, folders and reasons are their own text, with two exceptions: a byte that is not
// UTF-8 is written \xNN (two hex digits, as in trevalo-scan's text), and so is a backslash
// that would read as such an escape (\x5c); and a cell that begins with =, +, -, @, a tab or a
// carriage return (after any apostrophes) gets an apostrophe before it, so that a spreadsheet
// shows it as text and never runs it as a formula.
void appendCsv(std::string& out, const std::vector<ResultRow>& rows, int list, RowScope scope = {});

// Writes the list to path (through a file beside it that then takes its place); false with a
// message on failure.
bool exportCsv(const std::string& path, const std::vector<ResultRow>& rows, int list,
               RowScope scope, std::string& error);

} // namespace trevalo
