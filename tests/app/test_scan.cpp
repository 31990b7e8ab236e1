// SPDX-License-Identifier: GPL-2.0-or-later
// trevalo-scan as a script would use it: exit codes, messages, text a terminal can show safely,
// and JSON that survives a parser.
#include "platform/PathText.h"
#include "results/ResultsFile.h"
#include "search/RowSort.h"
#include "search/SearchDriver.h"
#include "support/TempTree.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QtTest>
#include <cctype>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <functional>
#include <poll.h>
#include <pty.h>
#include <set>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <tuple>
#include <unistd.h>

extern char** environ;

using trevalo::test::TempTree;

namespace {

struct Result {
    int exitCode = -1; // -1: ended by a signal
    QByteArray out;
    QByteArray err;
};

// Where the program's standard output goes.
enum class Stdout { Pipe, DevFull, ClosedPipe };

using StderrWatch = std::function<void(pid_t, const QByteArray&)>;

std::string scanProgram() {
    return qgetenv("TREVALO_SCAN").toStdString();
}

// Runs trevalo-scan with fork and exec, so that arguments keep bytes that are not UTF-8. env
// ("NAME=value") is added to this process's environment; onStderr is called with the program's
// pid and its stderr so far whenever more of it arrives.
Result launch(std::vector<std::string> args, Stdout stdoutTo = Stdout::Pipe,
              std::vector<std::string> env = {}, const std::string& cwd = {},
              const StderrWatch& onStderr = {}, rlim_t openFiles = 0) {
    std::string program = scanProgram();
    std::vector<char*> argv{program.data()};
    for (auto& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    std::vector<char*> envp;
    for (char** e = environ; *e; ++e)
        envp.push_back(*e);
    for (auto& e : env)
        envp.push_back(e.data());
    envp.push_back(nullptr);

    int out[2], err[2];
    if (::pipe2(out, O_CLOEXEC) != 0 || ::pipe2(err, O_CLOEXEC) != 0)
        return {};
    if (stdoutTo == Stdout::ClosedPipe) { // no reader: every write fails with EPIPE
        ::close(out[0]);
        out[0] = -1;
    }
    const pid_t pid = ::fork();
    if (pid == 0) {
        const int target =
            stdoutTo == Stdout::DevFull ? ::open("/dev/full", O_WRONLY | O_CLOEXEC) : out[1];
        if (target < 0 || ::dup2(target, STDOUT_FILENO) < 0 || ::dup2(err[1], STDERR_FILENO) < 0)
            ::_exit(126);
        if (!cwd.empty() && ::chdir(cwd.c_str()) != 0)
            ::_exit(126);
        const rlimit limit{openFiles, openFiles};
        if (openFiles > 0 && ::setrlimit(RLIMIT_NOFILE, &limit) != 0)
            ::_exit(126);
        ::execve(program.c_str(), argv.data(), envp.data());
        ::_exit(127);
    }
    ::close(out[1]);
    ::close(err[1]);
    Result r;
    pollfd fds[2] = {{out[0], POLLIN, 0}, {err[0], POLLIN, 0}};
    while (fds[0].fd >= 0 || fds[1].fd >= 0) {
        if (::poll(fds, 2, -1) < 0) {
            if (errno == EINTR)
                continue;
            break;
        }
        for (int i = 0; i < 2; ++i) {
            if (fds[i].fd < 0 || fds[i].revents == 0)
                continue;
            char buf[65536];
            const ssize_t n = ::read(fds[i].fd, buf, sizeof buf);
            if (n <= 0) {
                ::close(fds[i].fd);
                fds[i].fd = -1;
                continue;
            }
            (i == 0 ? r.out : r.err).append(buf, n);
            if (i == 1 && onStderr)
                onStderr(pid, r.err);
        }
    }
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    r.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return r;
}

Result scan(const std::vector<std::string>& args) {
    return launch(args);
}

QByteArray bytes(const std::string& s) {
    return QByteArray::fromStdString(s);
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

QJsonObject jsonOf(const Result& r) {
    return QJsonDocument::fromJson(r.out).object();
}

QJsonArray rowsOf(const QJsonObject& doc, const char* list) {
    return doc["lists"].toObject()[list].toArray();
}

std::set<std::string> pathsIn(const QJsonObject& doc, const char* list) {
    std::set<std::string> out;
    for (const auto& row : rowsOf(doc, list))
        out.insert(bytesOfJsonText(row.toObject()["path"].toString()));
    return out;
}

// The rows of one list of the text output, without their indent.
QList<QByteArray> textRows(const QByteArray& out, const QByteArray& caption) {
    QList<QByteArray> rows;
    const qsizetype at = out.indexOf("\n" + caption + "(");
    if (at < 0 && !out.startsWith(caption + "("))
        return rows;
    const QList<QByteArray> lines = out.mid(at < 0 ? 0 : at + 1).split('\n');
    for (qsizetype i = 1; i < lines.size() && lines[i].startsWith("  "); ++i)
        rows << lines[i].mid(2);
    return rows;
}

// The JSON of a search run here, its rows held as the window holds them (every row whole, the
// lists sorted by sortRows) and written by writeResultsJson.
class WholeRows final : public trevalo::SearchEvents {
public:
    trevalo::ResultLists lists;
    trevalo::SearchOutcome outcome;
    void progress(double) override {}
    void phase(trevalo::SearchPhase) override {}
    void rows(int list, std::vector<trevalo::ResultRow> rows) override {
        auto& target = lists[static_cast<std::size_t>(list)];
        target.insert(target.end(), rows.begin(), rows.end());
    }
    void finished(const trevalo::SearchOutcome& o) override { outcome = o; }
};

QByteArray jsonOfWholeRows(const std::string& root) {
    using namespace trevalo;
    WholeRows host;
    SearchRequest request;
    request.paths.push_back(PathRow{joinFolderPattern(root, "*.*"), true});
    request.types = {true, true, true};
    SearchState state;
    runSearch(request, state, host);
    sortRows(host.lists[ListDuplicates], GroupColumn, 0);
    sortRows(host.lists[ListSameName], NameColumn, 0);
    sortRows(host.lists[ListZeroSize], NameColumn, 0);
    char* text = nullptr;
    std::size_t size = 0;
    std::FILE* memory = ::open_memstream(&text, &size);
    CheckedOutput out(memory);
    writeResultsJson(out, host.lists,
                     ResultsSummary{state.outcome.files, 0, state.outcome.cancelled});
    out.close();
    QByteArray json(text, static_cast<qsizetype>(size));
    std::free(text);
    return json;
}

// The output with every "seconds" value read as 0.
QByteArray withoutSeconds(QByteArray json) {
    const QByteArray key = "\"seconds\": ";
    for (qsizetype at = json.indexOf(key); at >= 0; at = json.indexOf(key, at)) {
        at += key.size();
        qsizetype end = at;
        while (end < json.size() &&
               (std::isdigit(static_cast<unsigned char>(json[end])) || json[end] == '.'))
            ++end;
        json.replace(at, end - at, "0");
    }
    return json;
}

// Runs trevalo-scan with stderr on a terminal (a pseudo-terminal this test reads) and stdout
// to /dev/null; returns what the terminal was sent.
QByteArray terminalStderr(std::vector<std::string> args) {
    std::string program = scanProgram();
    std::vector<char*> argv{program.data()};
    for (auto& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    int master = -1, slave = -1;
    if (::openpty(&master, &slave, nullptr, nullptr, nullptr) != 0)
        return {};
    const pid_t pid = ::fork();
    if (pid == 0) {
        const int null = ::open("/dev/null", O_WRONLY);
        if (null < 0 || ::dup2(null, STDOUT_FILENO) < 0 || ::dup2(slave, STDERR_FILENO) < 0)
            ::_exit(126);
        ::execv(program.c_str(), argv.data());
        ::_exit(127);
    }
    ::close(slave);
    QByteArray err;
    char buf[4096];
    for (;;) {
        const ssize_t n = ::read(master, buf, sizeof buf);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) // EIO once the program has closed the terminal
            break;
        err.append(buf, n);
    }
    ::close(master);
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    return err;
}

// Runs an interrupted search: it holds before comparing contents until Ctrl-C.
Result interrupted(const std::vector<std::string>& args) {
    bool sent = false;
    return launch(args, Stdout::Pipe, {"TREVALO_SCAN_TEST_HOLD=1"}, {},
                  [&](pid_t pid, const QByteArray& err) {
                      if (!sent && err.contains("holding")) {
                          sent = true;
                          ::kill(pid, SIGINT);
                      }
                  });
}

// Inside runUnprivileged, where QTest cannot report: says what failed on stderr.
bool expect(bool ok, const char* what, const QByteArray& detail = {}) {
    if (!ok)
        std::fprintf(stderr, "FAIL: %s\n%s\n", what, detail.constData());
    return ok;
}

// The search of a tree with an unreadable "open/secret" and an unlistable "locked" folder
// beside the copies "open/a" and "open/b", as this process's user; says on stderr what failed.
bool reportsUnreadableAsNobody(const std::string& root) {
    Result r = scan({"--json", root});
    const QJsonObject o = jsonOf(r);
    bool ok = expect(r.exitCode == 1, "exit status 1", r.err);
    ok &= expect(r.err.contains(bytes("trevalo-scan: '" + root +
                                      "/locked': could not be listed: Permission denied")),
                 "the folder named on stderr", r.err);
    ok &= expect(pathsIn(o, "duplicates") ==
                     std::set<std::string>{root + "/open/a", root + "/open/b"},
                 "the readable copies grouped", r.out);
    std::set<std::tuple<std::string, QString, bool>> errors;
    for (const auto& row : rowsOf(o, "read_errors"))
        errors.insert({bytesOfJsonText(row.toObject()["path"].toString()),
                       row.toObject()["reason"].toString(),
                       row.toObject()["folder_not_listed"].toBool()});
    ok &= expect(errors == decltype(errors){{root + "/locked",
                                             "could not be listed: Permission denied", true},
                                            {root + "/open/secret", "Permission denied", false}},
                 "read errors with reasons", r.out);
    // The unlistable folder as the only search path: still a JSON answer that says so.
    r = scan({"--json", root + "/locked"});
    ok &= expect(r.exitCode == 1, "exit status 1 for an unlistable search path", r.err);
    ok &= expect(rowsOf(jsonOf(r), "read_errors").size() == 1, "its read-error row", r.out);
    r = scan({root});
    const QList<QByteArray> rows = textRows(r.out, "Report - read errors");
    ok &= expect(rows.size() == 2, "two text rows of read errors", r.out);
    for (const QByteArray& row : rows)
        ok &= expect(row.split('\t').size() == 5 && row.endsWith("Permission denied"),
                     "Name, In Folder, Size, Date Modified, Reason", row);
    // The folder that could not be listed has no size nor date in the text; the JSON keeps the
    // members' types: -1 and the zero date.
    for (const QByteArray& row : rows)
        if (row.contains("could not be listed"))
            ok &= expect(row.split('\t')[2].isEmpty() && row.split('\t')[3].isEmpty(),
                         "an empty size and date", row);
    for (const auto& row : rowsOf(o, "read_errors"))
        if (row.toObject()["folder_not_listed"].toBool())
            ok &= expect(row.toObject()["size"].toInteger() == -1 &&
                             row.toObject()["modified"].toString() == "1899/12/30 00:00:00",
                         "size -1 and the zero date in JSON", r.out);
    return ok;
}

} // namespace

class ScanTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY2(!scanProgram().empty(), "TREVALO_SCAN is not set"); }

