// SPDX-License-Identifier: GPL-2.0-or-later
#include "results/ResultListView.h"

#include "results/ResultListModel.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QDataStream>
#include <QHeaderView>
#include <QMouseEvent>
#include <QPainter>
#include <QStyledItemDelegate>

#include <algorithm>
#include <cmath>

namespace trevalo {

namespace {

// Characters "Name" and "In Folder" keep at least when the list is narrow.
constexpr int kNameMinChars = 10;
constexpr int kFolderMinChars = 14;
constexpr int kReasonMinChars = 20;
constexpr quint32 kColumnsVersion = 1;

// The share of the highlight in a band's colour.
constexpr double kBandShare = 0.15;

// Draws every other group's rows on the band colour and shortens folders in the middle, so
// that their last parts stay in sight.
class ResultDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
        QStyledItemDelegate::initStyleOption(option, index);
        if (index.column() == FolderColumn)
            option->textElideMode = Qt::ElideMiddle;
        if (index.data(kBandRole).toBool())
            option->backgroundBrush = groupBandColor(option->palette);
    }

public:
    // A check box that cannot be ticked (a kept file's) is drawn disabled, over the cell's own
    // background; the rest of the cell is drawn as usual.
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        QStyledItemDelegate::paint(painter, option, index);
        if (index.column() != NameColumn || (index.flags() & Qt::ItemIsUserCheckable) ||
            !index.data(Qt::CheckStateRole).isValid())
            return;
        QStyleOptionViewItem cell = option;
        initStyleOption(&cell, index);
        const QWidget* widget = cell.widget;
        QStyle* style = widget ? widget->style() : QApplication::style();
        const QRect box =
            style->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &cell, widget);
        painter->save();
        painter->setClipRect(box);
        painter->fillRect(box, cell.palette.brush(QPalette::Base));
        style->drawPrimitive(QStyle::PE_PanelItemViewItem, &cell, painter, widget);
        QStyleOptionViewItem check = cell;
        check.rect = box;
        check.state &= ~(QStyle::State_Enabled | QStyle::State_HasFocus);
        check.state |= cell.checkState == Qt::Checked ? QStyle::State_On : QStyle::State_Off;
        style->drawPrimitive(QStyle::PE_IndicatorItemViewItemCheck, &check, painter, widget);
        painter->restore();
    }
};

} // namespace

QColor groupBandColor(const QPalette& palette) {
    const QColor base = palette.color(QPalette::Active, QPalette::Base);
    const QColor tint = palette.color(QPalette::Active, QPalette::Highlight);
    const auto mix = [](double a, double b) {
        return static_cast<int>(std::lround(a * (1 - kBandShare) + b * kBandShare));
    };
    return QColor(mix(base.red(), tint.red()), mix(base.green(), tint.green()),
                  mix(base.blue(), tint.blue()));
}

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
    setItemDelegate(new ResultDelegate(this));

    QHeaderView* h = header();
    h->setStretchLastSection(false);
    h->setSectionsMovable(false);
    h->setSectionsClickable(true);
    h->setSectionResizeMode(QHeaderView::Interactive);
    h->setSortIndicatorShown(true);
    h->setSortIndicator(-1, Qt::AscendingOrder);
    connect(h, &QHeaderView::sectionClicked, this, &ResultListView::headerClicked);
    connect(h, &QHeaderView::sectionResized, this, &ResultListView::columnResized);

    connect(this, &QAbstractItemView::clicked, this,
            [this](const QModelIndex& index) { emit rowClicked(index.row()); });
    connect(this, &QAbstractItemView::doubleClicked, this,
            [this](const QModelIndex& index) { emit rowDoubleClicked(index.row()); });
}

void ResultListView::setResultModel(ResultListModel* model) {
    model_ = model;
    setModel(model);
    connect(model, &QAbstractItemModel::layoutChanged, this, &ResultListView::showSortIndicator);
    connect(model, &QAbstractItemModel::modelReset, this, &ResultListView::showSortIndicator);
    connect(selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) {
                emit currentRowChanged(current.isValid() ? current.row() : -1);
            });
}

void ResultListView::setColumnWidths(const QList<int>& widths) {
    fitting_ = true;
    for (int c = 0; c < widths.size(); ++c) {
        if (widths[c] <= 0) {
            setColumnHidden(c, true);
        } else {
            setColumnHidden(c, false);
            setColumnWidth(c, widths[c]);
        }
    }
    fitting_ = false;
    if (widths.size() > FolderColumn && widths[NameColumn] + widths[FolderColumn] > 0)
        nameShare_ =
            static_cast<double>(widths[NameColumn]) / (widths[NameColumn] + widths[FolderColumn]);
    fitColumns();
}

