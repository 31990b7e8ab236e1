#include "results/Marking.h"

#include <QtTest>

#include <cstring>

using namespace trevalo;

namespace {

constexpr int kDuplicates = 1;
constexpr int kSameName = 2;

ResultRow makeRow(const std::string& name, std::int64_t group, const char* date,
                  bool checked = false) {
    ResultRow row;
    row.folder = "/data/";
    row.name = name;
    row.group = group;
    row.checked = checked;
    std::strncpy(row.date.data(), date, row.date.size() - 1);
    return row;
}

// The names of the rows, each with "*" in front when it is marked, for compact comparisons.
QStringList marked(const std::vector<ResultRow>& rows) {
    QStringList out;
    for (const ResultRow& row : rows)
        out << QString::fromStdString((row.checked ? "*" : "") + row.name);
    return out;
}

} // namespace

class TestMarking : public QObject {
    Q_OBJECT

private slots:
    void sameDayPairMarksTheLowerRowForOlderAndTheUpperForNewer() {
        // Different times of one day count as equally old.
        const std::vector<ResultRow> pair = {makeRow("a", 7, "2024/05/01 23:59:59"),
                                             makeRow("b", 7, "2024/05/01 00:00:01")};
        auto older = pair;
        MarkDel(older, kDuplicates, true);
        QCOMPARE(marked(older), QStringList({"a", "*b"}));
        auto newer = pair;
        MarkDel(newer, kDuplicates, false);
        QCOMPARE(marked(newer), QStringList({"*a", "b"}));
    }

    void earlierOrLaterDayMarksTheRightRow() {
        const std::vector<ResultRow> pair = {makeRow("new", 3, "2024/05/02 00:00:00"),
                                             makeRow("old", 3, "2024/05/01 23:00:00")};
        auto older = pair;
        MarkDel(older, kDuplicates, true);
        QCOMPARE(marked(older), QStringList({"new", "*old"}));
        auto newer = pair;
        MarkDel(newer, kDuplicates, false);
        QCOMPARE(marked(newer), QStringList({"*new", "old"}));

        std::vector<ResultRow> reversed = {pair[1], pair[0]};
        MarkDel(reversed, kDuplicates, true);
        QCOMPARE(marked(reversed), QStringList({"*old", "new"}));
    }

    void threeRowsWithDaysThreeOneTwoArePairedOnlyWithTheirNeighbours() {
        const std::vector<ResultRow> group = {makeRow("d3", 1, "2024/01/03 12:00:00"),
                                              makeRow("d1", 1, "2024/01/01 12:00:00"),
                                              makeRow("d2", 1, "2024/01/02 12:00:00")};
        auto older = group;
        MarkDel(older, kDuplicates, true);
        QCOMPARE(marked(older), QStringList({"d3", "*d1", "d2"}));
        auto newer = group;
        MarkDel(newer, kDuplicates, false);
        QCOMPARE(marked(newer), QStringList({"*d3", "d1", "*d2"}));
    }

    void zeroDateIsOlderThanEveryRealDate() {
        const char* zero = "1899/12/30 00:00:00";
        std::vector<ResultRow> zeroFirst = {makeRow("unknown", 2, zero),
                                            makeRow("ancient", 2, "1900/01/01 00:00:00")};
        MarkDel(zeroFirst, kDuplicates, true);
        QCOMPARE(marked(zeroFirst), QStringList({"*unknown", "ancient"}));

        std::vector<ResultRow> zeroLast = {makeRow("real", 2, "2020/02/02 02:02:02"),
                                           makeRow("unknown", 2, zero)};
        MarkDel(zeroLast, kDuplicates, false);
        QCOMPARE(marked(zeroLast), QStringList({"*real", "unknown"}));
    }

