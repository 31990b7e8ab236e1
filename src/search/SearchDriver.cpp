// SPDX-License-Identifier: GPL-2.0-or-later
#include "search/SearchDriver.h"

#include "catalogue/FileCatalogue.h"
#include "catalogue/FolderSweep.h"
#include "platform/ByteText.h"
#include "platform/FileSystem.h"
#include "platform/PathText.h"
#include "platform/Process.h"
#include "search/ContentCompare.h"
#include "search/FolderGroups.h"
#include "search/ProofCache.h"
#include "search/ProvenRun.h"
#include "search/SearchScope.h"
#include "search/Sorts.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <span>
#include <system_error>
#include <thread>

namespace trevalo {

namespace {

// Hands progress, phases and rows to the events, throttled by time: pending rows and the
// latest progress value go over at most about ten times a second; a new phase goes at once,
// after whatever was pending, so the host sees everything in order.
class Publisher {
public:
    explicit Publisher(SearchEvents& events)
        : events_(events), interval_(events.handOverInterval()), last_(Clock::now()) {}

    void phase(SearchPhase phase) {
        std::lock_guard lock(mutex_);
        flushLocked();
        events_.phase(phase);
    }
    // May be called from any thread of the search.
    void progress(double percent) {
        std::lock_guard lock(mutex_);
        progress_ = percent;
        hasProgress_ = true;
        if (Clock::now() - last_ >= interval_)
            flushLocked();
    }
    void work(const SearchWork& work) {
        std::lock_guard lock(mutex_);
        work_ = work;
        hasWork_ = true;
        if (Clock::now() - last_ >= interval_)
            flushLocked();
    }
    void selectPathRow(int row) {
        std::lock_guard lock(mutex_);
        selectedRow_ = row;
        if (Clock::now() - last_ >= interval_)
            flushLocked();
    }
    void append(int list, const FileEntry& entry) {
        ResultRow row = makeResultRow(entry, folders_);
        if (entry.links > 1 && otherNames_) {
            const auto found = otherNames_->find(entry.stamp.id());
            if (found != otherNames_->end())
                row.setOtherNames(found->second);
        }
        appendRow(list, std::move(row));
    }
    // Where rows of files with more than one name find the names the search found.
    void setOtherNames(const FileCatalogue::OtherNames* names) { otherNames_ = names; }
    void appendRow(int list, ResultRow row) {
        std::lock_guard lock(mutex_);
        auto& pending = rows_[static_cast<std::size_t>(list)];
        pending.push_back(std::move(row));
        if (pending.size() >= kMostRowsHeld) {
            // However fast rows come, the host takes them in batches of bounded size, so a list
            // of a million rows is never held twice over, once here and once by the host.
            events_.rows(list, std::exchange(pending, {}));
            return;
        }
        if ((++appended_ % kRowsBetweenClockChecks == 0 || interval_ == Clock::duration::zero()) &&
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
            events_.pathRow(selectedRow_);
        selectedRow_ = -1;
        for (int m = 0; m < kResultListCount; ++m) {
            auto& pending = rows_[static_cast<std::size_t>(m)];
            if (!pending.empty())
                events_.rows(m, std::exchange(pending, {}));
        }
        if (hasProgress_)
            events_.progress(progress_);
        hasProgress_ = false;
        if (hasWork_)
            events_.work(work_);
        hasWork_ = false;
        last_ = Clock::now();
    }

    using Clock = std::chrono::steady_clock;
    // Rows handed over between two looks at the clock.
    static constexpr std::uint64_t kRowsBetweenClockChecks = 256;
    // Rows of one list held before they are handed over whatever the clock says.
    static constexpr std::size_t kMostRowsHeld = 4096;

    std::mutex mutex_;
    SearchEvents& events_;
    const Clock::duration interval_;
    Clock::time_point last_;
    std::array<std::vector<ResultRow>, kResultListCount> rows_;
    const FileCatalogue::OtherNames* otherNames_ = nullptr;
    FolderShare folders_; // rows are appended by one thread at a time
    std::uint64_t appended_ = 0;
    double progress_ = 0;
    bool hasProgress_ = false;
    SearchWork work_;
    bool hasWork_ = false;
    int selectedRow_ = -1;
};

double percentOf(std::int64_t part, std::int64_t whole) {
    return whole > 0 ? static_cast<double>(part) / static_cast<double>(whole) * 100.0 : 0.0;
}

// A run of files of one size: table[start..end].
struct Run {
    TableIndex start;
    TableIndex end;
    std::size_t files() const { return static_cast<std::size_t>(end - start + 1); }
};

// Maximal stretches of two or more entries of equal size, in table order. Zero-length files
// and files that could not be measured (-1) form no run.
std::vector<Run> runsOf(const FileTable& table) {
    std::vector<Run> runs;
    const auto last = static_cast<TableIndex>(table.size()) - 1;
    const auto sizeAt = [&](TableIndex i) { return table[static_cast<std::size_t>(i)].size; };
    for (TableIndex start = 0; start <= last;) {
        TableIndex end = start;
        while (end < last && sizeAt(end + 1) == sizeAt(start))
            ++end;
        if (end > start && sizeAt(start) > 0)
            runs.push_back(Run{start, end});
        start = end + 1;
    }
    return runs;
}

// The bytes a run holds: what comparing it reads at most.
std::int64_t bytesOf(const FileTable& table, const Run& r) {
    return table[static_cast<std::size_t>(r.start)].size * static_cast<std::int64_t>(r.files());
}

// How many threads walk and compare: `count` from the start, and up to `forDisk` in all while
// what they read comes from a storage device rather than from memory.
struct Threads {
    int count = 1;
    int forDisk = 0;
};

// The bytes of the runs compared, and the part of each run in hand (one slot per comparing
// thread, as its comparison reports it), going out as work on top of a base and as the progress.
// The threads add up their parts at their own moments; the count shown never goes back, also as
// the host sees it: one thread at a time takes the count and hands it on.
class ComparedBytes {
public:
    ComparedBytes(Publisher& out, const SearchWork& work, std::int64_t total, int slotCount)
        : out_(out), work_(work), inHand_(static_cast<std::size_t>(slotCount)) {
        work_.bytesTotal = total;
        work_.bytesDone = 0;
        out_.work(work_);
    }

