// SPDX-License-Identifier: GPL-2.0-or-later
#include "search/ProofCache.h"

#include "platform/Process.h"
#include "platform/UserText.h"
#include "search/EntryPacking.h"
#include "search/MixBits.h"

#include <QtGlobal>
#include <algorithm>
#include <array>
#include <cstring>
#include <ctime>
#include <functional>
#include <limits>
#include <mutex>
#include <numeric>
#include <optional>
#include <semaphore>
#include <sqlite3.h>
#include <system_error>
#include <thread>
#include <utility>

namespace trevalo {

namespace {

// Marks the database as this program's ("Trvp"), and the layout of its tables. A database of
// another layout is made anew.
constexpr int kApplicationId = 0x54727670;
constexpr int kSchemaVersion = 6;
constexpr const char* kFileName = "proofs.sqlite";
constexpr int kBusyMilliseconds = 2000;
constexpr std::int64_t kSecondsPerDay = 86400;

// Times as far from 1970 as nanoseconds in 64 bits reach (the year 2262); a file with a time
// beyond is never stored, so the clamped value is only ever compared, never trusted.
constexpr std::int64_t kMostSeconds = std::numeric_limits<std::int64_t>::max() / 1'000'000'000 - 1;

bool inNanosecondRange(std::int64_t seconds) {
    return seconds > -kMostSeconds && seconds < kMostSeconds;
}

std::int64_t nanoseconds(std::int64_t seconds, std::int32_t nsec) {
    return std::clamp(seconds, -kMostSeconds, kMostSeconds) * 1'000'000'000 + nsec;
}

// A prepared statement, finalized when it goes.
class Statement {
public:
    Statement(sqlite3* db, const char* sql) {
        if (sqlite3_prepare_v2(db, sql, -1, &stmt_, nullptr) != SQLITE_OK)
            stmt_ = nullptr;
    }
    ~Statement() { sqlite3_finalize(stmt_); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    explicit operator bool() const { return stmt_ != nullptr; }
    sqlite3_stmt* get() const { return stmt_; }
    void bind(int column, std::int64_t value) { sqlite3_bind_int64(stmt_, column, value); }
    std::int64_t column(int c) const { return sqlite3_column_int64(stmt_, c); }
    // The result of one step; the statement is reset for the next use once it is done.
    int step() { return sqlite3_step(stmt_); }
    void reset() {
        sqlite3_reset(stmt_);
        sqlite3_clear_bindings(stmt_);
    }
    // Ready for the next step with the parameters as they are bound.
    void rewind() { sqlite3_reset(stmt_); }

private:
    sqlite3_stmt* stmt_ = nullptr;
};

// A file's key, device and inode number, as SQLite orders them (signed integers).
using Key = std::pair<std::int64_t, std::int64_t>;

// The volume of `device` among `volumes` (sorted by device), or their end.
std::vector<DeviceVolume>::const_iterator volumeAt(const std::vector<DeviceVolume>& volumes,
                                                   std::uint64_t device) {
    const auto v = std::lower_bound(
        volumes.begin(), volumes.end(), device,
        [](const DeviceVolume& d, std::uint64_t wanted) { return d.device < wanted; });
    return v != volumes.end() && v->device == device ? v : volumes.end();
}

// An item with its key beside it, so that sorting them reads no item.
template <typename T> struct Keyed {
    Key key;
    const T* item = nullptr;
    bool operator<(const Keyed& other) const { return key < other.key; }
};

// The files a search learnt of, by key (24 bytes a file: tens of megabytes on a million).
using KeyedLearnt = std::vector<Keyed<LearntFile>, LargeAllocator<Keyed<LearntFile>>>;

// A file looked up in the store, in 16 bytes: its key, the device by its place among the
// devices of the files looked up (which keeps their order), and its position among the files.
struct Place {
    std::int64_t inode;
    std::uint32_t device;
    std::uint32_t file;
    bool operator<(const Place& other) const {
        return device != other.device ? device < other.device : inode < other.inode;
    }
};

// The files in the order of the table's key (as SQLite orders its signed integers), so that a
// scan of the table meets them in turn and lookups visit the pages of the index once each.
// Each key lies beside its file's position: sorted through the positions, a million files
// cost a cache miss at each comparison.
struct KeyOrder {
    std::vector<std::int64_t> devices; // each once, in order
    std::vector<Place, LargeAllocator<Place>> places;
    Key key(std::size_t at) const { return {devices[places[at].device], places[at].inode}; }
};

// An inode number as an unsigned key in the order SQLite gives the signed one.
std::uint64_t inodeOrder(std::int64_t inode) {
    return static_cast<std::uint64_t>(inode) ^ (std::uint64_t{1} << 63);
}

// Sorts items by the 64-bit key key(item), 8 bits at a time from the lowest, passing over the
// digits all keys share (inode numbers use the low 32 bits or fewer): three passes over the
// inode numbers of a million files cost a quarter of a comparison sort, and less than two
// passes of 16 bits, whose 65,536 counts and places spread each pass over the whole cache (a
// quarter less for the 100,000 files of /usr). Items of equal keys keep their order.
template <typename T, typename A, typename Key64>
void sortByKey64(std::vector<T, A>& items, const Key64& key) {
    constexpr int kDigitBits = 8;
    constexpr std::size_t kDigits = std::size_t{1} << kDigitBits;
    constexpr std::size_t kFewest = 4096; // below, a comparison sort is as quick
    if (items.size() < kFewest) {
        std::stable_sort(items.begin(), items.end(),
                         [&](const T& a, const T& b) { return key(a) < key(b); });
        return;
    }
    std::uint64_t differing = 0;
    for (const T& item : items)
        differing |= key(item) ^ key(items.front());
    std::vector<T, A> sorted(items.size());
    std::vector<std::size_t> start(kDigits);
    for (int shift = 0; shift < 64; shift += kDigitBits) {
        if (((differing >> shift) & (kDigits - 1)) == 0)
            continue;
        std::fill(start.begin(), start.end(), 0);
        for (const T& item : items)
            ++start[(key(item) >> shift) & (kDigits - 1)];
        std::size_t at = 0;
        for (std::size_t& s : start)
            at += std::exchange(s, at);
        for (T& item : items)
            sorted[start[(key(item) >> shift) & (kDigits - 1)]++] = std::move(item);
        items.swap(sorted);
    }
}

// `volumeOf` gives the key of each device of the stamps (its volume's).
template <typename VolumeOf>
KeyOrder inKeyOrder(std::span<const FileStamp* const> stamps, const VolumeOf& volumeOf) {
    // One pass over the stamps (a million of them lie in 100 MB of table): each device is
    // numbered as it comes, and the numbers are put in the keys' order after.
    KeyOrder order;
    order.places.resize(stamps.size());
    std::vector<std::uint64_t> devices;
    std::uint32_t device = 0;
    for (std::size_t i = 0; i < stamps.size(); ++i) {
        const FileStamp& stamp = *stamps[i];
        if (devices.empty() || devices[device] != stamp.device) {
            device = static_cast<std::uint32_t>(
                std::find(devices.begin(), devices.end(), stamp.device) - devices.begin());
            if (device == devices.size()) {
                devices.push_back(stamp.device);
                order.devices.push_back(volumeOf(stamp.device));
            }
        }
        order.places[i] = {static_cast<std::int64_t>(stamp.inode), device,
                           static_cast<std::uint32_t>(i)};
    }
    if (!std::is_sorted(order.devices.begin(), order.devices.end())) {
        std::vector<std::uint32_t> rank(order.devices.size());
        std::iota(rank.begin(), rank.end(), 0u);
        std::sort(rank.begin(), rank.end(), [&](std::uint32_t a, std::uint32_t b) {
            return order.devices[a] < order.devices[b];
        });
        std::vector<std::uint32_t> placeOf(rank.size());
        std::vector<std::int64_t> sorted(rank.size());
        for (std::uint32_t r = 0; r < rank.size(); ++r) {
            placeOf[rank[r]] = r;
            sorted[r] = order.devices[rank[r]];
        }
        order.devices.swap(sorted);
        for (Place& p : order.places)
            p.device = placeOf[p.device];
    }
    if (order.devices.size() == 1)
        sortByKey64(order.places, [](const Place& p) { return inodeOrder(p.inode); });
    else
        std::sort(order.places.begin(), order.places.end());
    return order;
}

// Asks for an object's memory to be brought in, ahead of its use.
template <typename T> void prefetch(const T* object) {
    const auto* bytes = reinterpret_cast<const char*>(object);
    for (std::size_t at = 0; at < sizeof(T); at += 64)
        __builtin_prefetch(bytes + at);
}

// The program a database says it belongs to and the layout of its tables.
using Layout = std::pair<std::int64_t, std::int64_t>;
constexpr Layout kThisLayout{kApplicationId, kSchemaVersion};

// The layout a database says it has; none when that cannot be read.
std::optional<Layout> layoutOf(sqlite3* db) {
    Statement version(db, "SELECT (SELECT application_id FROM pragma_application_id), "
                          "(SELECT user_version FROM pragma_user_version)");
    if (!version || version.step() != SQLITE_ROW)
        return std::nullopt;
    const Layout layout{version.column(0), version.column(1)};
    version.reset();
    return layout;
}

bool isDamaged(int code) {
    code &= 0xff;
    return code == SQLITE_CORRUPT || code == SQLITE_NOTADB;
}

// A row of the block table holds the entries of the files of one device whose inode numbers
// differ only in their lowest kBlockBits bits (files of one folder mostly): a search reads and
// writes a row per block, and SQLite's work per row (a B-tree step, its interpreter) is spread
// over the block's files.
constexpr int kBlockBits = 5;

// The (device, block) key of the row that holds a file's entry; its order follows the order of
// the files' keys.
Key blockOf(const Key& key) {
    return {key.first, key.second >> kBlockBits};
}

struct Entry {
    std::int64_t inode;
    std::int64_t day;
    std::size_t at;    // its first word in the row's words
    std::size_t words; // how many
};

// The entries of one row, read from its blob.
class RowEntries {
public:
    // Reads the blob in column `column` of the statement's current row. A blob that is not whole
    // (cut short or changed, a shape out of range, entries out of order) yields no entries: the
    // next writing of the row leaves them out.
    void read(sqlite3_stmt* s, int column) {
        const auto* blob = static_cast<const unsigned char*>(sqlite3_column_blob(s, column));
        const auto bytes = static_cast<std::size_t>(sqlite3_column_bytes(s, column));
        read(blob ? std::span(blob, bytes) : std::span<const unsigned char>());
    }
    // The same from a blob read before (none when empty).
    void read(std::span<const unsigned char> blob) {
        clear();
        if (blob.empty() || !unpackEntries(blob, ReadDigests::kMostParts, words_))
            return;
        // Unpacked, the entries are whole; they must also be in inode order.
        for (std::size_t at = 0; at < words_.size();) {
            const std::size_t count = entryWords(words_[at + 1] & kShapeMask);
            if (!entries_.empty() && entries_.back().inode >= words_[at]) {
                clear();
                return;
            }
            entries_.push_back({words_[at], dayOf(words_[at + 1]), at, count});
            at += count;
        }
    }
    void clear() {
        words_.clear();
        entries_.clear();
    }
    const std::vector<Entry>& entries() const { return entries_; }
    const std::int64_t* words(const Entry& e) const { return words_.data() + e.at; }

private:
    std::vector<std::int64_t> words_;
    std::vector<Entry> entries_;
};

// What an entry tells of a file of this identity; nothing unless the file has that identity.
KnownFile knownFrom(const std::int64_t* words, const FileStamp& stamp) {
    KnownFile k;
    if (words[2] != stamp.size || words[3] != nanoseconds(stamp.mtime, stamp.mtimeNsec) ||
        words[4] != nanoseconds(stamp.ctime, stamp.ctimeNsec) || words[5] < 0)
        return k;
    k.proof = words[5];
    const std::int64_t shape = words[1] & kShapeMask;
    std::size_t at = kFixedWords;
    if ((shape & 1) != 0) {
        k.digests.hasHead = true;
        k.digests.head = {static_cast<std::uint64_t>(words[at]),
                          static_cast<std::uint64_t>(words[at + 1])};
        at += kHeadWords;
    }
    for (std::int64_t p = 0; p < shape >> 1; ++p, at += kPartWords)
        k.digests.addPart(words[at], {static_cast<std::uint64_t>(words[at + 1]),
                                      static_cast<std::uint64_t>(words[at + 2])});
    return k;
}

// A row being made: its entries' words in inode order, and what the table keeps beside them.
struct NewRow {
    std::vector<std::int64_t> words;
    std::int64_t newest = std::numeric_limits<std::int64_t>::min(); // the day last seen
    std::int64_t oldest = std::numeric_limits<std::int64_t>::max();
    std::int64_t files = 0;

