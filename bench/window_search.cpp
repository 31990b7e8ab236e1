// SPDX-License-Identifier: GPL-2.0-or-later
// A search from the window against the same search from trevalo-scan, on Qt's offscreen
// platform: the window's wall time as a multiple of the terminal program's, and the longest
// stretch during which the window's event loop could not run (a probe timer ticks every 5 ms),
// and the window's resident memory with the lists filled and at its peak while they filled.
//
//   window_search FOLDER [runs]     (default 5 runs; trevalo-scan is looked for beside the
//                                    build's src/app, or given in TREVALO_SCAN)

#include "BenchSupport.h"
#include "platform/Process.h"
#include "results/ResultListModel.h"
#include "ui/MainWindow.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <vector>

using namespace trevalo;

namespace {

struct WindowRun {
    double seconds = 0;
    double longestStallMs = 0;
    std::size_t rows = 0;
    bench::Memory before; // the window shown, nothing searched yet
    bench::Memory after;  // the lists filled; peakMb: the peak while the search ran
};

WindowRun searchFromTheWindow(const QString& folder) {
    MainWindow window;
    window.show();
    window.addSearchPath(QFile::encodeName(folder).toStdString());

    QCoreApplication::processEvents();
    WindowRun run;
    run.before = bench::memoryNow();
    bench::resetPeakMemory();
    bench::StallProbe stalls;
    QEventLoop loop;
    QObject::connect(&window, &MainWindow::searchFinished, &loop, &QEventLoop::quit);
    QElapsedTimer clock;
    clock.start();
    stalls.start();
    window.startOrCancelSearch();
    loop.exec();
    stalls.stop();
    QCoreApplication::processEvents(); // the last batch of rows
    run.after = bench::memoryNow();
    for (int list = 0; list < kResultListCount; ++list)
        run.rows += window.resultModel(list).rows().size();
    run.seconds = static_cast<double>(clock.nsecsElapsed()) / 1e9;
    run.longestStallMs = stalls.longestMs();
    return run;
}

double searchFromTheTerminal(const QString& scan, const QString& folder) {
    QProcess p;
    p.setStandardOutputFile(QProcess::nullDevice());
    QElapsedTimer clock;
    clock.start();
    p.start(scan, {folder});
    p.waitForFinished(-1);
    return static_cast<double>(clock.nsecsElapsed()) / 1e9;
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    tuneProcessForSearches();
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: window_search FOLDER [runs]\n");
        return 2;
    }
    const QString folder = QDir(QString::fromLocal8Bit(argv[1])).absolutePath();
    const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;
    QString scan = qEnvironmentVariable("TREVALO_SCAN");
    if (scan.isEmpty())
        scan = QDir(QCoreApplication::applicationDirPath()).filePath("../src/app/trevalo-scan");

    searchFromTheTerminal(scan, folder); // warm the page cache
    std::vector<double> window, terminal, stalls;
    WindowRun w;
    for (int i = 0; i < runs; ++i) {
        w = searchFromTheWindow(folder);
        window.push_back(w.seconds);
        stalls.push_back(w.longestStallMs);
        terminal.push_back(searchFromTheTerminal(scan, folder));
    }
    std::printf("folder: %s (%d runs, all three searches)\n", qPrintable(folder), runs);
    std::printf("window       median %.3f s\n", median(window));
    std::printf("trevalo-scan median %.3f s\n", median(terminal));
    std::printf("window / trevalo-scan: %.2f\n", median(window) / median(terminal));
    std::printf("longest event-loop stall: median %.1f ms, worst %.1f ms\n", median(stalls),
                *std::max_element(stalls.begin(), stalls.end()));
    std::printf("last run: %zu rows; resident memory %ld MB before the search, %ld MB with the "
                "lists filled (%.0f B/row), peak %ld MB while searching (%.2fx filled)\n",
                w.rows, w.before.residentMb, w.after.residentMb,
                w.rows
                    ? double(w.after.residentMb - w.before.residentMb) * 1048576.0 / double(w.rows)
                    : 0.0,
                w.after.peakMb,
                w.after.residentMb ? double(w.after.peakMb) / double(w.after.residentMb) : 0.0);
    return 0;
}
