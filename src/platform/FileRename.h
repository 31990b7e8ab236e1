// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "platform/FileSystem.h"

#include <string>

namespace trevalo {

struct RenameResult {
    OsError error; // of the failed step; EEXIST when the new name is taken
    bool ok() const { return !error; }
};

// Renames oldPath to newPath (byte paths) without ever replacing a file that already has the
// new name. Uses renameat2 with RENAME_NOREPLACE; where the file system does not offer that,
// a hard link under the new name followed by removing the old name does the same job.
// Each name is relative to an open folder (or AT_FDCWD).
RenameResult renameNoReplaceAt(int oldFolder, const std::string& oldName, int newFolder,
                               const std::string& newName);

struct CheckedRename {
    OsError error;   // of a failed step; kReasonChanged: not the file expected, nothing renamed
    FileStamp stamp; // the file's stamp under its new name
    bool ok() const { return !error; }
    bool changed() const { return error.changed(); }
};

// Renames the file oldName of folder to newName in the same folder, never replacing anything,
// and only when oldName is still the regular file `expected` names. The rename acts on the
// entry that was checked: should another file have taken its place meanwhile, it is named back
// and the rename counts as changed.
CheckedRename renameKnownFile(const std::string& folder, const std::string& oldName,
                              const std::string& newName, const FileStamp& expected);

} // namespace trevalo
