// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/ByteText.h"

#include <QChar>
#include <QList>

#include <algorithm>
#include <cstdint>
#include <vector>

namespace trevalo {

namespace {

// Decodes one UTF-8 sequence at s[i]. Returns its length, or 0 when the bytes there are not a
// valid (shortest-form, non-surrogate) sequence.
std::size_t decodeUtf8(std::string_view s, std::size_t i, char32_t& cp) {
    const auto b0 = static_cast<unsigned char>(s[i]);
    if (b0 < 0x80) {
        cp = b0;
        return 1;
    }
    std::size_t len;
    char32_t min;
    if ((b0 & 0xE0) == 0xC0) {
        len = 2;
        cp = b0 & 0x1F;
        min = 0x80;
    } else if ((b0 & 0xF0) == 0xE0) {
        len = 3;
        cp = b0 & 0x0F;
        min = 0x800;
    } else if ((b0 & 0xF8) == 0xF0) {
        len = 4;
        cp = b0 & 0x07;
        min = 0x10000;
    } else {
        return 0;
    }
    if (i + len > s.size())
        return 0;
    for (std::size_t k = 1; k < len; ++k) {
        const auto b = static_cast<unsigned char>(s[i + k]);
        if ((b & 0xC0) != 0x80)
            return 0;
        cp = (cp << 6) | (b & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
        return 0;
    return len;
}

inline char foldAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
}

// Folded characters as code points; an invalid byte b becomes U+DC00 + b, a value no valid
// character decodes to.
std::u32string foldedCodePoints(std::string_view s) {
    std::u32string out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size();) {
        char32_t cp;
        const std::size_t len = decodeUtf8(s, i, cp);
        if (len == 0) {
            out.push_back(0xDC00 + static_cast<unsigned char>(s[i]));
            ++i;
        } else {
            out.push_back(cp < 0x80 ? static_cast<char32_t>(foldAscii(static_cast<char>(cp)))
                                    : QChar::toCaseFolded(cp));
            i += len;
        }
    }
    return out;
}

} // namespace

void appendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

std::string foldCase(std::string_view name) {
    std::string out;
    out.reserve(name.size());
    appendFolded(out, name);
    return out;
}

void appendFolded(std::string& out, std::string_view name) {
    for (std::size_t i = 0; i < name.size();) {
        const char c = name[i];
        if (static_cast<unsigned char>(c) < 0x80) {
            out.push_back(foldAscii(c));
            ++i;
            continue;
        }
        char32_t cp;
        const std::size_t len = decodeUtf8(name, i, cp);
        if (len == 0) {
            out.push_back(c);
            ++i;
        } else {
            appendUtf8(out, QChar::toCaseFolded(cp));
            i += len;
        }
    }
}

int compareNoCase(std::string_view a, std::string_view b) {
    // Plain ASCII is compared in place; from the first other byte on, the folded rests decide.
    std::size_t i = 0;
    const std::size_t n = std::min(a.size(), b.size());
    for (; i < n; ++i) {
        const char ca = a[i];
        const char cb = b[i];
        if ((static_cast<unsigned char>(ca) | static_cast<unsigned char>(cb)) & 0x80)
            break;
        const char fa = foldAscii(ca);
        const char fb = foldAscii(cb);
        if (fa != fb)
            return static_cast<unsigned char>(fa) < static_cast<unsigned char>(fb) ? -1 : 1;
    }
    if (i == n && (i == a.size() || i == b.size()))
        return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
    const std::string ra = foldCase(a.substr(i));
    const std::string rb = foldCase(b.substr(i));
    const int c = ra.compare(rb);
    return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

namespace {

// Greedy match with backtracking to the last star: linear in practice, no recursion. at(i)
// gives the folded character i of a name of size characters.
template <class CharAt>
bool matchFolded(const std::u32string& p, std::size_t size, const CharAt& at) {
    std::size_t pi = 0, si = 0, starP = std::u32string::npos, starS = 0;
    while (si < size) {
        if (pi < p.size() && (p[pi] == U'?' || p[pi] == at(si))) {
            ++pi;
            ++si;
        } else if (pi < p.size() && p[pi] == U'*') {
            starP = pi++;
            starS = si;
        } else if (starP != std::u32string::npos) {
            pi = starP + 1;
            si = ++starS;
        } else {
            return false;
        }
    }
    while (pi < p.size() && p[pi] == U'*')
        ++pi;
    return pi == p.size();
}

bool isPlainAscii(std::string_view s) {
    for (const char c : s)
        if (static_cast<unsigned char>(c) & 0x80)
            return false;
    return true;
}

} // namespace

bool wildcardMatch(std::string_view pattern, std::string_view name) {
    return WildcardPattern(pattern).matches(name);
}

WildcardPattern::WildcardPattern(std::string_view pattern)
    : folded_(foldedCodePoints(pattern)), matchesAll_(pattern == "*" || pattern == "*.*") {}

bool WildcardPattern::matches(std::string_view name) const {
    if (matchesAll_)
        return true;
    // An ASCII character folds to an ASCII one, so a plain name needs no decoding.
    if (isPlainAscii(name))
        return matchFolded(folded_, name.size(), [name](std::size_t i) {
            return static_cast<char32_t>(foldAscii(name[i]));
        });
    const std::u32string s = foldedCodePoints(name);
    return matchFolded(folded_, s.size(), [&s](std::size_t i) { return s[i]; });
}

bool WildcardPattern::matches(std::string_view first, std::string_view second) const {
    if (matchesAll_)
        return true;
    if (isPlainAscii(first) && isPlainAscii(second))
        return matchFolded(folded_, first.size() + second.size(), [first, second](std::size_t i) {
            return static_cast<char32_t>(
                foldAscii(i < first.size() ? first[i] : second[i - first.size()]));
        });
    std::string joined;
    joined.reserve(first.size() + second.size());
    joined.append(first).append(second);
    return matches(joined);
}

std::size_t utf8SequenceLength(std::string_view s, std::size_t i) {
    char32_t cp;
    return decodeUtf8(s, i, cp);
}

namespace {

// A character of a name as it is shown, and the bytes it stands for.
struct ShownChar {
    char32_t cp = 0;
    std::string_view bytes;
};

std::vector<ShownChar> shownChars(std::string_view s) {
    std::vector<ShownChar> out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size();) {
        char32_t cp;
        std::size_t len = decodeUtf8(s, i, cp);
        if (len == 0) {
            cp = 0xFFFD;
            len = 1;
        }
        out.push_back({cp, s.substr(i, len)});
        i += len;
    }
    return out;
}

std::vector<char32_t> codePoints(const QString& text) {
    std::vector<char32_t> out;
    out.reserve(static_cast<std::size_t>(text.size()));
    for (const char32_t cp : text.toUcs4())
        out.push_back(cp);
    return out;
}

} // namespace

QString displayText(std::string_view bytes) {
    // Qt's decoder gives one U+FFFD for each byte that is not part of valid UTF-8, as
    // shownChars does.
    return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

std::string bytesOf(const QString& text) {
    const QByteArray utf8 = text.toUtf8();
    return std::string(utf8.constData(), static_cast<std::size_t>(utf8.size()));
}

std::string bytesOfEditedName(std::string_view original, const QString& edited) {
    const std::vector<ShownChar> shown = shownChars(original);
    const std::vector<char32_t> typed = codePoints(edited);
    const std::size_t n = shown.size();
    const std::size_t m = typed.size();
    // No file name is this long; a text this long is taken as typed.
    if (n * m > (std::size_t{1} << 22))
        return bytesOf(edited);
    // keep[i][j]: the longest common subsequence of shown[i..] and typed[j..].
    std::vector<std::vector<std::uint16_t>> keep(n + 1, std::vector<std::uint16_t>(m + 1, 0));
    for (std::size_t i = n; i-- > 0;)
        for (std::size_t j = m; j-- > 0;)
            keep[i][j] = shown[i].cp == typed[j]
                             ? static_cast<std::uint16_t>(keep[i + 1][j + 1] + 1)
                             : std::max(keep[i + 1][j], keep[i][j + 1]);
    std::string out;
    std::size_t i = 0, j = 0;
    while (j < m) {
        if (i < n && shown[i].cp == typed[j] && keep[i][j] == keep[i + 1][j + 1] + 1) {
            out.append(shown[i].bytes);
            ++i;
            ++j;
        } else if (i < n && keep[i + 1][j] >= keep[i][j + 1]) {
            ++i; // removed by the user
        } else {
            appendUtf8(out, typed[j] > 0x10FFFF || (typed[j] >= 0xD800 && typed[j] <= 0xDFFF)
                                ? char32_t{0xFFFD}
                                : typed[j]);
            ++j;
        }
    }
    return out;
}

} // namespace trevalo
