// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "platform/FileSystem.h"
#include "platform/LargeMemory.h"
#include "search/ReadDigests.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

struct sqlite3;

namespace trevalo {

// What the store knows of one file, valid only for the exact identity it was looked up by.
struct KnownFile {
    // Files with the same non-zero proof were found identical byte for byte while each of them
    // had the identity it has now; -1: the store has no entry of that identity (so that a
    // million of these take 40 MB, not 48).
    std::int64_t proof = -1;
    ReadDigests digests;
    bool found() const { return proof >= 0; }
};

// What is known of each file looked up, in the order asked: after the table, the largest array
// of a search with the cache.
using KnownFiles = std::vector<KnownFile, LargeAllocator<KnownFile>>;

// A device of the files of a search as the store knows it: by its volume, a number of the file
// system on it (which a file system mounted on the same device later does not share), and
// whether its files' identities are each their own (see FileSystemOf::keepsIdentities).
struct DeviceVolume {
    std::uint64_t device = 0;
    std::int64_t volume = 0;
    bool trusted = false;
};

// The volume of `device` as the file at `path`, found on it, tells it: nothing when the file
// cannot tell (it is gone, or no longer on `device`).
std::optional<DeviceVolume> volumeOfDevice(const std::string& path, std::uint64_t device);

// What a search learnt of one file, to keep. The stamp is the search's own (in its table):
// it stays where it is until the lessons are kept.
struct LearntFile {
    const FileStamp* stamp = nullptr;
    ReadDigests digests;
    // 0: in no group. Otherwise files of one search with the same tag are one proven group:
    // a tag > 0 asks for a new proof number, a tag < 0 names an existing proof (-proof).
    std::int64_t tag = 0;
};

// What a search learnt, in parts (one per run compared, say): files to keep.
struct Lessons {
    std::span<const LearntFile> learnt;
};

// How long entries are kept, and how many.
struct ProofCacheLimits {
    int days = 60;                  // entries of files not seen for longer are dropped
    std::int64_t files = 2'000'000; // beyond this, the rows seen longest ago are dropped
    std::int64_t settleNanoseconds = 2'000'000'000; // see ProofCache::settled
    // The day entries are dated by and aged from, in days since 1970: today when 0.
    std::int64_t today = 0;
    // From this many files looked up at once on, a store read whole is read in two halves at
    // once, on two threads.
    std::size_t halvedFrom = 32768;
    // Entries written per transaction (in whole rows): another program waits for the store
    // some milliseconds at most. Each transaction writes again the pages the one before left
    // half full, so fewer, larger ones write less (a fifth less of the log for /usr).
    std::size_t entriesPerTransaction = 20000;
};

// A store of proofs, kept between searches in an SQLite database in a folder of the user's
// cache: groups of files proven identical by a byte comparison and digests of what was read,
// each keyed by the identity of the file (device, inode, size, nanosecond last-write and
// change times; the device known by its volume, see setVolumes). An entry is used only while
// the file has exactly that identity. The entries
// of files whose inode numbers differ only in their lowest bits share one row of the store
// (inode numbers lie close within a folder): a search reads and writes a row per some dozens
// of files rather than one per file.
//
// Several programs may use one store at once (write-ahead log, short transactions). Nothing
// that goes wrong with the store fails a search: it goes on without the store, and problem()
// says why in one line. A store that is damaged or of another version is made anew.
class ProofCache {
public:
    // $XDG_CACHE_HOME/trevalo, or ~/.cache/trevalo.
    static std::string defaultFolder();
    // Opens (creating the folder and the database when needed) the store in `folder`, and
    // copies into the database the log that searches before left: some milliseconds of
    // waiting for the disk, which a host spends beside other work (a walk, say).
    explicit ProofCache(std::string folder, ProofCacheLimits limits = {});
    ~ProofCache();
    ProofCache(const ProofCache&) = delete;
    ProofCache& operator=(const ProofCache&) = delete;

    bool usable() const { return db_ != nullptr; }
    // Why the store was not used, or not fully (empty when all went well): one line.
    const std::string& problem() const { return problem_; }

    // What the store knows of each file, by identity; nothing for a file whose entry has
    // another identity. Empty when it knows none of them (a first search holds no 48 bytes a
    // file of nothing).
    KnownFiles look(std::span<const FileStamp> stamps);
    // The same for files whose stamps lie elsewhere (in the search's table, say), without a
    // copy of them.
    KnownFiles look(std::span<const FileStamp* const> stamps);
    // Keeps what a search learnt, in short transactions, and brings the day of the entries
    // look() found with an earlier one up to date. Entries of files that changed too recently
    // to tell a later change by their times (see settled) are not kept.
    void keep(std::span<const Lessons> lessons);
    void keep(std::span<const LearntFile> learnt) {
        const Lessons all{learnt};
        keep(std::span(&all, 1));
    }

    // Whether entries about a file of this identity may be kept: its times lie far enough
    // before `now` (nanoseconds since the epoch) that a change after it was read gives it
    // other times, however coarse the file system's clock, and its device is not one that
    // setVolumes() says gives no file an identity of its own.
    bool settled(const FileStamp& stamp, std::int64_t now) const;
    // The volumes of the devices of the files looked up and kept from now on: the store keys
    // a file by its device's volume rather than by the device (a device not named here is its
    // own volume), and neither looks up nor keeps files of a device that is not trusted.
    void setVolumes(std::vector<DeviceVolume> volumes);

    // Drops every entry of the store in `folder` (or its files, when it cannot be opened).
    // False, with why in `problem`, when they could not be dropped.
    static bool forget(const std::string& folder, std::string& problem);

private:
    bool open();
    bool prepareSchema();
    void prune();
    void checkpoint();
    // A second connection to the store, for reading beside this one; null when there is none.
    sqlite3* openReader() const;
    bool exec(const char* sql);
    void fail(const char* what);
    void close();
    std::int64_t today() const;

    std::string folder_;
    ProofCacheLimits limits_;
    sqlite3* db_ = nullptr;
    std::string problem_;
    std::vector<DeviceVolume> volumes_; // by device
    std::int64_t volumeOf(std::uint64_t device) const;
    bool trusts(std::uint64_t device) const;
    // The keys of the entries look() found with a day before today, in key order: 16 bytes a
    // file until keep() brings their day up to date.
    std::vector<std::pair<std::int64_t, std::int64_t>> seenEarlier_;
};

} // namespace trevalo
