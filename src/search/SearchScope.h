// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "platform/ByteText.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace trevalo {

// Entries a search passes over by name. Each pattern is in the wildcard dialect of the search
// paths ("*", "?", letters without regard to case). A pattern without "/" is matched against
// the name of a file or folder; one that holds "/" against the entry's whole path. A pattern
// ending in "/" matches folders only (the "/" itself is not matched). An excluded folder is not
// entered at all.
class ExcludeRules {
public:
    ExcludeRules() = default;
    explicit ExcludeRules(const std::vector<std::string>& patterns);

    bool empty() const { return names_.empty() && paths_.empty(); }
    // Whether some rule looks at the folder an entry is in, not only at its name.
    bool looksAtFolders() const { return !paths_.empty(); }
    // folderPath is the folder that holds the entry and ends in "/".
    bool excludes(std::string_view folderPath, std::string_view name, bool isFolder) const;

private:
    struct Rule {
        WildcardPattern pattern; // folded once, not for every entry
        bool foldersOnly = false;
    };
    std::vector<Rule> names_;
    std::vector<Rule> paths_;
};

// The patterns of a ";"-separated line as the user typed it: blanks around each pattern are
// dropped, and so are empty ones.
std::vector<std::string> parseExcludeLine(std::string_view line);
// The line that parses back into these patterns: "a; b".
std::string excludeLineOf(const std::vector<std::string>& patterns);

// A size as people type it: a whole or decimal number with an optional unit B, KB, MB or GB
// (letter case ignored, blanks allowed between), in decimal units as the window shows sizes:
// 1 KB = 1000 bytes. "1.5 MB" is 1,500,000 bytes; a fraction of a byte is dropped. Nothing, a
// negative number, an unknown unit or a size past 2^63 bytes is an error (nullopt).
std::optional<std::int64_t> parseSizeText(std::string_view text);
// A size that parseSizeText reads back to the same count: the largest unit that divides it
// ("4 KB", "1500 B").
std::string sizeTextOf(std::int64_t bytes);

// Whether a file of `size` bytes is within the limits; maxSize < 0 means no upper limit.
inline bool withinSizeLimits(std::int64_t size, std::int64_t minSize, std::int64_t maxSize) {
    return size >= minSize && (maxSize < 0 || size <= maxSize);
}

} // namespace trevalo
