// SPDX-License-Identifier: GPL-2.0-or-later
#include "ui/MainWindow.h"

#include "platform/ByteText.h"
#include "platform/desktop/DataFiles.h"
#include "platform/desktop/DesktopOpen.h"
#include "results/ResultListModel.h"
#include "results/ResultListView.h"
#include "search/SearchText.h"
#include "ui/DriveList.h"
#include "ui/FileCommands.h"
#include "ui/FileOpPanel.h"
#include "ui/FolderList.h"
#include "ui/GeneralMenu.h"
#include "ui/ResultArea.h"
#include "ui/SetupPanel.h"
#include "ui/TabStrip.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QCursor>
#include <QFile>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QStatusBar>
#include <QTabBar>
#include <QThread>
#include <QTreeWidget>

#include <algorithm>
#include <cmath>

namespace trevalo {

namespace {

constexpr int kProgressPanelWidth = 3000;  // twips, the status bar's first section
constexpr int kProgressInset = 40;         // twips from the section's left, right and top
constexpr int kStatusLabelMinWidth = 1440; // twips
// Pixels above and below a line of the status bar's text, when the font is taller than the
// design's status bar.
constexpr int kStatusTextPadding = 8;

constexpr const char* kSelectPathMessage = "Please select path before search.";
constexpr const char* kSelectPathTitle = "Select Path";
constexpr const char* kStoppingStatus = "Stopping ...";

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

    setupPanel_->placeControls(tw_);
    setupPanel_->setGeometry(tw_.rect(design::kSetupPanel));
    resultTabs_->setGeometry(tw_.rect(design::kResultTabs));
    fileOpPanel_->setGeometry(tw_.rect(design::kFileOpPanel));
    fileOpPanel_->placeControls(tw_);
    files_ = new FileCommands(*this, this);
    buildResultLists();
    buildStatusBar();
    buildMenus();
    installListKeys();
    setFocusOrder();

    connect(setupPanel_, &SetupPanel::searchClicked, this, &MainWindow::startOrCancelSearch);
    connect(setupPanel_, &SetupPanel::newSearchClicked, this, &MainWindow::resetForNewSearch);
    connect(setupPanel_, &SetupPanel::menuClicked, this,
            [this] { generalMenu_->popup(QCursor::pos()); });
    connect(fileOpPanel_, &FileOpPanel::taskClicked, this,
            [this] { popUpFileMenu(QCursor::pos()); });
    connect(setupPanel_, &SetupPanel::message, this,
            [this](const QString& text) { messageBox(text, QString::fromLatin1(kAppTitle)); });
    connect(resultTabs_->tabBar(), &QTabBar::currentChanged, this, &MainWindow::tabClicked);

    LayoutInput minimum;
    minimum.statusBarHeight = tw_.twips(statusBarHeightPx());
    setMinimumSize(tw_.pxAtLeast(design::kMinWindowWidth - design::kDecorationWidth),
                   tw_.pxAtLeast(minClientHeight(minimum)));
    resize(tw_.px(design::kStartWidth), tw_.px(design::kStartHeight));

