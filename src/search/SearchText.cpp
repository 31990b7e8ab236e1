// SPDX-License-Identifier: GPL-2.0-or-later
#include "search/SearchText.h"

#include <cmath>

namespace trevalo {

namespace {
std::int64_t wholeSeconds(double seconds) {
    return static_cast<std::int64_t>(std::floor(seconds < 0 ? 0 : seconds));
}

std::string filesText(std::int64_t files) {
    return groupedCount(files) + (files == 1 ? " file." : " files.");
}
} // namespace

std::string groupedCount(std::int64_t count) {
    std::string digits = std::to_string(count < 0 ? -count : count);
    for (auto i = static_cast<std::ptrdiff_t>(digits.size()) - 3; i > 0; i -= 3)
        digits.insert(static_cast<std::size_t>(i), 1, ',');
    return count < 0 ? "-" + digits : digits;
}

std::string completionText(double seconds, std::int64_t files) {
    return "Completed in " + std::to_string(wholeSeconds(seconds)) + "s, searching " +
           filesText(files);
}

std::string cancelledText(double seconds, std::int64_t files) {
    return "Cancelled after " + std::to_string(wholeSeconds(seconds)) + "s, searching " +
           filesText(files);
}

std::string outcomeText(const SearchOutcome& outcome) {
    std::string text = outcome.cancelled ? cancelledText(outcome.seconds, outcome.files)
                                         : completionText(outcome.seconds, outcome.files);
    if (outcome.proven > 0) {
        text.pop_back(); // the full stop
        text += "; " + groupedCount(outcome.proven) + " proven earlier.";
    }
    return text;
}

} // namespace trevalo
