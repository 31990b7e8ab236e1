#pragma once

#include "search/ResultRow.h"

#include <chrono>
#include <functional>
#include <string>
#include <vector>

namespace trevalo {

// What a search needs of the program that shows it. The driver calls these on its worker
// thread, throttled: progress and rows at most about ten times a second, rows in batches,
// each status text once when it changes. An implementation hands them to its own thread.
class SearchHost {
public:
    virtual ~SearchHost() = default;
    // The path row being walked (0-based) is shown as selected.
    virtual void selectPathRow(int row) { (void)row; }
    // 0 to 100.
    virtual void setProgress(double percent) = 0;
    virtual void setStatus(const std::string& text) = 0;
    // Appends rows, in order, at the end of result list `list` (ResultList).
    virtual void appendRows(int list, std::vector<ResultRow> rows) = 0;
    // The least time between two hand-overs of rows and progress.
    virtual std::chrono::milliseconds handOverInterval() const {
        return std::chrono::milliseconds(100);
    }
};

// What the search command needs besides: the set-up panel, message boxes, the lists and the
// window's state. Every call but runOnHostThread is made on the host's own thread.
class RunHost : public SearchHost {
public:
    // The path rows and chosen search types, read when a search starts.
    virtual SearchRequest searchRequest() = 0;
    virtual void showMessage(const std::string& text, const std::string& title) = 0;
    virtual void focusDriveList() {}
    virtual void clearList(int list) = 0;
    virtual void updateCount() {}
    // A search starts: the button reads "&Cancel", the set-up controls are locked and the
    // window opens its result area.
    virtual void searchStarted() {}
    // The search has ended: the button reads "&Search" and the set-up controls are unlocked.
    virtual void searchEnded() {}
    // Sorts a result list by a 1-based column; order 0 ascending, 1 descending.
    virtual void sortList(int list, int column, int order) = 0;
    // Queues fn to run on the host's thread after everything handed over before it. Called
    // from the worker thread.
    virtual void runOnHostThread(std::function<void()> fn) = 0;
};

} // namespace trevalo
