// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

namespace trevalo {

// Sets up the process for searches, once at start-up: the large, short-lived comparison
// buffers go back to the system when they are freed instead of raising the heap's high-water
// mark for the rest of the run.
void tuneProcessForSearches();

} // namespace trevalo
