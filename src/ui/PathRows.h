// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "search/SearchState.h"

#include <string>
#include <string_view>
#include <vector>

namespace trevalo {

inline constexpr const char* kMsgInputExtension =
    QT_TRANSLATE_NOOP("PathRows", "Please input extension.");

enum class AddPathResult { Added, AlreadyListed, EmptyPattern };

// Adds the search path folder + pattern to rows unless the pattern is empty or a row already
// reads folder + "/" + pattern or folder + pattern (bytes compared exactly). The pattern is
// taken as typed, blanks included.
AddPathResult addPathRow(std::vector<PathRow>& rows, std::string_view folder,
                         std::string_view pattern, bool subFolders);

} // namespace trevalo
