// SPDX-License-Identifier: GPL-2.0-or-later
#include "search/ContentCompare.h"

#include "platform/FileSystem.h"
#include "platform/Process.h"

#include <algorithm>
#include <array>
#include <bit>
#include <chrono>
#include <cstring>
#include <limits>
#include <map>
#include <memory>
#include <mutex>
#include <numeric>
#include <optional>
#include <span>
#include <string_view>
#include <system_error>
#include <thread>
#include <tuple>
#include <utility>
#include <vector>
#include <xxhash.h>
#if defined(__x86_64__)
// The library picks the widest vector instructions the processor has (AVX2 where there is,
// twice as wide as the SSE2 it is built for), for the same hashes.
#include <xxh_x86dispatch.h>
#endif

// How a run is compared
// ---------------------
// The grouping works on logical chunks of chunkLength bytes: a set of files known to be equal
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
// The all-open strategy keeps every file of the run open and reads them all in step, one block at
// a time. The streamed strategy keeps only a set's leader open, read only as far as some member
// still agrees with it, and the member being compared with it, read piece by piece up to its first
// difference. A member is thus opened once per set it belongs to (and per window of a huge file)
// and read about once, which is what keeps runs of tens of thousands of files cheap. The members of
// a large set are shared between two threads (three files open then); decisions are still taken in
// member order, so nothing depends on which thread read what.

namespace trevalo {

ByteOffset chunkLength(ByteOffset sz) {
    return sz < 40480 ? sz : 2024;
}

bool ReadDigests::differsFrom(const ReadDigests& other) const {
    if (hasHead && other.hasHead && head != other.head)
        return true;
    for (const PartDigest& p : parts)
        for (const PartDigest& q : other.parts)
            if (p.chunk == q.chunk && p.digest != q.digest)
                return true;
    return false;
}

bool ReadDigests::wantsPart(ChunkIndex chunk) const {
    return parts.size() < kMostParts &&
           std::none_of(parts.begin(), parts.end(),
                        [&](const PartDigest& p) { return p.chunk == chunk; });
}

void ReadDigests::addPart(ChunkIndex chunk, const Digest128& digest) {
    if (wantsPart(chunk))
        parts.add({chunk, digest});
}

void ReadDigests::merge(const ReadDigests& other) {
    if (!hasHead && other.hasHead) {
        hasHead = true;
        head = other.head;
    }
    for (const PartDigest& p : other.parts)
        addPart(p.chunk, p.digest);
}

bool ReadDigests::adds(const ReadDigests& other) const {
    if (hasHead && !other.hasHead)
        return true;
    return std::any_of(parts.begin(), parts.end(), [&](const PartDigest& p) {
        return std::none_of(other.parts.begin(), other.parts.end(),
                            [&](const PartDigest& q) { return q.chunk == p.chunk; });
    });
}

namespace {

// Buffer memory for all runs compared at once (each at least kLeastRunBuffers), and the largest
// block of a single file.
constexpr ByteOffset kBufferBudget = ByteOffset{16} << 20;
constexpr ByteOffset kLeastRunBuffers = ByteOffset{1} << 20;
constexpr ByteOffset kMaxBlockBytes = ByteOffset{256} << 10;
// The first block of files read in step; it doubles while their groups hold together.
constexpr ByteOffset kFirstBlockBytes = ByteOffset{64} << 10;
// Files compared one at a time: how much of the leader is held at once (shared out between the
// runs compared at once, each at least kLeastWindowBytes), and the pieces a file is read in. The
// first piece is small since most members of a large set part early; the later ones stay small
// enough for the cache.
constexpr ByteOffset kWindowBytes = ByteOffset{16} << 20;
constexpr ByteOffset kWindowBudget = ByteOffset{32} << 20;
constexpr ByteOffset kLeastWindowBytes = ByteOffset{2} << 20;
constexpr ByteOffset kFirstPieceBytes = ByteOffset{16} << 10;
constexpr ByteOffset kPieceBytes = ByteOffset{128} << 10;
// Sets with at least this many members to compare with their leader share the work with a
// second thread.
constexpr std::size_t kSharedMeetings = 64;

// The files this process may have open (its limit raised as far as it may be).
long openFileLimit() {
    static const long limit = raiseOpenFileLimit(64 * kAllOpenRunLimit + 64);
    return limit;
}

// Descriptors left for everything but the comparison: the standard streams, the proof cache's
// database with its log and index (twice while it is read in two halves), a results file.
constexpr long kOtherOpenFiles = 32;

// How many files one run may hold open at once, when `runsAtOnce` runs are compared at a time
// and a few descriptors stay free for everything else. Runs longer than this are streamed.
std::int64_t openFileBudget(int runsAtOnce) {
    return std::max<std::int64_t>(0, (openFileLimit() - kOtherOpenFiles) / std::max(1, runsAtOnce));
}

// The share of a budget of one of `runsAtOnce` runs, at least `least`.
ByteOffset shareOf(ByteOffset budget, int runsAtOnce, ByteOffset least) {
    return std::max(least, budget / std::max(1, runsAtOnce));
}

// Runs compared all open that hold their files now. Such a run waits for no descriptor and
// gives every one back when it ends, however long its files take to read.
std::atomic<int> runsHoldingFiles{0};

// A run compared all open, counted in runsHoldingFiles from its first open until release().
class HoldingFiles {
public:
    HoldingFiles() { runsHoldingFiles.fetch_add(1); }
    ~HoldingFiles() { release(); }
    HoldingFiles(const HoldingFiles&) = delete;
    HoldingFiles& operator=(const HoldingFiles&) = delete;
    void release() {
        if (std::exchange(holding_, false))
            runsHoldingFiles.fetch_sub(1);
    }

private:
    bool holding_ = true;
};

// The path of a table entry, put together in one buffer per thread (which keeps its room from
// file to file), valid until the thread's next call.
const std::string& pathOf(const FileEntry& entry) {
    thread_local std::string path;
    path.assign(entry.path.folder()).append(entry.path.name());
    return path;
}

// Opens the file of a table entry as the file the walk found. When no descriptor is free,
// waits and tries again: as long as a run compared all open holds descriptors (they come
// back when it ends), then for a second or so: too many open files says nothing about the
// file.
OsError openEntry(ReadOnlyFile& file, const FileEntry& entry) {
    const std::string& path = pathOf(entry);
    OsError e = file.open(path, &entry.stamp);
    for (int wait = 1; e.tooManyOpen() && wait <= 512;) {
        std::this_thread::sleep_for(std::chrono::milliseconds(wait));
        wait = runsHoldingFiles.load() > 0 ? std::min(2 * wait, 64) : 2 * wait;
        e = file.open(path, &entry.stamp);
    }
    return e;
}

// The logical chunks of files of one size: chunk c covers [c * length, min((c + 1) * length,
// size)).
struct Chunks {
    explicit Chunks(ByteOffset sz)
        : size(sz), length(chunkLength(sz)), count(sz > 0 ? (sz + length - 1) / length : 0) {}

