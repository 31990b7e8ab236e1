// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/Trash.h"

#include "platform/FileRename.h"
#include "platform/FileSystem.h"
#include "platform/PathText.h"
#include "platform/TrashFolders.h"
#include "platform/UserText.h"

#include <QByteArray>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <fstream>
#include <optional>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>
#include <variant>
#include <vector>

namespace trevalo {

namespace {

constexpr std::string_view kInfoSuffix = ".trashinfo";
// Different names tried in one trash before giving up ("name", "name.2", ...).
constexpr int kMaxNameTries = 10000;
// The folders made again on the way back from the trash: as the user's umask wants them.
constexpr mode_t kRestoredFolderMode = 0777;

std::string envPath(const char* name) {
    const char* value = std::getenv(name);
    return value ? std::string(value) : std::string();
}

std::string absolutePath(const std::string& path) {
    if (!path.empty() && path.front() == '/')
        return path;
    char buf[PATH_MAX];
    if (!::getcwd(buf, sizeof buf))
        return path;
    std::string cwd(buf);
    return childPath(cwd, path);
}

// The device of a path, or of its nearest existing ancestor when it does not exist yet.
std::optional<dev_t> deviceOfNearest(std::string path) {
    for (;;) {
        struct stat sb;
        if (::stat(path.c_str(), &sb) == 0)
            return sb.st_dev;
        if (path == "/" || path == ".")
            return std::nullopt;
        path = parentFolderOf(path);
    }
}

// A folder of a mount's trash: created with mode 0700 when missing; an existing one must be a
// real folder (not a link) that belongs to us. Returns 0 or errno.
int ownFolder(const std::string& path) {
    if (::mkdir(path.c_str(), 0700) != 0 && errno != EEXIST)
        return errno;
    struct stat sb;
    if (::lstat(path.c_str(), &sb) != 0)
        return errno;
    if (!S_ISDIR(sb.st_mode))
        return ENOTDIR;
    if (sb.st_uid != ::getuid())
        return EACCES;
    return 0;
}

int filesAndInfo(const std::string& trash, bool strict) {
    for (const char* sub : {"/files", "/info"}) {
        const std::string folder = trash + sub;
        if (const int err = strict ? ownFolder(folder) : makeFolders(folder))
            return err;
    }
    return 0;
}

bool isUnder(const std::string& path, const std::string& top) {
    if (top == "/")
        return true;
    return path.size() >= top.size() && path.compare(0, top.size(), top) == 0 &&
           (path.size() == top.size() || path[top.size()] == '/');
}

// The top folder of the mount that holds a folder: the longest mount point above its real
// path. Without /proc, the highest ancestor on the same device.
std::string mountTopOf(const std::string& folder) {
    char real[PATH_MAX];
    std::string path = ::realpath(folder.c_str(), real) ? std::string(real) : folder;

    std::string best;
    for (const Mount& mount : mountTable())
        if (isUnder(path, mount.top) && mount.top.size() > best.size())
            best = mount.top;
    if (!best.empty())
        return best;

    struct stat sb;
    if (::stat(path.c_str(), &sb) != 0)
        return path;
    std::string top = path;
    while (top != "/") {
        const std::string up = parentFolderOf(top);
        struct stat ub;
        if (::stat(up.c_str(), &ub) != 0 || ub.st_dev != sb.st_dev)
            break;
        top = up;
    }
    return top;
}

TrashPlace homeTrashPlace() {
    const std::string home = homeTrashFolder();
    if (home.empty())
        return {{}, OsError(ENOENT)};
    if (const int err = makeFolders(home))
        return {home, OsError(err)};
    return {home, OsError(filesAndInfo(home, false))};
}

} // namespace

TrashPlace mountTrash(const std::string& top) {
    const std::string uid = std::to_string(::getuid());
    const std::string shared = childPath(top, ".Trash");
    struct stat sb;
    if (::lstat(shared.c_str(), &sb) == 0 && S_ISDIR(sb.st_mode) && (sb.st_mode & S_ISVTX)) {
        const std::string mine = shared + "/" + uid;
        if (ownFolder(mine) == 0 && filesAndInfo(mine, true) == 0)
            return {mine, OsError()};
    }
    const std::string own = childPath(top, ".Trash-" + uid);
    if (const int err = ownFolder(own))
        return {own, OsError(err)};
    return {own, OsError(filesAndInfo(own, true))};
}

namespace {

// The name in the trash for the n-th try, short enough that name + ".trashinfo" is a valid
// file name.
std::string trashName(const std::string& name, int attempt) {
    const std::string suffix = attempt == 1 ? std::string() : "." + std::to_string(attempt);
    const std::size_t room = NAME_MAX - kInfoSuffix.size() - suffix.size();
    std::string base = name;
    if (base.size() > room) {
        base.resize(room);
        // Do not leave half of a UTF-8 character at the end.
        while (!base.empty() && (static_cast<unsigned char>(base.back()) & 0xC0) == 0x80)
            base.pop_back();
        if (!base.empty() && (static_cast<unsigned char>(base.back()) & 0xC0) == 0xC0)
            base.pop_back();
    }
    return base + suffix;
}

std::string deletionDateNow() {
    const std::time_t now = std::time(nullptr);
    std::tm tm{};
    ::localtime_r(&now, &tm);
    char buf[32];
    std::strftime(buf, sizeof buf, "%Y-%m-%dT%H:%M:%S", &tm);
    return buf;
}

int writeAll(int fd, const std::string& text) {
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        done += static_cast<std::size_t>(n);
    }
    return 0;
}

// Stranded: another file took the checked file's place just before the move and went to the
// trash in its stead, where it stays with its .trashinfo (it could not be put back).
enum class Step { Moved, NameTaken, Failed, Changed, Stranded };

// The file to move: an entry of an open folder, and what an lstat of it saw.
struct FileToMove {
    int folder = -1;
    std::string name;
    std::string path; // the original path, for the .trashinfo
    FileStamp stamp;
    FileKind kind = FileKind::Regular;
};

struct Attempt {
    Step step = Step::Failed;
    int error = 0;
};

// One try under one name: the .trashinfo is created exclusively, then the file is renamed
// into files/ without replacing anything there. A file that turns out not to be the one looked
// at goes back where it came from.
Attempt tryName(const FileToMove& source, const std::string& trash, const std::string& name,
                const std::string& info) {
    const std::string infoPath = trash + "/info/" + name + std::string(kInfoSuffix);
    const int fd = ::open(infoPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0)
        return {errno == EEXIST ? Step::NameTaken : Step::Failed, errno};
    int err = writeAll(fd, info);
    if (::close(fd) != 0 && err == 0)
        err = errno;
    if (err != 0) {
        ::unlink(infoPath.c_str());
        return {Step::Failed, err};
    }
    const std::string trashed = trash + "/files/" + name;
    const RenameResult moved = renameNoReplaceAt(source.folder, source.name, AT_FDCWD, trashed);
    if (!moved.ok()) {
        ::unlink(infoPath.c_str());
        return {moved.error.code() == EEXIST ? Step::NameTaken : Step::Failed, moved.error.code()};
    }
    const FileStatus arrived = statPath(trashed, false);
    if (isSameFile(arrived, source.stamp, StatusTime::SetByMove, source.kind))
        return {Step::Moved, 0};
    if (!renameNoReplaceAt(AT_FDCWD, trashed, source.folder, source.name).ok())
        return {Step::Stranded, 0}; // it cannot go back; in the trash it keeps its way back
    ::unlink(infoPath.c_str());
    return {Step::Changed, 0};
}

TrashResult failure(OsError error, const std::string& detail = {}) {
    TrashResult result;
    result.status = error.changed() ? TrashStatus::Changed : TrashStatus::Failed;
    result.error = error;
    result.reason = error.text() + detail;
    return result;
}

// A trash that cannot be used, named in the reason.
TrashResult unusable(const TrashPlace& place) {
    TrashResult result = failure(place.error);
    result.reason = withArgs(userText("Trash", "cannot use the trash %1: %2"),
                             {place.folder, place.error.text()});
    return result;
}

// Moves the file into one trash; error holds the errno of a failed step.
TrashResult moveInto(const FileToMove& source, const std::string& trash, int& error) {
    error = 0;
    TrashResult result;
    result.trashFolder = trash;
    const std::string info = "[Trash Info]\nPath=" + trashPercentEncode(source.path) +
                             "\nDeletionDate=" + deletionDateNow() + "\n";
    for (int attempt = 1; attempt <= kMaxNameTries; ++attempt) {
        const std::string candidate = trashName(source.name, attempt);
        const Attempt a = tryName(source, trash, candidate, info);
        if (a.step == Step::Moved) {
            result.status = TrashStatus::Moved;
            result.trashedName = candidate;
            return result;
        }
        if (a.step == Step::Failed) {
            error = a.error;
            return failure(OsError(a.error));
        }
        if (a.step == Step::Changed)
            return failure(OsError(kReasonChanged));
        if (a.step == Step::Stranded) {
            // Not the file that was checked: a failure, and the user is told where it is.
            std::string where = "; the file that took its place is in ";
            where.append(trash).append("/files/").append(candidate);
            where.append(" and can be restored from there");
            TrashResult stranded = failure(OsError(kReasonChanged), where);
            stranded.status = TrashStatus::Stranded;
            return stranded;
        }
    }
    return failure(OsError(kReasonNoTrashName), " " + trash);
}

} // namespace

