// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "search/SearchEvents.h"
#include "search/SearchState.h"

#include <functional>
#include <thread>

namespace trevalo {

// Runs searches, one at a time, on a worker thread of its own, and reports to its events.
// start() and cancel() return at once; the worker is joined when the next search starts, by
// wait() or stop(), and when the session goes.
class SearchSession {
public:
    explicit SearchSession(SearchEvents& events);
    // Stops a running search and waits for its worker.
    ~SearchSession();
    SearchSession(const SearchSession&) = delete;
    SearchSession& operator=(const SearchSession&) = delete;

    // Starts a search; false (and nothing happens) while one is running.
    bool start(SearchRequest request);
    // Asks a running search to stop at its next check (within a fraction of a second at every
    // stage). It still reports what it found and finishes with its outcome marked cancelled.
    void cancel();
    bool cancelRequested() const { return state_.cancelRequested.load(); }
    // Stops a running search at once and waits for its worker; finished is not reported (the
    // host is going away).
    void stop();
    // Waits until the worker of the last search has returned.
    void wait();
    // True from start() until the worker has returned.
    bool isRunning() const { return running_.load(); }

    // The table of the last search (valid while no search runs), when asked to keep it: by
    // default it is given back as the search ends, since its rows stand alone.
    const FileTable& table() const { return state_.table; }
    void setKeepTable(bool keep) { keepTable_ = keep; }
    // Takes the kept table of the last search (while no search runs).
    FileTable takeTable() { return std::move(state_.table); }
    const SearchOutcome& outcome() const { return state_.outcome; }
    // A testing aid: called on the worker when the search is about to compare contents.
    void setBeforeComparison(std::function<void()> hook) { beforeComparison_ = std::move(hook); }

private:
    SearchEvents& events_;
    SearchState state_;
    std::jthread worker_;
    std::atomic<bool> running_{false};
    bool keepTable_ = false;
    std::function<void()> beforeComparison_;
};

} // namespace trevalo
