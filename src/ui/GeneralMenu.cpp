// SPDX-License-Identifier: GPL-2.0-or-later
#include "ui/GeneralMenu.h"

#include "platform/UserText.h"
#include "platform/desktop/DataFiles.h"

#include <QCoreApplication>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QGridLayout>
#include <QGuiApplication>
#include <QMessageBox>
#include <QScreen>
#include <QSpacerItem>

#include <algorithm>

#ifndef TREVALO_HOME_PAGE
#define TREVALO_HOME_PAGE ""
#endif

namespace trevalo {

namespace {
// What a window's caption takes besides its text: the icon and the caption's buttons.
constexpr int kCaptionAllowance = 160;
// A message box's text takes at most these shares of the screen's free height and width, and
// never fewer lines than kLeastLines nor more than kMostLines.
constexpr double kMessageHeightShare = 0.4;
constexpr double kMessageWidthShare = 0.6;
constexpr int kLeastLines = 4;
constexpr int kMostLines = 24;
} // namespace

QString aboutText() {
    return QCoreApplication::translate(
               "GeneralMenu", "Trevalo Ver. %1.%2.%3\n\n"
                              "Finds files of zero length, files with identical contents and files "
                              "that share a name.\n\n"
                              "Free software under the GNU General Public License, version 2 or "
                              "later (GPL-2.0-or-later).\n\n"
                              "Built with Qt %4, running on Qt %5.\n\n"
                              "Language: %6")
        .arg(TREVALO_VERSION_MAJOR)
        .arg(TREVALO_VERSION_MINOR)
        .arg(TREVALO_VERSION_PATCH)
        .arg(QStringLiteral(QT_VERSION_STR), QString::fromLatin1(qVersion()), userLanguageName());
}

QUrl helpUrl() {
    // The help page in the user's language (trevalo_de.html) where there is one.
    const QString language = userNumberLocale().name().section(QLatin1Char('_'), 0, 0);
    QString path = dataFilePath(QStringLiteral("trevalo_%1.html").arg(language));
    if (path.isEmpty())
        path = dataFilePath(QString::fromLatin1(kHelpFileName));
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

FittedMessage fitMessage(const QString& text, const QString& details, int lines, int width,
                         const QFontMetrics& font) {
    QStringList kept = text.split(QLatin1Char('\n'));
    bool cut = false;
    if (kept.size() > lines) {
        kept.resize(std::max(lines - 1, 1));
        kept.append(QObject::tr("... the whole list is under \"Show Details\"."));
        cut = true;
    }
    for (QString& line : kept) {
        const QString shown = font.elidedText(line, Qt::ElideMiddle, width);
        cut = cut || shown != line;
        line = shown;
    }
    return {kept.join(QLatin1Char('\n')), cut && details.isEmpty() ? text : details};
}

void setFittedText(QMessageBox& box, const QString& text, const QString& details) {
    const QScreen* screen = box.screen() ? box.screen() : QGuiApplication::primaryScreen();
    const QSize room = screen ? screen->availableGeometry().size() : QSize(1024, 768);
    const QFontMetrics font(box.font());
    const int lines =
        std::clamp(static_cast<int>(room.height() * kMessageHeightShare / font.lineSpacing()),
                   kLeastLines, kMostLines);
    const FittedMessage fitted =
        fitMessage(text, details, lines, static_cast<int>(room.width() * kMessageWidthShare), font);
    box.setText(fitted.text);
    if (!fitted.details.isEmpty())
        box.setDetailedText(fitted.details);
}

} // namespace trevalo
