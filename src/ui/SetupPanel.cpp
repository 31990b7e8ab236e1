// SPDX-License-Identifier: GPL-2.0-or-later
#include "ui/SetupPanel.h"

#include "platform/ByteText.h"
#include "platform/FileSystem.h"
#include "search/SearchScope.h"
#include "ui/DriveList.h"
#include "ui/FolderList.h"
#include "ui/PathRows.h"
#include "ui_SetupPanel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QDropEvent>
#include <QEvent>
#include <QFile>
#include <QFileDialog>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMimeData>
#include <QMouseEvent>
#include <QPushButton>
#include <QSettings>
#include <QShortcut>
#include <QTreeWidget>
#include <QUrl>

#include <algorithm>
#include <filesystem>
#include <optional>
#include <system_error>

namespace trevalo {

namespace {

constexpr int kPathRole = Qt::UserRole;
// Rows the folder list shows at least, so that a few sub-folders are in sight.
constexpr int kFolderRows = 9;

// A size field with its unit: the byte count, -1 for an empty field, or nothing when the text
// is not a size.
std::optional<std::int64_t> sizeOf(const QLineEdit* edit, const QComboBox* unit) {
    const QString number = edit->text().trimmed();
    if (number.isEmpty())
        return -1;
    // A unit typed into the field wins over the one chosen beside it.
    const bool hasUnit = !number.isEmpty() && number.back().isLetter();
    const QString text = hasUnit ? number : number + QLatin1Char(' ') + unit->currentText();
    return parseSizeText(text.toStdString());
}
// The path list's column of Keep check boxes, and where an item of it remembers the state
// of its box last told, so that only a real change is told.
constexpr int kKeepColumn = 2;
constexpr int kKeepToldRole = Qt::UserRole + 1;

std::string startFolder() {
    std::error_code error;
    const std::filesystem::path cwd = std::filesystem::current_path(error);
    if (!error)
        return cwd.native();
    return QFile::encodeName(QDir::homePath()).toStdString();
}

} // namespace

SetupPanel::SetupPanel(QWidget* parent) : QGroupBox(parent) {
    Ui::SetupPanel ui;
    ui.setupUi(this);
    takeWidgets(ui);
    setThemeIcons();
    showScopeHints(true);
    configurePathList();
    fillSearchTypes();
    applyFontSizes(ui);
    connectControls();
    if (!openFolder(startFolder()))
        openFolder("/");
}

void SetupPanel::takeWidgets(const Ui::SetupPanel& ui) {
    pathPicker_ = ui.pathPicker;
    driveCombo_ = ui.driveCombo;
    folderList_ = ui.folderList;
    patternEdit_ = ui.patternEdit;
    subFoldersCheckBox_ = ui.subFoldersCheckBox;
    addPathButton_ = ui.addPathButton;
    removePathButton_ = ui.removePathButton;
    addFolderButton_ = ui.addFolderButton;
    searchPathList_ = ui.searchPathList;
    excludeEdit_ = ui.excludeEdit;
    minSizeEdit_ = ui.minSizeEdit;
    minUnitCombo_ = ui.minUnitCombo;
    maxSizeEdit_ = ui.maxSizeEdit;
    maxUnitCombo_ = ui.maxUnitCombo;
    searchControls_ = ui.searchControls;
    searchButton_ = ui.searchButton;
    newSearchButton_ = ui.newSearchButton;
    searchTypeLabel_ = ui.searchTypeLabel;
    searchTypeList_ = ui.searchTypeList;
    menuButton_ = ui.menuButton;
    onlyWithKeptCheckBox_ = ui.onlyWithKeptCheckBox;
}

void SetupPanel::setThemeIcons() {
    addPathButton_->setIcon(QIcon::fromTheme(QStringLiteral("go-next")));
    removePathButton_->setIcon(QIcon::fromTheme(QStringLiteral("go-previous")));
    addFolderButton_->setIcon(QIcon::fromTheme(QStringLiteral("folder-new")));
    searchButton_->setIcon(QIcon::fromTheme(QStringLiteral("edit-find")));
    newSearchButton_->setIcon(QIcon::fromTheme(QStringLiteral("document-new")));
    menuButton_->setIcon(QIcon::fromTheme(QStringLiteral("open-menu")));
}

void SetupPanel::configurePathList() {
    QHeaderView* header = searchPathList_->header();
    header->setSectionsMovable(false);
    header->setSectionResizeMode(0, QHeaderView::Stretch);
    header->setSectionResizeMode(1, QHeaderView::ResizeToContents);
    header->setSectionResizeMode(kKeepColumn, QHeaderView::ResizeToContents);
    searchPathList_->viewport()->installEventFilter(this);
    searchPathList_->installEventFilter(this);
    searchPathList_->viewport()->setAcceptDrops(true);
    connect(searchPathList_, &QTreeWidget::itemChanged, this,
            [this](QTreeWidgetItem* item, int column) {
                const bool kept = item->checkState(kKeepColumn) == Qt::Checked;
                if (column != kKeepColumn ||
                    item->data(kKeepColumn, kKeepToldRole).toBool() == kept)
                    return;
                item->setData(kKeepColumn, kKeepToldRole, kept);
                emit keepChanged(searchPathList_->indexOfTopLevelItem(item), kept);
            });
    auto* keepKey = new QShortcut(QKeySequence(Qt::ALT | Qt::Key_K), this);
    keepKey->setContext(Qt::WidgetWithChildrenShortcut);
    connect(keepKey, &QShortcut::activated, this, &SetupPanel::toggleCurrentKeep);
}

void SetupPanel::fillSearchTypes() {
    // The search types are check boxes; a click or Space ticks one.
    for (std::string_view caption : kSearchTypeCaptions) {
        auto* item = new QListWidgetItem(QCoreApplication::translate("SearchState", caption.data()),
                                         searchTypeList_);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
        item->setCheckState(searchTypeList_->count() <= kUsualSearchTypeCount ? Qt::Checked
                                                                              : Qt::Unchecked);
    }
    searchTypeList_->setCurrentRow(0);
    // A click on a type's caption ticks it as a click on its box does; the box's own click
    // has changed the state by the time the click is signalled.
    searchTypeList_->viewport()->installEventFilter(this);
    connect(searchTypeList_, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) {
        if (item->checkState() == typeStateAtPress_)
            item->setCheckState(item->checkState() == Qt::Checked ? Qt::Unchecked : Qt::Checked);
    });
}

