// Whole searches on real trees, through the driver and through the search command.
#include "platform/PathText.h"
#include "search/SearchDriver.h"
#include "search/SearchRun.h"
#include "support/TempTree.h"

#include <QtTest>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <set>
#include <unistd.h>

using namespace trevalo;
using trevalo::test::TempTree;

namespace {

// Records what a search hands over; hand-overs are not throttled, so hooks see every step.
class RecordingHost final : public RunHost {
public:
    std::array<std::vector<ResultRow>, kResultListCount> lists;
    std::vector<std::string> statuses;
    std::vector<std::pair<std::string, std::string>> messages;
    std::vector<std::string> calls;
    SearchRequest request;
    std::function<void(const std::string&)> onStatus; // runs on the worker
    std::function<void(double)> onProgress;           // runs on the worker
    bool ended = false;

    std::chrono::milliseconds handOverInterval() const override { return {}; }
    SearchRequest searchRequest() override { return request; }
    void showMessage(const std::string& text, const std::string& title) override {
        messages.emplace_back(text, title);
    }
    void focusDriveList() override { calls.push_back("focus"); }
    void clearList(int list) override {
        std::lock_guard lock(mutex_);
        lists[list].clear();
    }
    void updateCount() override { calls.push_back("count"); }
    void searchStarted() override { calls.push_back("started"); }
    void searchEnded() override {
        calls.push_back("ended");
        ended = true;
    }
    void sortList(int list, int column, int order) override {
        calls.push_back("sort " + std::to_string(list) + " " + std::to_string(column) + " " +
                        std::to_string(order));
        std::lock_guard lock(mutex_);
        std::stable_sort(lists[list].begin(), lists[list].end(),
                         [&](const ResultRow& a, const ResultRow& b) {
                             return cellText(a, column - 1) < cellText(b, column - 1);
                         });
    }
    void setProgress(double percent) override {
        if (onProgress)
            onProgress(percent);
    }
    void setStatus(const std::string& text) override {
        {
            std::lock_guard lock(mutex_);
            statuses.push_back(text);
        }
        if (onStatus)
            onStatus(text);
    }
    void appendRows(int list, std::vector<ResultRow> rows) override {
        std::lock_guard lock(mutex_);
        for (auto& r : rows)
            lists[list].push_back(std::move(r));
    }
    void runOnHostThread(std::function<void()> fn) override {
        std::lock_guard lock(mutex_);
        queue_.push_back(std::move(fn));
        ready_.notify_one();
    }
    // Runs what the worker handed back until the search has ended.
    bool pumpUntilEnded() {
        for (int i = 0; i < 600 && !ended; ++i) {
            std::unique_lock lock(mutex_);
            ready_.wait_for(lock, std::chrono::milliseconds(100), [&] { return !queue_.empty(); });
            while (!queue_.empty()) {
                auto fn = std::move(queue_.front());
                queue_.pop_front();
                lock.unlock();
                fn();
                lock.lock();
            }
        }
        return ended;
    }
    std::set<std::string> paths(int list) const {
        std::set<std::string> out;
        for (const auto& r : lists[list])
            out.insert(r.path());
        return out;
    }

private:
    std::mutex mutex_;
    std::condition_variable ready_;
    std::deque<std::function<void()>> queue_;
};

SearchRequest requestFor(std::vector<std::string> paths,
                         std::array<bool, 3> types = {true, true, true}) {
    SearchRequest r;
    for (auto& p : paths)
        r.paths.push_back(PathRow{std::move(p), true});
    r.types = types;
    return r;
}

void search(RecordingHost& host, SearchModel& model) {
    ExecSrch(host.request, model, host);
}

} // namespace

