#include "search/SearchRun.h"

#include "search/SearchDriver.h"

#include <cmath>
#include <memory>

namespace trevalo {

std::string completionText(double seconds, std::int64_t files) {
    const auto whole = static_cast<std::int64_t>(std::floor(seconds < 0 ? 0 : seconds));
    return "Completed in " + std::to_string(whole) + "s, searching " + std::to_string(files) +
           " files.";
}

std::string cancelledText(double seconds, std::int64_t files) {
    const auto whole = static_cast<std::int64_t>(std::floor(seconds < 0 ? 0 : seconds));
    return "Cancelled after " + std::to_string(whole) + "s, searching " + std::to_string(files) +
           " files.";
}

SearchRun::SearchRun(RunHost& host, SearchModel& model)
    : host_(host), model_(model), alive_(std::make_shared<bool>(true)) {}

SearchRun::~SearchRun() {
    cancelAndWait();
}

void SearchRun::click() {
    SearchRequest request = host_.searchRequest();
    if (request.paths.empty()) {
        host_.showMessage(kMsgSelectPath, kTitleSelectPath);
        host_.focusDriveList();
        return;
    }
    if (state_ != State::Idle) {
        host_.setStatus(kStatusStopping);
        model_.CancelSrch = true;
        state_ = State::Stopping;
        return;
    }
    start(std::move(request));
}

void SearchRun::start(SearchRequest request) {
    model_.CancelSrch = false;
    model_.abort = false;
    for (int m = 0; m < kResultListCount; ++m)
        host_.clearList(m);
    host_.updateCount();
    host_.setStatus(kStatusStart);
    state_ = State::Running;
    host_.searchStarted();
    started_ = std::chrono::steady_clock::now();
    const std::uint64_t generation = ++generation_;
    const std::weak_ptr<bool> alive = alive_;
    worker_ = std::thread([this, request = std::move(request), generation, alive] {
        runSearch(request, model_, host_);
        const auto ended = std::chrono::steady_clock::now();
        host_.runOnHostThread([this, generation, alive, ended] {
            if (alive.lock() && generation == generation_)
                finish(ended);
        });
    });
}

void SearchRun::finish(std::chrono::steady_clock::time_point ended) {
    if (worker_.joinable())
        worker_.join();
    host_.setProgress(0);
    const double seconds = std::chrono::duration<double>(ended - started_).count();
    const SearchOutcome& outcome = model_.outcome;
    host_.setStatus(outcome.cancelled ? cancelledText(seconds, outcome.files)
                                      : completionText(seconds, outcome.files));
    host_.sortList(ListDuplicates, 3, 0);
    host_.sortList(ListSameName, 1, 0);
    host_.sortList(ListZeroSize, 1, 0);
    host_.updateCount();
    state_ = State::Idle;
    host_.searchEnded();
}

void SearchRun::cancelAndWait() {
    if (!worker_.joinable())
        return;
    model_.CancelSrch = true;
    model_.abort = true;
    worker_.join();
    ++generation_; // the end of the abandoned run is not shown
    state_ = State::Idle;
}

} // namespace trevalo
