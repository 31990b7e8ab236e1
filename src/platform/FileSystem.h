// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "platform/OsError.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <sys/types.h>
#include <utility>
#include <vector>

namespace trevalo {

// Paths are byte strings; nothing here converts them to text.

enum class FileKind { Missing, Failed, Regular, Directory, Symlink, Other };

struct FileId {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    bool operator==(const FileId&) const = default;
};

// What one stat of a file saw: enough to tell later whether a path still names that same file,
// unchanged.
struct FileStamp {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::int64_t size = 0;
    std::int64_t mtime = 0; // last-write time, whole seconds since the epoch
    std::int64_t ctime = 0; // last status change, whole seconds since the epoch
    std::int32_t mtimeNsec = 0;
    std::int32_t ctimeNsec = 0;

    FileId id() const { return {device, inode}; }
    bool operator==(const FileStamp&) const = default;
};

struct FileStatus {
    FileKind kind = FileKind::Failed;
    std::int64_t size = 0;
    std::int64_t mtime = 0; // last-write time, whole seconds since the epoch
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    OsError error; // of a failed call
    std::int32_t mtimeNsec = 0;
    std::int64_t ctime = 0;
    std::int32_t ctimeNsec = 0;
    std::uint64_t links = 0; // names the file has (hard links)

    FileId id() const { return {device, inode}; }
    FileStamp stamp() const {
        return FileStamp{device, inode, size, mtime, ctime, mtimeNsec, ctimeNsec};
    }
};

// Whether the status-change time still tells a file apart: not right after the file itself was
// renamed or moved, which sets it (and nothing else).
enum class StatusTime { Same, SetByMove };

// "The same file", as every check before acting on a file asks it: `now` is a regular file with
// the device, inode, size and nanosecond last-write time of the stamp `was` was taken of, and
// its status-change time too (which tells a new file that reuses a freed inode from the old
// one) unless the caller has just moved the file. A folder or a link that is acted on whole is
// asked the same of its own kind.
bool isSameFile(const FileStatus& now, const FileStamp& was,
                StatusTime statusTime = StatusTime::Same, FileKind kind = FileKind::Regular);

// stat (followLinks) or lstat. ENOENT and ENOTDIR give Missing, any other failure Failed.
FileStatus statPath(const std::string& path, bool followLinks = true);
// lstat of a path of any length (a long one is looked up relative to its folders).
FileStatus statEntry(const std::string& path);

// Identity of a file on this machine.
struct FileIdHash {
    std::size_t operator()(const FileId& id) const noexcept {
        return static_cast<std::size_t>(id.inode * 0x9E3779B97F4A7C15ull ^ id.device);
    }
};

// The entries of one folder, in the order the file system returns them ("." and ".." left
// out). The listing is released when the object goes.
class DirListing {
public:
    enum class Type { Unknown, Directory, Regular, Symlink, Other };
    struct Entry {
        std::string name;
        Type type = Type::Unknown;
    };

    explicit DirListing(const std::string& folder);
    // Lists an open folder (see FolderHandle) through its descriptor, from where the
    // descriptor stands: a descriptor just opened is listed from the start.
    explicit DirListing(int folderFd);
    ~DirListing();
    DirListing(const DirListing&) = delete;
    DirListing& operator=(const DirListing&) = delete;

    bool isOpen() const { return fd_ >= 0; }
    OsError error() const { return error_; }
    // Fetches the next entry; false when there is none left.
    bool next(Entry& entry);

private:
    int fd_ = -1;
    bool ownsFd_ = false;
    std::unique_ptr<char[]> buffer_; // the entries read from the folder and not yet taken
    std::size_t at_ = 0;
    std::size_t end_ = 0;
    OsError error_;
};

// An open folder: its entries are looked up relative to it, which spares the kernel the walk
// down a long path for every file. Closed when the object goes.
class FolderHandle {
public:
    FolderHandle() = default;
    // Opens a folder by path, following links.
    explicit FolderHandle(const std::string& path);
    ~FolderHandle();
    FolderHandle(FolderHandle&& other) noexcept;
    FolderHandle& operator=(FolderHandle&& other) noexcept;
    FolderHandle(const FolderHandle&) = delete;
    FolderHandle& operator=(const FolderHandle&) = delete;

