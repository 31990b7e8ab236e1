// SPDX-License-Identifier: GPL-2.0-or-later
#include "catalogue/FileCatalogue.h"

#include "catalogue/FolderWalk.h"
#include "catalogue/WalkParts.h"

#include "platform/ByteText.h"
#include "platform/PathText.h"
#include "platform/Process.h"

#include <algorithm>
#include <memory>
#include <sys/vfs.h>

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

// Fewer open folders than kLeastOpenForParts leave a recursive walk whole.
constexpr int kLeastOpenForParts = 16;
// Folders held open at once: by one walk on its own, by each thread of a walk in parts (which
// shares the limit with the folders its parts are opened from, as one more thread would), and
// by default in all, within the descriptors the process may open.
constexpr int kMostOpenWhole = 64;
constexpr int kMostOpenPerThread = 21;
constexpr long kMostOpenByDefault = 256;

} // namespace

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
    dropFilesFoundTwice();
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
            entryOf.emplace(e.stamp.id(), &e);
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
        if (e.reason == kReasonNone && kept_.contains(e.stamp.id()))
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
    holdAllFilesFound();
    walked_ = true;
    WalkPlace place;
    FolderHandle handle = openStart(top, link, place);
    if (!handle.isOpen())
        return;
    DeviceReadWatch disk;
    const bool inParts =
        recursive && walkThreads_ > 1 && openLimit_ >= kLeastOpenForParts && !excludeLooksAtFolder_;
    // At least two folders open for each thread: the one listed and the one it climbs back to.
    PartWalk::Threads threads;
    if (inParts) {
        threads.walking = std::min(walkThreads_, openLimit_ / 2 - 1);
        threads.most = std::max(threads.walking, std::min(diskThreads_, openLimit_ / 2 - 1));
    }
    WalkRules rules;
    const WildcardPattern wildcard(pattern); // one per walk: the pattern is folded once
    rules.pattern = &wildcard;
    rules.trash = &trash_;
    const ExcludeTest throughLinks = excludeThroughLinks(handle, top);
    rules.exclude = throughLinks ? &throughLinks : &exclude_;
    rules.stop = &stop_;
    rules.stopped = &stopped_;
    rules.found = &found_;
    FileIdSet& walkedHere = walkedWith(pattern);
    rules.walkedBefore = recursive ? &walkedHere : nullptr;
    rules.openLimit = inParts ? std::min(kMostOpenPerThread, openLimit_ / (threads.most + 1))
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
    // What this thread walks is replayed folder by folder, so that it is not held twice.
    first.setAfterFolder([&replay] { replay.run(); });
    if (inParts) {
        std::shared_ptr<FolderHandle> open;
        first.walk(root.steps, std::move(handle), top, top, place, FolderWalk::Depth::Split, &open);
        root.done = true;
        PartWalk walk(rules, parts, replay, threads, disk, [this] { return shouldStop(); });
        foldersOpened_ += walk.run(first, std::move(open));
    } else {
        replay.setLive(&root);
        first.walk(root.steps, std::move(handle), top, top, place,
                   recursive ? FolderWalk::Depth::Whole : FolderWalk::Depth::Top);
        root.done = true;
        foldersOpened_ += first.foldersOpened();
    }
    replay.run();
    // Once walked whole, its folders are passed over by later walks that take the same files.
    if (recursive && !stopped_) {
        if (walkedHere.size() == 0)
            walkedHere = replay.takeWalked(); // a first walk's folders: taken, not copied
        else
            walkedHere.insertAll(replay.takeWalked());
    }
}

void FileCatalogue::holdAllFilesFound() {
    // One walk finds a file of one name once; from a second walk on, every file found is held
    // and looked for among those held. The first walk's files are not held: most often the
    // later walks (of linked folders, say) find a few files where the first found all of
    // them, so the first walk's are looked for among the later ones once, at the end.
    if (walked_ && !allFilesHeld_) {
        firstWalkEnd_ = entries_.size();
        allFilesHeld_ = true;
    }
}

void FileCatalogue::dropFilesFoundTwice() {
    // files_ holds every file of the later walks, and those of the first with more than one
    // name (which the later walks dropped already as they came).
    if (!allFilesHeld_ || firstWalkEnd_ == entries_.size())
        return;
    const auto first = entries_.begin() + static_cast<std::ptrdiff_t>(firstWalkEnd_);
    FileIdSet foundFirst;
    for (auto e = entries_.begin(); e != first; ++e)
        if (e->reason == kReasonNone && files_.contains(e->stamp.id()))
            foundFirst.insert(e->stamp.id());
    if (foundFirst.size() == 0)
        return;
    entries_.erase(std::remove_if(first, entries_.end(),
                                  [&](const FileEntry& e) {
                                      return e.reason == kReasonNone &&
                                             foundFirst.contains(e.stamp.id());
                                  }),
                   entries_.end());
}

FolderHandle FileCatalogue::openStart(const std::string& top, const LinkToWalk* link,
                                      WalkPlace& place) {
    FolderHandle handle = link ? openLinkedFolder(top) : FolderHandle(top);
    if (!handle.isOpen()) {
        reportFolder(withoutTrailingSlashes(top), handle.error().code());
        return handle;
    }
    if (link) {
        // Walked as a sub-folder of the folder that holds the link, if it still leads where it
        // did.
        const FileStatus st = handle.status();
        if (!(st.id() == link->target)) {
            reportFolder(withoutTrailingSlashes(top), kReasonChanged);
            return FolderHandle();
        }
        place.above.push_back(link->parent);
        place.parentDevice = link->parent.device;
    }
    return handle;
}

FileCatalogue::ExcludeTest FileCatalogue::excludeThroughLinks(const FolderHandle& handle,
                                                              const std::string& top) const {
    // Rules on whole paths see each path as walked and as it really is, the search path's links
    // resolved: a search path reached through a link, or given as ".", is no way around them.
    if (!exclude_ || !excludeLooksAtFolder_)
        return {};
    std::string real = handle.realPath();
    if (!real.empty() && real.back() != '/')
        real.push_back('/');
    if (real.empty() || real == top)
        return {};
    return [this, &top, real](std::string_view folder, std::string_view name, bool isFolder) {
        if (exclude_(folder, name, isFolder))
            return true;
        if (!folder.starts_with(top))
            return false;
        const std::string resolved = real + std::string(folder.substr(top.size()));
        return exclude_(resolved, name, isFolder);
    };
}

void FileCatalogue::complete(std::vector<FileEntry>& found,
                             const std::vector<std::uint32_t>& linked, const FileId& folder) {
    auto nextLinked = linked.begin();
    for (std::size_t k = 0; k < found.size(); ++k) {
        FileEntry& file = found[k];
        const bool isLinked = nextLinked != linked.end() && *nextLinked == k;
        if (isLinked)
            ++nextLinked;
        const FileId id = file.stamp.id();
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
