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

constexpr int kProgressPanelWidth = 3000; // twips, the status bar's first section
constexpr int kProgressInset = 40;        // twips from the section's left, right and top

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
    setupPanel = new SetupPanel(this);
    resultTabs = new TabStrip(this);
    fileOpPanel = new FileOpPanel(this);
    taskButton = fileOpPanel->taskButton;
    previewLabel = fileOpPanel->previewLabel;
    previewCheckBox = fileOpPanel->previewCheckBox;
    setObjectName(QStringLiteral("mainWindow"));
    setWindowTitle(tr("Trevalo - Find duplicates, Free memory, File better"));
    const QString icon = dataFilePath(QStringLiteral("trevalo.svg"));
    if (!icon.isEmpty())
        setWindowIcon(QIcon(icon));

    setupPanel->placeControls(tw_);
    setupPanel->setGeometry(tw_.rect(design::setupPanel));
    resultTabs->setGeometry(tw_.rect(design::resultTabs));
    fileOpPanel->setGeometry(tw_.rect(design::fileOpPanel));
    fileOpPanel->placeControls(tw_);
    buildResultLists();
    buildStatusBar();
    buildMenus();
    files_ = new FileCommands(*this);
    setFocusOrder();

    connect(setupPanel->searchButton, &QPushButton::clicked, this,
            &MainWindow::startOrCancelSearch);
    connect(setupPanel->newSearchButton, &QPushButton::clicked, this,
            &MainWindow::resetForNewSearch);
    connect(setupPanel->menuButton, &QPushButton::clicked, this,
            [this] { generalMenu->popup(QCursor::pos()); });
    connect(taskButton, &QPushButton::clicked, this, [this] { popUpFileMenu(QCursor::pos()); });
    connect(setupPanel, &SetupPanel::message, this,
            [this](const QString& text) { messageBox(text, QString::fromLatin1(kAppTitle)); });
    connect(resultTabs->tabBar(), &QTabBar::currentChanged, this, &MainWindow::tabClicked);

    LayoutInput minimum;
    minimum.statusBarHeight = tw_.twips(statusBarHeightPx());
    setMinimumSize(tw_.pxAtLeast(design::minWindowWidth - design::decorationWidth),
                   tw_.pxAtLeast(minClientHeight(minimum)));
    resize(tw_.px(9855), tw_.px(7215));

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
    QTabBar* tabs = resultTabs->tabBar();
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
            tw_.rect(design::resultTabs).adjusted(0, resultTabs->headerHeight(), 0, 0));
        view->setGeometry(0, 0, frame->width(), frame->height());
        frame->setVisible(i == 0);

        connect(view, &ResultListView::rowClicked, this,
                [this, i](int row) { rowClicked(i, row); });
        connect(view, &ResultListView::rowDoubleClicked, this, &MainWindow::openSelected);
        connect(view, &ResultListView::rightButtonReleased, this, &MainWindow::popUpFileMenu);

        resultFrames[static_cast<std::size_t>(i)] = frame;
        resultViews[static_cast<std::size_t>(i)] = view;
        results_[static_cast<std::size_t>(i)] = model;
    }
    tabs->setCurrentIndex(0);
}

int MainWindow::statusBarHeightPx() const {
    return std::max(tw_.px(design::statusBarHeight), fontMetrics().height() + 8);
}

void MainWindow::buildStatusBar() {
    statusBar = new QStatusBar(this);
    statusBar->setObjectName(QStringLiteral("statusBar"));
    statusBar->setSizeGripEnabled(true);
    progressBar = new QProgressBar;
    progressBar->setObjectName(QStringLiteral("progressBar"));
    progressBar->setRange(0, 100);
    progressBar->setValue(0);
    progressBar->setTextVisible(false);
    auto* section = new ProgressSection(progressBar, tw_.px(kProgressInset), statusBar);
    section->setFixedWidth(tw_.px(kProgressPanelWidth));
    statusBar->addWidget(section, 0);
    statusLabel = new QLabel(statusBar);
    statusLabel->setObjectName(QStringLiteral("statusLabel"));
    statusLabel->setMinimumWidth(tw_.px(1440));
    statusBar->addWidget(statusLabel, 1);
    statusBar->setFixedHeight(statusBarHeightPx());
}