    void inHand(std::size_t slot, std::int64_t bytes) {
        inHand_[slot] = bytes;
        report(true);
    }
    void finished(std::size_t slot, std::int64_t bytes) {
        finished_ += bytes;
        inHand_[slot] = 0;
        report(false);
    }
    // The count as it stands, however soon after the last (once every run is done).
    void reportNow() { report(true); }

private:
    // Runs that read nothing (proven by an earlier search) end by the ten thousand a second:
    // the count at the end of a run goes out at most once a millisecond, or the threads would
    // mostly wait for each other's reports. What a run has read goes out as it comes.
    void report(bool atOnce) {
        constexpr std::int64_t kEvery = 1'000'000; // nanoseconds
        const std::int64_t at = std::chrono::duration_cast<std::chrono::nanoseconds>(
                                    std::chrono::steady_clock::now().time_since_epoch())
                                    .count();
        std::int64_t next = nextReport_.load(std::memory_order_relaxed);
        if (!atOnce && (at < next || !nextReport_.compare_exchange_strong(next, at + kEvery)))
            return;
        const std::lock_guard lock(reporting_);
        std::int64_t sum = finished_.load();
        for (const auto& part : inHand_)
            sum += part.load();
        sum = std::min(work_.bytesTotal, sum);
        std::int64_t was = shown_.load();
        while (sum > was && !shown_.compare_exchange_weak(was, sum)) {
        }
        SearchWork now = work_;
        now.bytesDone = std::max(sum, was);
        out_.progress(percentOf(now.bytesDone, work_.bytesTotal));
        out_.work(now);
    }

    Publisher& out_;
    SearchWork work_;
    std::atomic<std::int64_t> finished_{0};
    std::vector<std::atomic<std::int64_t>> inHand_;
    std::atomic<std::int64_t> shown_{0};
    std::atomic<std::int64_t> nextReport_{0}; // steady-clock nanoseconds
    std::mutex reporting_;
};

// The threads that compare runs, each running `body` with its slot (0 for the calling thread);
// more may be started while they run, by any of them.
class ComparingThreads {
public:
    explicit ComparingThreads(const std::function<void(std::size_t)>& body) : body_(body) {}

