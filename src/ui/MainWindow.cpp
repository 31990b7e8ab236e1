// SPDX-License-Identifier: GPL-2.0-or-later
#include "ui/MainWindow.h"

#include "platform/ByteText.h"
#include "platform/Process.h"
#include "platform/UserText.h"
#include "platform/desktop/DataFiles.h"
#include "platform/desktop/DesktopOpen.h"
#include "results/KeepPaths.h"
#include "results/NameCopies.h"
#include "results/ResultListModel.h"
#include "results/ResultListView.h"
#include "results/ResultTotals.h"
#include "results/WorkText.h"
#include "search/ProofCache.h"
#include "search/SearchScope.h"
#include "search/SearchText.h"
#include "ui/DriveList.h"
#include "ui/ElidedLabel.h"
#include "ui/FileCommands.h"
#include "ui/FileOpPanel.h"
#include "ui/FilterBar.h"
#include "ui/FolderList.h"
#include "ui/GeneralMenu.h"
#include "ui/MarkCommands.h"
#include "ui/ResultArea.h"
#include "ui/SetupPanel.h"
#include "ui/TabStrip.h"

#include <QAction>
#include <QApplication>
#include <QBoxLayout>
#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QCursor>
#include <QFile>
#include <QFrame>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QSettings>
#include <QShortcut>
#include <QSplitter>
#include <QStatusBar>
#include <QStyle>
#include <QTabBar>
#include <QThread>
#include <QTimer>
#include <QTreeWidget>

#include <algorithm>
#include <cmath>
#include <ctime>

namespace trevalo {

namespace {

constexpr int kProgressPanelWidth = 3000;  // twips, the status bar's first section
constexpr int kProgressInset = 40;         // twips from the section's left, right and top
constexpr int kStatusLabelMinWidth = 1440; // twips
constexpr int kStatusBarHeight = 255;      // twips, at least
// Pixels above and below a line of the status bar's text, when the font is taller than the
// design's status bar.
constexpr int kStatusTextPadding = 8;
// A search opens the window to at least this height (twips, outer height less a classic
// window's caption and border).
constexpr int kSearchClientHeight = 8000 - 465;
// The preview's share of a wide window, and the width it gets at least when there is room.
constexpr double kPreviewShare = 0.25;
constexpr int kPreviewMinWidth = 256;
// The first window, without a remembered one: this share of the screen's free area.
constexpr double kStartScreenShare = 0.8;
// Rows a result list shows at least.
constexpr int kListMinRows = 5;

constexpr const char* kSelectPathMessage =
    QT_TRANSLATE_NOOP("MainWindow", "Please select path before search.");
constexpr const char* kSelectPathTitle = QT_TRANSLATE_NOOP("MainWindow", "Select Path");
constexpr const char* kSelectTypeMessage =
    QT_TRANSLATE_NOOP("MainWindow", "Please select a search type.");
constexpr const char* kStoppingStatus = QT_TRANSLATE_NOOP("MainWindow", "Stopping ...");

// Where the window's settings live: ~/.config/Trevalo/trevalo.ini.
QSettings windowSettings() {
    return QSettings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Trevalo"),
                     QStringLiteral("trevalo"));
}

double screenDpi() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    const double dpi = screen ? screen->logicalDotsPerInchY() : 96.0;
    return dpi > 0 ? dpi : 96.0;
}

// The status bar's first section: the progress bar, inset from the section's left, right and
// top edges, reaching its bottom edge.
class ProgressSection : public QWidget {
public:
    ProgressSection(QProgressBar* bar, int inset, QWidget* parent)
        : QWidget(parent), bar_(bar), inset_(inset) {
        bar_->setParent(this);
    }

protected:
    void resizeEvent(QResizeEvent* event) override {
        QWidget::resizeEvent(event);
        bar_->setGeometry(inset_, inset_, std::max(0, width() - 2 * inset_),
                          std::max(0, height() - inset_));
    }

private:
    QProgressBar* bar_;
    int inset_;
};

// A menu command with the object name it is found by (tests, accessibility tools).
QAction* named(QAction* action, const char* name) {
    action->setObjectName(QString::fromLatin1(name));
    return action;
}

} // namespace

