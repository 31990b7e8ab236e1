// SPDX-License-Identifier: GPL-2.0-or-later
// What a search takes in and leaves out: exclude patterns, size limits (bench/scope_vs_jdupes.sh
// checks them against jdupes), sizes as typed, and the work report with its estimate of time left.
#include "search/SearchDriver.h"
#include "search/SearchScope.h"
#include "search/TimeLeft.h"
#include "support/TempTree.h"

#include <QtTest>
#include <map>
#include <set>
#include <unistd.h>

using namespace trevalo;
using trevalo::test::TempTree;
using Paths = std::set<std::string>;
using Groups = std::set<Paths>;

namespace {

// Collects what a search hands over, every step of it.
class Host final : public SearchEvents {
public:
    std::array<std::vector<ResultRow>, kResultListCount> lists;
    std::vector<SearchWork> works;
    SearchOutcome outcome;

    void progress(double) override {}
    void phase(SearchPhase) override {}
    void rows(int list, std::vector<ResultRow> rows) override {
        auto& to = lists[static_cast<std::size_t>(list)];
        to.insert(to.end(), rows.begin(), rows.end());
    }
    void work(const SearchWork& work) override { works.push_back(work); }
    void finished(const SearchOutcome& o) override { outcome = o; }
    std::chrono::milliseconds handOverInterval() const override {
        return std::chrono::milliseconds(0);
    }

    Paths paths(int list) const {
        Paths out;
        for (const ResultRow& r : lists[static_cast<std::size_t>(list)])
            out.insert(r.path());
        return out;
    }
    Groups groups() const {
        std::map<std::int64_t, Paths> byKey;
        for (const ResultRow& r : lists[ListDuplicates])
            byKey[r.group].insert(r.path());
        Groups out;
        for (auto& [key, members] : byKey)
            out.insert(members);
        return out;
    }
};

Host searchTree(const std::string& root, const std::vector<std::string>& exclude,
                std::int64_t minSize = 0, std::int64_t maxSize = -1) {
    SearchRequest request;
    request.paths.push_back(PathRow{root + "/*.*", true});
    request.exclude = exclude;
    request.minSize = minSize;
    request.maxSize = maxSize;
    SearchState state;
    Host host;
    runSearch(request, state, host);
    host.outcome = state.outcome;
    return host;
}

// A tree with known answers:
//   a/x1 a/x2 b/x3      "hello world" (11 bytes)     a/n.tmp b/o.tmp the same, *.tmp
//   a/big1 a/big2       3000 bytes alike             a/mid1 a/mid2 500 bytes alike
//   cache/c1 cache/c2   the same 500 bytes, in a folder named "cache"
//   a/m.dat b/m.dat     500 bytes each, different    cache/m.dat 500 bytes, another
//   a/empty b/empty     zero length
struct Tree {
    TempTree t;
    std::string p(const char* rel) const { return t.path(rel); }
    Tree() {
        for (const char* f : {"a/x1", "a/x2", "b/x3", "a/n.tmp", "b/o.tmp"})
            t.file(f, "hello world");
        t.file("a/big1", std::string(3000, 'A'));
        t.file("a/big2", std::string(3000, 'A'));
        for (const char* f : {"a/mid1", "a/mid2", "cache/c1", "cache/c2"})
            t.file(f, std::string(500, 'B'));
        t.file("a/m.dat", std::string(500, 'C'));
        t.file("b/m.dat", std::string(500, 'D'));
        t.file("cache/m.dat", std::string(500, 'E'));
        t.file("a/empty");
        t.file("b/empty");
    }
};

} // namespace

class SearchScopeTest : public QObject {
    Q_OBJECT

private slots:
    void excludePatternsByNameByPathAndFoldersOnly() {
        const ExcludeRules rules({"*.TMP", "*/build/*.o", "cache/", "Thumbs.db"});
        QVERIFY(rules.excludes("/h/x/", "notes.tmp", false)); // letter case ignored
        QVERIFY(!rules.excludes("/h/x/", "notes.tmpl", false));
        QVERIFY(rules.excludes("/h/x/", "Thumbs.db", true)); // a name pattern takes folders too
        QVERIFY(rules.excludes("/h/x/", "cache", true));
        QVERIFY(!rules.excludes("/h/x/", "cache", false)); // "cache/": folders only
        QVERIFY(rules.excludes("/h/src/build/", "main.o", false));
        QVERIFY(!rules.excludes("/h/src/", "main.o", false)); // the path pattern wants build/
        QVERIFY(!rules.excludes("/h/build.o/", "x", false));  // nor a name that holds it
        QVERIFY(ExcludeRules(std::vector<std::string>{}).empty());

        QCOMPARE(parseExcludeLine(" *.tmp ; ;cache;  a b  ;"),
                 (std::vector<std::string>{"*.tmp", "cache", "a b"}));
        QVERIFY(parseExcludeLine("  ").empty());
        const std::vector<std::string> patterns{"*.o", "*/x/*"};
        QCOMPARE(parseExcludeLine(excludeLineOf(patterns)), patterns);
    }

