// SPDX-License-Identifier: GPL-2.0-or-later
// The result lists at scale, on Qt's offscreen platform: a million rows arrive in batches from
// a worker thread the way a search hands them over, while a probe timer measures how long the
// window's event loop is kept busy; then the list is sorted by each column and marked in full.
//
//   list_scale [rows]          (default 1000000)

#include "results/Marking.h"
#include "results/ResultListModel.h"
#include "results/ResultListView.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <thread>
#include <unistd.h>

using namespace trevalo;

namespace {

long residentMegabytes() {
    long pages = 0;
    long resident = 0;
    if (FILE* f = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2)
            resident = 0;
        std::fclose(f);
    }
    return resident * sysconf(_SC_PAGESIZE) / (1024 * 1024);
}

// A plausible row: names of mixed case, a few thousand folders, sizes and dates spread out,
// group keys shared by pairs.
ResultRow makeRow(std::mt19937_64& random, long i) {
    static const char* const stems[] = {"IMG_",  "img_",   "Report ", "report-", "song",
                                        "Song ", "backup", "Backup_", "notes",   "Notes"};
    ResultRow r;
    r.setFolder("/home/user/data/dir" + std::to_string(random() % 5000) + "/");
    r.name = stems[random() % 10] + std::to_string(random() % 1000000) + ".dat";
    r.size = static_cast<std::int64_t>(random() % 100000000);
    r.group = i / 2;
    std::snprintf(r.date.data(), r.date.size(), "%04d/%02d/%02d %02d:%02d:%02d",
                  static_cast<int>(2000 + random() % 25), static_cast<int>(1 + random() % 12),
                  static_cast<int>(1 + random() % 28), static_cast<int>(random() % 24),
                  static_cast<int>(random() % 60), static_cast<int>(random() % 60));
    return r;
}

double msSince(const QElapsedTimer& t) {
    return static_cast<double>(t.nsecsElapsed()) / 1e6;
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const long total = argc > 1 ? std::atol(argv[1]) : 1000000;

    ResultListModel model;
    // Shaded by group, as the window's "Duplicates" list is.
    model.setBanding(ResultListModel::Banding::ByGroup);
    ResultListView view;
    view.setResultModel(&model);
    view.setColumnWidths({96, 200, 60, 80, 130});
    view.resize(900, 600);
    view.show();
    QCoreApplication::processEvents();
    const long rssBefore = residentMegabytes();

    // The probe: a 5 ms timer whose longest gap is how long the window could not react.
    QElapsedTimer probeClock;
    double maxGap = 0;
    double lastTick = 0;
    QTimer probe;
    probe.setInterval(5);
    QObject::connect(&probe, &QTimer::timeout, [&] {
        const double now = msSince(probeClock);
        maxGap = std::max(maxGap, now - lastTick);
        lastTick = now;
    });

    // The worker builds rows and hands over what it has about ten times a second.
    std::atomic<long> handed{0};
    int batches = 0;
    double maxInsert = 0;
    QElapsedTimer insertClock;
    insertClock.start();
    std::thread worker([&] {
        std::mt19937_64 random(42);
        std::vector<ResultRow> pending;
        auto last = std::chrono::steady_clock::now();
        for (long i = 0; i < total; ++i) {
            pending.push_back(makeRow(random, i));
            const auto now = std::chrono::steady_clock::now();
            if (now - last >= std::chrono::milliseconds(100) || i + 1 == total) {
                const long n = static_cast<long>(pending.size());
                QMetaObject::invokeMethod(
                    &model,
                    [&, rows = std::move(pending), n]() mutable {
                        QElapsedTimer t;
                        t.start();
                        model.appendRows(std::move(rows));
                        maxInsert = std::max(maxInsert, msSince(t));
                        ++batches;
                        if (handed.fetch_add(n) + n == total)
                            QCoreApplication::exit(0);
                    },
                    Qt::QueuedConnection);
                pending = {};
                last = now;
            }
        }
    });
    probeClock.start();
    probe.start();
    QApplication::exec();
    worker.join();
    probe.stop();
    const double insertMs = msSince(insertClock);
    const long rssAfter = residentMegabytes();

    std::printf("rows: %ld (offscreen, view 900x600)\n", static_cast<long>(model.rowCount()));
    std::printf("insert: %.0f ms in %d batches, longest batch insert %.1f ms, "
                "longest event-loop gap %.1f ms\n",
                insertMs, batches, maxInsert, maxGap);
    std::printf("memory: +%ld MB resident for the rows and the view\n", rssAfter - rssBefore);

    view.selectRow(total / 2); // a selection that must follow its row
    static const char* const names[] = {"Name", "In Folder", "#", "Size", "Date Modified"};
    std::printf("%-21s %9s %12s\n", "", "in all", "of it, model");
    for (int column = 0; column < kResultColumnCount; ++column) {
        QElapsedTimer t;
        t.start();
        model.sortByColumn(column, Qt::AscendingOrder);
        const double modelMs = msSince(t);
        QCoreApplication::processEvents(); // the view lays out and paints the sorted rows
        std::printf("sort by %-13s %7.0f ms %9.0f ms\n", names[column], msSince(t), modelMs);
    }
    for (bool mark : {true, false}) {
        QElapsedTimer t;
        t.start();
        model.setAllChecked(mark);
        const double modelMs = msSince(t);
        QCoreApplication::processEvents();
        std::printf("%-21s %7.1f ms %9.1f ms\n", mark ? "mark all" : "clear all marks", msSince(t),
                    modelMs);
    }
    // The filter box, typed key by key: the first key also reads the rows' texts into the
    // filter's buffer; the view is reset each time.
    {
        QElapsedTimer t;
        t.start();
        model.prepareFilter(ListDuplicates);
        std::printf("%-21s %7.1f ms\n", "filter box focused", msSince(t));
    }
    for (const char* text : {"r", "re", "rep", "repo", "report-12", "*.dat", "dir42/*", "dir4"}) {
        QElapsedTimer t;
        t.start();
        model.setFilter(text, ListDuplicates);
        const double modelMs = msSince(t);
        QCoreApplication::processEvents();
        std::printf("filter %-14s %7.1f ms %9.1f ms  (%d rows shown)\n", text, msSince(t), modelMs,
                    model.rowCount());
    }
    {
        QElapsedTimer t;
        t.start();
        model.editRows(
            [](std::vector<ResultRow>& rows) {
                markAllButOnePerGroup(rows, KeepRule::Oldest, RowScope());
            },
            ResultListModel::RowOrder::Kept);
        const double modelMs = msSince(t);
        QCoreApplication::processEvents();
        std::printf("%-21s %7.1f ms %9.1f ms  (filtered)\n", "keep one per group", msSince(t),
                    modelMs);
    }
    {
        QElapsedTimer t;
        t.start();
        model.setFilter("", ListDuplicates);
        const double modelMs = msSince(t);
        QCoreApplication::processEvents();
        std::printf("%-21s %7.1f ms %9.1f ms\n", "filter cleared", msSince(t), modelMs);
        t.restart();
        model.editRows(
            [](std::vector<ResultRow>& rows) {
                markAllButOnePerGroup(rows, KeepRule::Oldest, RowScope());
            },
            ResultListModel::RowOrder::Kept);
        const double passMs = msSince(t);
        QCoreApplication::processEvents();
        std::printf("%-21s %7.1f ms %9.1f ms\n", "keep one per group", msSince(t), passMs);
    }
    return 0;
}