MainWindow::MainWindow(QWidget* parent) : QWidget(parent), tw_(screenDpi()) {
    setupPanel_ = new SetupPanel(this);
    resultTabs_ = new TabStrip(this);
    resultTabs_->setObjectName(QStringLiteral("resultTabs"));
    fileOpPanel_ = new FileOpPanel(this);
    setObjectName(QStringLiteral("mainWindow"));
    setWindowTitle(tr("Trevalo - Find duplicates, Free memory, File better"));
    const QString icon = dataFilePath(QStringLiteral("trevalo.svg"));
    if (!icon.isEmpty())
        setWindowIcon(QIcon(icon));

    files_ = new FileCommands(*this, this);
    marks_ = new MarkCommands(*this, this);
    filterBar_ = new FilterBar(this);
    differingBox_ = new QCheckBox(tr("Only names whose &files differ"), this);
    differingBox_->setObjectName(QStringLiteral("differingBox"));
    differingBox_->setToolTip(
        tr("Same Name: show only the names shared by files that are not all identical, the "
           "files to rename before folders are merged"));
    differingBox_->setVisible(false);
    connect(differingBox_, &QCheckBox::toggled, this,
            [this](bool on) { resultModel(ListSameName).setDifferingOnly(on); });
    connect(filterBar_, &QLineEdit::textChanged, this, &MainWindow::applyFilter);
    connect(filterBar_, &FilterBar::focused, this,
            [this] { currentModel().prepareFilter(currentList_); });
    new QShortcut(QKeySequence::Find, this, this, [this] {
        filterBar_->setFocus(Qt::ShortcutFocusReason);
        filterBar_->selectAll();
    });
    buildResultLists();
    buildStatusBar();
    buildLayout();
    buildMenus();
    installListKeys();
    setFocusOrder();

    connect(setupPanel_, &SetupPanel::searchClicked, this, &MainWindow::startOrCancelSearch);
    connect(setupPanel_, &SetupPanel::newSearchClicked, this, &MainWindow::resetForNewSearch);
    connect(setupPanel_, &SetupPanel::keepChanged, this, &MainWindow::followKeepBox);
    connect(setupPanel_, &SetupPanel::menuClicked, this,
            [this] { popUpAtButton(generalMenu_, setupPanel_->menuButton()); });
    connect(fileOpPanel_, &FileOpPanel::taskClicked, this,
            [this] { popUpAtButton(fileMenu_, fileOpPanel_->taskButton()); });
    connect(fileOpPanel_, &FileOpPanel::previewResized, files_, &FileCommands::preview);
    // Switched on again, the preview shows the selected row at once.
    connect(fileOpPanel_, &FileOpPanel::previewSwitched, this, [this](bool on) {
        if (on)
            files_->preview();
    });
    connect(setupPanel_, &SetupPanel::message, this,
            [this](const QString& text) { messageBox(text, QString::fromLatin1(kAppTitle)); });
    connect(resultTabs_->tabBar(), &QTabBar::currentChanged, this, &MainWindow::tabClicked);
    // A control of the set-up panel that gets the focus (Tab, Shift+Tab, an Alt letter) scrolls
    // into sight.
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
        if (now && setupPanel_->isAncestorOf(now))
            setupScroll_->ensureWidgetVisible(now, 0, 0);
    });

    restoreSettings();
    followCurrentList();
    // The load step: start like New Search, but with the result area in sight.
    setupPanel_->clearPaths();
    setupPanel_->selectAllSearchTypes();
    updateTabCounts();
    setupPanel_->focusFolderList();
}

MainWindow::~MainWindow() {
    // The workers must be gone before the lists they feed.
    openCancel_ = true;
    opener_ = {}; // joins the worker
    files_->stopDelete();
    abandonSearch();
}

void MainWindow::buildResultLists() {
    QTabBar* tabs = resultTabs_->tabBar();
    for (int i = 0; i < kResultListCount; ++i) {
        const std::string_view captionBytes = kResultListCaptions[static_cast<std::size_t>(i)];
        const QString caption = QCoreApplication::translate("SearchState", captionBytes.data());

        auto* frame = new QFrame;
        frame->setObjectName(QStringLiteral("resultFrame%1").arg(i));
        frame->setFrameShape(QFrame::NoFrame);
        auto* view = new ResultListView(frame);
        view->setObjectName(QStringLiteral("resultView%1").arg(i));
        view->setAccessibleName(tr("%1 list").arg(caption));
        auto* fill = new QVBoxLayout(frame);
        fill->setContentsMargins(0, 0, 0, 0);
        fill->addWidget(view);
        auto* model = new ResultListModel(this);
        // The tab counts follow the rows as they come and go.
        for (const auto changed :
             {&QAbstractItemModel::rowsInserted, &QAbstractItemModel::rowsRemoved})
            connect(model, changed, this, &MainWindow::updateTabCounts);
        connect(model, &QAbstractItemModel::modelReset, this, &MainWindow::updateTabCounts);
        if (i == ListDuplicates || i == ListFolders)
            model->setBanding(ResultListModel::Banding::ByGroup);
        else if (i == ListSameName)
            model->setBanding(ResultListModel::Banding::ByName);
        view->setResultModel(model);
        view->setColumnWidths(resultColumnWidths(tw_, i, view->fontMetrics()));
        view->setMinimumHeight(view->header()->sizeHint().height() +
                               kListMinRows * view->fontMetrics().height() +
                               2 * view->frameWidth());
        resultTabs_->addPage(caption, frame);

        connect(view, &ResultListView::currentRowChanged, this,
                [this, i](int row) { currentRowMoved(i, row); });
        connect(view, &ResultListView::rowClicked, this, [this, i] { currentRowClicked(i); });
        connect(view, &ResultListView::rowDoubleClicked, files_, &FileCommands::openSelected);
        connect(view, &ResultListView::rightButtonReleased, this, &MainWindow::popUpFileMenu);
        connect(view, &ResultListView::menuKeyPressed, this, &MainWindow::popUpFileMenuAtRow);

        resultFrames_[static_cast<std::size_t>(i)] = frame;
        resultViews_[static_cast<std::size_t>(i)] = view;
        results_[static_cast<std::size_t>(i)] = model;
    }
    tabs->setCurrentIndex(0);
    showWholeLists({});
}

void MainWindow::showWholeLists(const std::array<bool, kResultListCount>& shown) {
    for (int i = kUsualListCount; i < kResultListCount; ++i)
        resultTabs_->setPageShown(i, shown[static_cast<std::size_t>(i)]);
}