    void commandLine() {
        Result r = scan({"--frobnicate", "/tmp"});
        QCOMPARE(r.exitCode, 2);
        QVERIFY(r.err.contains("unknown option '--frobnicate'"));
        QVERIFY(r.err.contains("usage:"));
        QVERIFY(r.out.isEmpty());
        r = scan({"--json=yes", "/tmp"});
        QCOMPARE(r.exitCode, 2);
        QVERIFY(r.err.contains("usage:"));
        r = scan({"--json"});
        QCOMPARE(r.exitCode, 2);
        QVERIFY(r.err.contains("no SEARCH-PATH"));
        // The usage printed on an error names every option.
        for (const char* option :
             {"--zero-size", "--duplicates", "--same-name", "--no-subfolders", "--json", "--keep",
              "--only-with-kept", "--exclude", "--min-size", "--max-size", "--threads",
              "--no-cache", "--forget-cache", "--help", "--version"})
            QVERIFY2(r.err.contains(option), option);
        // --forget-cache alone empties the proof cache and searches nothing.
        r = scan({"--forget-cache"});
        QCOMPARE(r.exitCode, 0);
        QVERIFY(r.out.isEmpty() && r.err.isEmpty());
        r = scan({"--threads", "0", "/tmp"});
        QCOMPARE(r.exitCode, 2);
        QVERIFY(r.err.contains("--threads '0' is not a number from 1 to 256"));
        r = scan({"--help"});
        QCOMPARE(r.exitCode, 0);
        QVERIFY(r.out.startsWith("usage: trevalo-scan"));
        QVERIFY(r.out.contains("--no-subfolders"));
        QVERIFY(r.out.contains("--version"));
        r = scan({"--version"});
        QCOMPARE(r.exitCode, 0);
        QVERIFY2(QRegularExpression("^trevalo-scan \\d+\\.\\d+\\.\\d+\n$")
                     .match(QString::fromUtf8(r.out))
                     .hasMatch(),
                 r.out.constData());
        QVERIFY(r.err.isEmpty());
    }

