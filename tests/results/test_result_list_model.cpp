// SPDX-License-Identifier: GPL-2.0-or-later
#include "results/FileOperations.h"
#include "results/Marking.h"
#include "results/ResultListModel.h"
#include "results/ResultListView.h"
#include "support/FileRows.h"

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QHeaderView>
#include <QSignalSpy>
#include <QTest>

#include <cmath>
#include <cstring>

using namespace trevalo;

namespace {

ResultRow makeRow(std::string folder, std::string name, std::int64_t size,
                  std::int64_t group = -1) {
    ResultRow r;
    r.setFolder(std::move(folder));
    r.name = std::move(name);
    r.size = size;
    r.group = group;
    std::snprintf(r.date.data(), r.date.size(), "2024/01/02 03:04:05");
    return r;
}

std::vector<ResultRow> sampleRows() {
    return {makeRow("/b/", "beta.txt", 30, 7), makeRow("/a/", "Alpha.txt", 200, 3),
            makeRow("/c/", "alpha.TXT", 5, 3), makeRow("/a/", "gamma", 1000, 7)};
}

QStringList column(const ResultListModel& m, int c) {
    QStringList out;
    for (int r = 0; r < m.rowCount(); ++r)
        out << m.index(r, c).data().toString();
    return out;
}

} // namespace