void MainWindow::buildLayout() {
    splitter_ = new QSplitter(Qt::Horizontal, this);
    splitter_->setObjectName(QStringLiteral("resultSplitter"));
    splitter_->setChildrenCollapsible(false);
    splitter_->addWidget(resultTabs_);
    splitter_->addWidget(fileOpPanel_);
    splitter_->setStretchFactor(0, 3);
    splitter_->setStretchFactor(1, 1);

    // The set-up panel scrolls when the window is smaller than the panel, so that the window
    // fits any screen and every control can still be reached.
    setupScroll_ = new QScrollArea(this);
    setupScroll_->setObjectName(QStringLiteral("setupScroll"));
    setupScroll_->setFrameShape(QFrame::NoFrame);
    setupScroll_->setWidgetResizable(true);
    setupScroll_->setWidget(setupPanel_);
    setupScroll_->setFocusPolicy(Qt::NoFocus);

    auto* results = new QWidget(this);
    results->setObjectName(QStringLiteral("resultPart"));
    auto* resultColumn = new QVBoxLayout(results);
    resultColumn->setContentsMargins(0, 0, 0, 0);
    auto* filterRow = new QHBoxLayout;
    filterRow->addWidget(filterBar_, 1); // above the lists
    filterRow->addWidget(differingBox_, 0);
    resultColumn->addLayout(filterRow, 0);
    resultColumn->addWidget(splitter_, 1);

    setupSplitter_ = new QSplitter(Qt::Vertical, this);
    setupSplitter_->setObjectName(QStringLiteral("setupSplitter"));
    setupSplitter_->setChildrenCollapsible(false);
    setupSplitter_->addWidget(setupScroll_);
    setupSplitter_->addWidget(results);
    // A taller window gives the results the height it gains.
    setupSplitter_->setStretchFactor(0, 0);
    setupSplitter_->setStretchFactor(1, 1);

    auto* parts = new QVBoxLayout;
    const int margin = std::max(style()->pixelMetric(QStyle::PM_LayoutTopMargin), 6);
    parts->setContentsMargins(margin, margin, margin, margin / 2);
    parts->addWidget(setupSplitter_, 1);
    // The status bar spans the window's whole width, along its bottom.
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addLayout(parts, 1);
    column->addWidget(statusBar_, 0);
}

int MainWindow::statusBarHeightPx() const {
    return std::max(tw_.px(kStatusBarHeight), fontMetrics().height() + kStatusTextPadding);
}

void MainWindow::buildStatusBar() {
    statusBar_ = new QStatusBar(this);
    statusBar_->setObjectName(QStringLiteral("statusBar"));
    statusBar_->setSizeGripEnabled(true);
    progressBar_ = new QProgressBar;
    progressBar_->setObjectName(QStringLiteral("progressBar"));
    progressBar_->setRange(0, 100);
    progressBar_->setValue(0);
    progressBar_->setTextVisible(false);
    progressSection_ = new ProgressSection(progressBar_, tw_.px(kProgressInset), statusBar_);
    progressSection_->setObjectName(QStringLiteral("progressSection"));
    progressSection_->setFixedWidth(tw_.px(kProgressPanelWidth));
    statusBar_->addWidget(progressSection_, 0);
    progressSection_->hide(); // shown while a search or an opening runs
    statusLabel_ = new ElidedLabel(statusBar_);
    statusLabel_->setObjectName(QStringLiteral("statusLabel"));
    statusLabel_->setMinimumWidth(tw_.px(kStatusLabelMinWidth));
    statusBar_->addWidget(statusLabel_, 1);
    totals_ = new TotalsLabel(statusBar_);
    statusBar_->addPermanentWidget(totals_);
    statusBar_->setFixedHeight(statusBarHeightPx());
    // While a search runs, the time left is told again each second, also when no progress
    // comes (it grows then).
    workTimer_ = new QTimer(this);
    workTimer_->setInterval(1000);
    connect(workTimer_, &QTimer::timeout, this, &MainWindow::showWorkText);
}

void MainWindow::buildMenus() {
    buildGeneralMenu();
    buildFileMenu();
    addMarkAndResultsActions();
    connect(fileMenu_, &QMenu::aboutToShow, this, &MainWindow::fileMenuOpening);
    marks_->addToFileMenu(fileMenu_);

    new QShortcut(QKeySequence(Qt::Key_Escape), this, this, &MainWindow::cancelSearchKey);
}

void MainWindow::buildGeneralMenu() {
    generalMenu_ = new QMenu(tr("&Menu"), this);
    generalMenu_->setObjectName(QStringLiteral("generalMenu"));
    QAction* help =
        named(generalMenu_->addAction(tr("Help"), this, &MainWindow::showHelp), "helpAction");
    help->setIcon(QIcon::fromTheme(QStringLiteral("help-contents")));
    help->setShortcut(QKeySequence::HelpContents);
    help->setShortcutContext(Qt::WindowShortcut);
    addAction(help);
    named(generalMenu_->addAction(tr("About Trevalo"), this, &MainWindow::showAbout), "aboutAction")
        ->setIcon(QIcon::fromTheme(QStringLiteral("help-about")));
    generalMenu_->addSeparator();
    named(generalMenu_->addAction(tr("Trevalo Web Site"), this, &MainWindow::openWebSite),
          "webSiteAction")
        ->setIcon(QIcon::fromTheme(QStringLiteral("internet-web-browser")));
    generalMenu_->addSeparator();
    // Searches keep what they proved in the proof cache (search/proofCache in the settings
    // file; on by default) and do not read it again.
    QAction* useProofs =
        named(generalMenu_->addAction(tr("&Remember Proven Files")), "rememberProofsAction");
    useProofs->setCheckable(true);
    useProofs->setChecked(
        windowSettings().value(QStringLiteral("search/proofCache"), true).toBool());
    connect(useProofs, &QAction::toggled, this,
            [](bool on) { windowSettings().setValue(QStringLiteral("search/proofCache"), on); });
    named(generalMenu_->addAction(tr("&Forget Proven Files"), this, &MainWindow::forgetProofs),
          "forgetProofsAction");
    named(generalMenu_->addAction(tr("&Quit"), this, &MainWindow::quit), "quitAction")
        ->setIcon(QIcon::fromTheme(QStringLiteral("application-exit")));
}

