#pragma once

#include "search/SearchHost.h"
#include "search/SearchRun.h"
#include "search/SearchState.h"
#include "ui/LayoutRule.h"
#include "ui/Twips.h"

#include <QWidget>

#include <array>
#include <functional>
#include <memory>

class QAction;
class QCheckBox;
class QFrame;
class QLabel;
class QMenu;
class QProgressBar;
class QPushButton;
class QStatusBar;
class QUrl;

namespace trevalo {

class FileCommands;
class FileOpFrame;
class ResultListModel;
class ResultListView;
class SetupPanel;
class TabStrip;

// The main window: the set-up panel above, the four result lists under a tab strip with the
// file-operations frame beside them, and the status bar with the progress bar. It runs the
// search command (as its RunHost) and lays itself out on every change of its size.
class frmMain : public QWidget, public RunHost {
    Q_OBJECT
public:
    explicit frmMain(QWidget* parent = nullptr);
    ~frmMain() override;

    // Empties the path list and the result lists, shrinks the window to the set-up panel (in
    // the normal state), chooses all search types and refreshes the tab counts.
    void Init();
    // Tab captions with each list's row count.
    void UpdateCount();
    // Sorts result list `list` by a 1-based column; order 0 ascending, 1 descending.
    void SortByColumn(int list, int column, int order);
    // The layout rule for the window's present size (LayoutRule.h).
    void runLayout();

    ResultListModel& resultModel(int list) const {
        return *results_[static_cast<std::size_t>(list)];
    }
    // The current list (CurList) and its selected row, or -1.
    ResultListModel& currentModel() const { return resultModel(CurList); }
    int selectedRow() const;
    SearchRun& searchRun() { return *run_; }
    FileCommands& fileCommands() { return *files_; }
    const Twips& twips() const { return tw_; }

    // Every message box of the window goes through here. Tests set a hook so that nothing
    // modal opens; the hook gets the text and the title. Details, when given, are shown on
    // request below the text.
    using MessageHook = std::function<void(const QString& text, const QString& title)>;
    void setMessageHook(MessageHook hook) { messageHook_ = std::move(hook); }
    void messageBox(const QString& text, const QString& title, bool information = false,
                    const QString& details = {});
    // Opens documents and web addresses (help, web site, found files); the result is not
    // reported. Tests swap in an opener that records the addresses.
    using UrlOpener = std::function<bool(const QUrl&)>;
    void setUrlOpener(UrlOpener opener) { urlOpener_ = std::move(opener); }
    void openUrl(const QUrl& url);
    // Opens a file (a byte path) with the desktop's program for it.
    void shellOpen(const std::string& bytePath);

    // RunHost
    SearchRequest searchRequest() override;
    void showMessage(const std::string& text, const std::string& title) override;
    void focusDriveList() override;
    void clearList(int list) override;
    void updateCount() override { UpdateCount(); }
    void searchStarted() override;
    void searchEnded() override;
    void sortList(int list, int column, int order) override { SortByColumn(list, column, order); }
    void runOnHostThread(std::function<void()> fn) override;
    void selectPathRow(int row) override;
    void setProgress(double percent) override;
    void setStatus(const std::string& text) override;
    void appendRows(int list, std::vector<ResultRow> rows) override;

    // The index of the visible result list.
    int CurList = 0;

    SetupPanel* frmPath;
    TabStrip* tabMain;
    std::array<QFrame*, kResultListCount> frmResult{};
    std::array<ResultListView*, kResultListCount> lstResult{};
    FileOpFrame* frmFileOp;
    QPushButton* cmdTask;
    QLabel* imgPreview;
    QCheckBox* chkPreview;
    QStatusBar* StatusBar1;
    QProgressBar* pbMain;
    QLabel* StatusPanel;

    QMenu* MnuMain;
    QAction* mnuHelp;
    QAction* mnuAbout;
    QAction* mnuWebSite;
    QAction* MnuQuit;

    QMenu* mnuFile;
    QAction* mnuOpen;
    QAction* mnuDelete;
    QAction* mnuRen;
    QAction* mnuMarkAll;
    QAction* mnuMarkOld;
    QAction* mnuMarkNewer;
    QAction* mnuClearMarks;

public slots:
    // The file commands, on the current list (FileCommands). They are wired to the file menu,
    // the Task button, the result lists' clicks and keys.
    void Preview();         // a row of a result list was clicked
    void OpenFile();        // "&Open", or a double click on a row
    void DelFile();         // "&Delete": the marked files to the trash
    void RenFile();         // "&Rename" the selected file
    void MarkAll();         // "Mark &all"
    void MarkOlder();       // "Mark &older files for deletion"
    void MarkNewer();       // "Mark &newer files for deletion"
    void ClearMarks();      // "&Clear all marks"
    void FileMenuOpening(); // mnuFile is about to open: enable the commands that apply

    void Help(); // also F1
    void About();
    void WebSite();
    // Ends the program at once; a running search is stopped first, a running delete after
    // its current file.
    void Quit();

signals:
    // A search has ended and its lists are sorted and counted.
    void searchFinished();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void buildMenus();
    void buildResultLists();
    void buildStatusBar();
    void setFocusOrder();
    void tabClicked(int index);
    void rowClicked(int list, int row);
    // Esc: stops a running search, like its Cancel button; nothing when no search runs.
    void cancelSearchKey();
    void popUpFileMenu(const QPoint& globalPos);
    WindowState windowStateNow() const;
    int statusBarHeightPx() const;

    Twips tw_;
    std::unique_ptr<SearchRun> run_;
    FileCommands* files_ = nullptr;
    std::array<ResultListModel*, kResultListCount> results_{};
    MessageHook messageHook_;
    UrlOpener urlOpener_;
    bool inLayout_ = false;
};

} // namespace trevalo
