// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QPoint>
#include <QTreeView>

namespace trevalo {

class ResultListModel;

// A result list as a report: one row per file with its check box, five fixed-width columns,
// rows of one height. A header click sorts the list ascending by that column, every time.
// Clicks are handed on as signals; the window decides what they do.
class ResultListView : public QTreeView {
    Q_OBJECT
public:
    explicit ResultListView(QWidget* parent = nullptr);

    void setResultModel(ResultListModel* model);
    ResultListModel* resultModel() const { return model_; }

    // Column widths in pixels; a width of 0 hides the column.
    void setColumnWidths(const QList<int>& widths);
    // The selected row, or -1.
    int selectedRow() const;
    // Selects one row and makes it current.
    void selectRow(int row);

signals:
    // A row was clicked with the left button.
    void rowClicked(int row);
    void rowDoubleClicked(int row);
    // The right mouse button was released over the list, at this screen position.
    void rightButtonReleased(const QPoint& globalPos);

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void headerClicked(int section);

    ResultListModel* model_ = nullptr;
};

} // namespace trevalo