    int running() const { return running_.load(); }
    // Starts threads until `count` run, the calling one counted; fewer when the system has no
    // more, and then those there are take every run.
    void startUpTo(int count) {
        const std::lock_guard lock(mutex_);
        for (int k = running_.load(); k < count; k = running_.load()) {
            try {
                helpers_.emplace_back(body_, static_cast<std::size_t>(k));
            } catch (const std::system_error&) {
                return;
            }
            ++running_;
        }
    }
    // Joins every thread started, also one started by another while this one waits.
    void joinAll() {
        for (;;) {
            std::jthread helper;
            {
                const std::lock_guard lock(mutex_);
                if (helpers_.empty())
                    break;
                helper = std::move(helpers_.back());
                helpers_.pop_back();
            }
            helper.join();
        }
    }

private:
    const std::function<void(std::size_t)>& body_;
    std::atomic<int> running_{1}; // the calling thread
    std::mutex mutex_;
    std::vector<std::jthread> helpers_;
};

// What the runs still to be compared when whenFewLeft (below) is called teach is written after
// them, at worst a row of the store for each of their files where written with the others it
// costs a share of one (a run of 10,000 small files: 200-300 ms after the others, some 7 ms with
// them): whenFewLeft comes with the runs of the last kFewFilesLeft files, once those still being
// compared before them hold kLateFiles files or fewer.
constexpr std::size_t kFewFilesLeft = 256;
constexpr std::size_t kLateFiles = 2048;

enum RunState : char { Waiting, Compared, Abandoned };

// Where whenFewLeft comes among the runs, and when (under the comparison's lock).
class FewLeft {
public:
    explicit FewLeft(const std::vector<Run>& runs) : at_(runs.size()) {
        for (std::size_t left = 0; at_ > 0; --at_) {
            left += runs[at_ - 1].files();
            if (left > kFewFilesLeft)
                break;
        }
        if (at_ == 0)
            at_ = runs.size();
        for (std::size_t i = 0; i < at_; ++i)
            unsettled_ += runs[i].files();
    }
    // The first run from which on the runs hold no more than kFewFilesLeft files; the end of
    // the runs when they all do.
    std::size_t at() const { return at_; }
    // Run i, of `files` files, compared or abandoned.
    void settled(std::size_t i, std::size_t files) {
        if (i < at_ && (unsettled_ -= files) <= kLateFiles)
            late_.notify_all();
    }
    // Waits while the runs before at() still being compared hold more than kLateFiles files
    // (the other threads comparing them) and the search is not cancelled; then the runs
    // compared (1 for each).
    std::vector<char> compared(std::unique_lock<std::mutex>& lock, const std::atomic<bool>& cancel,
                               const std::vector<char>& state) {
        while (unsettled_ > kLateFiles && !cancel.load())
            late_.wait_for(lock, std::chrono::milliseconds(10));
        std::vector<char> compared(state.size());
        std::transform(state.begin(), state.end(), compared.begin(),
                       [](char s) { return s == Compared ? 1 : 0; });
        return compared;
    }

private:
    std::size_t at_;
    std::size_t unsettled_ = 0; // files of the runs before at_ not compared or abandoned yet
    std::condition_variable late_;
};

// Compares every run, on as many threads as `threads` says. A run writes only its own entries,
// so runs are independent. Once a cancel is seen no further run starts; afterwards the groups kept
// are exactly those of the runs before the first one that was not compared in full, as if the runs
// had been compared one after the other. Those runs are handed to listRun in table order as soon
// as each and every run before it is compared, so the list of groups grows while the comparison
// goes on. The bytes of the runs compared (and the part of each run in hand, as its comparison
// reports it) go out as work on top of `work`, and as the progress. Returns false when some run
// was not compared in full. Once the runs not yet started hold kFewFilesLeft files or fewer (and
// none was cancelled), the thread that comes to the first of them waits while the runs before
// it still being compared hold more than kLateFiles files, then hands whenFewLeft which runs are
// compared by then (1 for each) before it goes on, while the others compare on: in size order
// the last runs are those of the largest files, few files and many bytes.
// compareRun compares run i of runs as groupIdenticalFiles does.
using RunComparison = std::function<bool(std::size_t i, const CompareControl& control)>;

// The most threads that compare `runs` runs at once. Threads that would wait for descriptors
// held by the others are not started: on a long wait a file would be reported unreadable for
// want of one.
int mostComparingThreads(std::size_t runs, Threads threads) {
    return std::min(static_cast<int>(
                        std::clamp<std::size_t>(runs, 1, std::max(threads.count, threads.forDisk))),
                    runsAtOnceByOpenFiles());
}

bool compareRuns(FileTable& table, const std::vector<Run>& runs, Publisher& out,
                 const std::atomic<bool>& cancel, const SearchWork& work, Threads threads,
                 const RunComparison& compareRun, const std::function<void(const Run&)>& listRun,
                 const std::function<void(const std::vector<char>&)>& whenFewLeft) {
    const int most = mostComparingThreads(runs.size(), threads);
    std::vector<char> state(runs.size(), Waiting); // under `listing`
    std::mutex listing;
    FewLeft fewLeft(runs);  // under `listing`
    bool lister = false;    // a thread is handing runs to listRun (under `listing`)
    std::size_t listed = 0; // runs handed to listRun (by the lister)
    // The runs compared, in order, to listRun: by one thread at a time and outside the lock, so
    // that the others go on comparing (runs proven by an earlier search take as long to list as
    // to compare, and the threads waited on each other half the time).
    const auto listInOrder = [&] {
        for (;;) {
            std::size_t to = listed;
            {
                const std::lock_guard lock(listing);
                while (to < runs.size() && state[to] == Compared)
                    ++to;
                if (to == listed) {
                    lister = false;
                    return;
                }
            }
            for (; listed < to; ++listed)
                listRun(runs[listed]);
        }
    };
    std::atomic<std::size_t> next{0};
    std::int64_t total = 0;
    for (const Run& r : runs)
        total += bytesOf(table, r);
    ComparedBytes bytes(out, work, total, most);
    // The threads: those asked for from the start, and more once a read has gone to a device.
    std::atomic<bool> mayGrow{most > threads.count};
    DeviceReadWatch disk;
    std::function<void(std::size_t)> compare;
    ComparingThreads comparing(compare);
    compare = [&](std::size_t slot) {
        for (;;) {
            const std::size_t i = next.fetch_add(1);
            if (i == fewLeft.at() && whenFewLeft && !cancel.load()) { // one thread only
                std::unique_lock lock(listing);
                const std::vector<char> compared = fewLeft.compared(lock, cancel, state);
                lock.unlock();
                if (!cancel.load())
                    whenFewLeft(compared);
            }
            if (i >= runs.size() || cancel.load())
                return;
            const Run& r = runs[i];
            const auto runBytes = static_cast<double>(bytesOf(table, r));
            const auto inRun = [&](double share) {
                bytes.inHand(slot,
                             static_cast<std::int64_t>(runBytes * std::clamp(share, 0.0, 1.0)));
            };
            const bool done = compareRun(i, {&cancel, inRun, comparing.running()});
            bytes.finished(slot, bytesOf(table, r));
            if (mayGrow.load(std::memory_order_relaxed) && disk.sawReads() &&
                mayGrow.exchange(false))
                comparing.startUpTo(most);
            {
                const std::lock_guard lock(listing);
                state[i] = done ? Compared : Abandoned;
                fewLeft.settled(i, r.files());
                if (lister)
                    continue; // the thread listing comes to it
                lister = true;
            }
            listInOrder();
        }
    };
    comparing.startUpTo(std::min(threads.count, most));
    compare(0);
    comparing.joinAll();
    bytes.reportNow();
    for (std::size_t i = listed; i < runs.size(); ++i)
        for (TableIndex k = runs[i].start; k <= runs[i].end; ++k)
            table[static_cast<std::size_t>(k)].group = GroupMark::None;
    return listed == runs.size();
}

// The proof cache, opened beside the walk: making or pruning the store, and copying into it
// the log a search before left (two syncs), cost the search no time then. Opened on the
// asking thread when no other can be started.
class StoreOpening {
public:
    StoreOpening() = default;
    StoreOpening(const StoreOpening&) = delete;
    StoreOpening& operator=(const StoreOpening&) = delete;
    ~StoreOpening() { wait(); }

