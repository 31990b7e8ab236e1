// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace trevalo {

// Path helpers on byte paths; "/" and "." are searched for from the end.

// The text after the last "/"; the whole text when there is none.
std::string_view fileNameOf(std::string_view path);
// The text up to and including the last "/"; empty when there is none.
std::string_view folderOf(std::string_view path);
// The folder that holds path, without a trailing "/": "/" for a name at the root, "." for a
// path without "/".
std::string parentFolderOf(std::string_view path);
// The text after the last "." when that "." stands after the last "/"; otherwise empty.
std::string_view extensionOf(std::string_view path);

// The path without its trailing "/"s; a path of slashes only gives "/".
std::string withoutTrailingSlashes(std::string_view path);
// The path of `name` inside `folder` (a folder without a trailing "/", or "/").
std::string childPath(std::string_view folder, std::string_view name);

// A search path: folder + "/" + pattern, or folder + pattern when the folder ends in "/".
std::string joinFolderPattern(std::string_view folder, std::string_view pattern);

// "yyyy/mm/dd hh:mm:ss" of a time in whole seconds since the epoch, in local time.
std::string formatFileDate(std::int64_t secondsSinceEpoch);
// Writes the 19 characters of "yyyy/mm/dd hh:mm:ss" at `text`: the year's last four digits, and
// two of each of month, day, hour, minute and second.
void writeDateDigits(char* text, unsigned year, const std::array<unsigned, 5>& rest);
// The numbers of a date text of the form formatFileDate writes ("yyyy/mm/dd hh:mm:ss"), in
// order; false for a text of any other form (a year past 9999 or before 1000, say).
bool fileDateNumbers(std::string_view text, std::array<int, 6>& numbers);
// The text of a date that could not be read.
inline constexpr std::string_view kZeroDateText = "1899/12/30 00:00:00";

} // namespace trevalo
