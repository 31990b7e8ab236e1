// SPDX-License-Identifier: GPL-2.0-or-later
#include "results/WorkText.h"

#include "results/SizeText.h"
#include "search/SearchText.h"
#include "search/TimeLeft.h"

namespace trevalo {

QString workText(const SearchWork& work, std::optional<double> secondsLeft) {
    if (work.phase == SearchPhase::Walking) {
        return QString::fromStdString(groupedCount(work.files)) +
               (work.files == 1 ? QStringLiteral(" file found") : QStringLiteral(" files found"));
    }
    if (work.phase != SearchPhase::Duplicates || work.bytesTotal <= 0)
        return {};
    QString text = QStringLiteral("%1 of %2 compared")
                       .arg(sizeForPeople(work.bytesDone), sizeForPeople(work.bytesTotal));
    if (secondsLeft)
        text += QStringLiteral(", ") + QString::fromStdString(timeLeftText(*secondsLeft));
    return text;
}

} // namespace trevalo
