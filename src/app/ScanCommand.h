// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

namespace trevalo {
// Runs trevalo-scan with its command line; returns the exit status.
int runScanCommand(int argc, char** argv);
} // namespace trevalo
