// SPDX-License-Identifier: GPL-2.0-or-later
// Counted texts ("%n files"): the form each language takes for the count, the count's digits
// grouped as the language writes them, and counts past what an int holds.
#include "platform/UserText.h"

#include <QtTest>

using namespace trevalo;

class UserTextTest : public QObject {
    Q_OBJECT

private slots:
    // Runs first: no language is loaded, as in the engine's tests and before start-up ends.
    void englishFormsNeedNoLoadedLanguage() {
        QCOMPARE(countedText("ResultTotals", "%n files", nullptr, 1), QStringLiteral("1 file"));
        QCOMPARE(countedText("ResultTotals", "%n files", nullptr, 0), QStringLiteral("0 files"));
        QCOMPARE(countedText("ResultTotals", "%n files", nullptr, 1234567),
                 QStringLiteral("1,234,567 files"));
        // Sizes of files past 2 GiB, and a last digit that would pick the singular if the
        // count were cut to an int.
        QCOMPARE(countedText("SizeText", "%n bytes", nullptr, 5'000'000'001),
                 QStringLiteral("5,000,000,001 bytes"));
        QCOMPARE(countedText("SizeText", "%n bytes", nullptr, 4'294'967'297),
                 QStringLiteral("4,294,967,297 bytes"));
        QCOMPARE(userText("SearchText", "%1; %n proven earlier.", nullptr, 1),
                 std::string("%1; 1 proven earlier."));
    }

    void eachLanguageHasItsOwnForms() {
        QVERIFY(loadUserLanguage(QLocale(QLocale::French, QLocale::France)));
        // French counts 0 as singular, unlike English.
        QCOMPARE(countedText("ResultTotals", "%n files", nullptr, 0), QStringLiteral("0 fichier"));
        QCOMPARE(countedText("ResultTotals", "%n files", nullptr, 1), QStringLiteral("1 fichier"));
        QCOMPARE(countedText("ResultTotals", "%n files", nullptr, 2), QStringLiteral("2 fichiers"));
        QCOMPARE(countedText("ResultTotals", "%n files", nullptr, 1234),
                 QLocale(QLocale::French, QLocale::France).toString(1234) +
                     QStringLiteral(" fichiers"));
    }
};

QTEST_GUILESS_MAIN(UserTextTest)
#include "test_user_text.moc"
