// SPDX-License-Identifier: GPL-2.0-or-later
// A large saved result through the window: seconds to open it (read, every row checked against
// the disk, the lists filled and sorted), to save it again and to export one list, and the
// longest stall of the window's event loop while it opens, and the process's resident memory
// before, at its peak while opening and after.
//
//   window_results [rows]   (default 1000000 rows; the files are not on disk, so every row is
//                            checked and found stale)
//   window_results FILE     (a results file, such as trevalo-scan --json writes, opened as it is)

#include "BenchSupport.h"
#include "platform/Process.h"
#include "results/ResultListModel.h"
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
    tuneProcessForSearches(); // the heap as the program sets it
    QApplication app(argc, argv);
    const bool given = argc > 1 && std::strspn(argv[1], "0123456789") != std::strlen(argv[1]);
    const std::int64_t count = argc > 1 && !given ? std::atoll(argv[1]) : 1000000;
    const std::string base = "/tmp/trevalo-window-results-" + std::to_string(::getpid());
    const std::string opened = given ? std::string(argv[1]) : base + ".json";
    std::string error;
    if (!given &&
        !saveResults(opened, bench::photoLibraryResults(count, "/nonexistent/Pictures/"), error)) {
        std::fprintf(stderr, "save: %s\n", error.c_str());
        return 1;
    }

    MainWindow window;
    window.setMessageHook([](const QString& text, const QString&) {
        std::fprintf(stderr, "message: %s\n", qPrintable(text));
    });
    window.show();
    QCoreApplication::processEvents();
    const bench::Memory before = bench::memoryNow();
    const bool peakReset = bench::resetPeakMemory();

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
    window.openResultsFrom(opened);
    loop.exec();
    stalls.stop();
    const double openSeconds = seconds(clock);
    if (!ok)
        return 1;
    const bench::Memory after = bench::memoryNow();
    std::size_t rows = 0;
    for (int list = 0; list < kResultListCount; ++list)
        rows += window.resultModel(list).rows().size();

    clock.restart();
    window.saveResultsTo(base + "-again.json");
    const double saveSeconds = seconds(clock);
    window.showList(ListDuplicates);
    clock.restart();
    window.exportListTo(base + ".csv");
    const double exportSeconds = seconds(clock);
    for (const char* suffix : {".json", "-again.json", ".csv"})
        if (!given || std::strcmp(suffix, ".json") != 0)
            ::unlink((base + suffix).c_str());

    std::printf("rows: %zu in the lists\n", rows);
    std::printf("open (read, check against the disk, fill, sort): %.2f s\n", openSeconds);
    std::printf("resident memory: %ld MB before opening, %ld MB after (%.0f B/row), peak %s%ld MB "
                "while opening (%.2fx after)\n",
                before.residentMb, after.residentMb,
                rows ? double(after.residentMb - before.residentMb) * 1048576.0 / double(rows)
                     : 0.0,
                peakReset ? "" : "since start ", after.peakMb,
                after.residentMb ? double(after.peakMb) / double(after.residentMb) : 0.0);
    std::printf("longest event-loop stall while opening: %.0f ms\n", stalls.longestMs());
    std::printf("save: %.2f s\n", saveSeconds);
    std::printf("export list as CSV: %.2f s\n", exportSeconds);
    return 0;
}
