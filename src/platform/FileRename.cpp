#include "platform/FileRename.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace trevalo {

RenameResult renameNoReplace(const std::string& oldPath, const std::string& newPath) {
    if (::renameat2(AT_FDCWD, oldPath.c_str(), AT_FDCWD, newPath.c_str(), RENAME_NOREPLACE) == 0)
        return {true, 0};
    const int err = errno;
    if (err != EINVAL && err != ENOSYS)
        return {false, err};

    // The file system does not know RENAME_NOREPLACE. link() fails with EEXIST when the new
    // name is taken, so nothing is ever replaced.
    if (::link(oldPath.c_str(), newPath.c_str()) != 0)
        return {false, errno};
    if (::unlink(oldPath.c_str()) != 0) {
        const int unlinkErr = errno;
        ::unlink(newPath.c_str()); // take back the second name; the file stays where it was
        return {false, unlinkErr};
    }
    return {true, 0};
}

} // namespace trevalo
