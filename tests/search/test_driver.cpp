// SPDX-License-Identifier: GPL-2.0-or-later
// Whole searches on real trees, through the driver on the test's thread and through a search
// session on its worker.
#include "search/ContentCompare.h"
#include "search/SearchDriver.h"
#include "search/SearchSession.h"
#include "search/SearchText.h"
#include "support/TempTree.h"

#include <QtTest>
#include <algorithm>
#include <condition_variable>
#include <cstdio>
#include <map>
#include <mutex>
#include <random>
#include <set>
#include <sys/resource.h>
#include <sys/wait.h>
#include <tuple>
#include <unistd.h>

using namespace trevalo;
using trevalo::test::TempTree;
using Paths = std::set<std::string>;

namespace {

// Records what a search hands over; hand-overs are not throttled, so hooks see every step.
class Host final : public SearchEvents {
public:
    SearchState model;
    SearchRequest request;
    std::array<std::vector<ResultRow>, kResultListCount> lists;
    std::vector<std::string> statuses;
    std::vector<SearchOutcome> outcomes;              // one per finished search
    int lateRows = 0;                                 // rows handed over after the end
    std::size_t largestBatch = 0;                     // most rows handed over at once
    std::chrono::milliseconds interval{};             // between hand-overs; none by default
    std::function<void(const std::string&)> onStatus; // runs on the worker
    std::function<void(double)> onProgress;           // runs on the worker
    std::function<void(int)> onRows;                  // runs on the worker, after the rows

    explicit Host(std::vector<std::string> paths,
                  std::array<bool, kSearchTypeCount> types = {true, true, true}) {
        for (auto& p : paths)
            request.paths.push_back(PathRow{std::move(p), true});
        request.types = types;
    }
    // Runs a search on this thread.
    void search() { runSearch(request, model, *this); }
    // Waits until `count` searches of a session have finished.
    bool waitForFinished(std::size_t count) {
        std::unique_lock lock(mutex_);
        return ready_.wait_for(lock, std::chrono::seconds(60),
                               [&] { return outcomes.size() >= count; });
    }
    std::size_t rowCount(int list) {
        std::lock_guard lock(mutex_);
        return lists[list].size();
    }
    Paths paths(int list) const {
        Paths out;
        for (const auto& r : lists[list])
            out.insert(r.path());
        return out;
    }

    void progress(double percent) override {
        if (onProgress)
            onProgress(percent);
    }
    void phase(SearchPhase phase) override {
        const std::string text = phaseText(phase);
        {
            std::lock_guard lock(mutex_);
            statuses.push_back(text);
        }
        if (onStatus)
            onStatus(text);
    }
    void rows(int list, std::vector<ResultRow> rows) override {
        {
            std::lock_guard lock(mutex_);
            if (outcomes.size() != finishedBefore_)
                ++lateRows;
            largestBatch = std::max(largestBatch, rows.size());
            lists[list].insert(lists[list].end(), rows.begin(), rows.end());
        }
        if (onRows)
            onRows(list);
    }
    void finished(const SearchOutcome& outcome) override {
        std::lock_guard lock(mutex_);
        outcomes.push_back(outcome);
        ready_.notify_all();
    }
    std::chrono::milliseconds handOverInterval() const override { return interval; }
    // The next search of a session starts; its rows come before its end.
    void nextSearch() {
        std::lock_guard lock(mutex_);
        finishedBefore_ = outcomes.size();
        for (auto& list : lists)
            list.clear();
    }

private:
    std::mutex mutex_;
    std::condition_variable ready_;
    std::size_t finishedBefore_ = 0;
};

std::string flipLast(std::string data) {
    data.back() = char(data.back() ^ 1);
    return data;
}

// Holds a session's worker before it compares contents until the session is asked to stop.
void holdUntilCancelled(const SearchSession& session) {
    while (!session.cancelRequested())
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

} // namespace

class DriverTest : public QObject {
    Q_OBJECT

private slots:
    // However long the host lets rows gather, a long list comes in bounded batches, and in the
    // same order as when every row is handed over at once.
    void longListsComeInBoundedBatches() {
        TempTree t;
        for (int f = 0; f < 3; ++f)
            for (int n = 0; n < 3000; ++n)
                t.file("f" + std::to_string(f) + "/" + (n % 2 ? "N" : "n") + std::to_string(n),
                       std::string(static_cast<std::size_t>(1 + n % 7 + f % 2), 'x'));
        Host eager({t.path("*.*")});
        eager.search();
        Host patient({t.path("*.*")});
        patient.interval = std::chrono::hours(1);
        patient.search();
        QCOMPARE(patient.lists[ListSameName].size(), std::size_t(9000));
        QVERIFY(patient.lists[ListDuplicates].size() > 8000);
        QVERIFY(patient.largestBatch <= 4096);
        for (int m = 0; m < kResultListCount; ++m) {
            QCOMPARE(patient.lists[m].size(), eager.lists[m].size());
            for (std::size_t i = 0; i < patient.lists[m].size(); ++i)
                QCOMPARE(patient.lists[m][i].path(), eager.lists[m][i].path());
        }
    }

