// SPDX-License-Identifier: GPL-2.0-or-later
#include "catalogue/FolderWalk.h"
#include "catalogue/WalkParts.h"

#include "platform/ByteText.h"
#include "platform/PathText.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <thread>

namespace trevalo {

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
    Stack stack;
    const std::string top = path;
    if (!enter(steps, stack, path, std::move(handle), std::move(name), place, depth != Depth::Top))
        return;
    if (depth == Depth::Split) {
        splitInParts(steps, stack, split);
        return;
    }
    while (!stack.empty()) {
        const bool stopped = rules_.stopped->load(std::memory_order_relaxed);
        Frame& frame = stack.back();
        if (frame.next == frame.subFolders.size() || stopped)
            pop(steps, stack, path, stopped);
        else if (!shouldStop())
            walkNext(steps, stack, path, top, place);
    }
}

void FolderWalk::splitInParts(std::vector<WalkStep>& steps, Stack& stack,
                              std::shared_ptr<FolderHandle>* split) {
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
}

// Leaves the deepest folder, done or stopped.
void FolderWalk::pop(std::vector<WalkStep>& steps, Stack& stack, std::string& path, bool stopped) {
    Frame& frame = stack.back();
    if (!stopped)
        complete(steps, frame);
    if (frame.handle.isOpen()) {
        --openCount_;
        leaveAnchor(std::move(frame.handle), stack.size() - 1);
    }
    stack.pop_back();
    path.resize(stack.empty() ? 0 : stack.back().pathLength);
}

// Goes on to the next sub-folder of the deepest folder: enters it, or writes the Part step of
// it given away, or why it could not be entered.
bool FolderWalk::walkNext(std::vector<WalkStep>& steps, Stack& stack, std::string& path,
                          const std::string& top, const WalkPlace& place) {
    if (share_ && share_->wanted())
        giveAway(stack, path);
    const std::size_t index = stack.size() - 1;
    Frame& frame = stack.back();
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
        return false;
    }
    if (!frame.handle.isOpen()) {
        if (const int reason = reopen(stack, index, top); reason != kReasonNone) {
            // The folder cannot be entered again: its other sub-folders are not walked.
            steps.push_back(problemStep(path, reason));
            stack[index].next = stack[index].subFolders.size();
            return false;
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
        return false;
    }
    if (enter(steps, stack, path, std::move(opened), child, place, true))
        return true;
    path.resize(stack[index].pathLength);
    return false;
}

bool FolderWalk::enter(std::vector<WalkStep>& steps, Stack& stack, std::string& path,
                       FolderHandle handle, std::string name, const WalkPlace& place,
                       bool recursive) {
    const FileStatus self = handle.status();
    if (self.kind != FileKind::Directory) {
        steps.push_back(problemStep(path, self.error ? self.error.code() : ENOTDIR));
        return false;
    }
    const bool atTop = stack.empty() && place.top();
    const FileId id = self.id();
    if (!isNewFolder(steps, stack, path, handle, id, atTop))
        return false;
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
    Frame frame;
    frame.id = id;
    frame.device = self.device;
    frame.name = std::move(name);
    frame.pathLength = path.size();
    frame.enterStep = enterStep;
    if (!list(steps, stack, path, handle, frame, recursive))
        return leave();
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

// Whether the folder is to be walked here: not a trash folder, not walked before. Says why
// not where the user is to know.
bool FolderWalk::isNewFolder(std::vector<WalkStep>& steps, const Stack& stack,
                             const std::string& path, const FolderHandle& handle, const FileId& id,
                             bool atTop) {
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
    return true;
}

// Lists the open folder into `frame`: its sub-folders, its links to folders and its files,
// measured. False when the walk stops, or when the folder cannot be listed (said so).
bool FolderWalk::list(std::vector<WalkStep>& steps, const Stack& stack, const std::string& path,
                      const FolderHandle& handle, Frame& frame, bool recursive) {
    // Listed through the folder's own descriptor: no other is opened.
    DirListing listing(handle.fd());
    if (!listing.isOpen()) {
        steps.push_back(problemStep(path, listing.error().code()));
        return false;
    }
    names_.clear();
    spans_.clear();
    files_.clear();
    exclude_ = rules_.exclude && *rules_.exclude ? rules_.exclude : nullptr;
    DirListing::Entry e;
    std::size_t seen = 0;
    while (listing.next(e)) {
        if ((++seen & 4095) == 0 && shouldStop())
            return false;
        takeEntry(stack, path, handle, frame, e, recursive);
    }
    packPaths(frame, path);
    if (listing.error().code() != 0)
        steps.push_back(problemStep(path, listing.error().code()));
    return true;
}

// Sorts one entry of the folder listed: a sub-folder to walk, a link to a folder to walk later,
// a file taken and measured, or nothing to catalogue.
void FolderWalk::takeEntry(const Stack& stack, const std::string& path, const FolderHandle& handle,
                           Frame& frame, const DirListing::Entry& e, bool recursive) {
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
        if (!recursive || (exclude_ && (*exclude_)(path, e.name, true)))
            return;
        if (!isLink) {
            frame.subFolders.push_back(e.name);
            return;
        }
        const FileId to = target.id();
        frame.links.push_back({path + e.name + "/", to, to == frame.id || isAboveOrAt(stack, to)});
        return;
    }
    if (!isFile || !rules_.pattern->matches(e.name))
        return; // links, FIFOs, sockets and devices are never taken
    if (exclude_ && (*exclude_)(path, e.name, false))
        return;
    if (!measured)
        st = handle.statChild(e.name, false);
    if (st.kind == FileKind::Regular) {
        if (st.links > 1)
            frame.linked.push_back(static_cast<std::uint32_t>(frame.files.size() + files_.size()));
        files_.push_back({{}, st.size, -1, st.stamp(), kReasonNone});
        files_.back().links = static_cast<std::uint16_t>(std::min<std::uint64_t>(st.links, 65535));
    } else if (st.kind == FileKind::Failed) {
        files_.push_back({{}, -1, -1, FileStamp{}, st.error ? st.error.code() : EIO});
    } else {
        return; // gone, or no longer a regular file: nothing to catalogue
    }
    spans_.emplace_back(static_cast<std::uint32_t>(names_.size()),
                        static_cast<std::uint32_t>(e.name.size()));
    names_.append(e.name);
}

