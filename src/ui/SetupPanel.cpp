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

// Design geometry (twips) inside frmPath, frmSelectPath and fraSrch.
constexpr TwipRect kSelectPath{120, 240, 7575, 2775};
constexpr TwipRect kDrvPath{0, 0, 2895, 315};
constexpr TwipRect kDirPath{0, 360, 2895, 1890};
constexpr TwipRect kLabel1{0, 2520, 615, 255};
constexpr TwipRect kTxtExt{480, 2400, 855, 405};
constexpr TwipRect kChkSubDir{1560, 2520, 1335, 255};
constexpr TwipRect kCmdAdd{3000, 840, 375, 375};
constexpr TwipRect kCmdRemove{3000, 1320, 375, 375};
constexpr TwipRect kLstPath{3480, 0, 2175, 2775};
constexpr TwipRect kFraSrch{7800, 240, 1575, 2775};
constexpr TwipRect kCmdSrch{120, 0, 1215, 495};
constexpr TwipRect kCmdNewSrch{120, 600, 1215, 375};
constexpr TwipRect kLabel2{0, 1080, 1335, 255};
constexpr TwipRect kLstSrchType{0, 1320, 1575, 960};
constexpr TwipRect kCmdMenu{120, 2400, 1215, 375};
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
    : QGroupBox(tr("Select one or more path:"), parent), frmSelectPath(new QWidget(this)),
      drvPath(new DriveList(frmSelectPath)), dirPath(new FolderList(frmSelectPath)),
      Label1(new QLabel(tr("Ext.:"), frmSelectPath)),
      txtExt(new QLineEdit(QStringLiteral("*.*"), frmSelectPath)),
      chkSubDir(new QCheckBox(tr("Sub-Folder"), frmSelectPath)),
      cmdAdd(new QPushButton(QStringLiteral(">"), frmSelectPath)),
      cmdRemove(new QPushButton(QStringLiteral("<"), frmSelectPath)),
      lstPath(new QTreeWidget(frmSelectPath)), fraSrch(new QWidget(this)),
      cmdSrch(new QPushButton(tr("&Search"), fraSrch)),
      cmdNewSrch(new QPushButton(tr("&New Search"), fraSrch)),
      Label2(new QLabel(tr("Search type:"), fraSrch)), lstSrchType(new QListWidget(fraSrch)),
      cmdMenu(new QPushButton(tr("&Menu"), fraSrch)) {
    setObjectName(QStringLiteral("frmPath"));
    frmSelectPath->setObjectName(QStringLiteral("frmSelectPath"));
    drvPath->setObjectName(QStringLiteral("drvPath"));
    dirPath->setObjectName(QStringLiteral("dirPath"));
    txtExt->setObjectName(QStringLiteral("txtExt"));
    chkSubDir->setObjectName(QStringLiteral("chkSubDir"));
    cmdAdd->setObjectName(QStringLiteral("cmdAdd"));
    cmdRemove->setObjectName(QStringLiteral("cmdRemove"));
    lstPath->setObjectName(QStringLiteral("lstPath"));
    fraSrch->setObjectName(QStringLiteral("fraSrch"));
    cmdSrch->setObjectName(QStringLiteral("cmdSrch"));
    cmdNewSrch->setObjectName(QStringLiteral("cmdNewSrch"));
    lstSrchType->setObjectName(QStringLiteral("lstSrchType"));
    cmdMenu->setObjectName(QStringLiteral("cmdMenu"));

    chkSubDir->setChecked(true);
    cmdAdd->setToolTip(tr("Add the open folder with this pattern"));
    cmdRemove->setToolTip(tr("Remove the selected path"));

    QFont bold = cmdSrch->font();
    bold.setBold(true);
    cmdSrch->setFont(bold);
    cmdSrch->setDefault(true);

    lstPath->setColumnCount(2);
    lstPath->setHeaderLabels({tr("Path"), tr("Sub-folder")});
    lstPath->setRootIsDecorated(false);
    lstPath->setItemsExpandable(false);
    lstPath->setUniformRowHeights(true);
    lstPath->setAllColumnsShowFocus(true);
    lstPath->setSelectionMode(QAbstractItemView::SingleSelection);
    lstPath->header()->setStretchLastSection(false);
    lstPath->header()->setSectionsMovable(false);
    lstPath->viewport()->installEventFilter(this);

    lstSrchType->setSelectionMode(QAbstractItemView::MultiSelection);
    lstSrchType->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    for (std::string_view caption : kSearchTypeCaptions)
        lstSrchType->addItem(
            QString::fromLatin1(caption.data(), static_cast<qsizetype>(caption.size())));

    connect(cmdAdd, &QPushButton::clicked, this, &SetupPanel::addPath);
    connect(cmdRemove, &QPushButton::clicked, this, &SetupPanel::removeSelectedPath);
    connect(drvPath, &DriveList::driveChosen, this, &SetupPanel::chooseDrive);
    connect(dirPath, &FolderList::folderOpened, this,
            [this] { drvPath->showFolder(dirPath->currentFolder()); });
    connect(dirPath, &FolderList::openFailed, this,
            [this](int error) { emit message(QString::fromStdString(errorText(error))); });

    if (!openFolder(startFolder()))
        openFolder("/");
}

