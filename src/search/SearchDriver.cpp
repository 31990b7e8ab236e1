#include "search/SearchDriver.h"

#include "catalogue/FileCatalogue.h"
#include "platform/ByteText.h"
#include "platform/FileSystem.h"
#include "search/ContentCompare.h"
#include "search/Sorts.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <cmath>
#include <mutex>
#include <thread>

namespace trevalo {

namespace {

// Hands progress, status texts and rows to the host, throttled by time: pending rows and the
// latest progress value go over at most about ten times a second; a new status text goes at
// once, after whatever was pending, so the host sees everything in order.
class Publisher {
public:
    explicit Publisher(SearchHost& host)
        : host_(host), interval_(host.handOverInterval()), last_(Clock::now()) {}

    void status(const std::string& text) {
        std::lock_guard lock(mutex_);
        flushLocked();
        host_.setStatus(text);
    }
    // May be called from any thread of the search.
    void progress(double percent) {
        std::lock_guard lock(mutex_);
        progress_ = percent;
        hasProgress_ = true;
        if (Clock::now() - last_ >= interval_)
            flushLocked();
    }
    void selectPathRow(int row) {
        std::lock_guard lock(mutex_);
        selectedRow_ = row;
        if (Clock::now() - last_ >= interval_)
            flushLocked();
    }
    void append(int list, const FileEntry& entry) { appendRow(list, makeResultRow(entry)); }
    void appendRow(int list, ResultRow row) {
        std::lock_guard lock(mutex_);
        rows_[static_cast<std::size_t>(list)].push_back(std::move(row));
        if (((++appended_ & 255) == 0 || interval_ == Clock::duration::zero()) &&
            Clock::now() - last_ >= interval_)
            flushLocked();
    }
    void flush() {
        std::lock_guard lock(mutex_);
        flushLocked();
    }

private:
    void flushLocked() {
        if (selectedRow_ >= 0)
            host_.selectPathRow(selectedRow_);
        selectedRow_ = -1;
        for (int m = 0; m < kResultListCount; ++m) {
            auto& pending = rows_[static_cast<std::size_t>(m)];
            if (!pending.empty())
                host_.appendRows(m, std::exchange(pending, {}));
        }
        if (hasProgress_)
            host_.setProgress(progress_);
        hasProgress_ = false;
        last_ = Clock::now();
    }

    using Clock = std::chrono::steady_clock;

