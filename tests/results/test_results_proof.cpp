// SPDX-License-Identifier: GPL-2.0-or-later
// Results opened from a file are proven against the disk before anything may act on them:
// files changed behind an unchanged date, hand-made groups of different files, one file listed
// twice, rows without a date, and a check that is cancelled.
#include "results/ResultsFile.h"
#include "results/ResultsProof.h"
#include "support/FileRows.h"
#include "support/TempTree.h"

#include <QtTest>

#include <map>
#include <unistd.h>

using namespace trevalo;
using trevalo::test::TempTree;

namespace {

// The lists as a file would bring them back: saved and opened again.
ResultLists savedAndOpened(TempTree& tree, const ResultLists& lists) {
    SavedResults saved;
    saved.lists = lists;
    std::string error;
    const std::string file = tree.path("results.json");
    if (!saveResults(file, saved, error))
        qFatal("%s", error.c_str());
    auto opened = openResults(file, error);
    if (!opened)
        qFatal("%s", error.c_str());
    return opened->lists;
}

// The row of a path in a list, or nullptr.
const ResultRow* rowOf(const std::vector<ResultRow>& rows, const std::string& path) {
    for (const ResultRow& r : rows)
        if (r.path() == path)
            return &r;
    return nullptr;
}

// Rows that may be acted on, by group key.
std::map<std::int64_t, std::vector<std::string>> liveGroups(const std::vector<ResultRow>& rows) {
    std::map<std::int64_t, std::vector<std::string>> groups;
    for (const ResultRow& r : rows)
        if (!r.stale())
            groups[r.group].push_back(r.name);
    return groups;
}

} // namespace

class ResultsProofTest : public QObject {
    Q_OBJECT
private slots:
    void filesChangedOnDiskAreStale() {
        TempTree tree;
        ResultLists lists;
        for (const char* f : {"same", "grown", "touched", "gone", "replaced"})
            lists[ListReadErrors].push_back(rowOfFile(tree.file(f, "1234"), 0));
        lists[ListReadErrors].push_back(makeFolderRow(tree.path("shut"), EACCES));
        ResultLists opened = savedAndOpened(tree, lists);

        tree.file("grown", "12345");
        tree.setMtime("touched", lists[ListReadErrors][2].mtime + 10);
        ::unlink(tree.path("gone").c_str());
        ::unlink(tree.path("replaced").c_str());
        tree.dir("replaced");

        const ProofReport report = proveOpenedResults(opened);
        const auto& rows = opened[ListReadErrors];
        QCOMPARE(report.stale, std::size_t{4});
        QVERIFY(!rows[0].stale());
        // The fresh row now carries the file's identity, as a search would have given it.
        QCOMPARE(rows[0].stamp, lists[ListReadErrors][0].stamp);
        QVERIFY(rows[1].staleReason().find("changed") != std::string::npos);
        QVERIFY(rows[2].staleReason().find("changed") != std::string::npos);
        QVERIFY(rows[3].staleReason().find("gone") != std::string::npos);
        QVERIFY(rows[4].staleReason().find("regular") != std::string::npos);
        QVERIFY(!rows[5].stale()); // a folder that could not be listed stays as it was
    }

    // An edit that keeps size and date (touch -r) is found by the bytes, not by the stamp.
    void groupsAreComparedAgainByTheirBytes() {
        TempTree tree;
        ResultLists lists;
        for (const char* f : {"a", "b", "c", "d", "e"})
            lists[ListDuplicates].push_back(rowOfFile(tree.file(f, "same bytes"), 0));
        for (const char* f : {"p", "q"})
            lists[ListDuplicates].push_back(rowOfFile(tree.file(f, "other"), 9));
        ResultLists opened = savedAndOpened(tree, lists);

        // c and d are edited in place to the same new bytes, e to bytes of its own; dates kept.
        for (const char* f : {"c", "d", "e"}) {
            const std::int64_t mtime = rowOf(lists[ListDuplicates], tree.path(f))->mtime;
            tree.file(f, std::string(f) == "e" ? "EEEE bytes" : "Same bytes");
            tree.setMtime(f, mtime);
        }
        const ProofReport report = proveOpenedResults(opened);
        QVERIFY(!report.cancelled);
        const auto groups = liveGroups(opened[ListDuplicates]);
        QCOMPARE(groups.size(), std::size_t{3});
        QCOMPARE(groups.at(0), (std::vector<std::string>{"a", "b"}));
        QCOMPARE(groups.at(9), (std::vector<std::string>{"p", "q"}));
        // c and d form a group of their own under a key no other group has.
        QCOMPARE(groups.rbegin()->second, (std::vector<std::string>{"c", "d"}));
        QVERIFY(groups.rbegin()->first > 9);
        QCOMPARE(report.split, std::size_t{2});
        // e is identical to no other file: it leaves the list.
        QVERIFY(!rowOf(opened[ListDuplicates], tree.path("e")));
        QCOMPARE(report.settled, std::size_t{1});
        QCOMPARE(report.stale, std::size_t{0});
    }

