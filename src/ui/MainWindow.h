#pragma once

#include "search/SearchEvents.h"
#include "search/SearchSession.h"
#include "search/SearchState.h"
#include "ui/LayoutRule.h"
#include "ui/Twips.h"

#include <QWidget>

#include <array>
#include <atomic>
#include <cstdint>
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
class FileOpPanel;
class ResultListModel;
class ResultListView;
class SetupPanel;
class TabStrip;

// The main window: the set-up panel above, the four result lists under a tab strip with the
// file-operations frame beside them, and the status bar with the progress bar. It runs the
// searches (the search button starts one and, while it runs, cancels it), hears their events on
// its own thread and lays itself out on every change of its size.
class MainWindow : public QWidget, private SearchEvents {
    Q_OBJECT
public:
    explicit MainWindow(QWidget* parent = nullptr);
    ~MainWindow() override;

    // Empties the path list and the result lists, shrinks the window to the set-up panel (in
    // the normal state), chooses all search types and refreshes the tab counts.
    void resetForNewSearch();
    // Tab captions with each list's row count.
    void updateTabCounts();
    // Sorts result list `list` by a column (ResultColumn, kReasonColumn).
    void sortList(int list, int column, Qt::SortOrder order);
    // The layout rule for the window's present size (LayoutRule.h).
    void runLayout();

    ResultListModel& resultModel(int list) const {
        return *results_[static_cast<std::size_t>(list)];
    }
    // The index of the visible result list (ResultList).
    int currentList() const { return currentList_; }
    // The visible result list and its selected row, or -1.
    ResultListModel& currentModel() const { return resultModel(currentList_); }
    int selectedRow() const;
    // The search button: starts a search with the path rows and search types of the set-up
    // panel, or asks a running one to stop.
    void startOrCancelSearch();
    // True from the start of a search until its worker has returned.
    bool searchRunning() const { return session_.isRunning(); }
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
    void openDocument(const std::string& bytePath);

    SetupPanel* setupPanel;
    TabStrip* resultTabs;
    std::array<QFrame*, kResultListCount> resultFrames{};
    std::array<ResultListView*, kResultListCount> resultViews{};
    FileOpPanel* fileOpPanel;
    QPushButton* taskButton;
    QLabel* previewLabel;
    QCheckBox* previewCheckBox;
    QStatusBar* statusBar;
    QProgressBar* progressBar;
    QLabel* statusLabel;

    QMenu* generalMenu;
    QAction* helpAction;
    QAction* aboutAction;
    QAction* webSiteAction;
    QAction* quitAction;

    QMenu* fileMenu;
    QAction* openAction;
    QAction* deleteAction;
    QAction* renameAction;
    QAction* markAllAction;
    QAction* markOlderAction;
    QAction* markNewerAction;
    QAction* clearMarksAction;

public slots:
    // The file commands, on the current list (FileCommands). They are wired to the file menu,
    // the Task button, the result lists' clicks and keys.
    void previewSelected(); // a row of a result list was clicked
    void openSelected();    // "&Open", or a double click on a row
    void deleteMarked();    // "&Delete": the marked files to the trash
    void renameSelected();  // "&Rename" the selected file
    void markAll();         // "Mark &all"
    void markOlder();       // "Mark &older files for deletion"
    void markNewer();       // "Mark &newer files for deletion"
    void clearMarks();      // "&Clear all marks"
    void fileMenuOpening(); // fileMenu is about to open: enable the commands that apply

    void showHelp(); // also F1
    void showAbout();
    void openWebSite();
    // Ends the program at once; a running search is stopped first, a running delete after
    // its current file.
    void quit();

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

    // The search: idle -> running (the button, with at least one path row) -> stopping (the
    // button or Esc while running) -> idle (the search has ended and its end is shown).
    enum class SearchStep { Idle, Running, Stopping };
    // SearchEvents, called on the search's worker thread; each hands its work to the window's
    // thread, in order.
    void progress(double percent) override;
    void phase(SearchPhase phase) override;
    void rows(int list, std::vector<ResultRow> rows) override;
    void pathRow(int row) override;
    void finished(const SearchOutcome& outcome) override;
    // Runs fn on the window's thread unless the search that queued it has been abandoned since.
    void onWindowThread(std::function<void()> fn);
    // On the window's thread, once the search has ended: sorts and counts the lists.
    void finishSearch(const SearchOutcome& outcome);
    // Stops a running search at once and waits for its worker; its end is not shown.
    void abandonSearch();
    int statusBarHeightPx() const;

    int currentList_ = 0;

    Twips tw_;
    FileCommands* files_ = nullptr;
    std::array<ResultListModel*, kResultListCount> results_{};
    MessageHook messageHook_;
    UrlOpener urlOpener_;
    bool inLayout_ = false;
    SearchStep searchStep_ = SearchStep::Idle;
    // Counts the searches started and abandoned: what a worker queued for an earlier one is
    // dropped. Read by the worker, changed on the window's thread.
    std::atomic<std::uint64_t> generation_{0};
    SearchSession session_{*this}; // last: its worker is stopped before the rest goes
};

} // namespace trevalo
