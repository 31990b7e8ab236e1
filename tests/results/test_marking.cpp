// SPDX-License-Identifier: GPL-2.0-or-later
// Marking passes, totals and the filter, on rows of real files where the file matters.
#include "results/KeepPaths.h"
#include "results/Marking.h"
#include "results/NameCopies.h"
#include "results/ResultTotals.h"
#include "results/RowFilter.h"
#include "search/RowSort.h"

#include "support/FileRows.h"
#include "support/TempTree.h"

#include <QtTest>

#include <map>

using namespace trevalo;
using trevalo::test::TempTree;

namespace {

ResultRow row(std::string folder, std::string name, std::int64_t group, std::int64_t size = 10,
              std::int64_t mtime = 1000, bool kept = false) {
    ResultRow r;
    r.setFolder(std::move(folder));
    r.name = std::move(name);
    r.group = group;
    r.size = size;
    r.mtime = mtime;
    r.mtimeKnown = true;
    r.stamp.mtime = mtime;
    r.stamp.size = size;
    r.kept = kept;
    return r;
}

// The unmarked rows of each group.
std::map<std::int64_t, int> unmarkedPerGroup(const std::vector<ResultRow>& rows) {
    std::map<std::int64_t, int> unmarked;
    for (const ResultRow& r : rows)
        unmarked[r.group] += r.checked ? 0 : 1;
    return unmarked;
}

std::vector<std::string> names(const std::vector<ResultRow>& rows, const std::vector<int>& at) {
    std::vector<std::string> out;
    for (const int i : at)
        out.push_back(rows[static_cast<std::size_t>(i)].name);
    return out;
}

std::vector<std::string> marked(const std::vector<ResultRow>& rows) {
    std::vector<std::string> out;
    for (const ResultRow& r : rows)
        if (r.checked)
            out.push_back(r.name);
    return out;
}

// Groups of several shapes: one with a kept member, one all kept, one with ties, one where the
// newest has the longest path, a pair whose dates are unknown on one side.
std::vector<ResultRow> mixedGroups() {
    std::vector<ResultRow> rows = {
        row("/a/", "k1", 1, 10, 500),
        row("/a/deeper/", "k2", 1, 10, 100),
        row("/keep/", "k3", 1, 10, 900, true),
        row("/keep/", "all1", 2, 5, 100, true),
        row("/keep/x/", "all2", 2, 5, 50, true),
        row("/t/", "tie1", 3, 7, 300),
        row("/u/", "tie2", 3, 7, 300),
        row("/old/long/path/", "o1", 4, 3, 10),
        row("/n/", "n1", 4, 3, 90),
        row("/m/", "mid", 4, 3, 50),
        row("/z/", "u", 5, 2, 0),
        row("/zz/", "known", 5, 2, 400),
    };
    rows[10].mtimeKnown = false;
    ResultRow folder;
    folder.setFolder("/a/");
    folder.name = "unreadable";
    folder.isFolder = true;
    rows.push_back(folder);
    return rows;
}

} // namespace

class TestMarking : public QObject {
    Q_OBJECT

private slots:
    // Whatever pass runs, over whatever rows, a kept row or a folder's row stays unmarked.
    void keptRowsAreNeverMarked() {
        std::vector<ResultRow> rows = mixedGroups();
        for (const KeepRule rule :
             {KeepRule::Oldest, KeepRule::Newest, KeepRule::ShortestPath, KeepRule::FirstInOrder}) {
            markAllButOnePerGroup(rows, rule);
            for (const ResultRow& r : rows)
                QVERIFY2(!r.checked || !(r.kept || r.isFolder), r.name.c_str());
        }
        QCOMPARE(setFolderMarks(rows, "/keep", true), std::size_t(0));
        setFolderMarks(rows, "/a/", true);
        QCOMPARE(countPatternMatches(rows, "*").unmarkable, std::size_t(4));
        markByPattern(rows, "*");
        for (const ResultRow& r : rows)
            QVERIFY2(r.checked != (r.kept || r.isFolder), r.name.c_str());
    }

