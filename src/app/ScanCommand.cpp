#include "ScanCommand.h"

#include "platform/ByteText.h"
#include "platform/FileSystem.h"
#include "platform/PathText.h"
#include "search/HostQueue.h"
#include "search/RowSort.h"
#include "search/SearchDriver.h"
#include "search/SearchRun.h"

#include <array>
#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <unistd.h>
#include <vector>

namespace trevalo {

namespace {

constexpr const char* kUsage =
    "usage: trevalo-scan [--zero-size] [--duplicates] [--same-name] [--no-subfolders] [--json] "
    "SEARCH-PATH...\n";

constexpr const char* kHelp =
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
    "                    (without a search option, all three searches run)\n"
    "  --no-subfolders   search only the given folders, not their sub-folders\n"
    "  --json            write the lists as one JSON object\n"
    "  --help            show this help\n"
    "\n"
    "Nothing is written to the searched folders. Ctrl-C stops the search and prints what was\n"
    "found so far (exit status 130). Exit status: 0 done, 1 a search path could not be\n"
    "searched, 2 bad command line.\n";

constexpr std::array<const char*, kResultListCount> kJsonListNames = {"zero_size", "duplicates",
                                                                      "same_name", "read_errors"};

volatile std::sig_atomic_t interrupted = 0;

extern "C" void onInterrupt(int) {
    interrupted = 1;
    std::signal(SIGINT, SIG_DFL); // a second Ctrl-C ends the program at once
}

// A JSON string. Bytes that are not valid UTF-8 are written as \udc80 to \udcff (the
// "surrogateescape" convention), so that a reader can get every byte back.
void appendJsonString(std::string& out, std::string_view bytes) {
    out.push_back('"');
    for (std::size_t i = 0; i < bytes.size();) {
        const auto c = static_cast<unsigned char>(bytes[i]);
        if (c < 0x80) {
            switch (c) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\t':
                out += "\\t";
                break;
            case '\r':
                out += "\\r";
                break;
            default:
                if (c < 0x20 || c == 0x7F) {
                    char buf[8];
                    std::snprintf(buf, sizeof buf, "\\u%04x", c);
                    out += buf;
                } else {
                    out.push_back(static_cast<char>(c));
                }
            }
            ++i;
            continue;
        }
        const std::size_t len = utf8SequenceLength(bytes, i);
        const bool valid = len > 0;
        if (valid) {
            out.append(bytes.substr(i, len));
            i += len;
        } else {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\udc%02x", c);
            out += buf;
            ++i;
        }
    }
    out.push_back('"');
}

// The terminal's side of a search: rows are collected, progress goes to stderr while it is
// a terminal, and the end of the search is handed back to the main thread.
class ScanHost final : public RunHost {
public:
    ScanHost(SearchRequest request, bool showProgress)
        : request_(std::move(request)), showProgress_(showProgress) {}

    std::array<std::vector<ResultRow>, kResultListCount> lists;

    SearchRequest searchRequest() override { return request_; }
    void showMessage(const std::string& text, const std::string&) override {
        std::fprintf(stderr, "trevalo-scan: %s\n", text.c_str());
    }
    void clearList(int list) override { lists[static_cast<std::size_t>(list)].clear(); }
    void sortList(int list, int column, int order) override {
        sortRows(lists[static_cast<std::size_t>(list)], column - 1, order);
    }
    void appendRows(int list, std::vector<ResultRow> rows) override {
        auto& target = lists[static_cast<std::size_t>(list)];
        if (target.empty())
            target = std::move(rows);
        else
            target.insert(target.end(), std::make_move_iterator(rows.begin()),
                          std::make_move_iterator(rows.end()));
    }
    void setProgress(double percent) override {
        std::lock_guard lock(progressMutex_);
        percent_ = percent;
        drawProgress();
    }
    void setStatus(const std::string& text) override {
        {
            std::lock_guard lock(progressMutex_);
            status_ = text;
            drawProgress();
        }
        if (holdForInterrupt_ && text == kStatusDuplicates)
            holdUntilCancelled();
    }
    // A testing aid (TREVALO_SCAN_TEST_HOLD=1): the search waits, before it compares contents,
    // until it is cancelled, so that a test can interrupt it at a known point.
    void holdAtComparison(const std::atomic<bool>* cancel) {
        holdForInterrupt_ = true;
        cancel_ = cancel;
    }
    void runOnHostThread(std::function<void()> fn) override { queue_.post(std::move(fn)); }
    void searchEnded() override { ended_ = true; }
    bool ended() const { return ended_; }

