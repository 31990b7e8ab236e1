// SPDX-License-Identifier: GPL-2.0-or-later
#include "results/Marking.h"

#include "platform/ByteText.h"
#include "platform/PathText.h"
#include "results/RowSort.h"

#include <limits>

namespace trevalo {

namespace {

constexpr std::int64_t kBeforeEveryDay = std::numeric_limits<std::int64_t>::min();

// Reads an unsigned decimal number at text[pos], moving pos past it. False without digits.
bool readNumber(std::string_view text, std::size_t& pos, std::int64_t& value) {
    const std::size_t start = pos;
    value = 0;
    while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9' && pos - start < 12)
        value = value * 10 + (text[pos++] - '0');
    return pos > start;
}

void skipSeparators(std::string_view text, std::size_t& pos) {
    while (pos < text.size() && (text[pos] < '0' || text[pos] > '9'))
        ++pos;
}

} // namespace

void setAllMarks(std::vector<ResultRow>& rows, bool marked) {
    for (ResultRow& row : rows)
        row.checked = marked;
}

bool markByAgeEnabled(int list) {
    return list == ListDuplicates || list == ListSameName;
}

int markKeyColumn(int list) {
    return list == ListSameName ? NameColumn : GroupColumn;
}

std::int64_t dayOfDateText(std::string_view text) {
    if (text == kZeroDateText)
        return kBeforeEveryDay;
    std::size_t pos = 0;
    const bool negativeYear = !text.empty() && text.front() == '-';
    if (negativeYear)
        ++pos;
    std::int64_t year = 0, month = 0, day = 0;
    if (!readNumber(text, pos, year))
        return kBeforeEveryDay;
    skipSeparators(text, pos);
    if (!readNumber(text, pos, month))
        return kBeforeEveryDay;
    skipSeparators(text, pos);
    if (!readNumber(text, pos, day))
        return kBeforeEveryDay;
    if (month < 1 || month > 12 || day < 1 || day > 31)
        return kBeforeEveryDay;
    return (negativeYear ? -year : year) * 10000 + month * 100 + day;
}

void markByAge(std::vector<ResultRow>& rows, int list, Age age) {
    if (rows.empty())
        return;
    const int keyColumn = markKeyColumn(list);
    setAllMarks(rows, false);
    sortRows(rows, keyColumn, 0);

    // The "#" cell is the group number padded to a fixed width, so equal texts are equal
    // numbers.
    const auto sameKey = [keyColumn](const ResultRow& a, const ResultRow& b) {
        return keyColumn == NameColumn ? equalNoCase(a.name, b.name) : a.group == b.group;
    };
    for (std::size_t i = 1; i < rows.size(); ++i) {
        if (!sameKey(rows[i], rows[i - 1]))
            continue;
        const bool olderOrSame =
            dayOfDateText(rows[i].dateText()) <= dayOfDateText(rows[i - 1].dateText());
        if (olderOrSame == (age == Age::Older))
            rows[i].checked = true;
        else
            rows[i - 1].checked = true;
    }
}

} // namespace trevalo