    void aSessionSearchesOnItsWorkerAndReportsItsEnd() {
        TempTree t;
        t.file("d1/a.txt", "hello");
        t.file("d2/b.txt", "hello");
        t.file("d3/c.txt", "hellp"); // same size, other bytes
        t.file("d1/e.bin", "abc");
        t.file("d2/E.BIN", "abd");
        t.file("d1/z2", "");
        t.file("d2/z1", "");
        t.file("d3/unique.dat", "a longer file");
        t.setMtime("d1/e.bin", 1700000000);
        Host host({t.path("*.*")});
        SearchSession session(host);
        session.setKeepTable(true);
        QVERIFY(session.start(host.request));
        QVERIFY(host.waitForFinished(1));
        session.wait();
        QVERIFY(!session.isRunning());
        QCOMPARE(host.lateRows, 0);

        QCOMPARE(host.statuses, (std::vector<std::string>{kStatusStart, kStatusLoading,
                                                          kStatusSameName, kStatusDuplicates}));
        const SearchOutcome& outcome = host.outcomes.front();
        QVERIFY(!outcome.cancelled);
        QCOMPARE(outcome.files, std::int64_t(8));
        QVERIFY(QString::fromStdString(outcomeText(outcome))
                    .contains(QRegularExpression("^Completed in \\d+s, searching 8 files\\.$")));
        QCOMPARE(host.paths(ListZeroSize), (Paths{t.path("d1/z2"), t.path("d2/z1")}));
        QCOMPARE(host.paths(ListDuplicates), (Paths{t.path("d1/a.txt"), t.path("d2/b.txt")}));
        const auto& dups = host.lists[ListDuplicates];
        QCOMPARE(dups[0].group, dups[1].group);
        // The key is the smallest table index of the group, in the table's final size order.
        const auto& entry = session.table().at(static_cast<std::size_t>(dups[0].group));
        QVERIFY(entry.path == t.path("d1/a.txt") || entry.path == t.path("d2/b.txt"));
        QCOMPARE(session.table().at(static_cast<std::size_t>(dups[0].group) + 1).size,
                 std::int64_t(5));
        QCOMPARE(host.paths(ListSameName), (Paths{t.path("d1/e.bin"), t.path("d2/E.BIN")}));
        QVERIFY(host.lists[ListReadErrors].empty());
        // The table keeps no group keys once listed.
        for (const auto& e : session.table())
            QCOMPARE(e.group, std::int64_t(-1));

        // The texts of a row: numbers padded to 10, the folder with its "/", local time.
        const auto& same = host.lists[ListSameName];
        const ResultRow& e = same[0].name == "e.bin" ? same[0] : same.at(1);
        QCOMPARE(cellText(e, SizeColumn), std::string("         3"));
        QCOMPARE(cellText(e, GroupColumn), std::string("        -1"));
        QCOMPARE(e.folder(), t.path("d1/"));
        QCOMPARE(QString::fromLatin1(e.dateText()),
                 QDateTime::fromSecsSinceEpoch(1700000000).toString("yyyy/MM/dd hh:mm:ss"));
    }