void SetupPanel::placeControls(const Twips& tw) {
    frmSelectPath->setGeometry(tw.rect(kSelectPath));
    drvPath->setGeometry(tw.rect(kDrvPath));
    dirPath->setGeometry(tw.rect(kDirPath));
    Label1->setGeometry(tw.rect(kLabel1));
    txtExt->setGeometry(tw.rect(kTxtExt));
    chkSubDir->setGeometry(tw.rect(kChkSubDir));
    cmdAdd->setGeometry(tw.rect(kCmdAdd));
    cmdRemove->setGeometry(tw.rect(kCmdRemove));
    lstPath->setGeometry(tw.rect(kLstPath));
    lstPath->setColumnWidth(0, tw.px(kPathColumnWidth));
    // The sub-folder column is wide enough for its caption in the desktop's font.
    const int subFolderWidth =
        std::max(tw.px(kSubFolderColumnWidth),
                 lstPath->header()->fontMetrics().horizontalAdvance(tr("Sub-folder")) + 20);
    lstPath->setColumnWidth(1, subFolderWidth);
    // fraSrch reaches into the group box's right margin, so that the search-type list can
    // widen there when the desktop's font needs more room than the design gave it.
    fraSrch->setGeometry(tw.rect(kFraSrch).adjusted(0, 0, tw.px(kSearchTypeSpare), 0));
    cmdSrch->setGeometry(tw.rect(kCmdSrch));
    cmdNewSrch->setGeometry(tw.rect(kCmdNewSrch));
    Label2->setGeometry(tw.rect(kLabel2));
    const int typeWidth = lstSrchType->sizeHintForColumn(0) + 2 * lstSrchType->frameWidth() + 4;
    lstSrchType->setGeometry(
        tw.rect(kLstSrchType)
            .adjusted(0, 0,
                      std::clamp(typeWidth - tw.px(kLstSrchType.width), 0, tw.px(kSearchTypeSpare)),
                      0));
    cmdMenu->setGeometry(tw.rect(kCmdMenu));
}

void SetupPanel::fitWidth(const Twips& tw, int frmSelectPathWidth, int lstPathWidth,
                          int fraSrchLeft) {
    frmSelectPath->resize(tw.px(frmSelectPathWidth), frmSelectPath->height());
    lstPath->resize(tw.px(lstPathWidth), lstPath->height());
    fraSrch->move(tw.px(fraSrchLeft), fraSrch->y());
}

void SetupPanel::addPath() {
    const std::string pattern = bytesOf(txtExt->text());
    std::vector<PathRow> rows = pathRows();
    switch (addPathRow(rows, dirPath->currentFolder(), pattern, chkSubDir->isChecked())) {
    case AddPathResult::EmptyPattern:
        emit message(QString::fromLatin1(kMsgInputExtension));
        return;
    case AddPathResult::AlreadyListed:
        return;
    case AddPathResult::Added:
        break;
    }
    const PathRow& row = rows.back();
    auto* item = new QTreeWidgetItem(lstPath);
    item->setText(0, displayText(row.path));
    item->setToolTip(0, displayText(row.path));
    item->setData(0, kPathRole, QByteArray::fromStdString(row.path));
    item->setText(1, row.subFolders ? kYes : kNo);
}

void SetupPanel::removeSelectedPath() {
    const QList<QTreeWidgetItem*> selected = lstPath->selectedItems();
    if (selected.isEmpty())
        return;
    delete selected.first();
}

std::vector<PathRow> SetupPanel::pathRows() const {
    std::vector<PathRow> rows;
    rows.reserve(static_cast<std::size_t>(lstPath->topLevelItemCount()));
    for (int i = 0; i < lstPath->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* item = lstPath->topLevelItem(i);
        rows.push_back(
            {item->data(0, kPathRole).toByteArray().toStdString(), item->text(1) == kYes});
    }
    return rows;
}

void SetupPanel::clearPaths() {
    lstPath->clear();
}

void SetupPanel::selectPathRow(int row) {
    if (QTreeWidgetItem* item = lstPath->topLevelItem(row))
        lstPath->setCurrentItem(item);
}

std::array<bool, kSearchTypeCount> SetupPanel::searchTypes() const {
    std::array<bool, kSearchTypeCount> types{};
    for (int k = 0; k < kSearchTypeCount; ++k)
        types[static_cast<std::size_t>(k)] = lstSrchType->item(k)->isSelected();
    return types;
}

void SetupPanel::selectAllSearchTypes() {
    for (int k = 0; k < kSearchTypeCount; ++k)
        lstSrchType->item(k)->setSelected(true);
}

void SetupPanel::setSearchRunning(bool running) {
    frmSelectPath->setEnabled(!running);
    cmdNewSrch->setEnabled(!running);
    lstSrchType->setEnabled(!running);
}

bool SetupPanel::openFolder(const std::string& folder) {
    const int error = dirPath->openFolder(folder);
    if (error != 0) {
        emit message(QString::fromStdString(errorText(error)));
        return false;
    }
    return true;
}

void SetupPanel::chooseDrive() {
    openFolder(drvPath->folderToOpen());
}

bool SetupPanel::eventFilter(QObject* watched, QEvent* event) {
    if (watched == lstPath->viewport() && event->type() == QEvent::MouseButtonDblClick) {
        removeSelectedPath();
        return true;
    }
    return QGroupBox::eventFilter(watched, event);
}

} // namespace trevalo
