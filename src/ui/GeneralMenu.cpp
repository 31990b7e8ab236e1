// SPDX-License-Identifier: GPL-2.0-or-later
#include "ui/GeneralMenu.h"

#include "platform/desktop/DataFiles.h"

namespace trevalo {

QString aboutText() {
    return QStringLiteral("Trevalo Ver. %1.%2.%3\n\nFree software under the GNU General Public "
                          "License, version 2 or later (GPL-2.0-or-later).")
        .arg(TREVALO_VERSION_MAJOR)
        .arg(TREVALO_VERSION_MINOR)
        .arg(TREVALO_VERSION_PATCH);
}

QUrl helpUrl() {
    const QString path = dataFilePath(QString::fromLatin1(kHelpFileName));
    return path.isEmpty() ? QUrl() : QUrl::fromLocalFile(path);
}

} // namespace trevalo
