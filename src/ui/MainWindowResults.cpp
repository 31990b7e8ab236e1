// SPDX-License-Identifier: GPL-2.0-or-later
// The main window's saved results: Save Results, Open Results and Export List of the file menu.
#include "platform/ByteText.h"
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

// The path with `suffix` added when its file name has no suffix of its own.
std::string withSuffix(const QString& chosen, const QString& suffix) {
    const QString path = QFileInfo(chosen).suffix().isEmpty() ? chosen + suffix : chosen;
    return QFile::encodeName(path).toStdString();
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
    const QString chosen = chooseFile(tr("Save Results"), resultsFilter(), true);
    if (!chosen.isEmpty())
        saveResultsTo(withSuffix(chosen, QStringLiteral(".json")));
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
    progressSection_->show();
    const std::uint64_t generation = generation_;
    opener_.start([this, path, generation] {
        std::string error;
        std::optional<SavedResults> read = openResults(path, error);
        if (read) {
            // One lstat per row: the reason this runs on the worker.
            for (std::vector<ResultRow>& rows : read->lists)
                for (const std::size_t stale : staleRows(rows)) {
                    rows[stale].stale = true;
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
            opened.begin(), opened.end(), [](const ResultRow& r) { return r.stale; }));
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
    const QString chosen = chooseFile(tr("Export List"), csvFilter(), true);
    if (!chosen.isEmpty())
        exportListTo(withSuffix(chosen, QStringLiteral(".csv")));
}

bool MainWindow::exportListTo(const std::string& path) {
    std::string error;
    if (!exportCsv(path, currentModel().rows(), currentList_, error)) {
        messageBox(tr("The list could not be exported to %1:").arg(displayText(path)) +
                       QLatin1Char('\n') + displayText(error),
                   appTitle());
        return false;
    }
    statusLabel_->setText(tr("List exported to %1").arg(fileNameOf(path)));
    return true;
}

} // namespace trevalo