    // With few descriptors to open files with, and many threads asked for, every file is still
    // read: the lists are those of a search with descriptors to spare. The files are large (and
    // sparse), so that each thread holds its files open a while.
    void fewOpenFilesReadEveryFile() {
        TempTree t;
        constexpr int kRuns = 32;
        constexpr int kCopies = 4;
        for (int r = 0; r < kRuns; ++r)
            for (int copy = 0; copy < kCopies; ++copy) {
                const std::string path =
                    t.file("d" + std::to_string(copy) + "/f" + std::to_string(r));
                QCOMPARE(::truncate(path.c_str(), (off_t{8} << 20) + r), 0);
            }
        const std::vector<std::string> args{"--duplicates", "--no-cache", "--json",
                                            "--threads",    "32",         t.root()};
        const auto lists = [](const Result& r) {
            return QJsonDocument::fromJson(r.out).object().value("lists").toObject();
        };
        const Result spare = launch(args);
        const Result few = launch(args, Stdout::Pipe, {}, {}, {}, 8);
        QCOMPARE(few.exitCode, 0);
        QCOMPARE(lists(spare).value("duplicates").toArray().size(), kRuns * kCopies);
        QCOMPARE(lists(few), lists(spare));
    }

    // Excluded names and paths and files outside the size limits are not listed; a size that
    // is not one, or limits that leave nothing, are a bad command line.
    void excludeAndSizeLimits() {
        TempTree t;
        for (const char* f : {"a/one", "a/two", "a/three.tmp", "skip/four", "b/skip/five"})
            t.file(f, "12345");
        t.file("a/big1", std::string(1001, 'x'));
        t.file("a/big2", std::string(1001, 'x'));
        t.file("a/small1", "12");
        t.file("a/small2", "12");
        t.file("a/empty");
        Result r = scan({"--json", "--exclude", "*.TMP", "--exclude=skip", "--min-size", "3",
                         "--max-size", "1 KB", t.root()});
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(pathsIn(jsonOf(r), "duplicates"),
                 (std::set<std::string>{t.path("a/one"), t.path("a/two")}));
        QVERIFY(pathsIn(jsonOf(r), "zero_size").empty());
        QVERIFY(r.err.isEmpty()); // no progress when stderr is not a terminal

        for (const std::vector<std::string>& bad :
             {std::vector<std::string>{"--min-size", "5XB", t.root()},
              std::vector<std::string>{"--max-size", "-1", t.root()},
              std::vector<std::string>{"--max-size=", t.root()}}) {
            r = scan(bad);
            QCOMPARE(r.exitCode, 2);
            QVERIFY2(r.err.contains("is not a size") && r.err.contains("usage:"),
                     r.err.constData());
            QVERIFY(r.out.isEmpty());
        }
        r = scan({"--min-size", "2KB", "--max-size", "1KB", t.root()});
        QCOMPARE(r.exitCode, 2);
        QVERIFY(r.err.contains("--min-size is larger than --max-size"));
    }

