// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "search/ReadDigests.h"
#include "search/SearchState.h"

#include <atomic>
#include <cstdint>
#include <functional>

namespace trevalo {

// A position in a file, or a number of bytes.
//
// The comparison counts in bytes (ByteOffset), in chunks (ChunkIndex) and in positions of the
// table (TableIndex, group keys as EntryGroup); the names say which. They stay plain integers:
// chunk numbers and counts are added, compared and clamped against each other all the time,
// and they turn into bytes in one place only (Chunks), so wrapper types would buy a cast at
// every step for a mix-up that has one place to happen.
using ByteOffset = std::int64_t;

// The logical chunk length for files of size sz: the whole file below 40480 bytes, 2024 bytes
// from there on.
ByteOffset chunkLength(ByteOffset sz);

// Comparison buffers are reused from run to run; this frees them once the comparison is over,
// for what the search allocates next. releaseFreedMemory gives them back to the system, which
// a host that goes on after the search does (a first search of /usr gave back some 800 pieces
// of the heap one system call each, 10 ms, in a command about to end).
void releaseComparisonBuffers();

// Reports, during a long comparison, the share of the run's bytes it has decided (0 to 1),
// for the progress of a search: bytes read, and the bytes of files it needs to read no further.
using CompareProgress = std::function<void(double share)>;

// Runs of at most this many files are compared with all of them open at once.
inline constexpr std::int64_t kAllOpenRunLimit = 250;

// How many runs may be compared at once with the files this process may have open: a streamed
// run holds three at most, and some stay free for everything else. At least one.
int runsAtOnceByOpenFiles();

// How a run is compared: every file open at once and read in step, or each file streamed
// against the leader of its set with three files open at most. Automatic picks the first for
// runs of at most kAllOpenRunLimit files that fit the limit on open files, the second otherwise.
enum class CompareStrategy { Automatic, AllOpen, Streamed };

// What a comparison looks at while it works: a cancel request (looked at between chunks) and
// a report of the share it has decided (on the calling thread only); and how many runs are
// compared at the same time, which share the open files and the buffer memory.
struct CompareControl {
    const std::atomic<bool>* cancel = nullptr;
    CompareProgress progress;
    int runsAtOnce = 2;
    // When given, one per file of the run: the digests of what was read of it.
    ReadDigests* digests = nullptr;
};

// Groups the files of the run table[first..last] (all of one size, every group at
// GroupMark::None) by identical contents. Afterwards each entry's group is the smallest table
// index of its group of two or more identical files, GroupMark::None when no other file of the
// run is identical, or GroupMark::Unreadable (with its reason) when the file could not be opened
// as the file the walk found or read in full where the comparison needed its bytes. Files are
// read in logical chunks of chunkLength bytes; a file is read no further once it belongs to no
// group, and at most once. A cancelled run is abandoned whole (every entry back at None) and
// false is returned. Large sets are shared with a second thread; the result does not depend on
// which thread read what.
bool groupIdenticalFiles(FileTable& table, TableIndex first, TableIndex last,
                         const CompareControl& control = {},
                         CompareStrategy strategy = CompareStrategy::Automatic);

} // namespace trevalo
