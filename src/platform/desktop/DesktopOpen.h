// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QString>
#include <QUrl>

#include <functional>
#include <string>

namespace trevalo {

// The file URL of a byte path. Every byte that is not a plain URL character is percent-encoded,
// so a name that is not valid UTF-8 reaches the opener unchanged.
QUrl fileUrlOf(const std::string& bytePath);

// Hands an address (a file URL or a web address) to the desktop's launcher, xdg-open, which
// opens it with the program the desktop has for it. Returns an empty text when the launcher
// started, or why it could not (none is installed). A launcher that ends in failure within a
// few seconds (no program for the type, the file gone) has `failed` called with why, from a
// thread of its own; one that runs longer is waiting for the program it started, and whatever
// it says then is not about opening.
using OpenFailed = std::function<void(const QString& reason)>;
QString openWithDesktop(const QUrl& url, OpenFailed failed);

// Shows a file (or folder) in the desktop's file manager, selected, through the file
// managers' common D-Bus call (with dbus-send); where no file manager answers it, the folder
// that holds the file is opened as openWithDesktop does. Returns and reports as that does.
QString showInFileManager(const std::string& bytePath, OpenFailed failed);

// Why the launcher could not open an address, from its exit status (xdg-open's: 2 the file
// does not exist, 3 no program or tool for it, 4 the program failed); empty for 0.
QString launcherFailure(int exitStatus);

} // namespace trevalo
