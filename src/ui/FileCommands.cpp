// SPDX-License-Identifier: GPL-2.0-or-later
#include "ui/FileCommands.h"

#include "platform/ByteText.h"
#include "platform/FileSystem.h"
#include "platform/UserText.h"
#include "results/Marking.h"
#include "results/PicturePreview.h"
#include "results/ResultListModel.h"
#include "results/ResultTotals.h"
#include "results/SizeText.h"
#include "ui/GeneralMenu.h"

#include <QAbstractButton>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPixmap>
#include <QProgressDialog>
#include <QPushButton>

#include <algorithm>
#include <array>
#include <cerrno>
#include <chrono>
#include <optional>

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
    if (reason == userText("FileOperations", "not a file name"))
        return QObject::tr("The name is not allowed: it is empty, \".\" or \"..\", or holds "
                           "a \"/\".");
    QString text = displayText(reason);
    if (!text.isEmpty())
        text[0] = text[0].toUpper();
    if (!text.endsWith(QLatin1Char('.')))
        text += QLatin1Char('.');
    return text;
}

// What a delete frees where some of its files have other names (hard links): empty when every
// file has one name. withNames: the plan with the other names the search found.
QString namesLine(const SpaceFreed& alone, const DeletePlan& withNames, const SpaceFreed& all) {
    if (alone.filesKeptByNames == 0)
        return {};
    QString text = countedText("trevalo::FileCommands",
                               "%n of them keep their bytes through other names (hard links),",
                               nullptr, alone.filesKeptByNames) +
                   QLatin1Char(' ') +
                   QObject::tr("so this frees %1.").arg(sizeForPeople(alone.bytes));
    const std::size_t others = withNames.otherNames.size();
    if (others > 0)
        text +=
            QLatin1Char(' ') +
            countedText("trevalo::FileCommands",
                        "The search found %n other names of them:", nullptr, others) +
            QLatin1Char(' ') +
            QObject::tr("moving those to the trash too frees %1.").arg(sizeForPeople(all.bytes));
    return text;
}

// The delete's question: how many files go and their size, once; then what is special about
// them (the space they free, the last copies, the groups left without one, the marked files
// a Keep folder holds).
QString deleteQuestion(const DeletePlan& plan, const CopiesLeft& left, const QString& keptLine,
                       const QString& namesText) {
    const std::size_t files = plan.items.size();
    QStringList parts{trashTotalText(plan)};
    if (!namesText.isEmpty())
        parts << namesText;
    const bool wholeFolders =
        std::any_of(plan.items.begin(), plan.items.end(),
                    [](const DeletePlan::Item& item) { return item.target == RowTarget::Folder; });
    if (left.filesWithoutCopy > 0 && wholeFolders)
        parts << countedText("trevalo::FileCommands",
                             "%n files in them would keep no identical copy.", nullptr,
                             left.filesWithoutCopy);
    else if (left.filesWithoutCopy > 0)
        parts << (files == 1 ? QObject::tr("It has no identical copy left unmarked.")
                             : countedText("trevalo::FileCommands",
                                           "%n of them have no identical copy left unmarked.",
                                           nullptr, left.filesWithoutCopy));
    if (left.groupsWithoutCopy > 0)
        parts << countedText("trevalo::FileCommands", "%n groups would keep no copy at all.",
                             nullptr, left.groupsWithoutCopy);
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
    std::uint64_t lists = 0; // the lists the plan was made from
    DeletePlan plan;
    std::optional<LinkKind> link; // the files are replaced by links of this kind
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
    run->lists = lists_;
    // Only the marked rows in sight: a filter hides the others.
    run->plan = planDelete(w_.resultModel(list).rows(), w_.resultModel(list).shownScope());
    // Kept files never go, whatever marked them (a results file opened, say); the user is told.
    std::size_t keptMarked = 0;
    const std::vector<ResultRow>& rows = w_.resultModel(list).rows();
    w_.resultModel(list).shownScope().forEach(
        rows.size(), [&](std::size_t i) { keptMarked += rows[i].checked && rows[i].kept ? 1 : 0; });
    const QString keptLine =
        keptMarked == 0
            ? QString()
            : countedText("trevalo::FileCommands",
                          "%n marked files stay: they are in a Keep folder.", nullptr, keptMarked);
    if (run->plan.items.empty()) {
        // Kept and stale rows never carry a mark; Delete on one says why it is left alone.
        const int selected = w_.selectedRow();
        if (keptMarked > 0)
            w_.messageBox(keptLine, appTitle());
        else if (selected >= 0 && w_.resultModel(list).row(selected).stale())
            w_.messageBox(tr("File can't be deleted.") + QLatin1Char('\n') +
                              staleRowText(w_.resultModel(list).row(selected)),
                          tr("Delete"));
        else
            w_.messageBox(tr("Please mark files."), appTitle());
        return;
    }
    const CopiesLeft left = copiesLeftAfter(run->plan, w_.resultModel(ListDuplicates).rows());

    // Files with other names the search found: the user may send those names too, which is
    // what frees the files' bytes.
    const std::vector<ResultRow>& listed = w_.resultModel(list).rows();
    DeletePlan withNames = run->plan;
    addOtherNames(withNames, listed);
    const QString namesText =
        namesLine(spaceFreed(run->plan, listed), withNames, spaceFreed(withNames, listed));

    deleting_ = true; // also while the question is open
    const QString question = deleteQuestion(run->plan, left, keptLine, namesText);
    if (withNames.otherNames.empty() || namesText.isEmpty()) {
        if (!confirm(question, tr("Delete"))) {
            deleting_ = false;
            return;
        }
    } else {
        const int chosen = choose(
            question, {tr("Move All Their Names"), tr("Move the Marked Names Only")}, tr("Delete"));
        if (chosen < 0 || chosen > 1) {
            deleting_ = false;
            return;
        }
        if (chosen == 0)
            run->plan = std::move(withNames);
    }

    runPlan(run);
}

