// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "search/SearchEvents.h"

#include <QString>
#include <optional>

namespace trevalo {

// How far a search has got, in words: "12,345 files found" while walking; "1.2 GB of 4.5 GB
// compared, about 2 min left" (the estimate once there is one) while comparing contents;
// nothing otherwise.
QString workText(const SearchWork& work, std::optional<double> secondsLeft);

} // namespace trevalo