    // A Keep box ticked after the search keeps the rows under its path (through a link to it
    // too) at once; cleared, it lets go of those no other Keep path reaches.
    void keepBoxesTakeEffectOnTheListedRows() {
        TempTree tree;
        tree.dir("archive/sub");
        tree.symlink("archive", "shortcut");
        const std::string archive = tree.path("archive/");
        std::vector<ResultRow> rows = {row(archive, "a.jpg", 1), row(archive + "sub/", "b.jpg", 1),
                                       row(archive + "sub/", "c.txt", 2),
                                       row(tree.path("shortcut/"), "d.jpg", 1),
                                       row(tree.path("other/"), "e.jpg", 1)};
        for (ResultRow& r : rows)
            r.checked = true;
        const PathRow jpgs{archive + "*.jpg", true, PathRole::Keep};
        const PathRow top{tree.path("archive/sub/*.*"), false, PathRole::Keep};
        const auto keptNames = [&] {
            std::string names;
            for (const ResultRow& r : rows)
                names += r.kept ? r.name.substr(0, 1) : "";
            return names;
        };
        QCOMPARE(followKeepBox(rows, jpgs, true, {jpgs}), std::size_t{3});
        QCOMPARE(keptNames(), std::string("abd"));
        for (const ResultRow& r : rows)
            QCOMPARE(r.checked, !r.kept);
        QCOMPARE(followKeepBox(rows, top, true, {jpgs, top}), std::size_t{1});
        QCOMPARE(keptNames(), std::string("abcd"));
        // Cleared: b stays, since the other Keep path reaches it too.
        QCOMPARE(followKeepBox(rows, jpgs, false, {jpgs, top}), std::size_t{2});
        QCOMPARE(keptNames(), std::string("bc"));
        QVERIFY(!rows[0].checked); // letting go does not mark
    }

    void keepOneLeavesOneUnmarkedRowPerGroup_data() {
        QTest::addColumn<KeepRule>("rule");
        QTest::addColumn<std::vector<std::string>>("left"); // unmarked, in row order
        QTest::newRow("oldest") << KeepRule::Oldest
                                << std::vector<std::string>{"k3",   "all1", "all2",
                                                            "tie1", "o1",   "known"};
        QTest::newRow("newest") << KeepRule::Newest
                                << std::vector<std::string>{"k3",   "all1", "all2",
                                                            "tie1", "n1",   "known"};
        QTest::newRow("shortest path")
            << KeepRule::ShortestPath
            << std::vector<std::string>{"k3", "all1", "all2", "tie1", "n1", "u"};
        QTest::newRow("first in order")
            << KeepRule::FirstInOrder
            << std::vector<std::string>{"k3", "all1", "all2", "tie1", "o1", "u"};
    }
    void keepOneLeavesOneUnmarkedRowPerGroup() {
        QFETCH(KeepRule, rule);
        QFETCH(std::vector<std::string>, left);
        std::vector<ResultRow> rows = mixedGroups();
        for (ResultRow& r : rows) // marks made before must not keep the chosen row marked
            r.checked = true;
        rows[2].checked = false; // a kept row cannot carry a mark
        rows[3].checked = rows[4].checked = false;

        const std::size_t count = markAllButOnePerGroup(rows, rule);

        std::vector<std::string> unmarked;
        for (const ResultRow& r : rows)
            if (!r.checked && !r.isFolder)
                unmarked.push_back(r.name);
        QCOMPARE(unmarked, left);
        QCOMPARE(count, std::size_t(6));
        const auto perGroup = unmarkedPerGroup(rows);
        for (const std::int64_t g : {1, 3, 4, 5})
            QCOMPARE(perGroup.at(g), 1);
        QCOMPARE(perGroup.at(2), 2); // all kept: no mark

        // Group keys far apart (a search of many files) are numbered another way: same marks.
        std::vector<ResultRow> spread = mixedGroups();
        for (ResultRow& r : spread)
            r.group = r.group >= 0 ? r.group * 1'000'000'007 : r.group;
        markAllButOnePerGroup(spread, rule);
        for (std::size_t i = 0; i < rows.size(); ++i)
            QCOMPARE(spread[i].checked, rows[i].checked && !rows[i].isFolder);
    }

