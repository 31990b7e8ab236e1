// SPDX-License-Identifier: GPL-2.0-or-later
// Marking, totals and the filter box on a list of a million rows, on Qt's offscreen platform
// with the list shown: each marking command is one change of the model (editRows), timed with
// the view's handling of it; totals and filters are timed on the rows alone.
//
//   marking_scale [rows]          (default 1000000)

#include "results/GroupNumbers.h"
#include "results/Marking.h"
#include "results/ResultListModel.h"
#include "results/ResultListView.h"
#include "results/ResultTotals.h"
#include "results/RowFilter.h"
#include "search/RowSort.h"

#include <QApplication>
#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <optional>
#include <random>
#include <string>
#include <time.h>

using namespace trevalo;

namespace {

// Rows like a large "Duplicates" list: groups of two to four, a few thousand folders, one name
// in twenty not plain ASCII, one row in a hundred kept.
std::vector<ResultRow> makeRows(long total) {
    static const char* const stems[] = {"IMG_",  "img_",  "Report ",      "report-",
                                        "song",  "Song ", "backup",       "Backup_",
                                        "notes", "Notes", "caf\xC3\xA9 ", "\xC3\x89t\xC3\xA9_"};
    std::mt19937_64 random(42);
    std::vector<ResultRow> rows;
    rows.reserve(static_cast<std::size_t>(total));
    while (static_cast<long>(rows.size()) < total) {
        const long members = 2 + static_cast<long>(random() % 3);
        const auto size = static_cast<std::int64_t>(random() % 100000000);
        for (long m = 0; m < members && static_cast<long>(rows.size()) < total; ++m) {
            ResultRow r;
            r.setFolder("/home/user/data/dir" + std::to_string(random() % 5000) + "/");
            r.name = stems[random() % 20 == 0 ? 10 + random() % 2 : random() % 10] +
                     std::to_string(random() % 1000000) + ".dat";
            r.size = size;
            r.group = static_cast<std::int64_t>(rows.size()) - m;
            r.mtime = 1000000000 + static_cast<std::int64_t>(random() % 700000000);
            r.mtimeKnown = true;
            r.stamp.mtime = r.mtime;
            r.kept = random() % 100 == 0;
            rows.push_back(std::move(r));
        }
    }
    return rows;
}

// Rows like a large "Same Name" list: names shared by two to four rows in different folders,
// in the order the search lists them (by name).
std::vector<ResultRow> makeSameNameRows(long total) {
    std::mt19937_64 random(7);
    std::vector<ResultRow> rows;
    rows.reserve(static_cast<std::size_t>(total));
    for (long name = 0; static_cast<long>(rows.size()) < total; ++name) {
        const long members = 2 + static_cast<long>(random() % 3);
        for (long m = 0; m < members && static_cast<long>(rows.size()) < total; ++m) {
            ResultRow r;
            r.setFolder("/home/user/data/dir" + std::to_string(random() % 5000) + "/");
            r.name = (m % 2 ? "Report " : "report ") + std::to_string(name) + ".txt";
            r.size = static_cast<std::int64_t>(random() % 100000);
            rows.push_back(std::move(r));
        }
    }
    return rows;
}

double msSince(const QElapsedTimer& t) {
    return static_cast<double>(t.nsecsElapsed()) / 1e6;
}

double threadCpuMs() {
    timespec ts{};
    ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) * 1e3 + static_cast<double>(ts.tv_nsec) / 1e6;
}

// The best of kRuns runs, as wall-clock and as this thread's processor time: on a machine
// shared with other work the second shows what the code costs, the first what it took.
constexpr int kRuns = 3;
struct Timing {
    double wallMs = 1e300;
    double cpuMs = 1e300;
};
template <class Fn> Timing timed(Fn&& fn) {
    Timing best;
    for (int run = 0; run < kRuns; ++run) {
        QElapsedTimer t;
        t.start();
        const double cpu = threadCpuMs();
        fn();
        best.cpuMs = std::min(best.cpuMs, threadCpuMs() - cpu);
        best.wallMs = std::min(best.wallMs, msSince(t));
    }
    return best;
}

