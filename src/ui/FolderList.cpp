// SPDX-License-Identifier: GPL-2.0-or-later
#include "ui/FolderList.h"

#include "platform/ByteText.h"
#include "platform/FileSystem.h"
#include "platform/PathText.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QStyle>

#include <algorithm>
#include <cerrno>
#include <vector>

namespace trevalo {

namespace {

constexpr int kPathRole = Qt::UserRole;

// The folder and every folder above it, from "/" down.
std::vector<std::string> chainOf(const std::string& folder) {
    std::vector<std::string> chain{"/"};
    std::size_t pos = 1;
    while (pos < folder.size()) {
        std::size_t slash = folder.find('/', pos);
        if (slash == std::string::npos)
            slash = folder.size();
        if (slash > pos)
            chain.push_back(folder.substr(0, slash));
        pos = slash + 1;
    }
    return chain;
}

std::string lastName(const std::string& folder) {
    if (folder == "/")
        return folder;
    return folder.substr(folder.rfind('/') + 1);
}

// Sub-folders first by name without regard to case; hidden ones (".name") after the others.
bool folderBefore(const std::string& a, const std::string& b) {
    const bool hiddenA = !a.empty() && a.front() == '.';
    const bool hiddenB = !b.empty() && b.front() == '.';
    if (hiddenA != hiddenB)
        return hiddenB;
    const int c = compareNoCase(a, b);
    return c != 0 ? c < 0 : a < b;
}

std::string normalized(const std::string& folder) {
    return folder.empty() ? "/" : withoutTrailingSlashes(folder);
}

} // namespace

FolderList::FolderList(QWidget* parent) : QTreeWidget(parent) {
    setHeaderHidden(true);
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setExpandsOnDoubleClick(false);
    setUniformRowHeights(true);
    setIndentation(12);
    setSelectionMode(QAbstractItemView::SingleSelection);
    connect(this, &QTreeWidget::itemDoubleClicked, this,
            [this](QTreeWidgetItem* item, int) { openItem(item); });
}

std::string FolderList::itemPath(const QTreeWidgetItem* item) {
    if (!item)
        return {};
    return item->data(0, kPathRole).toByteArray().toStdString();
}

int FolderList::openFolder(const std::string& requested) {
    const std::string folder = normalized(requested);
    std::vector<std::string> subFolders;
    {
        DirListing listing(folder);
        if (!listing.isOpen())
            return listing.error() ? listing.error().code() : EIO;
        DirListing::Entry entry;
        while (listing.next(entry)) {
            bool isDir = entry.type == DirListing::Type::Directory;
            if (entry.type == DirListing::Type::Symlink || entry.type == DirListing::Type::Unknown)
                isDir = statPath(childPath(folder, entry.name)).kind == FileKind::Directory;
            if (isDir)
                subFolders.push_back(entry.name);
        }
    }
    std::sort(subFolders.begin(), subFolders.end(), folderBefore);

    setUpdatesEnabled(false);
    clear();
    const QIcon openIcon = style()->standardIcon(QStyle::SP_DirOpenIcon);
    const QIcon closedIcon = style()->standardIcon(QStyle::SP_DirClosedIcon);
    QTreeWidgetItem* parentItem = nullptr;
    for (const std::string& level : chainOf(folder)) {
        auto* item = parentItem ? new QTreeWidgetItem(parentItem) : new QTreeWidgetItem(this);
        item->setText(0, displayText(lastName(level)));
        item->setIcon(0, openIcon);
        item->setData(0, kPathRole, QByteArray::fromStdString(level));
        item->setExpanded(true);
        parentItem = item;
    }
    for (const std::string& name : subFolders) {
        auto* item = new QTreeWidgetItem(parentItem);
        item->setText(0, displayText(name));
        item->setIcon(0, closedIcon);
        item->setData(0, kPathRole, QByteArray::fromStdString(childPath(folder, name)));
    }
    expandAll();
    setCurrentItem(parentItem);
    scrollToItem(parentItem, QAbstractItemView::PositionAtCenter);
    setUpdatesEnabled(true);

    current_ = folder;
    emit folderOpened();
    return 0;
}

void FolderList::openItem(QTreeWidgetItem* item) {
    if (!item)
        return;
    const int error = openFolder(itemPath(item));
    if (error != 0)
        emit openFailed(error);
}

void FolderList::drawBranches(QPainter*, const QRect&, const QModelIndex&) const {
    // Every level is always open: no expand or collapse marks, only the indentation.
}

void FolderList::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        openItem(currentItem());
        return;
    }
    QTreeWidget::keyPressEvent(event);
}

} // namespace trevalo
