// SPDX-License-Identifier: GPL-2.0-or-later
#include "ui/FileCommands.h"

#include "platform/ByteText.h"
#include "platform/FileSystem.h"
#include "results/Marking.h"
#include "results/PicturePreview.h"
#include "results/ResultListModel.h"
#include "results/ResultTotals.h"
#include "ui/GeneralMenu.h"

#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPixmap>
#include <QProgressDialog>

#include <algorithm>
#include <cerrno>
#include <chrono>

namespace trevalo {

namespace {

// The failure message names this many files; the box's details hold all of them.
constexpr std::size_t kListedFailures = 20;
// The worker hands its progress to the window at most this often.
constexpr std::chrono::milliseconds kProgressInterval{100};
// A delete that ends sooner shows no progress dialog.
constexpr int kProgressDelayMs = 500;

QString appTitle() {
    return QString::fromLatin1(kAppTitle);
}

// Why a rename failed, as a sentence for the message's second line.
QString renameReason(const std::string& reason) {
    if (reason == errorText(EEXIST))
        return QObject::tr("A file of that name is there already.");
    if (reason == errorText(ENAMETOOLONG))
        return QObject::tr("The name is too long.");
    if (reason == errorText(EACCES) || reason == errorText(EPERM))
        return QObject::tr("Permission denied.");
    if (reason == "not a file name")
        return QObject::tr("The name is not allowed: it is empty, \".\" or \"..\", or holds "
                           "a \"/\".");
    QString text = displayText(reason);
    if (!text.isEmpty())
        text[0] = text[0].toUpper();
    if (!text.endsWith(QLatin1Char('.')))
        text += QLatin1Char('.');
    return text;
}

// The delete's question: how many files go and their size, once; then what is special about
// them (the last copies, the groups left without one, the marked files a Keep folder holds).
QString deleteQuestion(const DeletePlan& plan, const CopiesLeft& left, const QString& keptLine) {
    const std::size_t files = plan.items.size();
    QStringList parts{trashTotalText(plan)};
    if (left.filesWithoutCopy > 0)
        parts << (files == 1 ? QObject::tr("It has no identical copy left unmarked.")
                  : left.filesWithoutCopy == 1
                      ? QObject::tr("1 of them has no identical copy left unmarked.")
                      : QObject::tr("%1 of them have no identical copy left unmarked.")
                            .arg(countText(left.filesWithoutCopy)));
    if (left.groupsWithoutCopy == 1)
        parts << QObject::tr("1 group would keep no copy at all.");
    else if (left.groupsWithoutCopy > 1)
        parts << QObject::tr("%1 groups would keep no copy at all.")
                     .arg(countText(left.groupsWithoutCopy));
    if (!keptLine.isEmpty())
        parts << keptLine;
    parts << QObject::tr("Go ahead?");
    return parts.join(QStringLiteral("\n\n"));
}

} // namespace

// One delete: the list it works on and the files it was asked to move. The worker and the
// window's thread both read it; nobody changes it once the worker runs.
struct FileCommands::DeleteRun {
    int list = 0;
    DeletePlan plan;
};

FileCommands::FileCommands(FileCommandsHost& host, QWidget* window)
    : QObject(window), w_(host), window_(window) {}

FileCommands::~FileCommands() {
    stopDelete();
}

// ---- Marking ----

void FileCommands::markAll() {
    w_.resultModel(w_.currentList()).setAllChecked(true);
}

void FileCommands::clearMarks() {
    w_.resultModel(w_.currentList()).setAllChecked(false);
}

void FileCommands::markByAge(Age age) {
    // markByAge sorts by the list's key column itself, so the sort and the marks reach the
    // view as one change.
    const int list = w_.currentList();
    ResultListModel& model = w_.resultModel(list);
    model.editRows([list, age, scope = model.shownScope()](std::vector<ResultRow>& rows) {
        trevalo::markByAge(rows, list, age, scope);
    });
}

void FileCommands::toggleCurrentMark() {
    const int focused = w_.focusedRow();
    const int row = focused >= 0 ? focused : w_.selectedRow();
    ResultListModel& model = w_.resultModel(w_.currentList());
    if (row >= 0 && static_cast<std::size_t>(row) < model.rows().size())
        model.setChecked(row, !model.row(row).checked);
}

// ---- Delete ----

bool FileCommands::confirm(const QString& text, const QString& title) {
    if (confirmHook_)
        return confirmHook_(text, title);
    QMessageBox box(QMessageBox::Question, title, text, QMessageBox::Yes | QMessageBox::No,
                    window_);
    box.setDefaultButton(QMessageBox::No);
    widenToTitle(box);
    return box.exec() == QMessageBox::Yes;
}

void FileCommands::deleteMarked() {
    if (deleting_)
        return;
    const int list = w_.currentList();
    // The files are taken before the question: the delete moves what the user confirmed,
    // whatever a running search does to the lists meanwhile.
    auto run = std::make_shared<DeleteRun>();
    run->list = list;
    // Only the marked rows in sight: a filter hides the others.
    run->plan = planDelete(w_.resultModel(list).rows(), w_.resultModel(list).shownScope());
    // Kept files never go, whatever marked them (a results file opened, say); the user is told.
    std::size_t keptMarked = 0;
    const std::vector<ResultRow>& rows = w_.resultModel(list).rows();
    w_.resultModel(list).shownScope().forEach(
        rows.size(), [&](std::size_t i) { keptMarked += rows[i].checked && rows[i].kept ? 1 : 0; });
    const QString keptLine =
        keptMarked == 0   ? QString()
        : keptMarked == 1 ? tr("1 marked file stays: it is in a Keep folder.")
                          : tr("%1 marked files stay: they are in a Keep folder.").arg(keptMarked);
    if (run->plan.items.empty()) {
        // Kept and stale rows never carry a mark; Delete on one says why it is left alone.
        const int selected = w_.selectedRow();
        if (keptMarked > 0)
            w_.messageBox(keptLine, appTitle());
        else if (selected >= 0 && w_.resultModel(list).row(selected).stale)
            w_.messageBox(tr("File can't be deleted.") + QLatin1Char('\n') + tr(kStaleRowTip),
                          tr("Delete"));
        else
            w_.messageBox(tr("Please mark files."), appTitle());
        return;
    }
    const CopiesLeft left = copiesLeftAfter(run->plan, w_.resultModel(ListDuplicates).rows());

    deleting_ = true; // also while the question is open
    const QString question = deleteQuestion(run->plan, left, keptLine);
    if (!confirm(question, tr("Delete"))) {
        deleting_ = false;
        return;
    }

    const int total = static_cast<int>(run->plan.items.size());
    progress_ = new QProgressDialog(total == 1 ? tr("Moving 1 file to the trash ...")
                                               : tr("Moving %1 files to the trash ...").arg(total),
                                    tr("Cancel"), 0, total, window_);
    progress_->setWindowTitle(appTitle());
    progress_->setWindowModality(Qt::WindowModal);
    progress_->setAutoReset(false);
    progress_->setAutoClose(false);
    progress_->setMinimumDuration(kProgressDelayMs);
    connect(progress_, &QProgressDialog::canceled, this, [this] { cancel_ = true; });
    progress_->setValue(0); // starts the delay after which the dialog shows

    cancel_ = false;
    worker_.start([this, run] {
        auto last = std::chrono::steady_clock::now();
        const DeleteProgress progress = [this, &last](std::size_t done, std::size_t) {
            const auto now = std::chrono::steady_clock::now();
            if (now - last < kProgressInterval)
                return;
            last = now;
            QMetaObject::invokeMethod(
                this, [this, done] { showDeleteProgress(done); }, Qt::QueuedConnection);
        };
        DeleteOutcome outcome = trashPlannedFiles(run->plan, progress, &cancel_);
        QMetaObject::invokeMethod(
            this, [this, run, outcome = std::move(outcome)] { finishDelete(run, outcome); },
            Qt::QueuedConnection);
    });
}

void FileCommands::showDeleteProgress(std::size_t done) {
    if (!progress_ || progress_->wasCanceled())
        return;
    // A shown modal progress dialog runs the event loop inside setValue; the delete's end must
    // not run in there (see finishDelete).
    inProgressUpdate_ = true;
    progress_->setValue(static_cast<int>(done));
    inProgressUpdate_ = false;
}

void FileCommands::stopDelete() {
    cancel_ = true;
    worker_.join();
}

void FileCommands::finishDelete(const std::shared_ptr<const DeleteRun>& run,
                                const DeleteOutcome& outcome) {
    if (inProgressUpdate_) {
        QMetaObject::invokeMethod(
            this, [this, run, outcome] { finishDelete(run, outcome); }, Qt::QueuedConnection);
        return;
    }
    worker_.join();
    // The progress dialog goes before any message: left to its own timer it would show itself
    // later, modal, above the message box.
    delete progress_.data();
    progress_ = nullptr;

    // The lists may have been re-sorted or refilled while the worker ran, so the rows of the
    // files that moved are found by path, in every list: no list may still offer a file that
    // is in the trash now.
    // The rows that go are remembered with the files, for "Restore Last Delete".
    if (!outcome.moved.empty()) {
        DeleteRecord record(run->plan, outcome);
        for (int list = 0; list < kResultListCount; ++list)
            w_.resultModel(list).removeRowsWhere(
                [&record, list](const ResultRow& r) { return record.takeRow(list, r); });
        history_.push(std::move(record));
        emit restoreAvailable(true);
    }
    w_.updateTabCounts();

    if (!outcome.failures.empty()) {
        const QString details = outcome.failures.size() > kListedFailures
                                    ? failureMessage(outcome.failures)
                                    : QString();
        w_.messageBox(failureMessage(outcome.failures, kListedFailures), appTitle(), false,
                      details);
    }
    deleting_ = false;
}

// ---- Restore ----

void FileCommands::restoreLastDelete() {
    if (deleting_ || history_.empty())
        return;
    const RestoreReport report = history_.restoreLast();
    emit restoreAvailable(!history_.empty());
    // The rows come back where the list's present order puts them.
    for (int list = 0; list < kResultListCount; ++list) {
        std::vector<ResultRow> rows = report.rows[static_cast<std::size_t>(list)];
        if (rows.empty())
            continue;
        ResultListModel& model = w_.resultModel(list);
        model.appendRows(std::move(rows));
        if (model.sortColumn() >= 0)
            model.sortByColumn(model.sortColumn(), model.sortOrder());
    }
    w_.updateTabCounts();
    const QString problems = restoreMessage(report, kListedFailures);
    if (!problems.isEmpty())
        w_.messageBox(problems, tr("Restore Last Delete"), false,
                      report.files.size() - report.restoredCount() > kListedFailures
                          ? restoreMessage(report)
                          : QString());
}

// ---- Rename and open ----

QString FileCommands::prompt(const QString& title, const QString& label,
                             const QString& defaultText) {
    if (promptHook_)
        return promptHook_(title, label, defaultText);
    bool ok = false;
    const QString text =
        QInputDialog::getText(window_, title, label, QLineEdit::Normal, defaultText, &ok);
    return ok ? text : QString();
}

void FileCommands::renameSelected() {
    const int selected = w_.selectedRow();
    if (selected < 0) {
        w_.messageBox(tr("Please select a file."), tr("Select file"));
        return;
    }
    // The row is copied before the prompt: the rename acts on the file the prompt names.
    const ResultRow row = w_.resultModel(w_.currentList()).row(selected);
    if (row.isFolder) {
        w_.messageBox(tr("File can't be renamed.") + QLatin1Char('\n') + tr("It is a folder."),
                      tr("Can't rename"));
        return;
    }
    if (row.stale) {
        w_.messageBox(tr("File can't be renamed.") + QLatin1Char('\n') + tr(kStaleRowTip),
                      tr("Can't rename"));
        return;
    }
    if (row.kept) {
        w_.messageBox(tr("File can't be renamed.") + QLatin1Char('\n') +
                          tr("It is in a Keep folder: kept files are never renamed."),
                      tr("Can't rename"));
        return;
    }
    const QString current = displayText(row.name);
    // A refused name comes back in the prompt for another try, until the user cancels.
    QString typed = current;
    std::string newName;
    RenameOutcome renamed;
    for (;;) {
        const QString answer = prompt(tr("Rename"),
                                      tr("Please type a new file name for ") + QLatin1Char('\n') +
                                          displayText(row.path()),
                                      typed);
        if (answer.isEmpty() || answer == current)
            return;
        // Characters the user left alone keep their bytes, also those that are not UTF-8.
        newName = bytesOfEditedName(row.name, answer);
        renamed = renameFileOfRow(row, newName);
        if (renamed.ok)
            break;
        QString text = tr("File can't be renamed.");
        if (!renamed.reason.empty())
            text += QLatin1Char('\n') + renameReason(renamed.reason);
        w_.messageBox(text, tr("Can't rename"));
        typed = answer;
    }
    // Every list shows the file under its new name, wherever a search that ended while the
    // prompt was open has put its rows.
    for (int list = 0; list < kResultListCount; ++list)
        w_.resultModel(list).renameFile(row.folder, row.name, newName, renamed.stamp);
}

void FileCommands::openSelected() {
    const int selected = w_.selectedRow();
    if (selected < 0) {
        w_.messageBox(tr("Please select a file."), tr("Select file"));
        return;
    }
    const std::string path = w_.resultModel(w_.currentList()).row(selected).path();
    const FileStatus now = statPath(path, false);
    if (now.kind == FileKind::Missing) {
        w_.messageBox(tr("File can't be opened: it is gone."), tr("Can't open"));
        return;
    }
    if (now.kind == FileKind::Failed) {
        w_.messageBox(tr("File can't be opened: %1.").arg(displayText(now.error.text())),
                      tr("Can't open"));
        return;
    }
    w_.openDocument(path);
}

// ---- Preview ----

void FileCommands::preview() {
    const int selected = w_.selectedRow();
    const std::string path =
        selected >= 0 ? w_.resultModel(w_.currentList()).row(selected).path() : std::string();
    QLabel* box = &w_.previewLabel();
    switch (previewFor(selected >= 0, w_.previewOn(), path)) {
    case PreviewAction::Keep:
        return;
    case PreviewAction::Clear:
        box->clear();
        return;
    case PreviewAction::Load:
        break;
    }
    box->clear();
    const qreal ratio = box->devicePixelRatioF();
    const QSize fit = box->contentsRect().size() * ratio;
    if (fit.isEmpty())
        return;
    QImage image = loadPreview(path, fit);
    if (image.isNull())
        return;
    if (image.width() > fit.width() || image.height() > fit.height())
        image = image.scaled(fit, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    QPixmap pixmap = QPixmap::fromImage(image);
    pixmap.setDevicePixelRatio(ratio);
    box->setPixmap(pixmap);
}

} // namespace trevalo
