// SPDX-License-Identifier: GPL-2.0-or-later
// The path helpers every layer uses on byte paths.
#include "platform/PathText.h"

#include <QtTest>

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
};

QTEST_GUILESS_MAIN(PathTextTest)
#include "test_path_text.moc"
