#include "ui/frmMain.h"

#include "platform/ByteText.h"
#include "platform/desktop/DataFiles.h"
#include "platform/desktop/ShellOpen.h"
#include "results/ResultListModel.h"
#include "results/ResultListView.h"
#include "search/SearchText.h"
#include "ui/DriveList.h"
#include "ui/FileCommands.h"
#include "ui/FileOpFrame.h"
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

frmMain::frmMain(QWidget* parent) : QWidget(parent), tw_(screenDpi()) {
    frmPath = new SetupPanel(this);
    tabMain = new TabStrip(this);
    frmFileOp = new FileOpFrame(this);
    cmdTask = frmFileOp->cmdTask;
    imgPreview = frmFileOp->imgPreview;
    chkPreview = frmFileOp->chkPreview;
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(tr("Trevalo - Find duplicates, Free memory, File better"));
    const QString icon = dataFilePath(QStringLiteral("trevalo.svg"));
    if (!icon.isEmpty())
        setWindowIcon(QIcon(icon));

    frmPath->placeControls(tw_);
    frmPath->setGeometry(tw_.rect(design::frmPath));
    tabMain->setGeometry(tw_.rect(design::tabMain));
    frmFileOp->setGeometry(tw_.rect(design::frmFileOp));
    frmFileOp->placeControls(tw_);
    buildResultLists();
    buildStatusBar();
    buildMenus();
    files_ = new FileCommands(*this);
    setFocusOrder();

    connect(frmPath->cmdSrch, &QPushButton::clicked, this, &frmMain::startOrCancelSearch);
    connect(frmPath->cmdNewSrch, &QPushButton::clicked, this, &frmMain::Init);
    connect(frmPath->cmdMenu, &QPushButton::clicked, this,
            [this] { MnuMain->popup(QCursor::pos()); });
    connect(cmdTask, &QPushButton::clicked, this, [this] { popUpFileMenu(QCursor::pos()); });
    connect(frmPath, &SetupPanel::message, this,
            [this](const QString& text) { messageBox(text, QString::fromLatin1(kAppTitle)); });
    connect(tabMain->tabBar(), &QTabBar::currentChanged, this, &frmMain::tabClicked);

    LayoutInput minimum;
    minimum.statusBarHeight = tw_.twips(statusBarHeightPx());
    setMinimumSize(tw_.pxAtLeast(design::minWindowWidth - design::decorationWidth),
                   tw_.pxAtLeast(minClientHeight(minimum)));
    resize(tw_.px(9855), tw_.px(7215));

    // The load step: the status bar and its progress bar are in place; start like New Search.
    Init();
    runLayout();
}

frmMain::~frmMain() {
    // The workers must be gone before the lists they feed.
    files_->stopDelete();
    abandonSearch();
}

void frmMain::buildResultLists() {
    QTabBar* tabs = tabMain->tabBar();
    for (int i = 0; i < kResultListCount; ++i) {
        const std::string_view caption = kResultListCaptions[static_cast<std::size_t>(i)];
        tabs->addTab(QString::fromLatin1(caption.data(), static_cast<qsizetype>(caption.size())));

        auto* frame = new QFrame(this);
        frame->setObjectName(QStringLiteral("frmResult%1").arg(i));
        frame->setFrameShape(QFrame::NoFrame);
        auto* view = new ResultListView(frame);
        view->setObjectName(QStringLiteral("lstResult%1").arg(i));
        auto* model = new ResultListModel(this);
        view->setResultModel(model);
        view->setColumnWidths(resultColumnWidths(tw_, i, view->fontMetrics()));
        frame->setGeometry(tw_.rect(design::tabMain).adjusted(0, tabMain->headerHeight(), 0, 0));
        view->setGeometry(0, 0, frame->width(), frame->height());
        frame->setVisible(i == 0);

        connect(view, &ResultListView::rowClicked, this,
                [this, i](int row) { rowClicked(i, row); });
        connect(view, &ResultListView::rowDoubleClicked, this, &frmMain::OpenFile);
        connect(view, &ResultListView::rightButtonReleased, this, &frmMain::popUpFileMenu);

        frmResult[static_cast<std::size_t>(i)] = frame;
        lstResult[static_cast<std::size_t>(i)] = view;
        results_[static_cast<std::size_t>(i)] = model;
    }
    tabs->setCurrentIndex(0);
}

