// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QString>

namespace trevalo {

// The full path of one of the program's data files (icon, help page, error picture): in the
// installed program's data folder, found relative to the executable, or, for a program run from
// its build folder, through the link to the source tree's resources that the build puts beside
// it. Empty when the file is in neither place.
QString dataFilePath(const QString& name);

} // namespace trevalo