    void clear() {
        words.clear();
        newest = std::numeric_limits<std::int64_t>::min();
        oldest = std::numeric_limits<std::int64_t>::max();
        files = 0;
    }
    void dated(std::int64_t day) {
        newest = std::max(newest, day);
        oldest = std::min(oldest, day);
        ++files;
    }
    // An entry as it stood, seen on `day`.
    void add(const std::int64_t* entry, std::size_t count, std::int64_t day) {
        const std::size_t at = words.size();
        words.insert(words.end(), entry, entry + count);
        words[at + 1] = datedShape(day, entry[1] & kShapeMask);
        dated(day);
    }
    // What a search learnt of a file, seen on `day`, with this proof number.
    void add(const LearntFile& f, std::int64_t proof, std::int64_t day) {
        const ReadDigests& d = f.digests;
        words.push_back(static_cast<std::int64_t>(f.stamp->inode));
        words.push_back(
            datedShape(day, (d.hasHead ? 1 : 0) + 2 * static_cast<std::int64_t>(d.parts.size())));
        words.push_back(f.stamp->size);
        words.push_back(nanoseconds(f.stamp->mtime, f.stamp->mtimeNsec));
        words.push_back(nanoseconds(f.stamp->ctime, f.stamp->ctimeNsec));
        words.push_back(proof);
        if (d.hasHead) {
            words.push_back(static_cast<std::int64_t>(d.head.low));
            words.push_back(static_cast<std::int64_t>(d.head.high));
        }
        for (const PartDigest& p : d.parts) {
            words.push_back(p.chunk);
            words.push_back(static_cast<std::int64_t>(p.digest.low));
            words.push_back(static_cast<std::int64_t>(p.digest.high));
        }
        dated(day);
    }
};

// The rows of the block table, read and written whole.
class Rows {
public:
    explicit Rows(sqlite3* db)
        : find_(db, "SELECT facts, files FROM block WHERE device = ?1 AND block = ?2"),
          put_(db, "INSERT OR REPLACE INTO block(device, block, seen, oldest, files, facts) "
                   "VALUES(?1, ?2, ?3, ?4, ?5, ?6)"),
          drop_(db, "DELETE FROM block WHERE device = ?1 AND block = ?2") {}
    explicit operator bool() const { return find_ && put_ && drop_; }

