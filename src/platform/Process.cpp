// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/Process.h"

#include <malloc.h>

namespace trevalo {

void tuneProcessForSearches() {
    ::mallopt(M_MMAP_THRESHOLD, 128 * 1024);
}

} // namespace trevalo
