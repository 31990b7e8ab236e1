// SPDX-License-Identifier: GPL-2.0-or-later
// Results saved and opened again, files that are refused, the writer that never goes through a
// link, and one list exported as CSV and read back by Python's csv module.
#include "platform/FileSystem.h"
#include "results/ResultsCsv.h"
#include "results/ResultsFile.h"
#include "search/FolderGroups.h"
#include "support/FileRows.h"
#include "support/TempTree.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <QStandardPaths>
#include <QtTest>
#include <csignal>
#include <fcntl.h>
#include <numeric>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <utime.h>

using namespace trevalo;
using trevalo::test::exists;
using trevalo::test::readFile;
using trevalo::test::TempTree;

namespace {

// Names that take every escape: not UTF-8 (0x80 and 0xff the ends of the escaped bytes),
// controls, quote, backslash, comma, C1, non-Latin.
const std::vector<std::string> kOddNames = {"caf\xe9.txt",
                                            "tab\there",
                                            "line\nbreak",
                                            "quote\"d",
                                            "back\\slash",
                                            "a,b",
                                            "\xc2\x85next-line",
                                            "\xe6\x97\xa5\xe6\x9c\xac\xf0\x9f\x98\x80",
                                            "\xff\xfe",
                                            "\x80",
                                            "plain"};

SavedResults sampleResults(TempTree& tree) {
    SavedResults r;
    int i = 0;
    for (const std::string& name : kOddNames) {
        const std::string path = tree.file("d\xe9/" + name, "same");
        ResultRow row = rowOfFile(path, 7);
        row.kept = (i++ % 3) == 0;
        r.lists[ListDuplicates].push_back(row);
    }
    r.lists[ListZeroSize].push_back(rowOfFile(tree.file("zero")));
    r.lists[ListSameName].push_back(rowOfFile(tree.file("x/plain", "other")));
    ResultRow gone = rowOfFile(tree.path("never-there"));
    r.lists[ListReadErrors].push_back(gone);
    r.lists[ListReadErrors].push_back(makeFolderRow(tree.path("shut\xfe"), EACCES));
    // The whole-folder lists: a folder with its claim, an empty folder and a broken link.
    const std::string copy = tree.path("copy\xe9");
    FolderClaim claim;
    claim.files = 2;
    claim.copiesIn = tree.path("d\xe9/");
    claim.items = {{tree.file("copy\xe9/plain", "same"), {}, tree.path("d\xe9/plain"), {}},
                   {tree.file("copy\xe9/sub/empty"), {}, {}, {}}};
    claim.items[0].stamp.size = claim.items[0].copyStamp.size = 4;
    claim.items[0].stamp.mtime = 1700000000;
    claim.items[0].copyStamp.mtime = 1700000001;
    claim.folders = {"sub/"};
    ResultRow folder = makeEntryRow(copy, statPath(copy, false), RowTarget::Folder);
    folder.size = 4;
    folder.setReason(folderRowText(claim));
    folder.setClaim(std::make_shared<const FolderClaim>(claim));
    r.lists[ListFolders].push_back(folder);
    const std::string empty = tree.dir("empty\n");
    r.lists[ListEmptyFolders].push_back(
        makeEntryRow(empty, statPath(empty, false), RowTarget::Folder));
    const std::string link = exists(tree.path("broken\xe9"))
                                 ? tree.path("broken\xe9")
                                 : tree.symlink("nowhere", "broken\xe9");
    r.lists[ListBrokenLinks].push_back(makeEntryRow(link, statPath(link, false), RowTarget::Link));
    r.summary = {12, 3.25, true, {false, false, false, false, true, true, true}};
    SearchRequest setup;
    setup.paths = {PathRow{tree.root() + "/*.*", true, PathRole::Search},
                   PathRow{tree.path("d\xe9") + "/*.txt", false, PathRole::Keep},
                   PathRow{"/srv/a;b", true, PathRole::KeepOnly}};
    setup.types = {true, false, true, true, true, true};
    setup.onlyWithKept = true;
    setup.exclude = {"*.tmp", "caf\xe9*", "*/build/*"};
    setup.minSize = 1;
    setup.maxSize = 5000000000;
    r.setup = setup;
    r.searchedAt = 1780000000;
    return r;
}

void compareRows(const std::vector<ResultRow>& got, const std::vector<ResultRow>& want) {
    QCOMPARE(got.size(), want.size());
    for (std::size_t i = 0; i < got.size(); ++i) {
        QCOMPARE(got[i].folder(), want[i].folder());
        QCOMPARE(got[i].name, want[i].name);
        QCOMPARE(got[i].group, want[i].group);
        QCOMPARE(got[i].size, want[i].size);
        QCOMPARE(got[i].mtimeKnown, want[i].mtimeKnown);
        QCOMPARE(got[i].mtime, want[i].mtime);
        QCOMPARE(got[i].dateText(), want[i].dateText());
        QCOMPARE(got[i].kept, want[i].kept);
        QCOMPARE(got[i].isFolder, want[i].isFolder);
        QCOMPARE(got[i].reason(), want[i].reason());
        QVERIFY(got[i].target == want[i].target);
        QCOMPARE(bool(got[i].claim()), bool(want[i].claim()));
        if (!want[i].claim())
            continue;
        const FolderClaim &a = *got[i].claim(), &b = *want[i].claim();
        QCOMPARE(a.files, b.files);
        QCOMPARE(a.identical, b.identical);
        QCOMPARE(a.copiesIn, b.copiesIn);
        QCOMPARE(a.folders, b.folders);
        QCOMPARE(a.items.size(), b.items.size());
        for (std::size_t k = 0; k < a.items.size(); ++k) {
            QCOMPARE(a.items[k].path, b.items[k].path);
            QCOMPARE(a.items[k].copyPath, b.items[k].copyPath);
            QCOMPARE(a.items[k].stamp.size, b.items[k].stamp.size);
            QCOMPARE(a.items[k].stamp.mtime, b.items[k].stamp.mtime);
            QCOMPARE(a.items[k].copyStamp.mtime, b.items[k].copyStamp.mtime);
        }
    }
}

std::string jsonOf(const SavedResults& r, bool saved) {
    char* buf = nullptr;
    std::size_t len = 0;
    std::FILE* f = open_memstream(&buf, &len);
    CheckedOutput out(f);
    if (saved)
        writeSavedResults(out, r);
    else
        writeResultsJson(out, r.lists, r.summary);
    out.close();
    std::string text(buf, len);
    std::free(buf);
    return text;
}

// The bytes a CSV cell stands for: the apostrophe that keeps a spreadsheet from running it as a
// formula dropped, and each \xNN escape read back as its byte.
std::string bytesOfCell(const QJsonValue& cell) {
    std::string text = cell.toString().toStdString();
    const std::size_t first = text.find_first_not_of('\'');
    if (first != std::string::npos && first > 0 &&
        std::string_view("=+-@\t\r").find(text[first]) != std::string_view::npos)
        text.erase(0, 1);
    std::string bytes;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text.compare(i, 2, "\\x") == 0 && i + 3 < text.size() && std::isxdigit(text[i + 2]) &&
            std::isxdigit(text[i + 3])) {
            bytes.push_back(static_cast<char>(std::stoi(text.substr(i + 2, 2), nullptr, 16)));
            i += 3;
        } else {
            bytes.push_back(text[i]);
        }
    }
    return bytes;
}

} // namespace

