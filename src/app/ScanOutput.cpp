// SPDX-License-Identifier: GPL-2.0-or-later
#include "ScanOutput.h"

namespace trevalo {

void writeText(CheckedOutput& out, const ResultLists& lists, const ScanSummary& summary) {
    std::string text;
    for (int m = 0; m < kResultListCount; ++m) {
        const auto& rows = lists[static_cast<std::size_t>(m)];
        text += std::string(kResultListCaptions[static_cast<std::size_t>(m)]) + "(" +
                std::to_string(rows.size()) + ")\n";
        for (const ResultRow& row : rows) {
            text += "  ";
            appendTerminalText(text, row.name);
            text += '\t';
            appendTerminalText(text, row.folder);
            if (m == ListDuplicates)
                text += '\t' + cellText(row, GroupColumn);
            text += '\t' + cellText(row, SizeColumn);
            text += '\t' + cellText(row, DateColumn);
            if (m == ListReadErrors) {
                text += '\t';
                appendTerminalText(text, row.reason);
            }
            text += '\n';
            out.writeIfLarge(text);
        }
        text += '\n';
    }
    appendTerminalText(text, summary.status);
    text += '\n';
    out.write(text);
}

void writeJson(CheckedOutput& out, const ResultLists& lists, const ScanSummary& summary) {
    writeResultsJson(out, lists, ResultsSummary{summary.files, summary.seconds, summary.cancelled});
}

} // namespace trevalo