std::string homeTrashFolder() {
    std::string data = envPath("XDG_DATA_HOME");
    if (data.empty() || data.front() != '/') {
        std::string home = envPath("HOME");
        if (home.empty()) {
            if (const passwd* pw = ::getpwuid(::getuid()); pw && pw->pw_dir)
                home = pw->pw_dir;
        }
        if (home.empty() || home.front() != '/')
            return {};
        data = withoutTrailingSlashes(home) + "/.local/share";
    }
    return childPath(withoutTrailingSlashes(data), "Trash");
}

std::string trashPercentEncode(std::string_view bytes) {
    return QByteArray::fromRawData(bytes.data(), static_cast<qsizetype>(bytes.size()))
        .toPercentEncoding("/!~*'()")
        .toStdString();
}

TrashResult moveToTrash(const std::string& givenPath, const FileStamp* expected,
                        const TrashFolders* trashFolders, FileKind kind) {
    if (givenPath.empty())
        return failure(OsError(ENOENT));
    const std::string path = withoutTrailingSlashes(absolutePath(givenPath));

    TrashFolders current;
    if (!trashFolders) {
        current = TrashFolders::current();
        trashFolders = &current;
    }
    if (trashFolders->holds(path))
        return failure(OsError(kReasonInTrash));

    const FolderHandle folder(parentFolderOf(path));
    if (!folder.isOpen())
        return failure(folder.error());
    FileToMove source{folder.fd(), std::string(fileNameOf(path)), path, {}, kind};
    const FileStatus entry = folder.statChild(source.name, false);
    if (entry.error)
        return failure(entry.error);
    if (expected && !isSameFile(entry, *expected, StatusTime::Same, kind))
        return failure(OsError(kReasonChanged));
    source.stamp = entry.stamp();
    const FileStatus here = folder.status();
    const TrashOrigin origin{here.id(), folder.birthNanoseconds(), folder.realPath()};
    const auto from = [&origin](TrashResult result) {
        if (result.ok())
            result.origin = origin;
        return result;
    };

    // The home trash takes the files of its own file system.
    const std::string home = homeTrashFolder();
    const std::optional<dev_t> homeDevice = home.empty() ? std::nullopt : deviceOfNearest(home);
    if (homeDevice && static_cast<std::uint64_t>(*homeDevice) == entry.device) {
        const TrashPlace place = homeTrashPlace();
        if (place.error)
            return unusable(place);
        int error = 0;
        TrashResult result = moveInto(source, place.folder, error);
        // A bind mount shares the device but not the mount: such a file goes to the trash of
        // its own mount below.
        if (error != EXDEV)
            return from(std::move(result));
    }

    const std::string top = mountTopOf(parentFolderOf(path));
    const TrashPlace place = mountTrash(top);
    if (place.error)
        return unusable(place);
    int error = 0;
    return from(moveInto(source, place.folder, error));
}

