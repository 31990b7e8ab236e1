// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "catalogue/FileCatalogue.h"
#include "search/ProofCache.h"

#include <QtGlobal>
#include <array>
#include <atomic>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace trevalo {

// Marks in FileEntry::group besides a group key (the smallest table index of its group).
namespace GroupMark {
enum : std::int64_t {
    None = -1,       // in no group of identical files
    Dropped = -2,    // working state inside one comparison only
    Unreadable = -3, // the file could not be read while compared
};
} // namespace GroupMark

using FileTable = FileEntries;
// A position in the table.
using TableIndex = std::int64_t;
// What FileEntry::group holds: a group key (a TableIndex) or a GroupMark.
using EntryGroup = std::int64_t;

// The searches, as items of the search-type list. The first three are the usual ones; the
// whole-folder searches and broken links are asked for on their own.
enum SearchType : int {
    SearchZeroSize = 0,
    SearchDuplicates = 1,
    SearchSameName = 2,
    SearchFolders = 3,      // identical folders and folders whose every file has a copy
    SearchEmptyFolders = 4, // folders that hold no file at any depth
    SearchBrokenLinks = 5,  // symbolic links whose target does not exist
};
inline constexpr int kSearchTypeCount = 6;
// The search types a search runs when it is not told otherwise.
inline constexpr int kUsualSearchTypeCount = 3;

// The result lists, as tabs. Each whole-folder list belongs to the search type of its name.
enum ResultList : int {
    ListZeroSize = 0,
    ListDuplicates = 1,
    ListSameName = 2,
    ListReadErrors = 3,
    ListFolders = 4,
    ListEmptyFolders = 5,
    ListBrokenLinks = 6,
};
inline constexpr int kResultListCount = 7;
// The lists every search fills (the others only when their search type is asked for).
inline constexpr int kUsualListCount = 4;

// The search type a list beyond the usual ones belongs to.
constexpr int searchTypeOfList(int list) {
    return list == ListFolders        ? SearchFolders
           : list == ListEmptyFolders ? SearchEmptyFolders
           : list == ListBrokenLinks  ? SearchBrokenLinks
                                      : -1;
}

// Captions of the search types and of the result tabs, in index order.
inline constexpr std::array<std::string_view, kSearchTypeCount> kSearchTypeCaptions = {
    QT_TRANSLATE_NOOP("SearchState", "Zero Size"),
    QT_TRANSLATE_NOOP("SearchState", "Duplicates"),
    QT_TRANSLATE_NOOP("SearchState", "Same File Name"),
    QT_TRANSLATE_NOOP("SearchState", "Folders"),
    QT_TRANSLATE_NOOP("SearchState", "Empty Folders"),
    QT_TRANSLATE_NOOP("SearchState", "Broken Links")};
inline constexpr std::array<std::string_view, kResultListCount> kResultListCaptions = {
    QT_TRANSLATE_NOOP("SearchState", "Zero Size"),
    QT_TRANSLATE_NOOP("SearchState", "Duplicates"),
    QT_TRANSLATE_NOOP("SearchState", "Same Name"),
    QT_TRANSLATE_NOOP("SearchState", "Report - read errors"),
    QT_TRANSLATE_NOOP("SearchState", "Folders"),
    QT_TRANSLATE_NOOP("SearchState", "Empty Folders"),
    QT_TRANSLATE_NOOP("SearchState", "Broken Links")};

// One row of the search-path list: "folder/pattern" and whether sub-folders are searched.
struct PathRow {
    std::string path;
    bool subFolders = true;
    // Search: its files are searched. Keep: searched, and kept (never marked or acted on).
    // KeepOnly: the files it reaches are kept if another row finds them; it adds none itself.
    PathRole role = PathRole::Search;
};

// What one search run is asked to do, read from the set-up panel when it starts.
struct SearchRequest {
    std::vector<PathRow> paths;
    std::array<bool, kSearchTypeCount> types{true, true, true, false, false, false};
    // List only the groups of identical files that hold a kept file; runs of a size no kept
    // file has are not compared at all.
    bool onlyWithKept = false;
    // Patterns of entries the walk passes over (ExcludeRules): excluded folders are not entered.
    std::vector<std::string> exclude;
    // Files outside [minSize, maxSize] bytes take no part in the search: they are not listed
    // under Same Name or Zero Size, and not compared. maxSize < 0: no upper limit.
    std::int64_t minSize = 0;
    std::int64_t maxSize = -1;
    // Threads that walk and that compare: 0 for one per processor the process may run on.
    int threads = 0;
    // Proofs kept between searches (ProofCache) are used and added to: groups proven earlier
    // are not read again while their files keep their identities. The lists are the same.
    bool useProofCache = false;
    std::string proofCacheFolder; // empty: ProofCache::defaultFolder()
    ProofCacheLimits proofCacheLimits;
};

// How a search ended.
struct SearchOutcome {
    bool cancelled = false;         // stopped by a cancel before it was complete
    std::int64_t files = 0;         // files found (the table's size, or the walk's count so far)
    std::int64_t unlisted = 0;      // folders that could not be listed or entered
    std::int64_t readErrors = 0;    // rows of "Report - read errors"
    double seconds = 0;             // from start to end
    std::int64_t runsSkipped = 0;   // runs of equal size not compared: no kept file among them
    std::int64_t outsideLimits = 0; // files found but left out by the size limits
    std::int64_t proven = 0;        // files not read: earlier searches proved what they hold
    std::string cacheProblem;       // why the proof cache was not (fully) used, in one line
};

// State shared by the search command and the driver.
struct SearchState {
    FileTable table;
    std::atomic<bool> cancelRequested{false};
    // The program is closing: the search stops at once wherever it is, also while it walks
    // folders and measures files (where a cancel is not looked at), and lists nothing more.
    std::atomic<bool> abort{false};
    // Written by the driver before it returns.
    SearchOutcome outcome;
};

} // namespace trevalo
