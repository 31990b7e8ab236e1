// SPDX-License-Identifier: GPL-2.0-or-later
// A large result saved to a file and opened again: seconds for each, the file's size, and a
// check that what came back is what was saved.
//
//   results_file [rows] [file]   (default 1000000 rows, in $TMPDIR or /tmp)

#include "results/ResultsFile.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

using namespace trevalo;

namespace {

double secondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Rows as a search of a big photo library gives them: a few thousand folders, groups of 2-5.
SavedResults makeResults(std::int64_t count) {
    SavedResults r;
    auto& rows = r.lists[ListDuplicates];
    rows.reserve(static_cast<std::size_t>(count));
    for (std::int64_t i = 0; i < count; ++i) {
        ResultRow row;
        row.folder = "/home/someone/Pictures/" + std::to_string(2000 + i % 25) + "/album " +
                     std::to_string(i % 4000) + "/";
        row.name = "IMG_" + std::to_string(100000 + i) + (i % 97 == 0 ? "\xe9" : "") + ".JPG";
        row.group = i - i % 4;
        row.size = 1000000 + (i / 4) * 13;
        row.mtime = 1700000000 + i;
        row.mtimeKnown = true;
        std::memcpy(row.date.data(), "2023/11/14 22:13:20", 19);
        row.kept = i % 10 == 0;
        rows.push_back(std::move(row));
    }
    r.summary = {count * 3, 812.5, false};
    r.setup = SearchRequest{};
    r.setup->paths.push_back(PathRow{"/home/someone/Pictures/*.*", true});
    r.searchedAt = 1700000000;
    return r;
}

} // namespace

int main(int argc, char** argv) {
    const std::int64_t count = argc > 1 ? std::atoll(argv[1]) : 1000000;
    const char* tmp = std::getenv("TMPDIR");
    const std::string file = argc > 2 ? argv[2]
                                      : std::string(tmp && *tmp ? tmp : "/tmp") +
                                            "/trevalo-results-bench-" + std::to_string(::getpid()) +
                                            ".json";
    const SavedResults results = makeResults(count);

    std::string error;
    auto start = std::chrono::steady_clock::now();
    if (!saveResults(file, results, error)) {
        std::fprintf(stderr, "save: %s\n", error.c_str());
        return 1;
    }
    const double saveSeconds = secondsSince(start);
    struct stat st {};
    ::stat(file.c_str(), &st);

    start = std::chrono::steady_clock::now();
    const auto opened = openResults(file, error);
    const double openSeconds = secondsSince(start);
    if (argc <= 2)
        ::unlink(file.c_str());
    if (!opened) {
        std::fprintf(stderr, "open: %s\n", error.c_str());
        return 1;
    }
    const auto& a = results.lists[ListDuplicates];
    const auto& b = opened->lists[ListDuplicates];
    bool same = a.size() == b.size();
    for (std::size_t i = 0; same && i < a.size(); ++i)
        same = a[i].name == b[i].name && a[i].folder == b[i].folder && a[i].size == b[i].size &&
               a[i].group == b[i].group && a[i].mtime == b[i].mtime && a[i].kept == b[i].kept;
    std::printf("rows %lld  file %.1f MB  save %.2f s  open %.2f s  %s\n",
                static_cast<long long>(count), static_cast<double>(st.st_size) / 1e6, saveSeconds,
                openSeconds, same ? "read back the same" : "READ BACK DIFFERENT");
    return same ? 0 : 1;
}
