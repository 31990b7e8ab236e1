// SPDX-License-Identifier: GPL-2.0-or-later
#include "search/ProofCache.h"

#include "platform/UserText.h"

#include <QtGlobal>
#include <algorithm>
#include <array>
#include <cstring>
#include <ctime>
#include <limits>
#include <sqlite3.h>
#include <utility>

namespace trevalo {

namespace {

// Marks the database as this program's ("Trvp"), and the layout of its tables. A database of
// another layout is made anew.
constexpr int kApplicationId = 0x54727670;
constexpr int kSchemaVersion = 3;
constexpr const char* kFileName = "proofs.sqlite";
// Rows written per transaction, so that another program waits for the store only briefly.
constexpr std::size_t kRowsPerTransaction = 5000;
// Rows written by one statement: a statement per row costs about half as much again as the
// row itself; 64 rows cost 8% less than 16, 256 hardly less than 64.
constexpr std::size_t kRowsPerStatement = 64;
constexpr int kBusyMilliseconds = 2000;
constexpr std::int64_t kSecondsPerDay = 86400;

std::int64_t today() {
    return static_cast<std::int64_t>(std::time(nullptr)) / kSecondsPerDay;
}

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

// The key of a file's row in the file table, as SQLite orders it (signed integers).
std::pair<std::int64_t, std::int64_t> keyOf(const FileStamp& stamp) {
    return {static_cast<std::int64_t>(stamp.device), static_cast<std::int64_t>(stamp.inode)};
}

// An item with its key beside it, so that sorting them reads no item.
template <typename T> struct Keyed {
    std::pair<std::int64_t, std::int64_t> key;
    const T* item = nullptr;
    bool operator<(const Keyed& other) const { return key < other.key; }
};

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
    std::vector<Place> places;
    std::pair<std::int64_t, std::int64_t> key(std::size_t at) const {
        return {devices[places[at].device], places[at].inode};
    }
};

KeyOrder inKeyOrder(std::span<const FileStamp* const> stamps) {
    KeyOrder order;
    for (const FileStamp* stamp : stamps) {
        const auto device = static_cast<std::int64_t>(stamp->device);
        if (std::find(order.devices.begin(), order.devices.end(), device) == order.devices.end())
            order.devices.push_back(device);
    }
    std::sort(order.devices.begin(), order.devices.end());
    order.places.resize(stamps.size());
    std::uint32_t device = 0;
    for (std::size_t i = 0; i < stamps.size(); ++i) {
        const auto [on, inode] = keyOf(*stamps[i]);
        if (order.devices[device] != on)
            device = static_cast<std::uint32_t>(
                std::lower_bound(order.devices.begin(), order.devices.end(), on) -
                order.devices.begin());
        order.places[i] = {inode, device, static_cast<std::uint32_t>(i)};
    }
    std::sort(order.places.begin(), order.places.end());
    return order;
}

// Asks for an object's memory to be brought in, ahead of its use.
template <typename T> void prefetch(const T* object) {
    const auto* bytes = reinterpret_cast<const char*>(object);
    for (std::size_t at = 0; at < sizeof(T); at += 64)
        __builtin_prefetch(bytes + at);
}

// Every column of a row of the file table, in the order putSql names them. What is known of
// the file lies in one blob (see factsOf): SQLite's work for a row written grows with its
// columns, and nothing is looked for by those facts.
constexpr std::size_t kColumnsPerRow = 4;

// A statement that writes `rows` rows of the file table.
std::string putSql(std::size_t rows) {
    std::string sql = "INSERT OR REPLACE INTO file(device, inode, seen, facts) VALUES";
    for (std::size_t r = 0; r < rows; ++r)
        sql += r == 0 ? "(?,?,?,?)" : ",(?,?,?,?)";
    return sql;
}

bool isDamaged(int code) {
    code &= 0xff;
    return code == SQLITE_CORRUPT || code == SQLITE_NOTADB;
}

void bindStamp(Statement& s, const FileStamp& stamp) {
    s.bind(1, static_cast<std::int64_t>(stamp.device));
    s.bind(2, static_cast<std::int64_t>(stamp.inode));
}

// The facts of a file's row, as 64-bit numbers of this machine: its size, last-write and
// change times in nanoseconds and proof number; then the two halves of its first chunk's
// digest when it is known; then chunk, low and high half of each part digest. Their count
// tells whether the first chunk's digest is there (4 + 2 numbers, against 4 + 3 per part).
constexpr std::size_t kStampWords = 4;
constexpr std::size_t kHeadWords = 2;
constexpr std::size_t kPartWords = 3;

void factsOf(const LearntFile& f, std::int64_t proof, std::vector<std::int64_t>& facts) {
    facts.clear();
    facts.push_back(f.stamp->size);
    facts.push_back(nanoseconds(f.stamp->mtime, f.stamp->mtimeNsec));
    facts.push_back(nanoseconds(f.stamp->ctime, f.stamp->ctimeNsec));
    facts.push_back(proof);
    if (f.digests.hasHead) {
        facts.push_back(static_cast<std::int64_t>(f.digests.head.low));
        facts.push_back(static_cast<std::int64_t>(f.digests.head.high));
    }
    for (const PartDigest& p : f.digests.parts) {
        facts.push_back(p.chunk);
        facts.push_back(static_cast<std::int64_t>(p.digest.low));
        facts.push_back(static_cast<std::int64_t>(p.digest.high));
    }
}

// What the facts in column `column` of a row tell of a file of this identity; nothing unless
// the file has that identity (and the facts are whole).
KnownFile knownFrom(sqlite3_stmt* s, int column, const FileStamp& stamp) {
    KnownFile k;
    const auto* blob = static_cast<const char*>(sqlite3_column_blob(s, column));
    const auto bytes = static_cast<std::size_t>(sqlite3_column_bytes(s, column));
    constexpr std::size_t kWord = sizeof(std::int64_t);
    if (!blob || bytes % kWord != 0 || bytes / kWord < kStampWords)
        return k;
    const std::size_t words = bytes / kWord;
    const auto word = [&](std::size_t i) {
        std::int64_t v = 0;
        std::memcpy(&v, blob + i * kWord, kWord);
        return v;
    };
    const std::size_t rest = words - kStampWords;
    const bool hasHead = rest % kPartWords == kHeadWords % kPartWords;
    if ((!hasHead && rest % kPartWords != 0) || word(0) != stamp.size ||
        word(1) != nanoseconds(stamp.mtime, stamp.mtimeNsec) ||
        word(2) != nanoseconds(stamp.ctime, stamp.ctimeNsec) || word(3) < 0)
        return k;
    k.proof = word(3);
    std::size_t at = kStampWords;
    if (hasHead) {
        k.digests.hasHead = true;
        k.digests.head = {static_cast<std::uint64_t>(word(at)),
                          static_cast<std::uint64_t>(word(at + 1))};
        at += kHeadWords;
    }
    for (; at + kPartWords <= words; at += kPartWords)
        k.digests.addPart(word(at), {static_cast<std::uint64_t>(word(at + 1)),
                                     static_cast<std::uint64_t>(word(at + 2))});
    return k;
}

// The columns of row `r` of a statement that writes several rows: a learnt file, its proof
// number (`firstProof` numbers the first tag of this search), the day it was seen. `facts`
// holds the row's blob until the statement has run.
void bindLearnt(Statement& put, std::size_t r, const LearntFile& f, std::int64_t firstProof,
                std::int64_t day, std::vector<std::int64_t>& facts) {
    const auto column = [&](int c) { return static_cast<int>(r * kColumnsPerRow) + c; };
    put.bind(column(1), static_cast<std::int64_t>(f.stamp->device));
    put.bind(column(2), static_cast<std::int64_t>(f.stamp->inode));
    put.bind(column(3), day);
    factsOf(f, f.tag > 0 ? firstProof + f.tag - 1 : -f.tag, facts);
    sqlite3_bind_blob(put.get(), column(4), facts.data(),
                      static_cast<int>(facts.size() * sizeof(std::int64_t)), SQLITE_STATIC);
}

// The learnt files of all lessons in the table's key order; the highest proof tag.
std::int64_t sortByKey(std::span<const Lessons> lessons, std::vector<Keyed<LearntFile>>& files) {
    std::size_t learntCount = 0;
    for (const Lessons& l : lessons)
        learntCount += l.learnt.size();
    files.reserve(learntCount);
    std::int64_t tags = 0;
    for (const Lessons& l : lessons) {
        for (const LearntFile& f : l.learnt) {
            files.push_back({keyOf(*f.stamp), &f});
            tags = std::max(tags, f.tag);
        }
    }
    std::sort(files.begin(), files.end());
    return tags;
}

// Reads the entries of the files in `keys` and hands each row found to take(row, at), `at`
// the file's place in key order. The last step's result.
template <typename Take>
int readEntries(sqlite3* db, bool scan, const KeyOrder& keys,
                std::span<const FileStamp* const> stamps, const Take& take) {
    constexpr const char* kColumns = "device, inode, seen, facts FROM file";
    const std::size_t count = keys.places.size();
    int step = SQLITE_DONE;
    if (scan) {
        Statement all(db, (std::string("SELECT ") + kColumns + " ORDER BY device, inode").c_str());
        std::size_t at = 0;
        while (all && at < count && (step = all.step()) == SQLITE_ROW) {
            const std::pair key(all.column(0), all.column(1));
            while (at < count && keys.key(at) < key)
                ++at;
            for (; at < count && keys.key(at) == key; ++at)
                take(all, at);
        }
        return all ? step : SQLITE_ERROR;
    }
    Statement find(
        db, (std::string("SELECT ") + kColumns + " WHERE device = ?1 AND inode = ?2").c_str());
    for (std::size_t at = 0; find && at < count; ++at) {
        bindStamp(find, *stamps[keys.places[at].file]);
        step = find.step();
        if (step == SQLITE_ROW)
            take(find, at);
        find.reset();
        if (step != SQLITE_ROW && step != SQLITE_DONE)
            break;
    }
    return find ? step : SQLITE_ERROR;
}

} // namespace