// The folder's path is held once, with the names of its files after it. The files are gathered
// in one list kept from folder to folder and handed on in a list of their exact number: one
// allocation per folder rather than one per doubling.
void FolderWalk::packPaths(Frame& frame, const std::string& path) {
    if (files_.empty())
        return;
    PathBlock* block = PathBlock::create(path, names_.size());
    const std::uint32_t base = block->append(names_);
    frame.files.reserve(files_.size());
    for (std::size_t k = 0; k < files_.size(); ++k) {
        frame.files.push_back(std::move(files_[k]));
        frame.files.back().path = FilePath(block, base + spans_[k].first, spans_[k].second);
    }
    files_.clear();
    if (files_.capacity() > kFilesKept)
        files_ = std::vector<FileEntry>(); // a huge folder's room is not held for the rest
    block->drop();
}

bool FolderWalk::isAboveOrAt(const Stack& stack, const FileId& id) const {
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

bool FolderWalk::makeRoomForFolder(Stack& stack) {
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

FolderHandle FolderWalk::openWithRoom(Stack& stack, std::size_t keep,
                                      const std::function<FolderHandle()>& open) {
    FolderHandle opened = open();
    for (int wait = 1; !opened.isOpen() && isOutOfDescriptors(opened.error().code()) && wait <= 512;
         wait *= 2) {
        // Give back a folder held open (never `keep`), or the one left last; with none left to
        // give, the descriptors are held elsewhere for a moment (another walking thread, say):
        // wait for one.
        FolderHandle kept;
        if (keep < stack.size())
            kept = std::move(stack[keep].handle);
        const bool freed = makeRoomForFolder(stack);
        if (keep < stack.size())
            stack[keep].handle = std::move(kept);
        if (!freed && anchor_.isOpen())
            anchor_ = FolderHandle();
        else if (!freed)
            std::this_thread::sleep_for(std::chrono::milliseconds(wait));
        opened = open();
    }
    return opened;
}

FolderHandle FolderWalk::openChild(Stack& stack, std::size_t parent, const std::string& name) {
    if (openCount_ >= rules_.openLimit) {
        // Keep the parent: close the shallowest other open folder.
        FolderHandle keep = std::move(stack[parent].handle);
        makeRoomForFolder(stack);
        stack[parent].handle = std::move(keep);
    }
    ++foldersOpened_;
    return openWithRoom(stack, parent, [&] { return stack[parent].handle.openChild(name); });
}

void FolderWalk::leaveAnchor(FolderHandle handle, std::size_t depth) {
    anchor_ = std::move(handle);
    anchorDepth_ = depth;
}

int FolderWalk::reopen(Stack& stack, std::size_t index, const std::string& top) {
    // Most often the folder is a few levels above the one just left: climb from there.
    if (anchor_.isOpen() && anchorDepth_ > index && anchorDepth_ - index <= kAnchorClimb) {
        std::string up;
        for (std::size_t k = index; k < anchorDepth_; ++k)
            up += "../";
        ++foldersOpened_;
        FolderHandle at = anchor_.openChild(up);
        const FileStatus st = at.status();
        if (at.isOpen() && st.kind == FileKind::Directory && st.id() == stack[index].id) {
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
    FolderHandle at = openWithRoom(stack, from, [&] {
        return stack[from].handle.isOpen() ? stack[from].handle.openChild(".") : FolderHandle(top);
    });
    for (std::size_t k = from;; ++k) {
        if (!at.isOpen())
            return at.error() ? at.error().code() : EIO;
        const FileStatus st = at.status();
        if (st.kind != FileKind::Directory || !(st.id() == stack[k].id))
            return kReasonChanged;
        if (k == index)
            break;
        ++foldersOpened_;
        at = openWithRoom(stack, Frame::kAll, [&] { return at.openChild(stack[k + 1].name); });
    }
    if (openCount_ >= rules_.openLimit)
        makeRoomForFolder(stack);
    stack[index].handle = std::move(at);
    ++openCount_;
    return kReasonNone;
}

} // namespace trevalo
