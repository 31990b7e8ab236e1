// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QString>
#include <QUrl>

#include <string>

namespace trevalo {

// The file URL of a byte path. Every byte that is not a plain URL character is percent-encoded,
// so a name that is not valid UTF-8 reaches the opener unchanged.
QUrl fileUrlOf(const std::string& bytePath);

// Asks the desktop to open a file with its associated program. Whether a program took it is
// not known here; the result only says whether the request could be handed on.
bool openWithDesktop(const std::string& bytePath);

// Opens a web address (or any URL) with the desktop's default program.
bool openWebPage(const QString& address);

} // namespace trevalo
