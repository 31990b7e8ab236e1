// SPDX-License-Identifier: GPL-2.0-or-later
#include "support/TempTree.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <grp.h>
#include <sstream>
#include <stdexcept>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace trevalo::test {

namespace fs = std::filesystem;

namespace {

void check(bool ok, const std::string& what) {
    if (!ok)
        throw std::runtime_error(what + ": " + std::strerror(errno));
}

// Removes a folder and everything in it, relative to open folders, so that neither the depth
// of the tree nor the length of its paths matters; folders whose permissions were taken away
// are opened up first.
void removeTree(const std::string& root) {
    ::chmod(root.c_str(), 0700);
    int at = ::open(root.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (at < 0)
        return;
    std::vector<std::string> names; // the folders entered below root
    for (;;) {
        std::string child;
        if (DIR* d = ::fdopendir(::fcntl(at, F_DUPFD_CLOEXEC, 0))) {
            ::rewinddir(d);
            while (const dirent* e = ::readdir(d)) {
                const std::string name = e->d_name;
                if (name == "." || name == "..")
                    continue;
                struct stat sb;
                if (::fstatat(at, name.c_str(), &sb, AT_SYMLINK_NOFOLLOW) == 0 &&
                    S_ISDIR(sb.st_mode)) {
                    child = name;
                    break;
                }
                ::unlinkat(at, name.c_str(), 0);
            }
            ::closedir(d);
        }
        if (!child.empty()) {
            ::fchmodat(at, child.c_str(), 0700, 0);
            const int next =
                ::openat(at, child.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
            if (next >= 0) {
                ::close(at);
                at = next;
                names.push_back(child);
                continue;
            }
            ::unlinkat(at, child.c_str(), AT_REMOVEDIR); // cannot enter it: try it empty
        }
        if (names.empty())
            break;
        const int up = ::openat(at, "..", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        ::close(at);
        if (up < 0)
            return;
        at = up;
        ::unlinkat(at, names.back().c_str(), AT_REMOVEDIR);
        names.pop_back();
    }
    ::close(at);
    ::rmdir(root.c_str());
}

} // namespace

TempTree::TempTree(const char* base) {
    if (!base)
        base = std::getenv("TMPDIR");
    std::string tmpl = std::string(base && *base ? base : "/tmp") + "/trevalo-test-XXXXXX";
    check(::mkdtemp(tmpl.data()) != nullptr, "mkdtemp");
    root_ = tmpl;
    ::chmod(root_.c_str(), 0755); // readable by an unprivileged child process
}

TempTree::~TempTree() {
    removeTree(root_);
}

int TempTree::chain(std::string_view rel, int depth, std::string_view name,
                    const std::function<std::optional<std::string>(int)>& fileAt) {
    int at = ::open(dir(rel).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    check(at >= 0, path(rel));
    int files = 0;
    const std::string folder(name);
    for (int level = 1; level <= depth; ++level) {
        ::mkdirat(at, folder.c_str(), 0755);
        const int next = ::openat(at, folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        ::close(at);
        check(next >= 0, "chain level " + std::to_string(level));
        at = next;
        if (const auto content = fileAt(level)) {
            const int f = ::openat(at, "f", O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
            check(f >= 0 &&
                      ::write(f, content->data(), content->size()) == ssize_t(content->size()),
                  "chain file");
            ::close(f);
            ++files;
        }
    }
    ::close(at);
    return files;
}

std::string TempTree::path(std::string_view rel) const {
    return rel.empty() ? root_ : root_ + "/" + std::string(rel);
}

std::string TempTree::made(std::string_view rel) {
    const std::string full = path(rel);
    fs::create_directories(fs::path(full).parent_path());
    return full;
}

std::string TempTree::file(std::string_view rel, std::string_view content) {
    const std::string full = made(rel);
    std::ofstream out(full, std::ios::binary | std::ios::trunc);
    check(bool(out.write(content.data(), std::streamsize(content.size())).flush()), full);
    return full;
}

std::string TempTree::sparse(std::string_view rel, std::int64_t size, char lastByte) {
    const std::string full = made(rel);
    std::ofstream out(full, std::ios::binary | std::ios::trunc);
    check(bool(out.seekp(size - 1).put(lastByte).flush()), full);
    return full;
}

std::string TempTree::dir(std::string_view rel) {
    fs::create_directories(path(rel));
    return path(rel);
}

std::string TempTree::symlink(std::string_view target, std::string_view rel) {
    const std::string full = made(rel);
    fs::create_symlink(target, full);
    return full;
}

std::string TempTree::hardlink(std::string_view existingRel, std::string_view rel) {
    const std::string full = made(rel);
    fs::create_hard_link(path(existingRel), full);
    return full;
}

std::string TempTree::fifo(std::string_view rel) {
    const std::string full = made(rel);
    check(::mkfifo(full.c_str(), 0644) == 0, "mkfifo " + full);
    return full;
}

std::string TempTree::socket(std::string_view rel) {
    const std::string full = made(rel);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    check(fd >= 0 && full.size() < sizeof addr.sun_path, "socket " + full);
    std::memcpy(addr.sun_path, full.c_str(), full.size() + 1);
    check(::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0, "bind " + full);
    ::close(fd);
    return full;
}

void TempTree::setMtime(std::string_view rel, std::time_t when) {
    const timespec times[2] = {{when, 0}, {when, 0}};
    check(::utimensat(AT_FDCWD, path(rel).c_str(), times, AT_SYMLINK_NOFOLLOW) == 0, "utimensat");
}

void TempTree::chmod(std::string_view rel, mode_t mode) {
    check(::chmod(path(rel).c_str(), mode) == 0, "chmod");
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

bool exists(const std::string& path) {
    struct stat sb;
    return ::lstat(path.c_str(), &sb) == 0;
}

namespace {

// Runs fn in a child process, after `prepare` (which may end the child with an exit status).
bool runInChild(const std::function<void()>& prepare, const std::function<bool()>& fn) {
    std::fflush(nullptr);
    const pid_t pid = ::fork();
    if (pid < 0)
        return false;
    if (pid == 0) {
        prepare();
        bool ok = false;
        try {
            ok = fn();
        } catch (...) {
        }
        std::fflush(nullptr);
        ::_exit(ok ? 0 : 1);
    }
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

} // namespace

bool runUnprivileged(const std::function<bool()>& fn) {
    return runInChild(
        [] {
            if (::geteuid() == 0) {
                const uid_t nobody = 65534;
                if (::setgroups(0, nullptr) != 0 || ::setgid(nobody) != 0 || ::setuid(nobody) != 0)
                    ::_exit(3);
            }
        },
        fn);
}

bool runWithOpenFileLimit(unsigned long limit, const std::function<bool()>& fn) {
    return runInChild(
        [limit] {
            const rlimit low{limit, limit};
            if (::setrlimit(RLIMIT_NOFILE, &low) != 0)
                ::_exit(3);
        },
        fn);
}

} // namespace trevalo::test
