// SPDX-License-Identifier: GPL-2.0-or-later
#include "ScanCommand.h"

#include "platform/Process.h"
#include "platform/UserText.h"

#include <QCoreApplication>
#include <clocale>

int main(int argc, char** argv) {
    trevalo::tuneProcessForSearches();
    // The application object holds the translators of the messages. It sets the C library's
    // locale from the environment; numbers in the output and in options stay in C's form.
    const QCoreApplication app(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    trevalo::loadUserLanguage();
    return trevalo::runScanCommand(argc, argv);
}