QByteArray ResultListView::saveColumns() const {
    QByteArray out;
    QDataStream stream(&out, QIODevice::WriteOnly);
    stream << kColumnsVersion << nameShare_ << static_cast<qint32>(header()->count());
    for (int c = 0; c < header()->count(); ++c)
        stream << static_cast<qint32>(columnWidth(c));
    return out;
}

void ResultListView::restoreColumns(const QByteArray& saved) {
    QDataStream stream(saved);
    quint32 version = 0;
    double share = 0;
    qint32 count = 0;
    stream >> version >> share >> count;
    if (stream.status() != QDataStream::Ok || version != kColumnsVersion || count < 0 ||
        count > header()->count() || !(share > 0.0 && share < 1.0))
        return;
    fitting_ = true;
    for (int c = 0; c < count; ++c) {
        qint32 width = 0;
        stream >> width;
        if (stream.status() == QDataStream::Ok && width > 0 && !isColumnHidden(c))
            setColumnWidth(c, width);
    }
    fitting_ = false;
    nameShare_ = share;
    fitColumns();
}

void ResultListView::fitColumns() {
    if (!model_ || fitting_)
        return;
    const bool reasons = header()->count() > kReasonColumn && !isColumnHidden(kReasonColumn);
    int fixed = 0;
    for (int c = 0; c < header()->count(); ++c)
        if (c != NameColumn && c != FolderColumn && c != kReasonColumn && !isColumnHidden(c))
            fixed += columnWidth(c);
    const int nameMin = fontMetrics().averageCharWidth() * kNameMinChars;
    const int folderMin = fontMetrics().averageCharWidth() * kFolderMinChars;
    const int reasonMin = reasons ? fontMetrics().averageCharWidth() * kReasonMinChars : 0;
    int free = std::max(viewport()->width() - fixed, nameMin + folderMin + reasonMin);
    // "Reason" takes its share of what is free, so that a narrow window still shows names.
    const int reason = reasons ? std::clamp(static_cast<int>(free * reasonShare_), reasonMin,
                                            free - nameMin - folderMin)
                               : 0;
    free -= reason;
    const int name = std::clamp(static_cast<int>(free * nameShare_), nameMin, free - folderMin);
    fitting_ = true;
    setColumnWidth(NameColumn, name);
    setColumnWidth(FolderColumn, free - name);
    if (reasons)
        setColumnWidth(kReasonColumn, reason);
    fitting_ = false;
}

void ResultListView::columnResized(int column, int, int) {
    if (fitting_)
        return;
    // A drag of "Name" or "In Folder" sets their shares, one of "Reason" its share; a drag of
    // another column changes what is left for them.
    if (column == NameColumn || column == FolderColumn) {
        const int both = columnWidth(NameColumn) + columnWidth(FolderColumn);
        if (both > 0)
            nameShare_ = static_cast<double>(columnWidth(NameColumn)) / both;
    } else if (column == kReasonColumn) {
        const int all =
            columnWidth(NameColumn) + columnWidth(FolderColumn) + columnWidth(kReasonColumn);
        if (all > 0)
            reasonShare_ =
                std::clamp(static_cast<double>(columnWidth(kReasonColumn)) / all, 0.1, 0.8);
    }
    fitColumns();
}

void ResultListView::resizeEvent(QResizeEvent* event) {
    QTreeView::resizeEvent(event);
    fitColumns();
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

void ResultListView::contextMenuEvent(QContextMenuEvent* event) {
    // The mouse's menu opens on the button's release; the keyboard's here.
    if (event->reason() == QContextMenuEvent::Keyboard)
        emit menuKeyPressed();
    event->accept();
}

void ResultListView::headerClicked(int section) {
    if (!model_)
        return;
    const bool again = model_->sortColumn() == section && model_->sortOrder() == Qt::AscendingOrder;
    model_->sortByColumn(section, again ? Qt::DescendingOrder : Qt::AscendingOrder);
}

void ResultListView::showSortIndicator() {
    if (model_)
        header()->setSortIndicator(model_->sortColumn(), model_->sortOrder());
}

} // namespace trevalo