    // On a terminal, stderr holds one line that is redrawn in place and cleared at the end.
    void progressLineOnATerminal() {
        TempTree t;
        for (int i = 0; i < 50; ++i)
            t.file("d/f" + std::to_string(i), std::string(5000, static_cast<char>('a' + i % 2)));
        const QByteArray err = terminalStderr({"--duplicates", t.root()});
        QVERIFY2(err.contains("files found"), err.constData());
        QVERIFY2(err.contains("Comparing contents"), err.constData());
        QVERIFY2(!err.contains('\n'), err.constData()); // never a new line
        QVERIFY2(err.endsWith("\r\033[K"), err.constData());
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
        QVERIFY(r.err.contains(bytes(t.path("absent"))));
        const QRegularExpression lists(
            "^Zero Size\\(1\\)\n.*\nDuplicates\\(2\\)\n.*\nSame Name\\(0\\)\n\nReport - read "
            "errors\\(0\\)\n\nCompleted in \\d+s, searching 3 files\\.\n$",
            QRegularExpression::DotMatchesEverythingOption);
        QVERIFY2(lists.match(QString::fromUtf8(r.out)).hasMatch(), r.out.constData());
    }

    // Folder names reach the search byte for byte, also after "--" and when they start with "-".
    void nonUtf8AndDashedFolderNamesArriveWhole() {
        TempTree t;
        const std::string folder = "-caf\xe9\xff";
        t.file(folder + "/one", "same");
        t.file(folder + "/two", "same");
        Result r = scan({"--json", t.path(folder)});
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(pathsIn(jsonOf(r), "duplicates"),
                 (std::set<std::string>{t.path(folder + "/one"), t.path(folder + "/two")}));
        // A relative path gives full ones in the JSON, from the working folder: a results file
        // is opened elsewhere, where the relative path would name other files.
        for (const std::string& given : {folder, "./" + folder}) {
            r = launch({"--json", "--", given}, Stdout::Pipe, {}, t.root());
            QCOMPARE(r.exitCode, 0);
            QCOMPARE(pathsIn(jsonOf(r), "duplicates"),
                     (std::set<std::string>{t.path(folder + "/one"), t.path(folder + "/two")}));
        }
        // Named in a message as the search got it, invalid bytes escaped.
        r = scan({t.path("gone\xfe")});
        QCOMPARE(r.exitCode, 1);
        QVERIFY2(r.err.contains(bytes(t.path("gone\\xfe': no such folder"))), r.err.constData());
    }