    void sizesAsTyped() {
        const std::vector<std::pair<const char*, std::int64_t>> good = {
            {"0", 0},
            {"123", 123},
            {"10 B", 10},
            {"4KB", 4000},
            {"4 kb", 4000},
            {"1.5 MB", 1500000},
            {" 2GB ", 2000000000},
            {"0.5KB", 500},
            {"1.0009 KB", 1000}, // a fraction of a byte is dropped
            {"9223372036854775807", INT64_MAX},
            {"9223372036 GB", 9223372036000000000},
        };
        for (const auto& [text, bytes] : good) {
            QVERIFY2(parseSizeText(text).has_value(), text);
            QCOMPARE(*parseSizeText(text), bytes);
        }
        for (const char* bad : {"", " ", "KB", "-1", "1 XB", "1 KiB", "1..5", "12abc",
                                "9223372036854775808", "9223372037 GB", "1e3"})
            QVERIFY2(!parseSizeText(bad), bad);
        for (std::int64_t n : {0LL, 1LL, 999LL, 4000LL, 1500000LL, 2000000000LL, 123456789LL})
            QCOMPARE(*parseSizeText(sizeTextOf(n)), n);
        QCOMPARE(sizeTextOf(4000), std::string("4 KB"));
    }

    void excludedFoldersAreNotEnteredAndPatternsPassFilesOver() {
        Tree tree;
        const Host all = searchTree(tree.t.root(), {});
        const Host some = searchTree(tree.t.root(), {"cache", "*.tmp", "*/b/x*"});
        QVERIFY(all.groups().count(
            Paths{tree.p("a/mid1"), tree.p("a/mid2"), tree.p("cache/c1"), tree.p("cache/c2")}));
        QCOMPARE(some.groups(), (Groups{{tree.p("a/x1"), tree.p("a/x2")},
                                        {tree.p("a/big1"), tree.p("a/big2")},
                                        {tree.p("a/mid1"), tree.p("a/mid2")}}));
        QCOMPARE(some.paths(ListSameName), (Paths{tree.p("a/m.dat"), tree.p("b/m.dat"),
                                                  tree.p("a/empty"), tree.p("b/empty")}));
        QVERIFY(some.paths(ListReadErrors).empty());
        QCOMPARE(some.outcome.files, all.outcome.files - 6);

        // A path pattern names the real path: a search through a link to the tree, or of ".",
        // leaves the same folder out.
        TempTree above;
        above.symlink(tree.t.root(), "link");
        const std::vector<std::string> realCache = {tree.p("cache")};
        const Host linked = searchTree(above.path("link"), realCache);
        QCOMPARE(linked.outcome.files, all.outcome.files - 3);
        char here[4096];
        QVERIFY(::getcwd(here, sizeof here));
        QCOMPARE(::chdir(tree.t.root().c_str()), 0);
        const Host dot = searchTree(".", realCache);
        QCOMPARE(::chdir(here), 0);
        QCOMPARE(dot.outcome.files, all.outcome.files - 3);
        QVERIFY(dot.paths(ListSameName).count("./cache/m.dat") == 0);
    }

    void sizeLimitsLeaveFilesOutOfEveryList() {
        Tree tree;
        const Host limited = searchTree(tree.t.root(), {}, 100, 2000);
        QCOMPARE(limited.groups(), (Groups{{tree.p("a/mid1"), tree.p("a/mid2"), tree.p("cache/c1"),
                                            tree.p("cache/c2")}}));
        QVERIFY(limited.paths(ListZeroSize).empty()); // a minimum above 0 drops them
        QCOMPARE(limited.paths(ListSameName),
                 (Paths{tree.p("a/m.dat"), tree.p("b/m.dat"), tree.p("cache/m.dat")}));
        QCOMPARE(limited.outcome.outsideLimits, 9);

        // Minimum 0: zero-length files are still listed; the maximum bounds what is compared.
        const Host small = searchTree(tree.t.root(), {}, 0, 11);
        QCOMPARE(small.paths(ListZeroSize), (Paths{tree.p("a/empty"), tree.p("b/empty")}));
        QCOMPARE(small.groups(), (Groups{{tree.p("a/x1"), tree.p("a/x2"), tree.p("b/x3"),
                                          tree.p("a/n.tmp"), tree.p("b/o.tmp")}}));
        // A maximum of 0 is a limit too: the empty files only.
        const Host empty = searchTree(tree.t.root(), {}, 0, 0);
        QVERIFY(empty.groups().empty() && empty.paths(ListZeroSize).size() == 2);
        // Exactly at a limit is within it.
        QCOMPARE(searchTree(tree.t.root(), {}, 3000, 3000).groups(),
                 (Groups{{tree.p("a/big1"), tree.p("a/big2")}}));
    }

