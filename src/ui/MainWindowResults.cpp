// SPDX-License-Identifier: GPL-2.0-or-later
// The main window's saved results: Save Results, Open Results and Export List of the file menu.
#include "platform/ByteText.h"
#include "platform/FileSystem.h"
#include "platform/Process.h"
#include "results/ResultListModel.h"
#include "results/ResultTotals.h"
#include "results/ResultsCsv.h"
#include "results/ResultsFile.h"
#include "results/ResultsProof.h"
#include "results/WorkText.h"
#include "search/SearchText.h"
#include "ui/GeneralMenu.h"
#include "ui/MainWindow.h"
#include "ui/SetupPanel.h"

#include "platform/UserText.h"
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QProgressBar>

#include <memory>

namespace trevalo {

namespace {

QString resultsFilter() {
    return QObject::tr("Trevalo results (*.json)");
}

QString csvFilter() {
    return QObject::tr("CSV files (*.csv)");
}

QString appTitle() {
    return QString::fromLatin1(kAppTitle);
}

// The chosen name with "." + suffix added when it holds no "." (QFileDialog's rule for its
// default suffix).
QString withSuffix(const QString& chosen, const QString& suffix) {
    return QFileInfo(chosen).fileName().contains(QLatin1Char('.'))
               ? chosen
               : chosen + QLatin1Char('.') + suffix;
}

QString fileNameOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return displayText(slash == std::string::npos ? path : path.substr(slash + 1));
}

// The status after a results file is opened: its rows, and what proving them against the disk
// changed.
QString openedText(const QString& name, std::size_t rows, const ProofReport& report) {
    QString text =
        countedText("trevalo::MainWindow", "Opened %1: %n rows", nullptr, rows).arg(name);
    if (report.stale > 0)
        text += countedText("trevalo::MainWindow", ", %n stale (changed or gone since the search)",
                            nullptr, report.stale);
    if (report.settled > 0)
        text += countedText("trevalo::MainWindow",
                            ", %n left the lists (no other file is identical or has the name)",
                            nullptr, report.settled);
    if (report.split > 0)
        text += countedText("trevalo::MainWindow", ", %n moved into groups of their own", nullptr,
                            report.split);
    if (report.cancelled)
        text += countedText("trevalo::MainWindow",
                            "; the check was cancelled: %n rows not proven, they cannot be marked",
                            nullptr, report.unproven);
    return text;
}

} // namespace

QString MainWindow::chooseFile(const QString& title, const QString& filter, bool save) {
    if (fileDialogHook_)
        return fileDialogHook_(title, filter, save);
    return save ? QFileDialog::getSaveFileName(this, title, QDir::homePath(), filter)
                : QFileDialog::getOpenFileName(this, title, QDir::homePath(), filter);
}

std::string MainWindow::chooseSavePath(const QString& title, const QString& filter,
                                       const QString& suffix) {
    QString chosen;
    if (fileDialogHook_) {
        chosen = fileDialogHook_(title, filter, true);
    } else {
        QFileDialog dialog(this, title, QDir::homePath(), filter);
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setDefaultSuffix(suffix);
        // Whether to replace a file is asked below, about the name written: a desktop's own
        // dialog would ask about the name typed, and the suffix is added after it closes.
        dialog.setOption(QFileDialog::DontConfirmOverwrite);
        if (dialog.exec() == QDialog::Accepted)
            chosen = dialog.selectedFiles().value(0);
    }
    if (chosen.isEmpty())
        return {};
    const QString path = withSuffix(chosen, suffix);
    std::string bytes = QFile::encodeName(path).toStdString();
    // A link is not asked about: it is never replaced, and the save says so.
    const FileKind there = statPath(bytes, false).kind;
    if (there != FileKind::Missing && there != FileKind::Symlink &&
        !files_->confirm(
            tr("%1 already exists.\nDo you want to replace it?").arg(QFileInfo(path).fileName()),
            title))
        return {};
    return bytes;
}

bool MainWindow::idleForResults() {
    if (!searchRunning() && !opening_)
        return true;
    messageBox(searchRunning() ? tr("A search is running: let it end, or cancel it, first.")
                               : tr("Results are being opened: wait a moment."),
               appTitle());
    return false;
}

// ---- Save ----

void MainWindow::saveResultsFile() {
    if (!idleForResults())
        return;
    const std::string path =
        chooseSavePath(tr("Save Results"), resultsFilter(), QStringLiteral("json"));
    if (!path.empty())
        saveResultsTo(path);
}

bool MainWindow::saveResultsTo(const std::string& path) {
    SavedResults saved;
    for (int list = 0; list < kResultListCount; ++list)
        saved.lists[static_cast<std::size_t>(list)] = resultModel(list).rows();
    saved.summary = lastSummary_;
    saved.setup = lastSetup_;
    saved.searchedAt = searchedAt_;
    std::string error;
    if (!saveResults(path, saved, error)) {
        messageBox(tr("The results could not be saved to %1:").arg(displayText(path)) +
                       QLatin1Char('\n') + displayText(error),
                   appTitle());
        return false;
    }
    statusLabel_->setText(tr("Results saved to %1").arg(fileNameOf(path)));
    return true;
}