    std::mutex mutex_;
    SearchHost& host_;
    const Clock::duration interval_;
    Clock::time_point last_;
    std::array<std::vector<ResultRow>, kResultListCount> rows_;
    std::uint64_t appended_ = 0;
    double progress_ = 0;
    bool hasProgress_ = false;
    int selectedRow_ = -1;
};

double percentOf(std::int64_t part, std::int64_t whole) {
    return whole > 0 ? static_cast<double>(part) / static_cast<double>(whole) * 100.0 : 0.0;
}

// Moves each catalogued file into its table entry, with what the walk measured: size and stamp,
// or -1 and the reason it could not be measured.
void fillTable(FileTable& table, std::vector<CatalogueEntry>& entries) {
    table.clear();
    table.resize(entries.size());
    for (std::size_t k = 0; k < entries.size(); ++k) {
        CatalogueEntry& c = entries[k];
        FileEntry& e = table[k];
        e.FilePath = std::move(c.path);
        e.stamp = c.stamp;
        e.reason = c.reason;
        e.FileSize = c.reason == kReasonNone ? c.stamp.size : -1;
        e.DupGroup = DupGroupKey::None;
    }
    entries = {};
}

struct Run {
    std::int64_t start;
    std::int64_t end;
};

// Maximal stretches of two or more entries of equal size, in table order. Zero-length files
// and files that could not be measured (-1) form no run.
std::vector<Run> runsOf(const FileTable& table) {
    std::vector<Run> runs;
    const auto last = static_cast<std::int64_t>(table.size()) - 1;
    const auto sizeAt = [&](std::int64_t i) { return table[static_cast<std::size_t>(i)].FileSize; };
    for (std::int64_t start = 0; start <= last;) {
        std::int64_t end = start;
        while (end < last && sizeAt(end + 1) == sizeAt(start))
            ++end;
        if (end > start && sizeAt(start) > 0)
            runs.push_back(Run{start, end});
        start = end + 1;
    }
    return runs;
}

// Compares every run, two at a time. A run writes only its own entries, so runs are
// independent. Once a cancel is seen no further run starts; afterwards the groups kept are
// exactly those of the runs before the first one that was not compared in full, as if the runs
// had been compared one after the other.
// Returns false when some run was not compared in full.
bool compareRuns(FileTable& table, const std::vector<Run>& runs, Publisher& out,
                 const std::atomic<bool>& cancel) {
    const auto last = static_cast<std::int64_t>(table.size()) - 1;
    std::vector<char> compared(runs.size(), 0);
    std::atomic<std::size_t> next{0};
    std::atomic<std::int64_t> reached{0};
    const auto report = [&](std::int64_t index) {
        std::int64_t seen = reached.load();
        while (index > seen && !reached.compare_exchange_weak(seen, index)) {
        }
        out.progress(percentOf(std::max(index, seen), last));
    };
    const auto work = [&] {
        for (;;) {
            const std::size_t i = next.fetch_add(1);
            if (i >= runs.size() || cancel.load())
                return;
            const Run& r = runs[i];
            const bool done = r.end - r.start < 250
                                  ? CompFileCnt(table, r.start, r.end, &cancel)
                                  : CompFileCnt2(table, r.start, r.end, true, &cancel, report);
            compared[i] = done ? 1 : 0;
            report(std::min(r.end + 1, last));
        }
    };
    if (runs.size() > 1) {
        std::thread helper(work);
        work();
        helper.join();
    } else {
        work();
    }
    const auto firstMissing = std::find(compared.begin(), compared.end(), 0);
    for (auto it = firstMissing; it != compared.end(); ++it) {
        const Run& r = runs[static_cast<std::size_t>(it - compared.begin())];
        for (std::int64_t k = r.start; k <= r.end; ++k)
            table[static_cast<std::size_t>(k)].DupGroup = DupGroupKey::None;
    }
    return firstMissing == compared.end();
}

} // namespace

void runSearch(const SearchRequest& request, SearchModel& model, SearchHost& host) {
    Publisher out(host);
    FileTable& table = model.table;
    SearchOutcome& outcome = model.outcome;
    outcome = {};
    const std::atomic<bool>& cancel = model.CancelSrch;
    const auto aborted = [&] { return model.abort.load(std::memory_order_relaxed); };
    const auto stopRequested = [&] { return cancel.load() || aborted(); };
    const bool zeroSize = request.types[SearchZeroSize];
    const bool duplicates = request.types[SearchDuplicates];
    const bool sameName = request.types[SearchSameName];
    // Rows of "Report - read errors": the folders that could not be listed come first.
    std::vector<FolderProblem> unlisted;

    // Walk the search paths into a catalogue of their files, each file once, measured as it
    // is found. A cancel is looked at per folder.
    {
        FileCatalogue files;
        files.setStop(stopRequested);
        const auto rows = static_cast<std::int64_t>(request.paths.size());
        std::int64_t row = 0;
        files.setProgress([&](std::int64_t found) {
            outcome.files = found;
            out.progress(std::floor(percentOf(row, rows)));
        });
        for (; row < rows && !files.stopped(); ++row) {
            const PathRow& pathRow = request.paths[static_cast<std::size_t>(row)];
            out.selectPathRow(static_cast<int>(row));
            files.addSearchPath(pathRow.path, pathRow.subFolders);
            out.progress(std::floor(percentOf(row + 1, rows)));
        }
        outcome.files = files.count();
        outcome.unlisted = static_cast<std::int64_t>(files.problems().size());
        if (files.stopped()) {
            outcome.cancelled = true;
            table.clear();
            out.flush();
            return;
        }
        out.status(kStatusLoading);
        out.progress(0);
        fillTable(table, files.entries());
        unlisted = files.problems();
    }
    const auto count = static_cast<std::int64_t>(table.size());
    const std::int64_t last = count - 1;
    const auto listUnlisted = [&] {
        for (const FolderProblem& p : unlisted)
            out.appendRow(ListReadErrors, makeFolderRow(p.path, p.reason));
        outcome.readErrors += static_cast<std::int64_t>(unlisted.size());
    };

    // Files that share a name: equal names (letter case ignored) stand together after the
    // sort; every member of such a run is listed once.
    if (sameName && last >= 1) {
        out.status(kStatusSameName);
        out.progress(0);
        QuickSortByFilename(table, 0, last);
        const auto nameAt = [&](std::int64_t i) {
            return table[static_cast<std::size_t>(i)].name();
        };
        bool open = false;
        for (std::int64_t i = 1; i <= last; ++i) {
            if (equalNoCase(nameAt(i), nameAt(i - 1))) {
                out.append(ListSameName, table[static_cast<std::size_t>(i - 1)]);
                open = true;
            } else if (open) {
                out.append(ListSameName, table[static_cast<std::size_t>(i - 1)]);
                open = false;
            }
            if (i % 200 == 0) {
                out.progress(percentOf(i, count));
                if (stopRequested()) {
                    // Lists nothing more; the folders that could not be listed are still said.
                    outcome.cancelled = true;
                    listUnlisted();
                    out.flush();
                    return;
                }
            }
        }
        if (equalNoCase(nameAt(last), nameAt(last - 1)))
            out.append(ListSameName, table[static_cast<std::size_t>(last)]);
    }

    if (count > 0)
        QuickSort(table, 0, last);
    out.status(kStatusDuplicates);
    out.progress(0);

    // Zero-length files. Entries that could not be measured (-1) sort before them and are
    // passed over, so they hide none of them.
    std::int64_t k = 0;
    while (k <= last && table[static_cast<std::size_t>(k)].FileSize < 0)
        ++k;
    for (; k <= last && table[static_cast<std::size_t>(k)].FileSize == 0; ++k) {
        if (zeroSize)
            out.append(ListZeroSize, table[static_cast<std::size_t>(k)]);
    }

    // Identical contents, compared within each run of equal size.
    if (duplicates) {
        if (!compareRuns(table, runsOf(table), out, cancel))
            outcome.cancelled = true;
        if (aborted())
            return;
    }

    // List every member of a group, and every folder and file that could not be read.
    listUnlisted();
    for (std::int64_t i = 0; i <= last; ++i) {
        FileEntry& e = table[static_cast<std::size_t>(i)];
        if (e.DupGroup >= 0) {
            out.append(ListDuplicates, e);
            e.DupGroup = DupGroupKey::None;
        } else if (e.DupGroup == DupGroupKey::Unreadable || e.FileSize < 0) {
            out.append(ListReadErrors, e);
            ++outcome.readErrors;
        }
    }
    out.flush();
}

} // namespace trevalo