class ResultsFileTest : public QObject {
    Q_OBJECT

private slots:
    void savedAndOpenedEveryByteAndTheSetUp() {
        TempTree tree;
        const SavedResults saved = sampleResults(tree);
        const std::string file = tree.path("results \xe9.json");
        std::string error;
        QVERIFY2(saveResults(file, saved, error), error.c_str());
        QVERIFY(!exists(file + ".part"));
        const auto opened = openResults(file, error);
        QVERIFY2(opened, error.c_str());
        for (int m = 0; m < kResultListCount; ++m)
            compareRows(opened->lists[m], saved.lists[m]);
        QCOMPARE(opened->summary.files, 12);
        QCOMPARE(opened->summary.seconds, 3.25);
        QVERIFY(opened->summary.cancelled);
        QCOMPARE(opened->searchedAt, saved.searchedAt);
        QVERIFY(opened->setup);
        const SearchRequest& s = *opened->setup;
        QCOMPARE(s.paths.size(), std::size_t(3));
        for (std::size_t i = 0; i < 3; ++i) {
            QCOMPARE(s.paths[i].path, saved.setup->paths[i].path);
            QCOMPARE(s.paths[i].subFolders, saved.setup->paths[i].subFolders);
            QVERIFY(s.paths[i].role == saved.setup->paths[i].role);
        }
        QCOMPARE(s.types, saved.setup->types);
        QCOMPARE(s.onlyWithKept, true);
        QCOMPARE(s.exclude, saved.setup->exclude);
        QCOMPARE(s.minSize, 1);
        QCOMPARE(s.maxSize, 5000000000);

        // trevalo-scan's output opens too, without a set-up; the date comes from "modified".
        const auto scan = readResults(jsonOf(saved, false), error);
        QVERIFY2(scan, error.c_str());
        QVERIFY(!scan->setup);
        compareRows(scan->lists[ListDuplicates], saved.lists[ListDuplicates]);
        compareRows(scan->lists[ListBrokenLinks], saved.lists[ListBrokenLinks]);
        // Without the whole-folder searches, their lists are not written at all.
        SavedResults usual = saved;
        usual.summary.wholeLists = {};
        const std::string usualJson = jsonOf(usual, false);
        QVERIFY(usualJson.find("\"read_errors\"") != std::string::npos);
        for (const char* key : {"\"folders\"", "\"empty_folders\"", "\"broken_links\""})
            QVERIFY2(usualJson.find(key) == std::string::npos, key);

        const auto pathOnly =
            readResults("{\"lists\": {\"same_name\": [{\"path\": \"/a/b\\udce9\"}]}}", error);
        QVERIFY2(pathOnly, error.c_str());
        QCOMPARE(pathOnly->lists[ListSameName][0].folder(), std::string("/a/"));
        QCOMPARE(pathOnly->lists[ListSameName][0].name, std::string("b\xe9"));

        // Any JSON layout of the same values reads the same (Qt writes it indented).
        const QJsonDocument doc =
            QJsonDocument::fromJson(QByteArray::fromStdString(jsonOf(saved, true)));
        QVERIFY(doc.isObject());
        const auto relaid = readResults(doc.toJson(QJsonDocument::Indented).toStdString(), error);
        QVERIFY2(relaid, error.c_str());
        compareRows(relaid->lists[ListDuplicates], saved.lists[ListDuplicates]);
    }

