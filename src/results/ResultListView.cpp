// SPDX-License-Identifier: GPL-2.0-or-later
#include "results/ResultListView.h"

#include "results/ResultListModel.h"

#include <QHeaderView>
#include <QMouseEvent>

namespace trevalo {

ResultListView::ResultListView(QWidget* parent) : QTreeView(parent) {
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true);
    setAllColumnsShowFocus(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setTextElideMode(Qt::ElideRight);
    setSortingEnabled(false);

    QHeaderView* h = header();
    h->setStretchLastSection(false);
    h->setSectionsMovable(false);
    h->setSectionsClickable(true);
    h->setSectionResizeMode(QHeaderView::Interactive);
    h->setSortIndicatorShown(false);
    connect(h, &QHeaderView::sectionClicked, this, &ResultListView::headerClicked);

    connect(this, &QAbstractItemView::clicked, this,
            [this](const QModelIndex& index) { emit rowClicked(index.row()); });
    connect(this, &QAbstractItemView::doubleClicked, this,
            [this](const QModelIndex& index) { emit rowDoubleClicked(index.row()); });
}

void ResultListView::setResultModel(ResultListModel* model) {
    model_ = model;
    setModel(model);
}

void ResultListView::setColumnWidths(const QList<int>& widths) {
    for (int c = 0; c < widths.size(); ++c) {
        if (widths[c] <= 0) {
            setColumnHidden(c, true);
        } else {
            setColumnHidden(c, false);
            setColumnWidth(c, widths[c]);
        }
    }
}

int ResultListView::selectedRow() const {
    const QModelIndexList rows =
        selectionModel() ? selectionModel()->selectedRows() : QModelIndexList{};
    return rows.isEmpty() ? -1 : rows.first().row();
}

void ResultListView::selectRow(int row) {
    if (!model_ || row < 0 || row >= model_->rowCount())
        return;
    const QModelIndex index = model_->index(row, 0);
    selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect |
                                                 QItemSelectionModel::Rows);
}

void ResultListView::mouseReleaseEvent(QMouseEvent* event) {
    QTreeView::mouseReleaseEvent(event);
    if (event->button() == Qt::RightButton)
        emit rightButtonReleased(event->globalPosition().toPoint());
}

void ResultListView::headerClicked(int section) {
    if (model_)
        model_->sortByColumn(section, Qt::AscendingOrder);
}

} // namespace trevalo