    void start(const SearchRequest& request) {
        folder_ = request.proofCacheFolder.empty() ? ProofCache::defaultFolder()
                                                   : request.proofCacheFolder;
        limits_ = request.proofCacheLimits;
        started_ = true;
        try {
            opening_ = std::thread([this] { open(); });
        } catch (const std::system_error&) {
            // opened when taken
        }
    }
    // The store, open (or with why not); none when none was asked for.
    std::unique_ptr<ProofCache> take() {
        wait();
        if (started_ && !cache_)
            open();
        started_ = false;
        return std::move(cache_);
    }

private:
    void open() { cache_ = std::make_unique<ProofCache>(folder_, limits_); }
    void wait() {
        if (opening_.joinable())
            opening_.join();
    }

    std::string folder_;
    ProofCacheLimits limits_;
    bool started_ = false;
    std::unique_ptr<ProofCache> cache_;
    std::thread opening_;
};

// One search, stage by stage.
class Search {
public:
    Search(const SearchRequest& request, SearchState& state, SearchEvents& events)
        : request_(request), state_(state), table_(state.table), outcome_(state.outcome),
          out_(events) {}

    void run(const std::function<void()>& beforeComparison) {
        outcome_ = {};
        if (request_.useProofCache &&
            (request_.types[SearchDuplicates] || request_.types[SearchFolders]))
            store_.start(request_);
        out_.phase(SearchPhase::Walking);
        if (!catalogueFiles())
            return;
        if ((request_.types[SearchEmptyFolders] || request_.types[SearchBrokenLinks]) &&
            !sweepFolders())
            return;
        out_.phase(SearchPhase::Loading);
        out_.progress(0);
        if (request_.types[SearchSameName] && !listSameNames()) {
            // Cancelled: nothing more is listed but the folders that could not be listed.
            listUnlistedFolders();
            out_.flush();
            return;
        }
        if (!table_.empty())
            sortBySize(table_, 0, last());
        out_.phase(SearchPhase::Duplicates);
        out_.progress(0);
        listZeroSize();
        if (request_.types[SearchDuplicates] || request_.types[SearchFolders]) {
            if (beforeComparison)
                beforeComparison();
            if (request_.types[SearchFolders])
                groupOf_.assign(table_.size(), GroupMark::None);
            if (!groupDuplicates())
                outcome_.cancelled = true;
            if (aborted())
                return;
            if (request_.types[SearchFolders] && !outcome_.cancelled)
                listFolders();
        }
        listUnlistedFolders();
        listReadErrors();
        out_.flush();
    }

private:
    std::int64_t last() const { return static_cast<std::int64_t>(table_.size()) - 1; }
    FileEntry& at(std::int64_t i) { return table_[static_cast<std::size_t>(i)]; }
    bool aborted() const { return state_.abort.load(std::memory_order_relaxed); }
    bool stopRequested() const { return state_.cancelRequested.load() || aborted(); }
    // As many threads as asked for; or one per processor, and more while reading a device.
    Threads threads() const {
        if (request_.threads > 0)
            return {request_.threads, 0};
        return {usableCores(), kThreadsForDisk};
    }