    // A results file far larger than the part of its text held at once while it is read: every
    // row comes back, and the same file cut short far into it says it ends early.
    void aLargeFileComesBackWhole() {
        TempTree tree;
        SavedResults saved;
        auto& rows = saved.lists[ListSameName];
        for (int i = 0; i < 70000; ++i) {
            ResultRow row;
            row.setFolder("/data/" + std::string(200 + i % 50, char('a' + i % 26)) + "/");
            row.name =
                kOddNames[static_cast<std::size_t>(i) % kOddNames.size()] + std::to_string(i);
            row.group = i / 3;
            row.size = i;
            row.mtime = 1700000000 + i;
            row.mtimeKnown = true;
            std::memcpy(row.date.data(), "2023/11/14 22:13:20", 19);
            rows.push_back(std::move(row));
        }
        const std::string file = tree.path("large.json");
        std::string error;
        QVERIFY2(saveResults(file, saved, error), error.c_str());
        struct stat st {};
        QVERIFY(::stat(file.c_str(), &st) == 0 && st.st_size > (std::int64_t{40} << 20));
        const auto opened = openResults(file, error);
        QVERIFY2(opened, error.c_str());
        compareRows(opened->lists[ListSameName], rows);
        // A pipe tells no size: the text is read into room that grows as it comes.
        const std::string pipe = tree.path("large.pipe");
        QVERIFY(::mkfifo(pipe.c_str(), 0600) == 0);
        std::signal(SIGPIPE, SIG_IGN); // a reader that stops early fails the test, not the writer
        std::thread writer([&] {
            const std::string text = readFile(file);
            const int fd = ::open(pipe.c_str(), O_WRONLY | O_CLOEXEC);
            for (std::size_t done = 0; fd >= 0 && done < text.size();) {
                const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
                if (n <= 0)
                    break;
                done += static_cast<std::size_t>(n);
            }
            if (fd >= 0)
                ::close(fd);
        });
        const auto piped = openResults(pipe, error);
        writer.join();
        QVERIFY2(piped, error.c_str());
        compareRows(piped->lists[ListSameName], rows);
        QVERIFY(::truncate(file.c_str(), st.st_size - (std::int64_t{1} << 20)) == 0);
        QVERIFY(!openResults(file, error));
        QVERIFY2(error.find("the file ends early") != std::string::npos, error.c_str());
    }

