// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace trevalo {

// File names are bytes. These helpers treat valid UTF-8 as text and keep every byte that is
// not part of a valid UTF-8 sequence as it is, so that no two different names ever collapse
// into one.

// Case-folds each character of a name (Unicode simple folding); invalid bytes stay unchanged.
std::string foldCase(std::string_view name);
// The same, appended to `out`.
void appendFolded(std::string& out, std::string_view name);

// The one text comparison that ignores letter case: the name sort, the same-name search and
// marking all use it. Orders names by their folded bytes.
int compareNoCase(std::string_view a, std::string_view b);
inline bool equalNoCase(std::string_view a, std::string_view b) {
    return compareNoCase(a, b) == 0;
}

// The wildcard dialect of the folder listing: "*" any run of characters, "?" one character,
// letters without regard to case, and "*.*" matches every name. Our own, not QRegularExpression's
// wildcards: those know no "*.*" that matches a name without a dot, and work on text, not on the
// bytes of a name.
bool wildcardMatch(std::string_view pattern, std::string_view name);

// wildcardMatch with the pattern folded once, for matching one pattern against many names:
// a name of plain ASCII is matched in place, without copying it.
class WildcardPattern {
public:
    explicit WildcardPattern(std::string_view pattern);
    bool matches(std::string_view name) const;
    // Whether the name first + second matches (a folder and a name), without joining them.
    bool matches(std::string_view first, std::string_view second) const;

private:
    std::u32string folded_;
    bool matchesAll_ = false;
};

// The length of the valid UTF-8 sequence at s[i], or 0 when the bytes there are not one.
std::size_t utf8SequenceLength(std::string_view s, std::size_t i);

// Appends one code point (at most U+10FFFF) as UTF-8.
void appendUtf8(std::string& out, char32_t cp);

// Text for display only: each byte that is not part of valid UTF-8 becomes one U+FFFD.
QString displayText(std::string_view bytes);
// Bytes of a text typed by the user.
std::string bytesOf(const QString& text);
// The bytes of a name the user edited, starting from displayText(original): each character the
// user left where it was keeps the bytes it stood for (a U+FFFD its byte that is not UTF-8),
// and only typed characters become UTF-8. Kept characters are found as the longest common
// subsequence of the shown and the edited text.
std::string bytesOfEditedName(std::string_view original, const QString& edited);

} // namespace trevalo