class DriverTest : public QObject {
    Q_OBJECT

private slots:
    void threeSearchesThroughTheSearchCommand() {
        TempTree t;
        t.file("d1/a.txt", "hello");
        t.file("d2/b.txt", "hello");
        t.file("d3/c.txt", "hellp"); // same size, other bytes
        t.file("d1/e.bin", "abc");
        t.file("d2/E.BIN", "abd");
        t.file("d1/z2", "");
        t.file("d2/z1", "");
        t.file("d3/unique.dat", "a longer file");
        RecordingHost host;
        SearchModel model;
        host.request = requestFor({t.path("*.*")});
        SearchRun run(host, model);
        run.click();
        QCOMPARE(run.state(), SearchRun::State::Running);
        QVERIFY(host.pumpUntilEnded());
        QCOMPARE(run.state(), SearchRun::State::Idle);

        QCOMPARE(host.statuses.front(), std::string("Start ..."));
        QVERIFY(QString::fromStdString(host.statuses.back())
                    .contains(QRegularExpression("^Completed in \\d+s, searching 8 files\\.$")));
        QCOMPARE(host.paths(ListZeroSize),
                 (std::set<std::string>{t.path("d1/z2"), t.path("d2/z1")}));
        QCOMPARE(host.lists[ListZeroSize].front().name, std::string("z1")); // sorted by name
        QCOMPARE(host.paths(ListDuplicates),
                 (std::set<std::string>{t.path("d1/a.txt"), t.path("d2/b.txt")}));
        const auto& dups = host.lists[ListDuplicates];
        QCOMPARE(dups[0].group, dups[1].group);
        // The key is the smallest table index of the group, in the table's final size order.
        const auto& entry = model.table.at(static_cast<std::size_t>(dups[0].group));
        QVERIFY(entry.FilePath == t.path("d1/a.txt") || entry.FilePath == t.path("d2/b.txt"));
        QCOMPARE(model.table.at(static_cast<std::size_t>(dups[0].group) + 1).FileSize,
                 std::int64_t(5));
        QCOMPARE(host.paths(ListSameName),
                 (std::set<std::string>{t.path("d1/e.bin"), t.path("d2/E.BIN")}));
        QVERIFY(host.lists[ListReadErrors].empty());
        // The table keeps no group keys once listed.
        for (const auto& e : model.table)
            QCOMPARE(e.DupGroup, std::int64_t(-1));
        const std::vector<std::string> tail(host.calls.end() - 5, host.calls.end());
        QCOMPARE(tail, (std::vector<std::string>{"sort 1 3 0", "sort 2 1 0", "sort 0 1 0", "count",
                                                 "ended"}));
    }

    void rowTexts() {
        TempTree t;
        t.file("x/a.txt", "12345");
        t.file("y/a.txt", "12345");
        t.setMtime("x/a.txt", 1700000000);
        RecordingHost host;
        SearchModel model;
        host.request = requestFor({t.path("*.*")});
        search(host, model);
        const ResultRow& row = host.lists[ListSameName].at(0);
        QCOMPARE(cellText(row, ColSize), std::string("         5"));
        QCOMPARE(cellText(row, ColGroup), std::string("        -1"));
        QVERIFY(row.folder.ends_with("/"));
        const ResultRow& first = row.folder == t.path("x/") ? row : host.lists[ListSameName].at(1);
        QCOMPARE(first.dateText(), std::string_view(formatFileDate(1700000000)));
    }

    void emptyPathListIsRefused() {
        RecordingHost host;
        SearchModel model;
        SearchRun run(host, model);
        run.click();
        QCOMPARE(host.messages.size(), std::size_t(1));
        QCOMPARE(host.messages[0].first, std::string("Please select path before search."));
        QCOMPARE(host.messages[0].second, std::string("Select Path"));
        QCOMPARE(host.calls, std::vector<std::string>{"focus"});
        QVERIFY(host.statuses.empty());
        QCOMPARE(run.state(), SearchRun::State::Idle);
    }

