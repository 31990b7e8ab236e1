// SPDX-License-Identifier: GPL-2.0-or-later
#include "search/RowSort.h"

#include "platform/ByteText.h"

#include <algorithm>
#include <numeric>
#include <string>

namespace trevalo {

namespace {

// Sorts the rows by keys[i], the key of row i.
template <typename Key>
void sortByKeys(std::vector<ResultRow>& rows, int order, const std::vector<Key>& keys) {
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

template <typename Key, typename KeyOf>
void sortByKey(std::vector<ResultRow>& rows, int order, const KeyOf& keyOf) {
    std::vector<Key> keys;
    keys.reserve(rows.size());
    for (const ResultRow& r : rows)
        keys.push_back(keyOf(r));
    sortByKeys(rows, order, keys);
}

// Sorts by name, letter case ignored. A name that folding leaves as it is (most, often all) is
// its own key; the others are folded one after another into one text, so a million names cost
// no million strings of their own.
void sortByFoldedName(std::vector<ResultRow>& rows, int order) {
    constexpr std::size_t kOwnName = std::string::npos;
    std::string folded;
    std::vector<std::size_t> starts(rows.size(), kOwnName);
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const std::string& name = rows[i].name;
        const std::size_t start = folded.size();
        appendFolded(folded, name);
        if (std::string_view(folded).substr(start) == name)
            folded.resize(start);
        else
            starts[i] = start;
    }
    // The text no longer grows: views into it stay valid. Each folded name ends where the next
    // one starts.
    std::vector<std::string_view> keys(rows.size());
    std::size_t end = folded.size();
    for (std::size_t i = rows.size(); i-- > 0;) {
        if (starts[i] == kOwnName) {
            keys[i] = rows[i].name;
        } else {
            keys[i] = std::string_view(folded).substr(starts[i], end - starts[i]);
            end = starts[i];
        }
    }
    starts = {};
    sortByKeys(rows, order, keys);
}

} // namespace

void sortRows(std::vector<ResultRow>& rows, int column, int order) {
    switch (column) {
    case NameColumn:
        sortByFoldedName(rows, order);
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
