// SPDX-License-Identifier: GPL-2.0-or-later
#include "results/ResultListModel.h"

#include "platform/ByteText.h"
#include "platform/UserText.h"
#include "results/GroupNumbers.h"
#include "results/KeptIcon.h"
#include "results/NameCopies.h"
#include "results/RowFilter.h"
#include "results/SizeText.h"
#include "search/RowSort.h"

#include <QApplication>
#include <QCoreApplication>
#include <QPalette>
#include <QStyle>

#include <algorithm>
#include <iterator>
#include <numeric>
#include <string_view>
#include <unordered_map>

namespace trevalo {

namespace {

// More separate stretches of removed rows than this are shown as a reset of the list: each
// stretch removed on its own moves every row behind it.
constexpr std::size_t kMaxRemovedStretches = 16;
// Bands are worked out this many rows beyond the row asked for.
constexpr std::size_t kBandsAhead = 1024;

// Numbers are shown without the blanks that pad their cell text: the column aligns them right
// and a proportional font would only spend the width on blanks.
// A group key as the "#" cell shows it: nothing for a row in no group.
QString numberText(std::int64_t value) {
    return value >= 0 ? QString::number(value) : QString();
}

} // namespace

QString staleRowText(const ResultRow& row) {
    QString text = displayText(row.staleReason());
    if (!text.isEmpty())
        text[0] = text[0].toUpper();
    return text + QObject::tr(": it cannot be marked, deleted or renamed.");
}

// A row that a persistent index (a selection, the current row) points at, found again by its
// file after the rows have moved. A file appears at most once in a list.
struct ResultListModel::Tracked {
    int oldRow = -1;
    std::string folder;
    std::string name;
    int newRow = -1;
};

ResultListModel::ResultListModel(QObject* parent) : QAbstractTableModel(parent) {}

ResultListModel::~ResultListModel() = default;

void ResultListModel::setFilter(const std::string& text, int list) {
    if (text == filterText_ && list == filterList_)
        return;
    beginResetModel();
    filterText_ = text;
    filterList_ = list;
    shown_.clear();
    forgetBands();
    refilter();
    endResetModel();
}

void ResultListModel::prepareFilter(int list) {
    if (!texts_ || texts_->list() != list)
        texts_ = std::make_unique<FilterTexts>(rows_, list);
}

void ResultListModel::forgetTexts() {
    texts_.reset();
    ++rowsVersion_;
}

void ResultListModel::rowsChanged() {
    forgetTexts();
    forgetBands();
    refilter();
}

void ResultListModel::refilter() {
    if (!filtered())
        return;
    if (!filterText_.empty()) {
        if (!texts_ || texts_->list() != filterList_)
            texts_ = std::make_unique<FilterTexts>(rows_, filterList_);
        shown_ = RowFilter(filterText_).shownRows(*texts_);
    } else {
        shown_.resize(rows_.size());
        std::iota(shown_.begin(), shown_.end(), 0);
    }
    if (differingOnly_) {
        const std::vector<int> differing = rowsOfDifferingNames(rows_);
        std::vector<int> both;
        std::set_intersection(shown_.begin(), shown_.end(), differing.begin(), differing.end(),
                              std::back_inserter(both));
        shown_ = std::move(both);
    }
}

void ResultListModel::setDifferingOnly(bool on) {
    if (on == differingOnly_)
        return;
    beginResetModel();
    differingOnly_ = on;
    shown_.clear();
    forgetBands();
    refilter();
    endResetModel();
}

int ResultListModel::viewRowOf(int position) const {
    if (!filtered())
        return position >= 0 && position < rowCount() ? position : -1;
    const auto it = std::lower_bound(shown_.begin(), shown_.end(), position);
    return it != shown_.end() && *it == position ? static_cast<int>(it - shown_.begin()) : -1;
}

void ResultListModel::setBanding(Banding banding) {
    banding_ = banding;
    forgetBands();
    if (!rows_.empty())
        emit dataChanged(index(0, 0), index(rowCount() - 1, kListColumnCount - 1), {kBandRole});
}

bool ResultListModel::sameBand(const ResultRow& a, const ResultRow& b) const {
    if (banding_ == Banding::ByGroup)
        return a.group == b.group;
    return equalNoCase(a.name, b.name);
}

void ResultListModel::computeBands(std::size_t end) const {
    const auto count = static_cast<std::size_t>(rowCount());
    if (bands_.size() != count)
        bands_.resize(count);
    end = std::min(end, count);
    for (std::size_t i = bandsKnown_; i < end; ++i) {
        const int at = static_cast<int>(i);
        bands_[i] =
            i == 0 ? false : (sameBand(rowAt(at), rowAt(at - 1)) ? bands_[i - 1] : !bands_[i - 1]);
    }
    bandsKnown_ = std::max(bandsKnown_, end);
}

int ResultListModel::rowCount(const QModelIndex& parent) const {
    if (parent.isValid())
        return 0;
    return static_cast<int>(filtered() ? shown_.size() : rows_.size());
}

int ResultListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kListColumnCount;
}