// The commands on the selected or marked files.
void MainWindow::buildFileMenu() {
    fileMenu_ = new QMenu(tr("File"), this);
    fileMenu_->setObjectName(QStringLiteral("fileMenu"));
    FileCommands* files = files_;
    openAction_ =
        named(fileMenu_->addAction(tr("&Open"), files, &FileCommands::openSelected), "openAction");
    openFolderAction_ = named(fileMenu_->addAction(tr("Open Containing &Folder"), this,
                                                   &MainWindow::openContainingFolder),
                              "openFolderAction");
    openFolderAction_->setIcon(QIcon::fromTheme(QStringLiteral("folder-open")));
    copyPathAction_ =
        named(fileMenu_->addAction(tr("Cop&y Path"), this, [this] { copyPaths(false); }),
              "copyPathAction");
    copyPathAction_->setIcon(QIcon::fromTheme(QStringLiteral("edit-copy")));
    copyPathsAction_ = named(
        fileMenu_->addAction(tr("Copy Pat&hs of Marked Files"), this, [this] { copyPaths(true); }),
        "copyPathsAction");
    deleteAction_ = named(fileMenu_->addAction(tr("&Delete"), files, &FileCommands::deleteMarked),
                          "deleteAction");
    replaceAction_ = named(
        fileMenu_->addAction(tr("Replace &with Links..."), files, &FileCommands::replaceWithLinks),
        "replaceAction");
    renameAction_ = named(fileMenu_->addAction(tr("&Rename"), files, &FileCommands::renameSelected),
                          "renameAction");
    openAction_->setIcon(QIcon::fromTheme(QStringLiteral("document-open")));
    deleteAction_->setIcon(QIcon::fromTheme(QStringLiteral("user-trash")));
    renameAction_->setIcon(QIcon::fromTheme(QStringLiteral("edit-rename")));
    restoreAction_ = named(
        fileMenu_->addAction(tr("Restore &Last Delete"), files, &FileCommands::restoreLastDelete),
        "restoreAction");
    restoreAction_->setIcon(QIcon::fromTheme(QStringLiteral("edit-undo")));
    restoreAction_->setShortcut(QKeySequence::Undo);
    restoreAction_->setShortcutContext(Qt::WindowShortcut);
    restoreAction_->setEnabled(false);
    addAction(restoreAction_);
    connect(files, &FileCommands::restoreAvailable, restoreAction_, &QAction::setEnabled);
}

// The File menu's marking commands and the results files.
void MainWindow::addMarkAndResultsActions() {
    FileCommands* files = files_;
    fileMenu_->addSeparator();
    named(fileMenu_->addAction(tr("Mark &all"), files, &FileCommands::markAll), "markAllAction");
    markOlderAction_ = named(fileMenu_->addAction(tr("Mark old&er files for deletion"), this,
                                                  [this] { markByAge(Age::Older); }),
                             "markOlderAction");
    markNewerAction_ = named(fileMenu_->addAction(tr("Mark &newer files for deletion"), this,
                                                  [this] { markByAge(Age::Newer); }),
                             "markNewerAction");
    named(fileMenu_->addAction(tr("&Clear all marks"), files, &FileCommands::clearMarks),
          "clearMarksAction");
    fileMenu_->addSeparator();
    saveResultsAction_ =
        named(fileMenu_->addAction(tr("&Save Results..."), this, &MainWindow::saveResultsFile),
              "saveResultsAction");
    openResultsAction_ =
        named(fileMenu_->addAction(tr("O&pen Results..."), this, &MainWindow::openResultsFile),
              "openResultsAction");
    exportListAction_ =
        named(fileMenu_->addAction(tr("E&xport List..."), this, &MainWindow::exportList),
              "exportListAction");
    saveResultsAction_->setIcon(QIcon::fromTheme(QStringLiteral("document-save")));
    openResultsAction_->setIcon(QIcon::fromTheme(QStringLiteral("document-open")));
    exportListAction_->setIcon(QIcon::fromTheme(QStringLiteral("document-export")));
    for (const auto& [action, key] : {std::pair{saveResultsAction_, QKeySequence::Save},
                                      std::pair{openResultsAction_, QKeySequence::Open}}) {
        action->setShortcut(key);
        action->setShortcutContext(Qt::WindowShortcut);
        addAction(action);
    }
}

void MainWindow::installListKeys() {
    const auto onLists = [this](QAction* action, const QList<QKeySequence>& keys) {
        action->setShortcuts(keys);
        action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        for (ResultListView* view : resultViews_)
            view->addAction(action);
    };
    onLists(openAction_, {QKeySequence(Qt::Key_Return), QKeySequence(Qt::Key_Enter)});
    onLists(deleteAction_, {QKeySequence(QKeySequence::Delete)});
    onLists(renameAction_, {QKeySequence(Qt::Key_F2)});
    auto* toggleMark = new QAction(tr("Mark or unmark the row"), this);
    onLists(toggleMark, {QKeySequence(Qt::Key_Space)});
    connect(toggleMark, &QAction::triggered, files_, &FileCommands::toggleCurrentMark);
    // The Menu key reaches the list as a context-menu event; Shift+F10 is a key of its own.
    auto* menuKey = new QAction(tr("File menu"), this);
    onLists(menuKey, {QKeySequence(Qt::SHIFT | Qt::Key_F10)});
    connect(menuKey, &QAction::triggered, this, &MainWindow::popUpFileMenuAtRow);
}

