// SPDX-License-Identifier: GPL-2.0-or-later
#include "catalogue/FileCatalogue.h"

#include "catalogue/FolderWalk.h"

#include "platform/ByteText.h"
#include "platform/PathText.h"
#include "platform/Process.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <sys/vfs.h>
#include <system_error>
#include <thread>

namespace trevalo {

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

// A recursive walk is cut into parts, a part per sub-folder, level by level below the search
// path until there are this many or the levels run out; the threads then take parts in walk
// order. Fewer open folders than kLeastOpenForParts leave the walk whole.
constexpr std::size_t kPartsWanted = 16;
constexpr int kSplitLevels = 3;
constexpr int kLeastOpenForParts = 16;
// Folders held open at once: by one walk on its own, by each thread of a walk in parts (which
// shares the limit with the folders its parts are opened from, as one more thread would), and
// by default in all, within the descriptors the process may open.
constexpr int kMostOpenWhole = 64;
constexpr int kMostOpenPerThread = 21;
constexpr long kMostOpenByDefault = 256;

// A subtree walked apart: opened from its parent folder (held open for all of its parts), its
// steps written by whichever thread took it, and replayed once done.
struct Part {
    std::shared_ptr<FolderHandle> parent;
    std::string name;
    std::string path; // ending in "/"
    WalkPlace place;
    std::vector<WalkStep> steps;
    std::atomic<bool> done{false};
};
using Parts = std::vector<std::unique_ptr<Part>>;

// Opens a part's folder and walks it to `depth` into the part's steps, or says there why it
// could not be opened. Too many open files says nothing about the folder: the other thread holds
// them for a moment, so wait a little and try again, for a few seconds at most.
void walkPart(FolderWalk& walker, Part& part, FolderWalk::Depth depth,
              std::shared_ptr<FolderHandle>* split = nullptr) {
    FolderHandle folder = part.parent->openChild(part.name);
    for (int wait = 1; !folder.isOpen() && outOfDescriptors(folder.error().code()) && wait <= 512;
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

// The parts left to walk, in walk order, and those given away by a walker while another
// thread waits for work.
class PartQueue final : public WalkShare {
public:
    PartQueue(Parts& parts, const std::vector<std::size_t>& first, const std::atomic<bool>& stopped)
        : parts_(parts), queue_(first.begin(), first.end()), stopped_(stopped) {
        // Room for every part up front: the replay reads parts while others are added.
        parts_.reserve(parts_.size() + kMostGiven);
        most_ = parts_.capacity();
    }

    bool wanted() const override { return wanted_.load(std::memory_order_relaxed); }
    std::size_t room() const override {
        std::lock_guard lock(mutex_);
        return most_ - parts_.size();
    }
    std::size_t give(std::shared_ptr<FolderHandle> parent, std::string name, std::string path,
                     WalkPlace place) override {
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
    Part& part(std::size_t index) {
        std::lock_guard lock(mutex_);
        return *parts_[index];
    }
    // Lets go of the part held (if any) without taking another.
    void release(bool& holding) {
        std::lock_guard lock(mutex_);
        if (holding)
            --busy_;
        holding = false;
        ready_.notify_all();
    }
    // Waits until every part is walked or the walk stopped, calling `idle` each time a part is
    // given or done.
    void waitUntilWalked(const std::function<void()>& idle) {
        std::unique_lock lock(mutex_);
        while (!stopped_.load() && !(queue_.empty() && busy_ == 0)) {
            ready_.wait(lock);
            lock.unlock();
            idle();
            lock.lock();
        }
    }
    // The next part to walk, after the one held (if any) is done; kNone once every part is walked
    // or the walk stopped. While it waits, `idle` (when given) is called each time a part is
    // given or done. A walker that stops ends its part, so the stop wakes the waiters too.
    std::size_t next(bool& holding, const std::function<void()>* idle) {
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

private:
    static constexpr std::size_t kMostGiven = 8192;

    Parts& parts_;
    std::deque<std::size_t> queue_;
    const std::atomic<bool>& stopped_;
    mutable std::mutex mutex_;
    std::condition_variable ready_;
    std::atomic<bool> wanted_{false};
    std::size_t most_ = 0;
    int busy_ = 0;
};

// Replays the steps of a walk's parts in walk order: a folder already walked through another
// path is passed over whole, and every file is taken once. Parts not done yet hold it up.
struct FileCatalogue::Replay {
    Replay(FileCatalogue& files, Parts& parts) : files_(files), parts_(parts) {}

    // The part this thread is walking: replayed as far as it goes while it is walked.
    void setLive(const Part* part) { live_ = part; }
    // The folders replayed so far.
    const FileIdSet& walked() const { return seen_; }

    // Replays as far as the parts done, and the live part so far, allow.
    void run() {
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
    }

private:
    FileCatalogue& files_;
    Parts& parts_;
    FileIdSet seen_;                                              // folders walked
    std::vector<std::pair<std::size_t, std::size_t>> at_{{0, 0}}; // part and step
    const Part* live_ = nullptr;
};

FileCatalogue::FileCatalogue() : trash_(TrashFolders::current()), walkThreads_(usableCores()) {
    setOpenFolderLimit(
        static_cast<int>(std::min(kMostOpenByDefault, (raiseOpenFileLimit(1024) - 24) / 4)));
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

void FileCatalogue::finish() {
    walkLinkedFolders();
    markKept();
}

FileIdSet& FileCatalogue::walkedWith(std::string_view pattern) {
    // Walks of one pattern and role take the same files from the same folder.
    std::string key(1, static_cast<char>('0' + static_cast<int>(role_)));
    key.append(pattern);
    return walkedFolders_[key];
}

void FileCatalogue::deferLink(std::string path, const FileId& target, const FileId& parent) {
    links_.push_back({std::move(path), target, parent, pattern_, role_});
}

void FileCatalogue::walkLinkedFolders() {
    // In the order found; a link found in a linked folder goes after those found before it.
    while (!links_.empty() && !shouldStop()) {
        const LinkToWalk link = std::move(links_.front());
        links_.pop_front();
        role_ = link.role;
        if (walkedWith(link.pattern).contains(link.target))
            continue;
        throughLink_ = true;
        walk(link.path, link.pattern, true, &link);
        throughLink_ = false;
    }
}

FileCatalogue::OtherNames FileCatalogue::otherNames() const {
    // The entry's own name first, then every other (folder, name) once, in the order found.
    std::unordered_map<FileId, std::vector<const LinkedName*>, FileIdHash> byFile;
    for (const LinkedName& n : linkedNames_)
        byFile[n.file].push_back(&n);
    std::unordered_map<FileId, const FileEntry*, FileIdHash> entryOf;
    for (const FileEntry& e : entries_)
        if (e.reason == kReasonNone && e.links > 1)
            entryOf.emplace(FileId{e.stamp.device, e.stamp.inode}, &e);
    OtherNames out;
    for (const auto& [id, names] : byFile) {
        const auto entry = entryOf.find(id);
        if (entry == entryOf.end())
            continue;
        const std::string own = entry->second->path.str();
        const auto ownName = std::find_if(
            names.begin(), names.end(), [&](const LinkedName* n) { return n->path.str() == own; });
        std::vector<std::pair<FileId, std::string_view>> seen;
        if (ownName != names.end())
            seen.emplace_back((*ownName)->folder, (*ownName)->path.name());
        std::vector<std::string> others;
        for (const LinkedName* n : names) {
            const std::pair<FileId, std::string_view> key{n->folder, n->path.name()};
            if (std::find(seen.begin(), seen.end(), key) != seen.end())
                continue;
            seen.push_back(key);
            others.push_back(n->path.str());
        }
        if (!others.empty())
            out.emplace(id, std::make_shared<const std::vector<std::string>>(std::move(others)));
    }
    return out;
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

namespace {

// Opens the folder a link found by a walk leads to, by the link's path; a path longer than the
// system takes in one call is opened folder by folder.
FolderHandle openLinkedFolder(const std::string& path) {
    FolderHandle handle(path);
    if (handle.isOpen() || handle.error().code() != ENAMETOOLONG)
        return handle;
    std::size_t at = 0;
    handle = FolderHandle(path.starts_with('/') ? std::string("/") : std::string("."));
    while (handle.isOpen() && at < path.size()) {
        const std::size_t end = std::min(path.find('/', at), path.size());
        if (end > at)
            handle = handle.openChild(path.substr(at, end - at));
        at = end + 1;
    }
    return handle;
}

} // namespace

void FileCatalogue::walk(const std::string& top, std::string_view pattern, bool recursive,
                         const LinkToWalk* link) {
    if (shouldStop())
        return;
    pattern_ = pattern;
    // One walk finds a file of one name once; from a second walk on, every file found is
    // looked for among those already held.
    if (walked_ && !allFilesHeld_) {
        for (const FileEntry& e : entries_)
            if (e.reason == kReasonNone)
                files_.insert(FileId{e.stamp.device, e.stamp.inode});
        allFilesHeld_ = true;
    }
    walked_ = true;
    FolderHandle handle = link ? openLinkedFolder(top) : FolderHandle(top);
    if (!handle.isOpen()) {
        reportFolder(withoutTrailingSlashes(top), handle.error().code());
        return;
    }
    WalkPlace place;
    if (link) {
        // Walked as a sub-folder of the folder that holds the link, if it still leads where it
        // did.
        const FileStatus st = handle.status();
        if (!(FileId{st.device, st.inode} == link->target)) {
            reportFolder(withoutTrailingSlashes(top), kReasonChanged);
            return;
        }
        place.above.push_back(link->parent);
        place.parentDevice = link->parent.device;
    }
    DeviceReadWatch disk;
    const bool inParts =
        recursive && walkThreads_ > 1 && openLimit_ >= kLeastOpenForParts && !excludeLooksAtFolder_;
    // At least two folders open for each thread: the one listed and the one it climbs back to.
    const int threads = inParts ? std::min(walkThreads_, openLimit_ / 2 - 1) : 1;
    int mostThreads = inParts ? std::max(threads, std::min(diskThreads_, openLimit_ / 2 - 1)) : 1;
    WalkRules rules;
    const WildcardPattern wildcard(pattern);
    rules.pattern = &wildcard;
    rules.trash = &trash_;
    rules.exclude = &exclude_;
    // Rules on whole paths see each path as walked and as it really is, the search path's links
    // resolved: a search path reached through a link, or given as ".", is no way around them.
    ExcludeTest throughLinks;
    if (exclude_ && excludeLooksAtFolder_) {
        std::string real = handle.realPath();
        if (!real.empty() && real.back() != '/')
            real.push_back('/');
        if (!real.empty() && real != top) {
            throughLinks = [this, &top, real](std::string_view folder, std::string_view name,
                                              bool isFolder) {
                if (exclude_(folder, name, isFolder))
                    return true;
                if (!folder.starts_with(top))
                    return false;
                const std::string resolved = real + std::string(folder.substr(top.size()));
                return exclude_(resolved, name, isFolder);
            };
            rules.exclude = &throughLinks;
        }
    }
    rules.stop = &stop_;
    rules.stopped = &stopped_;
    rules.found = &found_;
    FileIdSet& walkedHere = walkedWith(pattern);
    rules.walkedBefore = recursive ? &walkedHere : nullptr;
    rules.openLimit = inParts ? std::min(kMostOpenPerThread, openLimit_ / (mostThreads + 1))
                              : std::min(kMostOpenWhole, openLimit_);
    FolderWalk first(rules);
    first.setProgress(progress_);
    first.forget(place);
    Parts parts;
    parts.push_back(std::make_unique<Part>());
    Part& root = *parts.front();
    root.path = top;
    root.place = place;
    Replay replay(*this, parts);
    // Once walked whole, its folders are passed over by later walks that take the same files.
    const auto remember = [&] {
        if (recursive && !stopped_)
            walkedHere.insertAll(replay.walked());
    };
    // What this thread walks is replayed folder by folder, so that it is not held twice.
    first.setAfterFolder([&replay] { replay.run(); });
    if (!inParts) {
        replay.setLive(&root);
        first.walk(root.steps, std::move(handle), top, top, place,
                   recursive ? FolderWalk::Depth::Whole : FolderWalk::Depth::Top);
        root.done = true;
        foldersOpened_ += first.foldersOpened();
        replay.run();
        remember();
        return;
    }

    std::atomic<std::int64_t> walked{0};
    std::shared_ptr<FolderHandle> open;
    first.walk(root.steps, std::move(handle), top, top, place, FolderWalk::Depth::Split, &open);
    root.done = true;
    std::vector<std::size_t> level = addParts(parts, root, first, open);
    open.reset();
    for (int depth = 1;
         depth < kSplitLevels && !level.empty() && level.size() < kPartsWanted && !shouldStop();
         ++depth) {
        std::vector<std::size_t> below;
        for (const std::size_t index : level) {
            Part& part = *parts[index];
            ++foldersOpened_;
            walkPart(first, part, FolderWalk::Depth::Split, &open);
            const std::vector<std::size_t> added = addParts(parts, part, first, open);
            open.reset();
            below.insert(below.end(), added.begin(), added.end());
            part.done.store(true, std::memory_order_release);
        }
        level = std::move(below);
    }

    // The threads take the parts in walk order, and a thread that runs out of parts gets some
    // of another's folders not entered yet. This one also replays the parts as they are done,
    // so that little is held twice. Every thread asks whether to stop.
    PartQueue queue(parts, level, stopped_);
    std::vector<std::unique_ptr<FolderWalk>> others;
    std::vector<std::jthread> helpers;
    std::function<void(int)> walkOn; // starts helpers until `count` threads walk
    // While the folders come from a storage device, more threads keep more of its reads going.
    const auto moreForDisk = [&] {
        if (static_cast<int>(others.size()) + 1 < mostThreads && disk.sawReads())
            walkOn(mostThreads);
    };
    const auto take = [&](FolderWalk& walker, bool asks) {
        walker.setShare(&queue);
        bool holding = false;
        const std::function<void()> idle = [&] {
            shouldStop();
            replay.run();
            moreForDisk();
        };
        for (;;) {
            if (asks && static_cast<int>(others.size()) + 1 > threads) {
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
            if (!shouldStop()) {
                ++walked;
                if (asks)
                    replay.setLive(&part);
                walkPart(walker, part, FolderWalk::Depth::Whole);
            }
            part.done.store(true, std::memory_order_release);
            if (asks) {
                replay.setLive(nullptr);
                replay.run();
                moreForDisk();
            }
        }
    };
    walkOn = [&](int count) {
        while (static_cast<int>(others.size()) + 1 < count) {
            others.push_back(std::make_unique<FolderWalk>(rules));
            try {
                helpers.emplace_back(take, std::ref(*others.back()), false);
            } catch (const std::system_error&) {
                others.pop_back(); // no more threads: those there are take every part
                mostThreads = static_cast<int>(others.size()) + 1;
                return;
            }
        }
    };
    walkOn(threads);
    take(first, true);
    helpers.clear();
    foldersOpened_ += first.foldersOpened() + walked.load();
    for (const auto& walker : others)
        foldersOpened_ += walker->foldersOpened();
    replay.run();
    remember();
}

void FileCatalogue::complete(std::vector<FileEntry>& found,
                             const std::vector<std::uint32_t>& linked, const FileId& folder) {
    auto nextLinked = linked.begin();
    for (std::size_t k = 0; k < found.size(); ++k) {
        FileEntry& file = found[k];
        const bool isLinked = nextLinked != linked.end() && *nextLinked == k;
        if (isLinked)
            ++nextLinked;
        const FileId id{file.stamp.device, file.stamp.inode};
        if (role_ != PathRole::Search && file.reason == kReasonNone)
            kept_.insert(id);
        if (role_ == PathRole::KeepOnly)
            continue;
        if (isLinked)
            linkedNames_.push_back({id, folder, file.path});
        if (file.reason == kReasonNone) {
            if ((isLinked || allFilesHeld_) && !files_.insert(id))
                continue;
        } else if (!unmeasured_.insert(file.path.str()).second) {
            continue;
        }
        file.throughLink = throughLink_;
        entries_.push_back(std::move(file));
    }
}

} // namespace trevalo
