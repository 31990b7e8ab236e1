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

// Design geometry (twips) inside setupPanel, pathPicker and searchControls.
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
constexpr int kSearchTypeSpare = 120; // of the group box's right margin of 160
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
    : QGroupBox(tr("Select one or more path:"), parent), pathPicker(new QWidget(this)),
      driveCombo(new DriveList(pathPicker)), folderList(new FolderList(pathPicker)),
      patternLabel(new QLabel(tr("Ext.:"), pathPicker)),
      patternEdit(new QLineEdit(QStringLiteral("*.*"), pathPicker)),
      subFoldersCheckBox(new QCheckBox(tr("Sub-Folder"), pathPicker)),
      addPathButton(new QPushButton(QStringLiteral(">"), pathPicker)),
      removePathButton(new QPushButton(QStringLiteral("<"), pathPicker)),
      searchPathList(new QTreeWidget(pathPicker)), searchControls(new QWidget(this)),
      searchButton(new QPushButton(tr("&Search"), searchControls)),
      newSearchButton(new QPushButton(tr("&New Search"), searchControls)),
      searchTypeLabel(new QLabel(tr("Search type:"), searchControls)),
      searchTypeList(new QListWidget(searchControls)),
      menuButton(new QPushButton(tr("&Menu"), searchControls)) {
    setObjectName(QStringLiteral("setupPanel"));
    pathPicker->setObjectName(QStringLiteral("pathPicker"));
    driveCombo->setObjectName(QStringLiteral("driveCombo"));
    folderList->setObjectName(QStringLiteral("folderList"));
    patternEdit->setObjectName(QStringLiteral("patternEdit"));
    subFoldersCheckBox->setObjectName(QStringLiteral("subFoldersCheckBox"));
    addPathButton->setObjectName(QStringLiteral("addPathButton"));
    removePathButton->setObjectName(QStringLiteral("removePathButton"));
    searchPathList->setObjectName(QStringLiteral("searchPathList"));
    searchControls->setObjectName(QStringLiteral("searchControls"));
    searchButton->setObjectName(QStringLiteral("searchButton"));
    newSearchButton->setObjectName(QStringLiteral("newSearchButton"));
    searchTypeList->setObjectName(QStringLiteral("searchTypeList"));
    menuButton->setObjectName(QStringLiteral("menuButton"));

    subFoldersCheckBox->setChecked(true);
    addPathButton->setToolTip(tr("Add the open folder with this pattern"));
    removePathButton->setToolTip(tr("Remove the selected path"));

    QFont bold = searchButton->font();
    bold.setBold(true);
    searchButton->setFont(bold);
    searchButton->setDefault(true);

    searchPathList->setColumnCount(2);
    searchPathList->setHeaderLabels({tr("Path"), tr("Sub-folder")});
    searchPathList->setRootIsDecorated(false);
    searchPathList->setItemsExpandable(false);
    searchPathList->setUniformRowHeights(true);
    searchPathList->setAllColumnsShowFocus(true);
    searchPathList->setSelectionMode(QAbstractItemView::SingleSelection);
    searchPathList->header()->setStretchLastSection(false);
    searchPathList->header()->setSectionsMovable(false);
    searchPathList->viewport()->installEventFilter(this);

    searchTypeList->setSelectionMode(QAbstractItemView::MultiSelection);
    searchTypeList->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    for (std::string_view caption : kSearchTypeCaptions)
        searchTypeList->addItem(
            QString::fromLatin1(caption.data(), static_cast<qsizetype>(caption.size())));

    connect(addPathButton, &QPushButton::clicked, this, &SetupPanel::addPath);
    connect(removePathButton, &QPushButton::clicked, this, &SetupPanel::removeSelectedPath);
    connect(driveCombo, &DriveList::driveChosen, this, &SetupPanel::chooseDrive);
    connect(folderList, &FolderList::folderOpened, this,
            [this] { driveCombo->showFolder(folderList->currentFolder()); });
    connect(folderList, &FolderList::openFailed, this,
            [this](int error) { emit message(QString::fromStdString(errorText(error))); });

    if (!openFolder(startFolder()))
        openFolder("/");
}