    // One search at a time: a start while one runs does nothing; cancels only cancel, and the
    // search still ends once, saying it was cancelled; the next search is not cancelled. A stop
    // (the host is going) reports no end at all.
    void oneSearchAtATimeCancelAndStop() {
        TempTree t;
        t.file("a", "same");
        t.file("b", "same");
        Host host({t.path("*.*")});
        SearchSession session(host);
        session.setBeforeComparison([&session] { holdUntilCancelled(session); });
        QVERIFY(session.start(host.request));
        QVERIFY(!session.start(host.request));
        session.cancel();
        QVERIFY(session.cancelRequested());
        session.cancel();
        QVERIFY(host.waitForFinished(1));
        session.wait();
        QCOMPARE(host.outcomes.size(), std::size_t(1));
        QVERIFY(host.outcomes[0].cancelled);
        QVERIFY(outcomeText(host.outcomes[0]).starts_with("Cancelled after "));
        QVERIFY(host.lists[ListDuplicates].empty());

        session.setBeforeComparison({});
        host.nextSearch();
        QVERIFY(session.start(host.request));
        QVERIFY(host.waitForFinished(2));
        session.wait();
        QVERIFY(!host.outcomes[1].cancelled);
        QCOMPARE(host.lists[ListDuplicates].size(), std::size_t(2));

        session.setBeforeComparison([&session] { holdUntilCancelled(session); });
        host.nextSearch();
        QVERIFY(session.start(host.request));
        session.stop();
        QVERIFY(!session.isRunning());
        QCOMPARE(host.outcomes.size(), std::size_t(2));
    }

    // A cancel is looked at per folder walked and every 200 names: cancelled from the start,
    // nothing is listed; cancelled when the names are compared, the names so far are listed and
    // nothing else. Either way the search says it was cancelled.
    void cancelWhileWalkingOrComparingNames() {
        TempTree t;
        for (int k = 0; k < 225; ++k)
            for (const std::string d : {"big/1/", "big/2/"})
                t.file(d + std::to_string(k), k % 10 ? "dup" : "");
        Host early({t.path("big/*.*")});
        early.model.cancelRequested = true;
        early.search();
        for (const auto& l : early.lists)
            QVERIFY(l.empty());
        QVERIFY(early.model.outcome.cancelled);

        Host big({t.path("big/*.*")});
        big.onStatus = [&](const std::string& s) {
            if (s == kStatusSameName)
                big.model.cancelRequested = true;
        };
        big.search();
        QVERIFY(!big.lists[ListSameName].empty());
        QVERIFY(big.lists[ListSameName].size() < 450);
        QVERIFY(big.lists[ListZeroSize].empty() && big.lists[ListDuplicates].empty());
        QVERIFY(std::find(big.statuses.begin(), big.statuses.end(), kStatusDuplicates) ==
                big.statuses.end());
        QVERIFY(big.model.outcome.cancelled);
        QCOMPARE(big.model.outcome.files, std::int64_t(450));
    }

    void cancelDuringTheRunsKeepsTheRunsComparedBefore() {
        // Runs are compared two at a time; whatever finished meanwhile, the groups kept are
        // those of the runs before the first one not compared, as if one after the other.
        TempTree t;
        constexpr int kRuns = 40;
        constexpr int kStep = 4096; // enough to read that the cancel comes before the last run
        for (int k = 1; k <= kRuns; ++k)
            for (const std::string d : {"a/", "b/"})
                t.file(d + std::to_string(k),
                       std::string(static_cast<std::size_t>(kStep * k), 'q'));
        // Cancelled as the first groups are handed over. Runs are listed in order, so a
        // worker held up in the first run while the other compares every later one hands them
        // all over at once, too late for the cancel: then the search is run again.
        for (int attempt = 0; attempt < 5; ++attempt) {
            Host host({t.path("*.*")}, {false, true, false});
            host.onRows = [&](int list) {
                if (list == ListDuplicates)
                    host.model.cancelRequested = true;
            };
            host.search();
            std::set<std::int64_t> sizes;
            for (const auto& row : host.lists[ListDuplicates])
                sizes.insert(row.size);
            QVERIFY(!sizes.empty());
            QCOMPARE(host.lists[ListDuplicates].size(), 2 * sizes.size());
            QCOMPARE(*sizes.rbegin(), std::int64_t(kStep * sizes.size())); // a prefix of the runs
            if (sizes.size() < kRuns)
                return;
        }
        QFAIL("the cancel never came before the last run was compared");
    }