    void refusedFilesSayWhyAndGiveNothing() {
        TempTree tree;
        const std::string good = jsonOf(sampleResults(tree), true);
        std::string versioned = good;
        versioned.replace(versioned.find("\"trevalo_results\": 2"), 20, "\"trevalo_results\": 3");
        // A file of the first version (the usual four lists only) still opens.
        std::string first = good;
        first.replace(first.find("\"trevalo_results\": 2"), 20, "\"trevalo_results\": 1");
        std::string why;
        QVERIFY2(readResults(first, why), why.c_str());
        const std::vector<std::pair<std::string, std::string>> cases = {
            {"", "empty"},
            {"PK\x03\x04 not json at all", "not a results file"},
            {"[1, 2, 3]", "not a results file"},
            {"{\"some\": \"other json\"}", "no lists"},
            {good.substr(0, good.size() / 2), "ends early"},
            {good.substr(0, good.size() - 3), "ends early"},
            {versioned, "version 3"},
            {good + "{}", "more text"},
            {"{\"lists\": {\"duplicates\": [{\"size\": 3}]}}", "without a name"},
            {"{\"lists\": {\"duplicates\": [{\"name\": \"\\ud800\"}]}}", "surrogate"},
            {"{\"lists\": {\"duplicates\": [{\"name\": \"a\", \"size\": 1.5}]}}", "whole number"},
            {"{\"x\": " + std::string(100000, '[') + std::string(100000, ']') + "}", "too deep"},
        };
        for (const auto& [text, says] : cases) {
            std::string error;
            QVERIFY2(!readResults(text, error), says.c_str());
            QVERIFY2(error.find(says) != std::string::npos, (says + " / " + error).c_str());
        }
        std::string error;
        QVERIFY(!openResults(tree.path("missing.json"), error));
        QVERIFY(error.find("could not be opened") != std::string::npos);
        QVERIFY(!openResults(tree.path("."), error));
        QVERIFY2(error.find("could not be read: ") != std::string::npos, error.c_str());
        QVERIFY(!saveResults(tree.path("no/such/folder/r.json"), sampleResults(tree), error));
        QVERIFY(error.find("could not be written") != std::string::npos);
    }

