// SPDX-License-Identifier: GPL-2.0-or-later
// The path helpers every layer uses on byte paths.
#include "platform/PathText.h"

#include <QtTest>
#include <ctime>

using namespace trevalo;

class PathTextTest : public QObject {
    Q_OBJECT

private slots:
    // Trailing slashes go, the root stays the root, and a folder joined with a name gets
    // exactly one "/" between them, also at the root.
    void slashesAtTheEndAndBetween() {
        QCOMPARE(withoutTrailingSlashes("/data/"), std::string("/data"));
        QCOMPARE(withoutTrailingSlashes("/data///"), std::string("/data"));
        QCOMPARE(withoutTrailingSlashes("/data"), std::string("/data"));
        QCOMPARE(withoutTrailingSlashes("/"), std::string("/"));
        QCOMPARE(withoutTrailingSlashes("///"), std::string("/"));
        QCOMPARE(withoutTrailingSlashes(""), std::string());
        QCOMPARE(withoutTrailingSlashes("a//b/"), std::string("a//b"));

        QCOMPARE(childPath("/", "etc"), std::string("/etc"));
        QCOMPARE(childPath("/home/user", ".Trash"), std::string("/home/user/.Trash"));
        QCOMPARE(childPath("/data", "caf\xE9"), std::string("/data/caf\xE9"));
        QCOMPARE(joinFolderPattern("/", "*.*"), std::string("/*.*"));
        QCOMPARE(joinFolderPattern("/data", "*.txt"), std::string("/data/*.txt"));
    }

    void namesFoldersAndExtensions() {
        QCOMPARE(fileNameOf("/a/b.tar.gz"), std::string_view("b.tar.gz"));
        QCOMPARE(folderOf("/a/b.tar.gz"), std::string_view("/a/"));
        QCOMPARE(extensionOf("/a/b.tar.gz"), std::string_view("gz"));
        // A "." in a folder's name is no extension of the file.
        QCOMPARE(extensionOf("/a.d/README"), std::string_view());
        QCOMPARE(fileNameOf("plain"), std::string_view("plain"));
        QCOMPARE(folderOf("plain"), std::string_view());
    }

    // Dates in UTC: every field two digits (the year four), years below 1000 padded, the last
    // second of 9999, and a year past it as printf writes it; the text reads back as written.
    void datesOfEveryWidth() {
        const QByteArray zone = qgetenv("TZ");
        qputenv("TZ", "UTC");
        ::tzset();
        QCOMPARE(formatFileDate(0), std::string("1970/01/01 00:00:00"));
        QCOMPARE(formatFileDate(1'614'834'367), std::string("2021/03/04 05:06:07"));
        QCOMPARE(formatFileDate(-30'636'384'833), std::string("0999/03/04 05:06:07"));
        QCOMPARE(formatFileDate(253'402'300'799), std::string("9999/12/31 23:59:59"));
        QCOMPARE(formatFileDate(253'402'300'800), std::string("10000/01/01 00:00:00"));
        std::array<int, 6> numbers{};
        QVERIFY(fileDateNumbers(formatFileDate(1'614'834'367), numbers));
        QCOMPARE(numbers, (std::array<int, 6>{2021, 3, 4, 5, 6, 7}));
        QVERIFY(!fileDateNumbers(formatFileDate(253'402'300'800), numbers));
        if (zone.isNull())
            qunsetenv("TZ");
        else
            qputenv("TZ", zone);
        ::tzset();
    }
};

QTEST_GUILESS_MAIN(PathTextTest)
#include "test_path_text.moc"
