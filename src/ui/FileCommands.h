#pragma once

#include "results/FileOperations.h"
#include "results/Marking.h"

#include <QObject>
#include <QPointer>
#include <QString>

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <thread>

class QAction;
class QProgressDialog;

namespace trevalo {

class MainWindow;

// What the file menu does to the current result list: marking, deleting the marked files to
// the trash, renaming and opening the selected file, and the picture preview of a clicked row.
// Also the keys of these commands. The window's slots hand over to this object.
//
// The delete runs on a worker thread; the window stays usable meanwhile and a second delete
// waits for the first to end. Everything else runs on the window's thread.
class FileCommands : public QObject {
    Q_OBJECT
public:
    // The window's menus and lists must exist; their keys are set up here.
    explicit FileCommands(MainWindow& window);
    // Stops a running delete after its current file.
    ~FileCommands() override;

    // The delete's question to the user; true goes ahead. Tests set a hook so that nothing
    // modal opens; without one, a Yes/No box asks with No as the default.
    using ConfirmHook = std::function<bool(const QString& text, const QString& title)>;
    void setConfirmHook(ConfirmHook hook) { confirmHook_ = std::move(hook); }
    // The rename's prompt box; returns the typed text, or an empty text when cancelled.
    using PromptHook = std::function<QString(const QString& title, const QString& label,
                                             const QString& defaultText)>;
    void setPromptHook(PromptHook hook) { promptHook_ = std::move(hook); }

    void markAll(bool checked);
    // Marks the older (or newer) file of each adjacent pair of a group, as one pass.
    void markByAge(Age age);
    // The file menu is opening: the marking by age applies to lists with groups only.
    void fileMenuOpening();
    // Flips the mark of the current row of the visible list.
    void toggleCurrentMark();

    void deleteMarked();
    bool deleteRunning() const { return deleting_; }
    // Asks a running delete to stop and waits until its current file is done. Rows of the
    // files that moved are still removed once the window's event loop gets to it.
    void stopDelete();

    void renameSelected();
    void openSelected();
    void preview();

private:
    struct DeleteRun;
    void installKeys();
    bool confirm(const QString& text, const QString& title);
    QString prompt(const QString& title, const QString& label, const QString& defaultText);
    void showDeleteProgress(std::size_t done);
    void finishDelete(const std::shared_ptr<const DeleteRun>& run, const DeleteOutcome& outcome);

    MainWindow& w_;
    ConfirmHook confirmHook_;
    PromptHook promptHook_;
    QAction* toggleMark_ = nullptr;

    bool deleting_ = false;
    bool inProgressUpdate_ = false;
    std::thread worker_;
    std::atomic<bool> cancel_{false};
    QPointer<QProgressDialog> progress_;
};

} // namespace trevalo