void MainWindow::buildMenus() {
    generalMenu = new QMenu(tr("&Menu"), this);
    generalMenu->setObjectName(QStringLiteral("generalMenu"));
    helpAction = generalMenu->addAction(tr("Help"), this, &MainWindow::showHelp);
    helpAction->setShortcut(QKeySequence::HelpContents);
    helpAction->setShortcutContext(Qt::WindowShortcut);
    addAction(helpAction);
    aboutAction = generalMenu->addAction(tr("About Trevalo"), this, &MainWindow::showAbout);
    generalMenu->addSeparator();
    webSiteAction = generalMenu->addAction(tr("Trevalo Web Site"), this, &MainWindow::openWebSite);
    generalMenu->addSeparator();
    quitAction = generalMenu->addAction(tr("&Quit"), this, &MainWindow::quit);

    fileMenu = new QMenu(tr("File"), this);
    fileMenu->setObjectName(QStringLiteral("fileMenu"));
    openAction = fileMenu->addAction(tr("&Open"), this, &MainWindow::openSelected);
    deleteAction = fileMenu->addAction(tr("&Delete"), this, &MainWindow::deleteMarked);
    renameAction = fileMenu->addAction(tr("&Rename"), this, &MainWindow::renameSelected);
    fileMenu->addSeparator();
    markAllAction = fileMenu->addAction(tr("Mark &all"), this, &MainWindow::markAll);
    markOlderAction =
        fileMenu->addAction(tr("Mark &older files for deletion"), this, &MainWindow::markOlder);
    markNewerAction =
        fileMenu->addAction(tr("Mark &newer files for deletion"), this, &MainWindow::markNewer);
    clearMarksAction = fileMenu->addAction(tr("&Clear all marks"), this, &MainWindow::clearMarks);
    connect(fileMenu, &QMenu::aboutToShow, this, &MainWindow::fileMenuOpening);

    new QShortcut(QKeySequence(Qt::Key_Escape), this, this, &MainWindow::cancelSearchKey);
}

void MainWindow::setFocusOrder() {
    const QList<QWidget*> order = {taskButton,
                                   previewCheckBox,
                                   setupPanel->searchButton,
                                   setupPanel->newSearchButton,
                                   setupPanel->searchTypeList,
                                   setupPanel->menuButton,
                                   setupPanel->subFoldersCheckBox,
                                   setupPanel->addPathButton,
                                   setupPanel->removePathButton,
                                   setupPanel->patternEdit,
                                   setupPanel->folderList,
                                   setupPanel->driveCombo,
                                   resultTabs->tabBar(),
                                   setupPanel->searchPathList,
                                   resultViews[0],
                                   resultViews[1],
                                   resultViews[2],
                                   resultViews[3]};
    for (qsizetype i = 0; i + 1 < order.size(); ++i)
        QWidget::setTabOrder(order[i], order[i + 1]);
}

void MainWindow::resetForNewSearch() {
    setupPanel->clearPaths();
    for (ResultListModel* model : results_)
        model->clear();
    if (windowStateNow() == WindowState::Normal) {
        LayoutInput in;
        in.statusBarHeight = tw_.twips(statusBar->height());
        resize(width(), std::max(minimumHeight(), tw_.pxAtLeast(minClientHeight(in))));
    }
    setupPanel->selectAllSearchTypes();
    updateTabCounts();
}

void MainWindow::updateTabCounts() {
    QTabBar* tabs = resultTabs->tabBar();
    for (int i = 0; i < kResultListCount; ++i)
        tabs->setTabText(i, countCaption(tabs->tabText(i), resultModel(i).rowCount()));
}

void MainWindow::sortList(int list, int column, Qt::SortOrder order) {
    if (list < 0 || list >= kResultListCount)
        return;
    resultModel(list).sortByColumn(column, order);
}

