#pragma once

#include "search/SearchHost.h"
#include "search/SearchModel.h"

#include <cstdint>

namespace trevalo {

// Status texts of a search.
inline constexpr const char* kStatusLoading = "Loading files ...";
inline constexpr const char* kStatusSameName = "Search same file name  ...";
inline constexpr const char* kStatusDuplicates = "Searching duplicated files ...";

// Runs one whole search: walks every path row into a catalogue (each file measured by the walk),
// moves it into model.table, and runs the chosen searches (same name, zero size, identical
// contents), appending every hit to its result list through the host. Folders that could not
// be listed and files that could not be measured or read are listed under "Report - read
// errors" with their reason. A cancel (model.CancelSrch) is looked at per folder walked, every
// 200 names and between the chunks of a comparison; model.outcome tells how the search ended.
// Runs on the calling thread (the search command's worker).
void runSearch(const SearchRequest& request, SearchModel& model, SearchHost& host);

} // namespace trevalo
