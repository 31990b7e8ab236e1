// SPDX-License-Identifier: GPL-2.0-or-later
#include "search/FolderProof.h"

#include "platform/FileSystem.h"
#include "platform/PathText.h"
#include "platform/UserText.h"
#include "search/ContentCompare.h"

#include <algorithm>
#include <cerrno>
#include <vector>

namespace trevalo {

namespace {

// Lists the folder at `path` (no trailing "/") and everything in it, one folder at a time so
// that a deep tree needs no deep stack: the files and folders found (relative to `top`, folders
// ending in "/") and anything else as a problem.
bool listTree(const std::string& path, std::size_t top, std::vector<std::string>& files,
              std::vector<std::string>& folders, std::string& problem) {
    std::vector<std::string> waiting{path};
    while (!waiting.empty()) {
        const std::string folder = std::move(waiting.back());
        waiting.pop_back();
        DirListing listing(folder);
        if (!listing.isOpen()) {
            problem = folder + ": " + listing.error().text();
            return false;
        }
        DirListing::Entry e;
        while (listing.next(e)) {
            std::string child = childPath(folder, e.name);
            DirListing::Type type = e.type;
            if (type == DirListing::Type::Unknown) {
                const FileKind kind = statPath(child, false).kind;
                type = kind == FileKind::Regular     ? DirListing::Type::Regular
                       : kind == FileKind::Directory ? DirListing::Type::Directory
                                                     : DirListing::Type::Other;
            }
            if (type == DirListing::Type::Regular) {
                files.push_back(child.substr(top));
            } else if (type == DirListing::Type::Directory) {
                folders.push_back(child.substr(top) + "/");
                waiting.push_back(std::move(child));
            } else {
                problem = child + ": not a file or a folder";
                return false;
            }
        }
        if (listing.error()) {
            problem = folder + ": " + listing.error().text();
            return false;
        }
    }
    return true;
}

std::string proveFolder(const FolderClaim* said, const std::string& path,
                        const std::atomic<bool>* cancel) {
    std::vector<std::string> files, folders;
    std::string problem;
    const std::size_t top = path == "/" ? 1 : path.size() + 1;
    if (!listTree(path, top, files, folders, problem))
        return withArgs(userText("FolderProof", "cannot be listed in full: %1"), {problem});
    if (!said)
        return files.empty() ? std::string() : userText("FolderProof", "no longer empty");
    const FolderClaim& claim = *said;
    std::sort(files.begin(), files.end());
    std::sort(folders.begin(), folders.end());
    std::vector<std::string> claimed;
    claimed.reserve(claim.items.size());
    for (const FolderClaim::Item& item : claim.items)
        claimed.push_back(item.path.substr(std::min(item.path.size(), top)));
    std::sort(claimed.begin(), claimed.end());
    if (files != claimed)
        return userText("FolderProof", "its files are not those the search found");
    std::vector<std::string> claimedFolders = claim.folders;
    std::sort(claimedFolders.begin(), claimedFolders.end());
    if (folders != claimedFolders)
        return userText("FolderProof", "its folders are not those the search found");
    const std::string inside = path == "/" ? path : path + "/";
    for (const FolderClaim::Item& item : claim.items) {
        if (cancel && cancel->load())
            return userText("FolderProof", "not proven: cancelled");
        if (item.copyPath.empty()) {
            if (item.stamp.size != 0 || !isSameFile(statPath(item.path, false), item.stamp))
                return item.path + ": " + userText("FolderProof", kFolderChanged);
            continue;
        }
        if (item.copyPath.rfind(inside, 0) == 0 || (item.copyStamp.device == item.stamp.device &&
                                                    item.copyStamp.inode == item.stamp.inode))
            return withArgs(
                userText("FolderProof", "%1: its copy is not another file outside the folder"),
                {item.path});
        FileTable pair(2);
        pair[0].path = item.path;
        pair[0].size = item.stamp.size;
        pair[0].stamp = item.stamp;
        pair[1].path = item.copyPath;
        pair[1].size = item.copyStamp.size;
        pair[1].stamp = item.copyStamp;
        if (pair[0].size != pair[1].size)
            return withArgs(userText("FolderProof", "%1: no longer the size of its copy"),
                            {item.path});
        CompareControl control;
        control.cancel = cancel;
        if (!groupIdenticalFiles(pair, 0, 1, control, CompareStrategy::AllOpen))
            return userText("FolderProof", "not proven: cancelled");
        if (pair[0].group == GroupMark::Unreadable)
            return item.path + ": " + userText("FolderProof", kFolderChanged);
        if (pair[1].group == GroupMark::Unreadable)
            return withArgs(userText("FolderProof", "%1: its copy %2 changed since the search"),
                            {item.path, item.copyPath});
        if (pair[0].group < 0 || pair[0].group != pair[1].group)
            return withArgs(userText("FolderProof", "%1: no longer identical to %2"),
                            {item.path, item.copyPath});
    }
    return {};
}

} // namespace

std::string proveEntryRow(const ResultRow& row, const std::atomic<bool>* cancel) {
    if (row.target == RowTarget::File || row.isFolder)
        return userText("FolderProof", "not a folder or a link");
    return proveEntry(withoutTrailingSlashes(row.path()), row.target, row.stamp, row.claim().get(),
                      cancel);
}

std::string proveEntry(const std::string& path, RowTarget target, const FileStamp& stamp,
                       const FolderClaim* claim, const std::atomic<bool>* cancel) {
    const FileStatus now = statEntry(path);
    const FileKind kind = target == RowTarget::Folder ? FileKind::Directory : FileKind::Symlink;
    if (now.kind != kind || now.device != stamp.device || now.inode != stamp.inode)
        return userText("FolderProof", kFolderChanged);
    if (target == RowTarget::Link) {
        const FileStatus target = statPath(path, true);
        if (target.kind == FileKind::Missing && target.error.code() == ENOENT)
            return {};
        return userText("FolderProof", "its target exists now");
    }
    return proveFolder(claim, path, cancel);
}

} // namespace trevalo
