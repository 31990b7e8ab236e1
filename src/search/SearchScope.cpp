// SPDX-License-Identifier: GPL-2.0-or-later
#include "search/SearchScope.h"

#include "platform/ByteText.h"

#include <array>
#include <cmath>
#include <limits>

namespace trevalo {

namespace {

std::string_view trimmed(std::string_view s) {
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!s.empty() && blank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && blank(s.back()))
        s.remove_suffix(1);
    return s;
}

char lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

struct Unit {
    std::string_view name;
    std::int64_t bytes;
};
constexpr std::array<Unit, 4> kUnits = {Unit{"gb", 1000000000}, Unit{"mb", 1000000},
                                        Unit{"kb", 1000}, Unit{"b", 1}};

} // namespace

ExcludeRules::ExcludeRules(const std::vector<std::string>& patterns) {
    for (const std::string& given : patterns) {
        std::string pattern = given;
        bool foldersOnly = false;
        while (pattern.size() > 1 && pattern.back() == '/') {
            pattern.pop_back();
            foldersOnly = true;
        }
        if (pattern.empty())
            continue;
        (pattern.find('/') == std::string::npos ? names_ : paths_)
            .push_back(Rule{WildcardPattern(pattern), foldersOnly});
    }
}

bool ExcludeRules::excludes(std::string_view folderPath, std::string_view name,
                            bool isFolder) const {
    for (const Rule& r : names_)
        if ((isFolder || !r.foldersOnly) && r.pattern.matches(name))
            return true;
    for (const Rule& r : paths_)
        if ((isFolder || !r.foldersOnly) && r.pattern.matches(folderPath, name))
            return true;
    return false;
}

std::vector<std::string> parseExcludeLine(std::string_view line) {
    std::vector<std::string> out;
    while (true) {
        const std::size_t end = line.find(';');
        const std::string_view part = trimmed(line.substr(0, end));
        if (!part.empty())
            out.emplace_back(part);
        if (end == std::string_view::npos)
            return out;
        line.remove_prefix(end + 1);
    }
}

std::string excludeLineOf(const std::vector<std::string>& patterns) {
    std::string line;
    for (const std::string& p : patterns) {
        if (!line.empty())
            line += "; ";
        line += p;
    }
    return line;
}

std::optional<std::int64_t> parseSizeText(std::string_view text) {
    text = trimmed(text);
    std::size_t i = 0;
    std::int64_t whole = 0;
    bool digits = false;
    constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        const int digit = text[i] - '0';
        if (whole > (kMax - digit) / 10)
            return std::nullopt;
        whole = whole * 10 + digit;
        digits = true;
    }
    // The fraction as a count of billionths, enough for a byte of a GB.
    std::int64_t fraction = 0;
    if (i < text.size() && text[i] == '.') {
        ++i;
        std::int64_t scale = 100000000;
        for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
            fraction += (text[i] - '0') * scale;
            scale /= 10;
            digits = true;
        }
    }
    if (!digits)
        return std::nullopt;
    std::string unit;
    for (char c : trimmed(text.substr(i)))
        unit.push_back(lower(c));
    std::int64_t factor = 1;
    if (!unit.empty()) {
        bool known = false;
        for (const Unit& u : kUnits)
            if (unit == u.name) {
                factor = u.bytes;
                known = true;
            }
        if (!known)
            return std::nullopt;
    }
    const std::int64_t part = fraction * factor / 1000000000;
    if (whole > kMax / factor || whole * factor > kMax - part)
        return std::nullopt;
    return whole * factor + part;
}

std::string sizeTextOf(std::int64_t bytes) {
    for (const Unit& u : kUnits)
        if (bytes != 0 && bytes % u.bytes == 0) {
            std::string text = std::to_string(bytes / u.bytes) + " ";
            for (char c : u.name)
                text.push_back(static_cast<char>(c - 'a' + 'A'));
            return text;
        }
    return std::to_string(bytes) + " B";
}

} // namespace trevalo