    // A hand-edited file may group any files: only identical ones stay.
    void handMadeGroupsOfDifferentFiles() {
        TempTree tree;
        std::string json = "{\"lists\": {\"duplicates\": [";
        const auto row = [&](const char* name, const char* content, int group) {
            const ResultRow r = rowOfFile(tree.file(name, content));
            json += "{\"path\": \"" + r.path() + "\", \"group\": " + std::to_string(group) +
                    ", \"size\": " + std::to_string(r.size) + ", \"modified\": \"" +
                    std::string(r.dateText()) + "\"},";
        };
        row("x1", "1111", 1);
        row("x2", "2222", 1); // equal size, different bytes
        row("y1", "abc", 2);
        row("y2", "abcdef", 2); // another size
        json.pop_back();
        json += "]}}";
        std::string error;
        auto opened = readResults(json, error);
        QVERIFY2(opened, error.c_str());
        const ProofReport report = proveOpenedResults(opened->lists);
        const auto& rows = opened->lists[ListDuplicates];
        QVERIFY(!rowOf(rows, tree.path("x1")) && !rowOf(rows, tree.path("x2")));
        QCOMPARE(report.settled, std::size_t{2});
        QCOMPARE(rows.size(), std::size_t{2});
        for (const ResultRow& r : rows)
            QVERIFY(r.staleReason().find("different sizes") != std::string::npos);

        // A name with "../" in it, or a folder without its "/", leads to a file of another
        // folder than the row shows: such a row is never proven, though that file has a copy.
        const ResultRow doc = rowOfFile(tree.file("one/doc", "same bytes"));
        const ResultRow copy = rowOfFile(tree.file("two/copy", "same bytes"));
        const ResultRow joined = rowOfFile(tree.file("twoz", "zzzz"));
        const ResultRow z = rowOfFile(tree.file("three/z", "zzzz"));
        const auto entry = [](const std::string& folder, const std::string& name,
                              const ResultRow& file, int group) {
            return "{\"folder\": \"" + folder + "\", \"name\": \"" + name +
                   "\", \"group\": " + std::to_string(group) +
                   ", \"size\": " + std::to_string(file.size) + ", \"modified\": \"" +
                   std::string(file.dateText()) + "\"}";
        };
        json = "{\"lists\": {\"duplicates\": [" + entry(tree.path("two/"), "../one/doc", doc, 1) +
               "," + entry(copy.folder(), copy.name, copy, 1) + "," +
               entry(tree.path("two"), "z", joined, 2) + "," + entry(z.folder(), z.name, z, 2) +
               "]}}";
        opened = readResults(json, error);
        QVERIFY2(opened, error.c_str());
        proveOpenedResults(opened->lists);
        const auto& odd = opened->lists[ListDuplicates];
        QVERIFY(liveGroups(odd).empty());
        for (const ResultRow& r : odd)
            QVERIFY2(!r.mayBeActedOn(), r.path().c_str());

        // A relative folder names a file of whatever folder the window runs in: even where
        // that holds two copies, the rows are not proven.
        const QString before = QDir::currentPath();
        QVERIFY(QDir::setCurrent(QString::fromStdString(tree.root())));
        json = "{\"lists\": {\"duplicates\": [" + entry("one/", "doc", doc, 1) + "," +
               entry("./two/", "copy", copy, 1) + "]}}";
        opened = readResults(json, error);
        proveOpenedResults(opened->lists);
        QVERIFY(QDir::setCurrent(before));
        QVERIFY(liveGroups(opened->lists[ListDuplicates]).empty());
        for (const ResultRow& r : opened->lists[ListDuplicates])
            QCOMPARE(r.staleReason(), std::string("the results file gives no full path for it"));
    }