int MainWindow::selectedRow() const {
    return resultViews[static_cast<std::size_t>(currentList_)]->selectedRow();
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
    in.windowWidth = tw_.twips(width()) + design::decorationWidth;
    in.windowHeight = tw_.twips(height()) + design::decorationHeight;
    in.clientHeight = tw_.twips(height());
    in.state = windowStateNow();
    in.statusBarHeight = tw_.twips(statusBar->height());
    in.tabHeaderHeight = tw_.twips(resultTabs->headerHeight());
    in.tabBorder = tw_.twips(resultTabs->border());
    const WindowLayout out = layoutWindow(in);

    int clientWidth = width();
    int clientHeight = height();
    if (out.newWindowWidth || out.newWindowHeight) {
        if (out.newWindowWidth)
            clientWidth = tw_.pxAtLeast(*out.newWindowWidth - design::decorationWidth);
        if (out.newWindowHeight)
            clientHeight = tw_.pxAtLeast(*out.newWindowHeight - design::decorationHeight);
        resize(clientWidth, clientHeight);
    }

    statusBar->setGeometry(0, clientHeight - statusBar->height(), clientWidth, statusBar->height());
    resultTabs->setGeometry(tw_.px(design::resultTabs.left), tw_.px(design::resultTabs.top),
                            tw_.px(out.resultTabsWidth),
                            out.resultTabsHeight ? tw_.px(*out.resultTabsHeight)
                                                 : resultTabs->height());

    if (in.state != WindowState::Minimized) {
        if (out.resultFrame && out.resultList) {
            const auto list = static_cast<std::size_t>(currentList_);
            resultFrames[list]->setGeometry(tw_.rect(*out.resultFrame));
            resultViews[list]->setGeometry(tw_.rect(*out.resultList));
        }
        setupPanel->setGeometry(tw_.px(design::setupPanel.left), tw_.px(design::setupPanel.top),
                                tw_.px(*out.setupPanelWidth), tw_.px(design::setupPanel.height));
        setupPanel->fitWidth(tw_, *out.pathPickerWidth, *out.searchPathListWidth,
                             *out.searchControlsLeft);
        fileOpPanel->move(tw_.px(*out.fileOpPanelLeft), tw_.px(design::fileOpPanel.top));
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
    resultFrames[static_cast<std::size_t>(index)]->show();
    resultFrames[static_cast<std::size_t>(currentList_)]->hide();
    currentList_ = index;
    runLayout();
}

void MainWindow::rowClicked(int list, int row) {
    // The click selects its row before the preview looks at the selection (a Ctrl+click
    // would otherwise leave the list without one).
    resultViews[static_cast<std::size_t>(list)]->selectRow(row);
    previewSelected();
}

void MainWindow::cancelSearchKey() {
    if (searchStep_ == SearchStep::Running)
        startOrCancelSearch();
}

void MainWindow::popUpFileMenu(const QPoint& globalPos) {
    fileMenu->popup(globalPos);
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
    request.paths = setupPanel->pathRows();
    request.types = setupPanel->searchTypes();
    if (request.paths.empty()) {
        messageBox(QString::fromLatin1(kSelectPathMessage), QString::fromLatin1(kSelectPathTitle));
        setupPanel->driveCombo->setFocus(Qt::OtherFocusReason);
        return;
    }
    if (searchStep_ != SearchStep::Idle) {
        statusLabel->setText(QString::fromLatin1(kStoppingStatus));
        session_.cancel();
        searchStep_ = SearchStep::Stopping;
        return;
    }
    for (ResultListModel* model : results_)
        model->clear();
    updateTabCounts();
    statusLabel->setText(QString::fromLatin1(kStatusStart));
    searchStep_ = SearchStep::Running;
    setupPanel->searchButton->setText(tr("&Cancel"));
    setupPanel->setSearchRunning(true);
    if (windowStateNow() == WindowState::Normal)
        resize(width(), tw_.pxAtLeast(design::searchWindowHeight - design::decorationHeight));
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
    onWindowThread([this, value] { progressBar->setValue(value); });
}

void MainWindow::phase(SearchPhase phase) {
    if (phase == SearchPhase::Walking) // "Start ..." shows from the click on
        return;
    onWindowThread(
        [this, text = QString::fromLatin1(phaseText(phase))] { statusLabel->setText(text); });
}

void MainWindow::rows(int list, std::vector<ResultRow> rows) {
    if (list < 0 || list >= kResultListCount)
        return;
    auto shared = std::make_shared<std::vector<ResultRow>>(std::move(rows));
    onWindowThread([this, list, shared] { resultModel(list).appendRows(std::move(*shared)); });
}

void MainWindow::pathRow(int row) {
    onWindowThread([this, row] { setupPanel->selectPathRow(row); });
}

void MainWindow::finished(const SearchOutcome& outcome) {
    onWindowThread([this, outcome] { finishSearch(outcome); });
}

void MainWindow::finishSearch(const SearchOutcome& outcome) {
    session_.wait();
    progressBar->setValue(0);
    statusLabel->setText(displayText(outcomeText(outcome)));
    sortList(ListDuplicates, GroupColumn, Qt::AscendingOrder);
    sortList(ListSameName, NameColumn, Qt::AscendingOrder);
    sortList(ListZeroSize, NameColumn, Qt::AscendingOrder);
    updateTabCounts();
    searchStep_ = SearchStep::Idle;
    setupPanel->searchButton->setText(tr("&Search"));
    setupPanel->setSearchRunning(false);
    emit searchFinished();
}

void MainWindow::abandonSearch() {
    session_.stop();
    ++generation_;
    searchStep_ = SearchStep::Idle;
}

// ---- The file commands ----

void MainWindow::previewSelected() {
    files_->preview();
}
void MainWindow::openSelected() {
    files_->openSelected();
}
void MainWindow::deleteMarked() {
    // The rows go and the counts follow once the files have moved.
    files_->deleteMarked();
}
void MainWindow::renameSelected() {
    files_->renameSelected();
}
void MainWindow::markAll() {
    files_->markAll(true);
}
void MainWindow::markOlder() {
    files_->markByAge(Age::Older);
}
void MainWindow::markNewer() {
    files_->markByAge(Age::Newer);
}
void MainWindow::clearMarks() {
    files_->markAll(false);
}
void MainWindow::fileMenuOpening() {
    files_->fileMenuOpening();
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
