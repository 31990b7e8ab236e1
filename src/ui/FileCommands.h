// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "results/DeleteHistory.h"
#include "results/FileOperations.h"
#include "results/Marking.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <thread>

#include <atomic>
#include <functional>
#include <memory>
#include <string>

class QLabel;
class QProgressDialog;
class QWidget;

namespace trevalo {

class ResultListModel;

// What the file commands need of the window that shows the result lists.
class FileCommandsHost {
public:
    // The visible result list (ResultList), and the model of any list.
    virtual int currentList() const = 0;
    virtual ResultListModel& resultModel(int list) const = 0;
    // The selected row of the visible list, and the row with its keyboard focus; -1 for none.
    virtual int selectedRow() const = 0;
    virtual int focusedRow() const = 0;
    // The box the picture preview shows in, and whether the preview is switched on.
    virtual QLabel& previewLabel() const = 0;
    virtual bool previewOn() const = 0;
    // A message box; details, when given, are shown on request below the text.
    virtual void messageBox(const QString& text, const QString& title, bool information = false,
                            const QString& details = {}) = 0;
    // Opens a file (a byte path) with the desktop's program for it.
    virtual void openDocument(const std::string& bytePath) = 0;
    // Rows went from the lists: the tab counts follow.
    virtual void updateTabCounts() = 0;
    // The groups of identical files changed (a delete, a restore, a rename): "Same Name" learns
    // again which of its files are identical.
    virtual void groupsChanged() = 0;
    // A line in the status bar, telling what a command did.
    virtual void showStatus(const QString& text) = 0;

protected:
    ~FileCommandsHost() = default;
};

// What the file menu does to the current result list: marking, deleting the marked files to
// the trash, renaming and opening the selected file, and the picture preview of a clicked row.
//
// The delete runs on a worker thread; the window stays usable meanwhile and a second delete
// waits for the first to end. Everything else runs on the window's thread.
class FileCommands : public QObject {
    Q_OBJECT
public:
    // Dialogs (the question, the prompt, the delete's progress) open over `window`.
    FileCommands(FileCommandsHost& host, QWidget* window);
    // Stops a running delete after its current file.
    ~FileCommands() override;

    // The window's questions to the user (the delete's, and whether a saved file replaces
    // another); true goes ahead. Tests set a hook so that nothing modal opens; without one, a
    // Yes/No box asks with No as the default.
    using ConfirmHook = std::function<bool(const QString& text, const QString& title)>;
    void setConfirmHook(ConfirmHook hook) { confirmHook_ = std::move(hook); }
    bool confirm(const QString& text, const QString& title);
    // The rename's prompt box; returns the typed text, or an empty text when cancelled.
    using PromptHook = std::function<QString(const QString& title, const QString& label,
                                             const QString& defaultText)>;
    void setPromptHook(PromptHook hook) { promptHook_ = std::move(hook); }

    void markAll();
    void clearMarks();
    // Marks the older (or newer) file of each adjacent pair of a group, as one pass.
    void markByAge(Age age);
    void markOlder() { markByAge(Age::Older); }
    void markNewer() { markByAge(Age::Newer); }
    // Flips the mark of the current row of the visible list.
    void toggleCurrentMark();

    void deleteMarked();
    bool deleteRunning() const { return deleting_; }
    // "Replace with Links...": each marked file of "Duplicates" is replaced by a link of the
    // kind the user picks to the copy its group keeps, on the worker like a delete; the files
    // replaced go to the trash, and Restore Last Delete undoes it.
    void replaceWithLinks();
    // The question of the kind of link: the index of the button chosen (0 shared copies, 1
    // hard links, 2 symbolic links), or -1. Tests set a hook so that nothing modal opens.
    using ChoiceHook = std::function<int(const QString& text, const QStringList& choices)>;
    void setChoiceHook(ChoiceHook hook) { choiceHook_ = std::move(hook); }
    // Asks a running delete to stop and waits until its current file is done. Rows of the
    // files that moved are still removed once the window's event loop gets to it.
    void stopDelete();

    // "Restore Last Delete": moves the files of the last delete back from the trash on the
    // worker (a progress dialog with Cancel when it takes a while) and lists their rows again;
    // files that could not come back are named in a message.
    void restoreLastDelete();
    bool canRestore() const { return !history_.empty() && !deleting_; }
    // A search or an opened results file has replaced the lists: the files of earlier deletes
    // can still be put back, but their rows are not listed again.
    void listsReplaced() { ++lists_; }

    void renameSelected();
    void openSelected();
    void preview();

signals:
    // Whether a delete is there to restore changed.
    void restoreAvailable(bool available);

private:
    struct DeleteRun;
    int choose(const QString& text, const QStringList& choices, const QString& title);
    // Runs a planned delete or replacement on the worker, then finishDelete.
    void runPlan(const std::shared_ptr<DeleteRun>& run);
    QString prompt(const QString& title, const QString& label, const QString& defaultText);
    void showDeleteProgress(std::size_t done);
    void finishDelete(const std::shared_ptr<const DeleteRun>& run, const DeleteOutcome& outcome);
    void finishRestore(const std::shared_ptr<const DeleteRecord>& record,
                       const RestoreReport& report);
    // The progress dialog of a delete or a restore, shown once the work takes a while; its
    // Cancel stops the worker after its current file.
    void showProgressDialog(const QString& text, int total);
    // What the worker calls after each file: the dialog follows, at most ten times a second.
    DeleteProgress progressToWindow();
    // Once the worker has ended: joins it and closes the dialog. False while the dialog's own
    // event loop runs (the end is then queued again).
    bool closeProgressDialog();

    FileCommandsHost& w_;
    QWidget* window_;
    ConfirmHook confirmHook_;
    ChoiceHook choiceHook_;
    PromptHook promptHook_;

    bool deleting_ = false;
    bool inProgressUpdate_ = false;
    std::jthread worker_; // the delete's; joined by stopDelete, finishDelete and at the end
    std::atomic<bool> cancel_{false};
    QPointer<QProgressDialog> progress_;
    DeleteHistory history_;   // the deletes since the window opened
    std::uint64_t lists_ = 0; // counts the times the lists were replaced
};

} // namespace trevalo