std::string trashPercentDecode(std::string_view text) {
    const auto hexValue = [](char c) {
        if (c >= '0' && c <= '9')
            return c - '0';
        if (c >= 'a' && c <= 'f')
            return c - 'a' + 10;
        if (c >= 'A' && c <= 'F')
            return c - 'A' + 10;
        return -1;
    };
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size() && hexValue(text[i + 1]) >= 0 &&
            hexValue(text[i + 2]) >= 0) {
            out.push_back(static_cast<char>(hexValue(text[i + 1]) * 16 + hexValue(text[i + 2])));
            i += 2;
        } else {
            out.push_back(text[i]);
        }
    }
    return out;
}

namespace {

RestoreResult restoreFailure(RestoreStatus status, OsError error, std::string reason) {
    RestoreResult result;
    result.status = status;
    result.error = error;
    result.reason = std::move(reason);
    return result;
}

// The Path= value of a .trashinfo's [Trash Info] group, still percent-encoded. False when the
// file holds none.
bool readInfoPath(const std::string& infoPath, std::string& value, OsError& error) {
    std::ifstream in(infoPath, std::ios::binary);
    if (!in) {
        error = OsError::last();
        return false;
    }
    bool inGroup = false;
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.starts_with("[")) {
            inGroup = line == "[Trash Info]";
        } else if (inGroup && line.starts_with("Path=")) {
            value = line.substr(5);
            return true;
        }
    }
    error = OsError(EINVAL);
    return false;
}