    // Walks the search paths into the table, each file once, measured as it is found. False
    // when the walk was stopped.
    bool catalogueFiles() {
        FileCatalogue files;
        files.setWalkThreads(threads().count);
        files.setThreadsForDisk(std::min(threads().forDisk, kWalkThreadsForDisk));
        files.setStop([this] { return stopRequested(); });
        const ExcludeRules exclude(request_.exclude);
        if (!exclude.empty())
            files.setExclude(
                [&exclude](std::string_view folder, std::string_view name, bool isFolder) {
                    return exclude.excludes(folder, name, isFolder);
                },
                exclude.looksAtFolders());
        const auto rows = static_cast<std::int64_t>(request_.paths.size());
        std::int64_t row = 0;
        files.setProgress([&](std::int64_t found) {
            outcome_.files = found;
            out_.progress(std::floor(percentOf(row, rows)));
            SearchWork work;
            work.files = found;
            out_.work(work);
        });
        for (; row < rows && !files.stopped(); ++row) {
            const PathRow& pathRow = request_.paths[static_cast<std::size_t>(row)];
            out_.selectPathRow(static_cast<int>(row));
            files.addSearchPath(pathRow.path, pathRow.subFolders, pathRow.role);
            out_.progress(std::floor(percentOf(row + 1, rows)));
        }
        if (!files.stopped())
            files.finish();
        outcome_.files = files.count();
        outcome_.unlisted = std::count_if(files.problems().begin(), files.problems().end(),
                                          [](const FolderProblem& p) { return p.isFailure(); });
        if (files.stopped()) {
            outcome_.cancelled = true;
            table_.clear();
            out_.flush();
            return false;
        }
        otherNames_ = files.otherNames();
        out_.setOtherNames(&otherNames_);
        table_ = std::move(files.entries());
        unlisted_ = files.problems();
        leaveOutBySize();
        return true;
    }

