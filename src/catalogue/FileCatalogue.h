// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "catalogue/FileIdSet.h"
#include "catalogue/FilePath.h"
#include "platform/FileSystem.h"
#include "platform/LargeMemory.h"
#include "platform/TrashFolders.h"

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace trevalo {

class PartWalk;
struct WalkPlace;

// One file found by the walk, measured by the walk's own stat of the entry (no link followed),
// and later an entry of a search's table. Everything but group travels with the entry when
// the table is sorted (the sorts swap field by field: a new field joins them there); group
// (the search's group key) stays in its slot.
struct FileEntry {
    FilePath path;
    std::int64_t size = 0;             // -1: the file could not be measured (see reason)
    std::int64_t group = -1;           // in no group of identical files
    FileStamp stamp;                   // device, inode, size and times; valid when size >= 0
    std::int32_t reason = kReasonNone; // why it could not be measured or read (reasonText)
    bool kept = false;        // found through a Keep path: never marked, trashed or renamed
    bool throughLink = false; // found only through a link to a folder
    std::uint16_t links = 1;  // the names the file has (hard links), at most 65535

    std::string_view name() const { return path.name(); }
};

// The entries of a search, in one array: some hundred megabytes on a million files, mapped
// apart (see LargeAllocator) as it grows.
using FileEntries = std::vector<FileEntry, LargeAllocator<FileEntry>>;

// What the files a path walks are for: searched; searched and kept (never acted on); or only
// kept (files found through other paths that this path also reaches are kept; it adds none).
enum class PathRole { Search, Keep, KeepOnly };

// A folder the walk could not list or enter, and why; or one it passed over on purpose
// (kReasonLoop, kReasonTrash, kReasonKernel: see isFailure).
struct FolderProblem {
    std::string path; // without a trailing "/"
    int reason = 0;

    // False for a folder passed over on purpose, whose files are searched or not to be searched.
    bool isFailure() const {
        return reason != kReasonLoop && reason != kReasonTrash && reason != kReasonKernel;
    }
};

// The catalogue of one search: every regular file the search paths name, in the order found,
// each file (device and inode) once, so a path reached twice, a hard link or a folder reached
// through a link adds nothing the second time. Links to folders are walked after every real
// folder of every search path, so that a folder reached both ways is listed under its real
// path. The walk takes each file's size, times and identity from one stat relative to its open
// folder; it never enters a trash folder or a kernel pseudo file system, and reports every
// folder it could not list or enter.
class FileCatalogue {
public:
    FileCatalogue();

    // Walks one search path ("folder/pattern") and adds the regular files found. With
    // `recursive`, every sub-folder's whole subtree comes first, in listing order, then the
    // folder's own matching files. Sub-folders are matched by nothing; the pattern picks files.
    void addSearchPath(std::string_view path, bool recursive, PathRole role = PathRole::Search);
    // Called once every search path is added: walks the folders that links found by the walks
    // lead to, where no walk went yet (and the links found there, and so on), with the pattern
    // and role of the walk that found each link; drops the files a later walk found again
    // where the first found them; then marks every entry found, through any path, by a Keep
    // or KeepOnly walk as kept. The entries are complete once it has been called.
    void finish();

    // The other names of files with more than one name that the walks found: for each such
    // file, the paths of the names (another folder or another name than the entry's own)
    // under which it is not an entry.
    using Names = std::shared_ptr<const std::vector<std::string>>;
    using OtherNames = std::unordered_map<FileId, Names, FileIdHash>;
    OtherNames otherNames() const;

    FileEntries& entries() { return entries_; }
    const FileEntries& entries() const { return entries_; }
    std::int64_t count() const { return static_cast<std::int64_t>(entries_.size()); }
    const std::vector<FolderProblem>& problems() const { return problems_; }
    // How many times a folder was opened, entered again after it was closed included.
    std::int64_t foldersOpened() const { return foldersOpened_; }

    // Once `stop` returns true the walk ends at the next folder; stopped() tells it did. `stop`
    // is asked on every thread that walks; the progress report is called only on the thread
    // that adds the search path.
    void setStop(std::function<bool()> stop) { stop_ = std::move(stop); }
    bool stopped() const { return stopped_; }
    // Called after each folder with the number of files found so far.
    void setProgress(std::function<void(std::int64_t)> progress) {
        progress_ = std::move(progress);
    }
    // At most this many folders are held open at once (at least 2); deeper folders are entered
    // again from their nearest open ancestor when needed.
    void setOpenFolderLimit(int limit);
    // Folders never entered (the user's trash folders, by default).
    void setTrashFolders(TrashFolders trash) { trash_ = std::move(trash); }
    // Entries the walk passes over: a folder it names is not entered, a file is not taken. It
    // gets the path of the folder being listed (ending in "/"), the entry's name, and whether
    // the entry is a folder. A search path itself is never passed over.
    using ExcludeTest =
        std::function<bool(std::string_view folderPath, std::string_view name, bool isFolder)>;
    // `looksAtFolder`: whether the test's answer may depend on the folder path and not only on
    // the name (a walk with such a test is not cut into parts).
    void setExclude(ExcludeTest test, bool looksAtFolder = true) {
        exclude_ = std::move(test);
        excludeLooksAtFolder_ = exclude_ && looksAtFolder;
    }
    // How many threads a recursive walk may use (at least 1; by default one per processor the
    // process may run on). With more than one, the walk is cut into parts walked side by side;
    // the catalogue is the same.
    void setWalkThreads(int threads) { walkThreads_ = std::max(1, threads); }
    // While a walk on more than one thread reads its folders from a storage device (they are
    // not all in memory), up to this many threads walk: more reads at once keep the device
    // busier. No more than setWalkThreads allows by default.
    void setThreadsForDisk(int threads) { diskThreads_ = threads; }

private:
    struct Replay; // the walk in steps turned into the catalogue (WalkParts.h)
    friend class PartWalk;
    // A link to a folder found by a walk, to walk once every real folder is walked.
    struct LinkToWalk {
        std::string path; // ending in "/"
        FileId target;
        FileId parent;
        std::string pattern;
        PathRole role = PathRole::Search;
    };
    // A name of a file with more than one name, as found.
    struct LinkedName {
        FileId file;
        FileId folder;
        FilePath path;
    };

    void walk(const std::string& top, std::string_view pattern, bool recursive,
              const LinkToWalk* link = nullptr);
    void holdAllFilesFound();
    // Drops the entries of later walks whose files the first walk found too.
    void dropFilesFoundTwice();
    FolderHandle openStart(const std::string& top, const LinkToWalk* link, WalkPlace& place);
    ExcludeTest excludeThroughLinks(const FolderHandle& handle, const std::string& top) const;
    void walkLinkedFolders();
    void markKept();
    void reportFolder(std::string path, int reason);
    void complete(std::vector<FileEntry>& files, const std::vector<std::uint32_t>& linked,
                  const FileId& folder);
    void deferLink(std::string path, const FileId& target, const FileId& parent);
    FileIdSet& walkedWith(std::string_view pattern);
    bool shouldStop();

    FileEntries entries_;
    std::vector<FolderProblem> problems_;
    // Files already held: those with more than one name, and every file a walk after the
    // first finds (a walk finds a folder once, so a file of one name once).
    FileIdSet files_;
    bool allFilesHeld_ = false;
    std::size_t firstWalkEnd_ = 0; // where the entries of later walks begin, once there are any
    bool walked_ = false;
    std::unordered_set<std::string> unmeasured_; // paths of files that could not be measured
    std::unordered_set<std::string> reported_;   // folders already in problems_
    FileIdSet kept_;                             // files reached through a Keep path
    PathRole role_ = PathRole::Search;
    std::string pattern_;      // of the walk going on
    bool throughLink_ = false; // the walk going on is one of a linked folder
    std::deque<LinkToWalk> links_;
    // The folders walked whole, by the pattern and role of the walks that walked them.
    std::map<std::string, FileIdSet, std::less<>> walkedFolders_;
    std::vector<LinkedName> linkedNames_;
    TrashFolders trash_;
    std::function<bool()> stop_;
    ExcludeTest exclude_;
    bool excludeLooksAtFolder_ = false;
    std::function<void(std::int64_t)> progress_;
    int openLimit_ = 64;
    int walkThreads_ = 1;
    int diskThreads_ = 0;
    std::atomic<std::int64_t> found_{0};
    std::int64_t foldersOpened_ = 0;
    std::atomic<bool> stopped_{false};
};

} // namespace trevalo
