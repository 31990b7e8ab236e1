// SPDX-License-Identifier: GPL-2.0-or-later
#include "results/ResultTotals.h"

#include "platform/UserText.h"
#include "results/GroupNumbers.h"
#include "results/SizeText.h"
#include "search/SearchText.h"

#include <QCoreApplication>
#include <QStringList>

#include <algorithm>
#include <unordered_set>

namespace trevalo {

QString countText(std::size_t count) {
    return QString::fromStdString(groupedCount(static_cast<std::int64_t>(count)));
}

void countMarks(const std::vector<ResultRow>& rows, ListTotals& totals, const RowScope& scope) {
    totals.markedRows = 0;
    totals.markedBytes = 0;
    scope.forEach(rows.size(), [&](std::size_t i) {
        const ResultRow& row = rows[i];
        if (!row.checked || row.isFolder)
            return;
        ++totals.markedRows;
        // A file with another name keeps its bytes when this name goes.
        if (row.links <= 1)
            totals.markedBytes += row.size > 0 ? row.size : 0;
    });
}

ListTotals listTotals(const std::vector<ResultRow>& rows, int list, const RowScope& scope) {
    if (list != ListDuplicates && list != ListSameName)
        return listTotals(rows, list, scope, GroupNumbers({}, list));
    return listTotals(rows, list, scope, GroupNumbers(rows, list));
}

ListTotals listTotals(const std::vector<ResultRow>& rows, int list, const RowScope& scope,
                      const GroupNumbers& groups) {
    ListTotals totals;
    scope.forEach(rows.size(), [&](std::size_t) { ++totals.rows; });
    countMarks(rows, totals, scope);
    if (list != ListDuplicates && list != ListSameName)
        return totals;

    // Each group once, in the scope. All members of a group of identical files have one size.
    // Deleting all but one frees the bytes of each member whose every name the search found
    // (its other names go with it); one member stays, one that frees nothing where there is one.
    struct Group {
        std::int64_t size = 0;
        std::int64_t freeing = 0;
        bool seen = false;
        bool holdsOn = false; // a member with a name the search did not find
    };
    std::vector<Group> seen(groups.count());
    scope.forEach(rows.size(), [&](std::size_t i) {
        const int g = groups.of(i);
        // A stale row no longer stands for the file it names: it frees nothing and makes no
        // group.
        if (g == GroupNumbers::kNoGroup || rows[i].stale())
            return;
        Group& group = seen[static_cast<std::size_t>(g)];
        if (!group.seen)
            ++totals.groups;
        group.seen = true;
        group.size = rows[i].size > 0 ? rows[i].size : 0;
        if (rows[i].allNamesFound())
            ++group.freeing;
        else
            group.holdsOn = true;
    });
    if (list == ListDuplicates)
        for (const Group& group : seen)
            if (group.seen)
                totals.reclaimableBytes +=
                    group.size * std::max<std::int64_t>(0, group.freeing - (group.holdsOn ? 0 : 1));
    return totals;
}

QString totalsText(const ListTotals& totals, int list) {
    QString text = countedText("ResultTotals", "%n rows", nullptr, totals.rows);
    if (list == ListDuplicates || list == ListSameName)
        text = QCoreApplication::translate("ResultTotals", "%1 in %2")
                   .arg(text, countedText("ResultTotals", "%n groups", nullptr, totals.groups));
    if (list == ListDuplicates)
        text = QCoreApplication::translate("ResultTotals", "%1, %2 reclaimable")
                   .arg(text, sizeForPeople(totals.reclaimableBytes));
    if (totals.markedRows > 0)
        text = countedText("ResultTotals", "%1; %n marked (%2)", nullptr, totals.markedRows)
                   .arg(text, sizeForPeople(totals.markedBytes));
    return text;
}

QString trashTotalText(std::size_t files, std::int64_t bytes) {
    return QCoreApplication::translate("ResultTotals", "%1 (%2) will be moved to the trash.")
        .arg(countedText("ResultTotals", "%n files", nullptr, files), sizeForPeople(bytes));
}

QString trashTotalText(const DeletePlan& plan) {
    std::int64_t bytes = 0;
    for (const DeletePlan::Item& item : plan.items)
        bytes += item.size > 0 ? item.size : 0;
    const EntryCounts counts = countEntries(plan);
    if (counts.folders == 0 && counts.links == 0)
        return trashTotalText(plan.items.size(), bytes);
    return QCoreApplication::translate("ResultTotals", "%1 (%2) will be moved to the trash.")
        .arg(entriesText(counts), sizeForPeople(bytes));
}

EntryCounts countEntries(const DeletePlan& plan, const std::vector<std::size_t>* rows) {
    EntryCounts counts;
    std::unordered_set<std::size_t> only;
    if (rows)
        only.insert(rows->begin(), rows->end());
    for (const DeletePlan::Item& item : plan.items) {
        if (rows && !only.contains(item.row))
            continue;
        ++(item.target == RowTarget::Folder ? counts.folders
           : item.target == RowTarget::Link ? counts.links
                                            : counts.files);
    }
    return counts;
}

QString entriesText(const EntryCounts& counts) {
    QStringList parts;
    if (counts.folders > 0)
        parts << countedText("ResultTotals", "%n folders", nullptr, counts.folders);
    if (counts.links > 0)
        parts << countedText("ResultTotals", "%n links", nullptr, counts.links);
    if (counts.files > 0 || parts.isEmpty())
        parts << countedText("ResultTotals", "%n files", nullptr, counts.files);
    const QString last = parts.takeLast();
    return parts.isEmpty() ? last
                           : QCoreApplication::translate("ResultTotals", "%1 and %2")
                                 .arg(parts.join(QStringLiteral(", ")), last);
}

} // namespace trevalo
