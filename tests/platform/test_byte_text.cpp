// SPDX-License-Identifier: GPL-2.0-or-later
// Byte names as the searches compare them: letter case folded for UTF-8 letters only, and the
// wildcard patterns of the search paths.
#include "platform/ByteText.h"

#include <QtTest>

using namespace trevalo;

class ByteTextTest : public QObject {
    Q_OBJECT

private slots:
    void caseIsIgnoredForLettersNotForOtherBytes() {
        QVERIFY(equalNoCase("ÄRGER.txt", "ärger.txt"));
        QCOMPARE(compareNoCase("ÄRGER.txt", "ärger.txt"), 0);
        QVERIFY(equalNoCase("ΣΟΦΙΑ", "σοφια"));
        QVERIFY(!equalNoCase("a.txt", "a.txt "));
        QVERIFY(compareNoCase("apple", "Banana") < 0);
        QVERIFY(compareNoCase("b", "A") > 0);
        // The order agrees however the comparison proceeds (plain ASCII first, then folded).
        QVERIFY(compareNoCase("xÄ", "xb") > 0);
        QCOMPARE(compareNoCase("xÄ", "xb") > 0, foldCase("xÄ") > foldCase("xb"));
        // Two names that differ only in bytes that are not UTF-8 stay two names.
        QVERIFY(!equalNoCase("\xff.txt", "\xfe.txt"));
        QVERIFY(equalNoCase("\xff.TXT", "\xff.txt"));
        QVERIFY(!equalNoCase("\xc3", "\xc3\x84"));
        QCOMPARE(foldCase("A\xff"
                          "B"),
                 std::string("a\xff"
                             "b"));
    }

    // What the trees above leave out: backtracking, "?" on letters and bytes.
    void wildcards() {
        QVERIFY(!wildcardMatch("*.txt", "notes.txt.bak"));
        QVERIFY(wildcardMatch("a?c", "abc"));
        QVERIFY(wildcardMatch("a?c", "aäc")); // "?" is one character, not one byte
        QVERIFY(!wildcardMatch("a?c", "ac"));
        QVERIFY(wildcardMatch("*a*b*c", "xxaxxbxxc"));
        QVERIFY(!wildcardMatch("*a*b*c", "xxaxxcxxb"));
        QVERIFY(wildcardMatch("?.bin", "\xff.bin"));
        QVERIFY(!wildcardMatch("", "x"));
        // A plain ASCII name is matched without decoding: letters still fold on both sides,
        // also when only the pattern holds a character that folds to ASCII (Kelvin sign).
        QVERIFY(wildcardMatch("*/PHOTOS/*.JPG", "/home/u/photos/a.jpg"));
        QVERIFY(wildcardMatch("\u212A*", "kelvin.txt"));
        QVERIFY(!wildcardMatch("\u00e9*", "e.txt"));
        const WildcardPattern once("*\u00c9t\u00e9?");
        QVERIFY(once.matches("l'\u00e9T\u00c9s"));
        QVERIFY(!once.matches("ete1"));
    }
};

QTEST_GUILESS_MAIN(ByteTextTest)
#include "test_byte_text.moc"