    // Save and export write a new file of their own beside the chosen name and rename it
    // into place: what already lies at NAME.part is never opened, a link at the chosen name is
    // refused (neither followed nor replaced), and neither is another user's file.
    void writtenFilesGoThroughNoLinkAndNoOtherFile() {
        TempTree tree;
        const SavedResults saved = sampleResults(tree);
        const std::string letter = tree.file("elsewhere/letter.txt", "Dear Sir,");
        const std::string nowhere = tree.path("elsewhere/new.txt");
        using Write = std::function<bool(const std::string&, std::string&)>;
        const std::vector<std::pair<std::string, Write>> writers = {
            {"json", [&](const std::string& path,
                         std::string& error) { return saveResults(path, saved, error); }},
            {"csv", [&](const std::string& path, std::string& error) {
                 return exportCsv(path, saved.lists[ListDuplicates], ListDuplicates, {}, error);
             }}};
        for (const auto& writer : writers) {
            const std::string& ext = writer.first; // a plain name, which a lambda may take
            const Write& write = writer.second;
            const std::string folder = tree.dir("out-" + ext);
            const auto in = [&](const std::string& name) { return folder + "/" + name + ext; };
            std::string error;
            // Links at NAME.part, and a file of that name: all stay as they were.
            tree.symlink(letter, "out-" + ext + "/a." + ext + ".part");
            tree.symlink(nowhere, "out-" + ext + "/b." + ext + ".part");
            tree.file("out-" + ext + "/c." + ext + ".part", "someone's half file");
            for (const char* name : {"a.", "b.", "c."}) {
                QVERIFY2(write(in(name), error), error.c_str());
                QCOMPARE(statPath(in(name), false).kind, FileKind::Regular);
                QVERIFY(!readFile(in(name)).empty());
            }
            QCOMPARE(statPath(in("a.") + ".part", false).kind, FileKind::Symlink);
            QCOMPARE(statPath(in("b.") + ".part", false).kind, FileKind::Symlink);
            QCOMPARE(readFile(in("c.") + ".part"), std::string("someone's half file"));
            // A link at the chosen name, to a file or to nothing: refused, saying so.
            tree.symlink(letter, "out-" + ext + "/d." + ext);
            tree.symlink(nowhere, "out-" + ext + "/e." + ext);
            for (const char* name : {"d.", "e."}) {
                QVERIFY(!write(in(name), error));
                QVERIFY2(error.find("symbolic link") != std::string::npos, error.c_str());
                QCOMPARE(statPath(in(name), false).kind, FileKind::Symlink);
            }
            QCOMPARE(readFile(letter), std::string("Dear Sir,"));
            QVERIFY(!exists(nowhere));
            // A file of the user's own is replaced and keeps its permissions; another user's
            // is left alone (only root can give a file away).
            const std::string own = tree.file("out-" + ext + "/f." + ext, "older");
            QCOMPARE(::chmod(own.c_str(), 0640), 0);
            QVERIFY2(write(own, error), error.c_str());
            QVERIFY(readFile(own) != "older");
            QCOMPARE(statPath(own, false).kind, FileKind::Regular);
            struct stat st {};
            QCOMPARE(::stat(own.c_str(), &st), 0);
            QCOMPARE(st.st_mode & 0777, mode_t(0640));
            // A write that fails (here at a limit of the file size) leaves the older file whole
            // and nothing beside it.
            const std::string written = readFile(own);
            const pid_t child = ::fork();
            if (child == 0) {
                ::signal(SIGXFSZ, SIG_IGN);
                const rlimit limit{16, 16};
                ::setrlimit(RLIMIT_FSIZE, &limit);
                std::string why;
                ::_exit(!write(own, why) && why.find("too large") != std::string::npos ? 0 : 1);
            }
            int status = -1;
            QCOMPARE(::waitpid(child, &status, 0), child);
            QVERIFY(WIFEXITED(status) && WEXITSTATUS(status) == 0);
            QCOMPARE(readFile(own), written);
            if (::geteuid() == 0) {
                const std::string theirs = tree.file("out-" + ext + "/g." + ext, "theirs");
                QCOMPARE(::chown(theirs.c_str(), 65534, 65534), 0);
                QVERIFY(!write(theirs, error));
                QVERIFY2(error.find("another user") != std::string::npos, error.c_str());
                QCOMPARE(readFile(theirs), std::string("theirs"));
                QCOMPARE(::unlink(theirs.c_str()), 0);
            }
            // Nothing else was left in the folder.
            QStringList names = QDir(QString::fromStdString(folder))
                                    .entryList(QDir::AllEntries | QDir::System | QDir::Hidden |
                                               QDir::NoDotAndDotDot);
            names.sort();
            const QString e = QString::fromStdString(ext);
            QCOMPARE(names,
                     (QStringList{"a." + e, "a." + e + ".part", "b." + e, "b." + e + ".part",
                                  "c." + e, "c." + e + ".part", "d." + e, "e." + e, "f." + e}));
        }
    }