    bool isOpen() const { return fd_ >= 0; }
    int fd() const { return fd_; }
    OsError error() const { return error_; }
    // The folder itself.
    FileStatus status() const;
    // An entry of the folder: stat (followLinks) or lstat.
    FileStatus statChild(const std::string& name, bool followLinks) const;
    // A sub-folder, following links (or, with followLinks false, only a real folder).
    FolderHandle openChild(const std::string& name, bool followLinks = true) const;
    // The folder's path with every link resolved, as the system knows it now; empty when it
    // cannot be told.
    std::string realPath() const;
    // When the folder was made, to the nanosecond, where the file system records it (0 when it
    // does not): a folder made anew may get the inode number of one removed before it.
    std::int64_t birthNanoseconds() const;
    // See isPseudoFileSystem.
    bool isPseudoFileSystem() const;

private:
    int fd_ = -1;
    OsError error_;
};

// True for the folders of a kernel file system (proc, sysfs, devtmpfs, devpts, cgroup, debugfs,
// tracefs, securityfs, pstore, bpf, binfmt_misc, configfs, efivarfs, fusectl, mqueue, nsfs,
// rpc_pipefs, hugetlbfs): kernel views that are not files to search.
bool isPseudoFileSystem(const std::string& folder);
// True for the mount type of such a file system, or autofs (the same list).
bool isKernelFileSystemName(std::string_view type);

// One mount of the mount table: its top folder (escapes such as \040 decoded) and type.
struct Mount {
    std::string top;
    std::string type;
};
// The mounts this process sees (/proc/self/mounts), in the order they were made; empty
// without /proc.
std::vector<Mount> mountTable();

// The file system a file lies on, as what is kept of files by their identities needs it.
struct FileSystemOf {
    // Whether its files keep one identity (device, inode number, size, times) from one mount to
    // the next while they are unchanged, and give it to no other file: it keeps its inode
    // numbers and sets change times itself (ext2/3/4, btrfs, xfs, f2fs, bcachefs, ZFS, JFS,
    // ReiserFS, NILFS, tmpfs, overlay, NFS). Others (FAT and exFAT, ISO 9660, UDF, SquashFS,
    // FUSE, SMB...) make up inode numbers as they mount or take times from elsewhere: two
    // different files, on two volumes mounted on one device one after the other, may show the
    // same identity.
    bool keepsIdentities = false;
    // Its type, and the number the kernel gives the volume (made from the file system's UUID
    // on ext4 and btrfs, so that two disk images mounted on one device one after the other are
    // told apart; from the device on others).
    std::uint64_t type = 0;
    std::uint64_t id = 0;
};
// The file system of the file at `path` (not followed if a link), found on `device`. Nothing
// when the file cannot tell (it is gone, or no longer on `device`).
std::optional<FileSystemOf> fileSystemOf(const std::string& path, std::uint64_t device);

// True when the files of `device` (a stat's st_dev) lie on a disk that says it rotates
// (/sys/block/*/queue/rotational): one whose head moves to where the next read is. False where
// the system does not say (network and other file systems without a block device of their
// own). Each device is looked up once.
bool onRotatingDisk(std::uint64_t device);

// A file opened for reading only, closed when the object goes.
class ReadOnlyFile {
public:
    ReadOnlyFile() = default;
    ~ReadOnlyFile();
    ReadOnlyFile(ReadOnlyFile&& other) noexcept;
    ReadOnlyFile& operator=(ReadOnlyFile&& other) noexcept;
    ReadOnlyFile(const ReadOnlyFile&) = delete;
    ReadOnlyFile& operator=(const ReadOnlyFile&) = delete;

    // Opens path without following a final link (a path longer than the system takes in one
    // call is opened folder by folder). Only a regular file is kept open, and with `expected`
    // only the very file of that stamp (device, inode, size, last-write and status-change
    // times): anything else gives Changed. Never blocks on a FIFO.
    OsError open(const std::string& path, const FileStamp* expected = nullptr);
    bool isOpen() const { return fd_ >= 0; }
    int fd() const { return fd_; }
    void close();
    // Hands the descriptor over to the caller, who closes it; -1 when not open.
    int release() { return std::exchange(fd_, -1); }
    // The open file as it is now (fstat): no path is looked up again.
    FileStatus status() const;
    // Reads up to length bytes at offset, retrying interrupted and partial reads. Returns the
    // bytes read (fewer only at the end of the file), or -1 with lastError() set.
    std::int64_t readAt(std::int64_t offset, char* buffer, std::int64_t length);
    // Why the last open or read failed.
    OsError lastError() const { return lastError_; }
    // Tells the kernel the file will be read from start to end.
    void adviseSequential();

private:
    OsError fail(int reason);

    int fd_ = -1;
    OsError lastError_;
};

// Opens a path of any length as an O_PATH descriptor of its folder part plus the final name:
// the folders are entered relative to each other, in steps the system takes in one call.
// Returns the folder's descriptor (AT_FDCWD when the path is short enough to open in one call,
// which then is the whole path) and sets `rest` to where in `path` what is left to open
// relative to it begins; -1 with errno set when a folder on the way cannot be entered. The
// caller closes a descriptor that is not AT_FDCWD.
int openPathParent(const std::string& path, std::size_t& rest);

// Raises the soft limit of open files towards the hard limit so that at least `wanted` can be
// open. Returns the soft limit in force afterwards.
long raiseOpenFileLimit(long wanted);

// The path with every link and "." or ".." resolved; empty when it cannot be resolved.
std::string canonicalPath(const std::string& path);

// A text description of an errno value, in the system's words.
std::string errorText(int err);

// Creates a folder and its missing parents, each new one with `mode` (less the umask). Returns
// 0 or errno.
int makeFolders(const std::string& path, mode_t mode = 0700);
// Removes a file (not a folder); a missing one is no failure. Returns 0 or errno.
int removeFile(const std::string& path);
// The folder for the user's own cached data: $XDG_CACHE_HOME when it is an absolute path,
// otherwise ~/.cache; empty when neither is known.
std::string userCacheFolder();
// True when `path` (not followed if a link) is there and belongs to a user other than the one
// this process acts as.
bool belongsToAnotherUser(const std::string& path);
// The time of day, in nanoseconds since the epoch, as file times count it.
std::int64_t wallClockNanoseconds();

} // namespace trevalo
