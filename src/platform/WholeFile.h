// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <cstdio>
#include <functional>
#include <string>

namespace trevalo {

// Writes the file at path (bytes) whole or not at all. The bytes go to a new file beside it,
// under a fresh name made of the chosen one and six random letters and created exclusively,
// so that no file or link already there is ever opened; once every byte is written and on the
// disk, the new file is renamed to the chosen name. A file of the user's own under that name is
// replaced and its permissions are kept. Nothing is written when the chosen name is a symbolic
// link (a link is never written through, nor silently swapped for a file), anything but a
// regular file, or another user's file.
//
// `write` writes the new file through the stream and closes it (fclose), and returns 0, or the
// errno of its first failed write or of the close. Returns an empty text once the file has its
// name, or else why nothing was written; the new file is then gone.
std::string writeWholeFile(const std::string& path, const std::function<int(std::FILE*)>& write);

} // namespace trevalo
