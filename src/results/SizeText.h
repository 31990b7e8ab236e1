// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QString>
#include <cstdint>

namespace trevalo {

// A byte count as people read it, in decimal units as the desktop's file manager shows them:
// "0 bytes", "1 byte", "999 bytes", "1.0 kB", "4.1 MB", "3.2 GB", "1.5 TB". Negative counts
// (a size that could not be measured) give an empty text. Our own rather than
// QLocale::formattedDataSize, whose units and rounding differ from the file manager's.
QString sizeForPeople(std::int64_t bytes);

// The exact count with English thousands separators: "4,096 bytes".
QString exactBytes(std::int64_t bytes);

} // namespace trevalo
