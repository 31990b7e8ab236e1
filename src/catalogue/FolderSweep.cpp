// SPDX-License-Identifier: GPL-2.0-or-later
#include "catalogue/FolderSweep.h"

#include "platform/ByteText.h"
#include "platform/PathText.h"

#include <algorithm>
#include <cerrno>

namespace trevalo {

namespace {

DirListing::Type typeOf(FileKind kind) {
    switch (kind) {
    case FileKind::Directory:
        return DirListing::Type::Directory;
    case FileKind::Regular:
        return DirListing::Type::Regular;
    case FileKind::Symlink:
        return DirListing::Type::Symlink;
    default:
        return DirListing::Type::Other;
    }
}

} // namespace

FolderSweep::FolderSweep() : trash_(TrashFolders::current()) {}

bool FolderSweep::shouldStop() {
    if (!stopped_ && stop_ && stop_())
        stopped_ = true;
    return stopped_;
}

void FolderSweep::sweep(std::string_view searchPath, bool recursive) {
    if (shouldStop())
        return;
    const std::string_view folderText = folderOf(searchPath);
    const WildcardPattern pattern{std::string(fileNameOf(searchPath))};
    const std::string path =
        folderText.empty() ? std::string(".") : withoutTrailingSlashes(folderText);
    FolderHandle top(path);
    if (!top.isOpen())
        return;
    const FileStatus st = top.status();
    if (st.error || trash_.isTrash(st.id()) || top.isPseudoFileSystem() ||
        !seenFolders_.insert(st.id()))
        return;
    Walk walk{pattern, st.device, recursive};
    std::vector<Found> below = sweepTree(std::move(top), path, st, walk);
    for (Found& f : below)
        empty_.push_back(std::move(f));
}

// Lists one folder: its links are looked at now, its sub-folders are kept for later, and
// anything else in it keeps it from being empty. False when it could not be listed in full.
bool FolderSweep::listFolder(Frame& frame, const std::string& path, const Walk& walk) {
    DirListing listing(frame.handle.fd());
    if (!listing.isOpen())
        return false;
    const std::string folderPath = path == "/" ? path : path + "/";
    DirListing::Entry e;
    while (listing.next(e)) {
        DirListing::Type type = e.type;
        if (type == DirListing::Type::Unknown)
            type = typeOf(frame.handle.statChild(e.name, false).kind);
        if (exclude_ && exclude_(folderPath, e.name, type == DirListing::Type::Directory)) {
            frame.empty = false;
            continue;
        }
        if (type == DirListing::Type::Symlink) {
            frame.empty = false;
            if (!walk.pattern.matches(e.name))
                continue;
            const FileStatus link = frame.handle.statChild(e.name, false);
            if (link.kind != FileKind::Symlink || !seenLinks_.insert(link.id()))
                continue;
            const FileStatus target = frame.handle.statChild(e.name, true);
            if (target.kind == FileKind::Missing && target.error.code() == ENOENT)
                broken_.push_back(Found{childPath(path, e.name), link});
            continue;
        }
        if (type != DirListing::Type::Directory || !walk.recursive) {
            frame.empty = false;
            continue;
        }
        frame.waiting.push_back(e.name);
    }
    std::reverse(frame.waiting.begin(), frame.waiting.end()); // taken from the back
    return !listing.error();
}

// The walk keeps a stack of folders instead of recursing, so that a chain of folders deeper
// than the thread's stack ends as any other. Only the deepest few folders stay open; a folder
// is opened again through ".." of the sub-folder it comes back from, and must be the folder it
// was (device and inode), or it is not called empty.
std::vector<FolderSweep::Found> FolderSweep::sweepTree(FolderHandle top, const std::string& path,
                                                       const FileStatus& st, const Walk& walk) {
    constexpr std::size_t kOpenFolders = 32;
    // The path of the folder on top of the stack; each folder keeps only its length.
    std::string at = path;
    std::vector<Frame> stack;
    stack.push_back(Frame{std::move(top), at.size(), st.id(), st, {}, true, {}});
    if (!listFolder(stack.back(), at, walk))
        stack.back().empty = false;
    std::vector<Found> result;
    while (!stack.empty()) {
        Frame& frame = stack.back();
        if (!frame.waiting.empty() && !shouldStop()) {
            const std::string name = std::move(frame.waiting.back());
            frame.waiting.pop_back();
            FolderHandle child = frame.handle.openChild(name, false);
            if (!child.isOpen() &&
                (child.error().code() == EMFILE || child.error().code() == ENFILE)) {
                // Too many open files: the folders above give theirs back, and it is tried again.
                for (std::size_t i = 0; i + 1 < stack.size(); ++i)
                    stack[i].handle = FolderHandle();
                child = frame.handle.openChild(name, false);
            }
            const FileStatus cs = child.isOpen() ? child.status() : FileStatus{};
            const FileId id = cs.id();
            if (!child.isOpen() || cs.error || cs.device != walk.device || trash_.isTrash(id) ||
                child.isPseudoFileSystem() || !seenFolders_.insert(id)) {
                frame.empty = false;
                continue;
            }
            if (stack.size() >= kOpenFolders)
                stack[stack.size() - kOpenFolders].handle = FolderHandle();
            at = childPath(at, name);
            stack.push_back(Frame{std::move(child), at.size(), id, cs, {}, true, {}});
            if (!listFolder(stack.back(), at, walk))
                stack.back().empty = false;
            continue;
        }
        // The folder is done (or the sweep stopped): tell the folder above what it found.
        Frame done = std::move(stack.back());
        stack.pop_back();
        if (stack.empty()) {
            result = std::move(done.below);
            break;
        }
        Frame& above = stack.back();
        if (done.empty && !stopped_) {
            above.below.push_back(Found{at, done.status});
        } else {
            above.empty = false;
            for (Found& f : done.below)
                above.below.push_back(std::move(f));
        }
        at.resize(above.pathLength);
        if (!above.handle.isOpen()) {
            FolderHandle again = done.handle.openChild("..", false);
            const FileStatus as = again.isOpen() ? again.status() : FileStatus{};
            if (!again.isOpen() || as.error || as.id() != above.id) {
                // Moved while it was walked: nothing more is learnt under it.
                above.empty = false;
                above.waiting.clear();
            }
            above.handle = std::move(again);
        }
    }
    return result;
}

} // namespace trevalo