void SetupPanel::applyFontSizes(const Ui::SetupPanel& ui) {
    const QFontMetrics fm(font());
    const int n = fm.horizontalAdvance(QLatin1Char('n'));
    folderList_->setMinimumHeight(kFolderRows * fm.height() + 2 * folderList_->frameWidth());
    folderList_->setMinimumWidth(n * 16);
    patternEdit_->setMinimumWidth(fm.horizontalAdvance(QStringLiteral("*.*****")) + 12);
    searchPathList_->setMinimumWidth(n * 20);
    excludeEdit_->setMinimumWidth(n * 8);
    for (QLineEdit* edit : {minSizeEdit_, maxSizeEdit_})
        edit->setFixedWidth(fm.horizontalAdvance(QStringLiteral("0000.0")) + 12);
    // A letter's width between the exclude patterns and the size limits, half a line above
    // the search types.
    ui.scopeGap->changeSize(n, 0, QSizePolicy::Fixed, QSizePolicy::Minimum);
    ui.typeGap->changeSize(0, fm.height() / 2, QSizePolicy::Minimum, QSizePolicy::Fixed);
    ui.scopeRow->invalidate();
    ui.controlsLayout->invalidate();

    // The search types show whole, and the search controls are a column as wide as its
    // widest control needs.
    const int rows = searchTypeList_->count();
    searchTypeList_->setFixedHeight(rows * searchTypeList_->sizeHintForRow(0) +
                                    2 * searchTypeList_->frameWidth());
    int width = searchTypeList_->sizeHintForColumn(0) + 2 * searchTypeList_->frameWidth() + 8;
    for (QWidget* w :
         {static_cast<QWidget*>(searchButton_), static_cast<QWidget*>(newSearchButton_),
          static_cast<QWidget*>(searchTypeLabel_), static_cast<QWidget*>(menuButton_)})
        width = std::max(width, w->sizeHint().width());
    searchControls_->setFixedWidth(width);
}