int frmMain::statusBarHeightPx() const {
    return std::max(tw_.px(design::statusBarHeight), fontMetrics().height() + 8);
}

void frmMain::buildStatusBar() {
    StatusBar1 = new QStatusBar(this);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    StatusBar1->setSizeGripEnabled(true);
    pbMain = new QProgressBar;
    pbMain->setObjectName(QStringLiteral("pbMain"));
    pbMain->setRange(0, 100);
    pbMain->setValue(0);
    pbMain->setTextVisible(false);
    auto* section = new ProgressSection(pbMain, tw_.px(kProgressInset), StatusBar1);
    section->setFixedWidth(tw_.px(kProgressPanelWidth));
    StatusBar1->addWidget(section, 0);
    StatusPanel = new QLabel(StatusBar1);
    StatusPanel->setObjectName(QStringLiteral("StatusPanel"));
    StatusPanel->setMinimumWidth(tw_.px(1440));
    StatusBar1->addWidget(StatusPanel, 1);
    StatusBar1->setFixedHeight(statusBarHeightPx());
}

void frmMain::buildMenus() {
    MnuMain = new QMenu(tr("&Menu"), this);
    MnuMain->setObjectName(QStringLiteral("MnuMain"));
    mnuHelp = MnuMain->addAction(tr("Help"), this, &frmMain::Help);
    mnuHelp->setShortcut(QKeySequence::HelpContents);
    mnuHelp->setShortcutContext(Qt::WindowShortcut);
    addAction(mnuHelp);
    mnuAbout = MnuMain->addAction(tr("About Trevalo"), this, &frmMain::About);
    MnuMain->addSeparator();
    mnuWebSite = MnuMain->addAction(tr("Trevalo Web Site"), this, &frmMain::WebSite);
    MnuMain->addSeparator();
    MnuQuit = MnuMain->addAction(tr("&Quit"), this, &frmMain::Quit);

    mnuFile = new QMenu(tr("File"), this);
    mnuFile->setObjectName(QStringLiteral("mnuFile"));
    mnuOpen = mnuFile->addAction(tr("&Open"), this, &frmMain::OpenFile);
    mnuDelete = mnuFile->addAction(tr("&Delete"), this, &frmMain::DelFile);
    mnuRen = mnuFile->addAction(tr("&Rename"), this, &frmMain::RenFile);
    mnuFile->addSeparator();
    mnuMarkAll = mnuFile->addAction(tr("Mark &all"), this, &frmMain::MarkAll);
    mnuMarkOld =
        mnuFile->addAction(tr("Mark &older files for deletion"), this, &frmMain::MarkOlder);
    mnuMarkNewer =
        mnuFile->addAction(tr("Mark &newer files for deletion"), this, &frmMain::MarkNewer);
    mnuClearMarks = mnuFile->addAction(tr("&Clear all marks"), this, &frmMain::ClearMarks);
    connect(mnuFile, &QMenu::aboutToShow, this, &frmMain::FileMenuOpening);

    new QShortcut(QKeySequence(Qt::Key_Escape), this, this, &frmMain::cancelSearchKey);
}

void frmMain::setFocusOrder() {
    const QList<QWidget*> order = {cmdTask,
                                   chkPreview,
                                   frmPath->cmdSrch,
                                   frmPath->cmdNewSrch,
                                   frmPath->lstSrchType,
                                   frmPath->cmdMenu,
                                   frmPath->chkSubDir,
                                   frmPath->cmdAdd,
                                   frmPath->cmdRemove,
                                   frmPath->txtExt,
                                   frmPath->dirPath,
                                   frmPath->drvPath,
                                   tabMain->tabBar(),
                                   frmPath->lstPath,
                                   lstResult[0],
                                   lstResult[1],
                                   lstResult[2],
                                   lstResult[3]};
    for (qsizetype i = 0; i + 1 < order.size(); ++i)
        QWidget::setTabOrder(order[i], order[i + 1]);
}

void frmMain::Init() {
    frmPath->clearPaths();
    for (ResultListModel* model : results_)
        model->clear();
    if (windowStateNow() == WindowState::Normal) {
        LayoutInput in;
        in.statusBarHeight = tw_.twips(StatusBar1->height());
        resize(width(), std::max(minimumHeight(), tw_.pxAtLeast(minClientHeight(in))));
    }
    frmPath->selectAllSearchTypes();
    UpdateCount();
}