void MainWindow::fileMenuOpening() {
    const bool byAge = markByAgeEnabled(currentList_);
    markNewerAction_->setEnabled(byAge);
    markOlderAction_->setEnabled(byAge);
    replaceAction_->setEnabled(currentList_ == ListDuplicates);
    const bool row = selectedRow() >= 0;
    openFolderAction_->setEnabled(row);
    copyPathAction_->setEnabled(row);
    const std::vector<ResultRow>& rows = currentModel().rows();
    copyPathsAction_->setEnabled(
        std::any_of(rows.begin(), rows.end(), [](const ResultRow& r) { return r.checked; }));
}

void MainWindow::markByAge(Age age) {
    files_->markByAge(age);
    // The marking sorted the rows by the list's key column: the list's sort state (and so the
    // header, and the order rows restored later take) follows.
    ResultListModel& model = currentModel();
    model.sortByColumn(markKeyColumn(currentList_), Qt::AscendingOrder);
}

void MainWindow::openContainingFolder() {
    const int selected = selectedRow();
    if (selected < 0) {
        messageBox(tr("Please select a file."), tr("Select file"));
        return;
    }
    const std::string path = currentModel().row(selected).path();
    const QString shown = displayText(path);
    if (urlOpener_) {
        std::string folder = path.substr(0, path.rfind('/') + 1);
        if (!urlOpener_(
                fileUrlOf(folder.size() > 1 ? folder.substr(0, folder.size() - 1) : folder)))
            cannotOpen(shown, tr("no program could open its folder"));
        return;
    }
    const QString why = showInFileManager(path, failureMessenger(shown));
    if (!why.isEmpty())
        cannotOpen(shown, why);
}

void MainWindow::copyPaths(bool marked) {
    ResultListModel& model = currentModel();
    std::vector<std::string> paths;
    if (marked) {
        const std::vector<ResultRow>& rows = model.rows();
        model.shownScope().forEach(rows.size(), [&](std::size_t i) {
            if (rows[i].checked)
                paths.push_back(rows[i].path());
        });
    } else if (selectedRow() >= 0) {
        paths.push_back(model.row(selectedRow()).path());
    }
    if (paths.empty())
        return;
    // As text for editors and terminals, and as file addresses that keep every byte.
    QStringList text;
    QList<QUrl> urls;
    for (const std::string& path : paths) {
        text << displayText(path);
        urls << fileUrlOf(path);
    }
    auto* data = new QMimeData;
    data->setText(text.join(QLatin1Char('\n')));
    data->setUrls(urls);
    QGuiApplication::clipboard()->setMimeData(data);
    statusLabel_->setText(paths.size() == 1 ? tr("Path copied: %1").arg(text.front())
                                            : countedText("trevalo::MainWindow", "%n paths copied",
                                                          nullptr, paths.size()));
}

void MainWindow::setFocusOrder() {
    // The set-up panel from the folder controls on, the tabs, the visible list, the file
    // operations.
    QList<QWidget*> order = setupPanel_->focusOrder();
    order.append(filterBar_);
    order.append(resultTabs_->tabBar());
    for (ResultListView* view : resultViews_)
        order.append(view);
    order += fileOpPanel_->focusOrder();
    for (qsizetype i = 0; i + 1 < order.size(); ++i)
        QWidget::setTabOrder(order[i], order[i + 1]);
}

void MainWindow::resetForNewSearch() {
    setupPanel_->clearPaths();
    for (ResultListModel* model : results_)
        model->clear();
    files_->listsReplaced();
    statusLabel_->clear();
    filterBar_->clear();
    progressBar_->setValue(0);
    fileOpPanel_->previewLabel().clear();
    setupPanel_->selectAllSearchTypes();
    updateTabCounts();
}

void MainWindow::updateTabCounts() {
    QTabBar* tabs = resultTabs_->tabBar();
    for (int i = 0; i < kResultListCount; ++i)
        tabs->setTabText(i, countCaption(tabs->tabText(i),
                                         static_cast<long long>(resultModel(i).rows().size())));
}

void MainWindow::sortList(int list, int column, Qt::SortOrder order) {
    if (list < 0 || list >= kResultListCount)
        return;
    resultModel(list).sortByColumn(column, order);
}

int MainWindow::selectedRow() const {
    const int row = currentView()->selectedRow();
    return row >= 0 ? currentModel().positionOf(row) : -1;
}

int MainWindow::focusedRow() const {
    const QModelIndex current = currentView()->currentIndex();
    return current.isValid() ? currentModel().positionOf(current.row()) : -1;
}

void MainWindow::followKeepBox(int row, bool kept) {
    const std::vector<PathRow> rows = setupPanel_->pathRows();
    if (row < 0 || static_cast<std::size_t>(row) >= rows.size())
        return;
    std::size_t changed = 0;
    for (ResultListModel* model : results_)
        model->editRows(
            [&](std::vector<ResultRow>& listed) {
                changed +=
                    trevalo::followKeepBox(listed, rows[static_cast<std::size_t>(row)], kept, rows);
            },
            ResultListModel::RowOrder::Kept);
    if (changed > 0)
        statusLabel_->setText(
            kept ? countedText("trevalo::MainWindow",
                               "%n listed rows kept: never marked, deleted or renamed", nullptr,
                               changed)
                 : countedText("trevalo::MainWindow", "%n listed rows no longer kept", nullptr,
                               changed));
}

void MainWindow::groupsChanged() {
    const std::vector<ResultRow>& duplicates = resultModel(ListDuplicates).rows();
    resultModel(ListSameName).editRows([&](std::vector<ResultRow>& rows) {
        markIdenticalNamesakes(rows, duplicates);
    });
}

void MainWindow::sortSameName() {
    groupsChanged();
    sortList(ListSameName, GroupColumn, Qt::AscendingOrder);
    sortList(ListSameName, NameColumn, Qt::AscendingOrder);
}

void MainWindow::showStatus(const QString& text) {
    statusLabel_->setText(text);
}

