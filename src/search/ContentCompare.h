#pragma once

#include "search/SearchModel.h"

#include <atomic>
#include <cstdint>
#include <functional>

namespace trevalo {

// The logical chunk length for files of size sz: the whole file below 40480 bytes, 2024 bytes
// from there on.
std::int64_t GetBufferSz(std::int64_t sz);

// Comparison buffers are reused from run to run; this gives them back to the system (at the
// end of a search).
void releaseComparisonBuffers();

// Reports, during a long comparison, the table index it has reached (for the progress bar).
using CompareProgress = std::function<void(std::int64_t index)>;

// Groups the files of the run table[dupStart..dupEnd] (all of one FileSize, every DupGroup at
// -1) by identical contents. Afterwards each entry's DupGroup is the smallest table index of
// its group of two or more identical files, -1 when no other file of the run is identical, or
// -3 when the file could not be opened or read in full where the comparison needed its bytes.
// Files are read in logical chunks of GetBufferSz bytes, all in step; a file is read no further
// once it belongs to no group. The cancel request is looked at between chunks: a cancelled
// run is abandoned whole (every entry back at -1) and false is returned.
// For runs of at most 250 entries; at most that many files are open at once.
bool CompFileCnt(FileTable& table, std::int64_t dupStart, std::int64_t dupEnd,
                 const std::atomic<bool>* cancel = nullptr);

// The same grouping for longer runs, with a bounded number of open files and bounded memory:
// each file is streamed against the leader of its set and dropped at its first difference; a
// large set is shared with a second thread, and the result does not depend on which thread read
// what. Progress is reported on the calling thread only. SameSizeOnly is always true (the run is
// of one size).
bool CompFileCnt2(FileTable& table, std::int64_t dupStart, std::int64_t dupEnd, bool SameSizeOnly,
                  const std::atomic<bool>* cancel = nullptr, const CompareProgress& progress = {});

} // namespace trevalo
