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
// estimate a little, not all at once. Time without progress counts as time at no speed, so the
// estimate grows while the work stands still.
//
// No estimate is given before kWarmUp has passed since the first sample, nor while nothing has
// been done, nor before it is steady: until the finishing times it foresees have stayed within
// a fifth of the time left of each other for kSteadyFor. Once given, it stays.
class TimeLeft {
public:
    using Clock = std::chrono::steady_clock;
    static constexpr std::chrono::milliseconds kWarmUp{2000};
    static constexpr std::chrono::milliseconds kSteadyFor{2000};

    // Forgets everything (a new stage starts).
    void reset();
    // The work done of the total at `now`; samples closer than 100 ms to the last one taken
    // only update the amount done.
    void sample(Clock::time_point now, std::int64_t done, std::int64_t total);
    // Seconds left at `now` (at or after the last sample), or nothing yet.
    std::optional<double> seconds(Clock::time_point now) const;
    // Seconds left at the last sample.
    std::optional<double> seconds() const { return seconds(now_); }

private:
    // The averaged rate at `now`, the time since the last sample counted at no speed.
    double rateAt(Clock::time_point now) const;
    // Whether the finishing time foreseen at `now` agrees with those since steadySince_.
    void checkSteady(Clock::time_point now);

    bool started_ = false;
    Clock::time_point first_{};
    Clock::time_point last_{};
    std::int64_t lastDone_ = 0;
    std::int64_t done_ = 0;
    std::int64_t total_ = 0;
    double rate_ = 0; // work per second, averaged
    bool hasRate_ = false;
    Clock::time_point now_{};
    // The finishing time foreseen when the estimate last moved by more than it may, and since
    // when the later ones agreed with it.
    double foreseen_ = 0; // seconds from the first sample
    Clock::time_point steadySince_{};
    bool hasForeseen_ = false;
    bool steady_ = false;
};

// "about 5 s left", "about 3 min left", "about 2 h 10 min left".
std::string timeLeftText(double seconds);

} // namespace trevalo