    // Every row of the text output has its cells and nothing else: names cannot add cells,
    // rows or terminal commands, and two different names never look the same.
    void textEscapesControlsInNamesAndFolders() {
        TempTree t;
        const std::vector<std::pair<std::string, std::string>> names = {
            {"new\nline", "new\\nline"},
            {"tab\tcell", "tab\\tcell"},
            {"esc\x1b[2Jclear", "esc\\x1b[2Jclear"},
            {"bell\a cr\r del\x7f", "bell\\x07 cr\\r del\\x7f"},
            {"c1 \xc2\x85 csi \xc2\x9b", "c1 \\u0085 csi \\u009b"},
            {"back\\slash", "back\\\\slash"},
            {"bad\xff byte", "bad\\xff byte"},
            {"caf\xc3\xa9 \xc2\xa0nbsp", "caf\xc3\xa9 \xc2\xa0nbsp"}, // text is left as it is
        };
        for (const auto& [name, shown] : names)
            t.file("tab\there/" + name, "same");
        t.file("plain/copy", "same");
        const Result r = scan({"--duplicates", t.root()});
        QCOMPARE(r.exitCode, 0);
        const QList<QByteArray> rows = textRows(r.out, "Duplicates");
        QCOMPARE(rows.size(), qsizetype(names.size() + 1));
        std::set<QByteArray> shownNames;
        for (const QByteArray& row : rows) {
            const QList<QByteArray> cells = row.split('\t');
            QCOMPARE(cells.size(), 5); // Name, In Folder, #, Size, Date Modified
            if (cells[0] == "copy")
                continue;
            shownNames.insert(cells[0]);
            QCOMPARE(cells[1], bytes(t.path("tab\\there/")));
        }
        std::set<QByteArray> expected;
        for (const auto& [name, shown] : names)
            expected.insert(bytes(shown));
        QCOMPARE(shownNames, expected);
        for (const char c : r.out)
            QVERIFY(c == '\n' || c == '\t' || static_cast<unsigned char>(c) >= 0x20);
        QVERIFY(!r.out.contains("\xc2\x85") && !r.out.contains("\x7f"));
    }