    // With a filter on, a pass reaches only the rows shown; a group cut by the scope still
    // keeps an unmarked row among the rows shown.
    void passesActOnTheRowsInTheirScope() {
        std::vector<ResultRow> rows = mixedGroups();
        const std::vector<int> shown = {0, 1, 7, 8, 40, -1};
        markAllButOnePerGroup(rows, KeepRule::Oldest, RowScope(shown));
        // Without k3 in the scope, k2 (the oldest shown) stays; o1 stays of group 4.
        QCOMPARE(marked(rows), (std::vector<std::string>{"k1", "n1"}));

        for (ResultRow& r : rows)
            r.checked = false;
        QCOMPARE(markByPattern(rows, "/A/*", RowScope(shown)), std::size_t(2));
        QCOMPARE(countPatternMatches(rows, "/a/*").matching, std::size_t(3)); // and the folder
        QCOMPARE(setFolderMarks(rows, "/a/deeper", false, RowScope(shown)), std::size_t(1));
        QCOMPARE(marked(rows), (std::vector<std::string>{"k1"}));
    }

    // Folder marking is by the exact folder, not those below it; the pattern's count is what
    // applying it then marks.
    void folderAndPatternMarking() {
        std::vector<ResultRow> rows = mixedGroups();
        QCOMPARE(setFolderMarks(rows, "/a", true), std::size_t(1));
        QCOMPARE(marked(rows), (std::vector<std::string>{"k1"}));
        QCOMPARE(setFolderMarks(rows, "/a/", false), std::size_t(1));
        QVERIFY(marked(rows).empty());

        const PatternCount count = countPatternMatches(rows, "*/KEEP/*");
        QCOMPARE(count.matching, std::size_t(3));
        QCOMPARE(count.markable(), std::size_t(0));
        const PatternCount tie = countPatternMatches(rows, "/?/tie?");
        QCOMPARE(markByPattern(rows, "/?/tie?"), tie.markable());
        QCOMPARE(marked(rows), (std::vector<std::string>{"tie1", "tie2"}));
    }

    // Reclaimable bytes: a group of n files of size s frees s x (n - 1), on files as a search
    // lists them.
    void totalsOfKnownGroups() {
        TempTree tree;
        std::vector<ResultRow> rows;
        const auto add = [&](const std::string& rel, std::size_t size, std::int64_t group) {
            rows.push_back(rowOfFile(tree.file(rel, std::string(size, 'x')), group));
        };
        add("a/one", 1000, 0);
        add("b/one", 1000, 0);
        add("c/one", 1000, 0);
        add("a/two", 2500000, 3);
        add("b/two", 2500000, 3);
        add("a/one byte", 1, 5);
        add("b/one byte", 1, 5);
        rows[1].checked = rows[3].checked = true;

        ListTotals totals = listTotals(rows, ListDuplicates);
        QCOMPARE(totals.rows, std::size_t(7));
        QCOMPARE(totals.groups, std::size_t(3));
        QCOMPARE(totals.reclaimableBytes, std::int64_t(2000 + 2500000 + 1));
        QCOMPARE(totals.markedBytes, std::int64_t(2501000));
        QCOMPARE(totalsText(totals, ListDuplicates),
                 QStringLiteral("7 rows in 3 groups, 2.5 MB reclaimable; 2 marked (2.5 MB)"));

        const std::vector<int> shown = {5, 6};
        totals =
            listTotals(rows, ListDuplicates, RowScope(shown), GroupNumbers(rows, ListDuplicates));
        QCOMPARE(totalsText(totals, ListDuplicates),
                 QStringLiteral("2 rows in 1 group, 1 byte reclaimable"));
        rows[5].checked = true;
        countMarks(rows, totals, RowScope(shown));
        QCOMPARE(totals.markedBytes, std::int64_t(1));

        // Rows gone stale since the search (a results file reopened) free nothing: a group left
        // with one file it still names frees nothing, one left with none is no group.
        std::vector<ResultRow> reopened = rows;
        for (const std::size_t stale : {4, 5, 6})
            reopened[stale].setStaleReason("changed");
        totals = listTotals(reopened, ListDuplicates);
        QCOMPARE(totals.groups, std::size_t(2));
        QCOMPARE(totals.reclaimableBytes, std::int64_t(2000));

        // "Same Name" groups by name without regard to case; no reclaimable size there.
        std::vector<ResultRow> same = {row("/a/", "Readme", -1), row("/b/", "README", 7),
                                       row("/c/", "x", -1), row("/d/", "X", -1)};
        totals = listTotals(same, ListSameName);
        QCOMPARE(totalsText(totals, ListSameName), QStringLiteral("4 rows in 2 groups"));
        QCOMPARE(trashTotalText(planDelete(rows)),
                 QStringLiteral("3 files (2.5 MB) will be moved to the trash."));
        QCOMPARE(trashTotalText(1, 1),
                 QStringLiteral("1 file (1 byte) will be moved to the trash."));
        QCOMPARE(countText(1234567), QStringLiteral("1,234,567"));
    }