    // The load step: the status bar and its progress bar are in place; start like New Search.
    resetForNewSearch();
    runLayout();
}

MainWindow::~MainWindow() {
    // The workers must be gone before the lists they feed.
    files_->stopDelete();
    abandonSearch();
}

void MainWindow::buildResultLists() {
    QTabBar* tabs = resultTabs_->tabBar();
    for (int i = 0; i < kResultListCount; ++i) {
        const std::string_view caption = kResultListCaptions[static_cast<std::size_t>(i)];
        tabs->addTab(QString::fromLatin1(caption.data(), static_cast<qsizetype>(caption.size())));

        auto* frame = new QFrame(this);
        frame->setObjectName(QStringLiteral("resultFrame%1").arg(i));
        frame->setFrameShape(QFrame::NoFrame);
        auto* view = new ResultListView(frame);
        view->setObjectName(QStringLiteral("resultView%1").arg(i));
        auto* model = new ResultListModel(this);
        view->setResultModel(model);
        view->setColumnWidths(resultColumnWidths(tw_, i, view->fontMetrics()));
        frame->setGeometry(
            tw_.rect(design::kResultTabs).adjusted(0, resultTabs_->headerHeight(), 0, 0));
        view->setGeometry(0, 0, frame->width(), frame->height());
        frame->setVisible(i == 0);

        connect(view, &ResultListView::rowClicked, this,
                [this, i](int row) { rowClicked(i, row); });
        connect(view, &ResultListView::rowDoubleClicked, files_, &FileCommands::openSelected);
        connect(view, &ResultListView::rightButtonReleased, this, &MainWindow::popUpFileMenu);

        resultFrames_[static_cast<std::size_t>(i)] = frame;
        resultViews_[static_cast<std::size_t>(i)] = view;
        results_[static_cast<std::size_t>(i)] = model;
    }
    tabs->setCurrentIndex(0);
}

int MainWindow::statusBarHeightPx() const {
    return std::max(tw_.px(design::kStatusBarHeight), fontMetrics().height() + kStatusTextPadding);
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
    auto* section = new ProgressSection(progressBar_, tw_.px(kProgressInset), statusBar_);
    section->setFixedWidth(tw_.px(kProgressPanelWidth));
    statusBar_->addWidget(section, 0);
    statusLabel_ = new QLabel(statusBar_);
    statusLabel_->setObjectName(QStringLiteral("statusLabel"));
    statusLabel_->setMinimumWidth(tw_.px(kStatusLabelMinWidth));
    statusBar_->addWidget(statusLabel_, 1);
    statusBar_->setFixedHeight(statusBarHeightPx());
}

void MainWindow::buildMenus() {
    const auto named = [](QAction* action, const char* name) {
        action->setObjectName(QString::fromLatin1(name));
        return action;
    };
    generalMenu_ = new QMenu(tr("&Menu"), this);
    generalMenu_->setObjectName(QStringLiteral("generalMenu"));
    QAction* help =
        named(generalMenu_->addAction(tr("Help"), this, &MainWindow::showHelp), "helpAction");
    help->setShortcut(QKeySequence::HelpContents);
    help->setShortcutContext(Qt::WindowShortcut);
    addAction(help);
    named(generalMenu_->addAction(tr("About Trevalo"), this, &MainWindow::showAbout),
          "aboutAction");
    generalMenu_->addSeparator();
    named(generalMenu_->addAction(tr("Trevalo Web Site"), this, &MainWindow::openWebSite),
          "webSiteAction");
    generalMenu_->addSeparator();
    named(generalMenu_->addAction(tr("&Quit"), this, &MainWindow::quit), "quitAction");

    fileMenu_ = new QMenu(tr("File"), this);
    fileMenu_->setObjectName(QStringLiteral("fileMenu"));
    FileCommands* files = files_;
    openAction_ =
        named(fileMenu_->addAction(tr("&Open"), files, &FileCommands::openSelected), "openAction");
    deleteAction_ = named(fileMenu_->addAction(tr("&Delete"), files, &FileCommands::deleteMarked),
                          "deleteAction");
    renameAction_ = named(fileMenu_->addAction(tr("&Rename"), files, &FileCommands::renameSelected),
                          "renameAction");
    fileMenu_->addSeparator();
    named(fileMenu_->addAction(tr("Mark &all"), files, &FileCommands::markAll), "markAllAction");
    markOlderAction_ = named(
        fileMenu_->addAction(tr("Mark &older files for deletion"), files, &FileCommands::markOlder),
        "markOlderAction");
    markNewerAction_ = named(
        fileMenu_->addAction(tr("Mark &newer files for deletion"), files, &FileCommands::markNewer),
        "markNewerAction");
    named(fileMenu_->addAction(tr("&Clear all marks"), files, &FileCommands::clearMarks),
          "clearMarksAction");
    connect(fileMenu_, &QMenu::aboutToShow, this, &MainWindow::fileMenuOpening);

    new QShortcut(QKeySequence(Qt::Key_Escape), this, this, &MainWindow::cancelSearchKey);
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
}

void MainWindow::fileMenuOpening() {
    const bool byAge = markByAgeEnabled(currentList_);
    markNewerAction_->setEnabled(byAge);
    markOlderAction_->setEnabled(byAge);
}

void MainWindow::setFocusOrder() {
    QList<QWidget*> order = fileOpPanel_->focusOrder();
    order += setupPanel_->focusOrder(resultTabs_->tabBar());
    for (ResultListView* view : resultViews_)
        order.append(view);
    for (qsizetype i = 0; i + 1 < order.size(); ++i)
        QWidget::setTabOrder(order[i], order[i + 1]);
}

void MainWindow::resetForNewSearch() {
    setupPanel_->clearPaths();
    for (ResultListModel* model : results_)
        model->clear();
    if (windowStateNow() == WindowState::Normal) {
        LayoutInput in;
        in.statusBarHeight = tw_.twips(statusBar_->height());
        resize(width(), std::max(minimumHeight(), tw_.pxAtLeast(minClientHeight(in))));
    }
    setupPanel_->selectAllSearchTypes();
    updateTabCounts();
}

void MainWindow::updateTabCounts() {
    QTabBar* tabs = resultTabs_->tabBar();
    for (int i = 0; i < kResultListCount; ++i)
        tabs->setTabText(i, countCaption(tabs->tabText(i), resultModel(i).rowCount()));
}

void MainWindow::sortList(int list, int column, Qt::SortOrder order) {
    if (list < 0 || list >= kResultListCount)
        return;
    resultModel(list).sortByColumn(column, order);
}

int MainWindow::selectedRow() const {
    return currentView()->selectedRow();
}

int MainWindow::focusedRow() const {
    const QModelIndex current = currentView()->currentIndex();
    return current.isValid() ? current.row() : -1;
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
    currentView()->selectRow(row);
}

bool MainWindow::addSearchPath(const std::string& folder) {
    if (!setupPanel_->openFolder(folder))
        return false;
    setupPanel_->addPath();
    return true;
}

WindowState MainWindow::windowStateNow() const {
    if (isMinimized())
        return WindowState::Minimized;
    if (isMaximized() || isFullScreen())
        return WindowState::Maximized;
    return WindowState::Normal;
}

void MainWindow::runLayout() {
    if (inLayout_)
        return;
    inLayout_ = true;

    LayoutInput in;
    in.windowWidth = tw_.twips(width()) + design::kDecorationWidth;
    in.windowHeight = tw_.twips(height()) + design::kDecorationHeight;
    in.clientHeight = tw_.twips(height());
    in.state = windowStateNow();
    in.statusBarHeight = tw_.twips(statusBar_->height());
    in.tabHeaderHeight = tw_.twips(resultTabs_->headerHeight());
    in.tabBorder = tw_.twips(resultTabs_->border());
    const WindowLayout out = layoutWindow(in);

    int clientWidth = width();
    int clientHeight = height();
    if (out.newWindowWidth || out.newWindowHeight) {
        if (out.newWindowWidth)
            clientWidth = tw_.pxAtLeast(*out.newWindowWidth - design::kDecorationWidth);
        if (out.newWindowHeight)
            clientHeight = tw_.pxAtLeast(*out.newWindowHeight - design::kDecorationHeight);
        resize(clientWidth, clientHeight);
    }

    statusBar_->setGeometry(0, clientHeight - statusBar_->height(), clientWidth,
                            statusBar_->height());
    resultTabs_->setGeometry(tw_.px(design::kResultTabs.left), tw_.px(design::kResultTabs.top),
                             tw_.px(out.resultTabsWidth),
                             out.resultTabsHeight ? tw_.px(*out.resultTabsHeight)
                                                  : resultTabs_->height());

    if (in.state != WindowState::Minimized) {
        if (out.resultFrame && out.resultList) {
            const auto list = static_cast<std::size_t>(currentList_);
            resultFrames_[list]->setGeometry(tw_.rect(*out.resultFrame));
            resultViews_[list]->setGeometry(tw_.rect(*out.resultList));
        }
        setupPanel_->setGeometry(tw_.px(design::kSetupPanel.left), tw_.px(design::kSetupPanel.top),
                                 tw_.px(*out.setupPanelWidth), tw_.px(design::kSetupPanel.height));
        setupPanel_->fitWidth(tw_, *out.pathPickerWidth, *out.searchPathListWidth,
                              *out.searchControlsLeft);
        fileOpPanel_->move(tw_.px(*out.fileOpPanelLeft), tw_.px(design::kFileOpPanel.top));
    }
    inLayout_ = false;
}

void MainWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    runLayout();
}

