// SPDX-License-Identifier: GPL-2.0-or-later
// A large result saved to a file and opened again: seconds for each, the file's size, and a
// check that what came back is what was saved.
//
//   results_file [rows] [file]   (default 1000000 rows, in $TMPDIR or /tmp)

#include "BenchSupport.h"
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

// The library's rows with a name that is not UTF-8 now and then, and some files kept.
SavedResults makeResults(std::int64_t count) {
    SavedResults r = bench::photoLibraryResults(count, "/home/someone/Pictures/");
    auto& rows = r.lists[ListDuplicates];
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (i % 97 == 0)
            rows[i].name.insert(rows[i].name.size() - 4, "\xe9");
        rows[i].kept = i % 10 == 0;
    }
    r.summary = {count * 3, 812.5, false};
    r.setup = SearchRequest{};
    r.setup->paths.push_back(PathRow{"/home/someone/Pictures/*.*", true});
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
        same = a[i].name == b[i].name && a[i].folder() == b[i].folder() && a[i].size == b[i].size &&
               a[i].group == b[i].group && a[i].mtime == b[i].mtime && a[i].kept == b[i].kept;
    std::printf("rows %lld  file %.1f MB  save %.2f s  open %.2f s  %s\n",
                static_cast<long long>(count), static_cast<double>(st.st_size) / 1e6, saveSeconds,
                openSeconds, same ? "read back the same" : "READ BACK DIFFERENT");
    return same ? 0 : 1;
}
