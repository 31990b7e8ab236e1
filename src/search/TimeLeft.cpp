// SPDX-License-Identifier: GPL-2.0-or-later
#include "search/TimeLeft.h"

#include <algorithm>
#include <cmath>

namespace trevalo {

namespace {
constexpr double kHalfLifeSeconds = 5.0;
constexpr std::chrono::milliseconds kLeastStep{100};
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
    const double step = std::chrono::duration<double>(now - last_).count();
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
}

std::optional<double> TimeLeft::seconds() const {
    if (!hasRate_ || now_ - first_ < kWarmUp || rate_ <= 0 || done_ <= 0)
        return std::nullopt;
    const auto left = static_cast<double>(total_ > done_ ? total_ - done_ : 0);
    return left / rate_;
}

std::string timeLeftText(double seconds) {
    const auto s = static_cast<std::int64_t>(std::ceil(std::max(seconds, 0.0)));
    if (s < 60)
        return "about " + std::to_string(s) + " s left";
    const std::int64_t minutes = (s + 30) / 60;
    if (minutes < 60)
        return "about " + std::to_string(minutes) + " min left";
    return "about " + std::to_string(minutes / 60) + " h " + std::to_string(minutes % 60) +
           " min left";
}

} // namespace trevalo