    // The filter shows a whole group when any of its rows passes.
    void filterKeepsWholeGroups() {
        std::vector<ResultRow> rows = mixedGroups();
        QCOMPARE(names(rows, RowFilter("TIE2").shownRows(rows, ListDuplicates)),
                 (std::vector<std::string>{"tie1", "tie2"}));
        QCOMPARE(names(rows, RowFilter("deeper").shownRows(rows, ListDuplicates)),
                 (std::vector<std::string>{"k1", "k2", "k3"}));
        QCOMPARE(names(rows, RowFilter("TIE2").shownRows(rows, ListZeroSize)),
                 (std::vector<std::string>{"tie2"}));
        QCOMPARE(RowFilter("").shownRows(rows, ListDuplicates).size(), rows.size());
        QVERIFY(RowFilter("nothing like it").shownRows(rows, ListDuplicates).empty());

        std::vector<ResultRow> same = {row("/a/", "Caf\xC3\xA9", -1), row("/b/", "x", -1),
                                       row("/c/", "CAF\xC3\x89", -1), row("/d/", "X", -1)};
        QCOMPARE(names(same, RowFilter("/c/").shownRows(same, ListSameName)),
                 (std::vector<std::string>{"Caf\xC3\xA9", "CAF\xC3\x89"}));

        // Texts made beforehand give the same rows as the rows themselves.
        for (const char* text : {"TIE2", "deeper", "/a/", "*/keep*", "k?", "", "zz"}) {
            const RowFilter filter(text);
            for (const int list : {int(ListDuplicates), int(ListZeroSize)})
                QCOMPARE(filter.shownRows(FilterTexts(rows, list)), filter.shownRows(rows, list));
            QCOMPARE(filter.shownRows(FilterTexts(same, ListSameName)),
                     filter.shownRows(same, ListSameName));
        }
    }

    // Names whose 128 bits collide are two groups; the bits of one name in other cases, one.
    void collidingNameKeysStayApart() {
        GroupKeySet set(4);
        const GroupKey readme{1, 2, "Readme"}, other{1, 2, "Notes"}, upper{1, 2, "README"};
        set.numberOf(readme) = 0;
        QCOMPARE(set.numberOf(upper), 0);
        QCOMPARE(set.numberOf(other), GroupNumbers::kNoGroup);
        QVERIFY(!set.contains(GroupKey{1, 2, {}}));
        QVERIFY(foldedNameKey("Caf\xC3\xA9") == foldedNameKey("CAF\xC3\x89"));
    }

    // "Same Name" groups and the order by name ignore case wherever the names lie: side by
    // side, apart, beside folder rows, and folded to a text of another length.
    void namesGroupAndSortWithoutCaseWhereverTheyLie() {
        std::vector<ResultRow> rows = {
            row("/1/", "a", -1), row("/2/", "A", -1), row("/3/", "b", -1), row("/4/", "a", -1),
            row("/5/", "c", -1), row("/6/", "B", -1), row("/7/", "c", -1), row("/8/", "solo", -1)};
        rows.insert(rows.begin() + 5, row("/f", "c", -1));
        rows[5].isFolder = true;
        const GroupNumbers groups(rows, ListSameName);
        const std::vector<int> expected = {0, 0, 1, 0, 2, GroupNumbers::kNoGroup, 1, 2, 3};
        for (std::size_t i = 0; i < rows.size(); ++i)
            QCOMPARE(groups.of(i), expected[i]);
        QCOMPARE(groups.count(), std::size_t(4));
        QCOMPARE(rowsWithoutGroup(rows, ListSameName), std::vector<int>({8}));

        // "\u023a" folds to "\u2c65", a byte longer: its key is the folded text, whole.
        std::vector<ResultRow> named = {row("/", "b", -1),
                                        row("/", "\xC8\xBAx", -1),
                                        row("/", "a", -1),
                                        row("/", "B2", -1),
                                        row("/",
                                            "\xE2\xB1\xA5"
                                            "a",
                                            -1),
                                        row("/", "A", -1)};
        const auto order = [](const std::vector<ResultRow>& sorted) {
            std::vector<std::string> out;
            for (const ResultRow& r : sorted)
                out.push_back(r.name);
            return out;
        };
        sortRows(named, NameColumn, 0);
        QCOMPARE(order(named), (std::vector<std::string>{"a", "A", "b", "B2",
                                                         "\xE2\xB1\xA5"
                                                         "a",
                                                         "\xC8\xBAx"}));
        sortRows(named, NameColumn, 1);
        QCOMPARE(order(named), (std::vector<std::string>{"\xC8\xBAx",
                                                         "\xE2\xB1\xA5"
                                                         "a",
                                                         "B2", "b", "a", "A"}));
    }

