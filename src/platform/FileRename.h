#pragma once

#include <string>

namespace trevalo {

struct RenameResult {
    bool ok = false;
    int error = 0; // errno of the failed step; EEXIST when the new name is taken
};

// Renames oldPath to newPath (byte paths) without ever replacing a file that already has the
// new name. Uses renameat2 with RENAME_NOREPLACE; where the file system does not offer that,
// a hard link under the new name followed by removing the old name does the same job.
RenameResult renameNoReplace(const std::string& oldPath, const std::string& newPath);

} // namespace trevalo
