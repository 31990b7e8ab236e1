// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QString>
#include <QUrl>

class QFontMetrics;
class QMessageBox;

namespace trevalo {

// The help page, one of the program's data files.
inline constexpr const char* kHelpFileName = "trevalo.html";
// The title of message boxes that have none of their own.
inline constexpr const char* kAppTitle = "Trevalo";

// "Trevalo Ver. 1.0.27", from the version the program was built with, then what the program
// does, its licence and the Qt it runs on.
QString aboutText();
// The help page as a file address; empty when the page is not where the program's data is.
QUrl helpUrl();
// The project's home page when the build names one (TREVALO_HOME_PAGE), else the help page.
QUrl webSiteUrl();
// Widens a message box so that its title is not cut by the window's decoration.
void widenToTitle(QMessageBox& box);

// A message cut to fit a box on a small screen: at most `lines` lines, each at most `width`
// pixels wide in `font` (a long line is shortened in its middle, so a path keeps its file
// name). Whatever was cut stays readable in the details, which then hold the whole text when
// none were given.
struct FittedMessage {
    QString text;
    QString details;
};
FittedMessage fitMessage(const QString& text, const QString& details, int lines, int width,
                         const QFontMetrics& font);
// Gives a message box the text and details that fit the screen it opens on, so that its
// buttons stay in sight; the details scroll.
void setFittedText(QMessageBox& box, const QString& text, const QString& details);

} // namespace trevalo
