// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "platform/desktop/DesktopOpen.h"
#include "results/ResultsFile.h"
#include "results/ResultsProof.h"
#include "search/SearchEvents.h"
#include "search/SearchSession.h"
#include "search/SearchState.h"
#include "search/TimeLeft.h"
#include "ui/FileCommands.h"
#include "ui/Twips.h"

#include <QWidget>
#include <thread>

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

class QAction;
class QCheckBox;
class QFrame;
class QLabel;
class QMenu;
class QProgressBar;
class QScrollArea;
class QSplitter;
class QStatusBar;
class QTimer;
class QUrl;

namespace trevalo {

class FileOpPanel;
class FilterBar;
class MarkCommands;
class TotalsLabel;
class ResultListModel;
class ResultListView;
class SetupPanel;
class TabStrip;

// The main window: the set-up panel above, the four result lists under a tab strip with the
// file-operations panel beside them (a splitter between), and the status bar with the progress
// bar. It runs the searches (the search button starts one and, while it runs, cancels it) and
// hears their events on its own thread. Layouts place the widgets; the window's size and place,
// the splitter and the column widths are remembered between runs. Its widgets are its own;
// tests find them by object name.
class MainWindow : public QWidget, private SearchEvents, private FileCommandsHost {
    Q_OBJECT
public:
    explicit MainWindow(QWidget* parent = nullptr);
    ~MainWindow() override;

    // Empties the path list, the result lists and the status text, chooses all search types and
    // refreshes the tab counts. The window keeps its size.
    void resetForNewSearch();
    // Tab captions with each list's row count.
    void updateTabCounts() override;
    // Sorts result list `list` by a column (ResultColumn, kReasonColumn).
    void sortList(int list, int column, Qt::SortOrder order);

    ResultListModel& resultModel(int list) const override {
        return *results_[static_cast<std::size_t>(list)];
    }
    // The index of the visible result list (ResultList).
    int currentList() const override { return currentList_; }
    // The visible result list and its selected row, or -1.
    ResultListModel& currentModel() const { return resultModel(currentList_); }
    int selectedRow() const override;
    // Shows result list `list` (as a click on its tab does).
    void showList(int list);
    // Selects row `row` of the visible list.
    void selectRow(int row);

    // Opens a folder and adds it as a search path with the panel's pattern and sub-folder
    // choice; a folder that cannot be opened is named in a message box. False when not added.
    bool addSearchPath(const std::string& folder);
    // Saves the window's size and place, the splitter and the column widths.
    void saveSettings() const;
    // The search button: starts a search with the path rows and search types of the set-up
    // panel, or asks a running one to stop.
    void startOrCancelSearch();
    // True from the start of a search until its worker has returned.
    bool searchRunning() const { return session_.isRunning(); }
    FileCommands& fileCommands() { return *files_; }
    MarkCommands& markCommands() { return *marks_; }
    const Twips& twips() const { return tw_; }

    // Every message box of the window goes through here. Tests set a hook so that nothing
    // modal opens; the hook gets the text and the title. Details, when given, are shown on
    // request below the text.
    using MessageHook = std::function<void(const QString& text, const QString& title)>;
    void setMessageHook(MessageHook hook) { messageHook_ = std::move(hook); }
    void messageBox(const QString& text, const QString& title, bool information = false,
                    const QString& details = {}) override;
    // Opens documents and web addresses (help, web site, found files) with the desktop's
    // programs; when nothing can open one, a message names it and says why. Tests swap in an
    // opener that records the addresses.
    using UrlOpener = std::function<bool(const QUrl&)>;
    void setUrlOpener(UrlOpener opener) { urlOpener_ = std::move(opener); }
    void openUrl(const QUrl& url);
    // Opens a file (a byte path) with the desktop's program for it.
    void openDocument(const std::string& bytePath) override;
    // The message for an address no program could open: what it is (a path or an address),
    // and why.
    void cannotOpen(const QString& shown, const QString& reason);

    // Saved results. The file dialogs go through a hook that tests set: it gets the dialog's
    // title, its file filter and whether a file is to be written, and returns the chosen path
    // (empty when cancelled).
    using FileDialogHook =
        std::function<QString(const QString& title, const QString& filter, bool save)>;
    void setFileDialogHook(FileDialogHook hook) { fileDialogHook_ = std::move(hook); }
    // File > Save Results...: the four lists, the set-up and the time of the last search.
    void saveResultsFile();
    bool saveResultsTo(const std::string& path);
    // File > Open Results... (and a results file named on the command line): the file is read
    // and its rows checked against the disk on a worker; then the four lists show its rows,
    // the stale ones greyed. A file that is refused leaves the lists as they were. Either way
    // resultsOpened follows.
    void openResultsFile();
    void openResultsFrom(const std::string& path);
    bool openingResults() const { return opening_; }
    // File > Export List...: the rows shown of the visible list as CSV.
    void exportList();
    bool exportListTo(const std::string& path);