    ByteOffset begin(ChunkIndex c) const { return c * length; }
    ByteOffset end(ChunkIndex c) const { return std::min(size, (c + 1) * length); }
    ByteOffset bytes(ChunkIndex first, ChunkIndex last) const {
        return end(last - 1) - begin(first);
    }
    // Whole chunks that fit in `budget` bytes, at least one.
    ChunkIndex fitting(ByteOffset budget) const { return std::max<ChunkIndex>(1, budget / length); }

    ByteOffset size;
    ByteOffset length;
    ChunkIndex count;
};

// Bytes of one file in memory: chunks [first, end) are complete, chunk `first` at data.
struct BlockView {
    const char* data = nullptr;
    ChunkIndex first = 0;
    ChunkIndex end = 0;
};

// Comparison buffers are kept for the whole search and reused by every run: a block taken
// from the system once is not mapped and unmapped again per run, which would fault its pages
// in anew each time. Blocks come in powers of two; the pool goes back at the end of a search.
// A few small blocks each thread gave back stay with that thread, in front of the pool: runs of
// small files take and give blocks by the hundred thousand, and the threads comparing them
// queued for the pool's lock (two in five of a search's futex calls on /usr).
class BufferPool {
public:
    std::unique_ptr<char[]> take(ByteOffset& capacity) {
        ByteOffset size = 4096;
        while (size < capacity)
            size *= 2;
        capacity = size;
        if (auto* mine = keptBlocksOf(size); mine && !mine->empty()) {
            auto block = std::move(mine->back());
            mine->pop_back();
            return block;
        }
        {
            const std::lock_guard lock(mutex_);
            auto& blocks = free_[size];
            if (!blocks.empty()) {
                auto block = std::move(blocks.back());
                blocks.pop_back();
                pooled_ -= size;
                return block;
            }
        }
        return std::make_unique_for_overwrite<char[]>(static_cast<std::size_t>(size));
    }
    void give(std::unique_ptr<char[]> block, ByteOffset capacity) {
        if (auto* mine = keptBlocksOf(capacity);
            mine && ByteOffset(mine->size() + 1) * capacity <= kKeptPerSize) {
            mine->push_back(std::move(block));
            return;
        }
        const std::lock_guard lock(mutex_);
        if (pooled_ + capacity > kMostPooled)
            return; // freed: the pool holds what a run or two of the search use at once
        free_[capacity].push_back(std::move(block));
        pooled_ += capacity;
    }
    // Empties the pool and the calling thread's blocks (the other threads' go when they end).
    void clear() {
        for (auto& blocks : keptBlocks)
            blocks.clear();
        const std::lock_guard lock(mutex_);
        free_.clear();
        pooled_ = 0;
    }

private:
    // The calling thread's blocks of a size, for sizes of 4 KiB to 64 KiB; at most 256 KiB of
    // each size stay with a thread.
    using Blocks = std::vector<std::unique_ptr<char[]>>;
    static constexpr int kSizesKept = 5;
    static constexpr ByteOffset kKeptPerSize = ByteOffset{256} << 10;
    static Blocks* keptBlocksOf(ByteOffset size) {
        const int k = std::countr_zero(static_cast<std::uint64_t>(size)) - 12;
        return k >= 0 && k < kSizesKept ? &keptBlocks[static_cast<std::size_t>(k)] : nullptr;
    }
    static thread_local std::array<Blocks, kSizesKept> keptBlocks;

    std::mutex mutex_;
    static constexpr ByteOffset kMostPooled = ByteOffset{16} << 20;
    std::map<ByteOffset, std::vector<std::unique_ptr<char[]>>> free_;
    ByteOffset pooled_ = 0;
};

thread_local std::array<BufferPool::Blocks, BufferPool::kSizesKept> BufferPool::keptBlocks;

BufferPool& bufferPool() {
    static BufferPool pool;
    return pool;
}

} // namespace

void releaseComparisonBuffers() {
    bufferPool().clear();
}

int runsAtOnceByOpenFiles() {
    // A streamed run holds its set's leader and the member compared with it, and a second
    // member when a helper shares a large set.
    constexpr long kFilesPerRun = 3;
    return static_cast<int>(std::clamp<long>((openFileLimit() - kOtherOpenFiles) / kFilesPerRun, 1,
                                             std::numeric_limits<int>::max()));
}

namespace {

// A growable buffer from the pool that is not cleared when it grows (every byte used is read
// first).
class Buffer {
public:
    Buffer() = default;
    ~Buffer() { release(); }
    Buffer(Buffer&& other) noexcept
        : data_(std::move(other.data_)), capacity_(std::exchange(other.capacity_, 0)) {}
    Buffer& operator=(Buffer&&) = delete;

