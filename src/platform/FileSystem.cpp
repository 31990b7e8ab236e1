// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/FileSystem.h"

#include "platform/UserText.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <fstream>
#include <linux/magic.h>
#include <linux/openat2.h>
#include <map>
#include <mntent.h>
#include <mutex>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/sysmacros.h>
#include <sys/vfs.h>
#include <unistd.h>

namespace trevalo {

namespace {

FileStatus statusOf(int rc, const struct stat& sb) {
    FileStatus st;
    if (rc != 0) {
        st.error = OsError::last();
        st.kind = st.error.notFound() ? FileKind::Missing : FileKind::Failed;
        return st;
    }
    if (S_ISREG(sb.st_mode))
        st.kind = FileKind::Regular;
    else if (S_ISDIR(sb.st_mode))
        st.kind = FileKind::Directory;
    else if (S_ISLNK(sb.st_mode))
        st.kind = FileKind::Symlink;
    else
        st.kind = FileKind::Other;
    st.size = static_cast<std::int64_t>(sb.st_size);
    st.mtime = static_cast<std::int64_t>(sb.st_mtim.tv_sec);
    st.mtimeNsec = static_cast<std::int32_t>(sb.st_mtim.tv_nsec);
    st.ctime = static_cast<std::int64_t>(sb.st_ctim.tv_sec);
    st.ctimeNsec = static_cast<std::int32_t>(sb.st_ctim.tv_nsec);
    st.device = static_cast<std::uint64_t>(sb.st_dev);
    st.inode = static_cast<std::uint64_t>(sb.st_ino);
    st.links = static_cast<std::uint64_t>(sb.st_nlink);
    return st;
}

// The kernel file systems: by the type name the mount table gives and the number fstatfs
// gives. A number of 0 is never looked for: devtmpfs reports tmpfs's number (isDevTmpfs tells
// it apart), and a folder opened on an autofs mount point is already the file system mounted
// there, which is searched.
struct KernelFileSystem {
    std::string_view name;
    unsigned long magic;
};
constexpr KernelFileSystem kKernelFileSystems[] = {
    {"proc", PROC_SUPER_MAGIC},
    {"sysfs", SYSFS_MAGIC},
    {"devtmpfs", 0},
    {"devpts", DEVPTS_SUPER_MAGIC},
    {"cgroup", CGROUP_SUPER_MAGIC},
    {"cgroup2", CGROUP2_SUPER_MAGIC},
    {"debugfs", DEBUGFS_MAGIC},
    {"tracefs", TRACEFS_MAGIC},
    {"securityfs", SECURITYFS_MAGIC},
    {"pstore", PSTOREFS_MAGIC},
    {"bpf", BPF_FS_MAGIC},
    {"binfmt_misc", BINFMTFS_MAGIC},
    {"configfs", 0x62656570}, // the numbers linux/magic.h does not name
    {"efivarfs", EFIVARFS_MAGIC},
    {"fusectl", 0x65735543},
    {"mqueue", 0x19800202},
    {"nsfs", NSFS_MAGIC},
    {"rpc_pipefs", 0x67596969},
    {"autofs", 0},
    {"hugetlbfs", HUGETLBFS_MAGIC},
};

bool isPseudoFileSystemType(unsigned long type) {
    return std::any_of(std::begin(kKernelFileSystems), std::end(kKernelFileSystems),
                       [type](const KernelFileSystem& fs) { return fs.magic == type; });
}

// devtmpfs reports the tmpfs magic; it is told apart by being the file system of /dev.
bool isDevTmpfs(unsigned long type, std::uint64_t device) {
    if (type != TMPFS_MAGIC)
        return false;
    struct stat dev;
    return ::stat("/dev", &dev) == 0 && static_cast<std::uint64_t>(dev.st_dev) == device;
}

} // namespace

FileStatus statPath(const std::string& path, bool followLinks) {
    struct stat sb;
    const int rc = followLinks ? ::stat(path.c_str(), &sb) : ::lstat(path.c_str(), &sb);
    return statusOf(rc, sb);
}

FileStatus statEntry(const std::string& path) {
    std::size_t rest = 0;
    const int dir = openPathParent(path, rest);
    if (dir == -1) {
        struct stat none {};
        return statusOf(-1, none);
    }
    struct stat sb;
    const int rc = ::fstatat(dir, path.c_str() + rest, &sb, AT_SYMLINK_NOFOLLOW);
    const int err = errno;
    if (dir != AT_FDCWD)
        ::close(dir);
    errno = err;
    return statusOf(rc, sb);
}

FolderHandle::FolderHandle(const std::string& path) {
    fd_ = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd_ < 0)
        error_ = OsError::last();
}