QLabel& MainWindow::previewLabel() const {
    return fileOpPanel_->previewLabel();
}

bool MainWindow::previewOn() const {
    return fileOpPanel_->previewOn();
}

void MainWindow::showList(int list) {
    resultTabs_->tabBar()->setCurrentIndex(list);
}

void MainWindow::selectRow(int row) {
    currentView()->selectRow(currentModel().viewRowOf(row));
}

bool MainWindow::addSearchPath(const std::string& folder) {
    if (!setupPanel_->openFolder(folder))
        return false;
    return setupPanel_->addPathOf(setupPanel_->openFolderPath());
}

QSize MainWindow::screenRoom() const {
    const QScreen* shown = screen() ? screen() : QGuiApplication::primaryScreen();
    const QSize free = shown ? shown->availableGeometry().size() : QSize(1280, 800);
    // The window's frame, and at least a classic caption and border: the window manager may
    // not have told the frame yet.
    const QSize frame = (frameGeometry().size() - size()).expandedTo(QSize(8, 31));
    return (free - frame).expandedTo(QSize(1, 1));
}

bool MainWindow::normalState() const {
    return !isMinimized() && !isMaximized() && !isFullScreen();
}

void MainWindow::restoreSettings() {
    QSettings settings = windowSettings();
    setupPanel_->restoreScope(settings);
    settings.beginGroup(QStringLiteral("window"));
    const QSize room = screenRoom();
    const QSize least = minimumSizeHint();
    if (!restoreGeometry(settings.value(QStringLiteral("geometry")).toByteArray())) {
        const QSize wanted(static_cast<int>(room.width() * kStartScreenShare),
                           static_cast<int>(room.height() * kStartScreenShare));
        // Not larger than the screen, nor wider than the lists need.
        const QSize size = wanted.boundedTo(QSize(least.width() * 2, least.height() * 2))
                               .expandedTo(least)
                               .boundedTo(room);
        resize(size);
    }
    if (!setupSplitter_->restoreState(
            settings.value(QStringLiteral("setupSplitter")).toByteArray())) {
        // The set-up panel as tall as it asks for, when the results keep their least height.
        const int panel = setupScroll_->widget()->sizeHint().height();
        setupSplitter_->setSizes({panel, std::max(height() - panel, 1)});
    }
    if (!splitter_->restoreState(settings.value(QStringLiteral("splitter")).toByteArray())) {
        const int preview = std::max(kPreviewMinWidth, static_cast<int>(width() * kPreviewShare));
        if (width() >= 3 * preview)
            splitter_->setSizes({width() - preview, preview});
    }
    widenPreview();
    for (int i = 0; i < kResultListCount; ++i) {
        const QVariant columns = settings.value(QStringLiteral("columns%1").arg(i));
        if (columns.isValid())
            resultViews_[static_cast<std::size_t>(i)]->restoreColumns(columns.toByteArray());
    }
    settings.endGroup();
    setupPanel_->setOnlyWithKept(settings.value(QStringLiteral("search/onlyWithKept")).toBool());
}

void MainWindow::widenPreview() {
    const QList<int> sizes = splitter_->sizes();
    const int total = sizes.value(0) + sizes.value(1);
    if (sizes.size() == 2 && sizes[1] < kPreviewMinWidth && total >= 3 * kPreviewMinWidth)
        splitter_->setSizes({total - kPreviewMinWidth, kPreviewMinWidth});
}

void MainWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    widenPreview();
}

void MainWindow::saveSettings() const {
    QSettings settings = windowSettings();
    setupPanel_->saveScope(settings);
    settings.beginGroup(QStringLiteral("window"));
    settings.setValue(QStringLiteral("geometry"), saveGeometry());
    settings.setValue(QStringLiteral("splitter"), splitter_->saveState());
    settings.setValue(QStringLiteral("setupSplitter"), setupSplitter_->saveState());
    for (int i = 0; i < kResultListCount; ++i)
        settings.setValue(QStringLiteral("columns%1").arg(i),
                          resultViews_[static_cast<std::size_t>(i)]->saveColumns());
    settings.endGroup();
    settings.setValue(QStringLiteral("search/onlyWithKept"), setupPanel_->onlyWithKept());
}

void MainWindow::closeEvent(QCloseEvent* event) {
    // Closing ends the program: a running delete stops after its current file, a running
    // search at once, and their workers are waited for; the check of an opened file stops.
    openCancel_ = true;
    files_->stopDelete();
    abandonSearch();
    saveSettings();
    event->accept();
}

void MainWindow::tabClicked(int index) {
    if (index < 0 || index >= kResultListCount || index == currentList_)
        return;
    currentList_ = index;
    followCurrentList();
}

void MainWindow::currentRowMoved(int list, int row) {
    if (list != currentList_ || row < 0)
        return;
    // The row is selected before the preview looks at the selection (a Ctrl+click or
    // Ctrl+arrow would otherwise leave the list without one).
    ResultListView* view = resultViews_[static_cast<std::size_t>(list)];
    if (view->selectedRow() != row)
        view->selectRow(row);
    rowJustMoved_ = true;
    files_->preview();
}

void MainWindow::currentRowClicked(int list) {
    // A click that moved the current row has previewed it already; one on the current row
    // previews it again (the preview may have been off when it became current).
    if (list == currentList_ && !std::exchange(rowJustMoved_, false))
        files_->preview();
}

void MainWindow::cancelSearchKey() {
    if (opening_)
        cancelOpening();
    else if (searchStep_ == SearchStep::Running)
        startOrCancelSearch();
}

void MainWindow::popUpFileMenu(const QPoint& globalPos) {
    fileMenu_->popup(globalPos);
}