QString ResultListModel::namesText(const ResultRow& r) {
    QString text = countedText("trevalo::ResultListModel", "This file has %n names (hard links).",
                               nullptr, r.links);
    if (!r.otherNames() || r.otherNames()->empty())
        return text + QLatin1Char(' ') +
               tr("The search found no other: deleting this name frees no space.");
    const std::size_t found = r.otherNames()->size() + 1;
    text += QLatin1Char(' ') + (r.allNamesFound()
                                    ? tr("The search found all of them; the others are:")
                                    : countedText("trevalo::ResultListModel",
                                                  "The search found %n of them; the others it "
                                                  "found are:",
                                                  nullptr, found));
    for (const std::string& path : *r.otherNames())
        text += QLatin1Char('\n') + displayText(path);
    return text;
}

QVariant ResultListModel::data(const QModelIndex& index, int role) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const ResultRow& r = rowAt(index.row());
    const int column = index.column();
    switch (role) {
    case Qt::DisplayRole:
        switch (column) {
        case NameColumn:
            return displayText(r.name);
        case FolderColumn:
            return displayText(r.folder());
        case GroupColumn:
            return numberText(r.group);
        case SizeColumn:
            return sizeForPeople(r.size);
        case DateColumn:
            return dates_.text(shownDate(r));
        case kReasonColumn:
            return displayText(r.reason());
        default:
            return {};
        }
    case Qt::ToolTipRole:
        if (r.stale())
            return staleRowText(r);
        if (column == NameColumn || column == FolderColumn) {
            QString text = displayText(r.path());
            if (column == NameColumn && r.kept)
                text += QLatin1Char('\n') + keptReason();
            if (r.throughLink)
                text += QLatin1Char('\n') + tr("Found only through a link to a folder");
            return text;
        }
        if (column == SizeColumn && r.size >= 0)
            return r.links > 1 ? exactBytes(r.size) + QLatin1Char('\n') + namesText(r)
                               : exactBytes(r.size);
        if (column == GroupColumn && banding_ == Banding::ByName)
            return r.group >= 0 ? tr("Identical to the other files of its name with this # "
                                     "(its group in Duplicates)")
                                : tr("No other file of its name holds the same bytes");
        return {};
    case kBandRole:
        if (banding_ == Banding::None)
            return false;
        // Only as far as the rows shown need: a million rows after a sort cost nothing until
        // the user scrolls down to them.
        if (static_cast<std::size_t>(index.row()) >= bandsKnown_)
            computeBands(static_cast<std::size_t>(index.row()) + kBandsAhead);
        return static_cast<bool>(bands_[static_cast<std::size_t>(index.row())]);
    case Qt::DecorationRole:
        // A folder has no check box; its icon stands where the box would be.
        if (column == NameColumn && r.isFolder)
            return QApplication::style()->standardIcon(QStyle::SP_DirIcon);
        if (column == NameColumn && r.kept)
            return keptIcon();
        if (column == SizeColumn && r.links > 1)
            return QApplication::style()->standardIcon(QStyle::SP_FileLinkIcon);
        return {};
    case Qt::CheckStateRole:
        // A kept file's box is drawn, disabled; a stale row has none.
        if (column == NameColumn && !r.isFolder && !r.stale())
            return r.checked ? Qt::Checked : Qt::Unchecked;
        return {};
    case Qt::ForegroundRole:
        if (r.stale())
            return QApplication::palette().brush(QPalette::Disabled, QPalette::Text);
        return {};
    case Qt::TextAlignmentRole:
        if (column == GroupColumn || column == SizeColumn)
            return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
        return QVariant::fromValue(Qt::AlignLeft | Qt::AlignVCenter);
    default:
        return {};
    }
}