    char* reserve(ByteOffset bytes) {
        if (bytes > capacity_) {
            release();
            capacity_ = bytes;
            data_ = bufferPool().take(capacity_);
        }
        return data_.get();
    }
    const char* data() const { return data_.get(); }
    void release() {
        if (data_)
            bufferPool().give(std::move(data_), capacity_);
        capacity_ = 0;
    }

private:
    std::unique_ptr<char[]> data_;
    ByteOffset capacity_ = 0;
};

// Reads chunks [first, last) of an open file into buf; returns the end of the complete chunks,
// and where that is short of last, why in `reason`. A short read means the file ended early: it
// shrank since it was found. After a failed read the block is read again chunk by chunk, so that
// only the chunks that really cannot be read are missing.
ChunkIndex readBlock(ReadOnlyFile& file, const Chunks& chunks, ChunkIndex first, ChunkIndex last,
                     char* buf, int& reason) {
    const ByteOffset start = chunks.begin(first);
    const ByteOffset bytes = chunks.bytes(first, last);
    const ByteOffset got = file.readAt(start, buf, bytes);
    if (got == bytes)
        return last;
    if (got >= 0) {
        reason = kReasonChanged;
        return first + got / chunks.length;
    }
    for (ChunkIndex c = first; c < last; ++c) {
        const ByteOffset length = chunks.end(c) - chunks.begin(c);
        const ByteOffset n = file.readAt(chunks.begin(c), buf + (chunks.begin(c) - start), length);
        if (n != length) {
            reason = n < 0 ? file.lastError().code() : kReasonChanged;
            return c;
        }
    }
    return last;
}

const char* chunkAt(const Chunks& chunks, const BlockView& v, ChunkIndex c) {
    return v.data + (chunks.begin(c) - chunks.begin(v.first));
}

// The first chunk in [from, limit) where a and b differ, or limit when none does.
ChunkIndex firstDifference(const Chunks& chunks, const BlockView& a, const BlockView& b,
                           ChunkIndex from, ChunkIndex limit) {
    if (from >= limit)
        return limit;
    const auto whole = static_cast<std::size_t>(chunks.bytes(from, limit));
    if (std::memcmp(chunkAt(chunks, a, from), chunkAt(chunks, b, from), whole) == 0)
        return limit;
    for (ChunkIndex c = from; c < limit; ++c) {
        const auto length = static_cast<std::size_t>(chunks.end(c) - chunks.begin(c));
        if (std::memcmp(chunkAt(chunks, a, c), chunkAt(chunks, b, c), length) != 0)
            return c;
    }
    return limit;
}

std::size_t chunkHash(const Chunks& chunks, const BlockView& v, ChunkIndex c) {
    const auto length = static_cast<std::size_t>(chunks.end(c) - chunks.begin(c));
    // The hash only proposes which files may be equal; their bytes decide.
    return static_cast<std::size_t>(XXH3_64bits(chunkAt(chunks, v, c), length));
}

// Files of a run (positions in the run, ascending) that are equal over chunks [0, pos) and
// still to be compared from chunk pos on.
struct Candidates {
    std::vector<std::int32_t> members;
    ChunkIndex pos = 0;
};

Digest128 digestOf(const char* bytes, std::size_t length) {
    const XXH128_hash_t h = XXH3_128bits(bytes, length);
    return {h.low64, h.high64};
}

Digest128 chunkDigest(const Chunks& chunks, const BlockView& v, ChunkIndex c) {
    return digestOf(chunkAt(chunks, v, c),
                    static_cast<std::size_t>(chunks.end(c) - chunks.begin(c)));
}

// What comparing a member with its set's leader over chunks [pos, to) found: the first chunk
// where the two are not both there and equal (`to` when there is none), which of the two lacks
// that chunk, and otherwise a hash of the member's bytes of it.
struct Meeting {
    ChunkIndex chunk = 0;
    bool leaderLacks = false;
    bool memberLacks = false;
    std::size_t hash = 0;
    // When digests are asked for: the digest of the member's chunk where it parts, whose low
    // half is then its hash (the same bytes are not hashed twice).
    bool digested = false;
    Digest128 digest;

    void setDigest(const Digest128& d) {
        digested = true;
        digest = d;
        hash = static_cast<std::size_t>(d.low);
    }
};

// The meeting over chunks [from, to) of a leader and a member whose bytes are in memory; the
// member's view ends at `to` at the latest. The hash is left out unless `hashed`; with
// `digests`, the member's chunk where it parts is digested, and the hash is half of that digest.
// A run takes its hashes one way or the other throughout, since equal bytes must get equal
// hashes to be compared with each other.
Meeting meetingOf(const Chunks& chunks, const BlockView& lead, const BlockView& member,
                  ChunkIndex from, ChunkIndex to, bool hashed, bool digests) {
    Meeting r;
    r.chunk = firstDifference(chunks, lead, member, from, std::min(lead.end, member.end));
    if (r.chunk == to)
        return r;
    r.leaderLacks = r.chunk == lead.end;
    r.memberLacks = r.chunk == member.end;
    if (r.memberLacks)
        return r;
    if (digests)
        r.setDigest(chunkDigest(chunks, member, r.chunk));
    else if (hashed)
        r.hash = chunkHash(chunks, member, r.chunk);
    return r;
}

// A member that leaves its set there, for another set or none (its hash tells which).
bool departs(const Meeting& meeting, ChunkIndex to) {
    return meeting.chunk < to && !meeting.memberLacks;
}

// Whether a member could lead a set from a chunk on.
enum class Lead { Has, Lacks, Cancelled };

// Where a refinement gets the bytes of the files it compares.
class ByteSource {
public:
    virtual ~ByteSource() = default;
    // Makes run member m the leader over chunks [pos, to), unless it lacks chunk pos or the
    // run was cancelled.
    virtual Lead lead(std::int32_t m, ChunkIndex pos, ChunkIndex to) = 0;
    // Compares each of `members` with the leader, into meetings[k] for members[k]; false when
    // the run was cancelled.
    virtual bool meetAll(std::span<const std::int32_t> members, std::vector<Meeting>& meetings) = 0;
    // Why member m's bytes ended before the run's size (after lead or meetAll said so).
    virtual int reasonOf(std::int32_t m) const = 0;
    // The digest of the leader's chunk c, one it holds (from pos on, before where it lacks).
    virtual Digest128 leaderDigest(ChunkIndex c) const = 0;
};

// One run of equal-size files and what has been decided about each of them. The table is
// written only when the run is finished, so an abandoned run leaves no trace.
class RunDecisions {
public:
    RunDecisions(FileTable& table, TableIndex dupStart, TableIndex dupEnd,
                 const std::atomic<bool>* cancel, const CompareProgress* progress)
        : chunks(table[static_cast<std::size_t>(dupStart)].size), table_(table), start_(dupStart),
          cancel_(cancel), progress_(progress),
          state_(static_cast<std::size_t>(dupEnd - dupStart + 1), GroupMark::None),
          reasons_(state_.size(), kReasonNone), reached_(state_.size(), 0),
          rotating_(chunks.size > 0 && onRotatingDisk(entry(0).stamp.device)) {}

