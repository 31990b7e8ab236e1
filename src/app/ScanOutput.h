// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "search/ResultRow.h"

#include <array>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace trevalo {

using ResultLists = std::array<std::vector<ResultRow>, kResultListCount>;

// Bytes for a terminal: a name can neither start a new cell or row nor send the terminal a
// command. Backslash, C0 controls and DEL become \\, \n, \t, \r or \xNN; C1 controls
// (U+0080..U+009F) become \u0080..\u009f; bytes that are not valid UTF-8 become \xNN. All other
// text is kept, so the result is valid UTF-8 and every name can be told apart.
void appendTerminalText(std::string& out, std::string_view bytes);
std::string terminalText(std::string_view bytes);

// A JSON string. Bytes that are not valid UTF-8 are written as \udc80 to \udcff (the
// "surrogateescape" convention), so that a reader can get every byte back.
void appendJsonString(std::string& out, std::string_view bytes);

// A stream that remembers its first failed write. Once a write has failed nothing more is
// written, so a closed pipe or a full disk ends the output at once.
class CheckedOutput {
public:
    explicit CheckedOutput(std::FILE* file) : file_(file) {}

    void write(std::string_view bytes);
    // Writes and empties out once it holds more than a megabyte.
    void writeIfLarge(std::string& out);
    // Flushes and closes the stream; false when anything written was lost.
    bool close();
    // The errno of the first failure.
    int error() const { return error_; }

private:
    std::FILE* file_;
    int error_ = 0;
};

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
