#include "search/SearchDriver.h"

#include "catalogue/colFiles.h"
#include "platform/ByteText.h"
#include "platform/FileSystem.h"
#include "search/ContentCompare.h"
#include "search/Sorts.h"

#include <array>
#include <chrono>
#include <cmath>

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
        flush();
        host_.setStatus(text);
    }
    void progress(double percent) {
        progress_ = percent;
        hasProgress_ = true;
        maybeFlush();
    }
    void selectPathRow(int row) {
        selectedRow_ = row;
        maybeFlush();
    }
    void append(int list, const FileEntry& entry) {
        rows_[static_cast<std::size_t>(list)].push_back(makeResultRow(entry));
        if ((++appended_ & 255) == 0 || interval_ == Clock::duration::zero())
            maybeFlush();
    }
    void maybeFlush() {
        if (Clock::now() - last_ >= interval_)
            flush();
    }
    void flush() {
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

private:
    using Clock = std::chrono::steady_clock;

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

} // namespace

void ExecSrch(const SearchRequest& request, SearchModel& model, SearchHost& host) {
    Publisher out(host);
    FileTable& table = model.table;
    const std::atomic<bool>& cancel = model.CancelSrch;
    const auto aborted = [&] { return model.abort.load(std::memory_order_relaxed); };
    const bool zeroSize = request.types[SearchZeroSize];
    const bool duplicates = request.types[SearchDuplicates];
    const bool sameName = request.types[SearchSameName];

    // Walk the search paths into a catalogue of their files, each file once.
    std::int64_t count = 0;
    {
        colFiles files;
        files.Clear();
        files.setAbortFlag(&model.abort);
        const auto rows = static_cast<std::int64_t>(request.paths.size());
        for (std::int64_t i = 0; i < rows; ++i) {
            const PathRow& row = request.paths[static_cast<std::size_t>(i)];
            out.selectPathRow(static_cast<int>(i));
            files.LoadFiles(row.path, row.subFolders);
            out.progress(std::floor(percentOf(i + 1, rows)));
        }
        if (aborted())
            return;
        out.status(kStatusLoading);
        out.progress(0);

        // Measure every file into the table.
        count = files.Count();
        table.clear();
        if (count == 0) {
            table.shrink_to_fit();
            out.flush();
            return;
        }
        table.resize(static_cast<std::size_t>(count));
        auto& paths = files.Items();
        for (std::int64_t k = 0; k < count; ++k) {
            FileEntry& e = table[static_cast<std::size_t>(k)];
            e.FilePath = std::move(paths[static_cast<std::size_t>(k)]);
            const FileStatus st = statPath(e.FilePath, true);
            if (st.kind == FileKind::Missing) {
                e.FileSize = -1;
            } else if (st.kind != FileKind::Failed) {
                e.FileSize = st.size;
                e.ModTime = st.mtime;
                e.ModTimeKnown = true;
            }
            e.DupGroup = DupGroupKey::None;
            if ((k + 1) % 1000 == 0) {
                out.progress(percentOf(k + 1, count));
                if (aborted())
                    return;
            }
        }
    }
    const std::int64_t last = count - 1;

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
                if (cancel.load() || aborted()) {
                    out.flush();
                    return;
                }
            }
        }
        if (equalNoCase(nameAt(last), nameAt(last - 1)))
            out.append(ListSameName, table[static_cast<std::size_t>(last)]);
    }

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

    // Identical contents, compared within each run of equal size. Zero-length files form no
    // run; a run of files that could not be measured does, and ends in the read errors.
    if (duplicates) {
        const auto sizeAt = [&](std::int64_t i) {
            return table[static_cast<std::size_t>(i)].FileSize;
        };
        const CompareProgress progress = [&](std::int64_t index) {
            out.progress(percentOf(index, last));
        };
        for (std::int64_t start = 0; start <= last;) {
            std::int64_t end = start;
            while (end < last && sizeAt(end + 1) == sizeAt(start))
                ++end;
            if (end > start && sizeAt(start) != 0) {
                if (!cancel.load()) {
                    if (end - start < 250)
                        CompFileCnt(table, start, end, &cancel);
                    else
                        CompFileCnt2(table, start, end, true, &cancel, progress);
                }
                out.progress(percentOf(std::min(end + 1, last), last));
                if (aborted())
                    return;
            }
            start = end + 1;
        }
    }

    // List every member of a group, and every file that could not be read.
    for (std::int64_t i = 0; i <= last; ++i) {
        FileEntry& e = table[static_cast<std::size_t>(i)];
        if (e.DupGroup >= 0) {
            out.append(ListDuplicates, e);
            e.DupGroup = DupGroupKey::None;
        } else if (e.DupGroup == DupGroupKey::Unreadable) {
            out.append(ListReadErrors, e);
        }
    }
    out.flush();
}

} // namespace trevalo