    // Runs what the worker handed over; waits up to 100 ms for it.
    void runPending() { queue_.runPending(std::chrono::milliseconds(100)); }

    std::string finalStatus() {
        std::lock_guard lock(progressMutex_);
        return status_;
    }
    void clearProgressLine() {
        std::lock_guard lock(progressMutex_);
        if (showProgress_ && drawn_)
            std::fputs("\r\033[K", stderr);
        drawn_ = false;
    }

private:
    void holdUntilCancelled() {
        std::fputs("trevalo-scan: holding before the comparison\n", stderr);
        std::fflush(stderr);
        while (!cancel_->load())
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    void drawProgress() {
        if (!showProgress_)
            return;
        std::fprintf(stderr, "\r\033[K%3d%%  %s", static_cast<int>(percent_), status_.c_str());
        std::fflush(stderr);
        drawn_ = true;
    }

    SearchRequest request_;
    bool showProgress_;
    std::mutex progressMutex_;
    double percent_ = 0;
    std::string status_;
    bool drawn_ = false;
    HostQueue queue_;
    std::atomic<bool> ended_{false};
    bool holdForInterrupt_ = false;
    const std::atomic<bool>* cancel_ = nullptr;
};

struct Options {
    std::array<bool, kSearchTypeCount> types{false, false, false};
    bool subFolders = true;
    bool json = false;
    std::vector<std::string> paths;
};

std::string expandHome(const std::string& arg) {
    if (arg == "~" || arg.rfind("~/", 0) == 0) {
        const char* home = std::getenv("HOME");
        if (home && *home)
            return std::string(home) + arg.substr(1);
    }
    return arg;
}

std::string withoutTrailingSlashes(std::string folder) {
    while (folder.size() > 1 && folder.back() == '/')
        folder.pop_back();
    return folder;
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
    if (st.kind != FileKind::Directory && hasWildcard(GetFileName(given))) {
        folder = std::string(GetFolder(given));
        pattern = std::string(GetFileName(given));
        if (folder.empty())
            folder = ".";
        st = statPath(folder, true);
    }
    if (st.kind == FileKind::Missing) {
        problem = "'" + folder + "': no such folder";
        return {};
    }
    if (st.kind == FileKind::Regular) {
        problem =
            "'" + folder + "' is a file, not a folder (quote a wildcard pattern: 'FOLDER/*.jpg')";
        return {};
    }
    if (st.kind != FileKind::Directory) {
        problem = "'" + folder + "': " + (st.error ? errorText(st.error) : "not a folder");
        return {};
    }
    DirListing probe(folder);
    if (!probe.isOpen()) {
        problem = "'" + folder + "': cannot be listed: " + errorText(probe.error());
        return {};
    }
    return joinFolderPattern(withoutTrailingSlashes(folder), pattern);
}

void printText(const ScanHost& host, const std::string& completion) {
    std::string out;
    for (int m = 0; m < kResultListCount; ++m) {
        const auto& rows = host.lists[static_cast<std::size_t>(m)];
        out += std::string(kResultListCaptions[static_cast<std::size_t>(m)]) + "(" +
               std::to_string(rows.size()) + ")\n";
        for (const ResultRow& row : rows) {
            out += "  ";
            for (int c = 0; c < kResultColumnCount; ++c) {
                if (c == ColGroup && m != ListDuplicates)
                    continue;
                if (c > 0)
                    out += '\t';
                out += cellText(row, c);
            }
            out += '\n';
        }
        out += '\n';
        if (out.size() > (1 << 20)) {
            std::fwrite(out.data(), 1, out.size(), stdout);
            out.clear();
        }
    }
    out += completion + "\n";
    std::fwrite(out.data(), 1, out.size(), stdout);
}

void printJson(const ScanHost& host, std::int64_t files, double seconds) {
    std::string out = "{\"files_searched\": " + std::to_string(files);
    char secs[32];
    std::snprintf(secs, sizeof secs, "%.3f", seconds);
    out += ", \"seconds\": ";
    out += secs;
    out += ", \"lists\": {";
    for (int m = 0; m < kResultListCount; ++m) {
        if (m > 0)
            out += ", ";
        out += "\"";
        out += kJsonListNames[static_cast<std::size_t>(m)];
        out += "\": [";
        bool first = true;
        for (const ResultRow& row : host.lists[static_cast<std::size_t>(m)]) {
            out += first ? "\n  {\"path\": " : ",\n  {\"path\": ";
            first = false;
            appendJsonString(out, row.path());
            out += ", \"name\": ";
            appendJsonString(out, row.name);
            out += ", \"folder\": ";
            appendJsonString(out, row.folder);
            out += ", \"group\": " + std::to_string(row.group);
            out += ", \"size\": " + std::to_string(row.size);
            out += ", \"modified\": ";
            appendJsonString(out, row.dateText());
            out += "}";
            if (out.size() > (1 << 20)) {
                std::fwrite(out.data(), 1, out.size(), stdout);
                out.clear();
            }
        }
        out += "]";
    }
    out += "}}\n";
    std::fwrite(out.data(), 1, out.size(), stdout);
}

} // namespace

int runScanCommand(int argc, char** argv) {
    Options opt;
    bool optionsEnded = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (!optionsEnded && arg.size() > 1 && arg[0] == '-') {
            if (arg == "--")
                optionsEnded = true;
            else if (arg == "--zero-size")
                opt.types[SearchZeroSize] = true;
            else if (arg == "--duplicates")
                opt.types[SearchDuplicates] = true;
            else if (arg == "--same-name")
                opt.types[SearchSameName] = true;
            else if (arg == "--no-subfolders")
                opt.subFolders = false;
            else if (arg == "--json")
                opt.json = true;
            else if (arg == "--help" || arg == "-h") {
                std::fputs(kUsage, stdout);
                std::fputs(kHelp, stdout);
                return 0;
            } else {
                std::fprintf(stderr, "trevalo-scan: unknown option '%s'\n%s", arg.c_str(), kUsage);
                return 2;
            }
        } else {
            opt.paths.push_back(arg);
        }
    }
    if (opt.paths.empty()) {
        std::fprintf(stderr, "trevalo-scan: no SEARCH-PATH given\n%s", kUsage);
        return 2;
    }
    if (!opt.types[0] && !opt.types[1] && !opt.types[2])
        opt.types = {true, true, true};

    SearchRequest request;
    request.types = opt.types;
    bool pathFailed = false;
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
        return 1;

    struct sigaction sa {};
    sa.sa_handler = onInterrupt;
    sigemptyset(&sa.sa_mask);
    ::sigaction(SIGINT, &sa, nullptr);

    SearchModel model;
    ScanHost host(request, ::isatty(STDERR_FILENO) == 1);
    if (const char* hold = std::getenv("TREVALO_SCAN_TEST_HOLD"); hold && std::string(hold) == "1")
        host.holdAtComparison(&model.CancelSrch);
    const auto started = std::chrono::steady_clock::now();
    bool cancelled = false;
    {
        SearchRun run(host, model);
        run.click();
        while (!host.ended()) {
            host.runPending();
            if (interrupted && !cancelled) {
                cancelled = true;
                run.click(); // a second click while the search runs is the cancel
            }
        }
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    host.clearProgressLine();
    if (opt.json)
        printJson(host, static_cast<std::int64_t>(model.table.size()), seconds);
    else
        printText(host, host.finalStatus());
    std::fflush(stdout);
    if (cancelled)
        return 130;
    return pathFailed ? 1 : 0;
}

} // namespace trevalo
