// SPDX-License-Identifier: GPL-2.0-or-later
#include "results/Marking.h"

#include "platform/ByteText.h"
#include "platform/PathText.h"
#include "results/GroupNumbers.h"
#include "search/RowSort.h"

#include <limits>
#include <string>
#include <unordered_set>
#include <utility>

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

void markByAge(std::vector<ResultRow>& rows, int list, Age age, const RowScope& scope) {
    if (rows.empty())
        return;
    const int keyColumn = markKeyColumn(list);
    // The groups in the scope, by their keys: the sort below moves the rows.
    std::unordered_set<std::int64_t> groupsIn;
    std::unordered_set<std::string> namesIn;
    if (!scope.isAll()) {
        scope.forEach(rows.size(), [&](std::size_t i) {
            if (keyColumn == NameColumn)
                namesIn.insert(foldCase(rows[i].name));
            else
                groupsIn.insert(rows[i].group);
        });
    }
    const auto inScope = [&](const ResultRow& row) {
        if (scope.isAll())
            return true;
        return keyColumn == NameColumn ? namesIn.contains(foldCase(row.name))
                                       : groupsIn.contains(row.group);
    };
    for (ResultRow& row : rows)
        if (inScope(row))
            row.checked = false;
    sortRows(rows, keyColumn, 0);

    // Rows of one "Duplicates" group share a group number; rows of one name compare without
    // regard to case.
    const auto sameKey = [keyColumn](const ResultRow& a, const ResultRow& b) {
        return keyColumn == NameColumn ? equalNoCase(a.name, b.name) : a.group == b.group;
    };
    for (std::size_t i = 1; i < rows.size(); ++i) {
        if (!sameKey(rows[i], rows[i - 1]) || !inScope(rows[i]))
            continue;
        const bool olderOrSame =
            dayOfDateText(rows[i].dateText()) <= dayOfDateText(rows[i - 1].dateText());
        ResultRow& chosen = olderOrSame == (age == Age::Older) ? rows[i] : rows[i - 1];
        // A kept file stays unmarked; its partner is then not marked by this pair either.
        if (chosen.mayBeActedOn())
            chosen.checked = true;
    }
}

namespace {

// Whether the rule prefers row a to row b (positions ia and ib) as the one a group keeps.
bool keepsRather(const ResultRow& a, std::size_t ia, const ResultRow& b, std::size_t ib,
                 KeepRule rule) {
    switch (rule) {
    case KeepRule::Oldest:
    case KeepRule::Newest: {
        if (a.mtimeKnown != b.mtimeKnown)
            return a.mtimeKnown;
        if (a.mtimeKnown) {
            const auto ta = std::pair(a.stamp.mtime, a.stamp.mtimeNsec);
            const auto tb = std::pair(b.stamp.mtime, b.stamp.mtimeNsec);
            if (ta != tb)
                return rule == KeepRule::Oldest ? ta < tb : ta > tb;
        }
        break;
    }
    case KeepRule::ShortestPath: {
        const std::size_t la = a.folder().size() + a.name.size();
        const std::size_t lb = b.folder().size() + b.name.size();
        if (la != lb)
            return la < lb;
        break;
    }
    case KeepRule::FirstInOrder:
        break;
    }
    return ia < ib;
}

std::string withTrailingSlash(std::string_view folder) {
    std::string out(folder);
    if (out.empty() || out.back() != '/')
        out.push_back('/');
    return out;
}

} // namespace

std::size_t markAllButOnePerGroup(std::vector<ResultRow>& rows, KeepRule rule,
                                  const RowScope& scope) {
    const GroupNumbers groups(rows, ListDuplicates);
    constexpr std::size_t kNone = static_cast<std::size_t>(-1);
    std::vector<std::size_t> keep(groups.count(), kNone);
    std::vector<bool> holdsKept(groups.count(), false);
    scope.forEach(rows.size(), [&](std::size_t i) {
        const int g = groups.of(i);
        if (g == GroupNumbers::kNoGroup)
            return;
        const auto group = static_cast<std::size_t>(g);
        if (rows[i].kept && !rows[i].stale())
            holdsKept[group] = true;
        else if (!rows[i].mayBeActedOn())
            return; // a stale row is no copy to keep
        else if (keep[group] == kNone ||
                 keepsRather(rows[i], i, rows[keep[group]], keep[group], rule))
            keep[group] = i;
    });

    std::size_t marked = 0;
    scope.forEach(rows.size(), [&](std::size_t i) {
        const int g = groups.of(i);
        if (g == GroupNumbers::kNoGroup)
            return;
        const auto group = static_cast<std::size_t>(g);
        ResultRow& row = rows[i];
        row.checked = row.mayBeActedOn() && (holdsKept[group] || keep[group] != i);
        marked += row.checked ? 1 : 0;
    });
    return marked;
}

std::size_t setFolderMarks(std::vector<ResultRow>& rows, std::string_view folder, bool marked,
                           const RowScope& scope) {
    const std::string wanted = withTrailingSlash(folder);
    std::size_t changed = 0;
    scope.forEach(rows.size(), [&](std::size_t i) {
        ResultRow& row = rows[i];
        if (row.checked == marked || row.folder() != wanted || (marked && !row.mayBeActedOn()))
            return;
        row.checked = marked;
        ++changed;
    });
    return changed;
}

PatternCount countPatternMatches(const std::vector<ResultRow>& rows, std::string_view pattern,
                                 const RowScope& scope) {
    const WildcardPattern wildcard(pattern);
    PatternCount count;
    scope.forEach(rows.size(), [&](std::size_t i) {
        const ResultRow& row = rows[i];
        if (!wildcard.matches(row.folder(), row.name))
            return;
        ++count.matching;
        count.unmarkable += row.mayBeActedOn() ? 0 : 1;
    });
    return count;
}

std::size_t markByPattern(std::vector<ResultRow>& rows, std::string_view pattern,
                          const RowScope& scope) {
    const WildcardPattern wildcard(pattern);
    std::size_t marked = 0;
    scope.forEach(rows.size(), [&](std::size_t i) {
        ResultRow& row = rows[i];
        if (row.checked || !row.mayBeActedOn())
            return;
        if (wildcard.matches(row.folder(), row.name)) {
            row.checked = true;
            ++marked;
        }
    });
    return marked;
}

} // namespace trevalo
