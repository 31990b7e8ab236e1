// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

namespace trevalo {

// Sets up the process for searches, once at start-up: memory a search frees is kept for its
// next allocations rather than handed back to the system at once (fresh pages cost a page
// fault each), until releaseFreedMemory.
void tuneProcessForSearches();

// How many processors this process may run on (its affinity mask), at least 1.
int usableCores();

// Hands the memory freed so far back to the system (at the end of a search).
void releaseFreedMemory();

} // namespace trevalo