void frmMain::UpdateCount() {
    QTabBar* tabs = tabMain->tabBar();
    for (int i = 0; i < kResultListCount; ++i)
        tabs->setTabText(i, countCaption(tabs->tabText(i), resultModel(i).rowCount()));
}

void frmMain::SortByColumn(int list, int column, int order) {
    if (list < 0 || list >= kResultListCount)
        return;
    resultModel(list).sortByColumn(column - 1,
                                   order == 0 ? Qt::AscendingOrder : Qt::DescendingOrder);
}

int frmMain::selectedRow() const {
    return lstResult[static_cast<std::size_t>(CurList)]->selectedRow();
}

WindowState frmMain::windowStateNow() const {
    if (isMinimized())
        return WindowState::Minimized;
    if (isMaximized() || isFullScreen())
        return WindowState::Maximized;
    return WindowState::Normal;
}

void frmMain::runLayout() {
    if (inLayout_)
        return;
    inLayout_ = true;

    LayoutInput in;
    in.windowWidth = tw_.twips(width()) + design::decorationWidth;
    in.windowHeight = tw_.twips(height()) + design::decorationHeight;
    in.clientHeight = tw_.twips(height());
    in.state = windowStateNow();
    in.statusBarHeight = tw_.twips(StatusBar1->height());
    in.tabHeaderHeight = tw_.twips(tabMain->headerHeight());
    in.tabBorder = tw_.twips(tabMain->border());
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

    StatusBar1->setGeometry(0, clientHeight - StatusBar1->height(), clientWidth,
                            StatusBar1->height());
    tabMain->setGeometry(tw_.px(design::tabMain.left), tw_.px(design::tabMain.top),
                         tw_.px(out.tabMainWidth),
                         out.tabMainHeight ? tw_.px(*out.tabMainHeight) : tabMain->height());

    if (in.state != WindowState::Minimized) {
        if (out.resultFrame && out.resultList) {
            const auto list = static_cast<std::size_t>(CurList);
            frmResult[list]->setGeometry(tw_.rect(*out.resultFrame));
            lstResult[list]->setGeometry(tw_.rect(*out.resultList));
        }
        frmPath->setGeometry(tw_.px(design::frmPath.left), tw_.px(design::frmPath.top),
                             tw_.px(*out.frmPathWidth), tw_.px(design::frmPath.height));
        frmPath->fitWidth(tw_, *out.frmSelectPathWidth, *out.lstPathWidth, *out.fraSrchLeft);
        frmFileOp->move(tw_.px(*out.frmFileOpLeft), tw_.px(design::frmFileOp.top));
    }
    inLayout_ = false;
}

void frmMain::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    runLayout();
}

void frmMain::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange)
        runLayout();
}

void frmMain::closeEvent(QCloseEvent* event) {
    // Closing ends the program: a running delete stops after its current file, a running
    // search at once, and their workers are waited for.
    files_->stopDelete();
    abandonSearch();
    event->accept();
}

void frmMain::tabClicked(int index) {
    if (index < 0 || index >= kResultListCount || index == CurList)
        return;
    frmResult[static_cast<std::size_t>(index)]->show();
    frmResult[static_cast<std::size_t>(CurList)]->hide();
    CurList = index;
    runLayout();
}

void frmMain::rowClicked(int list, int row) {
    // The click selects its row before the preview looks at the selection (a Ctrl+click
    // would otherwise leave the list without one).
    lstResult[static_cast<std::size_t>(list)]->selectRow(row);
    Preview();
}

void frmMain::cancelSearchKey() {
    if (searchStep_ == SearchStep::Running)
        startOrCancelSearch();
}

void frmMain::popUpFileMenu(const QPoint& globalPos) {
    mnuFile->popup(globalPos);
}

