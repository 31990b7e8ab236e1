// SPDX-License-Identifier: GPL-2.0-or-later
// trevalo-scan in the user's language: its end text, list names and messages follow LANG (or
// LC_ALL), with no generated locale needed; the JSON is the same in every language.
#include "support/TempTree.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QTest>

using trevalo::test::TempTree;

namespace {

struct Run {
    int exitCode = -1;
    QString out;
    QString err;
};

// `program` (trevalo-scan by default) with `args` under the locale `locale` ("C.UTF-8",
// "de_DE.UTF-8", ...).
Run scan(const QString& locale, const QStringList& args,
         const QString& program = qEnvironmentVariable("TREVALO_SCAN")) {
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("LC_ALL"), locale);
    env.insert(QStringLiteral("LANG"), locale);
    env.remove(QStringLiteral("LANGUAGE"));
    env.insert(QStringLiteral("TZ"), QStringLiteral("UTC"));
    process.setProcessEnvironment(env);
    process.start(program, args);
    if (!process.waitForFinished(60000))
        return {};
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

// The JSON output without what changes from run to run.
QJsonObject steadyJson(const QString& out) {
    QJsonObject json = QJsonDocument::fromJson(out.toUtf8()).object();
    json.remove(QStringLiteral("seconds"));
    json.remove(QStringLiteral("searched_at"));
    return json;
}

} // namespace

class TestScanLanguage : public QObject {
    Q_OBJECT

private slots:
    void speaksTheLanguageOfTheLocale_data() {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("endText");
        QTest::addColumn<QString>("listName");
        QTest::addColumn<QString>("noFolder");
        QTest::addColumn<QString>("notASize");
        QTest::addColumn<QString>("date");
        QTest::newRow("English") << "C.UTF-8"
                                 << R"(Completed in \d+s, searching 3 files\.\n$)"
                                 << "Duplicates(2)"
                                 << "': no such folder"
                                 << "--min-size 'lots' is not a size (a number of bytes"
                                 << "\t2021/03/04 05:06:07\n";
        QTest::newRow("German") << "de_DE.UTF-8"
                                << R"(Fertig in \d+ s, 3 Dateien durchsucht\.\n$)"
                                << "Duplikate(2)"
                                << "“: kein solcher Ordner"
                                << "--min-size „lots“ ist keine Größe (eine Anzahl Bytes"
                                << "\t04.03.2021 05:06:07\n";
        QTest::newRow("French") << "fr_FR.UTF-8"
                                << R"(Terminé en \d+ s, 3 fichiers parcourus\.\n$)"
                                << "Doublons(2)"
                                << " » : dossier inexistant"
                                << "--min-size « lots » n'est pas une taille (un nombre d'octets"
                                << "\t04/03/2021 05:06:07\n";
    }
    void speaksTheLanguageOfTheLocale() {
        QFETCH(QString, locale);
        QFETCH(QString, endText);
        QFETCH(QString, listName);
        QFETCH(QString, noFolder);
        QFETCH(QString, notASize);
        QFETCH(QString, date);
        TempTree tree;
        tree.file("a.txt", "same bytes");
        tree.file("b.txt", "same bytes");
        tree.file("c.txt", "other bytes");
        tree.setMtime("a.txt", 1614834367); // 2021-03-04 05:06:07 UTC
        tree.setMtime("b.txt", 1614834367);
        const QString root = QString::fromStdString(tree.root());

        const Run text = scan(locale, {QStringLiteral("--duplicates"), root});
        QCOMPARE(text.exitCode, 0);
        QVERIFY2(text.out.contains(listName), qPrintable(text.out));
        QVERIFY2(text.out.contains(QRegularExpression(endText)), qPrintable(text.out));
        // Dates in the language's form; the JSON below keeps the program's own.
        QCOMPARE(text.out.count(date), 2);

        // The JSON's keys, list names and values are the same in every language.
        const Run json =
            scan(locale, {QStringLiteral("--json"), QStringLiteral("--duplicates"), root});
        const Run english = scan(QStringLiteral("C.UTF-8"),
                                 {QStringLiteral("--json"), QStringLiteral("--duplicates"), root});
        QCOMPARE(json.exitCode, 0);
        QVERIFY(!steadyJson(json.out).isEmpty());
        QCOMPARE(steadyJson(json.out), steadyJson(english.out));

        const Run missing = scan(locale, {root + QStringLiteral("/nothing")});
        QCOMPARE(missing.exitCode, 1);
        QVERIFY2(missing.err.contains(noFolder), qPrintable(missing.err));
        const Run badSize =
            scan(locale, {QStringLiteral("--min-size"), QStringLiteral("lots"), root});
        QCOMPARE(badSize.exitCode, 2);
        QVERIFY2(badSize.err.contains(notASize), qPrintable(badSize.err));
        // The usage's syntax stays as typed.
        QVERIFY(badSize.err.contains(QStringLiteral("usage: trevalo-scan")));
    }

    // The end text counts in the language's own forms: French takes the singular for 0 too.
    void countsTakeTheFormsOfTheLanguage_data() {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("none");
        QTest::addColumn<QString>("one");
        QTest::newRow("English") << "C.UTF-8"
                                 << "searching 0 files.\n"
                                 << "searching 1 file.\n";
        QTest::newRow("German") << "de_DE.UTF-8"
                                << " 0 Dateien durchsucht.\n"
                                << " 1 Datei durchsucht.\n";
        QTest::newRow("French") << "fr_FR.UTF-8"
                                << " 0 fichier parcouru.\n"
                                << " 1 fichier parcouru.\n";
    }
    void countsTakeTheFormsOfTheLanguage() {
        QFETCH(QString, locale);
        QFETCH(QString, none);
        QFETCH(QString, one);
        TempTree tree;
        tree.dir("empty");
        tree.file("one/a.txt", "bytes");
        const QString root = QString::fromStdString(tree.root());
        const Run empty = scan(locale, {root + QStringLiteral("/empty")});
        QCOMPARE(empty.exitCode, 0);
        QVERIFY2(empty.out.endsWith(none), qPrintable(empty.out));
        const Run single = scan(locale, {root + QStringLiteral("/one")});
        QCOMPARE(single.exitCode, 0);
        QVERIFY2(single.out.endsWith(one), qPrintable(single.out));
    }

    // --help of both programs describes their options in the user's language, and the window's
    // tells an unknown option in it; both without a display.
    void helpIsInTheLanguageOfTheLocale() {
        const Run window = scan(QStringLiteral("de_DE.UTF-8"), {QStringLiteral("--help")},
                                qEnvironmentVariable("TREVALO"));
        QCOMPARE(window.exitCode, 0);
        QVERIFY2(window.out.contains(QStringLiteral("Ein zu durchsuchender Ordner")),
                 qPrintable(window.out));
        const Run scanner = scan(QStringLiteral("de_DE.UTF-8"), {QStringLiteral("--help")});
        QCOMPARE(scanner.exitCode, 0);
        QVERIFY2(scanner.out.contains(QStringLiteral("Platzhaltermuster")),
                 qPrintable(scanner.out));
        const Run unknown = scan(QStringLiteral("fr_FR.UTF-8"), {QStringLiteral("--bogus")},
                                 qEnvironmentVariable("TREVALO"));
        QCOMPARE(unknown.exitCode, 1);
        QCOMPARE(unknown.err, QStringLiteral("trevalo: option inconnue « bogus »\n"
                                             "« trevalo --help » affiche les options.\n"));
    }
};

QTEST_GUILESS_MAIN(TestScanLanguage)
#include "test_scan_language.moc"
