// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <cstdint>
#include <cstdio>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace trevalo {

// Bytes for a terminal: a name can neither start a new cell or row nor send the terminal a
// command. Backslash, C0 controls and DEL become \\, \n, \t, \r or \xNN; C1 controls
// (U+0080..U+009F) become \u0080..\u009f; bytes that are not valid UTF-8 become \xNN. All other
// text is kept, so the result is valid UTF-8 and every name can be told apart.
void appendTerminalText(std::string& out, std::string_view bytes);
std::string terminalText(std::string_view bytes);

// A JSON string. Bytes that are not valid UTF-8 are written as \udc80 to \udcff (the
// "surrogateescape" convention), so that a reader can get every byte back.
void appendJsonString(std::string& out, std::string_view bytes);
// The same without the quotes around it.
void appendJsonText(std::string& out, std::string_view bytes);

// A time in whole seconds since the epoch as UTC ISO 8601 text, "2024-05-01T09:30:00Z", and
// back (nothing for a text of another form). Years before 1 count as Qt counts them, with no
// year 0.
std::string isoUtcText(std::int64_t seconds);
std::optional<std::int64_t> isoUtcSeconds(std::string_view text);

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

// Writes a file whole or not at all, never through a link, another user's file or any name
// but the chosen one (see writeWholeFile). False, with a message naming the file and the reason
// in error, when nothing was written.
bool writeFileWhole(const std::string& path, const std::function<void(CheckedOutput&)>& write,
                    std::string& error);

} // namespace trevalo
