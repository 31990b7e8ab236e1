#include "search/ContentCompare.h"

#include "platform/FileSystem.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

// How a run is compared
// ---------------------
// The grouping works on logical chunks of GetBufferSz bytes: a set of files known to be equal
// over chunks [0, pos) is refined chunk by chunk, each class keyed by its smallest index, and a
// file stops being read once it is alone. A file is charged with a read error only when a chunk
// it still needs is missing.
//
// The bytes themselves are read in large blocks of whole chunks. Within a block, every member of
// a set is compared with the set's leader (its first member that has the bytes) in one memcmp;
// only where that differs is the exact chunk looked for. Members that part from the leader at
// the same chunk are sorted by a hash of that chunk into candidate sets, which are then compared
// exactly from that chunk on, with their own leaders; a hash only ever proposes, bytes decide.
//
// CompFileCnt keeps every file of the run open and reads them all in step, one block at a time.
// CompFileCnt2 keeps files closed and reads one block of one file at a time, so that a run of
// tens of thousands of files needs two buffers and one open file.

namespace trevalo {

std::int64_t GetBufferSz(std::int64_t sz) {
    return sz < 40480 ? sz : 2024;
}

namespace {

// Runs of at most this many files are compared with all of them open at once.
constexpr std::int64_t kOpenRunLimit = 250;
// Buffer memory for one run, and the largest block of a single file.
constexpr std::int64_t kBufferBudget = std::int64_t{32} << 20;
constexpr std::int64_t kMaxBlockBytes = std::int64_t{1} << 20;
// The first block of files read in step; it doubles while their groups hold together.
constexpr std::int64_t kFirstBlockBytes = std::int64_t{64} << 10;

void ensureOpenFileLimit() {
    static const long limit = raiseOpenFileLimit(kOpenRunLimit + 64);
    (void)limit;
}

// The logical chunks of files of one size: chunk c covers [c * length, min((c + 1) * length,
// size)).
struct Chunks {
    explicit Chunks(std::int64_t sz)
        : size(sz), length(GetBufferSz(sz)), count(sz > 0 ? (sz + length - 1) / length : 0) {}

    std::int64_t begin(std::int64_t c) const { return c * length; }
    std::int64_t end(std::int64_t c) const { return std::min(size, (c + 1) * length); }
    std::int64_t bytes(std::int64_t first, std::int64_t last) const {
        return end(last - 1) - begin(first);
    }
    // Whole chunks that fit in `budget` bytes, at least one.
    std::int64_t fitting(std::int64_t budget) const {
        return std::max<std::int64_t>(1, budget / length);
    }

    std::int64_t size;
    std::int64_t length;
    std::int64_t count;
};

// Bytes of one file in memory: chunks [first, end) are complete, chunk `first` at data.
struct BlockView {
    const char* data = nullptr;
    std::int64_t first = 0;
    std::int64_t end = 0;
};

// A growable buffer that is not cleared when it grows (every byte used is read first).
class Buffer {
public:
    char* reserve(std::int64_t bytes) {
        if (bytes > capacity_) {
            data_ = std::make_unique_for_overwrite<char[]>(static_cast<std::size_t>(bytes));
            capacity_ = bytes;
        }
        return data_.get();
    }
    const char* data() const { return data_.get(); }
    void release() {
        data_.reset();
        capacity_ = 0;
    }

private:
    std::unique_ptr<char[]> data_;
    std::int64_t capacity_ = 0;
};

// Reads chunks [first, last) of an open file into buf; returns the end of the complete chunks.
// A short read means the file ended early. After a failed read the block is read again chunk
// by chunk, so that only the chunks that really cannot be read are missing.
std::int64_t readBlock(ReadOnlyFile& file, const Chunks& chunks, std::int64_t first,
                       std::int64_t last, char* buf) {
    const std::int64_t start = chunks.begin(first);
    const std::int64_t bytes = chunks.bytes(first, last);
    const std::int64_t got = file.readAt(start, buf, bytes);
    if (got == bytes)
        return last;
    if (got >= 0)
        return first + got / chunks.length;
    for (std::int64_t c = first; c < last; ++c) {
        const std::int64_t length = chunks.end(c) - chunks.begin(c);
        if (file.readAt(chunks.begin(c), buf + (chunks.begin(c) - start), length) != length)
            return c;
    }
    return last;
}

const char* chunkAt(const Chunks& chunks, const BlockView& v, std::int64_t c) {
    return v.data + (chunks.begin(c) - chunks.begin(v.first));
}

// The first chunk in [from, limit) where a and b differ, or limit when none does.
std::int64_t firstDifference(const Chunks& chunks, const BlockView& a, const BlockView& b,
                             std::int64_t from, std::int64_t limit) {
    if (from >= limit)
        return limit;
    const auto whole = static_cast<std::size_t>(chunks.bytes(from, limit));
    if (std::memcmp(chunkAt(chunks, a, from), chunkAt(chunks, b, from), whole) == 0)
        return limit;
    for (std::int64_t c = from; c < limit; ++c) {
        const auto length = static_cast<std::size_t>(chunks.end(c) - chunks.begin(c));
        if (std::memcmp(chunkAt(chunks, a, c), chunkAt(chunks, b, c), length) != 0)
            return c;
    }
    return limit;
}

std::size_t chunkHash(const Chunks& chunks, const BlockView& v, std::int64_t c) {
    const auto length = static_cast<std::size_t>(chunks.end(c) - chunks.begin(c));
    return std::hash<std::string_view>{}(std::string_view(chunkAt(chunks, v, c), length));
}

// Files of a run (positions in the run, ascending) that are equal over chunks [0, pos) and
// still to be compared from chunk pos on.
struct Candidates {
    std::vector<std::int32_t> members;
    std::int64_t pos = 0;
    std::int64_t blockChunks = 1;
};

// Delivers chunks [from, to) of run member m, in buffer slot 0 (a leader) or 1 (a file compared
// with it); nothing when the run was cancelled.
using Loader = std::function<std::optional<BlockView>(std::int32_t m, int slot, std::int64_t from,
                                                      std::int64_t to)>;

// One run of equal-size files and what has been decided about each of them. The table is
// written only when the run is finished, so an abandoned run leaves no trace.
class Run {
public:
    Run(FileTable& table, std::int64_t dupStart, std::int64_t dupEnd,
        const std::atomic<bool>* cancel, const CompareProgress* progress)
        : chunks(table[static_cast<std::size_t>(dupStart)].FileSize), table_(table),
          start_(dupStart), cancel_(cancel), progress_(progress),
          state_(static_cast<std::size_t>(dupEnd - dupStart + 1), DupGroupKey::None),
          reached_(state_.size(), 0) {}

