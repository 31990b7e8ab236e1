// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "search/ResultRow.h"

#include <string>
#include <vector>

namespace trevalo {

// One result list as CSV (RFC 4180: CRLF line ends, fields quoted where they must be, quotes
// doubled), UTF-8, with a header row:
//   Name,In Folder,Group,Size,Date Modified,Kept,Reason
// Group only in the Duplicates list; Size the exact byte count (empty when not measured); Date
// Modified in ISO 8601, UTC ("2024-05-01T10:20:30Z", empty when not known); Kept "yes" or
// empty; Reason only for read errors. Names, folders and reasons are written as the text of the
// JSON string, without its quotes: a byte that is not UTF-8 as \udcNN, a backslash as \\, a
// control character as \n, \t, \r or \u00NN.
void appendCsv(std::string& out, const std::vector<ResultRow>& rows, int list);

// Writes the list to path (through a file beside it that then takes its place); false with a
// message on failure.
bool exportCsv(const std::string& path, const std::vector<ResultRow>& rows, int list,
               std::string& error);

} // namespace trevalo
