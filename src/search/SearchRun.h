#pragma once

#include "search/SearchHost.h"
#include "search/SearchModel.h"

#include <chrono>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

namespace trevalo {

inline constexpr const char* kMsgSelectPath = "Please select path before search.";
inline constexpr const char* kTitleSelectPath = "Select Path";
inline constexpr const char* kStatusStart = "Start ...";
inline constexpr const char* kStatusStopping = "Stopping ...";

// "Completed in S s, searching N files.", S in whole seconds rounded down.
std::string completionText(double seconds, std::int64_t files);
// "Cancelled after S s, searching N files.": the lists hold what was found before the cancel.
std::string cancelledText(double seconds, std::int64_t files);

// The search command: one button that starts a search and, while it runs, asks it to stop.
// idle -> running (a click with at least one path row) -> stopping (a click while running) ->
// idle (the driver returns). The search runs on a worker thread; everything else, including
// the end of a search, runs on the host's thread.
class SearchRun {
public:
    enum class State { Idle, Running, Stopping };

    SearchRun(RunHost& host, SearchModel& model);
    // Cancels a running search and waits for its worker.
    ~SearchRun();
    SearchRun(const SearchRun&) = delete;
    SearchRun& operator=(const SearchRun&) = delete;

    // A click of the search button.
    void click();
    State state() const { return state_; }
    bool isRunning() const { return state_ != State::Idle; }
    // Stops a running search at once, wherever it is, and waits until its worker has returned
    // (the program is closing). The end of the search is not shown.
    void cancelAndWait();

private:
    void start(SearchRequest request);
    // On the host's thread, once the worker has returned.
    void finish(std::chrono::steady_clock::time_point ended);

    RunHost& host_;
    SearchModel& model_;
    State state_ = State::Idle;
    std::thread worker_;
    std::chrono::steady_clock::time_point started_;
    std::uint64_t generation_ = 0; // tells a finish of an abandoned run apart
    std::shared_ptr<bool> alive_;  // the end of a run is not shown once this object is gone
};

} // namespace trevalo