    // Files outside the size limits leave the table before any list is made. Files that could
    // not be measured stay: they are read errors whatever their size.
    void leaveOutBySize() {
        if (request_.minSize <= 0 && request_.maxSize < 0)
            return;
        const auto outside = [&](const FileEntry& e) {
            return e.size >= 0 && !withinSizeLimits(e.size, request_.minSize, request_.maxSize);
        };
        outcome_.outsideLimits = static_cast<std::int64_t>(std::erase_if(table_, outside));
        outcome_.files = static_cast<std::int64_t>(table_.size());
    }

    // Files that share a name: equal names (letter case ignored) stand together after the
    // sort; every member of such a run is listed once. False when cancelled.
    bool listSameNames() {
        const std::int64_t last = this->last();
        if (last < 1)
            return true;
        out_.phase(SearchPhase::SameName);
        out_.progress(0);
        sortByName(table_, 0, last);
        const auto nameAt = [&](std::int64_t i) { return at(i).name(); };
        bool open = false;
        for (std::int64_t i = 1; i <= last; ++i) {
            if (equalNoCase(nameAt(i), nameAt(i - 1))) {
                out_.append(ListSameName, at(i - 1));
                open = true;
            } else if (open) {
                out_.append(ListSameName, at(i - 1));
                open = false;
            }
            if (i % kNamesBetweenChecks == 0) {
                out_.progress(percentOf(i, last + 1));
                if (stopRequested()) {
                    outcome_.cancelled = true;
                    return false;
                }
            }
        }
        if (equalNoCase(nameAt(last), nameAt(last - 1)))
            out_.append(ListSameName, at(last));
        return true;
    }

    // Zero-length files, in size order. Entries that could not be measured (-1) sort before
    // them and are passed over, so they hide none of them.
    void listZeroSize() {
        std::int64_t k = 0;
        while (k <= last() && at(k).size < 0)
            ++k;
        for (; k <= last() && at(k).size == 0; ++k)
            if (request_.types[SearchZeroSize])
                out_.append(ListZeroSize, at(k));
    }

    // Identical contents, compared within each run of equal size. False when some run was not
    // compared in full.
    bool groupDuplicates() {
        std::vector<Run> runs = runsOf(table_);
        if (request_.onlyWithKept) {
            const auto before = runs.size();
            std::erase_if(runs, [&](const Run& r) {
                for (TableIndex k = r.start; k <= r.end; ++k)
                    if (at(k).kept)
                        return false;
                return true;
            });
            outcome_.runsSkipped = static_cast<std::int64_t>(before - runs.size());
        }
        SearchWork work;
        work.phase = SearchPhase::Duplicates;
        work.files = static_cast<std::int64_t>(table_.size());
        RunComparison compareRun = [&](std::size_t i, const CompareControl& control) {
            return groupIdenticalFiles(table_, runs[i].start, runs[i].end, control);
        };
        // With the proof cache: what it knows of every file of every run is read before the
        // comparison, and each run's lessons are kept by run while the runs are compared; they
        // are written once no run is left to start (below), so the threads never wait for the
        // store.
        std::unique_ptr<ProofCache> cache = store_.take();
        if (runs.empty())
            cache.reset();
        KnownFiles known;
        std::vector<std::size_t> knownAt; // where the files of run i begin in `known`
        std::vector<RunLearning> learning;
        const std::int64_t now = wallClockNanoseconds();
        if (cache) {
            if (cache->usable()) {
                cache->setVolumes(volumesOf(runs));
                // The files of the runs, one after another: their stamps where they lie in the
                // table, not copies (48 bytes a file at the search's peak).
                std::vector<const FileStamp*, LargeAllocator<const FileStamp*>> stamps;
                std::size_t files = 0;
                for (const Run& r : runs)
                    files += r.files();
                stamps.reserve(files);
                for (const Run& r : runs) {
                    knownAt.push_back(stamps.size());
                    for (TableIndex k = r.start; k <= r.end; ++k)
                        stamps.push_back(&at(k).stamp);
                }
                known = cache->look(std::span<const FileStamp* const>(stamps));
                learning.resize(runs.size());
                compareRun = [&](std::size_t i, const CompareControl& control) {
                    const Run& r = runs[i];
                    const std::size_t n = r.files();
                    // Empty when the store knows none of the files.
                    const std::span<const KnownFile> ofRun =
                        known.empty() ? std::span<const KnownFile>()
                                      : std::span(known.data() + knownAt[i], n);
                    return groupWithProofs(table_, r.start, r.end, ofRun, control, *cache, now,
                                           learning[i]);
                };
            }
        }
        // What the runs compared taught is written while the last runs (those of the largest
        // files) are compared, by the thread that comes to them first; what those taught, after.
        std::vector<char> kept(runs.size(), 0);
        std::function<void(const std::vector<char>&)> keepCompared;
        if (cache && cache->usable())
            keepCompared = [&](const std::vector<char>& compared) {
                keepLearning(*cache, learning, compared, kept);
            };
        const bool complete = compareRuns(
            table_, runs, out_, state_.cancelRequested, work, threads(), compareRun,
            [this](const Run& r) { listGroups(r); }, keepCompared);
        releaseComparisonBuffers();
        KnownFiles().swap(known); // keeping needs none of it: 40 bytes a file back
        if (cache && cache->usable())
            keepLearning(*cache, learning, std::vector<char>(runs.size(), 1), kept);
        if (cache)
            outcome_.cacheProblem = cache->problem();
        return complete;
    }

