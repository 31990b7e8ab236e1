// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "search/SearchState.h"

#include <QGroupBox>
#include <QList>

#include <array>
#include <string>
#include <vector>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QMimeData;
class QPushButton;
class QSettings;
class QTreeWidget;

namespace trevalo {

class DriveList;
class FolderList;
namespace Ui {
class SetupPanel;
}

// The search set-up panel, the group box setupPanel: where the user builds the list of search
// paths (pathPicker) and chooses and starts the searches (searchControls). It holds no search
// logic; the window reads the path rows and the search types when a search starts. Its
// controls and layouts are in the form SetupPanel.ui; their sizes come from the font and
// their texts.
class SetupPanel : public QGroupBox {
    Q_OBJECT
public:
    explicit SetupPanel(QWidget* parent = nullptr);

    // Adds a path row with the typed pattern and sub-folder choice (the ">" button): for the
    // folder highlighted in the folder list, or the open folder when none is highlighted.
    void addPath();
    // Adds a path row for `folder` (bytes) with the typed pattern and sub-folder choice; an
    // empty pattern is refused with a message. False when nothing was added.
    bool addPathOf(const std::string& folder);
    // "Add Folder...": a folder dialog; the chosen folder becomes a path row.
    void addFolderFromDialog();
    // Removes the selected path row, if there is one ("<" or a double click on the list).
    void removeSelectedPath();
    std::vector<PathRow> pathRows() const;
    void clearPaths();
    // Ticks or clears the Keep box of path row i (0-based).
    void setPathKept(int row, bool kept);
    // Space or Alt+K: flips the Keep box of the current path row.
    void toggleCurrentKeep();
    // "Only groups with a kept file".
    bool onlyWithKept() const;
    void setOnlyWithKept(bool on);
    // Shows path row i (0-based) as selected.
    void selectPathRow(int row);

    // The scope of a search from the "Exclude", "Min size" and "Max size" fields: fills the
    // request's exclude patterns and size limits (an empty field is no limit). False, with a
    // message for the user in `error`, when a size cannot be read or the minimum passes the
    // maximum.
    bool readScope(SearchRequest& request, QString& error) const;
    // The scope fields are remembered between runs.
    void saveScope(QSettings& settings) const;
    void restoreScope(QSettings& settings);

    // The ticked search types; at least one must be ticked for a search.
    std::array<bool, kSearchTypeCount> searchTypes() const;
    // Ticks the usual search types and clears the whole-folder ones, as at start-up.
    void selectAllSearchTypes();

    // Locks or unlocks the controls a running search must not see changed; the search button
    // reads "&Cancel" while a search runs.
    void setSearchRunning(bool running);
    // Gives the keyboard focus to the drive list, or to the folder list.
    void focusDriveCombo();
    void focusFolderList();
    // The panel's controls in the window's tab order: the folder controls, the path list,
    // the scope fields, then the search controls.
    QList<QWidget*> focusOrder() const;
    // The Menu button, where the general menu opens from the keyboard.
    QWidget* menuButton() const;

    // Opens a folder in the folder list; shows the system's error text when it cannot.
    bool openFolder(const std::string& folder);
    // The folder the folder list has open.
    std::string openFolderPath() const;

signals:
    // A message for the user, shown in a box with the program's title.
    void message(const QString& text);
    // The Keep box of path row `row` was ticked (kept) or cleared, by the user or by
    // setPathKept.
    void keepChanged(int row, bool kept);
    // The search, New Search and Menu buttons were clicked.
    void searchClicked();
    void newSearchClicked();
    void menuClicked();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The steps of the constructor, after the form has built the controls.
    void takeWidgets(const Ui::SetupPanel& ui);
    void setThemeIcons();
    void configurePathList();
    void fillSearchTypes();
    // The sizes that follow the font: the lists' least sizes, the size fields' widths, the
    // gaps, the search controls' column width.
    void applyFontSizes(const Ui::SetupPanel& ui);
    void connectControls();
    void chooseDrive();
    // The examples the empty scope fields show, or none while the fields are locked.
    void showScopeHints(bool shown);
    // The folders of a drag over the path list (local folders only), in bytes.
    static std::vector<std::string> droppedFolders(const QMimeData* data);

    // pathPicker
    QWidget* pathPicker_;
    DriveList* driveCombo_;
    FolderList* folderList_;
    QLineEdit* patternEdit_;
    QCheckBox* subFoldersCheckBox_;
    QPushButton* addPathButton_;
    QPushButton* removePathButton_;
    QPushButton* addFolderButton_;
    QTreeWidget* searchPathList_;
    // The scope row: what the search leaves out.
    QLineEdit* excludeEdit_;
    QLineEdit* minSizeEdit_;
    QComboBox* minUnitCombo_;
    QLineEdit* maxSizeEdit_;
    QComboBox* maxUnitCombo_;
    // searchControls
    QWidget* searchControls_;
    QPushButton* searchButton_;
    QPushButton* newSearchButton_;
    QLabel* searchTypeLabel_;
    QListWidget* searchTypeList_;
    QPushButton* menuButton_;
    QCheckBox* onlyWithKeptCheckBox_;
    // The state of the search type under the pointer when the button went down.
    Qt::CheckState typeStateAtPress_ = Qt::Unchecked;
};

} // namespace trevalo
