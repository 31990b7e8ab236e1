// SPDX-License-Identifier: GPL-2.0-or-later
#include "search/SearchSession.h"

#include "platform/Process.h"
#include "search/SearchDriver.h"

#include <chrono>

namespace trevalo {

const char* phaseText(SearchPhase phase) {
    switch (phase) {
    case SearchPhase::Walking:
        return kStatusStart;
    case SearchPhase::Loading:
        return kStatusLoading;
    case SearchPhase::SameName:
        return kStatusSameName;
    case SearchPhase::Duplicates:
        return kStatusDuplicates;
    }
    return "";
}

SearchSession::SearchSession(SearchEvents& events) : events_(events) {}

SearchSession::~SearchSession() {
    stop();
}

bool SearchSession::start(SearchRequest request) {
    if (running_)
        return false;
    wait();
    state_.cancelRequested = false;
    state_.abort = false;
    running_ = true;
    worker_ = std::jthread([this, request = std::move(request)] {
        const auto started = std::chrono::steady_clock::now();
        runSearch(request, state_, events_, beforeComparison_);
        state_.outcome.seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
        // Given back before the host hears of the end, when it sets about its lists.
        if (!keepTable_) {
            FileTable().swap(state_.table);
            releaseFreedMemory();
        }
        if (!state_.abort)
            events_.finished(state_.outcome);
        running_ = false;
    });
    return true;
}

void SearchSession::cancel() {
    if (running_)
        state_.cancelRequested = true;
}

void SearchSession::stop() {
    state_.cancelRequested = true;
    state_.abort = true;
    wait();
}

void SearchSession::wait() {
    worker_ = {}; // joins the worker
}

} // namespace trevalo
