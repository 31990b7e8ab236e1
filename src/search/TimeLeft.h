// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>

namespace trevalo {

// An estimate of the time a piece of work has left, from the rate at which it went lately: the
// rate is a moving average over the samples (each sample weighed by the time it covers, older
// time fading with a half-life of a few seconds), so one quick or slow stretch moves the
// estimate a little, not all at once. No estimate is given before kWarmUp has passed since the
// first sample, nor while nothing has been done.
class TimeLeft {
public:
    using Clock = std::chrono::steady_clock;
    static constexpr std::chrono::milliseconds kWarmUp{2000};

    // Forgets everything (a new stage starts).
    void reset();
    // The work done of the total at `now`; samples closer than 100 ms to the last one taken
    // only update the amount done.
    void sample(Clock::time_point now, std::int64_t done, std::int64_t total);
    // Seconds left at the last sample, or nothing yet.
    std::optional<double> seconds() const;

private:
    bool started_ = false;
    Clock::time_point first_{};
    Clock::time_point last_{};
    std::int64_t lastDone_ = 0;
    std::int64_t done_ = 0;
    std::int64_t total_ = 0;
    double rate_ = 0; // work per second, averaged
    bool hasRate_ = false;
    Clock::time_point now_{};
};

// "about 5 s left", "about 3 min left", "about 2 h 10 min left".
std::string timeLeftText(double seconds);

} // namespace trevalo