    const Chunks chunks;

    std::int32_t size() const { return static_cast<std::int32_t>(state_.size()); }
    const FileEntry& entry(std::int32_t m) const {
        return table_[static_cast<std::size_t>(start_ + m)];
    }
    bool cancelled() const { return cancel_ && cancel_->load(std::memory_order_relaxed); }

    // Every member of the run that can take part: the entries of the run's size.
    Candidates everyone() const {
        Candidates all;
        for (std::int32_t m = 0; m < size(); ++m)
            if (entry(m).FileSize == chunks.size)
                all.members.push_back(m);
        return all;
    }

    // Without bytes to compare (sizes 0 and -1) only the files that cannot be opened stand out.
    bool finishWithoutBytes() {
        for (const std::int32_t m : everyone().members) {
            ReadOnlyFile file;
            settle(m, file.open(entry(m).FilePath) == IoError::None ? DupGroupKey::None
                                                                    : DupGroupKey::Unreadable);
        }
        return finish();
    }

    void settle(std::int32_t m, std::int64_t value) {
        state_[static_cast<std::size_t>(m)] = value;
        advance(m, chunks.count);
    }
    void group(const Candidates& set) {
        for (const std::int32_t m : set.members)
            settle(m, start_ + set.members.front());
    }

    // Compares the members of `set` over chunks [set.pos, to). The members that stay equal to
    // the leader all the way are left in the set, now at pos `to`; the others are decided, or
    // leave in new candidate sets appended to `split`. False when the run was cancelled.
    bool refine(Candidates& set, std::int64_t to, const Loader& load,
                std::vector<Candidates>& split);

    // Counts chunks of member m as compared, for the progress report.
    void advance(std::int32_t m, std::int64_t end) {
        auto& reached = reached_[static_cast<std::size_t>(m)];
        if (end > reached) {
            done_ += end - reached;
            reached = end;
        }
    }
    void reportProgress() {
        if (!progress_ || !*progress_ || chunks.count <= 0)
            return;
        const long double total = static_cast<long double>(size()) * chunks.count;
        const auto index = start_ + static_cast<std::int64_t>(done_ / total * (size() - 1));
        if (index != lastReported_) {
            lastReported_ = index;
            (*progress_)(index);
        }
    }

