// SPDX-License-Identifier: GPL-2.0-or-later
#include "ScanCommand.h"

#include "platform/Process.h"

int main(int argc, char** argv) {
    trevalo::tuneProcessForSearches();
    return trevalo::runScanCommand(argc, argv);
}