std::string ProofCache::defaultFolder() {
    const std::string base = userCacheFolder();
    return base.empty() ? std::string() : base + "/trevalo";
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
    for (int attempt = 0; attempt < 2; ++attempt) {
        close();
        if (sqlite3_open_v2(path.c_str(), &db_,
                            SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX,
                            nullptr) != SQLITE_OK) {
            fail(QT_TRANSLATE_NOOP("ProofCache", "not used"));
            return false;
        }
        sqlite3_busy_timeout(db_, kBusyMilliseconds);
        if (prepareSchema()) {
            prune();
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

bool ProofCache::prepareSchema() {
    // Losing the last transactions to a power cut costs the next search a reading of those
    // files, no more: the log is synced at checkpoints only, and a checkpoint syncs it before
    // the database, which is thus never torn (set before the switch to the log, which a new
    // database makes with a journal of its own). Checkpoints come at 16 MB of log rather than
    // SQLite's 1,000 pages, so that a first search of 100,000 files syncs once, as it closes
    // the store. SQLite's page cache keeps its default size (2 MB): rows are written and read
    // in key order, and each page it holds beyond that is fresh memory to fault in. A new store
    // has pages of 16 KB: a first search of 100,000 files costs SQLite a tenth less work than
    // with 4 KB pages (fewer pages split, logged and checksummed); larger ones give no more. A
    // store made before keeps its pages.
    if (!exec("PRAGMA page_size=16384") || !exec("PRAGMA synchronous=NORMAL") ||
        !exec("PRAGMA journal_mode=WAL"))
        return false;
    Statement pageSize(db_, "PRAGMA page_size");
    const std::int64_t page = pageSize && pageSize.step() == SQLITE_ROW ? pageSize.column(0) : 0;
    pageSize.reset();
    const std::string checkpoint =
        "PRAGMA wal_autocheckpoint=" + std::to_string(page > 0 ? (16 << 20) / page : 4096);
    if (!exec(checkpoint.c_str()))
        return false;
    Statement version(db_, "SELECT (SELECT application_id FROM pragma_application_id), "
                           "(SELECT user_version FROM pragma_user_version)");
    if (!version || version.step() != SQLITE_ROW)
        return false;
    const std::int64_t application = version.column(0);
    const std::int64_t schema = version.column(1);
    version.reset();
    if (application == kApplicationId && schema == kSchemaVersion)
        return true;
    // New, or of another layout: the tables are made anew in one transaction.
    const bool foreign = application != 0 || schema != 0;
    const std::string create =
        "BEGIN IMMEDIATE;"
        "DROP TABLE IF EXISTS file; DROP TABLE IF EXISTS meta;"
        "CREATE TABLE file(device INTEGER NOT NULL, inode INTEGER NOT NULL,"
        " seen INTEGER NOT NULL, facts BLOB NOT NULL, PRIMARY KEY(device, inode)) WITHOUT ROWID;"
        "CREATE TABLE meta(next_proof INTEGER NOT NULL, pruned INTEGER NOT NULL);"
        "INSERT INTO meta VALUES(1, 0);"
        "PRAGMA application_id=" +
        std::to_string(kApplicationId) + "; PRAGMA user_version=" + std::to_string(kSchemaVersion) +
        "; COMMIT;";
    if (!exec(create.c_str())) {
        exec("ROLLBACK");
        return false;
    }
    if (foreign)
        problem_ = userText("ProofCache",
                            "Proof cache was written by another version and has been made anew.");
    return true;
}

// Once a day at most: entries of files not seen for limits_.days go, and beyond limits_.files
// those seen longest ago. The days are not indexed (an index would cost every row written a
// second insertion): this reads the whole table, once a day.
void ProofCache::prune() {
    const std::int64_t day = today();
    Statement last(db_, "SELECT pruned FROM meta");
    if (!last || last.step() != SQLITE_ROW || last.column(0) >= day)
        return;
    last.reset();
    if (!exec("BEGIN IMMEDIATE"))
        return;
    Statement old(db_, "DELETE FROM file WHERE seen < ?1");
    old.bind(1, day - limits_.days);
    bool ok = old && old.step() == SQLITE_DONE;
    Statement excess(db_,
                     "DELETE FROM file WHERE (device, inode) IN (SELECT device, inode "
                     "FROM file ORDER BY seen LIMIT max(0, (SELECT count(*) FROM file) - ?1))");
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

bool ProofCache::settled(const FileStamp& stamp, std::int64_t now) const {
    if (!inNanosecondRange(stamp.mtime) || !inNanosecondRange(stamp.ctime))
        return false;
    const std::int64_t latest = std::max(nanoseconds(stamp.mtime, stamp.mtimeNsec),
                                         nanoseconds(stamp.ctime, stamp.ctimeNsec));
    return latest <= now - limits_.settleNanoseconds;
}

std::vector<KnownFile> ProofCache::look(std::span<const FileStamp> stamps) {
    std::vector<const FileStamp*> each(stamps.size());
    for (std::size_t i = 0; i < stamps.size(); ++i)
        each[i] = &stamps[i];
    return look(std::span<const FileStamp* const>(each));
}

std::vector<KnownFile> ProofCache::look(std::span<const FileStamp* const> stamps) {
    std::vector<KnownFile> known;
    // Positions are kept in 32 bits: beyond them (some 400 GB of table) nothing is looked up.
    if (!db_ || stamps.empty() || stamps.size() > std::numeric_limits<std::uint32_t>::max())
        return known;
    if (!exec("BEGIN")) {
        fail(QT_TRANSLATE_NOOP("ProofCache", "not read"));
        return known;
    }
    Statement counted(db_, "SELECT count(*) FROM file");
    const std::int64_t entries = counted && counted.step() == SQLITE_ROW ? counted.column(0) : -1;
    if (entries == 0) {
        exec("COMMIT");
        return known;
    }
    const KeyOrder keys = inKeyOrder(stamps);
    const std::vector<Place>& order = keys.places;
    const auto keyAt = [&](std::size_t at) { return keys.key(at); };
    const auto stampAt = [&](std::size_t at) { return stamps[order[at].file]; };
    const std::int64_t day = today();
    const std::size_t seenBefore = seenEarlier_.size();
    const auto take = [&](const Statement& row, std::size_t at) {
        // The files lie in table order, not key order: those a few places on are fetched now,
        // their stamps once the pointers to them have come.
        constexpr std::size_t kAhead = 8;
        if (at + 2 * kAhead < order.size())
            __builtin_prefetch(&stamps[order[at + 2 * kAhead].file]);
        if (at + kAhead < order.size()) {
            prefetch(stampAt(at + kAhead));
            if (!known.empty())
                prefetch(&known[order[at + kAhead].file]);
        }
        KnownFile k = knownFrom(row.get(), 3, *stampAt(at));
        if (!k.found())
            return;
        if (known.empty())
            known.resize(stamps.size());
        known[order[at].file] = std::move(k);
        // Met in key order: a file asked for twice is one key.
        if (row.column(2) < day &&
            (seenEarlier_.size() == seenBefore || seenEarlier_.back() != keyAt(at)))
            seenEarlier_.push_back(keyAt(at));
    };
    // A table not much larger than the files looked for is read whole, in key order, beside
    // them; otherwise each file is looked up.
    const bool scan = entries >= 0 && entries <= 8 * static_cast<std::int64_t>(stamps.size());
    const int step = readEntries(db_, scan, keys, stamps, take);
    if (step != SQLITE_ROW && step != SQLITE_DONE) {
        fail(QT_TRANSLATE_NOOP("ProofCache", "not read"));
        exec("ROLLBACK");
        seenEarlier_.resize(seenBefore);
        return {};
    }
    exec("COMMIT");
    return known;
}

void ProofCache::keep(std::span<const Lessons> lessons) {
    if (!db_)
        return;
    // Written in the order of the table's key, so that each page of it is written once rather
    // than once per row that lands on it. The lessons are sorted where they lie, by their keys
    // (copied together they would cost more in fresh memory than in writing).
    std::vector<Keyed<LearntFile>> files;
    const std::int64_t tags = sortByKey(lessons, files);
    // Found by one look() after another, the keys may need sorting.
    std::vector<std::pair<std::int64_t, std::int64_t>> seen;
    seen.swap(seenEarlier_);
    if (!std::is_sorted(seen.begin(), seen.end())) {
        std::sort(seen.begin(), seen.end());
        seen.erase(std::unique(seen.begin(), seen.end()), seen.end());
    }
    const std::int64_t day = today();
    Statement putMany(db_, putSql(kRowsPerStatement).c_str());
    Statement putOne(db_, putSql(1).c_str());
    Statement touch(db_, "UPDATE file SET seen = ?3 WHERE device = ?1 AND inode = ?2");
    Statement take(db_, "UPDATE meta SET next_proof = next_proof + ?1 RETURNING next_proof - ?1");
    if (!putMany || !putOne || !touch || !take) {
        fail(QT_TRANSLATE_NOOP("ProofCache", "not written"));
        return;
    }
    touch.bind(3, day);
    // New proof numbers, one per tag, taken in the transaction that writes the first of them.
    std::int64_t firstProof = 0;
    std::array<std::vector<std::int64_t>, kRowsPerStatement> facts; // bound without a copy
    const auto write = [&](std::size_t& at, std::size_t& touched) {
        if (!exec("BEGIN IMMEDIATE"))
            return false;
        if (firstProof == 0 && tags > 0) {
            take.bind(1, tags);
            if (take.step() != SQLITE_ROW)
                return false;
            firstProof = take.column(0);
            take.reset();
        }
        for (std::size_t n = 0; n < kRowsPerTransaction && at < files.size();) {
            const std::size_t rows = files.size() - at >= kRowsPerStatement ? kRowsPerStatement : 1;
            Statement& put = rows > 1 ? putMany : putOne;
            // The files and their stamps lie in search order, not in key order: those of the
            // next statements are fetched while this one is bound.
            for (std::size_t r = at + rows; r < std::min(at + 2 * rows, files.size()); ++r)
                prefetch(files[r].item->stamp);
            for (std::size_t r = at + 2 * rows; r < std::min(at + 3 * rows, files.size()); ++r)
                prefetch(files[r].item);
            for (std::size_t r = 0; r < rows; ++r)
                bindLearnt(put, r, *files[at + r].item, firstProof, day, facts[r]);
            const int step = put.step();
            put.rewind();
            if (step != SQLITE_DONE)
                return false;
            at += rows;
            n += rows;
        }
        for (std::size_t n = 0; n < kRowsPerTransaction && touched < seen.size(); ++n, ++touched) {
            touch.bind(1, seen[touched].first);
            touch.bind(2, seen[touched].second);
            const int step = touch.step();
            touch.rewind();
            if (step != SQLITE_DONE)
                return false;
        }
        return exec("COMMIT");
    };
    std::size_t at = 0;
    std::size_t touched = 0;
    while (at < files.size() || touched < seen.size()) {
        if (!write(at, touched)) {
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
        done = sqlite3_exec(db, "DELETE FROM file", nullptr, nullptr, nullptr) == SQLITE_OK;
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
