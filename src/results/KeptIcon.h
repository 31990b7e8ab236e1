// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QIcon>
#include <QString>

namespace trevalo {

// The lock a kept file's row shows beside its disabled check box: the desktop theme's, or a
// padlock drawn here when the theme has none.
QIcon keptIcon();

// The tooltip line of a kept row, telling why its check box cannot be ticked.
QString keptReason();

} // namespace trevalo
