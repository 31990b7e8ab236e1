// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/Process.h"

#include <chrono>
#include <malloc.h>
#include <sched.h>
#include <sys/resource.h>

namespace trevalo {

void tuneProcessForSearches() {
    // A search allocates in waves (the catalogue grows, is sorted, is compared, is listed).
    // Memory freed by one wave is kept in the heap for the next instead of being handed back
    // and faulted in afresh; releaseFreedMemory gives it back once the search is over.
    ::mallopt(M_MMAP_THRESHOLD, 64 * 1024 * 1024);
    ::mallopt(M_TRIM_THRESHOLD, 256 * 1024 * 1024);
    // One heap per core for the search's threads and one for the thread that asked for the
    // search (the window's, busy with the rows coming in, or a command's, waiting), rather than
    // glibc's eight per core: what one thread of a search frees (the walk's lists of files,
    // replayed on another thread) is mostly there for the next to use, while threads running at
    // the same moment seldom wait for a heap (a single heap made the walking threads queue for
    // it a dozen thousand times on a tree of 140,000 files). With a heap per core only, the
    // asking thread held one and the two comparing threads often shared the other: in a first
    // search with the proof cache nearly always, waiting for it some hundreds of times.
    ::mallopt(M_ARENA_MAX, usableCores() + 1);
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

namespace {

std::int64_t blocksRead() {
    struct rusage usage {};
    return ::getrusage(RUSAGE_SELF, &usage) == 0 ? usage.ru_inblock : 0;
}

std::int64_t steadyNanoseconds() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

} // namespace

DeviceReadWatch::DeviceReadWatch() : blocksAtStart_(blocksRead()) {}

bool DeviceReadWatch::sawReads() {
    constexpr std::int64_t kInterval = 5'000'000;
    if (saw_.load(std::memory_order_relaxed))
        return true;
    const std::int64_t now = steadyNanoseconds();
    std::int64_t next = nextLook_.load(std::memory_order_relaxed);
    if (now < next || !nextLook_.compare_exchange_strong(next, now + kInterval))
        return false;
    if (blocksRead() > blocksAtStart_)
        saw_.store(true, std::memory_order_relaxed);
    return saw_.load(std::memory_order_relaxed);
}

} // namespace trevalo
