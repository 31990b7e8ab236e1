// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "search/SearchEvents.h"
#include "search/SearchState.h"

#include <functional>

namespace trevalo {

// Runs one whole search on the calling thread, in stages: catalogue the files of every path row
// (each file measured by the walk itself), list the files that share a name, list the
// zero-length files, group files of equal size by identical contents, and list the groups and
// everything that could not be read (folders that could not be listed, files that could not be
// measured or read, each with its reason). A cancel (state.cancelRequested) is looked at per
// folder walked, every 200 names and between the chunks of a comparison; state.abort stops the
// search at once and lists nothing more. state.outcome tells how it ended. beforeComparison, when
// given, runs just before contents are compared (a testing aid).
void runSearch(const SearchRequest& request, SearchState& state, SearchEvents& events,
               const std::function<void()>& beforeComparison = {});

} // namespace trevalo