// The folder a relative Path= starts from: the top of the mount whose trash this is
// (top/.Trash-UID or top/.Trash/UID). Empty for any other trash, where a path must be absolute.
std::string topOfMountTrash(const std::string& trash) {
    std::string parent = parentFolderOf(trash);
    if (fileNameOf(trash).starts_with(".Trash-"))
        return parent;
    if (fileNameOf(parent) == ".Trash")
        return parentFolderOf(parent);
    return {};
}

// The folder a file goes back into, given what it was when the file went to the trash: the
// folder at that path if it is still the same one; or, when it is gone, the folders made again
// below its nearest existing ancestor, provided that ancestor (links resolved) stands where the
// folder's real path says. why tells what stood in the way.
FolderHandle originalFolder(const std::string& folder, const TrashOrigin& origin,
                            std::string& why) {
    FolderHandle there(folder);
    if (there.isOpen()) {
        // The inode number of a folder removed may go to one made after it; the time it was
        // made tells them apart where the file system records it.
        const FileStatus now = there.status();
        if (now.id() == origin.folder &&
            (origin.born == 0 || there.birthNanoseconds() == origin.born))
            return there;
        why = withArgs(userText("Trash",
                                "the folder %1 is not the one it was deleted from (a link or "
                                "another folder stands in its place)"),
                       {folder});
        return {};
    }
    if (!there.error().notFound()) {
        why = withArgs(userText("Trash", "cannot open the folder %1: %2"),
                       {folder, there.error().text()});
        return {};
    }
    std::vector<std::string> missing;
    std::string at = folder;
    FolderHandle above;
    while (!above.isOpen()) {
        if (at == "/" || at == "." || at.empty()) {
            why = withArgs(userText("Trash", "no folder above %1 can be opened"), {folder});
            return {};
        }
        missing.push_back(std::string(fileNameOf(at)));
        at = parentFolderOf(at);
        above = FolderHandle(at);
        if (!above.isOpen() && !above.error().notFound()) {
            why = withArgs(userText("Trash", "cannot open the folder %1: %2"),
                           {at, above.error().text()});
            return {};
        }
    }
    std::string wouldBe = above.realPath();
    for (auto name = missing.rbegin(); name != missing.rend(); ++name)
        wouldBe = childPath(wouldBe, *name);
    if (origin.realFolder.empty() || wouldBe != origin.realFolder) {
        why =
            withArgs(userText("Trash", "the folder %1 is gone, and %2 is not where it was (a link "
                                       "or another folder stands in its place)"),
                     {folder, at});
        return {};
    }
    for (auto name = missing.rbegin(); name != missing.rend(); ++name) {
        if (::mkdirat(above.fd(), name->c_str(), 0777) != 0 && errno != EEXIST) {
            why = withArgs(userText("Trash", "cannot make the folder %1: %2"),
                           {childPath(at, *name), errorText(errno)});
            return {};
        }
        FolderHandle made = above.openChild(*name, false);
        if (!made.isOpen()) {
            why = withArgs(userText("Trash", "cannot open the folder %1: %2"),
                           {childPath(at, *name), made.error().text()});
            return {};
        }
        at = childPath(at, *name);
        above = std::move(made);
    }
    return above;
}

} // namespace