    // Two rows of one file are not two copies: a folder replaced by a link to its twin, and a
    // path written with "./".
    void oneFileIsOneRow() {
        TempTree tree;
        ResultLists lists;
        lists[ListDuplicates].push_back(rowOfFile(tree.file("one/x", "data"), 0));
        lists[ListDuplicates].push_back(rowOfFile(tree.file("two/x", "data"), 0));
        ResultRow dotted = rowOfFile(tree.path("one/./x"), 0);
        lists[ListDuplicates].push_back(dotted);
        ResultLists opened = savedAndOpened(tree, lists);

        // "two" becomes a link to "one": its x is now the very file one/x.
        const std::int64_t mtime = lists[ListDuplicates][0].mtime;
        QVERIFY(std::system(("rm -r '" + tree.path("two") + "'").c_str()) == 0);
        tree.symlink("one", "two");
        tree.setMtime("one/x", mtime);

        const ProofReport report = proveOpenedResults(opened);
        const auto& rows = opened[ListDuplicates];
        QCOMPARE(report.stale, std::size_t{2});
        for (const ResultRow& r : rows)
            QVERIFY2(r.staleReason() == "the same file as " + tree.path("one/x"),
                     r.staleReason().c_str());
        // The one file left has no copy: it is no longer listed as a duplicate.
        QVERIFY(!rowOf(rows, tree.path("one/x")));
        QCOMPARE(report.settled, std::size_t{1});
    }

    void claimsThatCannotBeCheckedAreStale() {
        TempTree tree;
        const ResultRow a = rowOfFile(tree.file("a", "same"));
        const ResultRow b = rowOfFile(tree.file("b", "same"));
        const ResultRow full = rowOfFile(tree.file("full", "not empty"));
        const std::string json =
            "{\"lists\": {\"duplicates\": [{\"path\": \"" + a.path() +
            "\", \"group\": 0, \"size\": 4}, {\"path\": \"" + b.path() +
            "\", \"group\": 0, \"size\": 4, \"mtime\": " + std::to_string(b.mtime) +
            "}], \"zero_size\": [{\"path\": \"" + full.path() +
            "\", \"size\": 0, \"mtime\": " + std::to_string(full.mtime) + "}]}}";
        std::string error;
        auto opened = readResults(json, error);
        QVERIFY2(opened, error.c_str());
        proveOpenedResults(opened->lists);
        const auto& dups = opened->lists[ListDuplicates];
        QVERIFY(dups.at(0).staleReason().find("no date") != std::string::npos);
        QVERIFY(!rowOf(dups, b.path())); // its one partner is unproven: it has no copy
        QVERIFY(!opened->lists[ListZeroSize].at(0).staleReason().empty());
    }

    void aCancelledCheckLeavesGroupsUnproven() {
        TempTree tree;
        ResultLists lists;
        for (const char* f : {"a", "b"})
            lists[ListDuplicates].push_back(rowOfFile(tree.file(f, "same"), 0));
        lists[ListZeroSize].push_back(rowOfFile(tree.file("empty")));
        ResultLists opened = savedAndOpened(tree, lists);
        std::atomic<bool> cancel{true};
        ProofControl control;
        control.cancel = &cancel;
        const ProofReport report = proveOpenedResults(opened, control);
        QVERIFY(report.cancelled);
        QCOMPARE(report.unproven, std::size_t{3});
        for (const auto& rows : opened)
            for (const ResultRow& r : rows)
                QVERIFY(r.stale());
    }

    // The bytes compared are reported against the bytes to compare, and reach them.
    void progressCountsTheBytesCompared() {
        TempTree tree;
        ResultLists lists;
        for (int i = 0; i < 4; ++i)
            lists[ListDuplicates].push_back(
                rowOfFile(tree.file("f" + std::to_string(i), std::string(100000, 'x')), 0));
        ResultLists opened = savedAndOpened(tree, lists);
        std::vector<SearchWork> seen;
        ProofControl control;
        control.work = [&](const SearchWork& w) { seen.push_back(w); };
        proveOpenedResults(opened, control);
        QVERIFY(!seen.empty());
        QCOMPARE(seen.back().bytesTotal, std::int64_t{400000});
        QCOMPARE(seen.back().bytesDone, std::int64_t{400000});
    }
};

QTEST_GUILESS_MAIN(ResultsProofTest)
#include "test_results_proof.moc"
