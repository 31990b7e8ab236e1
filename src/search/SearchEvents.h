// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "search/ResultRow.h"
#include "search/SearchState.h"

#include <QtGlobal>
#include <chrono>
#include <cstdint>
#include <vector>

namespace trevalo {

// The stages of a search, in order; a host shows them in its own words.
enum class SearchPhase { Walking, Loading, SameName, Duplicates };

// The texts the window and trevalo-scan show for each phase.
inline constexpr const char* kStatusStart = QT_TRANSLATE_NOOP("SearchEvents", "Listing files ...");
inline constexpr const char* kStatusLoading =
    QT_TRANSLATE_NOOP("SearchEvents", "Sorting files ...");
inline constexpr const char* kStatusSameName =
    QT_TRANSLATE_NOOP("SearchEvents", "Finding shared names ...");
inline constexpr const char* kStatusDuplicates =
    QT_TRANSLATE_NOOP("SearchEvents", "Comparing contents ...");
const char* phaseText(SearchPhase phase);

// How far a search has got, for a status that tells time. bytesTotal is the sum of the sizes of
// the files in the runs of equal size that will be compared, known once the comparison starts
// (0 before); bytesDone counts the runs compared so far and the part of the runs being compared.
struct SearchWork {
    SearchPhase phase = SearchPhase::Walking;
    std::int64_t files = 0; // files found so far (while walking) or taken into the search
    std::int64_t bytesDone = 0;
    std::int64_t bytesTotal = 0;
};

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
    // How far the search has got; throttled like progress, and sent once more when a phase ends.
    virtual void work(const SearchWork& work) { (void)work; }
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
