// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/Process.h"

#include <malloc.h>
#include <sched.h>

namespace trevalo {

void tuneProcessForSearches() {
    // A search allocates in waves (the catalogue grows, is sorted, is compared, is listed).
    // Memory freed by one wave is kept in the heap for the next instead of being handed back
    // and faulted in afresh; releaseFreedMemory gives it back once the search is over.
    ::mallopt(M_MMAP_THRESHOLD, 64 * 1024 * 1024);
    ::mallopt(M_TRIM_THRESHOLD, 256 * 1024 * 1024);
    // One heap for every thread: what one thread of a search frees (the walk's lists of files,
    // replayed on another thread) is there for the next to use, rather than each thread
    // growing a heap of its own. Two or three threads hardly ever wait on it.
    ::mallopt(M_ARENA_MAX, 1);
}

int usableCores() {
    cpu_set_t set;
    CPU_ZERO(&set);
    if (::sched_getaffinity(0, sizeof(set), &set) != 0)
        return 1;
    return CPU_COUNT(&set) > 0 ? CPU_COUNT(&set) : 1;
}

void releaseFreedMemory() {
    ::malloc_trim(0);
}

} // namespace trevalo