FolderHandle::~FolderHandle() {
    if (fd_ >= 0)
        ::close(fd_);
}

FolderHandle::FolderHandle(FolderHandle&& other) noexcept : fd_(other.fd_), error_(other.error_) {
    other.fd_ = -1;
}

FolderHandle& FolderHandle::operator=(FolderHandle&& other) noexcept {
    if (this != &other) {
        if (fd_ >= 0)
            ::close(fd_);
        fd_ = other.fd_;
        error_ = other.error_;
        other.fd_ = -1;
    }
    return *this;
}

FileStatus FolderHandle::status() const {
    struct stat sb;
    const int rc = ::fstat(fd_, &sb);
    return statusOf(rc, sb);
}

FileStatus FolderHandle::statChild(const std::string& name, bool followLinks) const {
    struct stat sb;
    const int rc = ::fstatat(fd_, name.c_str(), &sb, followLinks ? 0 : AT_SYMLINK_NOFOLLOW);
    return statusOf(rc, sb);
}

FolderHandle FolderHandle::openChild(const std::string& name, bool followLinks) const {
    FolderHandle child;
    child.fd_ = ::openat(fd_, name.c_str(),
                         O_RDONLY | O_DIRECTORY | O_CLOEXEC | (followLinks ? 0 : O_NOFOLLOW));
    if (child.fd_ < 0)
        child.error_ = OsError::last();
    return child;
}

std::int64_t FolderHandle::birthNanoseconds() const {
    struct statx sx {};
    if (fd_ < 0 || ::statx(fd_, "", AT_EMPTY_PATH, STATX_BTIME, &sx) != 0 ||
        !(sx.stx_mask & STATX_BTIME))
        return 0;
    return static_cast<std::int64_t>(sx.stx_btime.tv_sec) * 1000000000 +
           static_cast<std::int64_t>(sx.stx_btime.tv_nsec);
}

std::string FolderHandle::realPath() const {
    if (fd_ < 0)
        return {};
    const std::string link = "/proc/self/fd/" + std::to_string(fd_);
    std::string path(PATH_MAX, '\0');
    const ssize_t n = ::readlink(link.c_str(), path.data(), path.size());
    if (n <= 0 || static_cast<std::size_t>(n) >= path.size() || path[0] != '/')
        return {};
    path.resize(static_cast<std::size_t>(n));
    return path;
}

bool FolderHandle::isPseudoFileSystem() const {
    struct statfs fs;
    struct stat sb;
    if (::fstatfs(fd_, &fs) != 0 || ::fstat(fd_, &sb) != 0)
        return false;
    const auto type = static_cast<unsigned long>(fs.f_type);
    return isPseudoFileSystemType(type) || isDevTmpfs(type, static_cast<std::uint64_t>(sb.st_dev));
}

namespace {

// Room for the entries read from a folder in one call.
constexpr std::size_t kListingBytes = std::size_t{32} << 10;

// A thread's last listing leaves its room here for the next one, so that walking a tree does
// not take and give back that room once per folder (listings inside listings take their own).
thread_local std::unique_ptr<char[]> spareListingRoom;

} // namespace

DirListing::DirListing(const std::string& folder)
    : fd_(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)), ownsFd_(true) {
    if (fd_ < 0)
        error_ = OsError::last();
}

DirListing::DirListing(int folderFd) : fd_(folderFd) {
    if (fd_ < 0)
        error_ = OsError(EBADF);
}

DirListing::~DirListing() {
    if (ownsFd_ && fd_ >= 0)
        ::close(fd_);
    if (buffer_ && !spareListingRoom)
        spareListingRoom = std::move(buffer_);
}

bool DirListing::next(Entry& entry) {
    if (fd_ < 0)
        return false;
    for (;;) {
        if (at_ == end_) {
            if (!buffer_)
                buffer_ = spareListingRoom ? std::move(spareListingRoom)
                                           : std::make_unique_for_overwrite<char[]>(kListingBytes);
            const ssize_t got = ::getdents64(fd_, buffer_.get(), kListingBytes);
            if (got <= 0) {
                error_ = got < 0 ? OsError::last() : OsError();
                at_ = end_ = 0;
                return false;
            }
            at_ = 0;
            end_ = static_cast<std::size_t>(got);
        }
        dirent64 e;
        // The records are packed; copy the fixed part out rather than read it in place.
        std::memcpy(&e, buffer_.get() + at_, offsetof(dirent64, d_name));
        const char* n = buffer_.get() + at_ + offsetof(dirent64, d_name);
        at_ += e.d_reclen;
        if (n[0] == '.' && (n[1] == '\0' || (n[1] == '.' && n[2] == '\0')))
            continue;
        entry.name.assign(n);
        switch (e.d_type) {
        case DT_DIR:
            entry.type = Type::Directory;
            break;
        case DT_REG:
            entry.type = Type::Regular;
            break;
        case DT_LNK:
            entry.type = Type::Symlink;
            break;
        case DT_UNKNOWN:
            entry.type = Type::Unknown;
            break;
        default:
            entry.type = Type::Other;
            break;
        }
        return true;
    }
}