void SetupPanel::connectControls() {
    connect(searchButton_, &QPushButton::clicked, this, &SetupPanel::searchClicked);
    connect(newSearchButton_, &QPushButton::clicked, this, &SetupPanel::newSearchClicked);
    connect(menuButton_, &QPushButton::clicked, this, &SetupPanel::menuClicked);
    connect(addPathButton_, &QPushButton::clicked, this, &SetupPanel::addPath);
    connect(removePathButton_, &QPushButton::clicked, this, &SetupPanel::removeSelectedPath);
    connect(addFolderButton_, &QPushButton::clicked, this, &SetupPanel::addFolderFromDialog);
    connect(driveCombo_, &DriveList::driveChosen, this, &SetupPanel::chooseDrive);
    connect(folderList_, &FolderList::folderOpened, this,
            [this] { driveCombo_->showFolder(folderList_->currentFolder()); });
    connect(folderList_, &FolderList::openFailed, this,
            [this](int error) { emit message(QString::fromStdString(errorText(error))); });
}

void SetupPanel::addPath() {
    // A folder highlighted in the folder list is what the user means; without one, the open
    // folder.
    const QTreeWidgetItem* highlighted = folderList_->currentItem();
    const std::string folder = highlighted && highlighted->isSelected()
                                   ? FolderList::itemPath(highlighted)
                                   : folderList_->currentFolder();
    addPathOf(folder.empty() ? folderList_->currentFolder() : folder);
}

bool SetupPanel::addPathOf(const std::string& folder) {
    const std::string pattern = bytesOf(patternEdit_->text());
    std::vector<PathRow> rows = pathRows();
    switch (addPathRow(rows, folder, pattern, subFoldersCheckBox_->isChecked())) {
    case AddPathResult::EmptyPattern:
        emit message(QCoreApplication::translate("PathRows", kMsgInputExtension));
        return false;
    case AddPathResult::AlreadyListed:
        return false;
    case AddPathResult::Added:
        break;
    }
    const PathRow& row = rows.back();
    auto* item = new QTreeWidgetItem(searchPathList_);
    item->setText(0, displayText(row.path));
    item->setToolTip(0, displayText(row.path));
    item->setData(0, kPathRole, QByteArray::fromStdString(row.path));
    item->setText(1, row.subFolders ? tr("Yes") : tr("No"));
    item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
    item->setData(kKeepColumn, kKeepToldRole, false);
    item->setCheckState(kKeepColumn, Qt::Unchecked);
    return true;
}

void SetupPanel::toggleCurrentKeep() {
    QTreeWidgetItem* item = searchPathList_->currentItem();
    if (!item || !pathPicker_->isEnabled())
        return;
    item->setCheckState(kKeepColumn,
                        item->checkState(kKeepColumn) == Qt::Checked ? Qt::Unchecked : Qt::Checked);
}

void SetupPanel::addFolderFromDialog() {
    const QString chosen = QFileDialog::getExistingDirectory(
        this, tr("Add Folder"),
        QFile::decodeName(QByteArray::fromStdString(folderList_->currentFolder())));
    if (!chosen.isEmpty())
        addPathOf(QFile::encodeName(chosen).toStdString());
}