    // The row of `block` into `row` (no entries when there is none). False when the store
    // could not be read.
    bool read(const Key& block, RowEntries& row) {
        row.clear();
        bindKey(find_, block);
        const int step = find_.step();
        if (step == SQLITE_ROW)
            row.read(find_.get(), 0);
        find_.rewind();
        return step == SQLITE_ROW || step == SQLITE_DONE;
    }
    // The blob of the row of `block` as it is stored (empty when there is none), and how many
    // entries it holds, for unpacking elsewhere. False when the store could not be read.
    bool fetch(const Key& block, std::vector<unsigned char>& blob, std::int64_t& files) {
        blob.clear();
        files = 0;
        bindKey(find_, block);
        const int step = find_.step();
        if (step == SQLITE_ROW) {
            const auto* bytes =
                static_cast<const unsigned char*>(sqlite3_column_blob(find_.get(), 0));
            blob.assign(bytes, bytes + sqlite3_column_bytes(find_.get(), 0));
            files = find_.column(1);
        }
        find_.rewind();
        return step == SQLITE_ROW || step == SQLITE_DONE;
    }
    // Writes the row of `block`; a row without entries goes.
    bool write(const Key& block, const NewRow& row) {
        Statement& s = row.files > 0 ? put_ : drop_;
        bindKey(s, block);
        if (row.files > 0) {
            s.bind(3, row.newest);
            s.bind(4, row.oldest);
            s.bind(5, row.files);
            packEntries(row.words, packed_);
            sqlite3_bind_blob(s.get(), 6, packed_.data(), static_cast<int>(packed_.size()),
                              SQLITE_STATIC);
        }
        const int step = s.step();
        s.rewind();
        return step == SQLITE_DONE;
    }

private:
    static void bindKey(Statement& s, const Key& block) {
        s.bind(1, block.first);
        s.bind(2, block.second);
    }
    Statement find_;
    Statement put_;
    Statement drop_;
    std::string packed_; // the row being written, as the store keeps it
};

// The row of `block` made anew from what it held and what a search tells of its files: files
// learnt (in key order; a file learnt twice, under two names, taken once) replace their entries,
// entries of files met (keys in order) are dated `day`, the others keep their day unless it lies
// before `oldest`, when they go.
void mergeRow(const Key& block, const RowEntries& held, std::span<const Keyed<LearntFile>> learnt,
              std::span<const Keyed<LearntFile>> after, std::int64_t firstProof,
              std::span<const Key> met, std::int64_t day, std::int64_t oldest, NewRow& row) {
    row.clear();
    const std::vector<Entry>& entries = held.entries();
    // The lessons lie in the order of the runs, not of the keys: those some files on (in this
    // row or those `after` it) are fetched now, their stamps once the lessons have come.
    constexpr std::size_t kAhead = 8;
    const auto ahead = [&](std::size_t k) -> const Keyed<LearntFile>* {
        if (k < learnt.size())
            return &learnt[k];
        k -= learnt.size();
        return k < after.size() ? &after[k] : nullptr;
    };
    std::size_t e = 0;
    std::size_t m = 0;
    for (std::size_t l = 0; l < learnt.size() || e < entries.size();) {
        if (l < learnt.size() &&
            (e == entries.size() || learnt[l].key.second <= entries[e].inode)) {
            while (l + 1 < learnt.size() && learnt[l + 1].key == learnt[l].key)
                ++l;
            if (const Keyed<LearntFile>* next = ahead(l + 2 * kAhead))
                prefetch(next->item);
            if (const Keyed<LearntFile>* next = ahead(l + kAhead))
                prefetch(next->item->stamp);
            const LearntFile& f = *learnt[l].item;
            row.add(f, f.tag > 0 ? firstProof + f.tag - 1 : -f.tag, day);
            if (e < entries.size() && entries[e].inode == learnt[l].key.second)
                ++e;
            ++l;
            continue;
        }
        const Entry& entry = entries[e++];
        const Key key{block.first, entry.inode};
        while (m < met.size() && met[m] < key)
            ++m;
        const bool seen = m < met.size() && met[m] == key;
        if (seen || entry.day >= oldest)
            row.add(held.words(entry), entry.words, seen ? day : entry.day);
    }
}

// The learnt files of all lessons in the table's key order (a file keyed by the volume
// volumeOf gives its device); the highest proof tag.
template <typename VolumeOf>
std::int64_t sortByKey(std::span<const Lessons> lessons, KeyedLearnt& files,
                       const VolumeOf& volumeOf) {
    std::size_t learntCount = 0;
    for (const Lessons& l : lessons)
        learntCount += l.learnt.size();
    files.reserve(learntCount);
    std::int64_t tags = 0;
    std::uint64_t device = 0;
    std::int64_t volume = volumeOf(device);
    for (const Lessons& l : lessons) {
        for (const LearntFile& f : l.learnt) {
            if (f.stamp->device != device) {
                device = f.stamp->device;
                volume = volumeOf(device);
            }
            files.push_back({{volume, static_cast<std::int64_t>(f.stamp->inode)}, &f});
            tags = std::max(tags, f.tag);
        }
    }
    const bool oneDevice = std::all_of(files.begin(), files.end(), [&](const Keyed<LearntFile>& f) {
        return f.key.first == files.front().key.first;
    });
    if (oneDevice)
        sortByKey64(files, [](const Keyed<LearntFile>& f) { return inodeOrder(f.key.second); });
    else
        std::sort(files.begin(), files.end());
    return tags;
}

// A row a keep writes: the lessons (in the keys sorted) and the keys met that fall in it, what it
// held as stored, and what it holds now.
struct RowWrite {
    Key block;
    std::size_t learnt = 0;
    std::size_t learntEnd = 0;
    std::size_t met = 0;
    std::size_t metEnd = 0;
    std::vector<unsigned char> stored;
    RowEntries held;
    NewRow row;
};

// Rows a keep writes one after another; the RowWrites stay from batch to batch with their
// memory, the count says how many are in use.
struct RowBatch {
    std::vector<RowWrite> rows;
    std::size_t count = 0;
};

// A thread that does one job at a time for the thread that hands them over, while that one goes
// on with its own; jobs are done on the handing thread when it is not threaded or no thread could
// be started.
class Helper {
public:
    explicit Helper(bool threaded) {
        if (!threaded)
            return;
        try {
            thread_ = std::jthread([this] { serve(); });
        } catch (const std::system_error&) {
        }
    }
    ~Helper() {
        if (thread_.joinable()) {
            quit_ = true;
            go_.release();
        }
    }
    Helper(const Helper&) = delete;
    Helper& operator=(const Helper&) = delete;