    const Chunks chunks;

    // The order to read `members` in (positions in it): on a disk whose head moves, that of
    // their inode numbers, which on most file systems follows where their data lies, so that
    // the head sweeps rather than jumps; elsewhere as they come. Decisions never depend on it.
    void readingOrder(std::span<const std::int32_t> members,
                      std::vector<std::size_t>& order) const {
        order.resize(members.size());
        std::iota(order.begin(), order.end(), std::size_t{0});
        if (!rotating_)
            return;
        std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
            const FileStamp& x = entry(members[a]).stamp;
            const FileStamp& y = entry(members[b]).stamp;
            return std::tie(x.device, x.inode, a) < std::tie(y.device, y.inode, b);
        });
    }

    std::int32_t size() const { return static_cast<std::int32_t>(state_.size()); }
    const FileEntry& entry(std::int32_t m) const {
        return table_[static_cast<std::size_t>(start_ + m)];
    }
    bool cancelled() const { return cancel_ && cancel_->load(std::memory_order_relaxed); }

    // Where the digests of what is read of each member go, when they are asked for.
    void recordDigests(ReadDigests* digests) { digests_ = digests; }
    bool digestsWanted() const { return digests_ != nullptr; }

    // Every member of the run that can take part: the entries of the run's size.
    Candidates everyone() const {
        Candidates all;
        all.members.reserve(state_.size());
        for (std::int32_t m = 0; m < size(); ++m)
            if (entry(m).size == chunks.size)
                all.members.push_back(m);
        return all;
    }

    // Without bytes to compare (sizes 0 and -1) only the files that cannot be opened stand out.
    bool finishWithoutBytes() {
        for (const std::int32_t m : everyone().members) {
            ReadOnlyFile file;
            if (!openEntry(file, entry(m)))
                settle(m, GroupMark::None);
            else
                settle(m, GroupMark::Unreadable, file.lastError().code());
        }
        return finish();
    }

    void settle(std::int32_t m, EntryGroup value, int reason = kReasonNone) {
        state_[static_cast<std::size_t>(m)] = value;
        reasons_[static_cast<std::size_t>(m)] = reason;
        advance(m, chunks.count);
    }
    void group(const Candidates& set) {
        for (const std::int32_t m : set.members)
            settle(m, start_ + set.members.front());
    }

    // Compares the members of `set` over chunks [set.pos, to). The members that stay equal to
    // the leader all the way are left in the set, now at pos `to`; the others are decided, or
    // leave in new candidate sets appended to `split`. False when the run was cancelled.
    bool refine(Candidates& set, ChunkIndex to, ByteSource& source, std::vector<Candidates>& split);

    // Counts chunks of member m as compared, for the progress report. Two threads may count
    // at once, never for the same member; only the run's own thread reports.
    void advance(std::int32_t m, ChunkIndex end) {
        auto& reached = reached_[static_cast<std::size_t>(m)];
        if (end > reached) {
            done_.fetch_add(end - reached, std::memory_order_relaxed);
            reached = end;
        }
    }
    void reportProgress() {
        if (!progress_ || !*progress_ || chunks.count <= 0)
            return;
        const double total = static_cast<double>(size()) * static_cast<double>(chunks.count);
        const double share = static_cast<double>(done_.load(std::memory_order_relaxed)) / total;
        if (share - lastReported_ >= kReportStep || (share >= 1 && lastReported_ < 1)) {
            lastReported_ = share;
            (*progress_)(share);
        }
    }

    // `open`, when given, holds the run's files by member, those still open looked at through
    // their descriptors.
    bool finish(const std::vector<ReadOnlyFile>* open = nullptr) {
        confirmGroups(open);
        for (std::int32_t m = 0; m < size(); ++m) {
            FileEntry& e = table_[static_cast<std::size_t>(start_ + m)];
            e.group = state_[static_cast<std::size_t>(m)];
            if (e.group == GroupMark::Unreadable)
                e.reason = reasons_[static_cast<std::size_t>(m)];
        }
        return true;
    }
    // A file written to while it was read (or since the walk) may no longer hold the bytes that
    // were compared: every member of a group is looked at once more, and one that is not the
    // file the walk found, unchanged, leaves its group as "changed since the search". A file
    // still open is looked at through its descriptor (the file that was read), the others by
    // path. A group left with one member is no group; the others are keyed by their smallest
    // index again.
    void confirmGroups(const std::vector<ReadOnlyFile>* open) {
        bool anyChanged = false;
        for (std::int32_t m = 0; m < size(); ++m) {
            auto& state = state_[static_cast<std::size_t>(m)];
            if (state < 0)
                continue;
            const ReadOnlyFile* file = open ? &(*open)[static_cast<std::size_t>(m)] : nullptr;
            const FileStatus now =
                file && file->isOpen() ? file->status() : statEntry(pathOf(entry(m)));
            if (!isSameFile(now, entry(m).stamp)) {
                state = GroupMark::Unreadable;
                reasons_[static_cast<std::size_t>(m)] = kReasonChanged;
                anyChanged = true;
            }
        }
        if (!anyChanged)
            return;
        std::map<EntryGroup, std::vector<std::int32_t>> groups;
        for (std::int32_t m = 0; m < size(); ++m)
            if (state_[static_cast<std::size_t>(m)] >= 0)
                groups[state_[static_cast<std::size_t>(m)]].push_back(m);
        for (const auto& [key, members] : groups)
            for (const std::int32_t m : members)
                state_[static_cast<std::size_t>(m)] =
                    members.size() < 2 ? GroupMark::None : start_ + members.front();
    }
    bool abandon() {
        for (std::int32_t m = 0; m < size(); ++m)
            table_[static_cast<std::size_t>(start_ + m)].group = GroupMark::None;
        return false;
    }

private:
    // A member that parted from its set's leader, and where.
    struct Departure {
        ChunkIndex chunk;
        std::size_t hash;
        std::int32_t member;
    };
    // The position in `members` of the first one that has chunk pos, with those before it
    // settled as unreadable; members.size() when none has it, nullopt when the run was
    // cancelled.
    std::optional<std::size_t> findLeader(const std::vector<std::int32_t>& members, ChunkIndex pos,
                                          ChunkIndex to, ByteSource& source);
    // Members that left at the same chunk with the same hash are probably equal: each such
    // bunch goes to `split`, to be compared from that chunk on; a member alone is in no group.
    void regroup(std::vector<Departure>& departures, std::vector<Candidates>& split);
    // What comparing `others` with `leader` over chunks [pos, to) tells of the digests of their
    // reads (when asked for), on the run's own thread: the first chunk is digested once per
    // set, its leader's, and a member equal to the leader over it has the same; where a member
    // parts from the leader past the first chunk, that chunk of both.
    void noteDigests(std::int32_t leader, ChunkIndex pos, ChunkIndex to,
                     std::span<const std::int32_t> others, const std::vector<Meeting>& meetings,
                     const ByteSource& source);

