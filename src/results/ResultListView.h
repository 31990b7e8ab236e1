// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QByteArray>
#include <QColor>
#include <QPalette>
#include <QPoint>
#include <QTreeView>

namespace trevalo {

class ResultListModel;

// The background of every other group's rows: the list's base with a share of the palette's
// highlight, so that the bands stand out in light and dark palettes alike (a palette's own
// alternate base is often all but the base).
QColor groupBandColor(const QPalette& palette);

// A result list as a report: one row per file with its check box, rows of one height. "Name"
// and "In Folder" share the width the other columns leave (the user's drags set their shares),
// a long folder is shortened in its middle, and the rows of one group share a background taken
// from the palette. A header click sorts ascending by its column, a second click on the same
// column descending; the header shows which. Clicks are handed on as signals; the window
// decides what they do.
class ResultListView : public QTreeView {
    Q_OBJECT
public:
    explicit ResultListView(QWidget* parent = nullptr);

    void setResultModel(ResultListModel* model);
    ResultListModel* resultModel() const { return model_; }

    // Column widths in pixels; a width of 0 hides the column. "Name" and "In Folder" take
    // their given widths as their shares of the free width.
    void setColumnWidths(const QList<int>& widths);
    // The column widths and shares, to remember between runs, and back.
    QByteArray saveColumns() const;
    void restoreColumns(const QByteArray& saved);
    // The selected row, or -1.
    int selectedRow() const;
    // Selects one row and makes it current.
    void selectRow(int row);

signals:
    // A row was clicked with the left button.
    void rowClicked(int row);
    void rowDoubleClicked(int row);
    // The current row changed, by a click or a key; -1 for none.
    void currentRowChanged(int row);
    // The right mouse button was released over the list, at this screen position.
    void rightButtonReleased(const QPoint& globalPos);
    // The Menu key asked for the list's menu.
    void menuKeyPressed();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void headerClicked(int section);
    void showSortIndicator();
    // Shares the free width between "Name", "In Folder" and, where it is shown, "Reason".
    void fitColumns();
    void columnResized(int column, int oldWidth, int newWidth);

    ResultListModel* model_ = nullptr;
    // The share of "Name" in the width of "Name" and "In Folder" together.
    double nameShare_ = 1.0 / 3.0;
    // The share of "Reason" in the width of the three.
    double reasonShare_ = 0.4;
    bool fitting_ = false;
};

} // namespace trevalo
