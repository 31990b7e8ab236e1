#pragma once

#include "search/SearchHost.h"
#include "search/SearchSession.h"
#include "search/SearchState.h"

#include <chrono>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

namespace trevalo {

inline constexpr const char* kMsgSelectPath = "Please select path before search.";
inline constexpr const char* kTitleSelectPath = "Select Path";
inline constexpr const char* kStatusStopping = "Stopping ...";

// "Completed in S s, searching N files.", S in whole seconds rounded down.
std::string completionText(double seconds, std::int64_t files);
// "Cancelled after S s, searching N files.": the lists hold what was found before the cancel.
std::string cancelledText(double seconds, std::int64_t files);

// The search command: one button that starts a search and, while it runs, asks it to stop.
// idle -> running (a click with at least one path row) -> stopping (a click while running) ->
// idle (the search has ended). The search runs in a session of its own; everything else,
// including the end of a search, runs on the host's thread.
class SearchRun : private SearchEvents {
public:
    enum class State { Idle, Running, Stopping };

    explicit SearchRun(RunHost& host);
    // Stops a running search and waits for its worker.
    ~SearchRun() override;
    SearchRun(const SearchRun&) = delete;
    SearchRun& operator=(const SearchRun&) = delete;

    // A click of the search button.
    void click();
    State state() const { return state_; }
    bool isRunning() const { return state_ != State::Idle; }
    // Stops a running search at once, wherever it is, and waits until its worker has returned
    // (the program is closing). The end of the search is not shown.
    void cancelAndWait();
    const SearchSession& session() const { return session_; }

private:
    // SearchEvents, on the worker thread.
    void progress(double percent) override { host_.setProgress(percent); }
    void phase(SearchPhase phase) override;
    void rows(int list, std::vector<ResultRow> rows) override {
        host_.appendRows(list, std::move(rows));
    }
    void pathRow(int row) override { host_.selectPathRow(row); }
    void finished(const SearchOutcome& outcome) override;
    std::chrono::milliseconds handOverInterval() const override { return host_.handOverInterval(); }

    // On the host's thread, once the search has ended.
    void finish(const SearchOutcome& outcome);

    RunHost& host_;
    State state_ = State::Idle;
    std::uint64_t generation_ = 0; // tells the end of an abandoned run apart
    std::shared_ptr<bool> alive_;  // the end of a run is not shown once this object is gone
    SearchSession session_;        // last: its worker is stopped before the rest goes
};

} // namespace trevalo
