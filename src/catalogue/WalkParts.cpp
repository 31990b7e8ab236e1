// SPDX-License-Identifier: GPL-2.0-or-later
#include "catalogue/WalkParts.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <system_error>

namespace trevalo {

namespace {

// A recursive walk is cut into parts, a part per sub-folder, level by level below the search
// path until there are this many or the levels run out; the threads then take parts in walk
// order.
constexpr std::size_t kPartsWanted = 16;
constexpr int kSplitLevels = 3;

// Makes a part of each Part step of `from`, a folder walked with Depth::Split and left open in
// `handle`; returns their indexes.
std::vector<std::size_t> addParts(Parts& parts, Part& from, const FolderWalk& walker,
                                  const std::shared_ptr<FolderHandle>& handle) {
    std::vector<std::size_t> added;
    for (WalkStep& step : from.steps) {
        if (step.kind != WalkStep::Kind::Part)
            continue;
        auto part = std::make_unique<Part>();
        part->parent = handle;
        part->path = from.path + step.path + "/";
        part->name = std::move(step.path);
        part->place.above = from.place.above;
        part->place.above.push_back(walker.splitId());
        part->place.parentDevice = walker.splitDevice();
        step.index = parts.size();
        added.push_back(parts.size());
        parts.push_back(std::move(part));
    }
    return added;
}

} // namespace

// Too many open files says nothing about the folder: the other threads hold them for a moment,
// so wait a little and try again, for a few seconds at most.
void walkPart(FolderWalk& walker, Part& part, FolderWalk::Depth depth,
              std::shared_ptr<FolderHandle>* split) {
    FolderHandle folder = part.parent->openChild(part.name);
    for (int wait = 1; !folder.isOpen() && isOutOfDescriptors(folder.error().code()) && wait <= 512;
         wait *= 2) {
        std::this_thread::sleep_for(std::chrono::milliseconds(wait));
        folder = part.parent->openChild(part.name);
    }
    part.parent.reset();
    if (!folder.isOpen()) {
        part.steps.push_back(problemStep(part.path, folder.error().code()));
        return;
    }
    walker.forget(part.place);
    walker.walk(part.steps, std::move(folder), part.path, part.name, part.place, depth, split);
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

void FileCatalogue::Replay::run() {
    while (!at_.empty()) {
        const auto [index, step] = at_.back();
        Part& part = *parts_[index];
        const bool done = part.done.load(std::memory_order_acquire);
        if (!done && &part != live_)
            return;
        if (step == part.steps.size()) {
            if (!done)
                return;
            part.steps = std::vector<WalkStep>(); // its memory too, not only its steps
            at_.pop_back();
            continue;
        }
        WalkStep& s = part.steps[step];
        if (s.kind == WalkStep::Kind::Enter && s.index == 0 && seen_.contains(s.id))
            return; // to be passed over up to its Leave, which is not there yet
        at_.back().second = step + 1;
        take(s);
    }
}

void FileCatalogue::Replay::take(WalkStep& s) {
    switch (s.kind) {
    case WalkStep::Kind::Enter:
        if (!seen_.insert(s.id))
            at_.back().second = s.index + 1;
        break;
    case WalkStep::Kind::Leave:
        break;
    case WalkStep::Kind::Files:
        files_.complete(s.files, s.linked, s.id);
        s.files = std::vector<FileEntry>(); // its memory too
        s.linked = std::vector<std::uint32_t>();
        break;
    case WalkStep::Kind::Problem:
        files_.reportFolder(std::move(s.path), s.reason);
        break;
    case WalkStep::Kind::Part:
        at_.emplace_back(s.index, 0);
        break;
    case WalkStep::Kind::Link:
        files_.deferLink(std::move(s.path), s.id, s.parent);
        break;
    }
}

PartQueue::PartQueue(Parts& parts, const std::vector<std::size_t>& first,
                     const std::atomic<bool>& stopped)
    : parts_(parts), queue_(first.begin(), first.end()), stopped_(stopped) {
    // Room for every part up front: the replay reads parts while others are added.
    parts_.reserve(parts_.size() + kMostGiven);
    most_ = parts_.capacity();
}

std::size_t PartQueue::room() const {
    std::lock_guard lock(mutex_);
    return most_ - parts_.size();
}

std::size_t PartQueue::give(std::shared_ptr<FolderHandle> parent, std::string name,
                            std::string path, WalkPlace place) {
    auto part = std::make_unique<Part>();
    part->parent = std::move(parent);
    part->name = std::move(name);
    part->path = std::move(path);
    part->place = std::move(place);
    std::lock_guard lock(mutex_);
    if (parts_.size() == most_)
        return kNone;
    const std::size_t index = parts_.size();
    parts_.push_back(std::move(part));
    queue_.push_back(index);
    wanted_.store(false, std::memory_order_relaxed);
    ready_.notify_all();
    return index;
}

Part& PartQueue::part(std::size_t index) {
    std::lock_guard lock(mutex_);
    return *parts_[index];
}

void PartQueue::release(bool& holding) {
    std::lock_guard lock(mutex_);
    if (holding)
        --busy_;
    holding = false;
    ready_.notify_all();
}

void PartQueue::waitUntilWalked(const std::function<void()>& idle) {
    std::unique_lock lock(mutex_);
    while (!stopped_.load() && !(queue_.empty() && busy_ == 0)) {
        ready_.wait(lock);
        lock.unlock();
        idle();
        lock.lock();
    }
}

std::size_t PartQueue::next(bool& holding, const std::function<void()>* idle) {
    std::unique_lock lock(mutex_);
    if (holding) {
        --busy_;
        ready_.notify_all(); // the thread that replays goes on with it
    }
    holding = false;
    for (;;) {
        if (stopped_.load() || (queue_.empty() && busy_ == 0)) {
            ready_.notify_all();
            return kNone;
        }
        if (!queue_.empty()) {
            const std::size_t index = queue_.front();
            queue_.pop_front();
            ++busy_;
            holding = true;
            return index;
        }
        wanted_.store(true, std::memory_order_relaxed);
        ready_.wait(lock);
        if (idle) {
            lock.unlock();
            (*idle)();
            lock.lock();
        }
    }
}

PartWalk::PartWalk(const WalkRules& rules, Parts& parts, FileCatalogue::Replay& replay,
                   Threads threads, DeviceReadWatch& disk, std::function<bool()> shouldStop)
    : rules_(rules), parts_(parts), replay_(replay), threads_(threads), disk_(disk),
      shouldStop_(std::move(shouldStop)) {}

std::vector<std::size_t> PartWalk::splitLevels(FolderWalk& first,
                                               std::shared_ptr<FolderHandle> open) {
    std::vector<std::size_t> level = addParts(parts_, *parts_.front(), first, open);
    open.reset();
    for (int depth = 1;
         depth < kSplitLevels && !level.empty() && level.size() < kPartsWanted && !shouldStop_();
         ++depth) {
        std::vector<std::size_t> below;
        for (const std::size_t index : level) {
            Part& part = *parts_[index];
            ++opened_;
            walkPart(first, part, FolderWalk::Depth::Split, &open);
            const std::vector<std::size_t> added = addParts(parts_, part, first, open);
            open.reset();
            below.insert(below.end(), added.begin(), added.end());
            part.done.store(true, std::memory_order_release);
        }
        level = std::move(below);
    }
    return level;
}

std::int64_t PartWalk::run(FolderWalk& first, std::shared_ptr<FolderHandle> open) {
    // The threads take the parts in walk order, and a thread that runs out of parts gets some
    // of another's folders not entered yet. This one also replays the parts as they are done,
    // so that little is held twice. Every thread asks whether to stop.
    PartQueue queue(parts_, splitLevels(first, std::move(open)), *rules_.stopped);
    walkOn(queue, threads_.walking);
    take(queue, first, true);
    helpers_.clear();
    std::int64_t opened = opened_ + first.foldersOpened() + walked_.load();
    for (const auto& walker : others_)
        opened += walker->foldersOpened();
    return opened;
}

void PartWalk::moreForDisk(PartQueue& queue) {
    // While the folders come from a storage device, more threads keep more of its reads going.
    if (static_cast<int>(others_.size()) + 1 < threads_.most && disk_.sawReads())
        walkOn(queue, threads_.most);
}

void PartWalk::walkOn(PartQueue& queue, int count) {
    // Starts helpers until `count` threads walk.
    while (static_cast<int>(others_.size()) + 1 < count) {
        others_.push_back(std::make_unique<FolderWalk>(rules_));
        try {
            helpers_.emplace_back(
                [this, &queue, &walker = *others_.back()] { take(queue, walker, false); });
        } catch (const std::system_error&) {
            others_.pop_back(); // no more threads: those there are take every part
            threads_.most = static_cast<int>(others_.size()) + 1;
            return;
        }
    }
}

void PartWalk::take(PartQueue& queue, FolderWalk& walker, bool asks) {
    walker.setShare(&queue);
    bool holding = false;
    const std::function<void()> idle = [&] {
        shouldStop_();
        replay_.run();
        moreForDisk(queue);
    };
    for (;;) {
        if (asks && static_cast<int>(others_.size()) + 1 > threads_.walking) {
            // Threads added for the disk walk the rest: the catalogue is put together from
            // their parts as they come, so that little is held twice.
            queue.release(holding);
            queue.waitUntilWalked(idle);
            return;
        }
        const std::size_t index = queue.next(holding, asks ? &idle : nullptr);
        if (index == WalkShare::kNone)
            return;
        Part& part = queue.part(index);
        if (!shouldStop_()) {
            ++walked_;
            if (asks)
                replay_.setLive(&part);
            walkPart(walker, part, FolderWalk::Depth::Whole);
        }
        part.done.store(true, std::memory_order_release);
        if (asks) {
            replay_.setLive(nullptr);
            replay_.run();
            moreForDisk(queue);
        }
    }
}

} // namespace trevalo