    // The volumes of the devices of the files of the runs: each device asked once, through the
    // first of its files that can tell. A device none of whose files can tell is not trusted.
    std::vector<DeviceVolume> volumesOf(const std::vector<Run>& runs) {
        std::vector<DeviceVolume> told;
        std::vector<std::uint64_t> untold;
        const auto isTold = [&](std::uint64_t device) {
            return std::any_of(told.begin(), told.end(),
                               [&](const DeviceVolume& v) { return v.device == device; });
        };
        for (const Run& r : runs) {
            for (TableIndex k = r.start; k <= r.end; ++k) {
                const FileEntry& e = at(k);
                const std::uint64_t device = e.stamp.device;
                if (isTold(device))
                    continue;
                if (const std::optional<DeviceVolume> v = volumeOfDevice(e.path.str(), device))
                    told.push_back(*v);
                else if (std::find(untold.begin(), untold.end(), device) == untold.end()) {
                    untold.push_back(device);
                }
            }
        }
        for (const std::uint64_t device : untold)
            if (!isTold(device))
                told.push_back({device, static_cast<std::int64_t>(device), false});
        return told;
    }

    // What the runs of `which` (1 for each) taught goes to the store, proof tags made unique
    // across them, unless it went already (1 in `kept`).
    void keepLearning(ProofCache& cache, std::vector<RunLearning>& learning,
                      const std::vector<char>& which, std::vector<char>& kept) {
        std::vector<Lessons> lessons;
        lessons.reserve(learning.size());
        std::int64_t tags = 0;
        for (std::size_t i = 0; i < learning.size(); ++i) {
            if (!which[i] || kept[i])
                continue;
            kept[i] = 1;
            RunLearning& l = learning[i];
            for (LearntFile& f : l.learnt)
                if (f.tag > 0)
                    f.tag += tags;
            tags += l.tags;
            outcome_.proven += l.proven;
            lessons.push_back({l.learnt});
        }
        cache.keep(lessons);
    }

    // The groups of a run compared, into "Duplicates" (only those with a kept file when asked);
    // a listed entry is no longer in a group.
    void listGroups(const Run& r) {
        if (request_.onlyWithKept)
            dropGroupsWithoutKeptFile(r);
        for (std::int64_t k = r.start; k <= r.end; ++k) {
            FileEntry& e = at(k);
            if (e.group >= 0) {
                if (!groupOf_.empty())
                    groupOf_[static_cast<std::size_t>(k)] = e.group;
                if (request_.types[SearchDuplicates])
                    out_.append(ListDuplicates, e);
                e.group = GroupMark::None;
            }
        }
    }

    // Whether a path lies in a Keep path row's folder, or holds one.
    bool touchesKeptFolder(std::string_view path) const {
        for (const PathRow& row : request_.paths) {
            if (row.role == PathRole::Search)
                continue;
            const std::string folder = withoutTrailingSlashes(folderOf(row.path));
            const auto under = [](std::string_view inner, const std::string& outer) {
                return inner == outer || (inner.substr(0, outer.size()) == outer &&
                                          (outer == "/" || (inner.size() > outer.size() &&
                                                            inner[outer.size()] == '/')));
            };
            if (under(path, folder) || under(folder, std::string(path)))
                return true;
        }
        return false;
    }