void FileCommands::runPlan(const std::shared_ptr<DeleteRun>& run) {
    const int total = static_cast<int>(run->plan.items.size());
    showProgressDialog(run->link ? countedText("trevalo::FileCommands",
                                               "Replacing %n files with links ...", nullptr, total)
                                 : countedText("trevalo::FileCommands",
                                               "Moving %n files to the trash ...", nullptr, total),
                       total);
    worker_ = std::jthread([this, run] {
        DeleteOutcome outcome =
            run->link ? replacePlannedFiles(run->plan, *run->link, progressToWindow(), &cancel_)
                      : trashPlannedFiles(run->plan, progressToWindow(), &cancel_);
        QMetaObject::invokeMethod(
            this, [this, run, outcome = std::move(outcome)] { finishDelete(run, outcome); },
            Qt::QueuedConnection);
    });
}

int FileCommands::choose(const QString& text, const QStringList& choices, const QString& title) {
    if (choiceHook_)
        return choiceHook_(text, choices);
    QMessageBox box(QMessageBox::Question, title, text, QMessageBox::Cancel, window_);
    std::vector<QAbstractButton*> buttons;
    for (const QString& choice : choices)
        buttons.push_back(box.addButton(choice, QMessageBox::AcceptRole));
    box.setDefaultButton(QMessageBox::Cancel);
    widenToTitle(box);
    box.exec();
    const auto it = std::find(buttons.begin(), buttons.end(), box.clickedButton());
    return it == buttons.end() ? -1 : static_cast<int>(it - buttons.begin());
}

void FileCommands::replaceWithLinks() {
    if (deleting_)
        return;
    if (w_.currentList() != ListDuplicates) {
        w_.messageBox(tr("Files are replaced with links from the Duplicates list, where each "
                         "marked file has a copy to link to."),
                      appTitle());
        return;
    }
    ResultListModel& model = w_.resultModel(ListDuplicates);
    auto run = std::make_shared<DeleteRun>();
    run->list = ListDuplicates;
    run->lists = lists_;
    std::vector<DeleteFailure> left;
    run->plan = planLinks(model.rows(), model.shownScope(), left);
    QString leftLines;
    for (std::size_t i = 0; i < left.size() && i < kListedFailures; ++i)
        leftLines += QLatin1Char('\n') + displayText(left[i].path) + QStringLiteral(": ") +
                     displayText(left[i].reason);
    if (!left.empty())
        leftLines = QStringLiteral("\n\n") + tr("These marked files stay as they are:") + leftLines;
    if (run->plan.items.empty()) {
        w_.messageBox(left.empty() ? tr("Please mark files.") : leftLines.trimmed(), appTitle());
        return;
    }
    const std::size_t files = run->plan.items.size();
    const QString text =
        countedText("trevalo::FileCommands",
                    "%n marked files will be replaced with links to the copy each group keeps.",
                    nullptr, files) +
        QLatin1Char(' ') +
        tr("Each goes to the trash first, so Restore Last Delete puts it back.") + leftLines +
        QStringLiteral("\n\n") +
        tr("Shared copies (btrfs, XFS) stay two files, each with its own owner, mode and times, "
           "on blocks they share.\nHard links make the names one file: they then share one "
           "owner, mode and time, and a change through one name shows in all.\nSymbolic links "
           "name the copy's path: moving or deleting the copy breaks them.") +
        QStringLiteral("\n\n") +
        tr("Where the kind you choose is not possible, the file is named and left alone.");
    deleting_ = true; // also while the question is open
    const int chosen = choose(text, {tr("Shared Copies"), tr("Hard Links"), tr("Symbolic Links")},
                              tr("Replace with Links"));
    if (chosen < 0 || chosen > 2) {
        deleting_ = false;
        return;
    }
    run->link = std::array{LinkKind::Reflink, LinkKind::HardLink,
                           LinkKind::SymbolicLink}[static_cast<std::size_t>(chosen)];
    runPlan(run);
}