bool ResultListModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (role != Qt::CheckStateRole || index.column() != NameColumn ||
        !checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return false;
    setChecked(positionOf(index.row()), value.value<Qt::CheckState>() != Qt::Unchecked);
    return true;
}

Qt::ItemFlags ResultListModel::flags(const QModelIndex& index) const {
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
    if (index.column() == NameColumn && rowAt(index.row()).mayBeActedOn())
        f |= Qt::ItemIsUserCheckable;
    return f;
}

QVariant ResultListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= kListColumnCount)
        return QAbstractTableModel::headerData(section, orientation, role);
    if (role == Qt::DisplayRole) {
        if (section == kReasonColumn)
            return QCoreApplication::translate("ResultListModel", kReasonCaption);
        const std::string_view caption = kResultColumnCaptions[static_cast<std::size_t>(section)];
        return QCoreApplication::translate("ResultRow", caption.data());
    }
    if (role == Qt::TextAlignmentRole) {
        if (section == GroupColumn || section == SizeColumn)
            return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
        return QVariant::fromValue(Qt::AlignLeft | Qt::AlignVCenter);
    }
    return {};
}

void ResultListModel::sort(int column, Qt::SortOrder order) {
    sortByColumn(column, order);
}

void ResultListModel::appendRows(std::vector<ResultRow> rows) {
    if (rows.empty())
        return;
    if (filtered()) {
        // The new rows may join groups shown already: the rows shown are worked out again.
        beginResetModel();
        rows_.insert(rows_.end(), std::make_move_iterator(rows.begin()),
                     std::make_move_iterator(rows.end()));
        rowsChanged();
        endResetModel();
        return;
    }
    const int first = static_cast<int>(rows_.size());
    beginInsertRows({}, first, first + static_cast<int>(rows.size()) - 1);
    if (rows_.empty())
        rows_ = std::move(rows);
    else
        rows_.insert(rows_.end(), std::make_move_iterator(rows.begin()),
                     std::make_move_iterator(rows.end()));
    // The bands of the rows above stay; the new ones are worked out when asked for.
    forgetTexts();
    endInsertRows();
}

void ResultListModel::clear() {
    beginResetModel();
    rows_.clear();
    rows_.shrink_to_fit();
    bands_.clear();
    bands_.shrink_to_fit();
    shown_.clear();
    forgetTexts();
    forgetBands();
    sortColumn_ = -1;
    sortOrder_ = Qt::AscendingOrder;
    endResetModel();
}