    // Each start is followed by a wait before the next start.
    void start(std::function<void()> job) {
        if (!thread_.joinable()) {
            job();
            return;
        }
        job_ = std::move(job);
        go_.release();
    }
    void wait() {
        if (thread_.joinable())
            done_.acquire();
    }
    bool threaded() const { return thread_.joinable(); }

private:
    void serve() {
        for (;;) {
            go_.acquire();
            if (quit_)
                return;
            job_();
            done_.release();
        }
    }
    std::binary_semaphore go_{0};
    std::binary_semaphore done_{0};
    std::function<void()> job_;
    bool quit_ = false;
    std::jthread thread_; // last: started once the rest are made, joined before they go
};

// From this many files learnt or met on, a keep sorts half of the lessons and merges rows on a
// helper thread while its own sorts the other half, and reads and writes the store: a keep of a
// million files takes a fifth less time.
constexpr std::size_t kHelpedFrom = 4096;

// The day of the entries a keep writes, and the day before which entries not met go.
struct KeepDays {
    std::int64_t day;
    std::int64_t oldest;
};

// Writes what a keep brings to the store in the order of the table's key, a batch of rows at a
// time: this thread reads the rows of a batch as they are stored, and packs and writes them back
// once they are unpacked and merged (mergeRow) on a helper thread, which does so meanwhile.
class RowWriter {
public:
    RowWriter(sqlite3* db, std::span<const Keyed<LearntFile>> files, std::span<const Key> seen,
              KeepDays days, Helper& helper)
        : rows_(db), files_(files), seen_(seen), days_(days), helper_(helper) {}
    explicit operator bool() const { return static_cast<bool>(rows_); }
    bool done() const { return at_ == files_.size() && touched_ == seen_.size(); }
    // The first of the new proof numbers (taken before any row is merged): a file learnt with
    // tag t > 0 gets first + t - 1.
    void numberFrom(std::int64_t first) { firstProof_ = first; }

    // Writes rows, whole, until some `entries` entries (learnt or held) are written or none is
    // left, in the transaction open. False when the store could not be read or written. Each
    // batch is merged on the helper while this thread writes the one before and reads the one
    // after; rows are read only in the transaction that writes them.
    bool writeSome(std::size_t entries) {
        std::size_t budget = std::max<std::size_t>(entries, 1);
        RowBatch* now = &batches_[0];
        RowBatch* next = &batches_[1];
        bool ok = fill(*now, budget);
        bool merging = ok && now->count > 0;
        if (merging)
            helper_.start([this, now] { merge(*now); });
        ok = ok && fill(*next, budget);
        while (merging) {
            helper_.wait();
            merging = ok && next->count > 0;
            if (merging)
                helper_.start([this, next] { merge(*next); });
            ok = ok && put(*now) && fill(*now, budget);
            std::swap(now, next);
        }
        return ok;
    }

private:
    static constexpr std::size_t kRowsPerBatch = 64;