    // The groups of each run are handed over as soon as it and the runs before it are compared,
    // while the progress goes on; the progress follows the bytes, also within a run of two files.
    void groupsComeWhileTheProgressFollowsTheBytes() {
        TempTree t;
        for (int k = 1; k <= 20; ++k)
            for (const std::string d : {"a/", "b/"})
                t.file(d + std::to_string(k), std::string(static_cast<std::size_t>(10 * k), 'q'));
        const std::string big(std::size_t{8} << 20, 'b');
        t.file("a/big", big);
        t.file("b/big", big);
        Host host({t.path("*.*")}, {false, true, false});
        std::atomic<bool> comparing{false};
        host.onStatus = [&](const std::string& s) { comparing = s == kStatusDuplicates; };
        std::vector<std::pair<double, std::size_t>> seen; // progress, groups' rows so far
        host.onProgress = [&](double p) {
            if (comparing)
                seen.emplace_back(p, host.rowCount(ListDuplicates));
        };
        host.search();
        QCOMPARE(host.lists[ListDuplicates].size(), std::size_t(42));
        QVERIFY(!seen.empty());
        QVERIFY(std::is_sorted(seen.begin(), seen.end()));
        QCOMPARE(seen.back().first, 100.0);
        QVERIFY(std::any_of(seen.begin(), seen.end(),
                            [](const auto& s) { return s.second > 0 && s.first < 100; }));
        // The small files hold a thousandth of the bytes: most reports are about the big pair.
        QVERIFY(std::count_if(seen.begin(), seen.end(),
                              [](const auto& s) { return s.first > 5 && s.first < 95; }) >= 3);
    }

    void smallTablesAndNoSearchChosen() {
        TempTree t;
        t.file("only/x", "");
        Host one({t.path("only/*.*")});
        one.search();
        QCOMPARE(one.lists[ListZeroSize].size(), std::size_t(1));
        Host none({t.path("absent/*.*")});
        none.search();
        QVERIFY(none.model.table.empty());
        QCOMPARE(none.lists[ListReadErrors].size(), std::size_t(1));
        QCOMPARE(none.lists[ListReadErrors][0].reason(),
                 std::string("could not be listed: No such file or directory"));

        // Names shared by the first and by the last entries in name order.
        for (const std::string d : {"1/", "2/", "3/"}) {
            t.file(d + "AAA", "x");
            t.file(d + "zzz", "y");
        }
        t.file("1/middle", "z");
        Host names({t.path("*.*")}, {false, false, true});
        names.search();
        QCOMPARE(names.lists[ListSameName].size(), std::size_t(6));
        Host nothing({t.path("*.*")}, {false, false, false});
        nothing.search();
        for (const auto& l : nothing.lists)
            QVERIFY(l.empty());
        QCOMPARE(nothing.model.table.size(), std::size_t(8));
    }

