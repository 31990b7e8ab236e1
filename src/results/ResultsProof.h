// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "results/ResultsFile.h"
#include "search/SearchEvents.h"

#include <atomic>
#include <cstddef>
#include <functional>

namespace trevalo {

// Rows that come from a results file are claims made at another time: every one is proven
// against the disk as it is now before it can be marked or acted on.

// What proving the lists did.
struct ProofReport {
    std::size_t stale = 0;    // rows greyed: changed, gone, no date, or the same file as another
    std::size_t settled = 0;  // rows that left the lists: no longer identical to, or no longer
                              // sharing a name with, another file
    std::size_t split = 0;    // rows moved out of their group into a group of their own
    std::size_t unproven = 0; // rows left greyed because the check was cancelled
    bool cancelled = false;
};

// Looked at while the lists are proven: a cancel request (between files, and between the
// chunks of a comparison) and the bytes compared so far of the bytes to compare.
struct ProofControl {
    const std::atomic<bool>* cancel = nullptr;
    std::function<void(const SearchWork&)> work;
};

// Proves the lists of an opened results file, in place:
// - Each row's file is looked at (lstat): a row whose file is gone, is no longer a regular
//   file, whose size or last-write time (whole seconds) differs, or for which the file gives
//   no time, is stale with its reason; every other row takes the file's present stamp, so
//   whatever acts on it later checks against the file that was looked at.
// - One file, one row: in each list a row whose file (device and inode) an earlier row already
//   stands for is stale ("the same file as ...").
// - "Zero Size": a row whose size is not 0 is stale.
// - "Duplicates": a group whose rows give different sizes is stale whole; every other group is
//   compared again byte for byte with the search's own comparison (each file read at most once,
//   dropped at its first difference). Files that are no longer identical to their group leave
//   it, into a group of their own with the files they are identical to, or out of the list when
//   identical to none. A file that cannot be read is stale with the reason. Once cancelled, the
//   groups not proven are stale.
// - "Same Name": the groups are formed again from the rows' names; a row whose name no other
//   row shares leaves the list.
// Rows of folders that could not be listed and of files that could not be measured stay as they
// are. Runs on any thread; reads the disk.
ProofReport proveOpenedResults(ResultLists& lists, const ProofControl& control = {});

} // namespace trevalo
