// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/Process.h"

#include <malloc.h>

namespace trevalo {

void tuneProcessForSearches() {
    // A search allocates in waves (the catalogue grows, is sorted, is compared, is listed).
    // Memory freed by one wave is kept in the heap for the next instead of being handed back
    // and faulted in afresh; releaseFreedMemory gives it back once the search is over.
    ::mallopt(M_MMAP_THRESHOLD, 64 * 1024 * 1024);
    ::mallopt(M_TRIM_THRESHOLD, 256 * 1024 * 1024);
}

void releaseFreedMemory() {
    ::malloc_trim(0);
}

} // namespace trevalo
