#pragma once

#include "search/SearchHost.h"
#include "search/SearchModel.h"

#include <cstdint>

namespace trevalo {

// Status texts of a search.
inline constexpr const char* kStatusLoading = "Loading files ...";
inline constexpr const char* kStatusSameName = "Search same file name  ...";
inline constexpr const char* kStatusDuplicates = "Searching duplicated files ...";

// Runs one whole search: walks every path row into a catalogue, measures the files into
// model.table, and runs the chosen searches (same name, zero size, identical contents),
// appending every hit to its result list through the host. Looks at model.CancelSrch at the
// fixed points of the search. Runs on the calling thread (the search command's worker).
void ExecSrch(const SearchRequest& request, SearchModel& model, SearchHost& host);

} // namespace trevalo