    FileTable& table_;
    TableIndex start_;
    const std::atomic<bool>* cancel_;
    const CompareProgress* progress_;
    std::vector<EntryGroup> state_;
    std::vector<std::int32_t> reasons_;
    std::vector<ChunkIndex> reached_;
    std::atomic<ChunkIndex> done_{0};
    double lastReported_ = 0;
    // The share of a run that moves its report on: a run of two 16 GB files reports every 32 MB.
    static constexpr double kReportStep = 1.0 / 1024;
    bool rotating_;
    ReadDigests* digests_ = nullptr;
};

std::optional<std::size_t> RunDecisions::findLeader(const std::vector<std::int32_t>& members,
                                                    ChunkIndex pos, ChunkIndex to,
                                                    ByteSource& source) {
    for (std::size_t i = 0; i < members.size(); ++i) {
        const auto has = source.lead(members[i], pos, to);
        if (has == Lead::Cancelled)
            return std::nullopt;
        if (has == Lead::Has)
            return i;
        settle(members[i], GroupMark::Unreadable, source.reasonOf(members[i]));
    }
    return members.size();
}

void RunDecisions::noteDigests(std::int32_t leader, ChunkIndex pos, ChunkIndex to,
                               std::span<const std::int32_t> others,
                               const std::vector<Meeting>& meetings, const ByteSource& source) {
    if (!digests_)
        return;
    ReadDigests& lead = digests_[leader];
    if (pos == 0 && !lead.hasHead) {
        lead.head = source.leaderDigest(0);
        lead.hasHead = true;
    }
    for (std::size_t k = 0; k < others.size(); ++k) {
        const Meeting& meeting = meetings[k];
        ReadDigests& d = digests_[others[k]];
        if (meeting.chunk == 0) { // parts at once, or cannot be read
            if (meeting.digested && !d.hasHead) {
                d.head = meeting.digest;
                d.hasHead = true;
            }
            continue;
        }
        if (pos == 0 && !d.hasHead) {
            d.head = lead.head;
            d.hasHead = true;
        }
        if (meeting.chunk == to || !meeting.digested || meeting.leaderLacks)
            continue;
        if (lead.wantsPart(meeting.chunk))
            lead.addPart(meeting.chunk, source.leaderDigest(meeting.chunk));
        d.addPart(meeting.chunk, meeting.digest);
    }
    // A member has the leader's bytes in every chunk before the one where it parts (all of
    // them when it does not): the leader's digests of those chunks, taken where others parted,
    // are its own. Two members that part from the leader at different chunks are then told
    // apart by a later search without reading either.
    for (std::size_t k = 0; k < others.size(); ++k) {
        const Meeting& meeting = meetings[k];
        if (meeting.memberLacks)
            continue;
        ReadDigests& d = digests_[others[k]];
        for (const PartDigest& part : lead.parts)
            if (part.chunk >= pos && part.chunk < meeting.chunk)
                d.addPart(part.chunk, part.digest);
    }
}

void RunDecisions::regroup(std::vector<Departure>& departures, std::vector<Candidates>& split) {
    // Members are in ascending order, and so stay in each bunch.
    std::sort(departures.begin(), departures.end(), [](const auto& a, const auto& b) {
        return std::tie(a.chunk, a.hash, a.member) < std::tie(b.chunk, b.hash, b.member);
    });
    for (std::size_t a = 0; a < departures.size();) {
        std::size_t b = a + 1;
        while (b < departures.size() && departures[b].chunk == departures[a].chunk &&
               departures[b].hash == departures[a].hash)
            ++b;
        if (b - a == 1) {
            settle(departures[a].member, GroupMark::None);
        } else {
            Candidates next;
            next.pos = departures[a].chunk;
            for (std::size_t k = a; k < b; ++k)
                next.members.push_back(departures[k].member);
            split.push_back(std::move(next));
        }
        a = b;
    }
}

bool RunDecisions::refine(Candidates& set, ChunkIndex to, ByteSource& source,
                          std::vector<Candidates>& split) {
    auto& members = set.members;
    const ChunkIndex pos = set.pos;
    if (members.size() == 1 && pos > 0) {
        settle(members.front(), GroupMark::None);
        members.clear();
        return true;
    }

    // Every member needs chunk pos (chunk 0 is needed even by a file on its own); the first
    // one that has it leads.
    const std::optional<std::size_t> found = findLeader(members, pos, to, source);
    if (!found)
        return false;
    const std::size_t i = *found;
    if (i + 1 >= members.size()) {
        if (i < members.size()) {
            settle(members[i], GroupMark::None);
            noteDigests(members[i], pos, to, {}, {}, source);
        }
        members.clear();
        return true;
    }

    const std::int32_t leader = members[i];
    const std::span<const std::int32_t> others(members.begin() + static_cast<std::ptrdiff_t>(i + 1),
                                               members.end());
    // Arrays kept by the thread from one set to the next (refine is called for every run).
    thread_local std::vector<Meeting> meetings;
    thread_local std::vector<std::int32_t> stay;
    thread_local std::vector<Departure> departures;
    meetings.assign(others.size(), Meeting{});
    if (!source.meetAll(others, meetings))
        return false;
    stay.assign(1, leader);
    departures.clear();
    bool leaderNeeded = false; // some member was still equal where the leader's bytes ran out
    for (std::size_t k = 0; k < others.size(); ++k) {
        const std::int32_t m = others[k];
        const Meeting& meeting = meetings[k];
        if (meeting.chunk == to) {
            stay.push_back(m);
            continue;
        }
        if (meeting.leaderLacks)
            leaderNeeded = true;
        if (meeting.memberLacks)
            settle(m, GroupMark::Unreadable, source.reasonOf(m));
        else
            departures.push_back({meeting.chunk, meeting.hash, m});
    }
    noteDigests(leader, pos, to, others, meetings, source);
    // A leader whose bytes ran out kept no one: stay holds it alone.
    if (leaderNeeded)
        settle(leader, GroupMark::Unreadable, source.reasonOf(leader));
    else if (stay.size() < 2)
        settle(leader, GroupMark::None);
    if (stay.size() < 2)
        stay.clear();
    regroup(departures, split);

    members.assign(stay.begin(), stay.end()); // within the room members had
    set.pos = to;
    return true;
}

