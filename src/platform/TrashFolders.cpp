// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/TrashFolders.h"

#include "platform/PathText.h"
#include "platform/Trash.h"

#include <algorithm>
#include <string_view>
#include <unistd.h>

namespace trevalo {

namespace {

bool allDigits(std::string_view s) {
    return !s.empty() &&
           std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

bool isNetworkMountType(std::string_view type) {
    static constexpr std::string_view kTypes[] = {"nfs", "nfs4", "cifs", "smb3", "smbfs",
                                                  "9p",  "ceph", "afs",  "davfs"};
    return type.rfind("fuse", 0) == 0 ||
           std::find(std::begin(kTypes), std::end(kTypes), type) != std::end(kTypes);
}

// The trash folders at the top of a mount, of every user: top/.Trash-UID and top/.Trash/UID.
void addMountTrashes(const std::string& top, std::vector<std::string>& out) {
    DirListing listing(top);
    DirListing::Entry e;
    while (listing.next(e)) {
        if (e.name.rfind(".Trash-", 0) == 0 && allDigits(std::string_view(e.name).substr(7))) {
            out.push_back(top + e.name);
        } else if (e.name == ".Trash") {
            DirListing inner(top + e.name);
            DirListing::Entry u;
            while (inner.next(u))
                if (allDigits(u.name))
                    out.push_back(top + ".Trash/" + u.name);
        }
    }
}

} // namespace

TrashFolders TrashFolders::current() {
    TrashFolders t;
    std::vector<std::string> candidates;
    if (std::string home = homeTrashFolder(); !home.empty())
        candidates.push_back(std::move(home));
    // The top of a kernel file system's mount holds no trash (and autofs's is not listed: that
    // would mount what it stands for).
    for (const Mount& mount : mountTable()) {
        if (isKernelFileSystemName(mount.type))
            continue;
        std::string top = mount.top;
        if (top.empty() || top.back() != '/')
            top.push_back('/');
        if (isNetworkMountType(mount.type)) {
            // Not listed (a server that does not answer would stop the search): this
            // user's trash there is looked up by name.
            const std::string uid = std::to_string(::getuid());
            candidates.push_back(std::string(top).append(".Trash-").append(uid));
            candidates.push_back(std::string(top).append(".Trash/").append(uid));
            continue;
        }
        addMountTrashes(top, candidates);
    }
    // A trash reached through a link is the same trash; its files/ and info/ folders are
    // trash too, whichever way they are reached.
    for (const std::string& path : candidates) {
        const FileStatus st = statPath(path, true);
        if (st.kind != FileKind::Directory)
            continue;
        const FileId id = st.id();
        if (std::find(t.ids_.begin(), t.ids_.end(), id) != t.ids_.end())
            continue;
        t.ids_.push_back(id);
        t.paths_.push_back(path);
        for (const char* sub : {"/files", "/info"}) {
            const FileStatus inner = statPath(path + sub, true);
            if (inner.kind == FileKind::Directory)
                t.ids_.push_back(inner.id());
        }
    }
    return t;
}

bool TrashFolders::isHomeTrashPath(std::string_view path) {
    const std::string folder = withoutTrailingSlashes(path);
    constexpr std::string_view kHomeTrash = "/.local/share/Trash";
    return folder.size() >= kHomeTrash.size() &&
           folder.substr(folder.size() - kHomeTrash.size()) == kHomeTrash;
}

bool TrashFolders::looksLikeTrash(std::string_view folderPath, const FolderHandle& folder) {
    // Asked of every folder a search enters: the name is looked at first, without copying.
    const auto trimmed = [](std::string_view path) {
        while (path.size() > 1 && path.back() == '/')
            path.remove_suffix(1);
        return path;
    };
    const std::string_view path = trimmed(folderPath);
    const std::string_view name = fileNameOf(path);
    const bool named = name == ".Trash" ||
                       (name.starts_with(".Trash-") && allDigits(name.substr(7))) ||
                       (allDigits(name) && fileNameOf(trimmed(folderOf(path))) == ".Trash");
    return named && folder.statChild("files", false).kind == FileKind::Directory &&
           folder.statChild("info", false).kind == FileKind::Directory;
}

bool TrashFolders::isTrash(const FileId& folder) const {
    return std::find(ids_.begin(), ids_.end(), folder) != ids_.end();
}

bool TrashFolders::holds(const std::string& path) const {
    // The folder as it really is, links resolved: a path through a link into a trash is in it.
    const std::string_view given = folderOf(path);
    std::string folder = canonicalPath(given.empty() ? std::string(".") : std::string(given));
    if (folder.empty())
        folder = given.empty() ? "." : std::string(given);
    for (;;) {
        folder = withoutTrailingSlashes(folder);
        if (isHomeTrashPath(folder))
            return true;
        const FolderHandle handle(folder);
        const FileStatus st = handle.isOpen() ? handle.status() : FileStatus{};
        if (st.kind == FileKind::Directory && (isTrash(st.id()) || looksLikeTrash(folder, handle)))
            return true;
        const auto slash = folder.rfind('/');
        if (folder == "/" || folder == "." || slash == std::string::npos)
            return false;
        folder.resize(slash == 0 ? 1 : slash);
    }
}

} // namespace trevalo