    // The next rows into `batch`, as stored, while `budget` lasts.
    bool fill(RowBatch& batch, std::size_t& budget) {
        batch.count = 0;
        while (batch.count < kRowsPerBatch && budget > 0 && !done()) {
            Key block{std::numeric_limits<std::int64_t>::max(), 0};
            if (at_ < files_.size())
                block = blockOf(files_[at_].key);
            if (touched_ < seen_.size())
                block = std::min(block, blockOf(seen_[touched_]));
            if (batch.count == batch.rows.size())
                batch.rows.emplace_back();
            RowWrite& w = batch.rows[batch.count++];
            w.block = block;
            w.learnt = at_;
            while (at_ < files_.size() && blockOf(files_[at_].key) == block)
                ++at_;
            w.learntEnd = at_;
            w.met = touched_;
            while (touched_ < seen_.size() && blockOf(seen_[touched_]) == block)
                ++touched_;
            w.metEnd = touched_;
            std::int64_t held = 0;
            if (!rows_.fetch(block, w.stored, held))
                return false;
            const std::size_t written = static_cast<std::size_t>(std::max<std::int64_t>(held, 0)) +
                                        (w.learntEnd - w.learnt);
            budget -= std::min(budget, std::max<std::size_t>(written, 1));
        }
        return true;
    }
    void merge(RowBatch& batch) const {
        for (std::size_t i = 0; i < batch.count; ++i) {
            RowWrite& w = batch.rows[i];
            w.held.read(w.stored);
            mergeRow(w.block, w.held, files_.subspan(w.learnt, w.learntEnd - w.learnt),
                     files_.subspan(w.learntEnd), firstProof_,
                     seen_.subspan(w.met, w.metEnd - w.met), days_.day, days_.oldest, w.row);
        }
    }
    // Packs and writes the rows merged (packing on this thread evens out the two shares).
    bool put(const RowBatch& batch) {
        for (std::size_t i = 0; i < batch.count; ++i)
            if (!rows_.write(batch.rows[i].block, batch.rows[i].row))
                return false;
        return true;
    }

    Rows rows_;
    std::span<const Keyed<LearntFile>> files_;
    std::span<const Key> seen_;
    KeepDays days_;
    std::int64_t firstProof_ = 0;
    std::size_t at_ = 0;      // in files_
    std::size_t touched_ = 0; // in seen_
    std::array<RowBatch, 2> batches_;
    Helper& helper_;
};

// Hands each entry of `row` (the row of `block`) that belongs to a file from place `at` on,
// while the files' block is `block`, to take(row, entry, at); `at` ends past them.
template <typename Take>
void matchRow(const RowEntries& row, const Key& block, const KeyOrder& keys, std::size_t& at,
              std::size_t count, Take& take) {
    const std::vector<Entry>& entries = row.entries();
    std::size_t e = 0;
    for (; at < count && blockOf(keys.key(at)) == block; ++at) {
        const std::int64_t inode = keys.places[at].inode;
        while (e < entries.size() && entries[e].inode < inode)
            ++e;
        if (e < entries.size() && entries[e].inode == inode)
            take(row, entries[e], at);
    }
}

// Reads the rows that hold the files of places [begin, count) in `keys` and hands each entry of
// one of them to take(row, entry, at), `at` the file's place in key order: the table in key
// order from the first of these rows on (`scan`), or row by row. The last step's result.
template <typename Take>
int readEntries(sqlite3* db, bool scan, const KeyOrder& keys, std::size_t begin, std::size_t count,
                Take& take) {
    RowEntries row;
    int step = SQLITE_DONE;
    std::size_t at = begin;
    if (at >= count)
        return step;
    if (scan) {
        Statement all(db, "SELECT device, block, facts FROM block WHERE (device, block) >= (?1, ?2)"
                          " ORDER BY device, block");
        if (all) {
            const Key first = blockOf(keys.key(at));
            all.bind(1, first.first);
            all.bind(2, first.second);
        }
        while (all && at < count && (step = all.step()) == SQLITE_ROW) {
            const Key block(all.column(0), all.column(1));
            while (at < count && blockOf(keys.key(at)) < block)
                ++at;
            if (at < count && blockOf(keys.key(at)) == block) {
                row.read(all.get(), 2);
                matchRow(row, block, keys, at, count, take);
            }
        }
        return all ? step : SQLITE_ERROR;
    }
    Rows rows(db);
    while (rows && at < count) {
        const Key block = blockOf(keys.key(at));
        if (!rows.read(block, row))
            return SQLITE_ERROR;
        matchRow(row, block, keys, at, count, take);
    }
    return rows ? SQLITE_DONE : SQLITE_ERROR;
}

// Takes the entries readEntries hands over for one part of a lookup: each goes to `known`
// (made at the first entry found, by whichever part finds one first), and the keys of those last
// seen before `day` to `seen`, in key order.
struct EntryTaker {
    std::span<const FileStamp* const> stamps;
    const KeyOrder& keys;
    std::int64_t day;
    KnownFiles& known;
    std::once_flag& making;
    std::vector<Key> seen;
    bool made = false; // `known` is made, as far as this part knows