// The files of a run read in step: every member's bytes of one block are already in memory.
class BlockSource final : public ByteSource {
public:
    BlockSource(const Chunks& chunks, const std::vector<Buffer>& buffers,
                const std::vector<ChunkIndex>& ends, const std::vector<int>& reasons,
                ChunkIndex first, bool digests)
        : chunks_(chunks), buffers_(buffers), ends_(ends), reasons_(reasons), first_(first),
          digests_(digests) {}

    int reasonOf(std::int32_t m) const override { return reasons_[static_cast<std::size_t>(m)]; }
    Digest128 leaderDigest(ChunkIndex c) const override { return chunkDigest(chunks_, lead_, c); }

    Lead lead(std::int32_t m, ChunkIndex pos, ChunkIndex to) override {
        lead_ = view(m);
        pos_ = pos;
        to_ = to;
        return lead_.end > pos ? Lead::Has : Lead::Lacks;
    }
    // A member that is the only one to part from the leader at its chunk is on its own, so
    // hashes are taken only where two or more part at the same chunk.
    bool meetAll(std::span<const std::int32_t> members, std::vector<Meeting>& meetings) override {
        thread_local std::vector<ChunkIndex> parted; // the thread's, from one block to the next
        parted.clear();
        for (std::size_t k = 0; k < members.size(); ++k) {
            meetings[k] = meetingOf(chunks_, lead_, view(members[k]), pos_, to_, false, digests_);
            if (departs(meetings[k], to_))
                parted.push_back(meetings[k].chunk);
        }
        if (parted.size() < 2)
            return true;
        std::sort(parted.begin(), parted.end());
        for (std::size_t k = 0; k < members.size(); ++k) {
            Meeting& meeting = meetings[k];
            if (!departs(meeting, to_))
                continue;
            const auto [lo, hi] = std::equal_range(parted.begin(), parted.end(), meeting.chunk);
            if (hi - lo > 1 && !meeting.digested)
                meeting.hash = chunkHash(chunks_, view(members[k]), meeting.chunk);
        }
        return true;
    }

private:
    BlockView view(std::int32_t m) const {
        const auto k = static_cast<std::size_t>(m);
        return BlockView{buffers_[k].data(), first_, ends_[k]};
    }

    const Chunks& chunks_;
    const std::vector<Buffer>& buffers_;
    const std::vector<ChunkIndex>& ends_;
    const std::vector<int>& reasons_;
    ChunkIndex first_;
    bool digests_;
    BlockView lead_;
    ChunkIndex pos_ = 0;
    ChunkIndex to_ = 0;
};

// The files of a run read one after the other: the leader only as far as some member still
// agrees with it, each member piece by piece up to its first difference from the leader. The
// members of a large set are shared between the run's thread and a helper; the leader is read
// by whichever of them needs more of it first.
class StreamSource final : public ByteSource {
public:
    explicit StreamSource(RunDecisions& run)
        : run_(run), chunks_(run.chunks), firstPiece_(chunks_.fitting(kFirstPieceBytes)),
          piece_(chunks_.fitting(kPieceBytes)), reasons_(static_cast<std::size_t>(run.size())) {}

    int reasonOf(std::int32_t m) const override { return reasons_[static_cast<std::size_t>(m)]; }
    Digest128 leaderDigest(ChunkIndex c) const override {
        return chunkDigest(chunks_, leadView(leadEnd_.load(std::memory_order_acquire)), c);
    }

    Lead lead(std::int32_t m, ChunkIndex pos, ChunkIndex to) override {
        if (run_.cancelled())
            return Lead::Cancelled;
        leader_ = m;
        pos_ = pos;
        to_ = to;
        leadEnd_.store(pos, std::memory_order_relaxed);
        leadEnded_ = false;
        leadAdvised_ = false;
        leadData_ = leadBytes_.reserve(chunks_.bytes(pos, to));
        if (!openEntry(leadFile_, run_.entry(m)))
            return extendLeader(std::min(to, pos + firstPiece_)) > pos ? Lead::Has : Lead::Lacks;
        reasons_[static_cast<std::size_t>(m)] = leadFile_.lastError().code();
        leadEnded_ = true;
        return Lead::Lacks;
    }

    bool meetAll(std::span<const std::int32_t> members, std::vector<Meeting>& meetings) override {
        static const bool twoCores = usableCores() > 1;
        std::atomic<std::size_t> next{0};
        std::atomic<bool> cancelled{false};
        run_.readingOrder(members, order_);
        const auto work = [&](Buffer& piece, bool reports) {
            for (std::size_t at; (at = next.fetch_add(1)) < members.size();) {
                const std::size_t k = order_[at];
                const auto meeting = meet(piece, members[k], reports);
                if (!meeting) {
                    cancelled = true;
                    return;
                }
                meetings[k] = *meeting;
            }
        };
        std::jthread helper;
        if (members.size() >= kSharedMeetings && twoCores) {
            // The helper's buffer is made here, so that a failed allocation is this thread's.
            pieces_[1].reserve(chunks_.bytes(0, std::min(chunks_.count, piece_)));
            try {
                helper = std::jthread(work, std::ref(pieces_[1]), false);
            } catch (const std::system_error&) {
                // No second thread: this one does it all.
            }
        }
        work(pieces_[0], true);
        helper = {}; // joins the helper
        return !cancelled;
    }

private:
    // Compares member m with the leader, reading it into `piece`; `reports` on the run's own
    // thread only.
    std::optional<Meeting> meet(Buffer& piece, std::int32_t m, bool reports) {
        ReadOnlyFile file;
        if (openEntry(file, run_.entry(m))) {
            reasons_[static_cast<std::size_t>(m)] = file.lastError().code();
            return meetingOf(chunks_, leadView(extendLeader(pos_ + 1)),
                             BlockView{nullptr, pos_, pos_}, pos_, to_, true, false);
        }
        for (ChunkIndex from = pos_;;) {
            if (run_.cancelled())
                return std::nullopt;
            if (from == pos_ + firstPiece_) // the file goes on past its first piece
                file.adviseSequential();
            const ChunkIndex stop = std::min(to_, from + (from == pos_ ? firstPiece_ : piece_));
            char* buf = piece.reserve(chunks_.bytes(from, stop));
            const ChunkIndex end =
                readBlock(file, chunks_, from, stop, buf, reasons_[static_cast<std::size_t>(m)]);
            run_.advance(m, end);
            if (reports)
                run_.reportProgress();
            const Meeting r =
                meetingOf(chunks_, leadView(extendLeader(stop)), BlockView{buf, from, end}, from,
                          stop, true, run_.digestsWanted());
            if (r.chunk < stop || stop == to_)
                return r;
            from = stop;
        }
    }