    // The row menu: the selected row's folder in the desktop's file manager, the file
    // selected where it can; the full path of the selected row, or of every marked row shown,
    // to the clipboard.
    void openContainingFolder();
    // Mark older/newer files for deletion.
    void markByAge(Age age);
    void copyPaths(bool marked);

    // Empties the proof cache, so that the next search reads every file it compares.
    void forgetProofs();
    void showHelp(); // also F1
    void showAbout();
    void openWebSite();
    // Ends the program at once; a running search is stopped first, a running delete after
    // its current file.
    void quit();

signals:
    // A search has ended and its lists are sorted and counted.
    void searchFinished();
    // Opening a results file has ended; ok is false when the file was refused.
    void resultsOpened(bool ok);

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void buildLayout();
    void openAddress(const QUrl& url, const QString& shown);
    // What hands a launcher's later failure to cannotOpen on the window's thread.
    OpenFailed failureMessenger(const QString& shown);
    // The size and place of the last run, or a size that fits the screen.
    void restoreSettings();
    // A window wide enough for it gives the preview at least its least width.
    void widenPreview();
    void buildResultLists();
    // The tabs of the whole-folder lists the last search or opened file filled; the others hide.
    void showWholeLists(const std::array<bool, kResultListCount>& shown);
    void buildStatusBar();
    void buildMenus();
    void buildGeneralMenu();
    void buildFileMenu();
    void addMarkAndResultsActions();
    // The file commands' keys act on the result lists only, so that typing in the set-up panel
    // keeps them.
    void installListKeys();
    void setFocusOrder();
    void tabClicked(int index);
    // The current row of a list moved (click or key): it is selected and previewed.
    void currentRowMoved(int list, int row);
    void currentRowClicked(int list);
    // The file menu is about to open: the marking by age applies to lists with groups only.
    void fileMenuOpening();
    // Esc: stops a running search, like its Cancel button; nothing when no search runs.
    void cancelSearchKey();
    void popUpFileMenu(const QPoint& globalPos);
    // A menu opened by a button: at the mouse when the mouse is on the button, else (from the
    // keyboard) below the button.
    void popUpAtButton(QMenu* menu, QWidget* button);
    // The file menu at the current row of the visible list (Shift+F10, the Menu key).
    void popUpFileMenuAtRow();
    // After a search: the first list of "Duplicates", "Zero Size", "Same Name" with rows.
    void showFirstFilledList();
    bool normalState() const;
    // The room the screen's available area leaves for the window's inside.
    QSize screenRoom() const;
    int statusBarHeightPx() const;
    ResultListView* currentView() const {
        return resultViews_[static_cast<std::size_t>(currentList_)];
    }

    // A Keep box of the path list was ticked or cleared: the listed files under that path are
    // kept (their marks cleared) or let go at once.
    void followKeepBox(int row, bool kept);
    // The visible list changed: the totals and the filter follow it.
    void followCurrentList();
    // The filter box's text changed: the visible list shows the rows it lets through.
    void applyFilter();
    // The end of a search in the status bar, with the sizes not compared.
    QString endText(const SearchOutcome& outcome) const;

    // FileCommandsHost
    int focusedRow() const override;
    void showStatus(const QString& text) override;
    void groupsChanged() override;
    // "Same Name" after a search or an opened file: each row learns its "Duplicates" group, and
    // identical files of one name stand together.
    void sortSameName();
    QLabel& previewLabel() const override;
    bool previewOn() const override;

