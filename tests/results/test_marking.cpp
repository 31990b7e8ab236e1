#include "results/Marking.h"

#include <QtTest>

#include <cstring>

using namespace trevalo;

class TestMarking : public QObject {
    Q_OBJECT

private slots:
    // Rows are written "name group yyyy/mm/dd hh:mm:ss", with "*" before a marked name.
    void markDel_data() {
        QTest::addColumn<int>("list");
        QTest::addColumn<bool>("markOld");
        QTest::addColumn<QStringList>("rows");
        QTest::addColumn<QStringList>("expected");
        const QStringList sameDay = {"a 7 2024/05/01 23:59:59", "b 7 2024/05/01 00:00:01"};
        QTest::newRow("same day, older") << 1 << true << sameDay << QStringList{"a", "*b"};
        QTest::newRow("same day, newer") << 1 << false << sameDay << QStringList{"*a", "b"};
        const QStringList later = {"old 3 2024/05/01 23:00:00", "new 3 2024/05/02 00:00:00"};
        QTest::newRow("later day, older") << 1 << true << later << QStringList{"*old", "new"};
        QTest::newRow("later day, newer") << 1 << false << later << QStringList{"old", "*new"};
        const QStringList days312 = {"d3 1 2024/01/03 12:00:00", "d1 1 2024/01/01 12:00:00",
                                     "d2 1 2024/01/02 12:00:00"};
        QTest::newRow("days 3-1-2, older")
            << 1 << true << days312 << QStringList{"d3", "*d1", "d2"};
        QTest::newRow("days 3-1-2, newer")
            << 1 << false << days312 << QStringList{"*d3", "d1", "*d2"};
        QTest::newRow("zero date first is older")
            << 1 << true << QStringList{"zero 2 1899/12/30 00:00:00", "real 2 1900/01/01 00:00:00"}
            << QStringList{"*zero", "real"};
        QTest::newRow("zero date last is older")
            << 1 << false << QStringList{"real 2 2020/02/02 02:02:02", "zero 2 1899/12/30 00:00:00"}
            << QStringList{"*real", "zero"};
        // Sorted by group number (10 after 9); groups are never compared with each other.
        QTest::newRow("groups apart")
            << 1 << true
            << QStringList{"g10 10 2024/01/01 00:00:00", "g4a 4 2024/01/05 00:00:00",
                           "g9 9 2024/01/09 00:00:00", "g4b 4 2024/01/02 00:00:00"}
            << QStringList{"g4a", "*g4b", "g9", "g10"};
        QTest::newRow("hand marks cleared, one-row group unmarked")
            << 1 << true
            << QStringList{"*alone 5 2024/01/01 00:00:00", "*x 6 2024/01/01 00:00:00",
                           "*y 6 2024/01/02 00:00:00"}
            << QStringList{"alone", "*x", "y"};
        // In "Same Name" the group numbers mean nothing; a.txt and A.TXT, Ä and ä are groups.
        QTest::newRow("same name")
            << 2 << true
            << QStringList{"b.txt 1 2024/01/01 00:00:00", "A.TXT 2 2024/03/01 00:00:00",
                           "a.txt 3 2024/02/01 00:00:00", "\u00C4.txt 4 2024/01/01 00:00:00",
                           "\u00E4.txt 4 2024/02/01 00:00:00"}
            << QStringList{"A.TXT", "*a.txt", "b.txt", "*\u00C4.txt", "\u00E4.txt"};
    }
    void markDel() {
        QFETCH(int, list);
        QFETCH(bool, markOld);
        QFETCH(QStringList, rows);
        QFETCH(QStringList, expected);
        std::vector<ResultRow> table;
        for (const QString& text : rows) {
            const QStringList f = text.split(' ');
            ResultRow row;
            row.checked = f[0].startsWith('*');
            row.name = f[0].mid(row.checked ? 1 : 0).toStdString();
            row.group = f[1].toLongLong();
            std::strncpy(row.date.data(), qPrintable(f[2] + ' ' + f[3]), row.date.size() - 1);
            table.push_back(row);
        }
        MarkDel(table, list, markOld);
        QStringList marked;
        for (const ResultRow& row : table)
            marked << (row.checked ? "*" : "") + QString::fromStdString(row.name);
        QCOMPARE(marked, expected);
    }
};

QTEST_GUILESS_MAIN(TestMarking)
#include "test_marking.moc"