    bool finish() {
        for (std::int32_t m = 0; m < size(); ++m)
            table_[static_cast<std::size_t>(start_ + m)].DupGroup =
                state_[static_cast<std::size_t>(m)];
        return true;
    }
    bool abandon() {
        for (std::int32_t m = 0; m < size(); ++m)
            table_[static_cast<std::size_t>(start_ + m)].DupGroup = DupGroupKey::None;
        return false;
    }

private:
    FileTable& table_;
    std::int64_t start_;
    const std::atomic<bool>* cancel_;
    const CompareProgress* progress_;
    std::vector<std::int64_t> state_;
    std::vector<std::int64_t> reached_;
    std::int64_t done_ = 0;
    std::int64_t lastReported_ = -1;
};

bool Run::refine(Candidates& set, std::int64_t to, const Loader& load,
                 std::vector<Candidates>& split) {
    auto& members = set.members;
    const std::int64_t pos = set.pos;
    if (members.size() == 1 && pos > 0) {
        settle(members.front(), DupGroupKey::None);
        members.clear();
        return true;
    }

    // Every member needs chunk pos (chunk 0 is needed even by a file on its own); the first
    // one that has it leads.
    std::size_t i = 0;
    BlockView lead;
    for (; i < members.size(); ++i) {
        const auto view = load(members[i], 0, pos, to);
        if (!view)
            return false;
        if (view->end > pos) {
            lead = *view;
            break;
        }
        settle(members[i], DupGroupKey::Unreadable);
    }
    if (i + 1 >= members.size()) {
        if (i < members.size())
            settle(members[i], DupGroupKey::None);
        members.clear();
        return true;
    }

    struct Departure {
        std::int64_t chunk;
        std::size_t hash;
        std::int32_t member;
    };
    const std::int32_t leader = members[i];
    std::vector<std::int32_t> stay{leader};
    std::vector<Departure> departures;
    bool leaderNeeded = false; // some member was still equal where the leader's bytes ran out
    for (++i; i < members.size(); ++i) {
        const std::int32_t m = members[i];
        const auto view = load(m, 1, pos, to);
        if (!view)
            return false;
        const std::int64_t d =
            firstDifference(chunks, lead, *view, pos, std::min(lead.end, view->end));
        if (d == to) {
            stay.push_back(m);
            continue;
        }
        if (d == lead.end)
            leaderNeeded = true;
        if (d == view->end)
            settle(m, DupGroupKey::Unreadable);
        else
            departures.push_back({d, chunkHash(chunks, *view, d), m});
    }
    if (lead.end < to)
        settle(leader, leaderNeeded ? DupGroupKey::Unreadable : DupGroupKey::None);
    else if (stay.size() < 2)
        settle(leader, DupGroupKey::None);
    if (lead.end < to || stay.size() < 2)
        stay.clear();

    // Members that left at the same chunk with the same hash are probably equal; the next
    // comparison, from that chunk on, tells exactly.
    std::stable_sort(departures.begin(), departures.end(), [](const auto& a, const auto& b) {
        return a.chunk != b.chunk ? a.chunk < b.chunk : a.hash < b.hash;
    });
    for (std::size_t a = 0; a < departures.size();) {
        std::size_t b = a + 1;
        while (b < departures.size() && departures[b].chunk == departures[a].chunk &&
               departures[b].hash == departures[a].hash)
            ++b;
        if (b - a == 1) {
            settle(departures[a].member, DupGroupKey::None);
        } else {
            Candidates next;
            next.pos = departures[a].chunk;
            for (std::size_t k = a; k < b; ++k)
                next.members.push_back(departures[k].member);
            split.push_back(std::move(next));
        }
        a = b;
    }

    members = std::move(stay);
    set.pos = to;
    return true;
}

bool validRun(const FileTable& table, std::int64_t dupStart, std::int64_t dupEnd) {
    return dupStart >= 0 && dupStart <= dupEnd && dupEnd < static_cast<std::int64_t>(table.size());
}

} // namespace

bool CompFileCnt(FileTable& table, std::int64_t dupStart, std::int64_t dupEnd,
                 const std::atomic<bool>* cancel) {
    if (dupEnd - dupStart + 1 > kOpenRunLimit)
        return CompFileCnt2(table, dupStart, dupEnd, true, cancel);
    if (!validRun(table, dupStart, dupEnd))
        return true;
    if (cancel && cancel->load())
        return Run(table, dupStart, dupEnd, nullptr, nullptr).abandon();
    Run run(table, dupStart, dupEnd, cancel, nullptr);
    const Chunks& chunks = run.chunks;
    if (chunks.count == 0)
        return run.finishWithoutBytes();
    ensureOpenFileLimit();

    const auto n = static_cast<std::size_t>(run.size());
    std::vector<ReadOnlyFile> files(n);
    std::vector<Buffer> buffers(n);
    std::vector<std::int64_t> ends(n, 0);
    Candidates all = run.everyone();
    std::erase_if(all.members, [&](std::int32_t m) {
        auto& file = files[static_cast<std::size_t>(m)];
        if (file.open(run.entry(m).FilePath) != IoError::None) {
            run.settle(m, DupGroupKey::Unreadable);
            return true;
        }
        file.adviseSequential();
        return false;
    });

    std::vector<Candidates> active;
    active.push_back(std::move(all));
    std::int64_t first = 0;
    std::int64_t blockChunks = chunks.fitting(kFirstBlockBytes);
    std::vector<std::int32_t> live;
    std::vector<char> kept(n, 0);
    while (!active.empty()) {
        if (run.cancelled())
            return run.abandon();
        const std::int64_t last = std::min(chunks.count, first + blockChunks);
        live.clear();
        for (const auto& set : active)
            live.insert(live.end(), set.members.begin(), set.members.end());
        for (const std::int32_t m : live) {
            if (run.cancelled())
                return run.abandon();
            const auto k = static_cast<std::size_t>(m);
            char* buf = buffers[k].reserve(chunks.bytes(first, last));
            ends[k] = readBlock(files[k], chunks, first, last, buf);
        }

        const Loader load = [&](std::int32_t m, int, std::int64_t,
                                std::int64_t) -> std::optional<BlockView> {
            const auto k = static_cast<std::size_t>(m);
            return BlockView{buffers[k].data(), first, ends[k]};
        };
        std::vector<Candidates> work = std::move(active);
        active.clear();
        while (!work.empty()) {
            Candidates set = std::move(work.back());
            work.pop_back();
            run.refine(set, last, load, work);
            if (set.members.size() < 2)
                continue;
            if (last == chunks.count)
                run.group(set);
            else
                active.push_back(std::move(set));
        }

        // Files that belong to no group any more are read no further.
        std::size_t stillLive = 0;
        for (const auto& set : active)
            for (const std::int32_t m : set.members) {
                kept[static_cast<std::size_t>(m)] = 1;
                ++stillLive;
            }
        for (const std::int32_t m : live) {
            const auto k = static_cast<std::size_t>(m);
            if (!kept[k]) {
                files[k].close();
                buffers[k].release();
            }
            kept[k] = 0;
        }
        const auto share =
            kBufferBudget / static_cast<std::int64_t>(std::max<std::size_t>(1, stillLive));
        blockChunks = std::min(2 * blockChunks, chunks.fitting(std::min(kMaxBlockBytes, share)));
        first = last;
    }
    return run.finish();
}

bool CompFileCnt2(FileTable& table, std::int64_t dupStart, std::int64_t dupEnd, bool,
                  const std::atomic<bool>* cancel, const CompareProgress& progress) {
    if (!validRun(table, dupStart, dupEnd))
        return true;
    if (cancel && cancel->load())
        return Run(table, dupStart, dupEnd, nullptr, nullptr).abandon();
    Run run(table, dupStart, dupEnd, cancel, &progress);
    const Chunks& chunks = run.chunks;
    if (chunks.count == 0)
        return run.finishWithoutBytes();

    // Many candidates share the budget, down to one chunk each; a set that holds together
    // reads more at a time, up to the largest block.
    const std::int64_t maxChunks = chunks.fitting(kMaxBlockBytes);
    const auto blockFor = [&](std::size_t members) {
        return std::min(maxChunks,
                        chunks.fitting(kBufferBudget / static_cast<std::int64_t>(members)));
    };

    Buffer slots[2];
    const Loader load = [&](std::int32_t m, int slot, std::int64_t from,
                            std::int64_t to) -> std::optional<BlockView> {
        if (run.cancelled())
            return std::nullopt;
        char* buf = slots[slot].reserve(chunks.bytes(from, to));
        std::int64_t end = from;
        ReadOnlyFile file;
        if (file.open(run.entry(m).FilePath) == IoError::None) {
            if (to - from > 1)
                file.adviseSequential();
            end = readBlock(file, chunks, from, to, buf);
        }
        run.advance(m, end);
        run.reportProgress();
        return BlockView{buf, from, end};
    };

    std::vector<Candidates> work;
    work.push_back(run.everyone());
    work.back().blockChunks = blockFor(std::max<std::size_t>(1, work.back().members.size()));
    while (!work.empty()) {
        Candidates set = std::move(work.back());
        work.pop_back();
        while (!set.members.empty()) {
            const std::int64_t to = std::min(chunks.count, set.pos + set.blockChunks);
            const std::size_t before = work.size();
            if (!run.refine(set, to, load, work))
                return run.abandon();
            for (std::size_t k = before; k < work.size(); ++k)
                work[k].blockChunks = blockFor(work[k].members.size());
            if (!set.members.empty() && to == chunks.count) {
                run.group(set);
                break;
            }
            set.blockChunks = std::min(maxChunks, 2 * set.blockChunks);
        }
        run.reportProgress();
    }
    return run.finish();
}

} // namespace trevalo
