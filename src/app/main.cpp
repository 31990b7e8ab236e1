// trevalo: the desktop program.

#include "platform/ByteText.h"
#include "platform/Process.h"
#include "platform/desktop/DataFiles.h"
#include "results/PicturePreview.h"
#include "results/ResultListModel.h"
#include "results/ResultListView.h"
#include "ui/SetupPanel.h"
#include "ui/TabStrip.h"
#include "ui/frmMain.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QFile>
#include <QImage>
#include <QPixmap>
#include <QTabBar>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <system_error>

namespace {

// For the README's screenshot: once the search started from the command line has ended, show
// the "Duplicates" list with its first picture selected and previewed, save a picture of the
// window and quit.
void saveScreenshotWhenDone(trevalo::frmMain& window, const QString& file) {
    QObject::connect(&window, &trevalo::frmMain::searchFinished, &window, [&window, file] {
        window.tabMain->tabBar()->setCurrentIndex(trevalo::ListDuplicates);
        const auto& rows = window.resultModel(trevalo::ListDuplicates).rows();
        const auto picture = std::find_if(
            rows.begin(), rows.end(), [](const auto& row) { return trevalo::IsPicExt(row.name); });
        window.lstResult[trevalo::ListDuplicates]->selectRow(
            picture == rows.end() ? 0 : static_cast<int>(picture - rows.begin()));
        window.Preview();
        QTimer::singleShot(500, &window, [&window, file] {
            const bool saved = window.grab().save(file);
            std::fprintf(stderr, saved ? "trevalo: saved %s\n" : "trevalo: cannot save %s\n",
                         qPrintable(file));
            QCoreApplication::exit(saved ? 0 : 1);
        });
    });
}

} // namespace

int main(int argc, char** argv) {
    trevalo::tuneProcessForSearches();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Trevalo"));
    QApplication::setApplicationVersion(QStringLiteral("%1.%2.%3")
                                            .arg(TREVALO_VERSION_MAJOR)
                                            .arg(TREVALO_VERSION_MINOR)
                                            .arg(TREVALO_VERSION_PATCH));
    QApplication::setDesktopFileName(QStringLiteral("trevalo"));
    const QString icon = trevalo::dataFilePath(QStringLiteral("trevalo.svg"));
    if (!icon.isEmpty())
        QApplication::setWindowIcon(QIcon(icon));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Finds files of zero length, files with identical contents and files "
                       "that share a name.\n\n"
                       "Demonstration: with TREVALO_SCREENSHOT=FILE in the environment, a "
                       "search started with --search saves a picture of the window to FILE "
                       "when it ends, and the program quits."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption searchOption(
        QStringList{QStringLiteral("search")},
        QStringLiteral("Add FOLDER (all files, with sub-folders) to the search paths and start "
                       "the search at once. May be given more than once."),
        QStringLiteral("FOLDER"));
    parser.addOption(searchOption);
    parser.process(app);

    trevalo::frmMain window;
    window.show();

    const QStringList folders = parser.values(searchOption);
    if (!folders.isEmpty()) {
        for (const QString& folder : folders) {
            std::error_code error;
            const std::filesystem::path absolute = std::filesystem::absolute(
                std::filesystem::path(QFile::encodeName(folder).toStdString()), error);
            if (error || !window.frmPath->openFolder(absolute.lexically_normal().native()))
                continue;
            window.frmPath->addPath();
        }
        const QString screenshot = qEnvironmentVariable("TREVALO_SCREENSHOT");
        if (!screenshot.isEmpty()) {
            // Wide enough to show every column of the lists in full.
            window.resize(std::max(window.width(), 920), window.height());
            saveScreenshotWhenDone(window, screenshot);
        }
        QTimer::singleShot(0, &window, [&window] { window.searchRun().click(); });
    }
    return QApplication::exec();
}