void MainWindow::popUpAtButton(QMenu* menu, QWidget* button) {
    if (button->underMouse())
        menu->popup(QCursor::pos());
    else
        menu->popup(button->mapToGlobal(QPoint(0, button->height())));
}

void MainWindow::popUpFileMenuAtRow() {
    ResultListView* view = currentView();
    const QModelIndex current = view->currentIndex();
    const QRect cell =
        current.isValid() ? view->visualRect(current.siblingAtColumn(NameColumn)) : QRect();
    const QPoint at = cell.isValid() ? cell.bottomLeft() : QPoint(0, 0);
    fileMenu_->popup(view->viewport()->mapToGlobal(at));
}

void MainWindow::showFirstFilledList() {
    for (const int list : {ListDuplicates, ListZeroSize, ListSameName}) {
        if (resultModel(list).rowCount() > 0) {
            showList(list);
            return;
        }
    }
}

void MainWindow::messageBox(const QString& text, const QString& title, bool information,
                            const QString& details) {
    if (messageHook_) {
        messageHook_(text, title);
        return;
    }
    QMessageBox box(information ? QMessageBox::Information : QMessageBox::NoIcon, title, QString(),
                    QMessageBox::Ok, this);
    box.setTextFormat(Qt::PlainText);
    setFittedText(box, text, details);
    widenToTitle(box);
    box.exec();
}

// ---- The search ----

void MainWindow::startOrCancelSearch() {
    if (opening_) {
        cancelOpening();
        return;
    }
    SearchRequest request;
    request.paths = setupPanel_->pathRows();
    request.types = setupPanel_->searchTypes();
    request.onlyWithKept = setupPanel_->onlyWithKept();
    // Threads that walk and compare (search/threads in the settings file): 0, the default, is
    // one per processor, and more while the files come from a disk.
    request.threads =
        std::clamp(windowSettings().value(QStringLiteral("search/threads"), 0).toInt(), 0, 256);
    request.useProofCache =
        windowSettings().value(QStringLiteral("search/proofCache"), true).toBool();
    if (request.paths.empty()) {
        messageBox(QCoreApplication::translate("MainWindow", kSelectPathMessage) +
                       QLatin1Char('\n') +
                       tr("Open a folder in the folder list and press \">\", use \"Add "
                          "Folder...\", or drop a folder on the path list."),
                   QCoreApplication::translate("MainWindow", kSelectPathTitle));
        setupPanel_->focusDriveCombo();
        return;
    }
    if (searchStep_ != SearchStep::Idle) {
        statusLabel_->setText(QCoreApplication::translate("MainWindow", kStoppingStatus));
        session_.cancel();
        searchStep_ = SearchStep::Stopping;
        return;
    }
    if (std::none_of(request.types.begin(), request.types.end(), [](bool on) { return on; })) {
        messageBox(QCoreApplication::translate("MainWindow", kSelectTypeMessage),
                   QString::fromLatin1(kAppTitle));
        return;
    }
    QString scopeError;
    if (!setupPanel_->readScope(request, scopeError)) {
        messageBox(scopeError, QString::fromLatin1(kAppTitle));
        return;
    }
    saveSettings();
    lastSetup_ = request;
    showWholeLists(wholeListsOf(request.types));
    searchedAt_ = static_cast<std::int64_t>(std::time(nullptr));
    work_ = {};
    timeLeft_.reset();
    filterBar_->clear();
    totals_->setPaused(true);
    onlyWithKeptRun_ = request.onlyWithKept;
    for (ResultListModel* model : results_)
        model->clear();
    files_->listsReplaced();
    updateTabCounts();
    statusLabel_->setText(QCoreApplication::translate("SearchEvents", kStatusStart));
    searchStep_ = SearchStep::Running;
    setupPanel_->setSearchRunning(true);
    const int searchHeight = std::min(tw_.pxAtLeast(kSearchClientHeight), screenRoom().height());
    if (normalState() && height() < searchHeight)
        resize(width(), searchHeight);
    progressSection_->show();
    workTimer_->start();
    ++generation_;
    session_.start(std::move(request));
}

void MainWindow::onWindowThread(std::function<void()> fn) {
    QMetaObject::invokeMethod(
        this,
        [this, generation = generation_.load(), fn = std::move(fn)] {
            if (generation == generation_)
                fn();
        },
        Qt::QueuedConnection);
}

void MainWindow::progress(double percent) {
    const int value = std::clamp(static_cast<int>(std::floor(percent)), 0, 100);
    onWindowThread([this, value] { progressBar_->setValue(value); });
}

void MainWindow::phase(SearchPhase phase) {
    if (phase == SearchPhase::Walking) // "Start ..." shows from the click on
        return;
    onWindowThread([this, text = QCoreApplication::translate("SearchEvents", phaseText(phase))] {
        statusLabel_->setText(text);
    });
}

void MainWindow::rows(int list, std::vector<ResultRow> rows) {
    if (list < 0 || list >= kResultListCount)
        return;
    auto shared = std::make_shared<std::vector<ResultRow>>(std::move(rows));
    onWindowThread([this, list, shared] { resultModel(list).appendRows(std::move(*shared)); });
}

void MainWindow::pathRow(int row) {
    onWindowThread([this, row] { setupPanel_->selectPathRow(row); });
}

void MainWindow::work(const SearchWork& work) {
    onWindowThread([this, work] { showWork(work); });
}

void MainWindow::showWork(const SearchWork& work) {
    if (searchStep_ != SearchStep::Running)
        return; // "Stopping ..." stays
    if (work.phase != work_.phase)
        timeLeft_.reset();
    work_ = work;
    if (work.bytesTotal > 0)
        timeLeft_.sample(TimeLeft::Clock::now(), work.bytesDone, work.bytesTotal);
    showWorkText();
}

