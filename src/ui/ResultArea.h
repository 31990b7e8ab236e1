// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "ui/Twips.h"

#include <QFontMetrics>
#include <QList>
#include <QString>

namespace trevalo {

// A tab caption with a list's row count: the caption up to its first "(", then "(count)".
// "Duplicates" over 12 rows reads "Duplicates(12)", over 340000 "Duplicates(340,000)".
QString countCaption(const QString& caption, long long rows);

// Column widths of result list `list` in pixels: "Name" 1440, "In Folder" 3000, "#" 900 in the
// "Duplicates" list and hidden (0) in the others, "Size" 900, "Date Modified" 1440 twips, and
// "Reason" 3000 in the list of read errors, hidden in the others. A column is widened where
// the desktop's font needs more room than the design gave it. "Name" and "In Folder" then
// share the list's free width in the proportion of their widths here.
QList<int> resultColumnWidths(const Twips& tw, int list, const QFontMetrics& font);

} // namespace trevalo