    void workCountsTheBytesToCompareAndEndsAtTheTotal() {
        Tree tree;
        const Host host = searchTree(tree.t.root(), {});
        QVERIFY(!host.works.empty());
        QVERIFY(std::any_of(host.works.begin(), host.works.end(), [](const SearchWork& w) {
            return w.phase == SearchPhase::Walking && w.files > 0;
        }));
        // Runs of equal size: 5 x 11 bytes, 2 x 3000, 7 x 500.
        const std::int64_t total = 5 * 11 + 2 * 3000 + 7 * 500;
        std::int64_t done = -1;
        for (const SearchWork& w : host.works) {
            if (w.phase != SearchPhase::Duplicates)
                continue;
            QCOMPARE(w.bytesTotal, total);
            QVERIFY(w.bytesDone <= total);
            QVERIFY(w.bytesDone >= done); // never goes back
            done = w.bytesDone;
        }
        QCOMPARE(done, total);
    }

    void timeLeftFromAMovingAverage() {
        using namespace std::chrono;
        const TimeLeft::Clock::time_point t0{};
        const auto at = [&](double s) {
            return t0 + duration_cast<nanoseconds>(duration<double>(s));
        };
        TimeLeft left;
        QVERIFY(!left.seconds());
        // 100 units a second, total 10000.
        for (int i = 0; i <= 19; ++i)
            left.sample(at(i * 0.1), i * 10, 10000);
        QVERIFY(!left.seconds()); // before 2 s
        for (int i = 20; i <= 100; ++i)
            left.sample(at(i * 0.1), i * 10, 10000);
        QVERIFY(left.seconds());
        QVERIFY(std::abs(*left.seconds() - 90.0) < 1.0); // 9000 left at 100/s

        // Half a second ten times as fast moves the estimate, but not to a tenth.
        std::int64_t done = 1000;
        for (int i = 1; i <= 5; ++i)
            left.sample(at(10 + i * 0.1), done += 100, 10000);
        QVERIFY(*left.seconds() > 40.0);
        // Kept up, the new rate takes over.
        for (int i = 6; i <= 300; ++i)
            left.sample(at(10 + i * 0.1), done = std::min<std::int64_t>(done + 100, 10000000),
                        10000000);
        QVERIFY(std::abs(*left.seconds() - (10000000.0 - static_cast<double>(done)) / 1000.0) <
                (10000000.0 - static_cast<double>(done)) / 1000.0 * 0.05);

        // Ten seconds without progress: the estimate grows, a quarter of the rate being left.
        const double moving = *left.seconds();
        QVERIFY(std::abs(*left.seconds(at(50)) - 4 * moving) < moving * 0.05);

        // Work that speeds up ever faster gives no estimate: the finishing time it foresees
        // keeps moving.
        left.reset();
        for (int i = 0; i <= 100; ++i)
            left.sample(at(i * 0.1), static_cast<std::int64_t>(std::exp2(i * 0.1) * 100),
                        std::int64_t{1} << 40);
        QVERIFY(!left.seconds());
        // A constant rate, not before the warm-up and the steady time have passed.
        left.reset();
        for (int i = 0; i <= 39; ++i)
            left.sample(at(i * 0.1), i * 10, 10000);
        QVERIFY(!left.seconds());
        left.sample(at(4.1), 410, 10000);
        QVERIFY(left.seconds());

        // Nothing done, or a new stage: no estimate.
        left.reset();
        for (int i = 0; i <= 30; ++i)
            left.sample(at(i * 0.1), 0, 500);
        QVERIFY(!left.seconds());

        QCOMPARE(timeLeftText(4.2), std::string("about 5 s left"));
        QCOMPARE(timeLeftText(150), std::string("about 3 min left"));
        QCOMPARE(timeLeftText(7800), std::string("about 2 h 10 min left"));
    }
};

QTEST_GUILESS_MAIN(SearchScopeTest)
#include "test_search_scope.moc"
