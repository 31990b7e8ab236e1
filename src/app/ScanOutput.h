// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "results/OutputText.h"
#include "results/ResultsFile.h"
#include "search/ResultRow.h"

#include <array>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace trevalo {

// What the output says about the search as a whole.
struct ScanSummary {
    std::int64_t files = 0;
    double seconds = 0;
    bool cancelled = false;
    std::string status; // the search's last status text: "Completed in ..." or "Cancelled ..."
};

// The four lists as text: each list's caption and row count, then its rows, one per line with
// tab-separated cells (the "#" cell only in "Duplicates", a last "Reason" cell in "Report -
// read errors"), then the status line.
void writeText(CheckedOutput& out, const ResultLists& lists, const ScanSummary& summary);

// The four lists as one JSON object.
void writeJson(CheckedOutput& out, const ResultLists& lists, const ScanSummary& summary);

} // namespace trevalo
