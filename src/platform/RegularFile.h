// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <cstdint>
#include <string>

namespace trevalo {

// A regular file opened for reading. It is opened without blocking, so that a FIFO or a device
// put in a file's place does not hold up the caller, and kept only when fstat says it is a
// regular file. The descriptor is closed when the object goes, unless it was handed over.
class RegularFile {
public:
    explicit RegularFile(const std::string& bytePath);
    ~RegularFile();
    RegularFile(const RegularFile&) = delete;
    RegularFile& operator=(const RegularFile&) = delete;

    bool isOpen() const { return fd_ >= 0; }
    // The size fstat gave when the file was opened.
    std::int64_t size() const { return size_; }
    int handle() const { return fd_; }
    // Hands the descriptor over to the caller, who closes it; -1 when not open.
    int release();

private:
    int fd_ = -1;
    std::int64_t size_ = 0;
};

} // namespace trevalo