    void rowsAreSortedByGroupAndGroupsAreNeverCompared() {
        // Group 10 sorts after group 9 by number; the rows of group 4 come together.
        std::vector<ResultRow> rows = {
            makeRow("g10", 10, "2024/01/01 00:00:00"), makeRow("g4a", 4, "2024/01/05 00:00:00"),
            makeRow("g9", 9, "2024/01/09 00:00:00"), makeRow("g4b", 4, "2024/01/02 00:00:00")};
        MarkDel(rows, kDuplicates, true);
        QCOMPARE(marked(rows), QStringList({"g4a", "*g4b", "g9", "g10"}));
    }

    void handMarksAreClearedFirstAndAOneRowGroupStaysUnmarked() {
        std::vector<ResultRow> rows = {makeRow("alone", 5, "2024/01/01 00:00:00", true),
                                       makeRow("x", 6, "2024/01/01 00:00:00", true),
                                       makeRow("y", 6, "2024/01/02 00:00:00", true)};
        MarkDel(rows, kDuplicates, true);
        QCOMPARE(marked(rows), QStringList({"alone", "*x", "y"}));
    }

    void sameNameGroupsNamesWithoutLetterCase() {
        // Group numbers mean nothing in "Same Name".
        std::vector<ResultRow> rows = {makeRow("b.txt", -1, "2024/01/01 00:00:00"),
                                       makeRow("A.TXT", -1, "2024/03/01 00:00:00"),
                                       makeRow("a.txt", -1, "2024/02/01 00:00:00"),
                                       makeRow("\xC3\x84.txt", -1, "2024/01/01 00:00:00"),
                                       makeRow("\xC3\xA4.txt", -1, "2024/02/01 00:00:00")};
        MarkDel(rows, kSameName, true);
        QCOMPARE(marked(rows),
                 QStringList({"A.TXT", "*a.txt", "b.txt", "*\xC3\x84.txt", "\xC3\xA4.txt"}));
    }

    void emptyListIsLeftAlone() {
        std::vector<ResultRow> rows;
        MarkDel(rows, kDuplicates, true);
        Marks(rows, true);
        QVERIFY(rows.empty());
    }

    void marksSetsOrClearsEveryRow() {
        std::vector<ResultRow> rows = {makeRow("a", 1, "2024/01/01 00:00:00", true),
                                       makeRow("b", 2, "2024/01/01 00:00:00")};
        Marks(rows, true);
        QCOMPARE(marked(rows), QStringList({"*a", "*b"}));
        Marks(rows, false);
        QCOMPARE(marked(rows), QStringList({"a", "b"}));
    }

    void markingByAgeOnlyInListsWithGroups() {
        QCOMPARE(markByAgeEnabled(0), false);
        QCOMPARE(markByAgeEnabled(1), true);
        QCOMPARE(markByAgeEnabled(2), true);
        QCOMPARE(markByAgeEnabled(3), false);
        QCOMPARE(markKeyColumn(kDuplicates), int(ColGroup));
        QCOMPARE(markKeyColumn(kSameName), int(ColName));
    }

    void dayIsReadWithAnySeparatorsAndWithoutTheTime() {
        QCOMPARE(dayOfDateText("2024/03/05 23:59:59"), dayOfDateText("2024-03-05 00:00:00"));
        QCOMPARE(dayOfDateText("2024.03.05"), std::int64_t(20240305));
        QVERIFY(dayOfDateText("2024/03/05 00:00:00") < dayOfDateText("2024/03/06 00:00:00"));
        QVERIFY(dayOfDateText("2023/12/31 00:00:00") < dayOfDateText("2024/01/01 00:00:00"));
        QVERIFY(dayOfDateText("1899/12/30 00:00:00") < dayOfDateText("1000/01/01 00:00:00"));
        QCOMPARE(dayOfDateText("not a date"), dayOfDateText("1899/12/30 00:00:00"));
        QCOMPARE(dayOfDateText("2024/13/01 00:00:00"), dayOfDateText("1899/12/30 00:00:00"));
    }
};

QTEST_GUILESS_MAIN(TestMarking)
#include "test_marking.moc"
