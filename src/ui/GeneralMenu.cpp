// SPDX-License-Identifier: GPL-2.0-or-later
#include "ui/GeneralMenu.h"

#include "platform/desktop/DataFiles.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QGridLayout>
#include <QMessageBox>
#include <QSpacerItem>

#ifndef TREVALO_HOME_PAGE
#define TREVALO_HOME_PAGE ""
#endif

namespace trevalo {

namespace {
// What a window's caption takes besides its text: the icon and the caption's buttons.
constexpr int kCaptionAllowance = 160;
} // namespace

QString aboutText() {
    return QStringLiteral("Trevalo Ver. %1.%2.%3\n\n"
                          "Finds files of zero length, files with identical contents and files "
                          "that share a name.\n\n"
                          "Free software under the GNU General Public License, version 2 or "
                          "later (GPL-2.0-or-later).\n\n"
                          "Built with Qt %4, running on Qt %5.")
        .arg(TREVALO_VERSION_MAJOR)
        .arg(TREVALO_VERSION_MINOR)
        .arg(TREVALO_VERSION_PATCH)
        .arg(QStringLiteral(QT_VERSION_STR), QString::fromLatin1(qVersion()));
}

QUrl helpUrl() {
    const QString path = dataFilePath(QString::fromLatin1(kHelpFileName));
    return path.isEmpty() ? QUrl() : QUrl::fromLocalFile(path);
}

QUrl webSiteUrl() {
    const QString home = QStringLiteral(TREVALO_HOME_PAGE);
    if (!home.isEmpty())
        return QUrl(home);
    return helpUrl();
}

void widenToTitle(QMessageBox& box) {
    const QFontMetrics caption(QFontDatabase::systemFont(QFontDatabase::TitleFont));
    const int width = caption.horizontalAdvance(box.windowTitle()) + kCaptionAllowance;
    auto* grid = qobject_cast<QGridLayout*>(box.layout());
    if (!grid)
        return;
    grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Expanding),
                  grid->rowCount(), 0, 1, grid->columnCount());
}

} // namespace trevalo
