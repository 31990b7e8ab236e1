// SPDX-License-Identifier: GPL-2.0-or-later
#include "ScanCommand.h"

#include "ScanOutput.h"
#include "platform/UserText.h"

#include "platform/FileSystem.h"
#include "platform/PathText.h"
#include "results/WorkText.h"
#include "search/ProofCache.h"
#include "search/SearchDriver.h"
#include "search/SearchScope.h"
#include "search/SearchSession.h"
#include "search/SearchText.h"
#include "search/TimeLeft.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QStringList>
#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <sys/ioctl.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace trevalo {

namespace {

constexpr const char* kUsage =
    "usage: trevalo-scan [--zero-size] [--duplicates] [--same-name] [--no-subfolders] [--json]\n"
    "                    [--folders] [--empty-folders] [--broken-links]\n"
    "                    [--keep PATH]... [--only-with-kept] [--exclude PATTERN]...\n"
    "                    [--min-size SIZE] [--max-size SIZE] [--threads N]\n"
    "                    [--no-cache] [--forget-cache] SEARCH-PATH...\n"
    "       trevalo-scan --forget-cache | --help | --version\n";

constexpr const char* kHelp = QT_TRANSLATE_NOOP(
    "ScanCommand",
    "Finds zero-length files, files with identical contents and files that share a name.\n"
    "\n"
    "  SEARCH-PATH       a folder (every file), or a folder, \"/\" and a wildcard pattern\n"
    "                    such as '~/Pictures/*.jpg' (quote it so the shell leaves it alone).\n"
    "                    \"*\" matches any run of characters, \"?\" one character, letters\n"
    "                    match without regard to case, \"*.*\" matches every name.\n"
    "  --zero-size       list zero-length files\n"
    "  --duplicates      list files whose contents are identical (and files that could\n"
    "                    not be read while they were compared)\n"
    "  --same-name       list files whose names occur more than once\n"
    "                    (without a search option, these three searches run)\n"
    "  --folders         list folders whose whole trees are identical, and folders every\n"
    "                    file of which has an identical copy outside the folder\n"
    "  --empty-folders   list folders that hold no file at any depth\n"
    "  --broken-links    list symbolic links whose target does not exist\n"
    "  --no-subfolders   search only the given folders, not their sub-folders\n"
    "  --keep PATH       files at or under the folder PATH are kept: listed, never to be\n"
    "                    deleted (repeatable); PATH is searched too when no SEARCH-PATH\n"
    "                    covers it\n"
    "  --only-with-kept  list only the groups of identical files that hold a kept file\n"
    "  --exclude PATTERN pass over files and folders whose name matches PATTERN, or whose\n"
    "                    whole path matches it when PATTERN holds \"/\" (same wildcards;\n"
    "                    repeatable; a folder passed over is not entered)\n"
    "  --min-size SIZE   search only files of at least SIZE bytes; units B, KB, MB, GB\n"
    "                    (1 KB = 1000 bytes), e.g. 4KB or 1.5MB\n"
    "  --max-size SIZE   search only files of at most SIZE bytes\n"
    "  --threads N       walk and compare on N threads (default: one per processor this\n"
    "                    program may run on; the results are the same)\n"
    "  --no-cache        neither use nor add to the proof cache: read every file to\n"
    "                    compare, as if it were the first search\n"
    "  --forget-cache    drop everything the proof cache holds (before the search, if a\n"
    "                    SEARCH-PATH is given)\n"
    "  --json            write the lists as one JSON object\n"
    "  --help            show this help\n"
    "  --version         show the version\n"
    "\n"
    "Nothing is written to the searched folders. Ctrl-C stops the search and prints what was\n"
    "found so far (exit status 130). Exit status: 0 done, 1 a search path or a folder in it\n"
    "could not be searched, 2 bad command line, 3 the output could not be written.\n"
    "\n"
    "Groups of files found identical byte for byte, and digests of what was read, are kept\n"
    "in $XDG_CACHE_HOME/trevalo (~/.cache/trevalo): a later search does not read them again\n"
    "while each file keeps its device, inode, size, last-write and change times. A digest\n"
    "only ever proves that two files differ; the lists are those a search without it makes.\n"
    "See trevalo-scan(1) for the output's form.\n");

constexpr const char* kVersionText = "trevalo-scan " TREVALO_VERSION "\n";

// Exit statuses; when several apply, the first of kExitOutputFailed, kExitInterrupted and
// kExitNotSearched in this order.
constexpr int kExitDone = 0;
constexpr int kExitNotSearched = 1;
constexpr int kExitBadCommandLine = 2;
constexpr int kExitOutputFailed = 3;
constexpr int kExitInterrupted = 130;

// The most threads --threads takes.
constexpr int kMostThreads = 256;

volatile std::sig_atomic_t interrupted = 0;

extern "C" void onInterrupt(int) {
    interrupted = 1;
    std::signal(SIGINT, SIG_DFL); // a second Ctrl-C ends the program at once
}

// The terminal's side of a search: rows are collected, progress goes to stderr while it is a
// terminal, and the main thread waits for the end of the search.
class ScanEvents final : public SearchEvents {
public:
    explicit ScanEvents(bool showProgress) : showProgress_(showProgress) {}