    // Empty folders and broken links of the search paths. False when the search was stopped.
    bool sweepFolders() {
        FolderSweep sweep;
        sweep.setStop([this] { return stopRequested(); });
        const ExcludeRules exclude(request_.exclude);
        if (!exclude.empty())
            sweep.setExclude(
                [&exclude](std::string_view folder, std::string_view name, bool isFolder) {
                    return exclude.excludes(folder, name, isFolder);
                });
        for (const PathRow& row : request_.paths)
            if (row.role != PathRole::KeepOnly && !sweep.stopped())
                sweep.sweep(row.path, row.subFolders);
        if (sweep.stopped()) {
            outcome_.cancelled = true;
            table_.clear();
            out_.flush();
            return false;
        }
        const auto list = [&](int m, const std::vector<FolderSweep::Found>& found, RowTarget t) {
            for (const FolderSweep::Found& f : found) {
                ResultRow row = makeEntryRow(f.path, f.status, t);
                row.kept = touchesKeptFolder(f.path);
                out_.appendRow(m, std::move(row));
            }
        };
        if (request_.types[SearchEmptyFolders])
            list(ListEmptyFolders, sweep.emptyFolders(), RowTarget::Folder);
        if (request_.types[SearchBrokenLinks])
            list(ListBrokenLinks, sweep.brokenLinks(), RowTarget::Link);
        return true;
    }

    // Whole folders, from the groups the comparison proved.
    void listFolders() {
        FolderGroupsInput input;
        input.table = &table_;
        input.groups = &groupOf_;
        for (const PathRow& row : request_.paths)
            if (row.role != PathRole::KeepOnly) {
                std::string folder(folderOf(row.path));
                input.tops.push_back(folder.empty() ? std::string("./") : folder);
            }
        input.stop = [this] { return stopRequested(); };
        std::vector<ResultRow> rows = findFolderRows(input);
        groupOf_ = {};
        if (stopRequested()) {
            outcome_.cancelled = true;
            return;
        }
        for (ResultRow& row : rows) {
            row.kept = row.kept || touchesKeptFolder(row.path());
            out_.appendRow(ListFolders, std::move(row));
        }
    }

    // A group's key is the table index of its first member, within its run, so one pass marks
    // the keys of the groups that hold a kept file and a second lets go of the others.
    void dropGroupsWithoutKeptFile(const Run& r) {
        std::vector<char> keeps(r.files(), 0);
        const auto keyAt = [&](const FileEntry& e) {
            return static_cast<std::size_t>(e.group - r.start);
        };
        for (std::int64_t k = r.start; k <= r.end; ++k)
            if (at(k).group >= 0 && at(k).kept)
                keeps[keyAt(at(k))] = 1;
        for (std::int64_t k = r.start; k <= r.end; ++k)
            if (at(k).group >= 0 && !keeps[keyAt(at(k))])
                at(k).group = GroupMark::None;
    }

    void listUnlistedFolders() {
        for (const FolderProblem& p : unlisted_)
            out_.appendRow(ListReadErrors, makeFolderRow(p.path, p.reason));
        outcome_.readErrors += static_cast<std::int64_t>(unlisted_.size());
    }

    // Every file that could not be measured or read. (The groups were listed run by run.)
    void listReadErrors() {
        for (std::int64_t i = 0; i <= last(); ++i) {
            FileEntry& e = at(i);
            if (e.group == GroupMark::Unreadable || e.size < 0) {
                out_.append(ListReadErrors, e);
                ++outcome_.readErrors;
            }
        }
    }

    // Threads that read at once while what they read comes from a storage device: the walk's
    // reads are small and few at a time per thread, the comparison's more.
    static constexpr int kWalkThreadsForDisk = 16;
    static constexpr int kThreadsForDisk = 32;
    // The same-name walk looks at the cancel request once per this many names.
    static constexpr std::int64_t kNamesBetweenChecks = 200;

    const SearchRequest& request_;
    SearchState& state_;
    FileTable& table_;
    SearchOutcome& outcome_;
    Publisher out_;
    std::vector<FolderProblem> unlisted_;
    // Each entry's group as the comparison left it, while "Folders" is asked for.
    std::vector<std::int64_t> groupOf_;
    FileCatalogue::OtherNames otherNames_;
    StoreOpening store_;
};

} // namespace

void runSearch(const SearchRequest& request, SearchState& state, SearchEvents& events,
               const std::function<void()>& beforeComparison) {
    Search(request, state, events).run(beforeComparison);
}

} // namespace trevalo
