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

SearchRun::SearchRun(RunHost& host)
    : host_(host), alive_(std::make_shared<bool>(true)), session_(*this) {}

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
        session_.cancel();
        state_ = State::Stopping;
        return;
    }
    for (int m = 0; m < kResultListCount; ++m)
        host_.clearList(m);
    host_.updateCount();
    host_.setStatus(kStatusStart);
    state_ = State::Running;
    host_.searchStarted();
    ++generation_;
    session_.start(std::move(request));
}

void SearchRun::phase(SearchPhase phase) {
    if (phase != SearchPhase::Walking) // the host already shows "Start ..."
        host_.setStatus(phaseText(phase));
}

void SearchRun::finished(const SearchOutcome& outcome) {
    const std::uint64_t generation = generation_;
    const std::weak_ptr<bool> alive = alive_;
    host_.runOnHostThread([this, generation, alive, outcome] {
        if (alive.lock() && generation == generation_)
            finish(outcome);
    });
}

void SearchRun::finish(const SearchOutcome& outcome) {
    session_.wait();
    host_.setProgress(0);
    host_.setStatus(outcome.cancelled ? cancelledText(outcome.seconds, outcome.files)
                                      : completionText(outcome.seconds, outcome.files));
    host_.sortList(ListDuplicates, 3, 0);
    host_.sortList(ListSameName, 1, 0);
    host_.sortList(ListZeroSize, 1, 0);
    host_.updateCount();
    state_ = State::Idle;
    host_.searchEnded();
}

void SearchRun::cancelAndWait() {
    if (!session_.isRunning() && state_ == State::Idle)
        return;
    session_.stop();
    ++generation_; // the end of the abandoned run is not shown
    state_ = State::Idle;
}

} // namespace trevalo
