// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "catalogue/FileCatalogue.h"
#include "platform/ByteText.h"

#include <atomic>
#include <cerrno>
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

// Too many open files, by this process or by the system: says nothing about the folder opened.
inline bool isOutOfDescriptors(int err) {
    return err == EMFILE || err == ENFILE;
}

class WalkShare;

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
    // One folder being walked. Its own files are measured when it is entered and are handed on
    // when its last sub-folder is done, which keeps the order "subtrees first, then the folder's
    // own files" without holding the folder open for them.
    struct Frame {
        static constexpr std::size_t kAll = static_cast<std::size_t>(-1);
        // Closed once no sub-folder is left to open, or to make room.
        FolderHandle handle;
        FileId id;
        std::uint64_t device = 0;
        std::string name;           // as entered from the folder above (the start: its path)
        std::size_t pathLength = 0; // the walk's path text up to and including this folder's "/"
        std::size_t enterStep = 0;  // its Enter step
        std::vector<std::string> subFolders;
        std::size_t next = 0;              // the next sub-folder to enter
        std::size_t givenFrom = kAll;      // sub-folders from here on were given away
        std::vector<std::size_t> given;    // the part each of those became
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
    using Stack = std::vector<Frame>;

    bool shouldStop();
    bool isAboveOrAt(const Stack& stack, const FileId& id) const;
    void splitInParts(std::vector<WalkStep>& steps, Stack& stack,
                      std::shared_ptr<FolderHandle>* split);
    // Defined with the rest of the walk in parts, in WalkParts.cpp.
    void giveAway(Stack& stack, const std::string& path);
    bool walkNext(std::vector<WalkStep>& steps, Stack& stack, std::string& path,
                  const std::string& top, const WalkPlace& place);
    void pop(std::vector<WalkStep>& steps, Stack& stack, std::string& path, bool stopped);
    bool enter(std::vector<WalkStep>& steps, Stack& stack, std::string& path, FolderHandle handle,
               std::string name, const WalkPlace& place, bool recursive);
    bool isNewFolder(std::vector<WalkStep>& steps, const Stack& stack, const std::string& path,
                     const FolderHandle& handle, const FileId& id, bool atTop);
    bool list(std::vector<WalkStep>& steps, const Stack& stack, const std::string& path,
              const FolderHandle& handle, Frame& frame, bool recursive);
    void takeEntry(const Stack& stack, const std::string& path, const FolderHandle& handle,
                   Frame& frame, const DirListing::Entry& entry, bool recursive);
    void packPaths(Frame& frame, const std::string& path);
    void complete(std::vector<WalkStep>& steps, Frame& frame);
    int reopen(Stack& stack, std::size_t index, const std::string& top);
    void leaveAnchor(FolderHandle handle, std::size_t depth);
    FolderHandle openChild(Stack& stack, std::size_t parent, const std::string& name);
    bool makeRoomForFolder(Stack& stack);
    // Opens a folder with `open`, making room (and waiting a little) when no descriptor is free;
    // stack[keep] stays open.
    FolderHandle openWithRoom(Stack& stack, std::size_t keep,
                              const std::function<FolderHandle()>& open);

    const WalkRules& rules_;
    FileIdSet seen_;                                             // folders walked
    std::vector<FileId> above_;                                  // folders above the start
    std::string names_;                                          // names of the folder listed
    const FileCatalogue::ExcludeTest* exclude_ = nullptr;        // when there is a test
    std::vector<std::pair<std::uint32_t, std::uint32_t>> spans_; // each file's name in names_
    std::vector<FileEntry> files_;                               // the files of the folder listed
    static constexpr std::size_t kFilesKept = 8192; // room for files_ kept from folder to folder
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