bool isKernelFileSystemName(std::string_view type) {
    return std::any_of(std::begin(kKernelFileSystems), std::end(kKernelFileSystems),
                       [type](const KernelFileSystem& fs) { return fs.name == type; });
}

std::vector<Mount> mountTable() {
    std::vector<Mount> mounts;
    FILE* table = ::setmntent("/proc/self/mounts", "r");
    if (!table)
        return mounts;
    mntent entry;
    char buf[8192];
    while (::getmntent_r(table, &entry, buf, sizeof buf))
        mounts.push_back({entry.mnt_dir, entry.mnt_type});
    ::endmntent(table);
    return mounts;
}

bool isPseudoFileSystem(const std::string& folder) {
    const FolderHandle handle(folder);
    return handle.isOpen() && handle.isPseudoFileSystem();
}

bool belongsToAnotherUser(const std::string& path) {
    struct stat sb;
    return ::lstat(path.c_str(), &sb) == 0 && sb.st_uid != ::geteuid();
}

std::optional<FileSystemOf> fileSystemOf(const std::string& path, std::uint64_t device) {
    constexpr unsigned long kKeeping[] = {
        EXT4_SUPER_MAGIC, // and ext2, ext3
        BTRFS_SUPER_MAGIC,
        XFS_SUPER_MAGIC,
        F2FS_SUPER_MAGIC,
        0xca451a4e, // bcachefs
        0x2fc12fc1, // ZFS
        0x3153464a, // JFS
        REISERFS_SUPER_MAGIC,
        0x3434, // NILFS
        TMPFS_MAGIC,
        OVERLAYFS_SUPER_MAGIC,
        NFS_SUPER_MAGIC,
    };
    const int fd = ::open(path.c_str(), O_PATH | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return std::nullopt;
    struct stat sb;
    struct statfs fs;
    const bool known = ::fstat(fd, &sb) == 0 && static_cast<std::uint64_t>(sb.st_dev) == device &&
                       ::fstatfs(fd, &fs) == 0;
    ::close(fd);
    if (!known)
        return std::nullopt;
    const auto type = static_cast<unsigned long>(fs.f_type);
    FileSystemOf of;
    of.keepsIdentities =
        std::find(std::begin(kKeeping), std::end(kKeeping), type) != std::end(kKeeping) &&
        !isDevTmpfs(type, device);
    of.type = type;
    std::uint32_t id[2];
    static_assert(sizeof id == sizeof fs.f_fsid);
    std::memcpy(id, &fs.f_fsid, sizeof id);
    of.id = std::uint64_t{id[0]} << 32 | id[1];
    return of;
}

bool onRotatingDisk(std::uint64_t device) {
    static std::mutex mutex;
    static std::map<std::uint64_t, bool> known;
    const std::lock_guard lock(mutex);
    const auto found = known.find(device);
    if (found != known.end())
        return found->second;
    // A partition's queue is its disk's, one folder up.
    const auto dev = static_cast<dev_t>(device);
    const std::string block =
        "/sys/dev/block/" + std::to_string(major(dev)) + ":" + std::to_string(minor(dev));
    char flag = '0';
    for (const char* queue : {"/queue/rotational", "/../queue/rotational"}) {
        std::ifstream in(block + queue);
        if (in >> flag)
            break;
    }
    return known[device] = flag == '1';
}

bool isSameFile(const FileStatus& now, const FileStamp& was, StatusTime statusTime, FileKind kind) {
    const FileStamp seen = now.stamp();
    return now.kind == kind && seen.device == was.device && seen.inode == was.inode &&
           seen.size == was.size && seen.mtime == was.mtime && seen.mtimeNsec == was.mtimeNsec &&
           (statusTime == StatusTime::SetByMove ||
            (seen.ctime == was.ctime && seen.ctimeNsec == was.ctimeNsec));
}

ReadOnlyFile::~ReadOnlyFile() {
    close();
}

ReadOnlyFile::ReadOnlyFile(ReadOnlyFile&& other) noexcept
    : fd_(other.fd_), lastError_(other.lastError_) {
    other.fd_ = -1;
}

ReadOnlyFile& ReadOnlyFile::operator=(ReadOnlyFile&& other) noexcept {
    if (this != &other) {
        close();
        fd_ = other.fd_;
        lastError_ = other.lastError_;
        other.fd_ = -1;
    }
    return *this;
}

int openPathParent(const std::string& path, std::size_t& rest) {
    rest = 0;
    if (path.size() < PATH_MAX)
        return AT_FDCWD;
    // Enter the folders in steps shorter than PATH_MAX, each ending at a "/".
    int dir = AT_FDCWD;
    std::size_t from = 0;
    const std::size_t lastSlash = path.rfind('/');
    while (path.size() - from >= PATH_MAX) {
        std::size_t cut = std::min(lastSlash, from + PATH_MAX - 2);
        cut = path.rfind('/', cut);
        if (cut == std::string::npos || cut < from) {
            if (dir != AT_FDCWD)
                ::close(dir);
            errno = ENAMETOOLONG; // one name longer than the system allows
            return -1;
        }
        const std::string step = path.substr(from, cut + 1 - from);
        const int next = ::openat(dir, step.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
        const int err = errno;
        if (dir != AT_FDCWD)
            ::close(dir);
        if (next < 0) {
            errno = err;
            return -1;
        }
        dir = next;
        from = cut + 1;
    }
    rest = from;
    return dir;
}

OsError ReadOnlyFile::fail(int reason) {
    close();
    lastError_ = OsError(reason);
    return lastError_;
}

namespace {

// O_NOFOLLOW: a link in the file's place is not followed. O_NONBLOCK keeps a FIFO that took its
// place from blocking the open.
constexpr int kReadFlags = O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK | O_NOFOLLOW;

// Opens `path` for reading unless a link is on the way there; -1 with errno set, ELOOP for a
// link, ENOSYS (or EPERM, under some sandboxes) when the system cannot tell.
int openWithoutLinks(const char* path) {
    open_how how{};
    how.flags = static_cast<std::uint64_t>(kReadFlags);
    how.resolve = RESOLVE_NO_SYMLINKS;
    return static_cast<int>(::syscall(SYS_openat2, AT_FDCWD, path, &how, sizeof how));
}

// Opens `name` (relative to `dir`) for reading only if what is there now, looked at first
// without being opened, is a regular file (the very one of `expected`, when given): a FIFO or
// a device that a folder of the path swapped for a link leads to is never opened, for the
// open alone may block on it or set it off. -1 with the reason in `err`.
int openLookedAt(int dir, const char* name, const FileStamp* expected, int& err) {
    const int at = ::openat(dir, name, O_PATH | O_CLOEXEC | O_NOFOLLOW);
    if (at < 0) {
        err = errno;
        return -1;
    }
    struct stat sb;
    const int rc = ::fstat(at, &sb);
    const FileStatus st = statusOf(rc, sb);
    int fd = -1;
    if (rc != 0) {
        err = errno;
    } else if (expected ? !isSameFile(st, *expected) : st.kind != FileKind::Regular) {
        err = kReasonChanged;
    } else {
        // Through the descriptor: the very file looked at, whatever its path leads to now.
        char self[32];
        std::snprintf(self, sizeof self, "/proc/self/fd/%d", at);
        fd = ::open(self, kReadFlags & ~O_NOFOLLOW);
        err = errno;
        if (fd < 0 && err == ENOENT) {
            // No /proc: by its path again, kept only if it is the same file.
            fd = ::openat(dir, name, kReadFlags);
            err = errno;
            struct stat now;
            if (fd >= 0 &&
                (::fstat(fd, &now) != 0 || now.st_dev != sb.st_dev || now.st_ino != sb.st_ino)) {
                ::close(fd);
                fd = -1;
                err = kReasonChanged;
            }
        }
    }
    ::close(at);
    return fd;
}

} // namespace

OsError ReadOnlyFile::open(const std::string& path, const FileStamp* expected) {
    close();
    std::size_t rest = 0;
    const int dir = openPathParent(path, rest);
    if (dir == -1)
        return fail(errno);
    // A path without links is opened at once. One with a link on the way (to a folder searched
    // through it, or a folder swapped for a link since the walk), and one opened folder by
    // folder, whose folders were entered through links, are looked at before they are opened.
    int err = ELOOP;
    if (dir == AT_FDCWD) {
        fd_ = openWithoutLinks(path.c_str());
        err = errno;
    }
    if (fd_ < 0 && (err == ELOOP || err == ENOSYS || err == EPERM))
        fd_ = openLookedAt(dir, path.c_str() + rest, expected, err);
    if (dir != AT_FDCWD)
        ::close(dir);
    if (fd_ < 0)
        return fail(err == ELOOP ? kReasonChanged : err);
    struct stat sb;
    if (::fstat(fd_, &sb) != 0)
        return fail(errno);
    const FileStatus st = statusOf(0, sb);
    if (expected ? !isSameFile(st, *expected) : st.kind != FileKind::Regular)
        return fail(kReasonChanged);
    lastError_ = OsError();
    return lastError_;
}

FileStatus ReadOnlyFile::status() const {
    struct stat sb;
    const int rc = ::fstat(fd_, &sb);
    return statusOf(rc, sb);
}

void ReadOnlyFile::close() {
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
}

std::int64_t ReadOnlyFile::readAt(std::int64_t offset, char* buffer, std::int64_t length) {
    std::int64_t done = 0;
    while (done < length) {
        const ssize_t n = ::pread(fd_, buffer + done, static_cast<std::size_t>(length - done),
                                  static_cast<off_t>(offset + done));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            lastError_ = OsError::last();
            return -1;
        }
        if (n == 0)
            break;
        done += n;
    }
    return done;
}

void ReadOnlyFile::adviseSequential() {
    if (fd_ >= 0)
        ::posix_fadvise(fd_, 0, 0, POSIX_FADV_SEQUENTIAL);
}

long raiseOpenFileLimit(long wanted) {
    struct rlimit lim;
    if (::getrlimit(RLIMIT_NOFILE, &lim) != 0)
        return 0;
    if (lim.rlim_cur != RLIM_INFINITY && static_cast<long>(lim.rlim_cur) < wanted) {
        lim.rlim_cur = lim.rlim_max;
        ::setrlimit(RLIMIT_NOFILE, &lim);
        ::getrlimit(RLIMIT_NOFILE, &lim);
    }
    return lim.rlim_cur == RLIM_INFINITY ? wanted : static_cast<long>(lim.rlim_cur);
}

std::string canonicalPath(const std::string& path) {
    char* resolved = ::realpath(path.c_str(), nullptr);
    if (!resolved)
        return {};
    std::string out(resolved);
    ::free(resolved);
    return out;
}

std::string reasonText(int reason) {
    switch (reason) {
    case kReasonChanged:
        return userText("OsError", kChangedSinceSearch);
    case kReasonLoop:
        return userText("OsError", "a link back to a folder above it, searched once");
    case kReasonTrash:
        return userText("OsError", "a trash folder, never searched");
    case kReasonKernel:
        return userText("OsError", "a kernel file system, not searched");
    case kReasonInTrash:
        return userText("OsError", "it is in the trash already");
    case kReasonNoTrashName:
        return userText("OsError", "no free name in the trash");
    default:
        break;
    }
    return reason > 0 ? errorText(reason) : std::string();
}

std::string errorText(int err) {
    char buf[256];
    // GNU strerror_r returns the text, which may or may not be in buf.
    return std::string(::strerror_r(err, buf, sizeof buf));
}

int makeFolders(const std::string& path, mode_t mode) {
    struct stat sb;
    if (::stat(path.c_str(), &sb) == 0)
        return S_ISDIR(sb.st_mode) ? 0 : ENOTDIR;
    if (errno != ENOENT)
        return errno;
    const auto slash = path.rfind('/');
    const std::string parent =
        slash == std::string::npos ? std::string(".") : path.substr(0, slash == 0 ? 1 : slash);
    if (parent != path) {
        if (const int err = makeFolders(parent, mode))
            return err;
    }
    if (::mkdir(path.c_str(), mode) != 0 && errno != EEXIST)
        return errno;
    if (::stat(path.c_str(), &sb) != 0)
        return errno;
    return S_ISDIR(sb.st_mode) ? 0 : ENOTDIR;
}

int removeFile(const std::string& path) {
    return ::unlink(path.c_str()) == 0 || errno == ENOENT ? 0 : errno;
}

std::string userCacheFolder() {
    const char* xdg = std::getenv("XDG_CACHE_HOME");
    if (xdg && xdg[0] == '/')
        return xdg;
    const char* home = std::getenv("HOME");
    if (home && home[0] == '/')
        return std::string(home) + "/.cache";
    return {};
}

std::int64_t wallClockNanoseconds() {
    timespec now{};
    ::clock_gettime(CLOCK_REALTIME, &now);
    return std::int64_t{now.tv_sec} * 1'000'000'000 + now.tv_nsec;
}

} // namespace trevalo
