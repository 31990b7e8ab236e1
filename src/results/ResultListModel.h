// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "search/ResultRow.h"

#include <QAbstractTableModel>

#include <functional>
#include <string>
#include <vector>

namespace trevalo {

// The last column: why a file or folder could not be read, in the system's words.
inline constexpr int kReasonColumn = kResultColumnCount;
inline constexpr int kListColumnCount = kResultColumnCount + 1;
inline constexpr const char* kReasonCaption = "Reason";
// A row's band: true on every other group, so that the rows of one group share a background.
inline constexpr int kBandRole = Qt::UserRole + 1;
// The tooltip of a stale row (ResultRow::stale), which shows greyed and without a check box.
inline constexpr const char* kStaleRowTip =
    "Changed or gone since these results were saved: it cannot be marked, deleted or renamed.";

// The rows of one result list, with their check marks, as a table of six columns ("Name",
// "In Folder", "#", "Size", "Date Modified" and "Reason", which only the list of read errors
// shows). The model sorts itself; there is no proxy in between, so a row number of the view is
// a position in rows(). A folder's row (one that could not be listed) has no check box: it is
// never marked, and neither is a stale row (a file that changed since the results were saved).
//
// Every change of many rows reaches the view as one notification: a batch of appended rows is
// one insert, a sort or a marking pass is one layout change, marking every row is one
// dataChanged. That keeps a list of a million rows responsive.
//
// Sizes show as people read them ("4.1 MB"), with the exact count in the tooltip; they sort by
// number.
class ResultListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    // What makes a group for the bands (kBandRole): nothing, the group key, or the name
    // without regard to letter case. A new group starts wherever the key differs from the row
    // above, so the bands follow the present order of the rows.
    enum class Banding { None, ByGroup, ByName };

    explicit ResultListModel(QObject* parent = nullptr);

    void setBanding(Banding banding);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    // The view's own sort request (column 0-based); the same as sortByColumn.
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

    const std::vector<ResultRow>& rows() const { return rows_; }
    const ResultRow& row(int i) const { return rows_[static_cast<std::size_t>(i)]; }

    // Appends rows at the end with one insert.
    void appendRows(std::vector<ResultRow> rows);
    void clear();

    // Sorts by one 0-based column, Qt::AscendingOrder or Qt::DescendingOrder. Rows with equal
    // keys keep their order; selections and other persistent indexes follow their rows.
    void sortByColumn(int column, Qt::SortOrder order);
    // The column and order of the last sort; -1 when the rows are in the order they came in.
    int sortColumn() const { return sortColumn_; }
    Qt::SortOrder sortOrder() const { return sortOrder_; }

    // Checks or clears every row (folders stay unmarked), as one change.
    void setAllChecked(bool checked);
    void setChecked(int row, bool checked);

    // Runs a pass over all rows that may reorder them and change their marks (the marking
    // commands), and tells the view about it as one change. The pass must keep the number of
    // rows; a pass that does not is shown as a reset of the whole list.
    void editRows(const std::function<void(std::vector<ResultRow>&)>& pass);

    // Removes the rows whose positions are listed (in any order; repeats and positions out of
    // range are ignored). Returns how many rows went.
    int removeRowsAt(std::vector<int> positions);
    // Removes every row for which remove returns true. Returns how many rows went.
    int removeRowsWhere(const std::function<bool(const ResultRow&)>& remove);

    // Gives one row a new file name (bytes), after a rename.
    void setRowName(int row, std::string name);
    // After a rename: the rows of the file folder + oldName take newName and the renamed
    // file's stamp. Returns how many rows changed.
    int renameFile(const std::string& folder, const std::string& oldName,
                   const std::string& newName, const FileStamp& stamp);

private:
    struct Tracked;
    std::vector<Tracked> rememberPersistentRows() const;
    void movePersistentRows(const std::vector<Tracked>& tracked);

    // Works out the bands of the rows before `end` (those before bandsKnown_ are known).
    void computeBands(std::size_t end) const;
    bool sameBand(const ResultRow& a, const ResultRow& b) const;
    void forgetBands() { bandsKnown_ = 0; }

    std::vector<ResultRow> rows_;
    int sortColumn_ = -1;
    Qt::SortOrder sortOrder_ = Qt::AscendingOrder;
    Banding banding_ = Banding::None;
    // The bands of the first bandsKnown_ rows; worked out when a cell asks for one.
    mutable std::vector<bool> bands_;
    mutable std::size_t bandsKnown_ = 0;
};

} // namespace trevalo