    BlockView leadView(ChunkIndex end) const { return BlockView{leadData_, pos_, end}; }

    // Reads the leader on until it holds the chunks before `need`, or its bytes end; returns
    // the end of its chunks in memory. Bytes below that end are never written again.
    ChunkIndex extendLeader(ChunkIndex need) {
        ChunkIndex end = leadEnd_.load(std::memory_order_acquire);
        if (end >= need)
            return end;
        const std::lock_guard lock(leadMutex_);
        end = leadEnd_.load(std::memory_order_relaxed);
        while (!leadEnded_ && end < need) {
            if (end > pos_ && !leadAdvised_) {
                leadFile_.adviseSequential();
                leadAdvised_ = true;
            }
            const ChunkIndex stop = std::min(to_, std::max(need, end + piece_));
            char* buf = leadData_ + (chunks_.begin(end) - chunks_.begin(pos_));
            const ChunkIndex got = readBlock(leadFile_, chunks_, end, stop, buf,
                                             reasons_[static_cast<std::size_t>(leader_)]);
            leadEnded_ = got < stop;
            end = got;
            leadEnd_.store(end, std::memory_order_release);
            run_.advance(leader_, end);
        }
        if (leadEnded_ || end == to_)
            leadFile_.close();
        return end;
    }

    RunDecisions& run_;
    const Chunks& chunks_;
    const ChunkIndex firstPiece_;
    const ChunkIndex piece_;
    Buffer pieces_[2];               // one for each thread comparing members
    std::vector<std::size_t> order_; // the members in the order they are read

    // The leader over chunks [pos_, to_): its bytes from pos_ on are at leadData_, complete up
    // to leadEnd_. The rest is changed under leadMutex_ only.
    std::mutex leadMutex_;
    std::int32_t leader_ = 0;
    ChunkIndex pos_ = 0;
    ChunkIndex to_ = 0;
    ReadOnlyFile leadFile_;
    Buffer leadBytes_;
    char* leadData_ = nullptr;
    std::atomic<ChunkIndex> leadEnd_{0};
    bool leadEnded_ = false;
    bool leadAdvised_ = false;
    // Why a member's (or the leader's) bytes ended early; each written by the thread that
    // reads that file.
    std::vector<int> reasons_;
};

bool validRun(const FileTable& table, TableIndex dupStart, TableIndex dupEnd) {
    return dupStart >= 0 && dupStart <= dupEnd && dupEnd < static_cast<TableIndex>(table.size());
}

bool compareStreamed(FileTable& table, TableIndex dupStart, TableIndex dupEnd,
                     const CompareControl& control);

// The files of a run compared all open, by member: the open file, its block of bytes, the end
// of its complete chunks there, and why they end early.
struct OpenFiles {
    // Ready for a run of n files, with none open.
    void reset(std::size_t n) {
        files.clear();
        files.resize(n);
        buffers.clear();
        buffers.resize(n);
        ends.assign(n, 0);
        reasons.assign(n, kReasonNone);
    }
    // Closes the files and gives back their blocks; the arrays keep their room.
    void close() {
        files.clear();
        buffers.clear();
    }

    std::vector<ReadOnlyFile> files;
    std::vector<Buffer> buffers;
    std::vector<ChunkIndex> ends;
    std::vector<int> reasons;
};

// What a run compared all open works in, kept by its thread from one run to the next: a search
// compares thousands of small runs a second, and arrays made afresh for each were most of the
// comparison's allocations.
struct AllOpenScratch {
    OpenFiles open;
    std::vector<Candidates> active;
    std::vector<Candidates> work;
    std::vector<std::int32_t> live;
    std::vector<std::size_t> order;
    std::vector<char> inGroup;
};

// Readies `open` for a run of n files, and closes them when the run ends, however it ends.
class FilesOfRun {
public:
    FilesOfRun(OpenFiles& open, std::size_t n) : open_(open) { open_.reset(n); }
    ~FilesOfRun() { open_.close(); }
    FilesOfRun(const FilesOfRun&) = delete;
    FilesOfRun& operator=(const FilesOfRun&) = delete;

private:
    OpenFiles& open_;
};

// Opens every member of `all`, settling those that cannot be opened as unreadable (and taking
// them out); false, when the system runs out of descriptors, with the rest left unopened.
bool openEveryone(RunDecisions& run, OpenFiles& open, Candidates& all, ChunkIndex blockChunks) {
    bool outOfDescriptors = false;
    std::erase_if(all.members, [&](std::int32_t m) {
        auto& file = open.files[static_cast<std::size_t>(m)];
        if (outOfDescriptors)
            return false;
        if (file.open(pathOf(run.entry(m)), &run.entry(m).stamp)) {
            if (file.lastError().tooManyOpen()) {
                outOfDescriptors = true;
                return false;
            }
            run.settle(m, GroupMark::Unreadable, file.lastError().code());
            return true;
        }
        if (run.chunks.count > blockChunks) // more than one read
            file.adviseSequential();
        return false;
    });
    return !outOfDescriptors;
}

