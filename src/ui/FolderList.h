// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QTreeWidget>

#include <string>

namespace trevalo {

// The folder list of the set-up panel: the open folder's ancestors from "/" down, the open
// folder, and its sub-folders. A double click or Enter opens the highlighted folder; only
// the open folder is the current one, never one that is merely highlighted. Folder names are
// bytes; each item keeps its exact path.
class FolderList : public QTreeWidget {
    Q_OBJECT
public:
    explicit FolderList(QWidget* parent = nullptr);

    // The open folder, without a trailing "/" except for "/" itself.
    const std::string& currentFolder() const { return current_; }
    // Opens a folder: lists its sub-folders and makes it current. When the folder cannot be
    // listed the list stays as it was and the errno value comes back; 0 on success.
    int openFolder(const std::string& folder);
    // The byte path an item stands for.
    static std::string itemPath(const QTreeWidgetItem* item);

signals:
    void folderOpened();
    // A folder the user asked to open could not be listed (errno value).
    void openFailed(int error);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void drawBranches(QPainter* painter, const QRect& rect,
                      const QModelIndex& index) const override;

private:
    void openItem(QTreeWidgetItem* item);

    std::string current_;
};

} // namespace trevalo
