// SPDX-License-Identifier: GPL-2.0-or-later
#include "catalogue/FolderWalk.h"

#include "platform/ByteText.h"
#include "platform/PathText.h"

#include <algorithm>
#include <cerrno>
#include <optional>

namespace trevalo {

// One folder being walked. Its own files are measured when it is entered and are handed on
// when its last sub-folder is done, which keeps the order "subtrees first, then the folder's
// own files" without holding the folder open for them.
struct FolderWalk::Frame {
    FolderHandle handle; // closed once no sub-folder is left to open, or to make room
    FileId id;
    std::uint64_t device = 0;
    std::string name;           // as entered from the folder above (the start: its path)
    std::size_t pathLength = 0; // the walk's path text up to and including this folder's "/"
    std::size_t enterStep = 0;  // its Enter step
    std::vector<std::string> subFolders;
    std::size_t next = 0;           // the next sub-folder to enter
    std::size_t givenFrom = kAll;   // sub-folders from here on were given away
    std::vector<std::size_t> given; // the part each of those became

    static constexpr std::size_t kAll = static_cast<std::size_t>(-1);
    std::vector<FileEntry> files;      // their paths share one block of text with the folder's
    std::vector<std::uint32_t> linked; // those of them with more than one name
    // Its links to folders: each one's path (ending in "/"), the folder it leads to, and
    // whether that is this folder or one above it.
    struct Link {
        std::string path;
        FileId target;
        bool loop = false;
    };
    std::vector<Link> links;
};

namespace {

bool outOfDescriptors(int err) {
    return err == EMFILE || err == ENFILE;
}

} // namespace

bool FolderWalk::shouldStop() {
    std::atomic<bool>& stopped = *rules_.stopped;
    if (!stopped.load(std::memory_order_relaxed) && rules_.stop && *rules_.stop && (*rules_.stop)())
        stopped.store(true);
    return stopped.load(std::memory_order_relaxed);
}

void FolderWalk::forget(const WalkPlace& place) {
    seen_.clear();
    above_ = place.above;
    for (const FileId& id : above_)
        seen_.insert(id);
}

WalkStep problemStep(const std::string& path, int reason) {
    WalkStep step;
    step.kind = WalkStep::Kind::Problem;
    step.reason = reason;
    step.path = withoutTrailingSlashes(path);
    return step;
}

void FolderWalk::walk(std::vector<WalkStep>& steps, FolderHandle handle, std::string path,
                      std::string name, const WalkPlace& place, Depth depth,
                      std::shared_ptr<FolderHandle>* split) {
    std::vector<Frame> stack;
    const std::string top = path;
    if (!enter(steps, stack, path, std::move(handle), std::move(name), place, depth != Depth::Top))
        return;
    if (depth == Depth::Split) {
        Frame& frame = stack.back();
        splitId_ = frame.id;
        splitDevice_ = frame.device;
        for (std::size_t k = 0; k < frame.subFolders.size(); ++k) {
            WalkStep step;
            step.kind = WalkStep::Kind::Part;
            step.index = k;
            step.path = std::move(frame.subFolders[k]);
            steps.push_back(std::move(step));
        }
        if (frame.handle.isOpen()) {
            --openCount_;
            if (split)
                *split = std::make_shared<FolderHandle>(std::move(frame.handle));
        }
        complete(steps, frame);
        return;
    }
    while (!stack.empty()) {
        const bool stopped = rules_.stopped->load(std::memory_order_relaxed);
        const std::size_t index = stack.size() - 1;
        Frame& frame = stack.back();
        if (frame.next == frame.subFolders.size() || stopped) {
            if (!stopped)
                complete(steps, frame);
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
        if (share_ && share_->wanted())
            giveAway(stack, path);
        const std::size_t at = frame.next++;
        const std::string child = std::move(frame.subFolders[at]);
        const bool lastOne = frame.next == frame.subFolders.size();
        if (at >= frame.givenFrom && frame.given[at - frame.givenFrom] != WalkShare::kNone) {
            WalkStep step;
            step.kind = WalkStep::Kind::Part;
            step.index = frame.given[at - frame.givenFrom];
            steps.push_back(std::move(step));
            if (lastOne && frame.handle.isOpen()) {
                --openCount_;
                leaveAnchor(std::move(frame.handle), index);
            }
            continue;
        }
        if (!frame.handle.isOpen()) {
            if (const int reason = reopen(stack, index, top); reason != kReasonNone) {
                // The folder cannot be entered again: its other sub-folders are not walked.
                steps.push_back(problemStep(path, reason));
                stack[index].next = stack[index].subFolders.size();
                continue;
            }
        }
        path.append(child).push_back('/');
        FolderHandle opened = openChild(stack, index, child);
        if (lastOne && stack[index].handle.isOpen()) {
            leaveAnchor(std::move(stack[index].handle), index);
            --openCount_;
        }
        if (!opened.isOpen()) {
            steps.push_back(problemStep(path, opened.error().code()));
            path.resize(stack[index].pathLength);
            continue;
        }
        if (!enter(steps, stack, path, std::move(opened), child, place, true))
            path.resize(stack[index].pathLength);
    }
}

void FolderWalk::giveAway(std::vector<Frame>& stack, const std::string& path) {
    // The back half of the sub-folders still to enter of the shallowest folder that has any:
    // the largest share of work there is, and the part of it this walker would reach last.
    for (std::size_t i = 0; i < stack.size(); ++i) {
        Frame& f = stack[i];
        const std::size_t end = std::min(f.givenFrom, f.subFolders.size());
        const std::size_t left = end > f.next ? end - f.next : 0;
        if (left == 0 || !f.handle.isOpen())
            continue;
        const std::size_t count = std::min((left + 1) / 2, share_->room());
        if (count == 0)
            return;
        auto parent = std::make_shared<FolderHandle>(f.handle.openChild("."));
        ++foldersOpened_;
        if (!parent->isOpen())
            return;
        WalkPlace below;
        below.above = above_;
        for (std::size_t k = 0; k <= i; ++k)
            below.above.push_back(stack[k].id);
        below.parentDevice = f.device;
        const std::string folder = path.substr(0, f.pathLength);
        std::vector<std::size_t> given;
        for (std::size_t k = end - count; k < end; ++k) {
            const std::string& name = f.subFolders[k];
            given.push_back(share_->give(parent, name, folder + name + "/", below));
        }
        given.insert(given.end(), f.given.begin(), f.given.end());
        f.given = std::move(given);
        f.givenFrom = end - count;
        return;
    }
}

bool FolderWalk::enter(std::vector<WalkStep>& steps, std::vector<Frame>& stack, std::string& path,
                       FolderHandle handle, std::string name, const WalkPlace& place,
                       bool recursive) {
    const FileStatus self = handle.status();
    if (self.kind != FileKind::Directory) {
        steps.push_back(problemStep(path, self.error ? self.error.code() : ENOTDIR));
        return false;
    }
    const bool atTop = stack.empty() && place.top();
    const FileId id{self.device, self.inode};
    if (rules_.trash->isTrash(id) || TrashFolders::isHomeTrashPath(path)) {
        // The trash is never searched; a search path that is one is told so.
        if (atTop)
            steps.push_back(problemStep(path, kReasonTrash));
        return false;
    }
    if (TrashFolders::looksLikeTrash(path, handle)) {
        // The trash of a mount that is not mounted as such now (reached through another
        // mount of the same disk, say): never searched either, and told, since no list of
        // trash folders names it.
        steps.push_back(problemStep(path, kReasonTrash));
        return false;
    }
    if (rules_.walkedBefore && rules_.walkedBefore->contains(id))
        return false; // its files are in the catalogue already
    if (!seen_.insert(id)) {
        // Reached again (through a mount, say): walked once. A folder that holds itself is a loop.
        if (isAboveOrAt(stack, id))
            steps.push_back(problemStep(path, kReasonLoop));
        return false;
    }
    // From here on whatever is said of the folder lies between its Enter and its Leave, so that
    // a folder found walked already when the steps are replayed is passed over whole.
    const std::size_t enterStep = steps.size();
    {
        WalkStep step;
        step.kind = WalkStep::Kind::Enter;
        step.id = id;
        steps.push_back(std::move(step));
    }
    const auto leave = [&] {
        steps[enterStep].index = steps.size();
        steps.push_back(WalkStep{});
        return false;
    };
    const std::uint64_t parentDevice = stack.empty() ? place.parentDevice : stack.back().device;
    if (self.device != parentDevice && handle.isPseudoFileSystem()) {
        if (atTop)
            steps.push_back(problemStep(path, kReasonKernel));
        return leave();
    }

    std::optional<DirListing> listed(std::in_place, handle.fd());
    if (!listed->isOpen() && outOfDescriptors(listed->error().code()) && makeRoomForFolder(stack))
        listed.emplace(handle.fd());
    DirListing& listing = *listed;
    if (!listing.isOpen()) {
        steps.push_back(problemStep(path, listing.error().code()));
        return leave();
    }

    Frame frame;
    frame.id = id;
    frame.device = self.device;
    frame.name = std::move(name);
    frame.pathLength = path.size();
    frame.enterStep = enterStep;
    DirListing::Entry e;
    std::size_t seen = 0;
    names_.clear();
    spans_.clear();
    const auto addName = [&](const std::string& name) {
        spans_.emplace_back(static_cast<std::uint32_t>(names_.size()),
                            static_cast<std::uint32_t>(name.size()));
        names_.append(name);
    };
    const FileCatalogue::ExcludeTest* exclude =
        rules_.exclude && *rules_.exclude ? rules_.exclude : nullptr;
    while (listing.next(e)) {
        if ((++seen & 4095) == 0 && shouldStop())
            return leave();
        bool isFile = e.type == DirListing::Type::Regular;
        bool isFolder = e.type == DirListing::Type::Directory;
        bool isLink = e.type == DirListing::Type::Symlink;
        FileStatus st;
        bool measured = false;
        if (e.type == DirListing::Type::Unknown) {
            st = handle.statChild(e.name, false);
            measured = true;
            isFile = st.kind == FileKind::Regular || st.kind == FileKind::Failed;
            isFolder = st.kind == FileKind::Directory;
            isLink = st.kind == FileKind::Symlink;
        }
        FileStatus target;
        if (isLink && recursive) {
            target = handle.statChild(e.name, true);
            isFolder = target.kind == FileKind::Directory;
        }
        if (isFolder) {
            if (!recursive || (exclude && (*exclude)(path, e.name, true)))
                continue;
            if (!isLink) {
                frame.subFolders.push_back(e.name);
                continue;
            }
            const FileId to{target.device, target.inode};
            frame.links.push_back({path + e.name + "/", to, to == id || isAboveOrAt(stack, to)});
            continue;
        }
        if (!isFile || !rules_.pattern->matches(e.name))
            continue; // links, FIFOs, sockets and devices are never taken
        if (exclude && (*exclude)(path, e.name, false))
            continue;
        if (!measured)
            st = handle.statChild(e.name, false);
        if (st.kind == FileKind::Regular) {
            if (st.links > 1)
                frame.linked.push_back(static_cast<std::uint32_t>(frame.files.size()));
            frame.files.push_back({{}, st.size, -1, st.stamp(), kReasonNone});
            frame.files.back().links =
                static_cast<std::uint16_t>(std::min<std::uint64_t>(st.links, 65535));
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
        steps.push_back(problemStep(path, listing.error().code()));
    const auto files = static_cast<std::int64_t>(frame.files.size());
    const std::int64_t found = rules_.found->fetch_add(files) + files;

    if (!frame.subFolders.empty()) {
        frame.handle = std::move(handle);
        ++openCount_;
    } else {
        leaveAnchor(std::move(handle), stack.size());
    }
    stack.push_back(std::move(frame));
    if (progress_)
        progress_(found);
    return true;
}

bool FolderWalk::isAboveOrAt(const std::vector<Frame>& stack, const FileId& id) const {
    return std::any_of(stack.begin(), stack.end(), [&](const Frame& f) { return f.id == id; }) ||
           std::find(above_.begin(), above_.end(), id) != above_.end();
}

void FolderWalk::complete(std::vector<WalkStep>& steps, Frame& frame) {
    if (!frame.files.empty()) {
        WalkStep step;
        step.kind = WalkStep::Kind::Files;
        step.id = frame.id;
        step.files = std::move(frame.files);
        step.linked = std::move(frame.linked);
        steps.push_back(std::move(step));
    }
    for (Frame::Link& link : frame.links) {
        if (link.loop) {
            steps.push_back(problemStep(link.path, kReasonLoop));
            continue;
        }
        WalkStep step;
        step.kind = WalkStep::Kind::Link;
        step.id = link.target;
        step.parent = frame.id;
        step.path = std::move(link.path);
        steps.push_back(std::move(step));
    }
    frame.links.clear();
    steps[frame.enterStep].index = steps.size();
    steps.push_back(WalkStep{});
    if (afterFolder_)
        afterFolder_();
}

bool FolderWalk::makeRoomForFolder(std::vector<Frame>& stack) {
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

FolderHandle FolderWalk::openChild(std::vector<Frame>& stack, std::size_t parent,
                                   const std::string& name) {
    if (openCount_ >= rules_.openLimit) {
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

void FolderWalk::leaveAnchor(FolderHandle handle, std::size_t depth) {
    anchor_ = std::move(handle);
    anchorDepth_ = depth;
}

int FolderWalk::reopen(std::vector<Frame>& stack, std::size_t index, const std::string& top) {
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
            if (openCount_ >= rules_.openLimit)
                makeRoomForFolder(stack);
            stack[index].handle = std::move(at);
            ++openCount_;
            return kReasonNone;
        }
    }
    // Enter the folder again from its nearest open ancestor (or the start), checking at each
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
    if (openCount_ >= rules_.openLimit)
        makeRoomForFolder(stack);
    stack[index].handle = std::move(at);
    ++openCount_;
    return kReasonNone;
}

} // namespace trevalo
