#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace trevalo {

// Group keys of FileEntry::DupGroup.
namespace DupGroupKey {
inline constexpr std::int64_t None = -1;       // in no group of identical files
inline constexpr std::int64_t Dropped = -2;    // working state inside one comparison only
inline constexpr std::int64_t Unreadable = -3; // the file could not be read while compared
} // namespace DupGroupKey

// One found file. FilePath and FileSize travel together when the table is sorted; DupGroup
// stays in its slot. ModTime is the last-write time read with the size (0 when unknown).
struct FileEntry {
    std::string FilePath;
    std::int64_t FileSize = 0; // -1: the file was gone when it was measured
    std::int64_t DupGroup = DupGroupKey::None;
    std::int64_t ModTime = 0;
    bool ModTimeKnown = false;

    std::string_view name() const;
};

using FileTable = std::vector<FileEntry>;

// The three searches, as items of the search-type list.
enum SearchType : int { SearchZeroSize = 0, SearchDuplicates = 1, SearchSameName = 2 };
inline constexpr int kSearchTypeCount = 3;

// The four result lists, as tabs.
enum ResultList : int {
    ListZeroSize = 0,
    ListDuplicates = 1,
    ListSameName = 2,
    ListReadErrors = 3,
};
inline constexpr int kResultListCount = 4;

// Captions of the search types and of the result tabs, in index order.
inline constexpr std::array<std::string_view, kSearchTypeCount> kSearchTypeCaptions = {
    "Zero Size", "Duplicates", "Same File Name"};
inline constexpr std::array<std::string_view, kResultListCount> kResultListCaptions = {
    "Zero Size", "Duplicates", "Same Name", "Report - read errors"};

// One row of the search-path list: "folder/pattern" and whether sub-folders are searched.
struct PathRow {
    std::string path;
    bool subFolders = true;
};

// What one search run is asked to do, read from the set-up panel when it starts.
struct SearchRequest {
    std::vector<PathRow> paths;
    std::array<bool, kSearchTypeCount> types{true, true, true};
};

// State shared by the search command and the driver.
struct SearchModel {
    FileTable table;
    std::atomic<bool> CancelSrch{false};
    // The program is closing: the search stops at once wherever it is, also while it walks
    // folders and measures files (where a cancel is not looked at), and lists nothing more.
    std::atomic<bool> abort{false};
};

} // namespace trevalo
