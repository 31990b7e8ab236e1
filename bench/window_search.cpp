// SPDX-License-Identifier: GPL-2.0-or-later
// A search from the window against the same search from trevalo-scan, on Qt's offscreen
// platform: the window's wall time as a multiple of the terminal program's, and the longest
// stretch during which the window's event loop could not run (a probe timer ticks every 5 ms).
//
//   window_search FOLDER [runs]     (default 5 runs; trevalo-scan is looked for beside the
//                                    build's src/app, or given in TREVALO_SCAN)

#include "BenchSupport.h"
#include "platform/Process.h"
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
};

WindowRun searchFromTheWindow(const QString& folder) {
    MainWindow window;
    window.show();
    window.addSearchPath(QFile::encodeName(folder).toStdString());

    bench::StallProbe stalls;
    QEventLoop loop;
    QObject::connect(&window, &MainWindow::searchFinished, &loop, &QEventLoop::quit);
    QElapsedTimer clock;
    clock.start();
    stalls.start();
    window.startOrCancelSearch();
    loop.exec();
    stalls.stop();
    WindowRun run;
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
    for (int i = 0; i < runs; ++i) {
        const WindowRun w = searchFromTheWindow(folder);
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
    return 0;
}