    void jsonReadsBackWithEveryByte() {
        TempTree t;
        const std::string odd = "caf\xe9 \xff\"quoted\"\\\n\x1b\xc2\x85.bin";
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
        QCOMPARE(o["cancelled"], QJsonValue(false));
        QCOMPARE(pathsIn(o, "duplicates"),
                 (std::set<std::string>{t.path("one/" + odd), t.path("two/copy.bin")}));
        QCOMPARE(pathsIn(o, "same_name"),
                 (std::set<std::string>{t.path("one/" + odd), t.path("two/" + odd)}));
        QCOMPARE(pathsIn(o, "zero_size"), (std::set<std::string>{t.path("three/empty.txt")}));
        const QJsonObject row = rowsOf(o, "duplicates").at(0).toObject();
        QCOMPARE(row["size"].toInteger(), 7);
        QVERIFY(row["group"].isDouble());
        QVERIFY(row["folder"].toString().endsWith('/'));
        QCOMPARE(row["modified"].toString().size(), 19);
        QVERIFY(!row.contains("reason"));
    }

    // trevalo-scan keeps its rows in a compact form until it writes them: what it writes is
    // byte for byte what the rows held whole give, on a tree with names that differ only in case,
    // in letters beyond ASCII or in bytes that are not UTF-8, groups whose members interleave,
    // empty files out of name order, and a same-name list longer than one hand-over of rows.
    void outputIsThatOfTheWholeRows() {
        TempTree t("/dev/shm");
        const std::vector<std::string> names = {"Same.txt",     "same.TXT", "\xc3\x84pfel",
                                                "\xc3\xa4pfel", "apfel",    "\xff\xfe.bin",
                                                "zebra",        "Zebra"};
        for (int f = 0; f < 700; ++f)
            for (std::size_t n = 0; n < names.size(); ++n)
                t.file("d" + std::to_string(f % 37) + "/" + std::to_string(f) + "/" + names[n],
                       std::string(1 + (f + n) % 5, static_cast<char>('a' + f % 3)));
        for (const char* empty : {"b.empty", "A.empty", "a.empty", "\xc3\x89.empty", "e.empty"})
            t.file(std::string("empty/") + empty);
        // A folder row with its reason, and a date too long for the usual column (where the
        // file system keeps one past year 9999).
        t.symlink(t.path("d3"), "d3/again");
        t.file("far/" + std::string(255, 'n'), "far away");
        t.file("far/other", "far away");
        t.setMtime("far/other", 316531972800);
        const QByteArray expected = withoutSeconds(jsonOfWholeRows(t.root()));
        const Result r = scan({"--json", t.root()});
        QCOMPARE(r.exitCode, 0);
        QVERIFY2(expected.count("\"path\"") > 5600, expected.left(600).constData());
        QVERIFY(expected.contains("a link back to a folder above it"));
        QVERIFY(withoutSeconds(r.out) == expected);
    }

