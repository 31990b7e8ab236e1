// SPDX-License-Identifier: GPL-2.0-or-later
#include "search/SearchText.h"

#include "platform/UserText.h"

#include <QtGlobal>
#include <cmath>

namespace trevalo {

namespace {
std::int64_t wholeSeconds(double seconds) {
    return static_cast<std::int64_t>(std::floor(seconds < 0 ? 0 : seconds));
}

// The texts of a search's end, with the seconds and the files.
std::string endText(const char* one, const char* many, double seconds, std::int64_t files) {
    return withArgs(userText("SearchText", files == 1 ? one : many),
                    {std::to_string(wholeSeconds(seconds)), groupedCount(files)});
}
} // namespace

std::string groupedCount(std::int64_t count) {
    return groupedDigits(count);
}

std::string completionText(double seconds, std::int64_t files) {
    return endText(QT_TRANSLATE_NOOP("SearchText", "Completed in %1s, searching %2 file."),
                   QT_TRANSLATE_NOOP("SearchText", "Completed in %1s, searching %2 files."),
                   seconds, files);
}

std::string cancelledText(double seconds, std::int64_t files) {
    return endText(QT_TRANSLATE_NOOP("SearchText", "Cancelled after %1s, searching %2 file."),
                   QT_TRANSLATE_NOOP("SearchText", "Cancelled after %1s, searching %2 files."),
                   seconds, files);
}

std::string outcomeText(const SearchOutcome& outcome) {
    std::string text = outcome.cancelled ? cancelledText(outcome.seconds, outcome.files)
                                         : completionText(outcome.seconds, outcome.files);
    if (outcome.proven > 0) {
        text.pop_back(); // the full stop
        text = withArgs(userText("SearchText", "%1; %2 proven earlier."),
                        {text, groupedCount(outcome.proven)});
    }
    return text;
}

} // namespace trevalo
