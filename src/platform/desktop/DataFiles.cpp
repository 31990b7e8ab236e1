#include "platform/desktop/DataFiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace trevalo {

QString dataFilePath(const QString& name) {
    const QString binDir = QCoreApplication::applicationDirPath();
    const QStringList places = {
        QDir(binDir).filePath(QStringLiteral(TREVALO_DATA_FROM_BIN)),
        QStringLiteral(TREVALO_SOURCE_RESOURCES),
    };
    for (const QString& place : places) {
        const QString candidate = QDir(place).filePath(name);
        if (QFileInfo(candidate).isFile())
            return QDir::cleanPath(candidate);
    }
    return {};
}

} // namespace trevalo