void MainWindow::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange)
        runLayout();
}

void MainWindow::closeEvent(QCloseEvent* event) {
    // Closing ends the program: a running delete stops after its current file, a running
    // search at once, and their workers are waited for.
    files_->stopDelete();
    abandonSearch();
    event->accept();
}

void MainWindow::tabClicked(int index) {
    if (index < 0 || index >= kResultListCount || index == currentList_)
        return;
    resultFrames_[static_cast<std::size_t>(index)]->show();
    resultFrames_[static_cast<std::size_t>(currentList_)]->hide();
    currentList_ = index;
    runLayout();
}

void MainWindow::rowClicked(int list, int row) {
    // The click selects its row before the preview looks at the selection (a Ctrl+click
    // would otherwise leave the list without one).
    resultViews_[static_cast<std::size_t>(list)]->selectRow(row);
    files_->preview();
}

void MainWindow::cancelSearchKey() {
    if (searchStep_ == SearchStep::Running)
        startOrCancelSearch();
}

void MainWindow::popUpFileMenu(const QPoint& globalPos) {
    fileMenu_->popup(globalPos);
}

void MainWindow::messageBox(const QString& text, const QString& title, bool information,
                            const QString& details) {
    if (messageHook_) {
        messageHook_(text, title);
        return;
    }
    QMessageBox box(information ? QMessageBox::Information : QMessageBox::NoIcon, title, text,
                    QMessageBox::Ok, this);
    if (!details.isEmpty())
        box.setDetailedText(details);
    box.exec();
}