std::vector<std::string> SetupPanel::droppedFolders(const QMimeData* data) {
    std::vector<std::string> folders;
    if (!data || !data->hasUrls())
        return folders;
    for (const QUrl& url : data->urls()) {
        if (!url.isLocalFile())
            continue;
        std::string path = QFile::encodeName(url.toLocalFile()).toStdString();
        while (path.size() > 1 && path.back() == '/')
            path.pop_back();
        if (statPath(path).kind == FileKind::Directory)
            folders.push_back(std::move(path));
    }
    return folders;
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
            {item->data(0, kPathRole).toByteArray().toStdString(), item->text(1) == tr("Yes"),
             item->checkState(kKeepColumn) == Qt::Checked ? PathRole::Keep : PathRole::Search});
    }
    return rows;
}

void SetupPanel::setPathKept(int row, bool kept) {
    if (QTreeWidgetItem* item = searchPathList_->topLevelItem(row))
        item->setCheckState(kKeepColumn, kept ? Qt::Checked : Qt::Unchecked);
}

bool SetupPanel::onlyWithKept() const {
    return onlyWithKeptCheckBox_->isChecked();
}

void SetupPanel::setOnlyWithKept(bool on) {
    onlyWithKeptCheckBox_->setChecked(on);
}

void SetupPanel::clearPaths() {
    searchPathList_->clear();
}

void SetupPanel::selectPathRow(int row) {
    if (QTreeWidgetItem* item = searchPathList_->topLevelItem(row))
        searchPathList_->setCurrentItem(item);
}

bool SetupPanel::readScope(SearchRequest& request, QString& error) const {
    const std::optional<std::int64_t> minSize = sizeOf(minSizeEdit_, minUnitCombo_);
    const std::optional<std::int64_t> maxSize = sizeOf(maxSizeEdit_, maxUnitCombo_);
    const QString hint = tr("Type a number, with B, KB, MB or GB if the unit beside it is not "
                            "meant, e.g. \"1.5 MB\"; leave it empty for no limit.");
    if (!minSize) {
        error = tr("\"%1\" is not a size for Min size.").arg(minSizeEdit_->text().trimmed()) +
                QLatin1Char('\n') + hint;
        return false;
    }
    if (!maxSize) {
        error = tr("\"%1\" is not a size for Max size.").arg(maxSizeEdit_->text().trimmed()) +
                QLatin1Char('\n') + hint;
        return false;
    }
    const std::int64_t least = std::max<std::int64_t>(*minSize, 0);
    if (*maxSize >= 0 && least > *maxSize) {
        error = tr("Min size (%1) is larger than Max size (%2): no file could be found.")
                    .arg(QString::fromStdString(sizeTextOf(least)),
                         QString::fromStdString(sizeTextOf(*maxSize)));
        return false;
    }
    request.exclude = parseExcludeLine(excludeEdit_->text().toStdString());
    request.minSize = least;
    request.maxSize = *maxSize;
    return true;
}

void SetupPanel::saveScope(QSettings& settings) const {
    settings.beginGroup(QStringLiteral("scope"));
    settings.setValue(QStringLiteral("exclude"), excludeEdit_->text());
    settings.setValue(QStringLiteral("minSize"), minSizeEdit_->text());
    settings.setValue(QStringLiteral("minUnit"), minUnitCombo_->currentText());
    settings.setValue(QStringLiteral("maxSize"), maxSizeEdit_->text());
    settings.setValue(QStringLiteral("maxUnit"), maxUnitCombo_->currentText());
    settings.endGroup();
}

void SetupPanel::restoreScope(QSettings& settings) {
    settings.beginGroup(QStringLiteral("scope"));
    excludeEdit_->setText(settings.value(QStringLiteral("exclude")).toString());
    minSizeEdit_->setText(settings.value(QStringLiteral("minSize")).toString());
    maxSizeEdit_->setText(settings.value(QStringLiteral("maxSize")).toString());
    for (const auto& [unit, key] : {std::pair{minUnitCombo_, QStringLiteral("minUnit")},
                                    std::pair{maxUnitCombo_, QStringLiteral("maxUnit")}}) {
        const int at = unit->findText(settings.value(key).toString());
        if (at >= 0)
            unit->setCurrentIndex(at);
    }
    settings.endGroup();
}