namespace {

// The path a trashed file's .trashinfo names, absolute; a failure (without originalPath) when it
// cannot be read or names no absolute path.
std::variant<std::string, RestoreResult> originalPathOf(const std::string& trashFolder,
                                                        const std::string& infoPath) {
    std::string encoded;
    OsError infoError;
    if (!readInfoPath(infoPath, encoded, infoError))
        return restoreFailure(
            RestoreStatus::Failed, infoError,
            withArgs(userText("Trash", "cannot read %1: %2"), {infoPath, infoError.text()}));
    std::string original = trashPercentDecode(encoded);
    if (original.empty() || original.front() != '/') {
        const std::string top = topOfMountTrash(trashFolder);
        if (top.empty() || original.empty())
            return restoreFailure(
                RestoreStatus::Failed, OsError(EINVAL),
                withArgs(userText("Trash", "the .trashinfo names no absolute path: %1"),
                         {encoded}));
        original = childPath(top, original);
    }
    return original;
}

// What a move back out of the trash that failed means.
RestoreResult moveBackFailure(const RenameResult& moved, const FolderHandle& files,
                              const std::string& trashFolder, const std::string& trashedName) {
    const int code = moved.error.code();
    if (code == EEXIST)
        return restoreFailure(
            RestoreStatus::OriginalTaken, moved.error,
            userText("Trash", "a file now stands at the original path; it stays in the trash"));
    if (code == EXDEV)
        return restoreFailure(
            RestoreStatus::Failed, moved.error,
            withArgs(userText("Trash", "the original folder is on another file system now; it "
                                       "stays in %1"),
                     {trashFolder + "/files/" + trashedName}));
    if (code == ENOENT && files.statChild(trashedName, false).kind == FileKind::Missing)
        return restoreFailure(RestoreStatus::NotInTrash, moved.error,
                              userText("Trash", "no longer in the trash"));
    return restoreFailure(RestoreStatus::Failed, moved.error, moved.error.text());
}

// The trashed file, checked against what the caller expects it to be; a failure when it is
// missing or another file.
std::variant<FileStatus, RestoreResult> trashedFileOf(const FolderHandle& files,
                                                      const std::string& trashedName,
                                                      const FileStamp* expected) {
    FileStatus trashed = files.statChild(trashedName, false);
    if (trashed.kind == FileKind::Missing)
        return restoreFailure(RestoreStatus::NotInTrash, trashed.error,
                              userText("Trash", "no longer in the trash"));
    if (trashed.error)
        return restoreFailure(RestoreStatus::Failed, trashed.error, trashed.error.text());
    // A whole folder or a link comes back as its kind; the stamp says the rest.
    if (expected && !isSameFile(trashed, *expected, StatusTime::SetByMove, trashed.kind))
        return restoreFailure(
            RestoreStatus::NotInTrash, OsError(kReasonChanged),
            userText("Trash", "no longer in the trash (another file has its name there)"));
    return trashed;
}

} // namespace

