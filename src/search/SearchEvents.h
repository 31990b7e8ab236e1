// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "search/ResultRow.h"
#include "search/SearchState.h"

#include <chrono>
#include <cstdint>
#include <vector>

namespace trevalo {

// The stages of a search, in order; a host shows them in its own words.
enum class SearchPhase { Walking, Loading, SameName, Duplicates };

// The texts the window and trevalo-scan show for each phase.
inline constexpr const char* kStatusStart = "Start ...";
inline constexpr const char* kStatusLoading = "Loading files ...";
inline constexpr const char* kStatusSameName = "Search same file name  ...";
inline constexpr const char* kStatusDuplicates = "Searching duplicated files ...";
const char* phaseText(SearchPhase phase);

// Where a search reports. Every call comes from the search's worker thread, throttled: progress
// and rows at most about ten times a second (rows in batches, in order), a phase once when it
// starts, and finished last of all. An implementation hands them to its own thread.
class SearchEvents {
public:
    virtual ~SearchEvents() = default;
    // 0 to 100.
    virtual void progress(double percent) = 0;
    virtual void phase(SearchPhase phase) = 0;
    // Rows appended, in order, at the end of result list `list` (ResultList).
    virtual void rows(int list, std::vector<ResultRow> rows) = 0;
    // The path row (0-based) being walked.
    virtual void pathRow(int row) { (void)row; }
    // The search has ended (completed or cancelled); the last call of a search. Not made when
    // the search was stopped because its host is going away (SearchSession::stop).
    virtual void finished(const SearchOutcome& outcome) = 0;
    // The least time between two hand-overs of rows and progress.
    virtual std::chrono::milliseconds handOverInterval() const {
        return std::chrono::milliseconds(100);
    }
};

} // namespace trevalo