    // Files that went, or whose place was taken, after the walk found them: measured by the
    // walk, so no zero-length row is wrong, and never grouped; read errors with their reason.
    void filesChangedAfterTheWalk() {
        TempTree t;
        t.file("z1", "");
        t.file("z2", "");
        for (const char* f : {"gone", "fifo", "null", "link", "target"})
            t.file(f, "12345");
        Host host({t.path("*.*")});
        host.onStatus = [&](const std::string& s) {
            if (s != kStatusLoading)
                return;
            for (const char* f : {"gone", "fifo", "null", "link"})
                ::unlink(t.path(f).c_str());
            t.fifo("fifo");
            t.symlink("/dev/null", "null");
            t.symlink(t.path("target"), "link");
        };
        host.search();
        QCOMPARE(host.paths(ListZeroSize), (Paths{t.path("z1"), t.path("z2")}));
        QVERIFY(host.lists[ListDuplicates].empty());
        std::map<std::string, std::string> reasons;
        for (const ResultRow& r : host.lists[ListReadErrors]) {
            QCOMPARE(r.size, std::int64_t(5));
            reasons[r.name] = r.reason();
        }
        const std::map<std::string, std::string> expected = {{"gone", "No such file or directory"},
                                                             {"fifo", "changed since the search"},
                                                             {"null", "changed since the search"},
                                                             {"link", "changed since the search"}};
        QCOMPARE(reasons, expected);
    }

    // Paths longer than the system takes in one call, folders that cannot be listed: sizes come
    // from the walk, files far down are compared, and every folder left out is a read error. An
    // empty file that cannot be read is still of zero size and no read error; a file that cannot
    // be measured (its folder lists but cannot be entered) is one, and hides no empty file.
    void longPathsAndUnlistedFolders() {
        TempTree t;
        const std::string name(100, 'n');
        t.chain("long", 60, name, [](int level) {
            return level == 60 ? std::optional<std::string>("0123456789") : std::nullopt;
        });
        t.file("near/f", "0123456789");
        t.file("empty", "");
        t.file("shut", "");
        t.chmod("shut", 0);
        t.file("locked/inside", "0123456789");
        t.chmod("locked", 0);
        t.file("unentered/unmeasured", "x");
        t.chmod("unentered", 0555 & ~0111);
        const std::string root = t.path("*.*");
        QVERIFY(trevalo::test::runUnprivileged([&] {
            Host host({root});
            host.search();
            const auto& dups = host.lists[ListDuplicates];
            const auto& errors = host.lists[ListReadErrors];
            return host.paths(ListZeroSize) == Paths{t.path("empty"), t.path("shut")} &&
                   dups.size() == 2 && dups[0].path().size() + dups[1].path().size() > 6000 &&
                   host.paths(ListReadErrors) ==
                       Paths{t.path("locked"), t.path("unentered/unmeasured")} &&
                   errors[0].isFolder && errors[0].path() == t.path("locked") &&
                   errors[0].reason() == "could not be listed: Permission denied" &&
                   host.model.outcome.unlisted == 1;
        }));
    }

    // Files found through a Keep row are kept, also when another row found them first or a hard
    // link reaches them; with "only groups that hold a kept file", other groups are not listed
    // and runs of a size no kept file has are not compared at all.
    void keptFilesAndOnlyGroupsWithThem() {
        TempTree t;
        t.file("archive/a.txt", "AAAA");
        t.file("archive/b.txt", "BBB");
        t.file("downloads/a-copy.txt", "AAAA");
        t.file("downloads/c1", "CC");
        t.file("downloads/c2", "CC");
        t.hardlink("archive/b.txt", "downloads/b-link.txt");
        t.file("downloads/b-copy.txt", "BBB");
        const auto keptOf = [](const Host& h, int list) {
            Paths kept;
            for (const auto& r : h.lists[list])
                if (r.kept)
                    kept.insert(r.path());
            return kept;
        };
        for (const bool only : {false, true}) {
            Host host({t.path("downloads/*.*")}, {false, true, false});
            host.request.paths.push_back({t.path("archive/*.*"), true, PathRole::Keep});
            host.request.onlyWithKept = only;
            host.search();
            // b.txt was found first as downloads/b-link.txt: held once, and kept.
            QCOMPARE(keptOf(host, ListDuplicates),
                     (Paths{t.path("archive/a.txt"), t.path("downloads/b-link.txt")}));
            Paths expected = {t.path("archive/a.txt"), t.path("downloads/a-copy.txt"),
                              t.path("downloads/b-link.txt"), t.path("downloads/b-copy.txt")};
            if (!only)
                expected.insert({t.path("downloads/c1"), t.path("downloads/c2")});
            QCOMPARE(host.paths(ListDuplicates), expected);
            QCOMPARE(host.model.outcome.runsSkipped, std::int64_t(only ? 1 : 0));
        }
        // A row that only keeps adds no file of its own.
        Host host({t.path("downloads/*.txt")}, {false, true, false});
        host.request.paths.push_back({t.path("archive/*.*"), true, PathRole::KeepOnly});
        host.search();
        QCOMPARE(host.paths(ListDuplicates),
                 (Paths{t.path("downloads/b-link.txt"), t.path("downloads/b-copy.txt")}));
        QCOMPARE(keptOf(host, ListDuplicates), (Paths{t.path("downloads/b-link.txt")}));
    }

