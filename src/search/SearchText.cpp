// SPDX-License-Identifier: GPL-2.0-or-later
#include "search/SearchText.h"

#include "platform/UserText.h"

#include <cmath>

namespace trevalo {

namespace {
std::int64_t wholeSeconds(double seconds) {
    return static_cast<std::int64_t>(std::floor(seconds < 0 ? 0 : seconds));
}

} // namespace

std::string groupedCount(std::int64_t count) {
    return groupedDigits(count);
}

std::string completionText(double seconds, std::int64_t files) {
    return withArgs(userText("SearchText", "Completed in %1s, searching %n files.", nullptr, files),
                    {std::to_string(wholeSeconds(seconds))});
}

std::string cancelledText(double seconds, std::int64_t files) {
    return withArgs(
        userText("SearchText", "Cancelled after %1s, searching %n files.", nullptr, files),
        {std::to_string(wholeSeconds(seconds))});
}

std::string outcomeText(const SearchOutcome& outcome) {
    std::string text = outcome.cancelled ? cancelledText(outcome.seconds, outcome.files)
                                         : completionText(outcome.seconds, outcome.files);
    if (outcome.proven > 0) {
        text.pop_back(); // the full stop
        text = withArgs(userText("SearchText", "%1; %n proven earlier.", nullptr, outcome.proven),
                        {text});
    }
    return text;
}

} // namespace trevalo
