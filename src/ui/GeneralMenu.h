// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QString>
#include <QUrl>

namespace trevalo {

// The product's web page.
inline constexpr const char* kWebSiteAddress = "https://trevalo.example/";
// The help page, one of the program's data files.
inline constexpr const char* kHelpFileName = "trevalo.html";
// The title of message boxes that have none of their own.
inline constexpr const char* kAppTitle = "Trevalo";

// "Trevalo Ver. 1.0.27", from the version the program was built with.
QString aboutText();
// The help page as a file address; empty when the page is not where the program's data is.
QUrl helpUrl();

} // namespace trevalo
