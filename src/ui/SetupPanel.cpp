// SPDX-License-Identifier: GPL-2.0-or-later
#include "ui/SetupPanel.h"

#include "platform/ByteText.h"
#include "platform/FileSystem.h"
#include "ui/DriveList.h"
#include "ui/FolderList.h"
#include "ui/PathRows.h"

#include <QCheckBox>
#include <QDir>
#include <QEvent>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTreeWidget>

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace trevalo {

namespace {

constexpr int kPathRole = Qt::UserRole;
const QString kYes = QStringLiteral("Yes");
const QString kNo = QStringLiteral("No");

// Design geometry (twips) inside setupPanel, pathPicker_ and searchControls_.
constexpr TwipRect kPathPicker{120, 240, 7575, 2775};
constexpr TwipRect kDriveCombo{0, 0, 2895, 315};
constexpr TwipRect kFolderList{0, 360, 2895, 1890};
constexpr TwipRect kPatternLabel{0, 2520, 615, 255};
constexpr TwipRect kPatternEdit{480, 2400, 855, 405};
constexpr TwipRect kSubFoldersCheckBox{1560, 2520, 1335, 255};
constexpr TwipRect kAddPathButton{3000, 840, 375, 375};
constexpr TwipRect kRemovePathButton{3000, 1320, 375, 375};
constexpr TwipRect kSearchPathList{3480, 0, 2175, 2775};
constexpr TwipRect kSearchControls{7800, 240, 1575, 2775};
constexpr TwipRect kSearchButton{120, 0, 1215, 495};
constexpr TwipRect kNewSearchButton{120, 600, 1215, 375};
constexpr TwipRect kSearchTypeLabel{0, 1080, 1335, 255};
constexpr TwipRect kSearchTypeList{0, 1320, 1575, 960};
constexpr TwipRect kMenuButton{120, 2400, 1215, 375};
// Of the group box's right margin (design::kMargin), what the search-type list may take.
constexpr int kSearchTypeSpare = 120;
// Pixels a column or list needs besides its text: the header's sort arrow and padding, the
// list's item padding.
constexpr int kHeaderPadding = 20;
constexpr int kItemPadding = 4;
constexpr int kPathColumnWidth = 3000;
constexpr int kSubFolderColumnWidth = 800;

std::string startFolder() {
    std::error_code error;
    const std::filesystem::path cwd = std::filesystem::current_path(error);
    if (!error)
        return cwd.native();
    return QFile::encodeName(QDir::homePath()).toStdString();
}

} // namespace

SetupPanel::SetupPanel(QWidget* parent)
    : QGroupBox(tr("Select one or more path:"), parent), pathPicker_(new QWidget(this)),
      driveCombo_(new DriveList(pathPicker_)), folderList_(new FolderList(pathPicker_)),
      patternLabel_(new QLabel(tr("Ext.:"), pathPicker_)),
      patternEdit_(new QLineEdit(QStringLiteral("*.*"), pathPicker_)),
      subFoldersCheckBox_(new QCheckBox(tr("Sub-Folder"), pathPicker_)),
      addPathButton_(new QPushButton(QStringLiteral(">"), pathPicker_)),
      removePathButton_(new QPushButton(QStringLiteral("<"), pathPicker_)),
      searchPathList_(new QTreeWidget(pathPicker_)), searchControls_(new QWidget(this)),
      searchButton_(new QPushButton(tr("&Search"), searchControls_)),
      newSearchButton_(new QPushButton(tr("&New Search"), searchControls_)),
      searchTypeLabel_(new QLabel(tr("Search type:"), searchControls_)),
      searchTypeList_(new QListWidget(searchControls_)),
      menuButton_(new QPushButton(tr("&Menu"), searchControls_)) {
    setObjectName(QStringLiteral("setupPanel"));
    pathPicker_->setObjectName(QStringLiteral("pathPicker"));
    driveCombo_->setObjectName(QStringLiteral("driveCombo"));
    folderList_->setObjectName(QStringLiteral("folderList"));
    patternEdit_->setObjectName(QStringLiteral("patternEdit"));
    subFoldersCheckBox_->setObjectName(QStringLiteral("subFoldersCheckBox"));
    addPathButton_->setObjectName(QStringLiteral("addPathButton"));
    removePathButton_->setObjectName(QStringLiteral("removePathButton"));
    searchPathList_->setObjectName(QStringLiteral("searchPathList"));
    searchControls_->setObjectName(QStringLiteral("searchControls"));
    searchButton_->setObjectName(QStringLiteral("searchButton"));
    newSearchButton_->setObjectName(QStringLiteral("newSearchButton"));
    searchTypeList_->setObjectName(QStringLiteral("searchTypeList"));
    menuButton_->setObjectName(QStringLiteral("menuButton"));

    subFoldersCheckBox_->setChecked(true);
    addPathButton_->setToolTip(tr("Add the open folder with this pattern"));
    removePathButton_->setToolTip(tr("Remove the selected path"));

    QFont bold = searchButton_->font();
    bold.setBold(true);
    searchButton_->setFont(bold);
    searchButton_->setDefault(true);

    searchPathList_->setColumnCount(2);
    searchPathList_->setHeaderLabels({tr("Path"), tr("Sub-folder")});
    searchPathList_->setRootIsDecorated(false);
    searchPathList_->setItemsExpandable(false);
    searchPathList_->setUniformRowHeights(true);
    searchPathList_->setAllColumnsShowFocus(true);
    searchPathList_->setSelectionMode(QAbstractItemView::SingleSelection);
    searchPathList_->header()->setStretchLastSection(false);
    searchPathList_->header()->setSectionsMovable(false);
    searchPathList_->viewport()->installEventFilter(this);

    searchTypeList_->setSelectionMode(QAbstractItemView::MultiSelection);
    searchTypeList_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    for (std::string_view caption : kSearchTypeCaptions)
        searchTypeList_->addItem(
            QString::fromLatin1(caption.data(), static_cast<qsizetype>(caption.size())));

    connect(searchButton_, &QPushButton::clicked, this, &SetupPanel::searchClicked);
    connect(newSearchButton_, &QPushButton::clicked, this, &SetupPanel::newSearchClicked);
    connect(menuButton_, &QPushButton::clicked, this, &SetupPanel::menuClicked);
    connect(addPathButton_, &QPushButton::clicked, this, &SetupPanel::addPath);
    connect(removePathButton_, &QPushButton::clicked, this, &SetupPanel::removeSelectedPath);
    connect(driveCombo_, &DriveList::driveChosen, this, &SetupPanel::chooseDrive);
    connect(folderList_, &FolderList::folderOpened, this,
            [this] { driveCombo_->showFolder(folderList_->currentFolder()); });
    connect(folderList_, &FolderList::openFailed, this,
            [this](int error) { emit message(QString::fromStdString(errorText(error))); });

    if (!openFolder(startFolder()))
        openFolder("/");
}

void SetupPanel::placeControls(const Twips& tw) {
    pathPicker_->setGeometry(tw.rect(kPathPicker));
    driveCombo_->setGeometry(tw.rect(kDriveCombo));
    folderList_->setGeometry(tw.rect(kFolderList));
    patternLabel_->setGeometry(tw.rect(kPatternLabel));
    patternEdit_->setGeometry(tw.rect(kPatternEdit));
    subFoldersCheckBox_->setGeometry(tw.rect(kSubFoldersCheckBox));
    addPathButton_->setGeometry(tw.rect(kAddPathButton));
    removePathButton_->setGeometry(tw.rect(kRemovePathButton));
    searchPathList_->setGeometry(tw.rect(kSearchPathList));
    searchPathList_->setColumnWidth(0, tw.px(kPathColumnWidth));
    // The sub-folder column is wide enough for its caption in the desktop's font.
    const int subFolderWidth =
        std::max(tw.px(kSubFolderColumnWidth),
                 searchPathList_->header()->fontMetrics().horizontalAdvance(tr("Sub-folder")) +
                     kHeaderPadding);
    searchPathList_->setColumnWidth(1, subFolderWidth);
    // searchControls_ reaches into the group box's right margin, so that the search-type list can
    // widen there when the desktop's font needs more room than the design gave it.
    searchControls_->setGeometry(
        tw.rect(kSearchControls).adjusted(0, 0, tw.px(kSearchTypeSpare), 0));
    searchButton_->setGeometry(tw.rect(kSearchButton));
    newSearchButton_->setGeometry(tw.rect(kNewSearchButton));
    searchTypeLabel_->setGeometry(tw.rect(kSearchTypeLabel));
    const int typeWidth =
        searchTypeList_->sizeHintForColumn(0) + 2 * searchTypeList_->frameWidth() + kItemPadding;
    searchTypeList_->setGeometry(tw.rect(kSearchTypeList)
                                     .adjusted(0, 0,
                                               std::clamp(typeWidth - tw.px(kSearchTypeList.width),
                                                          0, tw.px(kSearchTypeSpare)),
                                               0));
    menuButton_->setGeometry(tw.rect(kMenuButton));
}

void SetupPanel::fitWidth(const Twips& tw, int pathPickerWidth, int searchPathListWidth,
                          int searchControlsLeft) {
    pathPicker_->resize(tw.px(pathPickerWidth), pathPicker_->height());
    searchPathList_->resize(tw.px(searchPathListWidth), searchPathList_->height());
    searchControls_->move(tw.px(searchControlsLeft), searchControls_->y());
}

void SetupPanel::addPath() {
    const std::string pattern = bytesOf(patternEdit_->text());
    std::vector<PathRow> rows = pathRows();
    switch (
        addPathRow(rows, folderList_->currentFolder(), pattern, subFoldersCheckBox_->isChecked())) {
    case AddPathResult::EmptyPattern:
        emit message(QString::fromLatin1(kMsgInputExtension));
        return;
    case AddPathResult::AlreadyListed:
        return;
    case AddPathResult::Added:
        break;
    }
    const PathRow& row = rows.back();
    auto* item = new QTreeWidgetItem(searchPathList_);
    item->setText(0, displayText(row.path));
    item->setToolTip(0, displayText(row.path));
    item->setData(0, kPathRole, QByteArray::fromStdString(row.path));
    item->setText(1, row.subFolders ? kYes : kNo);
}

void SetupPanel::removeSelectedPath() {
    const QList<QTreeWidgetItem*> selected = searchPathList_->selectedItems();
    if (selected.isEmpty())
        return;
    delete selected.first();
}

std::vector<PathRow> SetupPanel::pathRows() const {
    std::vector<PathRow> rows;
    rows.reserve(static_cast<std::size_t>(searchPathList_->topLevelItemCount()));
    for (int i = 0; i < searchPathList_->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* item = searchPathList_->topLevelItem(i);
        rows.push_back(
            {item->data(0, kPathRole).toByteArray().toStdString(), item->text(1) == kYes});
    }
    return rows;
}

void SetupPanel::clearPaths() {
    searchPathList_->clear();
}

void SetupPanel::selectPathRow(int row) {
    if (QTreeWidgetItem* item = searchPathList_->topLevelItem(row))
        searchPathList_->setCurrentItem(item);
}

std::array<bool, kSearchTypeCount> SetupPanel::searchTypes() const {
    std::array<bool, kSearchTypeCount> types{};
    for (int k = 0; k < kSearchTypeCount; ++k)
        types[static_cast<std::size_t>(k)] = searchTypeList_->item(k)->isSelected();
    return types;
}

void SetupPanel::selectAllSearchTypes() {
    for (int k = 0; k < kSearchTypeCount; ++k)
        searchTypeList_->item(k)->setSelected(true);
}

void SetupPanel::setSearchRunning(bool running) {
    searchButton_->setText(running ? tr("&Cancel") : tr("&Search"));
    pathPicker_->setEnabled(!running);
    newSearchButton_->setEnabled(!running);
    searchTypeList_->setEnabled(!running);
}

bool SetupPanel::openFolder(const std::string& folder) {
    const int error = folderList_->openFolder(folder);
    if (error != 0) {
        emit message(QString::fromStdString(errorText(error)));
        return false;
    }
    return true;
}

void SetupPanel::focusDriveCombo() {
    driveCombo_->setFocus(Qt::OtherFocusReason);
}

QList<QWidget*> SetupPanel::focusOrder(QWidget* beforePathList) const {
    return {searchButton_,       newSearchButton_, searchTypeList_,   menuButton_,
            subFoldersCheckBox_, addPathButton_,   removePathButton_, patternEdit_,
            folderList_,         driveCombo_,      beforePathList,    searchPathList_};
}

void SetupPanel::chooseDrive() {
    openFolder(driveCombo_->folderToOpen());
}

bool SetupPanel::eventFilter(QObject* watched, QEvent* event) {
    if (watched == searchPathList_->viewport() && event->type() == QEvent::MouseButtonDblClick) {
        removeSelectedPath();
        return true;
    }
    return QGroupBox::eventFilter(watched, event);
}

} // namespace trevalo
