// SPDX-License-Identifier: GPL-2.0-or-later
#include "search/ProofCache.h"

#include "platform/UserText.h"

#include <QtGlobal>
#include <algorithm>
#include <cstring>
#include <ctime>
#include <limits>
#include <numeric>
#include <sqlite3.h>
#include <unordered_map>
#include <utility>

namespace trevalo {

namespace {

// Marks the database as this program's ("Trvp"), and the layout of its tables. A database of
// another layout is made anew.
constexpr int kApplicationId = 0x54727670;
constexpr int kSchemaVersion = 1;
constexpr const char* kFileName = "proofs.sqlite";
// Rows written per transaction, so that another program waits for the store only briefly.
constexpr std::size_t kRowsPerTransaction = 5000;
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
    bool isNull(int c) const { return sqlite3_column_type(stmt_, c) == SQLITE_NULL; }
    // The result of one step; the statement is reset for the next use once it is done.
    int step() { return sqlite3_step(stmt_); }
    void reset() {
        sqlite3_reset(stmt_);
        sqlite3_clear_bindings(stmt_);
    }

private:
    sqlite3_stmt* stmt_ = nullptr;
};

bool isDamaged(int code) {
    code &= 0xff;
    return code == SQLITE_CORRUPT || code == SQLITE_NOTADB;
}

void bindStamp(Statement& s, const FileStamp& stamp) {
    s.bind(1, static_cast<std::int64_t>(stamp.device));
    s.bind(2, static_cast<std::int64_t>(stamp.inode));
}

// The digests of parts as a blob: chunk, low and high half of each, as 64-bit numbers of this
// machine.
std::vector<std::int64_t> partsBlob(const ReadDigests& digests) {
    std::vector<std::int64_t> blob;
    for (const PartDigest& p : digests.parts) {
        blob.push_back(p.chunk);
        blob.push_back(static_cast<std::int64_t>(p.digest.low));
        blob.push_back(static_cast<std::int64_t>(p.digest.high));
    }
    return blob;
}

void readParts(sqlite3_stmt* s, int column, ReadDigests& digests) {
    const auto* blob = static_cast<const char*>(sqlite3_column_blob(s, column));
    const auto bytes = static_cast<std::size_t>(sqlite3_column_bytes(s, column));
    constexpr std::size_t kPartBytes = 3 * sizeof(std::int64_t);
    for (std::size_t at = 0; blob && at + kPartBytes <= bytes; at += kPartBytes) {
        std::int64_t v[3];
        std::memcpy(v, blob + at, kPartBytes);
        digests.addPart(v[0], {static_cast<std::uint64_t>(v[1]), static_cast<std::uint64_t>(v[2])});
    }
}

bool sameIdentity(const Statement& s, int first, const FileStamp& stamp) {
    return s.column(first) == stamp.size &&
           s.column(first + 1) == nanoseconds(stamp.mtime, stamp.mtimeNsec) &&
           s.column(first + 2) == nanoseconds(stamp.ctime, stamp.ctimeNsec);
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
    if (!exec("PRAGMA journal_mode=WAL") || !exec("PRAGMA synchronous=NORMAL") ||
        !exec("PRAGMA cache_size=-16384"))
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
        " size INTEGER NOT NULL, mtime INTEGER NOT NULL, ctime INTEGER NOT NULL,"
        " head_low INTEGER, head_high INTEGER, parts BLOB, proof INTEGER NOT NULL DEFAULT 0,"
        " seen INTEGER NOT NULL, PRIMARY KEY(device, inode)) WITHOUT ROWID;"
        "CREATE INDEX file_seen ON file(seen);"
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
// those seen longest ago.
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
    std::vector<KnownFile> known(stamps.size());
    if (!db_ || stamps.empty())
        return known;
    // In the order of the table's key (as SQLite orders its signed integers), so that a scan
    // of the table meets them in turn and lookups visit the pages of the index once each.
    const auto keyOf = [&](std::size_t i) {
        return std::pair(static_cast<std::int64_t>(stamps[i].device),
                         static_cast<std::int64_t>(stamps[i].inode));
    };
    std::vector<std::size_t> order(stamps.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::sort(order.begin(), order.end(),
              [&](std::size_t a, std::size_t b) { return keyOf(a) < keyOf(b); });
    if (!exec("BEGIN")) {
        fail(QT_TRANSLATE_NOOP("ProofCache", "not read"));
        return known;
    }
    const std::int64_t day = today();
    const auto take = [&](const Statement& row, std::size_t i) {
        if (!sameIdentity(row, 2, stamps[i]))
            return;
        KnownFile& k = known[i];
        k.found = true;
        if (!row.isNull(5)) {
            k.digests.hasHead = true;
            k.digests.head = {static_cast<std::uint64_t>(row.column(5)),
                              static_cast<std::uint64_t>(row.column(6))};
        }
        readParts(row.get(), 9, k.digests);
        k.proof = row.column(7);
        k.seenEarlier = row.column(8) < day;
    };
    constexpr const char* kColumns =
        "device, inode, size, mtime, ctime, head_low, head_high, proof, seen, parts FROM file";
    // A table not much larger than the files looked for is read whole, in key order, beside
    // them; otherwise each file is looked up.
    Statement count(db_, "SELECT count(*) FROM file");
    const bool scan = count && count.step() == SQLITE_ROW &&
                      count.column(0) <= 8 * static_cast<std::int64_t>(stamps.size());
    int step = SQLITE_DONE;
    if (scan) {
        Statement all(db_, (std::string("SELECT ") + kColumns + " ORDER BY device, inode").c_str());
        std::size_t at = 0;
        while (all && at < order.size() && (step = all.step()) == SQLITE_ROW) {
            const std::pair key(all.column(0), all.column(1));
            while (at < order.size() && keyOf(order[at]) < key)
                ++at;
            for (; at < order.size() && keyOf(order[at]) == key; ++at)
                take(all, order[at]);
        }
        if (!all)
            step = SQLITE_ERROR;
    } else {
        Statement find(
            db_, (std::string("SELECT ") + kColumns + " WHERE device = ?1 AND inode = ?2").c_str());
        for (std::size_t at = 0; find && at < order.size(); ++at) {
            bindStamp(find, stamps[order[at]]);
            step = find.step();
            if (step == SQLITE_ROW)
                take(find, order[at]);
            find.reset();
            if (step != SQLITE_ROW && step != SQLITE_DONE)
                break;
        }
        if (!find)
            step = SQLITE_ERROR;
    }
    if (step != SQLITE_ROW && step != SQLITE_DONE) {
        fail(QT_TRANSLATE_NOOP("ProofCache", "not read"));
        exec("ROLLBACK");
        return std::vector<KnownFile>(stamps.size());
    }
    exec("COMMIT");
    return known;
}

void ProofCache::keep(std::span<const LearntFile> learnt, std::span<const FileStamp> seenFiles) {
    if (!db_)
        return;
    // Written in the order of the table's key, so that each page of it is written once rather
    // than once per row that lands on it.
    const auto byKey = [](const FileStamp& a, const FileStamp& b) {
        return std::pair(static_cast<std::int64_t>(a.device), static_cast<std::int64_t>(a.inode)) <
               std::pair(static_cast<std::int64_t>(b.device), static_cast<std::int64_t>(b.inode));
    };
    std::vector<LearntFile> files(learnt.begin(), learnt.end());
    std::sort(files.begin(), files.end(),
              [&](const LearntFile& a, const LearntFile& b) { return byKey(a.stamp, b.stamp); });
    std::vector<FileStamp> seen(seenFiles.begin(), seenFiles.end());
    std::sort(seen.begin(), seen.end(), byKey);
    const std::int64_t day = today();
    Statement put(db_,
                  "INSERT OR REPLACE INTO file(device, inode, size, mtime, ctime, head_low, "
                  "head_high, proof, seen, parts) VALUES(?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10)");
    Statement touch(db_, "UPDATE file SET seen = ?3 WHERE device = ?1 AND inode = ?2");
    Statement take(db_, "UPDATE meta SET next_proof = next_proof + ?1 RETURNING next_proof - ?1");
    if (!put || !touch || !take) {
        fail(QT_TRANSLATE_NOOP("ProofCache", "not written"));
        return;
    }
    // New proof numbers, one per tag, taken in the transaction that writes the first of them.
    std::unordered_map<std::int64_t, std::int64_t> proofOf;
    std::int64_t tags = 0;
    for (const LearntFile& f : files)
        tags = std::max(tags, f.tag);
    std::int64_t firstProof = 0;
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
        for (std::size_t n = 0; n < kRowsPerTransaction && at < files.size(); ++n, ++at) {
            const LearntFile& f = files[at];
            bindStamp(put, f.stamp);
            put.bind(3, f.stamp.size);
            put.bind(4, nanoseconds(f.stamp.mtime, f.stamp.mtimeNsec));
            put.bind(5, nanoseconds(f.stamp.ctime, f.stamp.ctimeNsec));
            if (f.digests.hasHead) {
                put.bind(6, static_cast<std::int64_t>(f.digests.head.low));
                put.bind(7, static_cast<std::int64_t>(f.digests.head.high));
            }
            const std::vector<std::int64_t> parts = partsBlob(f.digests);
            if (!parts.empty())
                sqlite3_bind_blob(put.get(), 10, parts.data(),
                                  static_cast<int>(parts.size() * sizeof(std::int64_t)),
                                  SQLITE_TRANSIENT);
            put.bind(8, f.tag > 0 ? firstProof + f.tag - 1 : -f.tag);
            put.bind(9, day);
            const int step = put.step();
            put.reset();
            if (step != SQLITE_DONE)
                return false;
        }
        for (std::size_t n = 0; n < kRowsPerTransaction && touched < seen.size(); ++n, ++touched) {
            bindStamp(touch, seen[touched]);
            touch.bind(3, day);
            const int step = touch.step();
            touch.reset();
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
