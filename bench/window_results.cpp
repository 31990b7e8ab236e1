// SPDX-License-Identifier: GPL-2.0-or-later
// A large saved result through the window: seconds to open it (read, every row checked against
// the disk, the lists filled and sorted), to save it again and to export one list, and the
// longest stall of the window's event loop while it opens.
//
//   window_results [rows]   (default 1000000 rows; the files are not on disk, so every row is
//                            checked and found stale)

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

SavedResults makeResults(std::int64_t count) {
    SavedResults r;
    auto& rows = r.lists[ListDuplicates];
    rows.reserve(static_cast<std::size_t>(count));
    for (std::int64_t i = 0; i < count; ++i) {
        ResultRow row;
        row.folder = "/nonexistent/Pictures/" + std::to_string(2000 + i % 25) + "/album " +
                     std::to_string(i % 4000) + "/";
        row.name = "IMG_" + std::to_string(100000 + i) + ".JPG";
        row.group = i - i % 4;
        row.size = 1000000 + (i / 4) * 13;
        row.mtime = 1700000000 + i;
        row.mtimeKnown = true;
        std::memcpy(row.date.data(), "2023/11/14 22:13:20", 19);
        rows.push_back(std::move(row));
    }
    r.summary = {count, 812.5, false};
    r.searchedAt = 1700000000;
    return r;
}

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
    if (!saveResults(base + ".json", makeResults(count), error)) {
        std::fprintf(stderr, "save: %s\n", error.c_str());
        return 1;
    }

    MainWindow window;
    window.setMessageHook([](const QString& text, const QString&) {
        std::fprintf(stderr, "message: %s\n", qPrintable(text));
    });
    window.show();
    QCoreApplication::processEvents();

    double longest = 0;
    QElapsedTimer sinceTick;
    QTimer probe;
    probe.setInterval(5);
    QObject::connect(&probe, &QTimer::timeout, [&] {
        longest = std::max(longest, static_cast<double>(sinceTick.nsecsElapsed()) / 1e6);
        sinceTick.restart();
    });
    QEventLoop loop;
    bool ok = false;
    QObject::connect(&window, &MainWindow::resultsOpened, &loop, [&](bool opened) {
        ok = opened;
        // The lists are filled in the last step, before this signal.
        longest = std::max(longest, static_cast<double>(sinceTick.nsecsElapsed()) / 1e6);
        loop.quit();
    });
    QElapsedTimer clock;
    clock.start();
    sinceTick.start();
    probe.start();
    window.openResultsFrom(base + ".json");
    loop.exec();
    probe.stop();
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
    std::printf("longest event-loop stall while opening: %.0f ms\n", longest);
    std::printf("save: %.2f s\n", saveSeconds);
    std::printf("export list as CSV: %.2f s\n", exportSeconds);
    return 0;
}