void MainWindow::showWorkText() {
    if (searchStep_ != SearchStep::Running)
        return;
    QString text = QCoreApplication::translate("SearchEvents", phaseText(work_.phase));
    const QString done = workText(work_, timeLeft_.seconds(TimeLeft::Clock::now()));
    if (!done.isEmpty())
        text += QStringLiteral("  ") + done;
    statusLabel_->setText(text);
}

void MainWindow::finished(const SearchOutcome& outcome) {
    onWindowThread([this, outcome] { finishSearch(outcome); });
}

void MainWindow::finishSearch(const SearchOutcome& outcome) {
    session_.wait();
    progressBar_->setValue(0);
    progressSection_->hide();
    workTimer_->stop();
    statusLabel_->setText(endText(outcome));
    lastSummary_ = {outcome.files, outcome.seconds, outcome.cancelled,
                    lastSetup_ ? wholeListsOf(lastSetup_->types)
                               : std::array<bool, kResultListCount>{}};
    sortList(ListDuplicates, GroupColumn, Qt::AscendingOrder);
    sortSameName();
    sortList(ListZeroSize, NameColumn, Qt::AscendingOrder);
    // What the sorts dropped joins what the search dropped, given back before the search's
    // end was told: none of it stays in the heap beside the lists.
    releaseFreedMemory();
    updateTabCounts();
    showFirstFilledList();
    totals_->setPaused(false);
    searchStep_ = SearchStep::Idle;
    setupPanel_->setSearchRunning(false);
    emit searchFinished();
}

void MainWindow::abandonSearch() {
    session_.stop();
    ++generation_;
    searchStep_ = SearchStep::Idle;
    progressBar_->setValue(0);
    progressSection_->hide();
    workTimer_->stop();
}

// ---- Totals, filter ----

void MainWindow::followCurrentList() {
    ResultListModel& model = currentModel();
    model.setFilter(bytesOf(filterBar_->text()), currentList_);
    totals_->showList(&model, currentList_);
    marks_->listShown(currentList_);
    differingBox_->setVisible(currentList_ == ListSameName);
}

void MainWindow::applyFilter() {
    ResultListModel& model = currentModel();
    // The selected row stays selected when the filter still shows it.
    const int selected = selectedRow();
    model.setFilter(bytesOf(filterBar_->text()), currentList_);
    if (selected >= 0 && model.viewRowOf(selected) >= 0)
        selectRow(selected);
}

QString MainWindow::endText(const SearchOutcome& outcome) const {
    QString text = displayText(outcomeText(outcome));
    if (outcome.outsideLimits > 0)
        text +=
            countedText("trevalo::MainWindow", " %n files outside the size limits were left out.",
                        nullptr, outcome.outsideLimits);
    if (onlyWithKeptRun_ && !outcome.cancelled)
        text += countedText("trevalo::MainWindow", " %n sizes not compared: no kept file has them.",
                            nullptr, outcome.runsSkipped);
    if (!outcome.cacheProblem.empty())
        text += QLatin1Char(' ') + displayText(outcome.cacheProblem);
    return text;
}

void MainWindow::forgetProofs() {
    std::string problem;
    if (ProofCache::forget(ProofCache::defaultFolder(), problem))
        statusLabel_->setText(tr("Proven files forgotten: the next search reads every file it "
                                 "compares."));
    else
        messageBox(tr("The proof cache could not be emptied:\n%1").arg(displayText(problem)),
                   QString::fromLatin1(kAppTitle));
}

// ---- The general menu ----

void MainWindow::openUrl(const QUrl& url) {
    openAddress(url, url.isLocalFile() ? url.toLocalFile() : url.toString());
}

void MainWindow::openDocument(const std::string& bytePath) {
    openAddress(fileUrlOf(bytePath), displayText(bytePath));
}

void MainWindow::openAddress(const QUrl& url, const QString& shown) {
    if (urlOpener_) {
        if (!urlOpener_(url))
            cannotOpen(shown, tr("no program could open it"));
        return;
    }
    const QString why = openWithDesktop(url, failureMessenger(shown));
    if (!why.isEmpty())
        cannotOpen(shown, why);
}

OpenFailed MainWindow::failureMessenger(const QString& shown) {
    // The launcher reports from a thread of its own, maybe after the window has gone.
    return [self = QPointer<MainWindow>(this), shown](const QString& reason) {
        if (QCoreApplication* app = QCoreApplication::instance())
            QMetaObject::invokeMethod(
                app,
                [self, shown, reason] {
                    if (self)
                        self->cannotOpen(shown, reason);
                },
                Qt::QueuedConnection);
    };
}

void MainWindow::cannotOpen(const QString& shown, const QString& reason) {
    messageBox(tr("%1 can't be opened:").arg(shown) + QLatin1Char('\n') + reason + QLatin1Char('.'),
               tr("Can't open"));
}

void MainWindow::showHelp() {
    const QUrl url = helpUrl();
    if (url.isEmpty())
        messageBox(tr("The help page %1 is not where the program's data is installed.")
                       .arg(QString::fromLatin1(kHelpFileName)),
                   tr("Can't open"));
    else
        openUrl(url);
}

void MainWindow::showAbout() {
    messageBox(aboutText(), tr("About Trevalo"), true);
}

void MainWindow::openWebSite() {
    const QUrl url = webSiteUrl();
    if (url.isEmpty())
        showHelp(); // says why the page is missing
    else
        openUrl(url);
}

void MainWindow::quit() {
    openCancel_ = true;
    files_->stopDelete();
    abandonSearch();
    saveSettings();
    QCoreApplication::exit(0);
}

} // namespace trevalo
