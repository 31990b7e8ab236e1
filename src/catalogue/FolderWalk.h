// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "catalogue/FileCatalogue.h"
#include "platform/ByteText.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace trevalo {

// What a walk did, step by step, in walk order. The catalogue replays the steps: it decides
// there which folders and files are new to the search, so that a walk cut into parts that ran
// side by side gives exactly the catalogue of one walk.
struct WalkStep {
    enum class Kind : std::uint8_t { Enter, Leave, Files, Problem, Part, Link };
    Kind kind = Kind::Leave;
    int reason = 0; // Problem
    // Enter: the folder; Files: the folder that holds them; Link: the folder the link leads to.
    FileId id;
    FileId parent;         // Link: the folder that holds the link
    std::size_t index = 0; // Enter: where its Leave is; Part: which part
    // Problem: the folder, without a trailing "/"; Part: its name; Link: the link's path,
    // ending in "/".
    std::string path;
    std::vector<FileEntry> files; // Files: a folder's own files, after all of its sub-folders
    // Files: those of `files` with more than one name, which the walk may find again elsewhere.
    std::vector<std::uint32_t> linked;
};

// A Problem step: the folder at `path` (its trailing "/" left out) and why.
WalkStep problemStep(const std::string& path, int reason);

// Where a walk starts: the folders above it (outermost first) and the device of the one just
// above. A walk from a search path has none above it.
struct WalkPlace {
    std::vector<FileId> above;
    std::uint64_t parentDevice = 0;
    bool top() const { return above.empty(); }
};

// What every walk of one search path shares.
struct WalkRules {
    const WildcardPattern* pattern = nullptr; // the files to take, folded once per walk
    const TrashFolders* trash = nullptr;
    const FileCatalogue::ExcludeTest* exclude = nullptr;
    const std::function<bool()>* stop = nullptr; // asked on every walking thread
    std::atomic<bool>* stopped = nullptr;
    std::atomic<std::int64_t>* found = nullptr; // files found by every walk together
    // Folders walked whole by an earlier walk that took the same files: passed over.
    const FileIdSet* walkedBefore = nullptr;
    int openLimit = 64;
};

// Where a walker gives away sub-folders it has not entered yet, to a thread that has run out of
// work. A sub-folder given away is a Part step where the walker would have walked it.
class WalkShare {
public:
    static constexpr std::size_t kNone = static_cast<std::size_t>(-1);
    virtual ~WalkShare() = default;
    // Whether a thread waits for work.
    virtual bool wanted() const = 0;
    // How many more parts can be taken.
    virtual std::size_t room() const = 0;
    // Takes the sub-folder `name` of `parent` as a part to walk apart; the part's index.
    virtual std::size_t give(std::shared_ptr<FolderHandle> parent, std::string name,
                             std::string path, WalkPlace place) = 0;
};

// One thread's walk of a folder: depth first, each folder's sub-folders' subtrees in listing
// order, then its own files, each measured by one stat relative to the open folder. A folder
// already walked (by this walker since the last `forget`) is walked again never. A link to a
// folder is not followed: it becomes a Link step after the folder's files, for the catalogue to
// walk once every real folder is walked; a link to the folder itself or one above it, here or
// above the start, is a loop and said so.
class FolderWalk {
public:
    enum class Depth {
        Top,   // the folder's own files only
        Whole, // the whole subtree
        Split, // the folder's own files; each sub-folder becomes a Part step, walked apart
    };

    explicit FolderWalk(const WalkRules& rules) : rules_(rules) {}

    // Starts again with no folder walked, but those above `place`.
    void forget(const WalkPlace& place);
    // Walks `handle` (the folder at `path`, ending in "/", reached by `name`) into `steps`.
    // With Split, the Part steps number the sub-folders from 0 in listing order and carry their
    // names, and the folder stays open in `split` for them, when it has any.
    void walk(std::vector<WalkStep>& steps, FolderHandle handle, std::string path, std::string name,
              const WalkPlace& place, Depth depth, std::shared_ptr<FolderHandle>* split = nullptr);
    // Called after each folder with the files found by every walk so far.
    void setProgress(std::function<void(std::int64_t)> progress) {
        progress_ = std::move(progress);
    }
    // Called each time a folder's steps are complete up to its Leave.
    void setAfterFolder(std::function<void()> after) { afterFolder_ = std::move(after); }
    // Where sub-folders not entered yet go when another thread asks for work.
    void setShare(WalkShare* share) { share_ = share; }
    std::int64_t foldersOpened() const { return foldersOpened_; }
    // The identity of the folder a Split walk left open (valid after one).
    FileId splitId() const { return splitId_; }
    std::uint64_t splitDevice() const { return splitDevice_; }

private:
    struct Frame;

    bool shouldStop();
    bool isAboveOrAt(const std::vector<Frame>& stack, const FileId& id) const;
    void giveAway(std::vector<Frame>& stack, const std::string& path);
    bool enter(std::vector<WalkStep>& steps, std::vector<Frame>& stack, std::string& path,
               FolderHandle handle, std::string name, const WalkPlace& place, bool recursive);
    void complete(std::vector<WalkStep>& steps, Frame& frame);
    int reopen(std::vector<Frame>& stack, std::size_t index, const std::string& top);
    void leaveAnchor(FolderHandle handle, std::size_t depth);
    FolderHandle openChild(std::vector<Frame>& stack, std::size_t parent, const std::string& name);
    bool makeRoomForFolder(std::vector<Frame>& stack);

    const WalkRules& rules_;
    FileIdSet seen_;                                             // folders walked
    std::vector<FileId> above_;                                  // folders above the start
    std::string names_;                                          // names of the folder listed
    std::vector<std::pair<std::uint32_t, std::uint32_t>> spans_; // each file's name in names_
    FolderHandle anchor_;
    std::size_t anchorDepth_ = 0;
    static constexpr std::size_t kAnchorClimb = 256; // at most this many ".." at once
    std::function<void(std::int64_t)> progress_;
    std::function<void()> afterFolder_;
    WalkShare* share_ = nullptr;
    int openCount_ = 0;
    std::int64_t foldersOpened_ = 0;
    FileId splitId_;
    std::uint64_t splitDevice_ = 0;
};

} // namespace trevalo