    // A date past year 9999 is not cut to fit a column. ext4 keeps no time past 2446: tmpfs.
    void yearPast9999ShownWhole() {
        TempTree t("/dev/shm");
        t.file("far", "");
        t.setMtime("far", 316531972800); // 12000-07-01 12:00:00 UTC
        struct stat st {};
        if (::stat(t.path("far").c_str(), &st) != 0 || st.st_mtime != 316531972800)
            QSKIP("/dev/shm keeps no time past year 9999 here");
        const std::vector<std::string> utc = {"TZ=UTC"};
        Result r = launch({"--zero-size", t.root()}, Stdout::Pipe, utc);
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(textRows(r.out, "Zero Size").value(0).split('\t').value(3),
                 QByteArray("12000/07/01 12:00:00"));
        r = launch({"--json", "--zero-size", t.root()}, Stdout::Pipe, utc);
        QCOMPARE(rowsOf(jsonOf(r), "zero_size").at(0).toObject()["modified"].toString(),
                 QString("12000/07/01 12:00:00"));
    }

    // Output that could not be written is never a success: small output fails when it is
    // flushed, output of more than a buffer when it is written.
    void failedWritesExitNonZero() {
        TempTree t;
        t.file("small/a", "same");
        t.file("small/b", "same");
        for (int i = 0; i < 2000; ++i)
            t.file("large/" + std::string(200, 'n') + std::to_string(i));
        for (const char* folder : {"small", "large"}) {
            Result r = launch({"--json", t.path(folder)}, Stdout::DevFull);
            QCOMPARE(r.exitCode, 3);
            QVERIFY2(r.err.contains("the output could not be written: No space left on device"),
                     r.err.constData());
            r = launch({t.path(folder)}, Stdout::ClosedPipe);
            QCOMPARE(r.exitCode, 3);
            QVERIFY2(r.err.contains("the output could not be written: Broken pipe"),
                     r.err.constData());
        }
        QCOMPARE(launch({"--version"}, Stdout::DevFull).exitCode, 3);
    }

    // A folder that cannot be listed and a file that cannot be read are rows with their
    // reasons, the folder is named on stderr, and the exit status tells. chmod 000 denies
    // nothing to root, so trevalo-scan runs as an unprivileged user.
    void unreadableFolderAndFileAreReportedWithReasons() {
        TempTree t;
        t.file("open/a", "same");
        t.file("open/b", "same");
        t.file("open/secret", "same");
        t.file("locked/inner", "same");
        t.chmod("open/secret", 0);
        t.chmod("locked", 0);
        const std::string root = t.root();
        // The program runs from a copy the unprivileged user may reach (the build tree may lie
        // in a folder only its owner can enter).
        TempTree bin;
        const std::string program =
            bin.file("trevalo-scan", trevalo::test::readFile(scanProgram()));
        ::chmod(program.c_str(), 0755);
        const QByteArray built = qgetenv("TREVALO_SCAN");
        qputenv("TREVALO_SCAN", QByteArray::fromStdString(program));
        const bool ok =
            trevalo::test::runUnprivileged([&] { return reportsUnreadableAsNobody(root); });
        qputenv("TREVALO_SCAN", built);
        QVERIFY2(ok, "see the FAIL lines above");
    }