    void progress(double percent) override {
        std::lock_guard lock(mutex_);
        percent_ = percent;
        drawProgress();
    }
    void phase(SearchPhase phase) override {
        std::lock_guard lock(mutex_);
        status_ = userText("SearchEvents", phaseText(phase));
        work_ = {};
        work_.phase = phase;
        timeLeft_.reset();
        drawProgress();
    }
    void work(const SearchWork& work) override {
        std::lock_guard lock(mutex_);
        work_ = work;
        if (work.bytesTotal > 0)
            timeLeft_.sample(TimeLeft::Clock::now(), work.bytesDone, work.bytesTotal);
        drawProgress();
    }
    void rows(int list, std::vector<ResultRow> rows) override {
        std::lock_guard lock(mutex_);
        for (const ResultRow& row : rows)
            lists_.append(list, row);
    }
    void finished(const SearchOutcome& outcome) override {
        {
            std::lock_guard lock(mutex_);
            outcome_ = outcome;
            ended_ = true;
        }
        endedSignal_.notify_all();
    }

    // Waits up to `wait` for the end of the search; true once it has ended.
    bool waitForEnd(std::chrono::milliseconds wait) {
        std::unique_lock lock(mutex_);
        return endedSignal_.wait_for(lock, wait, [&] { return ended_; });
    }
    // After the end: the lists, sorted as the window sorts them, and the outcome.
    const ScanRows& sortedLists() {
        std::lock_guard lock(mutex_);
        lists_.sort();
        return lists_;
    }
    SearchOutcome outcome() {
        std::lock_guard lock(mutex_);
        return outcome_;
    }
    void clearProgressLine() {
        std::lock_guard lock(mutex_);
        if (showProgress_ && drawn_)
            std::fputs("\r\033[K", stderr);
        drawn_ = false;
    }

private:
    void drawProgress() {
        if (!showProgress_)
            return;
        char percent[16];
        std::snprintf(percent, sizeof percent, "%3d%%  ", static_cast<int>(percent_));
        std::string line = percent + status_;
        const QByteArray work = workText(work_, timeLeft_.seconds(TimeLeft::Clock::now())).toUtf8();
        if (!work.isEmpty())
            line += "  " + work.toStdString();
        // A line longer than the terminal would wrap, and "\r" would no longer reach its start.
        winsize size{};
        if (::ioctl(STDERR_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 1 &&
            line.size() >= size.ws_col)
            line.resize(size.ws_col - 1u);
        std::fprintf(stderr, "\r\033[K%s", line.c_str());
        std::fflush(stderr);
        drawn_ = true;
    }

    const bool showProgress_;
    std::mutex mutex_;
    std::condition_variable endedSignal_;
    ScanRows lists_;
    SearchOutcome outcome_;
    bool ended_ = false;
    double percent_ = 0;
    std::string status_;
    SearchWork work_;
    TimeLeft timeLeft_;
    bool drawn_ = false;
};

// A testing aid (TREVALO_SCAN_TEST_HOLD=1): the search waits, before it compares contents,
// until it is cancelled, so that a test can interrupt it at a known point.
void holdUntilCancelled(const SearchSession& session) {
    std::fputs("trevalo-scan: holding before the comparison\n", stderr);
    std::fflush(stderr);
    while (!session.cancelRequested())
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
}

struct Options {
    std::array<bool, kSearchTypeCount> types{};
    bool subFolders = true;
    bool json = false;
    std::vector<std::string> paths;
    std::vector<std::string> keep;
    bool onlyWithKept = false;
    std::vector<std::string> exclude;
    std::int64_t minSize = 0;
    std::int64_t maxSize = -1;
    int threads = 0;
    bool useCache = true;
    bool forgetCache = false;
    bool help = false;
    bool version = false;
};

// The program's arguments as Latin-1 text: one character per byte, so that options parse as
// text while every SEARCH-PATH comes back byte for byte (file names need not be UTF-8).
QStringList argumentsOf(int argc, char** argv) {
    QStringList args;
    for (int i = 0; i < argc; ++i)
        args << QString::fromLatin1(argv[i]);
    return args;
}

std::string bytesOfArgument(const QString& arg) {
    const QByteArray bytes = arg.toLatin1();
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

// Says on stderr why the command line is bad, then how it goes.
void badCommandLine(const std::string& why) {
    std::fprintf(stderr, "trevalo-scan: %s\n%s", why.c_str(), kUsage);
}

// Why the parser took the command line for a bad one.
std::string parseProblem(const QCommandLineParser& parser) {
    const QStringList unknown = parser.unknownOptionNames();
    if (unknown.isEmpty())
        return terminalText(bytesOfArgument(parser.errorText()));
    const QString& name = unknown.first();
    const std::string option = (name.size() == 1 ? "-" : "--") + bytesOfArgument(name);
    return withArgs(userText("ScanCommand", "unknown option '%1'"), {terminalText(option)});
}

// Reads --min-size, --max-size and --threads; false (said on stderr) when one is not a
// value they take, or the sizes leave no room.
bool readLimits(const QCommandLineParser& parser, const QCommandLineOption& minSize,
                const QCommandLineOption& maxSize, const QCommandLineOption& threads,
                Options& opt) {
    const auto sizeOption = [&](const QCommandLineOption& option, std::int64_t& size) {
        if (!parser.isSet(option))
            return true;
        const std::string text = bytesOfArgument(parser.value(option));
        const std::optional<std::int64_t> parsed = parseSizeText(text);
        if (!parsed) {
            badCommandLine(
                withArgs(userText("ScanCommand", "--%1 '%2' is not a size (a number of "
                                                 "bytes, or with a unit: B, KB, MB, GB)"),
                         {bytesOfArgument(option.names().first()), terminalText(text)}));
            return false;
        }
        size = *parsed;
        return true;
    };
    if (!sizeOption(minSize, opt.minSize) || !sizeOption(maxSize, opt.maxSize))
        return false;
    if (parser.isSet(threads)) {
        bool ok = false;
        opt.threads = parser.value(threads).toInt(&ok);
        if (!ok || opt.threads < 1 || opt.threads > kMostThreads) {
            badCommandLine(
                withArgs(userText("ScanCommand", "--threads '%1' is not a number from 1 to %2"),
                         {terminalText(bytesOfArgument(parser.value(threads))),
                          std::to_string(kMostThreads)}));
            return false;
        }
    }
    if (opt.maxSize >= 0 && opt.minSize > opt.maxSize) {
        badCommandLine(userText("ScanCommand", "--min-size is larger than --max-size"));
        return false;
    }
    return true;
}

// Parses the command line; on a bad one, says why on stderr and returns false.
bool parseOptions(int argc, char** argv, Options& opt) {
    const QCommandLineOption zeroSize("zero-size"), duplicates("duplicates"), sameName("same-name"),
        noSubFolders("no-subfolders"), json("json"), help(QStringList{"h", "help"}),
        version("version"), keep("keep", QString(), "PATH"), onlyWithKept("only-with-kept"),
        exclude("exclude", QString(), "PATTERN"), minSize("min-size", QString(), "SIZE"),
        maxSize("max-size", QString(), "SIZE"), threads("threads", QString(), "N"),
        folders("folders"), emptyFolders("empty-folders"), brokenLinks("broken-links"),
        noCache("no-cache"), forgetCache("forget-cache");
    QCommandLineParser parser;
    parser.addOptions({zeroSize, duplicates, sameName, noSubFolders, json, help, version, keep,
                       onlyWithKept, exclude, minSize, maxSize, threads, folders, emptyFolders,
                       brokenLinks, noCache, forgetCache});
    if (!parser.parse(argumentsOf(argc, argv))) {
        badCommandLine(parseProblem(parser));
        return false;
    }
    opt.types[SearchZeroSize] = parser.isSet(zeroSize);
    opt.types[SearchDuplicates] = parser.isSet(duplicates);
    opt.types[SearchSameName] = parser.isSet(sameName);
    opt.types[SearchFolders] = parser.isSet(folders);
    opt.types[SearchEmptyFolders] = parser.isSet(emptyFolders);
    opt.types[SearchBrokenLinks] = parser.isSet(brokenLinks);
    opt.subFolders = !parser.isSet(noSubFolders);
    opt.json = parser.isSet(json);
    opt.help = parser.isSet(help);
    opt.version = parser.isSet(version);
    opt.useCache = !parser.isSet(noCache);
    opt.forgetCache = parser.isSet(forgetCache);
    for (const QString& path : parser.values(keep))
        opt.keep.push_back(bytesOfArgument(path));
    opt.onlyWithKept = parser.isSet(onlyWithKept);
    for (const QString& pattern : parser.values(exclude))
        opt.exclude.push_back(bytesOfArgument(pattern));
    if (!readLimits(parser, minSize, maxSize, threads, opt))
        return false;
    for (const QString& arg : parser.positionalArguments())
        opt.paths.push_back(bytesOfArgument(arg));
    if (opt.paths.empty() && !opt.help && !opt.version && !opt.forgetCache) {
        badCommandLine(userText("ScanCommand", "no SEARCH-PATH given"));
        return false;
    }
    return true;
}

// Writes what the user asked for to stdout; false, with a message, when it could not be written.
template <typename Writer> bool writeStdout(Writer&& write) {
    CheckedOutput out(stdout);
    write(out);
    if (out.close())
        return true;
    std::fprintf(stderr, "trevalo-scan: %s\n",
                 withArgs(userText("ScanCommand", "the output could not be written: %1"),
                          {errorText(out.error())})
                     .c_str());
    return false;
}

std::string expandHome(const std::string& arg) {
    if (arg == "~" || arg.rfind("~/", 0) == 0) {
        const char* home = std::getenv("HOME");
        if (home && *home)
            return std::string(home) + arg.substr(1);
    }
    return arg;
}

bool hasWildcard(std::string_view s) {
    return s.find_first_of("*?") != std::string_view::npos;
}

// Turns one SEARCH-PATH into a path row; an empty path and a message when it cannot be searched.
std::string pathRowOf(const std::string& arg, std::string& problem) {
    const std::string given = expandHome(arg);
    std::string folder = given;
    std::string pattern = "*.*";
    FileStatus st = statPath(folder, true);
    if (st.kind != FileKind::Directory && hasWildcard(fileNameOf(given))) {
        folder = std::string(folderOf(given));
        pattern = std::string(fileNameOf(given));
        if (folder.empty())
            folder = ".";
        st = statPath(folder, true);
    }
    if (st.kind == FileKind::Missing) {
        problem = withArgs(userText("ScanCommand", "'%1': no such folder"), {terminalText(folder)});
        return {};
    }
    if (st.kind == FileKind::Regular) {
        problem = withArgs(userText("ScanCommand", "'%1' is a file, not a folder (quote a "
                                                   "wildcard pattern: 'FOLDER/*.jpg')"),
                           {terminalText(folder)});
        return {};
    }
    if (st.kind != FileKind::Directory) {
        problem = withArgs(userText("ScanCommand", "'%1': %2"),
                           {terminalText(folder),
                            st.error ? st.error.text() : userText("ScanCommand", "not a folder")});
        return {};
    }
    // A folder that cannot be listed is left to the search, which reports it with the rest.
    return joinFolderPattern(withoutTrailingSlashes(folder), pattern);
}

// True when the search path row covers the folder `canonical` (a resolved path): the row's own
// folder, or one below it when the row searches sub-folders.
bool rowCovers(const PathRow& row, const std::string& canonical) {
    const std::string folder = canonicalPath(std::string(folderOf(row.path)));
    if (folder.empty())
        return false;
    if (canonical == folder)
        return true;
    const std::string prefix = folder == "/" ? folder : folder + "/";
    return row.subFolders && canonical.rfind(prefix, 0) == 0;
}

// Adds a path row for each --keep folder: one that only keeps when a search path covers it
// (its files are searched as that path says), one that is searched and kept otherwise. False
// when a folder cannot be searched (named on stderr).
bool addKeepRows(const std::vector<std::string>& keep, SearchRequest& request) {
    bool ok = true;
    const std::vector<PathRow> searched = request.paths;
    for (const std::string& arg : keep) {
        std::string problem;
        std::string row = pathRowOf(arg, problem);
        if (row.empty()) {
            std::fprintf(stderr, "trevalo-scan: --keep %s\n", problem.c_str());
            ok = false;
            continue;
        }
        const std::string canonical = canonicalPath(std::string(folderOf(row)));
        const bool covered = std::any_of(searched.begin(), searched.end(),
                                         [&](const PathRow& r) { return rowCovers(r, canonical); });
        request.paths.push_back(
            PathRow{std::move(row), true, covered ? PathRole::KeepOnly : PathRole::Keep});
    }
    return ok;
}

// Makes every relative path row a full one, from the working folder: a results file is opened
// elsewhere, where a relative path would name other files. Left as they are when the working
// folder has no name (removed), and the window then takes no row of the file for proven.
void makePathsFull(SearchRequest& request) {
    char cwd[4096];
    if (::getcwd(cwd, sizeof cwd) == nullptr || cwd[0] != '/')
        return;
    const std::string base = withoutTrailingSlashes(cwd);
    for (PathRow& row : request.paths) {
        if (row.path.empty() || row.path.front() == '/')
            continue;
        std::string_view path = row.path;
        while (path.substr(0, 2) == "./")
            path.remove_prefix(2);
        row.path = base == "/" ? "/" + std::string(path) : base + "/" + std::string(path);
    }
}

// Names each folder that could not be listed or entered, or was passed over, on stderr; true if
// one could not be listed or entered.
bool reportUnlistedFolders(const ScanRows& lists, const SearchOutcome& outcome) {
    lists.forEach(ListReadErrors, [](const ResultRow& row) {
        if (row.isFolder)
            std::fprintf(stderr, "trevalo-scan: '%s': %s\n", terminalText(row.path()).c_str(),
                         terminalText(row.reason()).c_str());
    });
    return outcome.unlisted > 0;
}

} // namespace

namespace {

// --help, --version and --forget-cache: the exit status when that is all there is to do.
std::optional<int> runWithoutSearch(const Options& opt) {
    if (opt.help || opt.version) {
        const bool written = writeStdout([&](CheckedOutput& out) {
            if (opt.help) {
                out.write(kUsage);
                out.write(userText("ScanCommand", kHelp));
            } else {
                out.write(kVersionText);
            }
        });
        return written ? kExitDone : kExitOutputFailed;
    }
    if (opt.forgetCache) {
        std::string problem;
        if (!ProofCache::forget(ProofCache::defaultFolder(), problem)) {
            std::fprintf(
                stderr, "trevalo-scan: %s\n",
                withArgs(userText("ScanCommand", "the proof cache could not be dropped: %1"),
                         {terminalText(problem)})
                    .c_str());
            if (opt.paths.empty())
                return kExitNotSearched;
        }
        if (opt.paths.empty())
            return kExitDone;
    }
    return std::nullopt;
}

// The search the options ask for; `pathFailed` when a SEARCH-PATH or --keep folder cannot be
// searched (named on stderr).
SearchRequest requestOf(const Options& opt, bool& pathFailed) {
    SearchRequest request;
    request.types = opt.types;
    if (std::none_of(opt.types.begin(), opt.types.end(), [](bool t) { return t; }))
        for (int t = 0; t < kUsualSearchTypeCount; ++t)
            request.types[static_cast<std::size_t>(t)] = true;
    for (const std::string& arg : opt.paths) {
        std::string problem;
        std::string row = pathRowOf(arg, problem);
        if (row.empty()) {
            std::fprintf(stderr, "trevalo-scan: %s\n", problem.c_str());
            pathFailed = true;
            continue;
        }
        request.paths.push_back(PathRow{std::move(row), opt.subFolders});
    }
    if (request.paths.empty())
        return request;
    if (!addKeepRows(opt.keep, request))
        pathFailed = true;
    if (opt.json)
        makePathsFull(request);
    request.onlyWithKept = opt.onlyWithKept;
    request.exclude = opt.exclude;
    request.minSize = opt.minSize;
    request.maxSize = opt.maxSize;
    request.threads = opt.threads;
    request.useProofCache = opt.useCache;
    return request;
}

// Runs the search to its end, or until an interrupt cancels it; true when it was interrupted.
bool runSearch(const SearchRequest& request, ScanEvents& events) {
    struct sigaction sa {};
    sa.sa_handler = onInterrupt;
    sigemptyset(&sa.sa_mask);
    ::sigaction(SIGINT, &sa, nullptr);

    SearchSession session(events);
    session.setKeepTable(true); // not given back while the search ends: see below
    if (const char* hold = std::getenv("TREVALO_SCAN_TEST_HOLD"); hold && std::string(hold) == "1")
        session.setBeforeComparison([&session] { holdUntilCancelled(session); });
    bool cancelled = false;
    session.start(request);
    while (!events.waitForEnd(std::chrono::milliseconds(50))) {
        if (interrupted && !cancelled) {
            cancelled = true;
            session.cancel();
        }
    }
    session.wait();
    events.clearProgressLine();
    // The table ends with the process, never freed: the rows stand alone, and freeing the
    // entries of 100,000 files one by one would cost the command some milliseconds before
    // its output.
    static auto* const left = new FileTable;
    *left = session.takeTable();
    return cancelled;
}

} // namespace

int runScanCommand(int argc, char** argv) {
    // A closed pipe is a failed write, reported like any other, not a silent end.
    std::signal(SIGPIPE, SIG_IGN);

    Options opt;
    if (!parseOptions(argc, argv, opt))
        return kExitBadCommandLine;
    if (const std::optional<int> done = runWithoutSearch(opt))
        return *done;
    bool pathFailed = false;
    const SearchRequest request = requestOf(opt, pathFailed);
    if (request.paths.empty())
        return kExitNotSearched;

    ScanEvents events(::isatty(STDERR_FILENO) == 1);
    const bool cancelled = runSearch(request, events);
    const SearchOutcome outcome = events.outcome();
    const ScanRows& lists = events.sortedLists();
    if (reportUnlistedFolders(lists, outcome))
        pathFailed = true;
    if (!outcome.cacheProblem.empty())
        std::fprintf(stderr, "trevalo-scan: %s\n", terminalText(outcome.cacheProblem).c_str());

    ScanSummary summary;
    summary.seconds = outcome.seconds;
    summary.files = outcome.files;
    summary.cancelled = cancelled || outcome.cancelled;
    summary.status = outcomeText(outcome);
    summary.wholeLists = wholeListsOf(request.types);
    const bool written = writeStdout([&](CheckedOutput& out) {
        if (opt.json)
            writeJson(out, lists, summary);
        else
            writeText(out, lists, summary);
    });
    if (!written)
        return kExitOutputFailed;
    if (cancelled)
        return kExitInterrupted;
    return pathFailed ? kExitNotSearched : kExitDone;
}

} // namespace trevalo