void FileCommands::showProgressDialog(const QString& text, int total) {
    progress_ = new QProgressDialog(text, tr("Cancel"), 0, total, window_);
    progress_->setWindowTitle(appTitle());
    progress_->setWindowModality(Qt::WindowModal);
    progress_->setAutoReset(false);
    progress_->setAutoClose(false);
    progress_->setMinimumDuration(kProgressDelayMs);
    connect(progress_, &QProgressDialog::canceled, this, [this] { cancel_ = true; });
    progress_->setValue(0); // starts the delay after which the dialog shows
    cancel_ = false;
}

DeleteProgress FileCommands::progressToWindow() {
    return [this, last = std::chrono::steady_clock::now()](std::size_t done, std::size_t) mutable {
        const auto now = std::chrono::steady_clock::now();
        if (now - last < kProgressInterval)
            return;
        last = now;
        QMetaObject::invokeMethod(
            this, [this, done] { showDeleteProgress(done); }, Qt::QueuedConnection);
    };
}

bool FileCommands::closeProgressDialog() {
    if (inProgressUpdate_)
        return false;
    worker_ = {}; // joins the worker
    // The progress dialog goes before any message: left to its own timer it would show itself
    // later, modal, above the message box.
    delete progress_.data();
    progress_ = nullptr;
    return true;
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
    worker_ = {}; // joins the worker
}

void FileCommands::finishDelete(const std::shared_ptr<const DeleteRun>& run,
                                const DeleteOutcome& outcome) {
    if (!closeProgressDialog()) {
        QMetaObject::invokeMethod(
            this, [this, run, outcome] { finishDelete(run, outcome); }, Qt::QueuedConnection);
        return;
    }

    // The lists may have been re-sorted or refilled while the worker ran, so the rows of the
    // files that moved are found by path, in every list: no list may still offer a file that
    // is in the trash now. A group left with one file is no group any more: its row leaves
    // too. The rows that go are remembered with the files, for "Restore Last Delete".
    std::size_t settled = 0;
    if (!outcome.moved.empty() || !outcome.otherMoved.empty()) {
        DeleteRecord record(run->plan, outcome, run->lists);
        for (int list = 0; list < kResultListCount; ++list) {
            ResultListModel& model = w_.resultModel(list);
            model.removeRowsWhere(
                [&record, list](const ResultRow& r) { return record.takeRow(list, r); });
            std::vector<ResultRow> alone = model.settleGroups(list);
            if (list == ListDuplicates)
                settled = alone.size();
            record.keepSettled(list, std::move(alone));
        }
        history_.push(std::move(record));
        emit restoreAvailable(true);
    }
    w_.updateTabCounts();
    w_.groupsChanged();
    const std::size_t moved = outcome.moved.size();
    const EntryCounts kinds = countEntries(run->plan, &outcome.moved);
    const bool filesOnly = kinds.folders == 0 && kinds.links == 0;
    QString status =
        !run->link
            ? (!filesOnly ? tr("%1 moved to the trash").arg(entriesText(kinds))
                          : countedText("trevalo::FileCommands", "%n files moved to the trash",
                                        nullptr, moved))
            : countedText("trevalo::FileCommands", "%n files replaced with links", nullptr, moved);
    if (!outcome.otherMoved.empty())
        status += countedText("trevalo::FileCommands", ", and %n other names of them", nullptr,
                              outcome.otherMoved.size());
    if (settled > 0)
        status += countedText("trevalo::FileCommands",
                              "; %n groups have one file left and are no longer listed", nullptr,
                              settled);
    std::vector<DeleteFailure> failures = outcome.failures;
    failures.insert(failures.end(), outcome.otherFailures.begin(), outcome.otherFailures.end());
    if (!failures.empty())
        status += countedText("trevalo::FileCommands", "; %n not moved", nullptr, failures.size());
    w_.showStatus(status);

    if (!failures.empty()) {
        const QString details =
            failures.size() > kListedFailures ? failureMessage(failures) : QString();
        w_.messageBox(failureMessage(failures, kListedFailures), appTitle(), false, details);
    }
    deleting_ = false;
}