void frmMain::messageBox(const QString& text, const QString& title, bool information,
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

void frmMain::startOrCancelSearch() {
    SearchRequest request;
    request.paths = frmPath->pathRows();
    request.types = frmPath->searchTypes();
    if (request.paths.empty()) {
        messageBox(QString::fromLatin1(kSelectPathMessage), QString::fromLatin1(kSelectPathTitle));
        frmPath->drvPath->setFocus(Qt::OtherFocusReason);
        return;
    }
    if (searchStep_ != SearchStep::Idle) {
        StatusPanel->setText(QString::fromLatin1(kStoppingStatus));
        session_.cancel();
        searchStep_ = SearchStep::Stopping;
        return;
    }
    for (ResultListModel* model : results_)
        model->clear();
    UpdateCount();
    StatusPanel->setText(QString::fromLatin1(kStatusStart));
    searchStep_ = SearchStep::Running;
    frmPath->cmdSrch->setText(tr("&Cancel"));
    frmPath->setSearchRunning(true);
    if (windowStateNow() == WindowState::Normal)
        resize(width(), tw_.pxAtLeast(design::searchWindowHeight - design::decorationHeight));
    ++generation_;
    session_.start(std::move(request));
}

void frmMain::onWindowThread(std::function<void()> fn) {
    QMetaObject::invokeMethod(
        this,
        [this, generation = generation_.load(), fn = std::move(fn)] {
            if (generation == generation_)
                fn();
        },
        Qt::QueuedConnection);
}

void frmMain::progress(double percent) {
    const int value = std::clamp(static_cast<int>(std::floor(percent)), 0, 100);
    onWindowThread([this, value] { pbMain->setValue(value); });
}

void frmMain::phase(SearchPhase phase) {
    if (phase == SearchPhase::Walking) // "Start ..." shows from the click on
        return;
    onWindowThread(
        [this, text = QString::fromLatin1(phaseText(phase))] { StatusPanel->setText(text); });
}

void frmMain::rows(int list, std::vector<ResultRow> rows) {
    if (list < 0 || list >= kResultListCount)
        return;
    auto shared = std::make_shared<std::vector<ResultRow>>(std::move(rows));
    onWindowThread([this, list, shared] { resultModel(list).appendRows(std::move(*shared)); });
}

void frmMain::pathRow(int row) {
    onWindowThread([this, row] { frmPath->selectPathRow(row); });
}

void frmMain::finished(const SearchOutcome& outcome) {
    onWindowThread([this, outcome] { finishSearch(outcome); });
}

void frmMain::finishSearch(const SearchOutcome& outcome) {
    session_.wait();
    pbMain->setValue(0);
    StatusPanel->setText(displayText(outcomeText(outcome)));
    SortByColumn(ListDuplicates, ColGroup + 1, 0);
    SortByColumn(ListSameName, ColName + 1, 0);
    SortByColumn(ListZeroSize, ColName + 1, 0);
    UpdateCount();
    searchStep_ = SearchStep::Idle;
    frmPath->cmdSrch->setText(tr("&Search"));
    frmPath->setSearchRunning(false);
    emit searchFinished();
}

void frmMain::abandonSearch() {
    session_.stop();
    ++generation_;
    searchStep_ = SearchStep::Idle;
}

// ---- The file commands ----

void frmMain::Preview() {
    files_->preview();
}
void frmMain::OpenFile() {
    files_->openSelected();
}
void frmMain::DelFile() {
    // The rows go and the counts follow once the files have moved.
    files_->deleteMarked();
}
void frmMain::RenFile() {
    files_->renameSelected();
}
void frmMain::MarkAll() {
    files_->markAll(true);
}
void frmMain::MarkOlder() {
    files_->markByAge(true);
}
void frmMain::MarkNewer() {
    files_->markByAge(false);
}
void frmMain::ClearMarks() {
    files_->markAll(false);
}
void frmMain::FileMenuOpening() {
    files_->fileMenuOpening();
}

// ---- The general menu ----

void frmMain::openUrl(const QUrl& url) {
    if (urlOpener_)
        urlOpener_(url);
    else if (url.isLocalFile())
        ShellOpen(QFile::encodeName(url.toLocalFile()).toStdString());
    else
        openWebPage(url.toString());
}

void frmMain::shellOpen(const std::string& bytePath) {
    if (urlOpener_)
        urlOpener_(fileUrlOf(bytePath));
    else
        ShellOpen(bytePath);
}

void frmMain::Help() {
    const QUrl url = helpUrl();
    if (!url.isEmpty())
        openUrl(url);
}

void frmMain::About() {
    messageBox(aboutText(), tr("About Trevalo"), true);
}

void frmMain::WebSite() {
    openUrl(QUrl(QString::fromLatin1(kWebSiteAddress)));
}

void frmMain::Quit() {
    files_->stopDelete();
    abandonSearch();
    QCoreApplication::exit(0);
}

} // namespace trevalo