    // Five IMG_0001.JPG from two cameras: two identical pairs and one other photo. The name
    // shows among the names whose files differ; a name whose files are all one copy does not.
    void namesakesThatDifferAndThoseThatAreCopies() {
        std::vector<ResultRow> duplicates = {
            row("/a/", "IMG_0001.JPG", 7), row("/b/", "img_0001.jpg", 7),
            row("/c/", "IMG_0001.JPG", 9), row("/d/", "IMG_0001.JPG", 9),
            row("/a/", "same.txt", 12),    row("/b/", "same.txt", 12)};
        std::vector<ResultRow> sameName = {
            row("/a/", "IMG_0001.JPG", -1), row("/b/", "img_0001.jpg", -1),
            row("/c/", "IMG_0001.JPG", -1), row("/d/", "IMG_0001.JPG", -1),
            row("/e/", "IMG_0001.JPG", -1), row("/a/", "same.txt", -1),
            row("/b/", "same.txt", -1),     row("/x/", "two.txt", -1),
            row("/y/", "TWO.TXT", -1)};
        markIdenticalNamesakes(sameName, duplicates);
        std::vector<std::int64_t> groups;
        for (const ResultRow& r : sameName)
            groups.push_back(r.group);
        QCOMPARE(groups, (std::vector<std::int64_t>{7, 7, 9, 9, -1, 12, 12, -1, -1}));
        // The photos differ (two groups and one alone), and so do the two unrelated files.
        QCOMPARE(rowsOfDifferingNames(sameName), (std::vector<int>{0, 1, 2, 3, 4, 7, 8}));
        // Once the other photo and one pair are gone, the name holds one copy only.
        sameName.erase(sameName.begin() + 2, sameName.begin() + 5);
        QCOMPARE(rowsOfDifferingNames(sameName), (std::vector<int>{4, 5}));
    }

    // What passes: name or folder holding the text, letters without regard to case, bytes as
    // they are; a wildcard on the name, the folder or the full path.
    void filterText() {
        const ResultRow photo = row("/home/u/Photos/", "IMG_01.JPG", 1);
        const ResultRow odd = row("/data/caf\xE9/", "\xC3\x89t\xC3\xA9.txt", 2);
        QVERIFY(RowFilter("photos").passes(photo));
        QVERIFY(RowFilter("img_0").passes(photo));
        QVERIFY(!RowFilter("photos/img").passes(photo)); // not across folder and name
        QVERIFY(RowFilter("\xC3\xA9t\xC3\x89").passes(odd));
        QVERIFY(RowFilter("caf\xE9").passes(odd));
        QVERIFY(!RowFilter("cafe").passes(odd));
        QVERIFY(RowFilter("KEL").passes(row("/", "\u212Aelvin", 1))); // the Kelvin sign folds to k
        QVERIFY(!RowFilter("kel").passes(row("/\xE2/", "el", 1)));
        QVERIFY(RowFilter("*.jpg").passes(photo));
        QVERIFY(RowFilter("*/photos").passes(photo));
        QVERIFY(RowFilter("*/photos/img*").passes(photo));
        QVERIFY(!RowFilter("*.png").passes(photo));
        QVERIFY(RowFilter("?t?.TXT").passes(odd));
    }
};

QTEST_GUILESS_MAIN(TestMarking)
#include "test_marking.moc"
