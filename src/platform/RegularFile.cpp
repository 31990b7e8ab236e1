// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/RegularFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace trevalo {

RegularFile::RegularFile(const std::string& bytePath) {
    const int fd = ::open(bytePath.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0)
        return;
    struct stat sb {};
    if (::fstat(fd, &sb) != 0 || !S_ISREG(sb.st_mode)) {
        ::close(fd);
        return;
    }
    fd_ = fd;
    size_ = sb.st_size;
}

RegularFile::~RegularFile() {
    if (fd_ >= 0)
        ::close(fd_);
}

int RegularFile::release() {
    const int fd = fd_;
    fd_ = -1;
    return fd;
}

} // namespace trevalo
