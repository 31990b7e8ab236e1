// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "results/OutputText.h"
#include "search/ResultRow.h"
#include "search/SearchState.h"

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace trevalo {

using ResultLists = std::array<std::vector<ResultRow>, kResultListCount>;

// The version of the saved results file this program writes and reads.
inline constexpr int kResultsFileVersion = 2;
// The oldest version it still opens (version 1 holds the usual four lists only).
inline constexpr int kOldestResultsFileVersion = 1;

// What a results file says about the search as a whole.
struct ResultsSummary {
    std::int64_t files = 0; // files searched
    double seconds = 0;     // from start to end
    bool cancelled = false;
    // The lists beyond the usual four that the search filled (their search type was asked
    // for): only those are written, so the output of a search without them is as it was.
    std::array<bool, kResultListCount> wholeLists{};
    bool writes(int list) const {
        return list < kUsualListCount || wholeLists[static_cast<std::size_t>(list)];
    }
};

// wholeLists as the search types of a request ask for them.
std::array<bool, kResultListCount> wholeListsOf(const std::array<bool, kSearchTypeCount>& types);

// A search's results as saved and opened: the four lists, the summary and, in a saved file (not
// in trevalo-scan's output), the search set-up and when the search ran.
struct SavedResults {
    ResultLists lists;
    ResultsSummary summary;
    std::optional<SearchRequest> setup;
    std::int64_t searchedAt = 0; // seconds since the epoch; 0: not known
};

// The lists as one JSON object, trevalo-scan's form: files_searched, seconds, cancelled,
// and lists (zero_size, duplicates, same_name, read_errors, and folders, empty_folders and
// broken_links when they were searched for) of rows with path, name, folder, group, size,
// modified and kept (and reason and folder_not_listed in read_errors; in folders, files,
// identical, copies_in, items (each file's path and the path of its copy, with the file's size
// and, in a results file, its mtime) and folders, the sub-folders). Names are
// written with appendJsonString, so every byte comes back.
void writeResultsJson(CheckedOutput& out, const ResultLists& lists, const ResultsSummary& summary);

// Rows handed over one list at a time: a ListRows calls the visit with each row of the list, in
// order. The row it passes need only last for that call, so a caller that keeps its rows in
// another form can rebuild each one in the same scratch row.
using RowVisit = std::function<void(const ResultRow&)>;
using ListRows = std::function<void(int list, const RowVisit& visit)>;
ListRows rowsOf(const ResultLists& lists); // the lists must outlive what it returns
void writeResultsJson(CheckedOutput& out, const ListRows& lists, const ResultsSummary& summary);

// A results file: trevalo-scan's form with, first, "trevalo_results" (the format's version),
// "searched_at" (ISO 8601, UTC; "" when not known) and, when there is one, "setup" (paths with
// their sub-folder flag and role, the searches, only_with_kept, exclude, min_size and
// max_size), and in each row of a file whose
// date is known "mtime" (seconds since the epoch). Written to a file beside `path` that then
// takes its place, so a failed save leaves an older file whole. False with a message on failure.
bool saveResults(const std::string& path, const SavedResults& results, std::string& error);
void writeSavedResults(CheckedOutput& out, const SavedResults& results);

// Reads a results file or trevalo-scan's JSON output. Anything else (not JSON, not this form, a
// truncated file, another version of the format) gives nothing and a message that says why.
std::optional<SavedResults> openResults(const std::string& path, std::string& error);
std::optional<SavedResults> readResults(std::string_view json, std::string& error);

// The keys of the lists in the JSON, in ResultList order.
inline constexpr std::array<std::string_view, kResultListCount> kJsonListNames = {
    "zero_size", "duplicates",    "same_name",   "read_errors",
    "folders",   "empty_folders", "broken_links"};

} // namespace trevalo