    void secondClicksOnlyCancel() {
        TempTree t;
        t.file("a", "same");
        t.file("b", "same");
        RecordingHost host;
        SearchModel model;
        host.request = requestFor({t.path("*.*")});
        std::mutex m;
        std::condition_variable cv;
        bool release = false;
        host.onStatus = [&](const std::string& s) {
            if (s != kStatusLoading)
                return;
            std::unique_lock lock(m);
            cv.wait(lock, [&] { return release; });
        };
        SearchRun run(host, model);
        run.click();
        run.click();
        run.click();
        QCOMPARE(run.state(), SearchRun::State::Stopping);
        QVERIFY(model.CancelSrch);
        {
            std::lock_guard lock(m);
            release = true;
        }
        cv.notify_all();
        QVERIFY(host.pumpUntilEnded());
        QCOMPARE(std::count(host.calls.begin(), host.calls.end(), "ended"), 1);
        QCOMPARE(std::count(host.statuses.begin(), host.statuses.end(), "Stopping ..."), 2);
        QVERIFY(host.lists[ListDuplicates].empty()); // the run was passed over
        QVERIFY(host.statuses.back().starts_with("Completed in "));
        // A new search starts at once and clears the lists of the cancelled one.
        host.onStatus = nullptr;
        host.ended = false;
        run.click();
        QVERIFY(host.pumpUntilEnded());
        QCOMPARE(host.lists[ListDuplicates].size(), std::size_t(2));
    }

    void cancelDuringTheSameNameWalkEndsTheSearch() {
        TempTree t;
        for (int k = 0; k < 225; ++k) {
            t.file("one/n" + std::to_string(k), k % 10 ? "dup" : "");
            t.file("two/n" + std::to_string(k), k % 10 ? "dup" : "");
        }
        RecordingHost host;
        SearchModel model;
        host.request = requestFor({t.path("*.*")});
        model.CancelSrch = true;
        search(host, model);
        QVERIFY(!host.lists[ListSameName].empty());
        QVERIFY(host.lists[ListSameName].size() < 450);
        QVERIFY(host.lists[ListZeroSize].empty());
        QVERIFY(host.lists[ListDuplicates].empty());
        QVERIFY(host.lists[ListReadErrors].empty());
        QVERIFY(std::find(host.statuses.begin(), host.statuses.end(), kStatusDuplicates) ==
                host.statuses.end());
    }

    void cancelWithASmallTablePassesOverTheRunsOnly() {
        TempTree t;
        t.file("a/x", "");
        t.file("b/x", "");
        t.file("a/y", "dup");
        t.file("b/z", "dup");
        RecordingHost host;
        SearchModel model;
        host.request = requestFor({t.path("*.*")});
        model.CancelSrch = true;
        search(host, model);
        QCOMPARE(host.lists[ListSameName].size(), std::size_t(2));
        QCOMPARE(host.lists[ListZeroSize].size(), std::size_t(2));
        QVERIFY(host.lists[ListDuplicates].empty());
    }

    void cancelDuringTheRunsKeepsTheRunsComparedBefore() {
        // Runs are compared two at a time; whatever finished meanwhile, the groups kept are
        // those of the runs before the first one not compared, as if one after the other.
        TempTree t;
        constexpr int kRuns = 40;
        for (int k = 1; k <= kRuns; ++k) {
            const std::string content(static_cast<std::size_t>(10 * k), 'q');
            t.file("a/" + std::to_string(k), content);
            t.file("b/" + std::to_string(k), content);
        }
        RecordingHost host;
        SearchModel model;
        host.request = requestFor({t.path("*.*")}, {false, true, false});
        std::atomic<bool> comparing{false};
        host.onStatus = [&](const std::string& s) { comparing = s == kStatusDuplicates; };
        host.onProgress = [&](double p) {
            if (comparing && p > 0)
                model.CancelSrch = true; // after the first run
        };
        search(host, model);
        std::set<std::int64_t> sizes;
        for (const auto& row : host.lists[ListDuplicates])
            sizes.insert(row.size);
        QVERIFY(!sizes.empty());
        QVERIFY(sizes.size() < kRuns);
        QCOMPARE(host.lists[ListDuplicates].size(), 2 * sizes.size());
        QCOMPARE(*sizes.rbegin(), std::int64_t(10 * sizes.size())); // a prefix of the runs
    }

    void nothingChosenListsNothing() {
        TempTree t;
        t.file("a/x", "");
        t.file("b/x", "");
        RecordingHost host;
        SearchModel model;
        host.request = requestFor({t.path("*.*")}, {false, false, false});
        search(host, model);
        for (const auto& l : host.lists)
            QVERIFY(l.empty());
        QCOMPARE(model.table.size(), std::size_t(2));
    }