    // The rows in scope, read back by Python's csv module (strict, and UTF-8 or nothing): each
    // cell the real name, an apostrophe before a cell a spreadsheet would run as a formula, the
    // marks and the stale reasons in their columns.
    void csvReadBackByPython() {
        const QString python = QStandardPaths::findExecutable("python3");
        if (python.isEmpty())
            QSKIP("python3 is not installed");
        TempTree tree;
        const SavedResults r = sampleResults(tree);
        std::vector<ResultRow> rows = r.lists[ListDuplicates];
        for (const char* name :
             {"=1+1", "+x", "-x", "@SUM(A1)", "\tx", "\rx", "''=x", "'ok", "a\\x41b", "\\xz"})
            rows.push_back(rowOfFile(tree.file(std::string("d\xe9/") + name, "same"), 7));
        rows.push_back(r.lists[ListReadErrors][0]);
        rows[1].checked = true;
        rows[2].setStaleReason("changed, \"really\"");
        std::vector<int> shown(rows.size() - 1); // all but the first, as a filter shows them
        std::iota(shown.begin(), shown.end(), 1);
        const std::string file = tree.path("list.csv");
        std::string error;
        QVERIFY2(exportCsv(file, rows, ListDuplicates, RowScope(shown), error), error.c_str());
        QProcess p;
        p.start(python, {"-c",
                         "import csv, json, sys\n"
                         "with open(sys.argv[1], newline='', encoding='utf-8') as f:\n"
                         "    print(json.dumps(list(csv.reader(f, strict=True))))\n",
                         QString::fromStdString(file)});
        QVERIFY(p.waitForFinished(30000));
        QCOMPARE(p.exitCode(), 0);
        const QJsonArray table = QJsonDocument::fromJson(p.readAllStandardOutput()).array();
        QCOMPARE(table.size(), qsizetype(shown.size() + 1));
        QCOMPARE(table[0].toArray().toVariantList(),
                 QVariantList({"Name", "In Folder", "Group", "Size", "Date Modified", "Kept",
                               "Reason", "Marked", "Stale"}));
        for (std::size_t k = 0; k < shown.size(); ++k) {
            const ResultRow& row = rows[static_cast<std::size_t>(shown[k])];
            const QJsonArray cells = table[static_cast<qsizetype>(k + 1)].toArray();
            QCOMPARE(cells.size(), 9);
            QCOMPARE(bytesOfCell(cells[0]), row.name);
            QCOMPARE(bytesOfCell(cells[1]), row.folder());
            if (row.size >= 0) {
                QCOMPARE(cells[2].toString(), QStringLiteral("7"));
                QCOMPARE(cells[3].toString(), QStringLiteral("4"));
                const QDateTime when = QDateTime::fromString(cells[4].toString(), Qt::ISODate);
                QVERIFY(when.isValid());
                QCOMPARE(when.toSecsSinceEpoch(), row.mtime);
                QCOMPARE(cells[5].toString(), row.kept ? QStringLiteral("yes") : QString());
            } else {
                QVERIFY(cells[3].toString().isEmpty());
                QVERIFY(cells[4].toString().isEmpty());
            }
            QCOMPARE(bytesOfCell(cells[6]), row.reason());
            QCOMPARE(cells[7].toString(), row.checked ? QStringLiteral("yes") : QString());
            QCOMPARE(bytesOfCell(cells[8]), row.staleReason());
        }
        const std::string text = readFile(file);
        for (const char* cell :
             {"\r\n'=1+1,", "\r\n'@SUM(A1),", "\r\n'''=x,", "\r\n'ok,", "\r\n\"quote\"\"d\",",
              "\r\nback\\slash,", "\r\na\\x5cx41b,", "\r\n\\xff\\xfe,"})
            QVERIFY2(text.find(cell) != std::string::npos, cell);
    }
};

QTEST_GUILESS_MAIN(ResultsFileTest)
#include "test_results_file.moc"