// Reads chunks [first, last) of every member of `live`; false when the run was cancelled.
bool readInStep(RunDecisions& run, OpenFiles& open, const std::vector<std::int32_t>& live,
                ChunkIndex first, ChunkIndex last, std::vector<std::size_t>& order) {
    run.readingOrder(live, order);
    for (const std::size_t at : order) {
        if (run.cancelled())
            return false;
        const auto k = static_cast<std::size_t>(live[at]);
        char* buf = open.buffers[k].reserve(run.chunks.bytes(first, last));
        open.ends[k] = readBlock(open.files[k], run.chunks, first, last, buf, open.reasons[k]);
        run.advance(live[at], open.ends[k]);
    }
    run.reportProgress();
    return true;
}

// Closes the files of `live` that belong to no set of `active` any more (they are read no
// further); returns how many files are still read. `inGroup` is all zero before and after.
std::size_t closeParted(OpenFiles& open, const std::vector<Candidates>& active,
                        const std::vector<std::int32_t>& live, std::vector<char>& inGroup) {
    std::size_t stillLive = 0;
    for (const auto& set : active)
        for (const std::int32_t m : set.members) {
            inGroup[static_cast<std::size_t>(m)] = 1;
            ++stillLive;
        }
    for (const std::int32_t m : live) {
        const auto k = static_cast<std::size_t>(m);
        if (!inGroup[k]) {
            open.files[k].close();
            open.buffers[k].release();
        }
        inGroup[k] = 0;
    }
    return stillLive;
}

// Every file of the run open at once, read in step.
bool compareAllOpen(FileTable& table, TableIndex dupStart, TableIndex dupEnd,
                    const CompareControl& control) {
    const std::atomic<bool>* cancel = control.cancel;
    if (cancel && cancel->load())
        return RunDecisions(table, dupStart, dupEnd, nullptr, nullptr).abandon();
    RunDecisions run(table, dupStart, dupEnd, cancel, &control.progress);
    run.recordDigests(control.digests);
    const Chunks& chunks = run.chunks;
    if (chunks.count == 0)
        return run.finishWithoutBytes();
    // With too few descriptors for every file of the run at once, the run is streamed.
    if (run.size() > openFileBudget(control.runsAtOnce))
        return compareStreamed(table, dupStart, dupEnd, control);

    const auto n = static_cast<std::size_t>(run.size());
    thread_local AllOpenScratch scratch;
    auto& [open, active, work, live, order, inGroup] = scratch;
    HoldingFiles holding; // released after the files close
    const FilesOfRun files(open, n);
    ChunkIndex blockChunks = chunks.fitting(kFirstBlockBytes);
    const ByteOffset runBuffers = shareOf(kBufferBudget, control.runsAtOnce, kLeastRunBuffers);
    Candidates all = run.everyone();
    if (!openEveryone(run, open, all, blockChunks)) {
        open.close();
        holding.release(); // streamed, this run waits for descriptors like any other
        return compareStreamed(table, dupStart, dupEnd, control);
    }

    active.clear();
    active.push_back(std::move(all));
    ChunkIndex first = 0;
    inGroup.assign(n, 0);
    while (!active.empty()) {
        if (run.cancelled())
            return run.abandon();
        const ChunkIndex last = std::min(chunks.count, first + blockChunks);
        live.clear();
        for (const auto& set : active)
            live.insert(live.end(), set.members.begin(), set.members.end());
        if (!readInStep(run, open, live, first, last, order))
            return run.abandon();

        BlockSource source(chunks, open.buffers, open.ends, open.reasons, first,
                           run.digestsWanted());
        work.clear();
        work.swap(active);
        while (!work.empty()) {
            Candidates set = std::move(work.back());
            work.pop_back();
            run.refine(set, last, source, work);
            if (set.members.size() < 2)
                continue;
            if (last == chunks.count)
                run.group(set);
            else
                active.push_back(std::move(set));
        }

        // Groups form at the last block only; their files stay open for the check after it.
        if (last == chunks.count)
            break;
        const std::size_t stillLive = closeParted(open, active, live, inGroup);
        const auto share =
            runBuffers / static_cast<ByteOffset>(std::max<std::size_t>(1, stillLive));
        blockChunks = std::min(2 * blockChunks, chunks.fitting(std::min(kMaxBlockBytes, share)));
        first = last;
    }
    return run.finish(&open.files);
}

// Each file streamed against the leader of its set.
bool compareStreamed(FileTable& table, TableIndex dupStart, TableIndex dupEnd,
                     const CompareControl& control) {
    const std::atomic<bool>* cancel = control.cancel;
    const CompareProgress& progress = control.progress;
    if (cancel && cancel->load())
        return RunDecisions(table, dupStart, dupEnd, nullptr, nullptr).abandon();
    RunDecisions run(table, dupStart, dupEnd, cancel, &progress);
    run.recordDigests(control.digests);
    const Chunks& chunks = run.chunks;
    if (chunks.count == 0)
        return run.finishWithoutBytes();

    // A set is compared a window at a time, so that the leader's bytes held stay bounded for
    // files of any size.
    const ChunkIndex window = chunks.fitting(
        std::min(kWindowBytes, shareOf(kWindowBudget, control.runsAtOnce, kLeastWindowBytes)));
    StreamSource source(run);
    std::vector<Candidates> work;
    work.push_back(run.everyone());
    while (!work.empty()) {
        Candidates set = std::move(work.back());
        work.pop_back();
        while (!set.members.empty()) {
            const ChunkIndex to = std::min(chunks.count, set.pos + window);
            if (!run.refine(set, to, source, work))
                return run.abandon();
            if (!set.members.empty() && to == chunks.count) {
                run.group(set);
                break;
            }
        }
        run.reportProgress();
    }
    return run.finish();
}

} // namespace

bool groupIdenticalFiles(FileTable& table, TableIndex first, TableIndex last,
                         const CompareControl& control, CompareStrategy strategy) {
    if (!validRun(table, first, last))
        return true;
    if (strategy == CompareStrategy::Automatic)
        strategy = last - first + 1 <= kAllOpenRunLimit ? CompareStrategy::AllOpen
                                                        : CompareStrategy::Streamed;
    return strategy == CompareStrategy::AllOpen ? compareAllOpen(table, first, last, control)
                                                : compareStreamed(table, first, last, control);
}

} // namespace trevalo
