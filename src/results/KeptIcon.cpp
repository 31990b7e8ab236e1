// SPDX-License-Identifier: GPL-2.0-or-later
#include "results/KeptIcon.h"

#include <QCoreApplication>
#include <QPainter>
#include <QPixmap>

namespace trevalo {

namespace {

QIcon drawnPadlock() {
    QIcon icon;
    for (const int side : {16, 24, 32}) {
        QPixmap pixmap(side, side);
        pixmap.fill(Qt::transparent);
        QPainter p(&pixmap);
        p.setRenderHint(QPainter::Antialiasing);
        const qreal u = side / 16.0;
        // The shackle, then the body over its feet.
        p.setPen(QPen(QColor(90, 90, 90), 1.6 * u));
        p.setBrush(Qt::NoBrush);
        p.drawRoundedRect(QRectF(4.5 * u, 1.5 * u, 7 * u, 9 * u), 3.5 * u, 3.5 * u);
        p.setPen(QPen(QColor(120, 86, 10), 1 * u));
        p.setBrush(QColor(230, 180, 40));
        p.drawRoundedRect(QRectF(2.5 * u, 7 * u, 11 * u, 8 * u), 1.5 * u, 1.5 * u);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(120, 86, 10));
        p.drawEllipse(QPointF(8 * u, 10.5 * u), 1.3 * u, 1.3 * u);
        p.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

} // namespace

QIcon keptIcon() {
    static const QIcon icon = [] {
        for (const char* name : {"object-locked", "changes-prevent", "emblem-readonly"}) {
            QIcon themed = QIcon::fromTheme(QString::fromLatin1(name));
            if (!themed.isNull())
                return themed;
        }
        return drawnPadlock();
    }();
    return icon;
}

QString keptReason() {
    return QCoreApplication::translate(
        "ResultListModel",
        "Kept: found under a Keep path, so it is never marked, deleted or renamed.");
}

} // namespace trevalo