// One line: what, best wall-clock and processor time, and a count.
void report(const char* what, const Timing& t, const std::string& count = {}) {
    std::printf("%-40s %8.0f %8.0f  %s\n", what, t.wallMs, t.cpuMs, count.c_str());
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const long total = argc > 1 ? std::atol(argv[1]) : 1000000;

    ResultListModel model;
    ResultListView view;
    view.setResultModel(&model);
    view.resize(900, 600);
    view.show();
    model.appendRows(makeRows(total));
    QCoreApplication::processEvents();
    std::printf("rows: %d in \"Duplicates\" (offscreen, view 900x600); best of %d runs, ms\n",
                model.rowCount(), kRuns);
    std::printf("%-40s %8s %8s\n", "", "wall", "cpu");

    // A marking command as the window runs it: one editRows, and the view's handling of it.
    const auto pass = [&](const char* what,
                          const std::function<void(std::vector<ResultRow>&)>& fn) {
        report(what, timed([&] {
                   model.editRows(fn);
                   QCoreApplication::processEvents();
               }));
    };
    const std::pair<KeepRule, const char*> rules[] = {
        {KeepRule::Oldest, "keep one: oldest"},
        {KeepRule::Newest, "keep one: newest"},
        {KeepRule::ShortestPath, "keep one: shortest path"},
        {KeepRule::FirstInOrder, "keep one: first in order"}};
    for (const auto& named : rules) {
        const KeepRule rule = named.first;
        pass(named.second,
             [rule](std::vector<ResultRow>& rows) { markAllButOnePerGroup(rows, rule); });
    }
    pass("unmark all in one folder", [](std::vector<ResultRow>& rows) {
        setFolderMarks(rows, "/home/user/data/dir7/", false);
    });
    const char* const pattern = "*/dir1?\?/img*";
    std::size_t matches = 0;
    const Timing counting =
        timed([&] { matches = countPatternMatches(model.rows(), pattern).matching; });
    report("count matches of */dir1?\?/img*", counting, std::to_string(matches) + " matches");
    pass("mark by pattern */dir1?\?/img*",
         [pattern](std::vector<ResultRow>& rows) { markByPattern(rows, pattern); });
    const std::vector<int> shown = RowFilter("img_12").shownRows(model.rows(), ListDuplicates);
    pass("keep one: oldest, on a filter's rows", [&](std::vector<ResultRow>& rows) {
        markAllButOnePerGroup(rows, KeepRule::Oldest, RowScope(shown));
    });

    ListTotals totals;
    report("totals of \"Duplicates\"",
           timed([&] { totals = listTotals(model.rows(), ListDuplicates); }));
    report("marked rows and bytes only", timed([&] { countMarks(model.rows(), totals); }));
    const GroupNumbers numbered(model.rows(), ListDuplicates);
    report("totals of a filter's rows, groups known",
           timed([&] { listTotals(model.rows(), ListDuplicates, RowScope(shown), numbered); }));
    std::vector<ResultRow> sameName = makeSameNameRows(total);
    report("totals of \"Same Name\", by name", timed([&] { listTotals(sameName, ListSameName); }));
    std::vector<ResultRow> sameNameByFolder = sameName;
    sortRows(sameNameByFolder, FolderColumn, 0);
    report("totals of \"Same Name\", by folder",
           timed([&] { listTotals(sameNameByFolder, ListSameName); }));
    std::printf("  %s\n", totalsText(totals, ListDuplicates).toUtf8().constData());

    const char* const texts[] = {"img_12",         "IMG_123456",        "nothing here",
                                 "dir42/",         "\xC3\xA9t\xC3\xA9", "*.dat",
                                 "*/dir1?\?/img*", "*nothing*"};
    std::vector<ResultRow> duplicatesByFolder = model.rows();
    sortRows(duplicatesByFolder, FolderColumn, 0);
    struct Case {
        const std::vector<ResultRow>* rows;
        int list;
        const char* name;
    };
    const Case lists[] = {{&model.rows(), ListDuplicates, "Duplicates"},
                          {&duplicatesByFolder, ListDuplicates, "Duplicates by folder"},
                          {&model.rows(), ListZeroSize, "no groups"},
                          {&sameName, ListSameName, "Same Name by name"},
                          {&sameNameByFolder, ListSameName, "Same Name by folder"}};
    for (const Case& one : lists) {
        const std::vector<ResultRow>* listRows = one.rows;
        const int list = one.list;
        const char* const listName = one.name;
        std::optional<FilterTexts> prepared;
        const Timing making = timed([&] { prepared.emplace(*listRows, list); });
        report((std::string("filter texts made, ") + listName).c_str(), making);
        for (const char* text : texts) {
            std::vector<int> rows;
            const Timing direct = timed([&] { rows = RowFilter(text).shownRows(*listRows, list); });
            const Timing fromTexts = timed([&] { rows = RowFilter(text).shownRows(*prepared); });
            const std::string what = std::string("filter, ") + listName + ": " + text;
            report(what.c_str(), direct, std::to_string(rows.size()) + " shown");
            report("  the same from the texts made", fromTexts);
        }
    }
    return 0;
}
