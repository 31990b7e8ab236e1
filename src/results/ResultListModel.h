// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "platform/UserText.h"
#include "results/RowScope.h"
#include "search/ResultRow.h"

#include <QAbstractTableModel>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace trevalo {

class FilterTexts;

// The last column: why a file or folder could not be read, in the system's words.
inline constexpr int kReasonColumn = kResultColumnCount;
inline constexpr int kListColumnCount = kResultColumnCount + 1;
inline constexpr const char* kReasonCaption = QT_TRANSLATE_NOOP("ResultListModel", "Reason");
// A row's band: true on every other group, so that the rows of one group share a background.
inline constexpr int kBandRole = Qt::UserRole + 1;
// The tooltip of a stale row (ResultRow::stale), which shows greyed and without a check box:
// its reason, and that it cannot be marked, deleted or renamed.
QString staleRowText(const ResultRow& row);

// The rows of one result list, with their check marks, as a table of six columns ("Name",
// "In Folder", "#", "Size", "Date Modified" and "Reason", which only the list of read errors
// shows). The model sorts itself; there is no proxy in between. Without a filter a row number
// of the view is a position in rows(); with one (setFilter) the view sees only the rows the
// filter shows, and positionOf / viewRowOf translate. A folder's row (one that could not be listed)
// has no check box: it is never marked, and neither is a kept file's or a stale row (a file
// that changed since the results were saved).
//
// Every change of many rows reaches the view as one notification: a batch of appended rows is
// one insert, a sort or a marking pass is one layout change, marking every row is one
// dataChanged. That keeps a list of a million rows responsive.
//
// A kept file's row (ResultRow::kept) shows a lock and its check box cannot be ticked, by the
// user or by any command here.
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
    ~ResultListModel() override;

    void setBanding(Banding banding);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    // The tooltip line of a file with more than one name: how many, and those the search found.
    static QString namesText(const ResultRow& r);
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    // The view's own sort request (column 0-based); the same as sortByColumn.
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

    // Every row, shown or not; row(i) is the one at position i of rows().
    const std::vector<ResultRow>& rows() const { return rows_; }
    const ResultRow& row(int i) const { return rows_[static_cast<std::size_t>(i)]; }

    // The filter box: the view shows only the rows a RowFilter of the text lets through (whole
    // groups in "Duplicates" and "Same Name"; list is the tab's index); an empty text shows
    // every row. The rows shown follow every later change of the rows (sort, marking pass,
    // delete) until the text changes. One reset of the view per change of text.
    void setFilter(const std::string& text, int list);
    const std::string& filterText() const { return filterText_; }
    // Changes whenever the rows change (not their marks, nor the filter): what is worked out
    // from the rows, such as their groups, is good while it stays.
    std::uint64_t rowsVersion() const { return rowsVersion_; }
    // Reads the rows' texts for a filter of list beforehand (when the filter box gets the
    // focus), so that the first key typed does not wait for it.
    void prepareFilter(int list);
    bool filtered() const { return !filterText_.empty() || differingOnly_; }
    // "Same Name": shows only the names whose files are not all identical (rowsOfDifferingNames;
    // the rows carry their "Duplicates" group, see markIdenticalNamesakes), together with the
    // filter box's text. One reset of the view per change.
    void setDifferingOnly(bool on);
    bool differingOnly() const { return differingOnly_; }
    // The rows shown, for the commands that act on them.
    RowScope shownScope() const { return filtered() ? RowScope(shown_) : RowScope(); }
    // The position in rows() of a row of the view, and back (-1 for a row not shown).
    int positionOf(int viewRow) const {
        return filtered() ? shown_[static_cast<std::size_t>(viewRow)] : viewRow;
    }
    int viewRowOf(int position) const;

    // Appends rows at the end with one insert.
    void appendRows(std::vector<ResultRow> rows);
    void clear();

    // Sorts by one 0-based column, Qt::AscendingOrder or Qt::DescendingOrder. Rows with equal
    // keys keep their order; selections and other persistent indexes follow their rows.
    void sortByColumn(int column, Qt::SortOrder order);
    // The column and order of the last sort; -1 when the rows are in the order they came in.
    int sortColumn() const { return sortColumn_; }
    Qt::SortOrder sortOrder() const { return sortOrder_; }

    // Checks or clears every row shown (folders and kept files stay unmarked), as one change.
    void setAllChecked(bool checked);
    // Checks or clears the row at a position of rows().
    void setChecked(int row, bool checked);

    // Runs a pass over all rows that may reorder them and change their marks (the marking
    // commands), and tells the view about it as one change. The pass must keep the number of
    // rows; a pass that does not is shown as a reset of the whole list.
    // A pass that only changes marks (RowOrder::Kept) is told as a change of the check boxes
    // alone, and the rows shown under a filter stay as they are.
    enum class RowOrder { MayChange, Kept };
    void editRows(const std::function<void(std::vector<ResultRow>&)>& pass,
                  RowOrder order = RowOrder::MayChange);

    // Removes the rows whose positions are listed (in any order; repeats and positions out of
    // range are ignored). Returns how many rows went.
    int removeRowsAt(std::vector<int> positions);
    // Removes every row for which remove returns true. Returns how many rows went.
    int removeRowsWhere(const std::function<bool(const ResultRow&)>& remove);
    // Takes out the rows that are no longer one of a group (rowsWithoutGroup of list: after a
    // delete or a rename, a group left with one file is no group of "Duplicates" or "Same
    // Name"), and returns them in their order.
    std::vector<ResultRow> settleGroups(int list);

    // Gives one row (a position of rows()) a new file name (bytes), after a rename.
    void setRowName(int row, std::string name);
    // After a rename: the rows of the file folder + oldName take newName and the renamed
    // file's stamp. Returns how many rows changed.
    int renameFile(const std::string& folder, const std::string& oldName,
                   const std::string& newName, const FileStamp& stamp);

private:
    struct Tracked;
    const ResultRow& rowAt(int viewRow) const { return row(positionOf(viewRow)); }
    // After the rows changed: the filter's texts are made again when next needed, and the
    // rows shown are worked out again.
    void rowsChanged();
    // Takes the rows at the positions given (ascending, no repeats) out of rows_, keeping the
    // order of the others; tells no view.
    void dropRows(const std::vector<int>& positions);
    void forgetTexts();
    // Works out the rows the filter shows.
    void refilter();
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
    // The filter: its text, its list, and the positions it shows (ascending).
    std::string filterText_;
    bool differingOnly_ = false;
    int filterList_ = 0;
    std::vector<int> shown_;
    std::unique_ptr<FilterTexts> texts_; // made on the first key typed after a change of rows
    std::uint64_t rowsVersion_ = 0;
    UserDateForm dates_; // the form of the date column, in the language loaded before
};

} // namespace trevalo