// ---- Open ----

void MainWindow::openResultsFile() {
    if (!idleForResults())
        return;
    const QString chosen = chooseFile(tr("Open Results"), resultsFilter(), false);
    if (!chosen.isEmpty())
        openResultsFrom(QFile::encodeName(chosen).toStdString());
}

void MainWindow::openResultsFrom(const std::string& path) {
    if (searchRunning() || opening_)
        return;
    opening_ = true;
    openCancel_ = false;
    timeLeft_.reset();
    setupPanel_->setSearchRunning(true); // the search button cancels the check
    statusLabel_->setText(tr("Opening %1 ...").arg(fileNameOf(path)));
    progressBar_->setRange(0, 0); // busy until the bytes to compare are known
    progressSection_->show();
    const std::uint64_t generation = generation_;
    opener_ = std::jthread([this, path, generation] {
        std::string error;
        std::optional<SavedResults> read = openResults(path, error);
        ProofReport report;
        if (read) {
            // Every row is a claim until the disk bears it out: its file is looked at, and the
            // groups of identical files are compared again, here on the worker.
            ProofControl control;
            control.cancel = &openCancel_;
            control.work = [this](const SearchWork& work) {
                QMetaObject::invokeMethod(
                    this, [this, work] { showOpeningWork(work); }, Qt::QueuedConnection);
            };
            report = proveOpenedResults(read->lists, control);
        }
        auto shared = std::make_shared<std::optional<SavedResults>>(std::move(read));
        QMetaObject::invokeMethod(
            this,
            [this, path, generation, shared, error, report] {
                opener_ = {}; // joins the worker
                opening_ = false;
                setupPanel_->setSearchRunning(false);
                progressBar_->setRange(0, 100);
                progressBar_->setValue(0);
                progressSection_->hide();
                if (generation != generation_) // a search took the lists meanwhile
                    return;
                if (!*shared) {
                    statusLabel_->clear();
                    messageBox(tr("%1 cannot be opened as results:").arg(displayText(path)) +
                                   QLatin1Char('\n') + displayText(error),
                               appTitle());
                    emit resultsOpened(false);
                    return;
                }
                showOpenedResults(path, std::move(**shared), report);
                // What opening and proving built and dropped (hundreds of MB at a million rows)
                // goes back to the system rather than stay in the heap beside the lists.
                shared->reset();
                releaseFreedMemory();
                emit resultsOpened(true);
            },
            Qt::QueuedConnection);
    });
}

void MainWindow::cancelOpening() {
    if (!opening_)
        return;
    openCancel_ = true;
    statusLabel_->setText(tr("Stopping ..."));
}

void MainWindow::showOpeningWork(const SearchWork& work) {
    if (!opening_ || openCancel_ || work.bytesTotal <= 0)
        return;
    timeLeft_.sample(TimeLeft::Clock::now(), work.bytesDone, work.bytesTotal);
    progressBar_->setRange(0, 100);
    progressBar_->setValue(static_cast<int>(100 * work.bytesDone / work.bytesTotal));
    statusLabel_->setText(tr("Checking the results against the disk ...") + QStringLiteral("  ") +
                          workText(work, timeLeft_.seconds()));
}

void MainWindow::showOpenedResults(const std::string& path, SavedResults results,
                                   const ProofReport& report) {
    std::size_t rows = 0;
    for (int list = 0; list < kResultListCount; ++list) {
        std::vector<ResultRow>& opened = results.lists[static_cast<std::size_t>(list)];
        rows += opened.size();
        ResultListModel& model = resultModel(list);
        model.clear();
        model.appendRows(std::move(opened));
    }
    files_->listsReplaced();
    sortList(ListDuplicates, GroupColumn, Qt::AscendingOrder);
    sortSameName();
    sortList(ListZeroSize, NameColumn, Qt::AscendingOrder);
    lastSetup_ = std::move(results.setup);
    lastSummary_ = results.summary;
    showWholeLists(results.summary.wholeLists);
    searchedAt_ = results.searchedAt;
    updateTabCounts();
    showFirstFilledList();
    statusLabel_->setText(openedText(fileNameOf(path), rows, report));
}

// ---- Export ----

void MainWindow::exportList() {
    const std::string path = chooseSavePath(tr("Export List"), csvFilter(), QStringLiteral("csv"));
    if (!path.empty())
        exportListTo(path);
}

bool MainWindow::exportListTo(const std::string& path) {
    std::string error;
    if (!exportCsv(path, currentModel().rows(), currentList_, currentModel().shownScope(), error)) {
        messageBox(tr("The list could not be exported to %1:").arg(displayText(path)) +
                       QLatin1Char('\n') + displayText(error),
                   appTitle());
        return false;
    }
    statusLabel_->setText(tr("List exported to %1").arg(fileNameOf(path)));
    return true;
}

} // namespace trevalo