class TestResultListModel : public QObject {
    Q_OBJECT
private slots:
    // Every change goes through the model tester, which catches broken notifications.
    void everyChangeKeepsTheModelConsistent() {
        ResultListModel model;
        QAbstractItemModelTester tester(&model,
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        model.appendRows(sampleRows());
        model.appendRows({makeRow("/d/", "delta", 1)});
        model.sortByColumn(NameColumn, Qt::AscendingOrder);
        model.sortByColumn(SizeColumn, Qt::DescendingOrder);
        model.setAllChecked(true);
        QVERIFY(model.setData(model.index(1, NameColumn), Qt::Unchecked, Qt::CheckStateRole));
        model.editRows(
            [](std::vector<ResultRow>& rows) { std::reverse(rows.begin(), rows.end()); });
        model.setRowName(0, "renamed");
        QCOMPARE(model.renameFile("/a/", "gamma", "gamma.bak", FileStamp{}), 1);
        // Read errors in the order of their reasons, which hold bytes that are not UTF-8.
        model.appendRows({makeRow("/e/", "x", -1), makeRow("/f/", "y", -1)});
        model.editRows([](std::vector<ResultRow>& rows) {
            rows[rows.size() - 2].setReason("Permission denied");
            rows.back().setReason("could not be listed: No such file or directory \xE9");
        });
        model.sortByColumn(kReasonColumn, Qt::AscendingOrder);
        QCOMPARE(column(model, kReasonColumn).mid(model.rowCount() - 3),
                 QStringList({"", "Permission denied",
                              "could not be listed: No such file or directory \uFFFD"}));
        model.removeRowsWhere([](const ResultRow& r) { return r.size < 0; });
        QCOMPARE(model.removeRowsAt({4, 0, 0, 99}), 2);
        model.removeRowsWhere([](const ResultRow& r) { return r.size == 5; });
        model.clear();
        QCOMPARE(model.rowCount(), 0);
        QCOMPARE(model.sortColumn(), -1);
    }

    // One notification for a batch of rows, for marking all and for a marking pass, which the
    // selection follows: a list of a million rows stays responsive.
    void oneChangeForABatchMarkAllOrMarkingPass() {
        ResultListModel model;
        ResultListView view;
        view.setResultModel(&model);
        QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
        QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
        QSignalSpy layouts(&model, &QAbstractItemModel::layoutChanged);
        for (const char* folder : {"/a/", "/b/"}) {
            std::vector<ResultRow> batch;
            for (int i = 0; i < 5000; ++i)
                batch.push_back(makeRow(folder, "n" + std::to_string(i), i));
            model.appendRows(batch);
        }
        QCOMPARE(inserted.count(), 2);
        QCOMPARE(inserted.at(1).at(1).toInt(), 5000);
        QCOMPARE(inserted.at(1).at(2).toInt(), 9999);
        for (const bool checked : {true, false}) {
            model.setAllChecked(checked);
            QCOMPARE(changed.count(), 1);
            QCOMPARE(changed.at(0).at(0).value<QModelIndex>().row(), 0);
            QCOMPARE(changed.at(0).at(1).value<QModelIndex>().row(), 9999);
            QVERIFY(std::all_of(model.rows().begin(), model.rows().end(),
                                [&](const ResultRow& r) { return r.checked == checked; }));
            changed.clear();
        }
        view.selectRow(0);
        model.editRows([](std::vector<ResultRow>& rows) {
            std::reverse(rows.begin(), rows.end());
            for (std::size_t i = 0; i < rows.size(); ++i)
                rows[i].checked = i % 2 == 0;
        });
        QCOMPARE(layouts.count(), 1);
        QCOMPARE(changed.count(), 1);
        QCOMPARE(view.selectedRow(), 9999);
        QCOMPARE(model.index(0, NameColumn).data(Qt::CheckStateRole).value<Qt::CheckState>(),
                 Qt::Checked);
        QCOMPARE(model.index(1, NameColumn).data(Qt::CheckStateRole).value<Qt::CheckState>(),
                 Qt::Unchecked);
    }

    void cellsShowNamesNumbersAndMarks() {
        ResultListModel model;
        model.appendRows({makeRow("/d\xff/", "caf\xe9.txt", 1234)});
        const QModelIndex name = model.index(0, NameColumn);
        QCOMPARE(name.data().toString(), QString::fromUtf8("caf\xef\xbf\xbd.txt"));
        QCOMPARE(model.row(0).name, std::string("caf\xe9.txt")); // the bytes stay exact
        // Sizes for people, the exact count in the tooltip.
        QCOMPARE(column(model, SizeColumn), QStringList{"1.2 kB"});
        QCOMPARE(model.index(0, SizeColumn).data(Qt::ToolTipRole).toString(),
                 QStringLiteral("1,234 bytes"));
        QCOMPARE(column(model, GroupColumn), QStringList{""}); // in no group
        QCOMPARE(column(model, DateColumn), QStringList{"2024/01/02 03:04:05"});
        for (int c = 0; c < kResultColumnCount; ++c)
            QCOMPARE(bool(model.index(0, c).data(Qt::TextAlignmentRole).value<Qt::Alignment>() &
                          Qt::AlignRight),
                     c == GroupColumn || c == SizeColumn);

        // The mark is the check box of the first column, and only there.
        QVERIFY(!(model.flags(model.index(0, SizeColumn)) & Qt::ItemIsUserCheckable));
        QVERIFY(!model.setData(model.index(0, SizeColumn), Qt::Checked, Qt::CheckStateRole));
        QCOMPARE(name.data(Qt::CheckStateRole).value<Qt::CheckState>(), Qt::Unchecked);
        QVERIFY(model.setData(name, Qt::Checked, Qt::CheckStateRole));
        QVERIFY(model.row(0).checked);

        model.setRowName(0, "new.txt");
        QCOMPARE(model.row(0).path(), std::string("/d\xff/new.txt"));
        QVERIFY(model.row(0).checked);
    }

    // Names compare without case, numbers as numbers (not by their shown text: "1.0 kB" is
    // more than "200 bytes"); equal keys keep their order, the selection stays on its file. A
    // header click sorts ascending, a second click on the same column descending, and the
    // header shows the column and direction.
    void sortingKeepsTheSelectionOnItsFile() {
        ResultListModel model;
        model.appendRows(sampleRows());
        ResultListView view;
        view.setResultModel(&model);
        view.selectRow(3); // /a/gamma
        model.sortByColumn(NameColumn, Qt::AscendingOrder);
        QCOMPARE(column(model, NameColumn),
                 QStringList({"Alpha.txt", "alpha.TXT", "beta.txt", "gamma"}));
        QCOMPARE(view.selectedRow(), 3);
        const QStringList descending = {"1.0 kB", "200 bytes", "30 bytes", "5 bytes"};
        model.sortByColumn(SizeColumn, Qt::DescendingOrder);
        QCOMPARE(column(model, SizeColumn), descending);
        QCOMPARE(view.selectedRow(), 0);
        QCOMPARE(view.currentIndex().row(), 0);
        const QStringList ascending = {"5 bytes", "30 bytes", "200 bytes", "1.0 kB"};
        // Sorted descending by code, a click starts ascending.
        for (const auto& [order, sizes] :
             {std::pair{Qt::AscendingOrder, ascending}, std::pair{Qt::DescendingOrder, descending},
              std::pair{Qt::AscendingOrder, ascending}}) {
            QTest::mouseClick(view.header()->viewport(), Qt::LeftButton, {},
                              QPoint(view.header()->sectionViewportPosition(SizeColumn) + 5, 5));
            QCOMPARE(column(model, SizeColumn), sizes);
            QCOMPARE(view.header()->sortIndicatorSection(), static_cast<int>(SizeColumn));
            QCOMPARE(view.header()->sortIndicatorOrder(), order);
        }
        QCOMPARE(model.row(view.selectedRow()).name, std::string("gamma"));
        emit view.header()->sectionClicked(FolderColumn);
        QCOMPARE(model.sortColumn(), static_cast<int>(FolderColumn));
        QCOMPARE(model.sortOrder(), Qt::AscendingOrder);
        QCOMPARE(column(model, FolderColumn).first(), QStringLiteral("/a/"));
        QCOMPARE(view.header()->sortIndicatorSection(), static_cast<int>(FolderColumn));
        model.clear();
        QCOMPARE(view.header()->sortIndicatorSection(), -1);
    }

    // Under a filter the view sees whole groups only, and every later change of the rows
    // (sort, marks, removal, new rows) keeps to that, the selection on its file; position and
    // view row translate both ways.
    void aFilterFollowsEveryChangeOfTheRows() {
        ResultListModel model;
        QAbstractItemModelTester tester(&model,
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        model.appendRows(sampleRows());
        ResultListView view;
        view.setResultModel(&model);
        model.setFilter("beta", ListDuplicates); // group 7: /b/beta.txt and /a/gamma
        QCOMPARE(column(model, NameColumn), QStringList({"beta.txt", "gamma"}));
        QCOMPARE(model.positionOf(1), 3);
        QCOMPARE(model.viewRowOf(3), 1);
        QCOMPARE(model.viewRowOf(1), -1);
        view.selectRow(1);
        model.sortByColumn(SizeColumn, Qt::DescendingOrder);
        QCOMPARE(column(model, NameColumn), QStringList({"gamma", "beta.txt"}));
        QCOMPARE(view.selectedRow(), 0);

        model.setAllChecked(true);
        QCOMPARE(countMarked(model.rows()), std::size_t{2});
        model.setChecked(model.positionOf(0), false);
        QCOMPARE(model.index(0, NameColumn).data(Qt::CheckStateRole).toInt(), int(Qt::Unchecked));
        // A group stays while one of its rows passes; new rows of it join it.
        model.removeRowsWhere([](const ResultRow& r) { return r.name == "gamma"; });
        QCOMPARE(column(model, NameColumn), QStringList({"beta.txt"}));
        model.appendRows({makeRow("/z/", "copy", 30, 7), makeRow("/z/", "other", 1, 9)});
        QCOMPARE(column(model, NameColumn), QStringList({"beta.txt", "copy"}));
        QCOMPARE(model.rows().size(), std::size_t{5});

        model.setFilter("", ListDuplicates);
        QCOMPARE(model.rowCount(), 5);
        QCOMPARE(countMarked(model.rows()), std::size_t{1}); // beta's mark, nothing else
    }

    // Rows of one group share a band, alternating per group in the present order, by group key
    // or by name without regard to case; new rows, sorts and removals move the bands along.
    // The band stands out from the base (a contrast ratio of at least 1.15, where #f7f7f7 on
    // white gives 1.07) in a light and in a dark palette.
    void bandsStandOutInLightAndDarkPalettes() {
        const auto luminance = [](const QColor& c) {
            const auto channel = [](double v) {
                return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
            };
            return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) +
                   0.0722 * channel(c.blueF());
        };
        QPalette light;
        light.setColor(QPalette::Base, Qt::white);
        light.setColor(QPalette::AlternateBase, QColor("#f7f7f7"));
        light.setColor(QPalette::Highlight, QColor("#308cc6"));
        QPalette dark;
        dark.setColor(QPalette::Base, QColor("#2a2a2a"));
        dark.setColor(QPalette::AlternateBase, QColor("#2e2e2e"));
        dark.setColor(QPalette::Highlight, QColor("#2a82da"));
        for (const QPalette& palette : {light, dark}) {
            const double base = luminance(palette.color(QPalette::Base));
            const double band = luminance(groupBandColor(palette));
            const double ratio = (std::max(base, band) + 0.05) / (std::min(base, band) + 0.05);
            QVERIFY2(ratio >= 1.15, qPrintable(QString::number(ratio)));
        }
    }

    void bandsAlternatePerGroup() {
        ResultListModel model;
        const auto bands = [&model] {
            QString out;
            for (int r = 0; r < model.rowCount(); ++r)
                out += model.index(r, SizeColumn).data(kBandRole).toBool() ? '1' : '0';
            return out;
        };
        model.appendRows(sampleRows()); // groups 7 3 3 7
        QCOMPARE(bands(), QStringLiteral("0000"));
        model.setBanding(ResultListModel::Banding::ByGroup);
        QCOMPARE(bands(), QStringLiteral("0110"));
        model.appendRows({makeRow("/d/", "x", 1, 7), makeRow("/e/", "y", 1, 8)});
        QCOMPARE(bands(), QStringLiteral("011001"));
        model.sortByColumn(GroupColumn, Qt::AscendingOrder); // 3 3 7 7 7 8
        QCOMPARE(bands(), QStringLiteral("001110"));
        model.removeRowsAt({0, 1});
        QCOMPARE(bands(), QStringLiteral("0001"));

        model.clear();
        model.setBanding(ResultListModel::Banding::ByName);
        model.appendRows(sampleRows());
        model.sortByColumn(NameColumn, Qt::AscendingOrder); // Alpha alpha beta gamma
        QCOMPARE(bands(), QStringLiteral("0010"));
        model.setRowName(1, "beta.txt"); // Alpha beta beta gamma
        QCOMPARE(bands(), QStringLiteral("0110"));

        // Far down a long list, asked for in any order, before and after more rows come.
        model.clear();
        model.setBanding(ResultListModel::Banding::ByGroup);
        const auto pairs = [](int from, int to) {
            std::vector<ResultRow> rows;
            for (int i = from; i < to; ++i)
                rows.push_back(makeRow("/p/", std::to_string(i), 1, i / 2));
            return rows;
        };
        model.appendRows(pairs(0, 3000));
        const auto band = [&model](int row) {
            return model.index(row, NameColumn).data(kBandRole).toBool();
        };
        for (const int row : {2999, 10, 1500, 2048, 1025})
            QCOMPARE(band(row), (row / 2) % 2 == 1);
        model.appendRows(pairs(3000, 7000));
        for (const int row : {6999, 3001, 4100})
            QCOMPARE(band(row), (row / 2) % 2 == 1);
    }

    // The bands are drawn in the colours of the view's palette, a dark one too: the band colour
    // behind the rows of every other group, base behind the others.
    void bandsTakeThePalettesColours() {
        ResultListModel model;
        model.setBanding(ResultListModel::Banding::ByGroup);
        model.appendRows({makeRow("/a/", "x", 1, 1), makeRow("/b/", "x", 1, 1),
                          makeRow("/a/", "y", 2, 2), makeRow("/b/", "y", 2, 2)});
        ResultListView view;
        view.setResultModel(&model);
        QPalette dark = view.palette();
        dark.setColor(QPalette::Base, QColor(30, 30, 30));
        dark.setColor(QPalette::AlternateBase, QColor(60, 40, 80));
        dark.setColor(QPalette::Text, QColor(230, 230, 230));
        view.setPalette(dark);
        view.resize(600, 200);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        view.selectionModel()->clear(); // no selection over the bands
        const QImage shot = view.viewport()->grab().toImage();
        for (int row = 0; row < 4; ++row) {
            const QRect cell = view.visualRect(model.index(row, GroupColumn));
            const QColor behind = shot.pixelColor(cell.left() + 2, cell.center().y());
            QCOMPARE(behind, row < 2 ? QColor(30, 30, 30) : groupBandColor(dark));
        }
    }

    // Every third row of a few or of many stretches, under the model tester.
    void removalTakesExactlyTheListedRows() {
        for (const int rows : {20, 400}) {
            ResultListModel model;
            QAbstractItemModelTester tester(&model,
                                            QAbstractItemModelTester::FailureReportingMode::QtTest);
            std::vector<ResultRow> batch;
            for (int i = 0; i < rows; ++i)
                batch.push_back(makeRow("/f/", std::to_string(i), i));
            model.appendRows(batch);
            std::vector<int> gone;
            for (int i = rows - 1; i >= 0; i -= 3)
                gone.push_back(i);
            QCOMPARE(model.removeRowsAt(gone), static_cast<int>(gone.size()));
            QCOMPARE(model.rowCount(), rows - static_cast<int>(gone.size()));
            for (const ResultRow& r : model.rows())
                QVERIFY(std::stoi(r.name) % 3 != (rows - 1) % 3);
            QVERIFY(std::is_sorted(
                model.rows().begin(), model.rows().end(),
                [](const ResultRow& a, const ResultRow& b) { return a.size < b.size; }));
        }
    }

    // Rows are written "name group yyyy/mm/dd hh:mm:ss", with "*" before a marked name.
    void markDel_data() {
        QTest::addColumn<int>("list");
        QTest::addColumn<bool>("older");
        QTest::addColumn<QStringList>("rows");
        QTest::addColumn<QStringList>("expected");
        const QStringList sameDay = {"a 7 2024/05/01 23:59:59", "b 7 2024/05/01 00:00:01"};
        QTest::newRow("same day, older") << 1 << true << sameDay << QStringList{"a", "*b"};
        QTest::newRow("same day, newer") << 1 << false << sameDay << QStringList{"*a", "b"};
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
        QFETCH(bool, older);
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
        markByAge(table, list, older ? Age::Older : Age::Newer);
        QStringList marked;
        for (const ResultRow& row : table)
            marked << (row.checked ? "*" : "") + QString::fromStdString(row.name);
        QCOMPARE(marked, expected);
    }
};

QTEST_MAIN(TestResultListModel)
#include "test_result_list_model.moc"
