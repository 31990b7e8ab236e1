// SPDX-License-Identifier: GPL-2.0-or-later
// The main window's saved results: Save Results, Open Results and Export List of the file menu.
#include "platform/ByteText.h"
#include "platform/FileSystem.h"
#include "results/ResultListModel.h"
#include "results/ResultsCsv.h"
#include "results/ResultsFile.h"
#include "search/SearchText.h"
#include "ui/GeneralMenu.h"
#include "ui/MainWindow.h"

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
    const std::string bytes = QFile::encodeName(path).toStdString();
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
    statusLabel_->setText(tr("Opening %1 ...").arg(fileNameOf(path)));
    progressBar_->setRange(0, 0); // busy while the rows are checked against the disk
    const std::uint64_t generation = generation_;
    opener_.start([this, path, generation] {
        std::string error;
        std::optional<SavedResults> read = openResults(path, error);
        if (read) {
            // One lstat per row: the reason this runs on the worker.
            for (std::vector<ResultRow>& rows : read->lists)
                for (const std::size_t stale : staleRows(rows)) {
                    rows[stale].staleReason = "changed or gone since these results were saved";
                    rows[stale].checked = false;
                }
        }
        auto shared = std::make_shared<std::optional<SavedResults>>(std::move(read));
        QMetaObject::invokeMethod(
            this,
            [this, path, generation, shared, error] {
                opener_.join();
                opening_ = false;
                progressBar_->setRange(0, 100);
                progressBar_->setValue(0);
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
                showOpenedResults(path, std::move(**shared));
                emit resultsOpened(true);
            },
            Qt::QueuedConnection);
    });
}

void MainWindow::showOpenedResults(const std::string& path, SavedResults results) {
    std::size_t rows = 0;
    std::size_t stale = 0;
    for (int list = 0; list < kResultListCount; ++list) {
        std::vector<ResultRow>& opened = results.lists[static_cast<std::size_t>(list)];
        rows += opened.size();
        stale += static_cast<std::size_t>(std::count_if(
            opened.begin(), opened.end(), [](const ResultRow& r) { return r.stale(); }));
        ResultListModel& model = resultModel(list);
        model.clear();
        model.appendRows(std::move(opened));
    }
    sortList(ListDuplicates, GroupColumn, Qt::AscendingOrder);
    sortList(ListSameName, NameColumn, Qt::AscendingOrder);
    sortList(ListZeroSize, NameColumn, Qt::AscendingOrder);
    lastSetup_ = std::move(results.setup);
    lastSummary_ = results.summary;
    searchedAt_ = results.searchedAt;
    updateTabCounts();
    showFirstFilledList();

    QString status = rows == 1 ? tr("Opened %1: 1 row").arg(fileNameOf(path))
                               : tr("Opened %1: %2 rows").arg(fileNameOf(path)).arg(rows);
    if (stale > 0)
        status += tr(", %1 stale (changed or gone since the search)").arg(stale);
    statusLabel_->setText(status);
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