void ResultListModel::sortByColumn(int column, Qt::SortOrder order) {
    if (column < 0 || column >= kListColumnCount)
        return;
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const std::vector<Tracked> tracked = rememberPersistentRows();
    if (column == kReasonColumn) {
        const bool ascending = order == Qt::AscendingOrder;
        std::stable_sort(rows_.begin(), rows_.end(),
                         [ascending](const ResultRow& a, const ResultRow& b) {
                             return ascending ? a.reason() < b.reason() : b.reason() < a.reason();
                         });
    } else {
        sortRows(rows_, column, order == Qt::AscendingOrder ? 0 : 1);
    }
    sortColumn_ = column;
    sortOrder_ = order;
    rowsChanged();
    movePersistentRows(tracked);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void ResultListModel::setAllChecked(bool checked) {
    if (rowCount() == 0)
        return;
    shownScope().forEach(rows_.size(), [this, checked](std::size_t i) {
        rows_[i].checked = checked && rows_[i].mayBeActedOn();
    });
    emit dataChanged(index(0, NameColumn), index(rowCount() - 1, NameColumn), {Qt::CheckStateRole});
}

void ResultListModel::setChecked(int row, bool checked) {
    if (row < 0 || static_cast<std::size_t>(row) >= rows_.size())
        return;
    ResultRow& r = rows_[static_cast<std::size_t>(row)];
    if (r.checked == checked || (checked && !r.mayBeActedOn()))
        return;
    r.checked = checked;
    const int shownAt = viewRowOf(row);
    if (shownAt < 0)
        return;
    const QModelIndex cell = index(shownAt, NameColumn);
    emit dataChanged(cell, cell, {Qt::CheckStateRole});
}

void ResultListModel::editRows(const std::function<void(std::vector<ResultRow>&)>& pass,
                               RowOrder order) {
    if (order == RowOrder::Kept) {
        pass(rows_);
        for (ResultRow& r : rows_)
            r.checked = r.checked && r.mayBeActedOn();
        // The pass may keep rows or let them go, which their lock and tooltip show.
        if (rowCount() > 0)
            emit dataChanged(index(0, NameColumn), index(rowCount() - 1, NameColumn),
                             {Qt::CheckStateRole, Qt::DecorationRole, Qt::ToolTipRole});
        return;
    }
    const std::size_t before = rows_.size();
    const int shownBefore = rowCount();
    emit layoutAboutToBeChanged();
    const std::vector<Tracked> tracked = rememberPersistentRows();
    pass(rows_);
    for (ResultRow& r : rows_)
        r.checked = r.checked && r.mayBeActedOn();
    rowsChanged();
    movePersistentRows(tracked);
    emit layoutChanged();
    if (rows_.size() != before || rowCount() != shownBefore) {
        beginResetModel();
        endResetModel();
        return;
    }
    if (!rows_.empty())
        emit dataChanged(index(0, NameColumn), index(rowCount() - 1, NameColumn),
                         {Qt::CheckStateRole});
}

void ResultListModel::dropRows(const std::vector<int>& positions) {
    std::size_t next = 0; // index into positions, ascending and without repeats
    std::size_t out = 0;
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        if (next < positions.size() && static_cast<std::size_t>(positions[next]) == i) {
            ++next;
            continue;
        }
        if (out != i)
            rows_[out] = std::move(rows_[i]);
        ++out;
    }
    rows_.resize(out);
}

int ResultListModel::removeRowsAt(std::vector<int> positions) {
    const int count = static_cast<int>(rows_.size());
    std::erase_if(positions, [count](int p) { return p < 0 || p >= count; });
    std::sort(positions.begin(), positions.end());
    positions.erase(std::unique(positions.begin(), positions.end()), positions.end());
    if (positions.empty())
        return 0;
    if (filtered()) {
        beginResetModel();
        dropRows(positions);
        rowsChanged();
        endResetModel();
        return static_cast<int>(positions.size());
    }
    forgetTexts();
    forgetBands();

    // Stretches of adjacent positions, first to last.
    std::vector<std::pair<int, int>> stretches;
    for (int p : positions) {
        if (!stretches.empty() && stretches.back().second + 1 == p)
            stretches.back().second = p;
        else
            stretches.emplace_back(p, p);
    }

    if (stretches.size() <= kMaxRemovedStretches) {
        for (auto it = stretches.rbegin(); it != stretches.rend(); ++it) {
            beginRemoveRows({}, it->first, it->second);
            rows_.erase(rows_.begin() + it->first, rows_.begin() + it->second + 1);
            endRemoveRows();
        }
    } else {
        beginResetModel();
        dropRows(positions);
        endResetModel();
    }
    return static_cast<int>(positions.size());
}

