// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/desktop/DataFiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace trevalo {

QString dataFilePath(const QString& name) {
    const QDir binDir(QCoreApplication::applicationDirPath());
    const QStringList places = {
        binDir.filePath(QStringLiteral(TREVALO_DATA_FROM_BIN)),
        binDir.filePath(QStringLiteral(TREVALO_BUILD_TREE_DATA)),
    };
    for (const QString& place : places) {
        const QString candidate = QDir(place).filePath(name);
        if (QFileInfo(candidate).isFile())
            return QDir::cleanPath(candidate);
    }
    return {};
}

} // namespace trevalo
