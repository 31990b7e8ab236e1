#pragma once

#include <QString>

namespace trevalo {

// The full path of one of the program's data files (icon, help page, error picture): beside
// the installed program in its data folder, or in the source tree's resources when the program
// runs from its build folder. Empty when the file is in neither place.
QString dataFilePath(const QString& name);

} // namespace trevalo
