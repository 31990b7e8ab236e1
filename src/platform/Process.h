// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <atomic>
#include <cstdint>

namespace trevalo {

// Sets up the process for searches, once at start-up: memory a search frees is kept for its
// next allocations rather than handed back to the system at once (fresh pages cost a page
// fault each), until releaseFreedMemory.
void tuneProcessForSearches();

// How many processors this process may run on (its affinity mask), at least 1.
int usableCores();

// Hands the memory freed so far back to the system (at the end of a search).
void releaseFreedMemory();

// Tells whether this process has read from a storage device since the watch was made (the
// blocks it read, ru_inblock, grew): then what a search reads is not all in memory, and more
// reads at once keep the device busier. Looks at most every few milliseconds; any thread may
// ask.
class DeviceReadWatch {
public:
    DeviceReadWatch();
    bool sawReads();

private:
    std::int64_t blocksAtStart_;
    std::atomic<bool> saw_{false};
    std::atomic<std::int64_t> nextLook_{0}; // steady-clock nanoseconds
};

} // namespace trevalo