std::array<bool, kSearchTypeCount> SetupPanel::searchTypes() const {
    std::array<bool, kSearchTypeCount> types{};
    for (int k = 0; k < kSearchTypeCount; ++k)
        types[static_cast<std::size_t>(k)] = searchTypeList_->item(k)->checkState() == Qt::Checked;
    return types;
}

void SetupPanel::selectAllSearchTypes() {
    for (int k = 0; k < kSearchTypeCount; ++k)
        searchTypeList_->item(k)->setCheckState(k < kUsualSearchTypeCount ? Qt::Checked
                                                                          : Qt::Unchecked);
}

void SetupPanel::showScopeHints(bool shown) {
    // A greyed hint in a greyed field would read as a value.
    excludeEdit_->setPlaceholderText(shown ? tr("e.g. .git; *.tmp") : QString());
    minSizeEdit_->setPlaceholderText(shown ? QStringLiteral("0") : QString());
    maxSizeEdit_->setPlaceholderText(shown ? tr("none") : QString());
}

void SetupPanel::setSearchRunning(bool running) {
    searchButton_->setText(running ? tr("&Cancel") : tr("&Search"));
    pathPicker_->setEnabled(!running);
    showScopeHints(!running);
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

std::string SetupPanel::openFolderPath() const {
    return folderList_->currentFolder();
}

void SetupPanel::focusDriveCombo() {
    driveCombo_->setFocus(Qt::OtherFocusReason);
}

void SetupPanel::focusFolderList() {
    folderList_->setFocus(Qt::OtherFocusReason);
}

QList<QWidget*> SetupPanel::focusOrder() const {
    return {driveCombo_,           folderList_,       patternEdit_,    subFoldersCheckBox_,
            addPathButton_,        removePathButton_, searchPathList_, addFolderButton_,
            onlyWithKeptCheckBox_, excludeEdit_,      minSizeEdit_,    minUnitCombo_,
            maxSizeEdit_,          maxUnitCombo_,     searchButton_,   newSearchButton_,
            searchTypeList_,       menuButton_};
}

QWidget* SetupPanel::menuButton() const {
    return menuButton_;
}

void SetupPanel::chooseDrive() {
    openFolder(driveCombo_->folderToOpen());
}

bool SetupPanel::eventFilter(QObject* watched, QEvent* event) {
    if (watched == searchTypeList_->viewport() && event->type() == QEvent::MouseButtonPress) {
        const QPoint at = static_cast<QMouseEvent*>(event)->position().toPoint();
        if (const QListWidgetItem* item = searchTypeList_->itemAt(at))
            typeStateAtPress_ = item->checkState();
    }
    if (watched == searchPathList_ && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Space &&
        static_cast<QKeyEvent*>(event)->modifiers() == Qt::NoModifier) {
        toggleCurrentKeep();
        return true;
    }
    if (watched != searchPathList_->viewport())
        return QGroupBox::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::MouseButtonDblClick: {
        // A double click removes the row it is on; on a Keep box it is two clicks of the box.
        const QPoint at = static_cast<QMouseEvent*>(event)->position().toPoint();
        QTreeWidgetItem* item = searchPathList_->itemAt(at);
        if (item && searchPathList_->columnAt(at.x()) == kKeepColumn)
            return false;
        delete item;
        return true;
    }
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto* drag = static_cast<QDragMoveEvent*>(event);
        if (!droppedFolders(drag->mimeData()).empty() && pathPicker_->isEnabled())
            drag->acceptProposedAction();
        else
            drag->ignore();
        return true;
    }
    case QEvent::Drop: {
        auto* drop = static_cast<QDropEvent*>(event);
        if (!pathPicker_->isEnabled())
            return true;
        const std::vector<std::string> folders = droppedFolders(drop->mimeData());
        for (const std::string& folder : folders)
            addPathOf(folder);
        if (!folders.empty())
            drop->acceptProposedAction();
        return true;
    }
    default:
        break;
    }
    return QGroupBox::eventFilter(watched, event);
}

} // namespace trevalo