    // The search: idle -> running (the button, with at least one path row) -> stopping (the
    // button or Esc while running) -> idle (the search has ended and its end is shown).
    enum class SearchStep { Idle, Running, Stopping };
    // SearchEvents, called on the search's worker thread; each hands its work to the window's
    // thread, in order.
    void progress(double percent) override;
    void phase(SearchPhase phase) override;
    void rows(int list, std::vector<ResultRow> rows) override;
    void pathRow(int row) override;
    void work(const SearchWork& work) override;
    // On the window's thread: the stage, the files found and the bytes compared with the time
    // left, in the status.
    void showWork(const SearchWork& work);
    // The status of a running search from the last work heard of, the time left as of now.
    void showWorkText();
    void finished(const SearchOutcome& outcome) override;
    // Runs fn on the window's thread unless the search that queued it has been abandoned since.
    void onWindowThread(std::function<void()> fn);
    // On the window's thread, once the search has ended: sorts and counts the lists.
    void finishSearch(const SearchOutcome& outcome);
    // Stops a running search at once and waits for its worker; its end is not shown.
    void abandonSearch();
    // Results are saved and opened while no search runs and no file is being opened; otherwise
    // the user is told why not.
    bool idleForResults();
    // The chosen path of a file dialog, or empty.
    QString chooseFile(const QString& title, const QString& filter, bool save);
    // On the window's thread, once a results file has been read and proven against the disk.
    void showOpenedResults(const std::string& path, SavedResults results,
                           const ProofReport& report);
    // While an opened file's rows are proven: the bytes compared, in the status and the bar.
    void showOpeningWork(const SearchWork& work);
    // The search button or Esc while a results file is opened: its check stops, and the
    // groups not proven stay greyed.
    void cancelOpening();
    // The path a save dialog chose, with "." + suffix added when its name holds no "." (as the
    // dialog's default suffix does). When a file has that name, the user is asked here whether
    // to replace it: the dialog does not ask, since it could only ask about the name typed.
    // Empty when cancelled or not to be replaced.
    std::string chooseSavePath(const QString& title, const QString& filter, const QString& suffix);

    Twips tw_;
    SetupPanel* setupPanel_;
    TabStrip* resultTabs_;
    // The set-up panel scrolls in its own area, above the results; a splitter between them
    // shares the window's height.
    QScrollArea* setupScroll_ = nullptr;
    QSplitter* setupSplitter_ = nullptr;
    QSplitter* splitter_ = nullptr;
    std::array<QFrame*, kResultListCount> resultFrames_{};
    std::array<ResultListView*, kResultListCount> resultViews_{};
    std::array<ResultListModel*, kResultListCount> results_{};
    FileOpPanel* fileOpPanel_;
    QStatusBar* statusBar_ = nullptr;
    QProgressBar* progressBar_ = nullptr;
    QWidget* progressSection_ = nullptr; // shown only while there is work
    QTimer* workTimer_ = nullptr;        // runs only while a search runs
    QLabel* statusLabel_ = nullptr;      // an ElidedLabel

    QMenu* generalMenu_ = nullptr;
    QMenu* fileMenu_ = nullptr;
    QAction* openAction_ = nullptr;
    QAction* openFolderAction_ = nullptr;
    QAction* copyPathAction_ = nullptr;
    QAction* copyPathsAction_ = nullptr;
    QAction* deleteAction_ = nullptr;
    QAction* renameAction_ = nullptr;
    QAction* replaceAction_ = nullptr;
    QAction* markOlderAction_ = nullptr;
    QAction* markNewerAction_ = nullptr;
    QAction* saveResultsAction_ = nullptr;
    QAction* openResultsAction_ = nullptr;
    QAction* exportListAction_ = nullptr;

    FileCommands* files_ = nullptr;
    MarkCommands* marks_ = nullptr;
    TotalsLabel* totals_ = nullptr;
    FilterBar* filterBar_ = nullptr;
    QCheckBox* differingBox_ = nullptr; // "Same Name": only names whose files differ
    QAction* restoreAction_ = nullptr;
    bool onlyWithKeptRun_ = false; // the running search lists only groups with a kept file
    MessageHook messageHook_;
    FileDialogHook fileDialogHook_;
    UrlOpener urlOpener_;
    bool splitterPlaced_ = false;
    bool rowJustMoved_ = false; // until the click that moved the current row is heard of
    int currentList_ = 0;
    SearchStep searchStep_ = SearchStep::Idle;
    // The last search's stage and time left, while it runs.
    SearchWork work_;
    TimeLeft timeLeft_;
    // What Save Results writes besides the lists: from the last search or the opened file.
    std::optional<SearchRequest> lastSetup_;
    ResultsSummary lastSummary_;
    std::int64_t searchedAt_ = 0;
    bool opening_ = false;
    std::atomic<bool> openCancel_{false};
    std::jthread opener_; // reads and proves an opened results file
    // Counts the searches started and abandoned: what a worker queued for an earlier one is
    // dropped. Read by the worker, changed on the window's thread.
    std::atomic<std::uint64_t> generation_{0};
    SearchSession session_{*this}; // last: its worker is stopped before the rest goes
};

} // namespace trevalo