RestoreResult restoreFromTrash(const std::string& trashFolder, const std::string& trashedName,
                               const FileStamp* expected, const TrashOrigin* origin) {
    const FolderHandle files(trashFolder + "/files");
    if (!files.isOpen())
        return restoreFailure(files.error().notFound() ? RestoreStatus::NotInTrash
                                                       : RestoreStatus::Failed,
                              files.error(), files.error().text());
    auto checked = trashedFileOf(files, trashedName, expected);
    if (auto* failed = std::get_if<RestoreResult>(&checked))
        return std::move(*failed);
    const FileStatus& trashed = std::get<FileStatus>(checked);

    const std::string infoPath = trashFolder + "/info/" + trashedName + std::string(kInfoSuffix);
    auto path = originalPathOf(trashFolder, infoPath);
    if (auto* failed = std::get_if<RestoreResult>(&path))
        return std::move(*failed);
    const std::string& original = std::get<std::string>(path);

    RestoreResult result;
    result.originalPath = original;
    const auto fail = [&result](RestoreStatus status, OsError error, std::string reason) {
        result.status = status;
        result.error = error;
        result.reason = std::move(reason);
        return result;
    };
    // Where the file goes: relative to the original folder itself when it is known, so that
    // nothing swapped in on the way between the check and the move is followed.
    FolderHandle into;
    int intoFd = AT_FDCWD;
    std::string intoName = original;
    if (origin && origin->known()) {
        std::string why;
        into = originalFolder(parentFolderOf(original), *origin, why);
        if (!into.isOpen())
            return fail(RestoreStatus::Failed, OsError(kReasonChanged),
                        withArgs(userText("Trash", "%1; it stays in the trash"), {why}));
        intoFd = into.fd();
        intoName = std::string(fileNameOf(original));
    } else if (const int err = makeFolders(parentFolderOf(original), kRestoredFolderMode)) {
        return fail(RestoreStatus::Failed, OsError(err),
                    withArgs(userText("Trash", "cannot make the folder %1: %2"),
                             {parentFolderOf(original), errorText(err)}));
    }

    const RenameResult moved = renameNoReplaceAt(files.fd(), trashedName, intoFd, intoName);
    if (!moved.ok()) {
        RestoreResult failed = moveBackFailure(moved, files, trashFolder, trashedName);
        failed.originalPath = original;
        return failed;
    }

    // The rename moved whatever had the name just then: should that not be the file looked
    // at, it goes back.
    const FileStatus arrived =
        into.isOpen() ? into.statChild(intoName, false) : statPath(original, false);
    if (arrived.error ||
        !isSameFile(arrived, trashed.stamp(), StatusTime::SetByMove, trashed.kind)) {
        const bool back = renameNoReplaceAt(intoFd, intoName, files.fd(), trashedName).ok();
        return fail(RestoreStatus::Failed, OsError(kReasonChanged),
                    back ? userText("Trash", "the file in the trash changed while it was restored")
                         : withArgs(userText("Trash", "the file in the trash changed while it was "
                                                      "restored; it is at %1 now"),
                                    {original}));
    }
    result.status = RestoreStatus::Restored;
    result.stamp = arrived.stamp();
    if (::unlink(infoPath.c_str()) != 0 && errno != ENOENT)
        result.reason = withArgs(userText("Trash", "restored, but %1 could not be removed: %2"),
                                 {infoPath, errorText(errno)});
    return result;
}

} // namespace trevalo
