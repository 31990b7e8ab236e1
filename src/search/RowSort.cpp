// SPDX-License-Identifier: GPL-2.0-or-later
#include "search/RowSort.h"

#include "platform/ByteText.h"

#include <algorithm>
#include <numeric>
#include <string>

namespace trevalo {

namespace {

template <typename Key, typename KeyOf>
void sortByKey(std::vector<ResultRow>& rows, int order, const KeyOf& keyOf) {
    std::vector<Key> keys;
    keys.reserve(rows.size());
    for (const ResultRow& r : rows)
        keys.push_back(keyOf(r));
    std::vector<std::size_t> index(rows.size());
    std::iota(index.begin(), index.end(), std::size_t{0});
    if (order == 0)
        std::stable_sort(index.begin(), index.end(),
                         [&](std::size_t a, std::size_t b) { return keys[a] < keys[b]; });
    else
        std::stable_sort(index.begin(), index.end(),
                         [&](std::size_t a, std::size_t b) { return keys[b] < keys[a]; });
    // index[i] is where the row for position i is now. The rows are moved along the cycles of
    // that order, one row set aside at a time, so sorting a million rows needs no second copy
    // of them; a position whose row is in place is marked by index[i] == i.
    for (std::size_t start = 0; start < rows.size(); ++start) {
        if (index[start] == start)
            continue;
        ResultRow aside = std::move(rows[start]);
        std::size_t to = start;
        for (;;) {
            const std::size_t from = index[to];
            index[to] = to;
            if (from == start) {
                rows[to] = std::move(aside);
                break;
            }
            rows[to] = std::move(rows[from]);
            to = from;
        }
    }
}

} // namespace

void sortRows(std::vector<ResultRow>& rows, int column, int order) {
    switch (column) {
    case NameColumn:
        sortByKey<std::string>(rows, order, [](const ResultRow& r) { return foldCase(r.name); });
        break;
    case FolderColumn:
        sortByKey<std::string_view>(
            rows, order, [](const ResultRow& r) { return std::string_view(r.folder()); });
        break;
    case GroupColumn:
        sortByKey<std::int64_t>(rows, order, [](const ResultRow& r) { return r.group; });
        break;
    case SizeColumn:
        sortByKey<std::int64_t>(rows, order, [](const ResultRow& r) { return r.size; });
        break;
    case DateColumn:
        sortByKey<std::string_view>(rows, order, [](const ResultRow& r) { return r.dateText(); });
        break;
    default:
        break;
    }
}

} // namespace trevalo