    void tablesOfOneAndNoEntry() {
        TempTree t;
        t.file("only", "");
        RecordingHost host;
        SearchModel model;
        host.request = requestFor({t.path("*.*")});
        search(host, model);
        QCOMPARE(host.lists[ListZeroSize].size(), std::size_t(1));
        host.request = requestFor({t.path("absent/*.*")});
        search(host, model);
        QVERIFY(model.table.empty());
    }

    void namesSharedAtBothEndsOfTheOrder() {
        TempTree t;
        for (const char* d : {"1", "2", "3"}) {
            t.file(std::string(d) + "/AAA", "x");
            t.file(std::string(d) + "/zzz", "y");
        }
        t.file("1/middle", "z");
        RecordingHost host;
        SearchModel model;
        host.request = requestFor({t.path("*.*")}, {false, false, true});
        search(host, model);
        QCOMPARE(host.lists[ListSameName].size(), std::size_t(6));
    }

    void runsOf250And251EqualSizes() {
        for (int n : {250, 251}) {
            TempTree t;
            for (int k = 0; k < n; ++k)
                t.patterned("f" + std::to_string(k), 3000,
                            static_cast<unsigned>(k % 3 == 0 ? 1 : 1000 + k));
            RecordingHost host;
            SearchModel model;
            host.request = requestFor({t.path("*.*")}, {false, true, false});
            search(host, model);
            const auto& dups = host.lists[ListDuplicates];
            QCOMPARE(dups.size(), std::size_t((n + 2) / 3));
            for (const auto& r : dups)
                QCOMPARE(r.group, dups.front().group);
        }
    }

    void filesGoneBeforeTheyWereMeasured() {
        TempTree t;
        t.file("z1", "");
        t.file("z2", "");
        t.file("gone1", "12345");
        t.file("gone2", "12345");
        RecordingHost host;
        SearchModel model;
        host.request = requestFor({t.path("*.*")});
        host.onStatus = [&](const std::string& s) {
            if (s == kStatusLoading) {
                ::unlink(t.path("gone1").c_str());
                ::unlink(t.path("gone2").c_str());
            }
        };
        search(host, model);
        // They sort first but hide none of the zero-length files; together they form a run
        // that cannot be read.
        QCOMPARE(host.paths(ListZeroSize), (std::set<std::string>{t.path("z1"), t.path("z2")}));
        QCOMPARE(host.paths(ListReadErrors),
                 (std::set<std::string>{t.path("gone1"), t.path("gone2")}));
        QCOMPARE(host.lists[ListReadErrors][0].size, std::int64_t(-1));
        QCOMPARE(host.lists[ListReadErrors][0].dateText(), std::string_view("1899/12/30 00:00:00"));

        // A single one is listed nowhere.
        t.file("gone1", "12345");
        RecordingHost again;
        again.request = requestFor({t.path("*.*")});
        again.onStatus = [&](const std::string& s) {
            if (s == kStatusLoading)
                ::unlink(t.path("gone1").c_str());
        };
        search(again, model);
        QCOMPARE(again.lists[ListZeroSize].size(), std::size_t(2));
        QVERIFY(again.lists[ListReadErrors].empty());
        QVERIFY(again.lists[ListDuplicates].empty());
    }

    void theSameFolderTwiceIsNoDuplicateOfItself() {
        TempTree t;
        t.file("d/a", "same");
        t.file("d/b", "same");
        t.file("d/c", "other!");
        RecordingHost host;
        SearchModel model;
        host.request = requestFor({t.path("d/*.*"), t.path("*.*"), t.path("d/*.*")});
        search(host, model);
        QCOMPARE(model.table.size(), std::size_t(3));
        QCOMPARE(host.paths(ListDuplicates), (std::set<std::string>{t.path("d/a"), t.path("d/b")}));
        QCOMPARE(host.lists[ListDuplicates].size(), std::size_t(2));
    }
};

QTEST_GUILESS_MAIN(DriverTest)
#include "test_driver.moc"
