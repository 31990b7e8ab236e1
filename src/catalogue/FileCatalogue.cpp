// SPDX-License-Identifier: GPL-2.0-or-later
#include "catalogue/FileCatalogue.h"

#include "platform/ByteText.h"
#include "platform/PathText.h"

#include <algorithm>
#include <cerrno>
#include <optional>
#include <sys/vfs.h>

namespace trevalo {

// One folder being walked. Its own files are measured when it is entered and join the
// catalogue when its last sub-folder is done, which keeps the order "subtrees first, then the
// folder's own files" without holding the folder open for them.
struct FileCatalogue::Frame {
    FolderHandle handle; // closed once no sub-folder is left to open, or to make room
    FileId id;
    std::uint64_t device = 0;
    std::string name;           // as entered from the folder above (the top: its path)
    std::size_t pathLength = 0; // the walk's path text up to and including this folder's "/"
    std::vector<std::string> subFolders;
    std::size_t next = 0;         // the next sub-folder to enter
    std::vector<FileEntry> files; // their paths share one block of text with the folder's
};

namespace {

// A guess at how many files a recursive walk from folder can find: the files in use on its file
// system, at most kMostFilesGuessed; 0 when the file system does not say. Room for them is
// taken up front so that the catalogue does not copy itself as it grows: room never written
// is never given pages, so a guess too high costs address space only.
constexpr std::uint64_t kMostFilesGuessed = std::uint64_t{1} << 21;

std::size_t filesGuessed(const std::string& folder) {
    struct statfs fs {};
    if (::statfs(folder.c_str(), &fs) != 0 || fs.f_files == 0 || fs.f_ffree > fs.f_files)
        return 0;
    const auto used = static_cast<std::uint64_t>(fs.f_files - fs.f_ffree);
    return static_cast<std::size_t>(std::min(used, kMostFilesGuessed));
}

bool outOfDescriptors(int err) {
    return err == EMFILE || err == ENFILE;
}

} // namespace

FileCatalogue::FileCatalogue() : trash_(TrashFolders::current()) {
    setOpenFolderLimit(static_cast<int>(std::min<long>(64, (raiseOpenFileLimit(1024) - 24) / 4)));
}

void FileCatalogue::setOpenFolderLimit(int limit) {
    openLimit_ = std::max(2, limit);
}

bool FileCatalogue::shouldStop() {
    if (!stopped_ && stop_ && stop_())
        stopped_ = true;
    return stopped_;
}

void FileCatalogue::addSearchPath(std::string_view searchPath, bool recursive, PathRole role) {
    role_ = role;
    const std::string_view folder = folderOf(searchPath);
    if (recursive && entries_.empty()) {
        const std::size_t guess = filesGuessed(folder.empty() ? "." : std::string(folder));
        if (guess > entries_.capacity()) {
            try {
                entries_.reserve(guess);
            } catch (const std::bad_alloc&) {
                // No room up front: the catalogue grows as it goes.
            }
        }
    }
    walk(folder.empty() ? std::string("./") : std::string(folder), fileNameOf(searchPath),
         recursive);
}

void FileCatalogue::markKept() {
    if (kept_.size() == 0)
        return;
    for (FileEntry& e : entries_)
        if (e.reason == kReasonNone && kept_.contains(FileId{e.stamp.device, e.stamp.inode}))
            e.kept = true;
}

void FileCatalogue::reportFolder(std::string path, int reason) {
    // A folder reached through two paths is reported once.
    if (reported_.insert(path).second)
        problems_.push_back({std::move(path), reason});
}

void FileCatalogue::walk(const std::string& top, std::string_view pattern, bool recursive) {
    if (shouldStop())
        return;
    foldersSeen_.clear();
    std::vector<Frame> stack;
    FolderHandle handle(top);
    if (!handle.isOpen()) {
        reportFolder(withoutTrailingSlashes(top), handle.error().code());
        return;
    }
    std::string path = top;
    enter(stack, path, std::move(handle), top, pattern, recursive);
    while (!stack.empty()) {
        const std::size_t index = stack.size() - 1;
        Frame& frame = stack.back();
        if (frame.next == frame.subFolders.size() || stopped_) {
            if (!stopped_)
                complete(frame);
            if (frame.handle.isOpen()) {
                --openCount_;
                leaveAnchor(std::move(frame.handle), index);
            }
            stack.pop_back();
            path.resize(stack.empty() ? 0 : stack.back().pathLength);
            continue;
        }
        if (shouldStop())
            continue;
        const std::string name = std::move(frame.subFolders[frame.next++]);
        const bool lastOne = frame.next == frame.subFolders.size();
        if (!frame.handle.isOpen()) {
            if (const int reason = reopen(stack, index, top); reason != kReasonNone) {
                // The folder cannot be entered again: its other sub-folders are not walked.
                reportFolder(withoutTrailingSlashes(path), reason);
                stack[index].next = stack[index].subFolders.size();
                continue;
            }
        }
        path.append(name).push_back('/');
        FolderHandle child = openChild(stack, index, name);
        if (lastOne && stack[index].handle.isOpen()) {
            leaveAnchor(std::move(stack[index].handle), index);
            --openCount_;
        }
        if (!child.isOpen()) {
            reportFolder(withoutTrailingSlashes(path), child.error().code());
            path.resize(stack[index].pathLength);
            continue;
        }
        if (!enter(stack, path, std::move(child), name, pattern, true))
            path.resize(stack[index].pathLength);
    }
}

bool FileCatalogue::enter(std::vector<Frame>& stack, std::string& path, FolderHandle handle,
                          std::string name, std::string_view pattern, bool recursive) {
    const FileStatus self = handle.status();
    if (self.kind != FileKind::Directory) {
        reportFolder(withoutTrailingSlashes(path), self.error ? self.error.code() : ENOTDIR);
        return false;
    }
    const FileId id{self.device, self.inode};
    if (trash_.isTrash(id) || TrashFolders::isHomeTrashPath(path)) {
        // The trash is never searched; a search path that is one is told so.
        if (stack.empty())
            reportFolder(withoutTrailingSlashes(path), kReasonTrash);
        return false;
    }
    if (!foldersSeen_.insert(id)) {
        // Reached again through a link: walked once. A folder that holds itself is a loop.
        const bool loop =
            std::any_of(stack.begin(), stack.end(), [&](const Frame& f) { return f.id == id; });
        if (loop)
            reportFolder(withoutTrailingSlashes(path), kReasonLoop);
        return false;
    }
    const std::uint64_t parentDevice = stack.empty() ? 0 : stack.back().device;
    if (self.device != parentDevice && handle.isPseudoFileSystem()) {
        if (stack.empty())
            reportFolder(withoutTrailingSlashes(path), kReasonKernel);
        return false;
    }

    std::optional<DirListing> listed(std::in_place, handle.fd());
    if (!listed->isOpen() && outOfDescriptors(listed->error().code()) && makeRoomForFolder(stack))
        listed.emplace(handle.fd());
    DirListing& listing = *listed;
    if (!listing.isOpen()) {
        reportFolder(withoutTrailingSlashes(path), listing.error().code());
        return false;
    }

    Frame frame;
    frame.id = id;
    frame.device = self.device;
    frame.name = std::move(name);
    frame.pathLength = path.size();
    DirListing::Entry e;
    std::size_t seen = 0;
    names_.clear();
    spans_.clear();
    const auto addName = [&](const std::string& name) {
        spans_.emplace_back(static_cast<std::uint32_t>(names_.size()),
                            static_cast<std::uint32_t>(name.size()));
        names_.append(name);
    };
    while (listing.next(e)) {
        if ((++seen & 4095) == 0 && shouldStop())
            return false;
        bool isFile = e.type == DirListing::Type::Regular;
        bool isFolder = e.type == DirListing::Type::Directory;
        FileStatus st;
        bool measured = false;
        if (e.type == DirListing::Type::Unknown) {
            st = handle.statChild(e.name, false);
            measured = true;
            isFile = st.kind == FileKind::Regular || st.kind == FileKind::Failed;
            isFolder = st.kind == FileKind::Directory;
            if (st.kind == FileKind::Symlink && recursive)
                isFolder = handle.statChild(e.name, true).kind == FileKind::Directory;
        } else if (e.type == DirListing::Type::Symlink && recursive) {
            isFolder = handle.statChild(e.name, true).kind == FileKind::Directory;
        }
        if (isFolder) {
            if (recursive && !(exclude_ && exclude_(path, e.name, true)))
                frame.subFolders.push_back(e.name);
            continue;
        }
        if (!isFile || !wildcardMatch(pattern, e.name))
            continue; // links, FIFOs, sockets and devices are never taken
        if (exclude_ && exclude_(path, e.name, false))
            continue;
        if (!measured)
            st = handle.statChild(e.name, false);
        if (st.kind == FileKind::Regular) {
            frame.files.push_back({{}, st.size, -1, st.stamp(), kReasonNone});
            addName(e.name);
        } else if (st.kind == FileKind::Failed) {
            frame.files.push_back({{}, -1, -1, FileStamp{}, st.error ? st.error.code() : EIO});
            addName(e.name);
        }
        // Gone, or no longer a regular file: nothing to catalogue.
    }
    if (!frame.files.empty()) {
        // The folder's path is held once, with the names of its files after it.
        PathBlock* block = PathBlock::create(path, names_.size());
        const std::uint32_t base = block->append(names_);
        for (std::size_t k = 0; k < frame.files.size(); ++k)
            frame.files[k].path = FilePath(block, base + spans_[k].first, spans_[k].second);
        block->drop();
    }
    if (listing.error().code() != 0)
        reportFolder(withoutTrailingSlashes(path), listing.error().code());
    found_ += static_cast<std::int64_t>(frame.files.size());

    if (!frame.subFolders.empty()) {
        frame.handle = std::move(handle);
        ++openCount_;
    } else {
        leaveAnchor(std::move(handle), stack.size());
    }
    stack.push_back(std::move(frame));
    if (progress_)
        progress_(found_);
    return true;
}

void FileCatalogue::complete(Frame& frame) {
    for (FileEntry& file : frame.files) {
        if (role_ != PathRole::Search && file.reason == kReasonNone)
            kept_.insert(FileId{file.stamp.device, file.stamp.inode});
        if (role_ == PathRole::KeepOnly)
            continue;
        if (file.reason == kReasonNone) {
            if (!files_.insert(FileId{file.stamp.device, file.stamp.inode}))
                continue;
        } else if (!unmeasured_.insert(file.path.str()).second) {
            continue;
        }
        entries_.push_back(std::move(file));
    }
    frame.files = {};
}

bool FileCatalogue::makeRoomForFolder(std::vector<Frame>& stack) {
    // The shallowest open folder is the one needed again last.
    for (Frame& f : stack) {
        if (f.handle.isOpen()) {
            f.handle = FolderHandle();
            --openCount_;
            return true;
        }
    }
    return false;
}

FolderHandle FileCatalogue::openChild(std::vector<Frame>& stack, std::size_t parent,
                                      const std::string& name) {
    if (openCount_ >= openLimit_) {
        // Keep the parent: close the shallowest other open folder.
        FolderHandle keep = std::move(stack[parent].handle);
        makeRoomForFolder(stack);
        stack[parent].handle = std::move(keep);
    }
    ++foldersOpened_;
    FolderHandle child = stack[parent].handle.openChild(name);
    if (!child.isOpen() && outOfDescriptors(child.error().code())) {
        FolderHandle keep = std::move(stack[parent].handle);
        const bool freed = makeRoomForFolder(stack);
        stack[parent].handle = std::move(keep);
        if (freed)
            child = stack[parent].handle.openChild(name);
    }
    return child;
}

void FileCatalogue::leaveAnchor(FolderHandle handle, std::size_t depth) {
    anchor_ = std::move(handle);
    anchorDepth_ = depth;
}

int FileCatalogue::reopen(std::vector<Frame>& stack, std::size_t index, const std::string& top) {
    // Most often the folder is a few levels above the one just left: climb from there.
    if (anchor_.isOpen() && anchorDepth_ > index && anchorDepth_ - index <= kAnchorClimb) {
        std::string up;
        for (std::size_t k = index; k < anchorDepth_; ++k)
            up += "../";
        ++foldersOpened_;
        FolderHandle at = anchor_.openChild(up);
        const FileStatus st = at.status();
        if (at.isOpen() && st.kind == FileKind::Directory &&
            FileId{st.device, st.inode} == stack[index].id) {
            if (openCount_ >= openLimit_)
                makeRoomForFolder(stack);
            stack[index].handle = std::move(at);
            ++openCount_;
            return kReasonNone;
        }
    }
    // Enter the folder again from its nearest open ancestor (or the top), checking at each
    // step that every folder is still the one walked.
    std::size_t from = index;
    while (from > 0 && !stack[from].handle.isOpen())
        --from;
    FolderHandle at =
        stack[from].handle.isOpen() ? stack[from].handle.openChild(".") : FolderHandle(top);
    for (std::size_t k = from;; ++k) {
        if (!at.isOpen())
            return at.error() ? at.error().code() : EIO;
        const FileStatus st = at.status();
        if (st.kind != FileKind::Directory || !(FileId{st.device, st.inode} == stack[k].id))
            return kReasonChanged;
        if (k == index)
            break;
        ++foldersOpened_;
        at = at.openChild(stack[k + 1].name);
    }
    if (openCount_ >= openLimit_)
        makeRoomForFolder(stack);
    stack[index].handle = std::move(at);
    ++openCount_;
    return kReasonNone;
}

} // namespace trevalo