// ---- Restore ----

void FileCommands::restoreLastDelete() {
    if (deleting_ || history_.empty())
        return;
    auto record = std::make_shared<const DeleteRecord>(history_.takeLast());
    deleting_ = true; // one file operation at a time
    emit restoreAvailable(false);
    const int total = static_cast<int>(record->files().size());
    showProgressDialog(
        countedText("trevalo::FileCommands", "Putting %n files back ...", nullptr, total), total);
    worker_ = std::jthread([this, record] {
        // Whether the rows come back is settled when the restore ends, against the lists then.
        RestoreReport report = restoreDelete(*record, true, progressToWindow(), &cancel_);
        QMetaObject::invokeMethod(
            this, [this, record, report = std::move(report)] { finishRestore(record, report); },
            Qt::QueuedConnection);
    });
}

void FileCommands::finishRestore(const std::shared_ptr<const DeleteRecord>& record,
                                 const RestoreReport& report) {
    if (!closeProgressDialog()) {
        QMetaObject::invokeMethod(
            this, [this, record, report] { finishRestore(record, report); }, Qt::QueuedConnection);
        return;
    }
    // A stopped restore leaves the files it did not try to the next one.
    if (report.cancelled)
        history_.push(record->untried(report.files.size()));
    emit restoreAvailable(!history_.empty());

    // The rows come back where the present order of their lists puts them, into the lists the
    // delete was made from only; there their groups are formed again.
    const bool listed = record->lists() == lists_;
    for (int list = 0; list < kResultListCount && listed; ++list) {
        std::vector<ResultRow> rows = report.rows[static_cast<std::size_t>(list)];
        if (rows.empty())
            continue;
        ResultListModel& model = w_.resultModel(list);
        model.appendRows(std::move(rows));
        if (model.sortColumn() >= 0)
            model.sortByColumn(model.sortColumn(), model.sortOrder());
        model.settleGroups(list);
    }
    w_.updateTabCounts();
    w_.groupsChanged();

    const std::size_t back = report.restoredCount();
    QString status = countedText("trevalo::FileCommands", "%n files put back", nullptr, back);
    if (back > 0 && !listed)
        status += tr("; not listed: the lists come from a later search or file");
    if (report.cancelled)
        status += countedText("trevalo::FileCommands", "; stopped: %n files are still in the trash",
                              nullptr, record->files().size() - report.files.size());
    w_.showStatus(status);
    const QString problems = restoreMessage(report, kListedFailures);
    if (!problems.isEmpty())
        w_.messageBox(problems, tr("Restore Last Delete"), false,
                      report.files.size() - report.restoredCount() > kListedFailures
                          ? restoreMessage(report)
                          : QString());
    deleting_ = false;
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
    if (row.target != RowTarget::File) {
        w_.messageBox(tr("File can't be renamed.") + QLatin1Char('\n') +
                          tr("Only files are renamed here: rename a folder or a link in your file "
                             "manager, then search again."),
                      tr("Can't rename"));
        return;
    }
    if (row.stale()) {
        w_.messageBox(tr("File can't be renamed.") + QLatin1Char('\n') + staleRowText(row),
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
    // prompt was open has put its rows. "Same Name" forms its groups again: the file may have
    // left its namesakes and joined others.
    for (int list = 0; list < kResultListCount; ++list) {
        ResultListModel& model = w_.resultModel(list);
        if (model.renameFile(row.folder(), row.name, newName, renamed.stamp) == 0 ||
            list != ListSameName)
            continue;
        model.sortByColumn(model.sortColumn() >= 0 ? model.sortColumn() : int(NameColumn),
                           model.sortOrder());
        model.settleGroups(list);
    }
    w_.updateTabCounts();
    w_.groupsChanged();
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
