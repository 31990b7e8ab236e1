// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/WholeFile.h"

#include "platform/FileSystem.h"
#include "platform/PathText.h"
#include "platform/UserText.h"

#include <QRandomGenerator>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace trevalo {

namespace {

// The new file's name holds at most this much of the chosen name, so that it stays within the
// longest name a file system takes.
constexpr std::size_t kNameKept = 200;
constexpr int kNameTries = 100;

std::string freshName(std::string_view chosen) {
    static constexpr std::string_view kLetters =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    std::string name(chosen.substr(0, kNameKept));
    name.push_back('.');
    for (int i = 0; i < 6; ++i)
        name.push_back(kLetters[static_cast<std::size_t>(
            QRandomGenerator::global()->bounded(static_cast<int>(kLetters.size())))]);
    return name;
}

class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0)
            ::close(fd_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }

private:
    int fd_;
};

// Why the entry `name` of the folder may not be replaced, or empty; mode gets the permissions
// of a file that may.
std::string refusalOf(int folder, const std::string& name, mode_t& mode, bool& exists) {
    struct stat st {};
    exists = ::fstatat(folder, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0;
    if (!exists)
        return errno == ENOENT ? std::string() : errorText(errno);
    if (S_ISLNK(st.st_mode))
        return userText("WholeFile", "it is a symbolic link, and nothing is written through a link "
                                     "or in its place; choose another name");
    if (S_ISDIR(st.st_mode))
        return userText("WholeFile", "it is a folder");
    if (!S_ISREG(st.st_mode))
        return userText("WholeFile", "it is not a regular file");
    if (st.st_uid != ::geteuid())
        return userText("WholeFile", "it is another user's file");
    mode = st.st_mode & 0777;
    return {};
}

// Writes the open file and puts it on the disk; 0 or the errno of the failed step.
int writeAndSync(int fd, const std::function<int(std::FILE*)>& write) {
    const int copy = ::fcntl(fd, F_DUPFD_CLOEXEC, 0);
    std::FILE* stream = copy >= 0 ? ::fdopen(copy, "w") : nullptr;
    if (!stream) {
        const int err = errno;
        if (copy >= 0)
            ::close(copy);
        return err;
    }
    if (const int err = write(stream); err != 0)
        return err;
    // A file system that cannot sync (EINVAL) writes through anyway.
    return ::fsync(fd) != 0 && errno != EINVAL ? errno : 0;
}

} // namespace

std::string writeWholeFile(const std::string& path, const std::function<int(std::FILE*)>& write) {
    const std::string name(fileNameOf(path));
    if (name.empty() || name == "." || name == "..")
        return userText("WholeFile", "it is a folder");
    const std::string folderPath(folderOf(path));
    const Descriptor folder(
        ::open(folderPath.empty() ? "." : folderPath.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folder.get() < 0)
        return errorText(errno);
    mode_t mode = 0666; // less the umask, for a new file
    bool replacing = false;
    if (std::string refusal = refusalOf(folder.get(), name, mode, replacing); !refusal.empty())
        return refusal;

    std::string temporary;
    int fd = -1;
    for (int tries = 0; fd < 0 && tries < kNameTries; ++tries) {
        temporary = freshName(name);
        // A replaced file's permissions are kept as they were (fchmod below, which the umask
        // does not narrow); until then the new file is its owner's alone.
        fd =
            ::openat(folder.get(), temporary.c_str(),
                     O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, replacing ? 0600 : mode);
        if (fd < 0 && errno != EEXIST)
            return errorText(errno);
    }
    if (fd < 0)
        return userText("WholeFile", "no free name for the new file beside it");
    int err = replacing && ::fchmod(fd, mode) != 0 ? errno : 0;
    if (err == 0)
        err = writeAndSync(fd, write);
    if (::close(fd) != 0 && err == 0)
        err = errno;
    // rename() replaces whatever has the name by then, a link included, and never follows it.
    if (err == 0 && ::renameat(folder.get(), temporary.c_str(), folder.get(), name.c_str()) != 0)
        err = errno;
    if (err != 0) {
        ::unlinkat(folder.get(), temporary.c_str(), 0);
        return errorText(err);
    }
    return {};
}

} // namespace trevalo
