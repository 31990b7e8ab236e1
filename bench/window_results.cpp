// SPDX-License-Identifier: GPL-2.0-or-later
// A large saved result through the window: seconds to open it (read, every row checked against
// the disk, the lists filled and sorted), to save it again and to export one list, and the
// longest stall of the window's event loop while it opens.
//
//   window_results [rows]   (default 1000000 rows; the files are not on disk, so every row is
//                            checked and found stale)

#include "BenchSupport.h"
#include "results/ResultsFile.h"
#include "ui/MainWindow.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>

using namespace trevalo;

namespace {

double seconds(const QElapsedTimer& clock) {
    return static_cast<double>(clock.nsecsElapsed()) / 1e9;
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const std::int64_t count = argc > 1 ? std::atoll(argv[1]) : 1000000;
    const std::string base = "/tmp/trevalo-window-results-" + std::to_string(::getpid());
    std::string error;
    if (!saveResults(base + ".json", bench::photoLibraryResults(count, "/nonexistent/Pictures/"),
                     error)) {
        std::fprintf(stderr, "save: %s\n", error.c_str());
        return 1;
    }

    MainWindow window;
    window.setMessageHook([](const QString& text, const QString&) {
        std::fprintf(stderr, "message: %s\n", qPrintable(text));
    });
    window.show();
    QCoreApplication::processEvents();

    bench::StallProbe stalls;
    QEventLoop loop;
    bool ok = false;
    QObject::connect(&window, &MainWindow::resultsOpened, &loop, [&](bool opened) {
        ok = opened;
        // The lists are filled in the last step, before this signal.
        stalls.note();
        loop.quit();
    });
    QElapsedTimer clock;
    clock.start();
    stalls.start();
    window.openResultsFrom(base + ".json");
    loop.exec();
    stalls.stop();
    const double openSeconds = seconds(clock);
    if (!ok)
        return 1;

    clock.restart();
    window.saveResultsTo(base + "-again.json");
    const double saveSeconds = seconds(clock);
    window.showList(ListDuplicates);
    clock.restart();
    window.exportListTo(base + ".csv");
    const double exportSeconds = seconds(clock);
    for (const char* suffix : {".json", "-again.json", ".csv"})
        ::unlink((base + suffix).c_str());

    std::printf("rows: %lld in the Duplicates list\n", static_cast<long long>(count));
    std::printf("open (read, check against the disk, fill, sort): %.2f s\n", openSeconds);
    std::printf("longest event-loop stall while opening: %.0f ms\n", stalls.longestMs());
    std::printf("save: %.2f s\n", saveSeconds);
    std::printf("export list as CSV: %.2f s\n", exportSeconds);
    return 0;
}