// ---- The search ----

void MainWindow::startOrCancelSearch() {
    SearchRequest request;
    request.paths = setupPanel_->pathRows();
    request.types = setupPanel_->searchTypes();
    if (request.paths.empty()) {
        messageBox(QString::fromLatin1(kSelectPathMessage), QString::fromLatin1(kSelectPathTitle));
        setupPanel_->focusDriveCombo();
        return;
    }
    if (searchStep_ != SearchStep::Idle) {
        statusLabel_->setText(QString::fromLatin1(kStoppingStatus));
        session_.cancel();
        searchStep_ = SearchStep::Stopping;
        return;
    }
    for (ResultListModel* model : results_)
        model->clear();
    updateTabCounts();
    statusLabel_->setText(QString::fromLatin1(kStatusStart));
    searchStep_ = SearchStep::Running;
    setupPanel_->setSearchRunning(true);
    if (windowStateNow() == WindowState::Normal)
        resize(width(), tw_.pxAtLeast(design::kSearchWindowHeight - design::kDecorationHeight));
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
    onWindowThread(
        [this, text = QString::fromLatin1(phaseText(phase))] { statusLabel_->setText(text); });
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

void MainWindow::finished(const SearchOutcome& outcome) {
    onWindowThread([this, outcome] { finishSearch(outcome); });
}

void MainWindow::finishSearch(const SearchOutcome& outcome) {
    session_.wait();
    progressBar_->setValue(0);
    statusLabel_->setText(displayText(outcomeText(outcome)));
    sortList(ListDuplicates, GroupColumn, Qt::AscendingOrder);
    sortList(ListSameName, NameColumn, Qt::AscendingOrder);
    sortList(ListZeroSize, NameColumn, Qt::AscendingOrder);
    updateTabCounts();
    searchStep_ = SearchStep::Idle;
    setupPanel_->setSearchRunning(false);
    emit searchFinished();
}

void MainWindow::abandonSearch() {
    session_.stop();
    ++generation_;
    searchStep_ = SearchStep::Idle;
}

// ---- The general menu ----

void MainWindow::openUrl(const QUrl& url) {
    if (urlOpener_)
        urlOpener_(url);
    else if (url.isLocalFile())
        openWithDesktop(QFile::encodeName(url.toLocalFile()).toStdString());
    else
        openWebPage(url.toString());
}

void MainWindow::openDocument(const std::string& bytePath) {
    if (urlOpener_)
        urlOpener_(fileUrlOf(bytePath));
    else
        openWithDesktop(bytePath);
}

void MainWindow::showHelp() {
    const QUrl url = helpUrl();
    if (!url.isEmpty())
        openUrl(url);
}

void MainWindow::showAbout() {
    messageBox(aboutText(), tr("About Trevalo"), true);
}

void MainWindow::openWebSite() {
    openUrl(QUrl(QString::fromLatin1(kWebSiteAddress)));
}

void MainWindow::quit() {
    files_->stopDelete();
    abandonSearch();
    QCoreApplication::exit(0);
}

} // namespace trevalo
