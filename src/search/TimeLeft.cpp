// SPDX-License-Identifier: GPL-2.0-or-later
#include "search/TimeLeft.h"

#include "platform/UserText.h"

#include <algorithm>
#include <cmath>

namespace trevalo {

namespace {
constexpr double kHalfLifeSeconds = 5.0;
constexpr std::chrono::milliseconds kLeastStep{100};
// How far apart two foreseen finishing times may be, as a share of the time left, and at least.
constexpr double kSteadyShare = 0.2;
constexpr double kSteadyLeastSeconds = 1.0;

double secondsBetween(TimeLeft::Clock::time_point from, TimeLeft::Clock::time_point to) {
    return std::chrono::duration<double>(to - from).count();
}
} // namespace

void TimeLeft::reset() {
    *this = TimeLeft();
}

void TimeLeft::sample(Clock::time_point now, std::int64_t done, std::int64_t total) {
    now_ = now;
    done_ = done;
    total_ = total;
    if (!started_) {
        started_ = true;
        first_ = last_ = now;
        lastDone_ = done;
        return;
    }
    if (now - last_ < kLeastStep)
        return;
    const double step = secondsBetween(last_, now);
    const double rate = static_cast<double>(done - lastDone_) / step;
    if (!hasRate_) {
        rate_ = rate;
        hasRate_ = true;
    } else {
        // The weight of the older average halves every kHalfLifeSeconds.
        const double keep = std::exp2(-step / kHalfLifeSeconds);
        rate_ = keep * rate_ + (1 - keep) * rate;
    }
    last_ = now;
    lastDone_ = done;
    checkSteady(now);
}

double TimeLeft::rateAt(Clock::time_point now) const {
    if (now <= last_)
        return rate_;
    return rate_ * std::exp2(-secondsBetween(last_, now) / kHalfLifeSeconds);
}

void TimeLeft::checkSteady(Clock::time_point now) {
    if (steady_ || now - first_ < kWarmUp || rate_ <= 0 || done_ <= 0)
        return;
    const double left = static_cast<double>(std::max<std::int64_t>(total_ - done_, 0)) / rate_;
    // Seconds from the first sample, so that no estimate is too long for the clock.
    const double foreseen = secondsBetween(first_, now) + left;
    if (!hasForeseen_ ||
        std::abs(foreseen - foreseen_) > std::max(kSteadyShare * left, kSteadyLeastSeconds)) {
        foreseen_ = foreseen;
        steadySince_ = now;
        hasForeseen_ = true;
        return;
    }
    steady_ = now - steadySince_ >= kSteadyFor;
}

std::optional<double> TimeLeft::seconds(Clock::time_point now) const {
    const double rate = rateAt(now);
    if (!steady_ || rate <= 0 || done_ <= 0)
        return std::nullopt;
    const auto left = static_cast<double>(total_ > done_ ? total_ - done_ : 0);
    return left / rate;
}

std::string timeLeftText(double seconds) {
    const auto s = static_cast<std::int64_t>(std::ceil(std::max(seconds, 0.0)));
    if (s < 60)
        return withArgs(userText("TimeLeft", "about %1 s left"), {std::to_string(s)});
    const std::int64_t minutes = (s + 30) / 60;
    if (minutes < 60)
        return withArgs(userText("TimeLeft", "about %1 min left"), {std::to_string(minutes)});
    return withArgs(userText("TimeLeft", "about %1 h %2 min left"),
                    {std::to_string(minutes / 60), std::to_string(minutes % 60)});
}

} // namespace trevalo
