// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/desktop/DesktopOpen.h"

#include <QByteArray>
#include <QDesktopServices>
#include <QDir>
#include <QFile>

namespace trevalo {

QUrl fileUrlOf(const std::string& bytePath) {
    QByteArray bytes = QByteArray::fromStdString(bytePath);
    if (!bytes.startsWith('/'))
        bytes = QFile::encodeName(QDir::currentPath()) + '/' + bytes;
    const QByteArray path = bytes.toPercentEncoding("/");
    return QUrl::fromEncoded(QByteArrayLiteral("file://") + path, QUrl::StrictMode);
}

bool openWithDesktop(const std::string& bytePath) {
    return QDesktopServices::openUrl(fileUrlOf(bytePath));
}

bool openWebPage(const QString& address) {
    return QDesktopServices::openUrl(QUrl(address, QUrl::TolerantMode));
}

} // namespace trevalo