void SetupPanel::placeControls(const Twips& tw) {
    pathPicker->setGeometry(tw.rect(kPathPicker));
    driveCombo->setGeometry(tw.rect(kDriveCombo));
    folderList->setGeometry(tw.rect(kFolderList));
    patternLabel->setGeometry(tw.rect(kPatternLabel));
    patternEdit->setGeometry(tw.rect(kPatternEdit));
    subFoldersCheckBox->setGeometry(tw.rect(kSubFoldersCheckBox));
    addPathButton->setGeometry(tw.rect(kAddPathButton));
    removePathButton->setGeometry(tw.rect(kRemovePathButton));
    searchPathList->setGeometry(tw.rect(kSearchPathList));
    searchPathList->setColumnWidth(0, tw.px(kPathColumnWidth));
    // The sub-folder column is wide enough for its caption in the desktop's font.
    const int subFolderWidth =
        std::max(tw.px(kSubFolderColumnWidth),
                 searchPathList->header()->fontMetrics().horizontalAdvance(tr("Sub-folder")) + 20);
    searchPathList->setColumnWidth(1, subFolderWidth);
    // searchControls reaches into the group box's right margin, so that the search-type list can
    // widen there when the desktop's font needs more room than the design gave it.
    searchControls->setGeometry(
        tw.rect(kSearchControls).adjusted(0, 0, tw.px(kSearchTypeSpare), 0));
    searchButton->setGeometry(tw.rect(kSearchButton));
    newSearchButton->setGeometry(tw.rect(kNewSearchButton));
    searchTypeLabel->setGeometry(tw.rect(kSearchTypeLabel));
    const int typeWidth =
        searchTypeList->sizeHintForColumn(0) + 2 * searchTypeList->frameWidth() + 4;
    searchTypeList->setGeometry(tw.rect(kSearchTypeList)
                                    .adjusted(0, 0,
                                              std::clamp(typeWidth - tw.px(kSearchTypeList.width),
                                                         0, tw.px(kSearchTypeSpare)),
                                              0));
    menuButton->setGeometry(tw.rect(kMenuButton));
}

void SetupPanel::fitWidth(const Twips& tw, int pathPickerWidth, int searchPathListWidth,
                          int searchControlsLeft) {
    pathPicker->resize(tw.px(pathPickerWidth), pathPicker->height());
    searchPathList->resize(tw.px(searchPathListWidth), searchPathList->height());
    searchControls->move(tw.px(searchControlsLeft), searchControls->y());
}

void SetupPanel::addPath() {
    const std::string pattern = bytesOf(patternEdit->text());
    std::vector<PathRow> rows = pathRows();
    switch (
        addPathRow(rows, folderList->currentFolder(), pattern, subFoldersCheckBox->isChecked())) {
    case AddPathResult::EmptyPattern:
        emit message(QString::fromLatin1(kMsgInputExtension));
        return;
    case AddPathResult::AlreadyListed:
        return;
    case AddPathResult::Added:
        break;
    }
    const PathRow& row = rows.back();
    auto* item = new QTreeWidgetItem(searchPathList);
    item->setText(0, displayText(row.path));
    item->setToolTip(0, displayText(row.path));
    item->setData(0, kPathRole, QByteArray::fromStdString(row.path));
    item->setText(1, row.subFolders ? kYes : kNo);
}

void SetupPanel::removeSelectedPath() {
    const QList<QTreeWidgetItem*> selected = searchPathList->selectedItems();
    if (selected.isEmpty())
        return;
    delete selected.first();
}

std::vector<PathRow> SetupPanel::pathRows() const {
    std::vector<PathRow> rows;
    rows.reserve(static_cast<std::size_t>(searchPathList->topLevelItemCount()));
    for (int i = 0; i < searchPathList->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* item = searchPathList->topLevelItem(i);
        rows.push_back(
            {item->data(0, kPathRole).toByteArray().toStdString(), item->text(1) == kYes});
    }
    return rows;
}

void SetupPanel::clearPaths() {
    searchPathList->clear();
}

void SetupPanel::selectPathRow(int row) {
    if (QTreeWidgetItem* item = searchPathList->topLevelItem(row))
        searchPathList->setCurrentItem(item);
}

std::array<bool, kSearchTypeCount> SetupPanel::searchTypes() const {
    std::array<bool, kSearchTypeCount> types{};
    for (int k = 0; k < kSearchTypeCount; ++k)
        types[static_cast<std::size_t>(k)] = searchTypeList->item(k)->isSelected();
    return types;
}

void SetupPanel::selectAllSearchTypes() {
    for (int k = 0; k < kSearchTypeCount; ++k)
        searchTypeList->item(k)->setSelected(true);
}

void SetupPanel::setSearchRunning(bool running) {
    pathPicker->setEnabled(!running);
    newSearchButton->setEnabled(!running);
    searchTypeList->setEnabled(!running);
}

bool SetupPanel::openFolder(const std::string& folder) {
    const int error = folderList->openFolder(folder);
    if (error != 0) {
        emit message(QString::fromStdString(errorText(error)));
        return false;
    }
    return true;
}

void SetupPanel::chooseDrive() {
    openFolder(driveCombo->folderToOpen());
}

bool SetupPanel::eventFilter(QObject* watched, QEvent* event) {
    if (watched == searchPathList->viewport() && event->type() == QEvent::MouseButtonDblClick) {
        removeSelectedPath();
        return true;
    }
    return QGroupBox::eventFilter(watched, event);
}

} // namespace trevalo
