// trevalo-scan as a script would use it: exit codes, messages, and JSON that survives a parser.
#include "support/TempTree.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QtTest>
#include <csignal>
#include <set>

using trevalo::test::TempTree;

namespace {

struct Result {
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

QString scanProgram() {
    return QString::fromLocal8Bit(qgetenv("TREVALO_SCAN"));
}

QStringList argsOf(const std::vector<std::string>& args) {
    QStringList out;
    for (const auto& a : args)
        out << QFile::decodeName(QByteArray::fromStdString(a));
    return out;
}

Result scan(const std::vector<std::string>& args) {
    QProcess p;
    p.start(scanProgram(), argsOf(args));
    p.waitForFinished(60000);
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, p.readAllStandardOutput(),
            p.readAllStandardError()};
}

// A path written by trevalo-scan back to its bytes: \udc80..\udcff stand for single bytes.
std::string bytesOfJsonText(const QString& s) {
    std::string out;
    for (const QChar c : s) {
        const char16_t u = c.unicode();
        if (u >= 0xDC80 && u <= 0xDCFF)
            out.push_back(static_cast<char>(u - 0xDC00));
        else
            out += QString(c).toStdString();
    }
    return out;
}

std::set<std::string> pathsIn(const QJsonObject& doc, const char* list) {
    std::set<std::string> out;
    for (const auto& row : doc["lists"].toObject()[list].toArray())
        out.insert(bytesOfJsonText(row.toObject()["path"].toString()));
    return out;
}

} // namespace

class ScanTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY2(!scanProgram().isEmpty(), "TREVALO_SCAN is not set"); }

    void badCommandLines() {
        Result r = scan({"--frobnicate", "/tmp"});
        QCOMPARE(r.exitCode, 2);
        QVERIFY(r.err.contains("unknown option '--frobnicate'"));
        QVERIFY(r.err.contains("usage:"));
        QVERIFY(r.out.isEmpty());
        r = scan({"--json"});
        QCOMPARE(r.exitCode, 2);
        QVERIFY(r.err.contains("no SEARCH-PATH"));
        r = scan({"--help"});
        QCOMPARE(r.exitCode, 0);
        QVERIFY(r.out.contains("--no-subfolders"));
    }

    // The four lists in tab order, the completion text last; a missing folder is named, the
    // others are searched, and the exit status tells.
    void textListsAndAMissingFolder() {
        TempTree t;
        t.file("x/e", "");
        t.file("x/dup1", "12345");
        t.file("y/dup2", "12345");
        const Result r = scan({t.path("absent"), t.root()});
        QCOMPARE(r.exitCode, 1);
        QVERIFY(r.err.contains(QByteArray::fromStdString(t.path("absent"))));
        const QRegularExpression lists(
            "^Zero Size\\(1\\)\n.*\nDuplicates\\(2\\)\n.*\nSame Name\\(0\\)\n\nReport - read "
            "errors\\(0\\)\n\nCompleted in \\d+s, searching 3 files\\.\n$",
            QRegularExpression::DotMatchesEverythingOption);
        QVERIFY2(lists.match(QString::fromUtf8(r.out)).hasMatch(), r.out.constData());
    }

    void jsonReadsBackWithEveryByte() {
        TempTree t;
        const std::string odd = "caf\xe9 \xff\"quoted\"\\.bin";
        t.file("one/" + odd, "payload");
        t.file("two/copy.bin", "payload");
        t.file("two/" + odd, "other!!");
        t.file("three/empty.txt", "");
        const Result r = scan({"--json", t.root()});
        QCOMPARE(r.exitCode, 0);
        QJsonParseError error;
        const QJsonDocument doc = QJsonDocument::fromJson(r.out, &error);
        QVERIFY2(!doc.isNull(), qPrintable(error.errorString()));
        const QJsonObject o = doc.object();
        QCOMPARE(o["files_searched"].toInt(), 4);
        QVERIFY(o["seconds"].isDouble());
        QCOMPARE(pathsIn(o, "duplicates"),
                 (std::set<std::string>{t.path("one/" + odd), t.path("two/copy.bin")}));
        QCOMPARE(pathsIn(o, "same_name"),
                 (std::set<std::string>{t.path("one/" + odd), t.path("two/" + odd)}));
        QCOMPARE(pathsIn(o, "zero_size"), (std::set<std::string>{t.path("three/empty.txt")}));
        const QJsonObject row = o["lists"].toObject()["duplicates"].toArray().at(0).toObject();
        QCOMPARE(row["size"].toInteger(), 7);
        QVERIFY(row["group"].isDouble());
        QVERIFY(row["folder"].toString().endsWith('/'));
        QCOMPARE(row["modified"].toString().size(), 19);
    }

    void patternsAndSubFolders() {
        TempTree t;
        t.file("a.jpg", "1");
        t.file("sub/b.jpg", "1");
        t.file("sub/c.txt", "1");
        Result r = scan({"--json", "--duplicates", t.path("*.JPG")});
        QCOMPARE(QJsonDocument::fromJson(r.out).object()["files_searched"].toInt(), 2);
        r = scan({"--json", "--no-subfolders", t.root()});
        QCOMPARE(QJsonDocument::fromJson(r.out).object()["files_searched"].toInt(), 1);
    }

    void interruptPrintsWhatWasFound() {
        TempTree t;
        t.file("z/empty", "");
        t.file("a/dup", "same");
        t.file("b/dup", "same");
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("TREVALO_SCAN_TEST_HOLD", "1");
        p.setProcessEnvironment(env);
        p.setReadChannel(QProcess::StandardError);
        p.start(scanProgram(), {"--json", QString::fromStdString(t.root())});
        QByteArray err;
        while (!err.contains("holding") && p.waitForReadyRead(10000))
            err += p.readAllStandardError();
        QVERIFY(err.contains("holding"));
        ::kill(static_cast<pid_t>(p.processId()), SIGINT);
        QVERIFY(p.waitForFinished(20000));
        p.setReadChannel(QProcess::StandardOutput);
        QCOMPARE(p.exitStatus(), QProcess::NormalExit);
        QCOMPARE(p.exitCode(), 130);
        const QJsonObject o = QJsonDocument::fromJson(p.readAllStandardOutput()).object();
        // Found before the interrupt: the same names and the empty file; nothing compared.
        QCOMPARE(pathsIn(o, "zero_size").size(), std::size_t(1));
        QCOMPARE(pathsIn(o, "same_name").size(), std::size_t(2));
        QVERIFY(pathsIn(o, "duplicates").empty());
    }
};

QTEST_GUILESS_MAIN(ScanTest)
#include "test_scan.moc"
