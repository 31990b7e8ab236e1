// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "search/SearchState.h"
#include "ui/Twips.h"

#include <QGroupBox>
#include <QList>

#include <array>
#include <string>
#include <vector>

class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTreeWidget;

namespace trevalo {

class DriveList;
class FolderList;

// The search set-up panel, the group box setupPanel: where the user builds the list of search
// paths (pathPicker) and chooses and starts the searches (searchControls). It holds no search
// logic; the window reads the path rows and the search types when a search starts.
class SetupPanel : public QGroupBox {
    Q_OBJECT
public:
    explicit SetupPanel(QWidget* parent = nullptr);

    // Places the controls at their design geometry.
    void placeControls(const Twips& tw);
    // The widths and the one position that follow the window's width (twips).
    void fitWidth(const Twips& tw, int pathPickerWidth, int searchPathListWidth,
                  int searchControlsLeft);

    // Adds the open folder with the typed pattern as a path row (the ">" button).
    void addPath();
    // Removes the selected path row, if there is one ("<" or a double click on the list).
    void removeSelectedPath();
    std::vector<PathRow> pathRows() const;
    void clearPaths();
    // Shows path row i (0-based) as selected.
    void selectPathRow(int row);

    std::array<bool, kSearchTypeCount> searchTypes() const;
    void selectAllSearchTypes();

    // Locks or unlocks the controls a running search must not see changed; the search button
    // reads "&Cancel" while a search runs.
    void setSearchRunning(bool running);
    // Gives the keyboard focus to the drive list.
    void focusDriveCombo();
    // The panel's controls in the window's tab order, with `beforePathList` (the result tabs)
    // placed before the list of search paths.
    QList<QWidget*> focusOrder(QWidget* beforePathList) const;

    // Opens a folder in the folder list; shows the system's error text when it cannot.
    bool openFolder(const std::string& folder);

signals:
    // A message for the user, shown in a box with the program's title.
    void message(const QString& text);
    // The search, New Search and Menu buttons were clicked.
    void searchClicked();
    void newSearchClicked();
    void menuClicked();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void chooseDrive();

    // pathPicker
    QWidget* pathPicker_;
    DriveList* driveCombo_;
    FolderList* folderList_;
    QLabel* patternLabel_;
    QLineEdit* patternEdit_;
    QCheckBox* subFoldersCheckBox_;
    QPushButton* addPathButton_;
    QPushButton* removePathButton_;
    QTreeWidget* searchPathList_;
    // searchControls
    QWidget* searchControls_;
    QPushButton* searchButton_;
    QPushButton* newSearchButton_;
    QLabel* searchTypeLabel_;
    QListWidget* searchTypeList_;
    QPushButton* menuButton_;
};

} // namespace trevalo