int ResultListModel::removeRowsWhere(const std::function<bool(const ResultRow&)>& remove) {
    std::vector<int> positions;
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        if (remove(rows_[i]))
            positions.push_back(static_cast<int>(i));
    }
    return removeRowsAt(std::move(positions));
}

std::vector<ResultRow> ResultListModel::settleGroups(int list) {
    const std::vector<int> alone = rowsWithoutGroup(rows_, list);
    std::vector<ResultRow> settled;
    settled.reserve(alone.size());
    for (const int i : alone)
        settled.push_back(rows_[static_cast<std::size_t>(i)]);
    removeRowsAt(alone);
    return settled;
}

void ResultListModel::setRowName(int row, std::string name) {
    if (row < 0 || static_cast<std::size_t>(row) >= rows_.size())
        return;
    rows_[static_cast<std::size_t>(row)].name = std::move(name);
    forgetTexts();
    const int shownAt = viewRowOf(row);
    if (shownAt < 0)
        return;
    const QModelIndex cell = index(shownAt, NameColumn);
    emit dataChanged(cell, cell, {Qt::DisplayRole, Qt::ToolTipRole});
    if (banding_ == Banding::ByName) {
        forgetBands();
        emit dataChanged(index(0, 0), index(rowCount() - 1, kListColumnCount - 1), {kBandRole});
    }
}

int ResultListModel::renameFile(const std::string& folder, const std::string& oldName,
                                const std::string& newName, const FileStamp& stamp) {
    int changed = 0;
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        ResultRow& r = rows_[i];
        if (r.isFolder || r.name != oldName || r.folder() != folder)
            continue;
        r.stamp = stamp;
        setRowName(static_cast<int>(i), newName);
        ++changed;
    }
    return changed;
}

std::vector<ResultListModel::Tracked> ResultListModel::rememberPersistentRows() const {
    std::vector<Tracked> tracked;
    const QModelIndexList persistent = persistentIndexList();
    for (const QModelIndex& index : persistent) {
        const int r = index.row();
        if (r < 0 || r >= rowCount())
            continue;
        const bool known = std::any_of(tracked.begin(), tracked.end(),
                                       [r](const Tracked& t) { return t.oldRow == r; });
        if (!known)
            tracked.push_back({r, rowAt(r).folder(), rowAt(r).name, -1});
    }
    return tracked;
}

void ResultListModel::movePersistentRows(const std::vector<Tracked>& trackedIn) {
    const QModelIndexList from = persistentIndexList();
    if (from.isEmpty())
        return;
    std::vector<Tracked> tracked = trackedIn;
    std::unordered_multimap<std::string_view, std::size_t> byName;
    for (std::size_t t = 0; t < tracked.size(); ++t)
        byName.emplace(tracked[t].name, t);
    std::size_t found = 0;
    for (std::size_t i = 0; i < rows_.size() && found < tracked.size(); ++i) {
        auto [first, last] = byName.equal_range(rows_[i].name);
        for (auto it = first; it != last; ++it) {
            Tracked& t = tracked[it->second];
            if (t.newRow < 0 && t.folder == rows_[i].folder()) {
                t.newRow = viewRowOf(static_cast<int>(i));
                ++found;
                break;
            }
        }
    }
    QModelIndexList to;
    to.reserve(from.size());
    for (const QModelIndex& old : from) {
        const auto t = std::find_if(tracked.begin(), tracked.end(),
                                    [&old](const Tracked& x) { return x.oldRow == old.row(); });
        if (t != tracked.end() && t->newRow >= 0)
            to.append(index(t->newRow, old.column()));
        else
            to.append(QModelIndex());
    }
    changePersistentIndexList(from, to);
}

} // namespace trevalo