    // --keep marks the files of a folder as kept, searching it when no search path covers it;
    // --only-with-kept lists only the groups that hold one.
    void keptFoldersAndOnlyTheirGroups() {
        TempTree t;
        t.file("archive/a", "AAAA");
        t.file("downloads/a-copy", "AAAA");
        t.file("downloads/c1", "CC");
        t.file("downloads/c2", "CC");
        const auto keptPaths = [](const QJsonObject& o) {
            std::set<std::string> kept;
            for (const auto& row : rowsOf(o, "duplicates"))
                if (row.toObject()["kept"].toBool())
                    kept.insert(bytesOfJsonText(row.toObject()["path"].toString()));
            return kept;
        };
        // Not covered by the search path: searched too.
        Result r = scan({"--json", "--keep", t.path("archive"), t.path("downloads")});
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(keptPaths(jsonOf(r)), std::set<std::string>{t.path("archive/a")});
        QCOMPARE(pathsIn(jsonOf(r), "duplicates").size(), std::size_t(4));
        // Covered: only marks; and only the group with a kept file is listed.
        r = scan({"--json", "--only-with-kept", "--keep", t.path("archive"), t.root()});
        QCOMPARE(pathsIn(jsonOf(r), "duplicates"),
                 (std::set<std::string>{t.path("archive/a"), t.path("downloads/a-copy")}));
    }

    // Folders passed over on purpose are said so but are no failure: a link back to a folder
    // above it, and a trash folder given as a search path (never searched, also then).
    void foldersPassedOverAreSaidSo() {
        TempTree t;
        t.file("data/a", "x");
        t.symlink(t.path("data"), "data/again");
        t.file("home/.local/share/Trash/files/old", "x");
        Result r = scan({"--json", t.path("data")});
        QCOMPARE(r.exitCode, 0);
        QVERIFY(r.err.contains("a link back to a folder above it, searched once"));
        r = launch({"--json", t.path("home/.local/share/Trash/files")}, Stdout::Pipe,
                   {"XDG_DATA_HOME=" + t.path("home/.local/share")});
        QCOMPARE(r.exitCode, 0);
        const QJsonArray errors = rowsOf(jsonOf(r), "read_errors");
        QCOMPARE(errors.size(), 1);
        QCOMPARE(errors[0].toObject()["reason"].toString(),
                 QStringLiteral("a trash folder, never searched"));
        QCOMPARE(jsonOf(r)["files_searched"].toInt(), 0);
    }

    // Ctrl-C stops the search; what was found so far is written, marked as cancelled.
    void interruptWritesWhatWasFound() {
        TempTree t;
        t.file("z/empty", "");
        t.file("a/dup", "same");
        t.file("b/dup", "same");
        Result r = interrupted({"--json", t.root()});
        QCOMPARE(r.exitCode, 130);
        const QJsonObject o = jsonOf(r);
        QCOMPARE(o["cancelled"], QJsonValue(true));
        // Found before the interrupt: the same names and the empty file; nothing compared.
        QCOMPARE(pathsIn(o, "zero_size").size(), std::size_t(1));
        QCOMPARE(pathsIn(o, "same_name").size(), std::size_t(2));
        QVERIFY(pathsIn(o, "duplicates").empty());
        r = interrupted({t.root()});
        QCOMPARE(r.exitCode, 130);
        QVERIFY2(QRegularExpression("\nCancelled after \\d+ ?s, searching 3 files\\.\n$")
                     .match(QString::fromUtf8(r.out))
                     .hasMatch(),
                 r.out.constData());
    }
};

QTEST_GUILESS_MAIN(ScanTest)
#include "test_scan.moc"