    void operator()(const RowEntries& row, const Entry& entry, std::size_t at) {
        const auto& order = keys.places;
        // The files lie in table order, not key order: those a few places on are fetched now,
        // their stamps once the pointers to them have come.
        constexpr std::size_t kAhead = 8;
        if (at + 2 * kAhead < order.size())
            __builtin_prefetch(&stamps[order[at + 2 * kAhead].file]);
        if (at + kAhead < order.size()) {
            prefetch(stamps[order[at + kAhead].file]);
            if (made)
                prefetch(&known[order[at + kAhead].file]);
        }
        KnownFile k = knownFrom(row.words(entry), *stamps[order[at].file]);
        if (!k.found())
            return;
        if (!made) {
            std::call_once(making, [&] { known.resize(stamps.size()); });
            made = true;
        }
        known[order[at].file] = std::move(k);
        // Met in key order: a file asked for twice is one key.
        if (entry.day < day && (seen.empty() || seen.back() != keys.key(at)))
            seen.push_back(keys.key(at));
    }
};

// Reads the entries of the files of `keys` as readEntries does, those from place `half` on
// through `reader` on a second thread when there is one (closed after); otherwise all through
// `db`. The last steps of the two parts.
std::pair<int, int> readInTwo(sqlite3* db, sqlite3* reader, bool scan, const KeyOrder& keys,
                              std::size_t half, EntryTaker& first, EntryTaker& second) {
    const std::size_t count = keys.places.size();
    int secondStep = SQLITE_DONE;
    std::thread other;
    if (reader) {
        try {
            other = std::thread([&] {
                secondStep = sqlite3_exec(reader, "BEGIN", nullptr, nullptr, nullptr);
                if (secondStep == SQLITE_OK)
                    secondStep = readEntries(reader, scan, keys, half, count, second);
                sqlite3_exec(reader, "COMMIT", nullptr, nullptr, nullptr);
            });
        } catch (const std::system_error&) {
            // read on this thread, below
        }
    }
    const int firstStep = readEntries(db, scan, keys, 0, half, first);
    if (other.joinable())
        other.join();
    else
        secondStep = readEntries(db, scan, keys, half, count, second);
    sqlite3_close_v2(reader);
    return {firstStep, secondStep};
}

} // namespace

std::string ProofCache::defaultFolder() {
    const std::string base = userCacheFolder();
    return base.empty() ? std::string() : base + "/trevalo";
}

std::optional<DeviceVolume> volumeOfDevice(const std::string& path, std::uint64_t device) {
    const std::optional<FileSystemOf> fs = fileSystemOf(path, device);
    if (!fs)
        return std::nullopt;
    const std::uint64_t volume = mixBits(device ^ mixBits(fs->type ^ mixBits(fs->id)));
    return DeviceVolume{device, static_cast<std::int64_t>(volume), fs->keepsIdentities};
}

ProofCache::ProofCache(std::string folder, ProofCacheLimits limits)
    : folder_(std::move(folder)), limits_(limits) {
    if (!open())
        close();
}

ProofCache::~ProofCache() {
    close();
}

void ProofCache::close() {
    if (db_)
        sqlite3_close_v2(db_);
    db_ = nullptr;
}

void ProofCache::fail(const char* what) {
    if (problem_.empty())
        problem_ = withArgs(
            userText("ProofCache", "Proof cache %1: %2."),
            {userText("ProofCache", what),
             db_ ? std::string(sqlite3_errmsg(db_)) : userText("ProofCache", "cannot be opened")});
}

bool ProofCache::exec(const char* sql) {
    return sqlite3_exec(db_, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
}

bool ProofCache::open() {
    if (folder_.empty()) {
        problem_ =
            userText("ProofCache", "Proof cache not used: no cache folder (HOME is not set).");
        return false;
    }
    if (const int err = makeFolders(folder_)) {
        problem_ = withArgs(userText("ProofCache", "Proof cache not used: %1: %2."),
                            {folder_, errorText(err)});
        return false;
    }
    const std::string path = folder_ + "/" + kFileName;
    // Another user's store (this user's own, opened by a program run as root with this user's
    // environment; a shared folder) holds proofs of files this user may not be able to read,
    // and files of this user's there would be that user's: it is left alone.
    for (const std::string& part : {folder_, path, path + "-wal", path + "-shm"}) {
        if (belongsToAnotherUser(part)) {
            problem_ = withArgs(
                userText("ProofCache", "Proof cache not used: %1 belongs to another user."),
                {part});
            return false;
        }
    }
    for (int attempt = 0; attempt < 2; ++attempt) {
        close();
        if (sqlite3_open_v2(path.c_str(), &db_,
                            SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX,
                            nullptr) != SQLITE_OK) {
            fail(QT_TRANSLATE_NOOP("ProofCache", "not used"));
            return false;
        }
        sqlite3_busy_timeout(db_, kBusyMilliseconds);
        // Closing leaves the log as it is: copying it into the database would cost the search
        // that wrote it two syncs at its end. The next opening copies it (see checkpoint).
        sqlite3_db_config(db_, SQLITE_DBCONFIG_NO_CKPT_ON_CLOSE, 1, nullptr);
        if (prepareSchema()) {
            prune();
            checkpoint();
            return true;
        }
        if (!isDamaged(sqlite3_extended_errcode(db_))) {
            fail(QT_TRANSLATE_NOOP("ProofCache", "not used"));
            return false;
        }
        // A damaged store holds nothing worth keeping: it is made anew.
        close();
        for (const char* suffix : {"", "-wal", "-shm", "-journal"})
            removeFile(path + suffix);
        problem_ = userText("ProofCache", "Proof cache was damaged and has been made anew.");
    }
    return false;
}

void ProofCache::checkpoint() {
    // The log goes into the database, and is emptied, unless another program is using the store
    // at that moment: then a later opening does it, and the log is read with the database as
    // it is. Either way the store holds the same.
    sqlite3_busy_timeout(db_, 0);
    sqlite3_wal_checkpoint_v2(db_, nullptr, SQLITE_CHECKPOINT_TRUNCATE, nullptr, nullptr);
    sqlite3_busy_timeout(db_, kBusyMilliseconds);
}

bool ProofCache::prepareSchema() {
    // Losing the last transactions to a power cut costs the next search a reading of those
    // files, no more: the log is synced at checkpoints only, and a checkpoint syncs it before
    // the database, which is thus never torn (set before the switch to the log, which a new
    // database makes with a journal of its own). Checkpoints come at 64 MB of log rather than
    // SQLite's 1,000 pages, so that a first search of a million files writes without a sync
    // (the next opening of the store syncs, copying the log into the database, beside the walk):
    // at 16 MB a checkpoint and its two syncs cost such a search 45 ms more. SQLite's page cache
    // keeps its default size (2 MB): rows are written and read in key order, and each page it holds
    // beyond that is fresh memory to fault in. A new store has pages of 16 KB: a first search of
    // 100,000 files costs SQLite a tenth less work than with 4 KB pages (fewer pages split, logged
    // and checksummed); larger ones give no more. A store made before keeps its pages.
    if (!exec("PRAGMA page_size=16384") || !exec("PRAGMA synchronous=NORMAL") ||
        !exec("PRAGMA journal_mode=WAL"))
        return false;
    Statement pageSize(db_, "PRAGMA page_size");
    const std::int64_t page = pageSize && pageSize.step() == SQLITE_ROW ? pageSize.column(0) : 0;
    pageSize.reset();
    const std::string checkpoint =
        "PRAGMA wal_autocheckpoint=" + std::to_string(page > 0 ? (64 << 20) / page : 4096);
    if (!exec(checkpoint.c_str()))
        return false;
    const std::optional<Layout> layout = layoutOf(db_);
    if (!layout)
        return false;
    const auto [application, schema] = *layout;
    if (*layout == kThisLayout)
        return true;
    // New, or of another layout: the tables are made anew in one transaction.
    const bool foreign = application != 0 || schema != 0;
    const std::string create =
        "BEGIN IMMEDIATE;"
        "DROP TABLE IF EXISTS file; DROP TABLE IF EXISTS block; DROP TABLE IF EXISTS meta;"
        "CREATE TABLE block(device INTEGER NOT NULL, block INTEGER NOT NULL,"
        " seen INTEGER NOT NULL, oldest INTEGER NOT NULL, files INTEGER NOT NULL,"
        " facts BLOB NOT NULL, PRIMARY KEY(device, block)) WITHOUT ROWID;"
        "CREATE TABLE meta(next_proof INTEGER NOT NULL, pruned INTEGER NOT NULL);"
        "INSERT INTO meta VALUES(1, 0);"
        "PRAGMA application_id=" +
        std::to_string(kApplicationId) + "; PRAGMA user_version=" + std::to_string(kSchemaVersion) +
        "; COMMIT;";
    // On failure the transaction is left for closing to undo: a ROLLBACK here would put its own
    // error ("no transaction is active" after a full disk) in place of the one that tells why.
    if (!exec(create.c_str()))
        return false;
    if (foreign)
        problem_ = userText("ProofCache",
                            "Proof cache was written by another version and has been made anew.");
    return true;
}

std::int64_t ProofCache::today() const {
    return limits_.today != 0 ? limits_.today
                              : static_cast<std::int64_t>(std::time(nullptr)) / kSecondsPerDay;
}

// Once a day at most: entries of files not seen for limits_.days go, and beyond limits_.files
// the rows seen longest ago. The days are not indexed (an index would cost every row written a
// second insertion): this reads the whole table, once a day.
void ProofCache::prune() {
    const std::int64_t day = today();
    Statement last(db_, "SELECT pruned FROM meta");
    if (!last || last.step() != SQLITE_ROW || last.column(0) >= day)
        return;
    last.reset();
    if (!exec("BEGIN IMMEDIATE"))
        return;
    const std::int64_t oldest = day - limits_.days;
    Statement old(db_, "DELETE FROM block WHERE seen < ?1");
    old.bind(1, oldest);
    bool ok = old && old.step() == SQLITE_DONE;
    // Rows that hold some entries too old lose them.
    std::vector<Key> aged;
    Statement withAged(db_, "SELECT device, block FROM block WHERE oldest < ?1");
    withAged.bind(1, oldest);
    int step = SQLITE_DONE;
    while (ok && withAged && (step = withAged.step()) == SQLITE_ROW)
        aged.emplace_back(withAged.column(0), withAged.column(1));
    ok = ok && withAged && step == SQLITE_DONE;
    withAged.reset();
    Rows rows(db_);
    RowEntries held;
    NewRow row;
    for (std::size_t i = 0; ok && i < aged.size(); ++i) {
        ok = rows && rows.read(aged[i], held);
        mergeRow(aged[i], held, {}, {}, 0, {}, day, oldest, row);
        ok = ok && rows.write(aged[i], row);
    }
    Statement excess(db_, "DELETE FROM block WHERE (device, block) IN (SELECT device, block FROM"
                          " (SELECT device, block, sum(files) OVER (ORDER BY seen DESC, device,"
                          " block) AS upTo FROM block) WHERE upTo > ?1)");
    excess.bind(1, limits_.files);
    ok = ok && excess && excess.step() == SQLITE_DONE;
    Statement mark(db_, "UPDATE meta SET pruned = ?1");
    mark.bind(1, day);
    ok = ok && mark && mark.step() == SQLITE_DONE;
    if (!ok || !exec("COMMIT")) {
        fail(QT_TRANSLATE_NOOP("ProofCache", "not pruned"));
        exec("ROLLBACK");
    }
}

void ProofCache::setVolumes(std::vector<DeviceVolume> volumes) {
    std::sort(volumes.begin(), volumes.end(),
              [](const DeviceVolume& a, const DeviceVolume& b) { return a.device < b.device; });
    volumes_ = std::move(volumes);
}

std::int64_t ProofCache::volumeOf(std::uint64_t device) const {
    const auto v = volumeAt(volumes_, device);
    return v != volumes_.end() ? v->volume : static_cast<std::int64_t>(device);
}

bool ProofCache::trusts(std::uint64_t device) const {
    const auto v = volumeAt(volumes_, device);
    return v == volumes_.end() || v->trusted;
}

bool ProofCache::settled(const FileStamp& stamp, std::int64_t now) const {
    if (!inNanosecondRange(stamp.mtime) || !inNanosecondRange(stamp.ctime) || !trusts(stamp.device))
        return false;
    const std::int64_t latest = std::max(nanoseconds(stamp.mtime, stamp.mtimeNsec),
                                         nanoseconds(stamp.ctime, stamp.ctimeNsec));
    return latest <= now - limits_.settleNanoseconds;
}

KnownFiles ProofCache::look(std::span<const FileStamp> stamps) {
    std::vector<const FileStamp*> each(stamps.size());
    for (std::size_t i = 0; i < stamps.size(); ++i)
        each[i] = &stamps[i];
    return look(std::span<const FileStamp* const>(each));
}

KnownFiles ProofCache::look(std::span<const FileStamp* const> stamps) {
    KnownFiles known;
    // Positions are kept in 32 bits: beyond them (some 400 GB of table) nothing is looked up.
    if (!db_ || stamps.empty() || stamps.size() > std::numeric_limits<std::uint32_t>::max())
        return known;
    if (!exec("BEGIN")) {
        fail(QT_TRANSLATE_NOOP("ProofCache", "not read"));
        return known;
    }
    Statement any(db_, "SELECT EXISTS (SELECT 1 FROM block)");
    if (any && any.step() == SQLITE_ROW && any.column(0) == 0) {
        exec("COMMIT");
        return known;
    }
    any.reset();
    Statement pageCount(db_, "PRAGMA page_count");
    const std::int64_t pages =
        pageCount && pageCount.step() == SQLITE_ROW ? pageCount.column(0) : -1;
    pageCount.reset();
    const KeyOrder keys =
        inKeyOrder(stamps, [this](std::uint64_t device) { return volumeOf(device); });
    const std::size_t count = keys.places.size();
    // The table is read whole, in key order, beside the files when their rows are many to a
    // page of the store (looking a row up costs about a quarter of reading a page whole);
    // otherwise each of their rows is looked up.
    std::int64_t blocks = 0;
    for (std::size_t at = 0; at < count; ++at)
        blocks += at == 0 || blockOf(keys.key(at)) != blockOf(keys.key(at - 1)) ? 1 : 0;
    const bool scan = pages >= 0 && 4 * pages <= blocks;
    // Read whole for many files, the table is read in two halves at once, the second by a
    // reader of its own. Each entry is used only for a file of its very identity, whichever
    // moment of the store it comes from.
    std::size_t half = count;
    if (scan && count >= std::max<std::size_t>(limits_.halvedFrom, 2)) {
        half = count / 2;
        while (half < count && blockOf(keys.key(half)) == blockOf(keys.key(half - 1)))
            ++half;
    }
    std::once_flag making;
    const std::int64_t day = today();
    EntryTaker first{stamps, keys, day, known, making, {}, false};
    EntryTaker second{stamps, keys, day, known, making, {}, false};
    const auto [firstStep, secondStep] =
        readInTwo(db_, half < count ? openReader() : nullptr, scan, keys, half, first, second);
    const auto read = [](int step) { return step == SQLITE_ROW || step == SQLITE_DONE; };
    if (!read(firstStep) || !read(secondStep)) {
        fail(QT_TRANSLATE_NOOP("ProofCache", "not read"));
        exec("ROLLBACK");
        return {};
    }
    exec("COMMIT");
    seenEarlier_.insert(seenEarlier_.end(), first.seen.begin(), first.seen.end());
    seenEarlier_.insert(seenEarlier_.end(), second.seen.begin(), second.seen.end());
    // An entry of an untrusted device may be of another file that showed the same identity.
    if (!known.empty())
        for (const DeviceVolume& v : volumes_)
            if (!v.trusted)
                for (std::size_t i = 0; i < stamps.size(); ++i)
                    if (stamps[i]->device == v.device)
                        known[i] = KnownFile{};
    return known;
}

sqlite3* ProofCache::openReader() const {
    sqlite3* db = nullptr;
    const std::string path = folder_ + "/" + kFileName;
    if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr) !=
        SQLITE_OK) {
        sqlite3_close_v2(db);
        return nullptr;
    }
    sqlite3_busy_timeout(db, kBusyMilliseconds);
    sqlite3_db_config(db, SQLITE_DBCONFIG_NO_CKPT_ON_CLOSE, 1, nullptr);
    // A store of this layout (not one made anew since by a program of another version).
    if (layoutOf(db) != kThisLayout) {
        sqlite3_close_v2(db);
        return nullptr;
    }
    return db;
}

void ProofCache::keep(std::span<const Lessons> lessons) {
    if (!db_)
        return;
    // Written in the order of the table's key, a row at a time: what the row held and what this
    // search learnt of its files, merged. The lessons are sorted where they lie, by their keys
    // (copied together they would cost more in fresh memory than in writing): with a helper,
    // each thread sorts about half of them, and the halves are merged.
    std::size_t learnt = 0;
    for (const Lessons& l : lessons)
        learnt += l.learnt.size();
    Helper helper(usableCores() > 1 && learnt + seenEarlier_.size() >= kHelpedFrom);
    const auto volume = [this](std::uint64_t device) { return volumeOf(device); };
    KeyedLearnt files;
    std::int64_t tags = 0;
    if (helper.threaded() && lessons.size() > 1) {
        std::size_t half = 0;
        for (std::size_t count = 0;
             half < lessons.size() && count + lessons[half].learnt.size() <= learnt / 2; ++half)
            count += lessons[half].learnt.size();
        KeyedLearnt first;
        KeyedLearnt second;
        std::int64_t firstTags = 0;
        helper.start([&] { firstTags = sortByKey(lessons.first(half), first, volume); });
        tags = sortByKey(lessons.subspan(half), second, volume);
        helper.wait();
        tags = std::max(tags, firstTags);
        files.resize(first.size() + second.size());
        std::merge(first.begin(), first.end(), second.begin(), second.end(), files.begin());
    } else {
        tags = sortByKey(lessons, files, volume);
    }
    // Found by one look() after another, the keys may need sorting.
    std::vector<Key> seen;
    seen.swap(seenEarlier_);
    if (!std::is_sorted(seen.begin(), seen.end())) {
        std::sort(seen.begin(), seen.end());
        seen.erase(std::unique(seen.begin(), seen.end()), seen.end());
    }
    const std::int64_t day = today();
    RowWriter writer(db_, files, seen, {day, day - limits_.days}, helper);
    // Proof numbers count on from the larger of the store's count and the clock in nanoseconds:
    // a search takes far fewer numbers than nanoseconds pass, so that no number an earlier
    // search took comes again, even when the count went back (a database restored without its
    // log, pages of two days pieced together), which would make two groups one.
    Statement take(db_, "UPDATE meta SET next_proof = max(next_proof, ?2) + ?1"
                        " RETURNING next_proof - ?1");
    if (!writer || !take) {
        fail(QT_TRANSLATE_NOOP("ProofCache", "not written"));
        return;
    }
    // New proof numbers, one per tag, taken in the transaction that writes the first of them.
    bool numbered = tags == 0;
    while (!writer.done()) {
        bool ok = exec("BEGIN IMMEDIATE");
        if (ok && !numbered) {
            take.bind(1, tags);
            take.bind(2, std::clamp(wallClockNanoseconds(), std::int64_t{0},
                                    std::numeric_limits<std::int64_t>::max() / 2));
            ok = take.step() == SQLITE_ROW;
            if (ok)
                writer.numberFrom(take.column(0));
            take.reset();
            numbered = ok;
        }
        ok = ok && writer.writeSome(limits_.entriesPerTransaction) && exec("COMMIT");
        if (!ok) {
            fail(QT_TRANSLATE_NOOP("ProofCache", "not written"));
            exec("ROLLBACK");
            return;
        }
    }
}

bool ProofCache::forget(const std::string& folder, std::string& problem) {
    if (folder.empty()) {
        problem = userText("ProofCache", "no cache folder (HOME is not set)");
        return false;
    }
    const std::string path = folder + "/" + kFileName;
    if (statPath(path, false).kind == FileKind::Missing)
        return true;
    sqlite3* db = nullptr;
    bool done = false;
    if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr) == SQLITE_OK) {
        sqlite3_busy_timeout(db, kBusyMilliseconds);
        done = sqlite3_exec(db, "DELETE FROM block", nullptr, nullptr, nullptr) == SQLITE_OK;
        if (done)
            sqlite3_exec(db, "PRAGMA wal_checkpoint(TRUNCATE); VACUUM", nullptr, nullptr, nullptr);
    }
    sqlite3_close_v2(db);
    if (done)
        return true;
    // A store that cannot be opened or emptied goes whole.
    for (const char* suffix : {"", "-wal", "-shm", "-journal"}) {
        if (const int err = removeFile(path + suffix)) {
            problem = path + suffix + ": " + errorText(err);
            return false;
        }
    }
    return true;
}

} // namespace trevalo