    // However many threads walk and compare, every list holds the same rows, field for field
    // and in the same order: runs of a few files, runs long enough to be streamed and shared
    // with a helper, copies and files that differ only in the last byte, names shared across
    // folders, files that cannot be read inside short and long runs, a folder that cannot be
    // listed, and more threads than processors. chmod 000 denies nothing to root, so the
    // searches run as an unprivileged user.
    void theNumberOfThreadsChangesNoRow() {
        TempTree t;
        std::mt19937 rng(7);
        const auto bytes = [&](std::size_t size) {
            std::string data(size, '\0');
            for (auto& c : data)
                c = char(rng());
            return data;
        };
        for (int size = 1; size <= 60; ++size) {
            const std::string data = bytes(std::size_t(size) * 997);
            for (int k = 0; k < 2 + size % 5; ++k) {
                const std::string rel = "s" + std::to_string(size % 9) + "/" +
                                        std::to_string(size % 4) + "/f" + std::to_string(size) +
                                        "_" + std::to_string(k);
                t.file(rel, k % 3 == 2 ? flipLast(data) : data);
                if (size % 7 == 3 && k == 0)
                    t.chmod(rel, 0);
            }
        }
        const std::string prefix = bytes(6000);
        for (int k = 0; k < kAllOpenRunLimit + 60; ++k) {
            const std::string rel = "long/" + std::to_string(k % 17) + "/n" + std::to_string(k);
            t.file(rel, prefix + char('a' + k % 11) + std::string(1000, 'z'));
            if (k % 41 == 5)
                t.chmod(rel, 0);
        }
        for (int k = 0; k < 40; ++k)
            t.file("names/" + std::to_string(k) + "/same name", k % 3 ? "" : bytes(100));
        t.file("locked/inside", "hidden");
        t.chmod("locked", 0);
        const std::string root = t.path("*.*");
        // Every field of every row, as text.
        const auto lists = [&](int threads) {
            Host host({root});
            host.request.threads = threads;
            host.search();
            std::string text;
            for (int list = 0; list < kResultListCount; ++list)
                for (const ResultRow& r : host.lists[list]) {
                    const FileStamp& s = r.stamp;
                    for (const std::int64_t n :
                         {std::int64_t(list), r.group, r.size, r.mtime, std::int64_t(r.mtimeKnown),
                          std::int64_t(r.isFolder), std::int64_t(s.device), std::int64_t(s.inode),
                          s.size, s.mtime, s.ctime, std::int64_t(s.mtimeNsec)})
                        text += std::to_string(n) + ' ';
                    text += r.path() + '|' + std::string(r.dateText()) + '|' + r.reason() + '\n';
                }
            return text;
        };
        QVERIFY(trevalo::test::runUnprivileged([&] {
            const std::string one = lists(1);
            bool ok = std::count(one.begin(), one.end(), '\n') > 500 &&
                      one.find("|Permission denied\n") != std::string::npos &&
                      one.find("could not be listed: Permission denied") != std::string::npos;
            for (const int threads : {2, 8, 2, 8}) {
                const std::string other = lists(threads);
                if (other != one) {
                    std::fprintf(stderr, "FAIL: %d threads\n%s\n---- one thread ----\n%s\n",
                                 threads, other.c_str(), one.c_str());
                    ok = false;
                }
            }
            return ok;
        }));
    }
};

QTEST_GUILESS_MAIN(DriverTest)
#include "test_driver.moc"
