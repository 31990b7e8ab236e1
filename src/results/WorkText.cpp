// SPDX-License-Identifier: GPL-2.0-or-later
#include "results/WorkText.h"

#include "platform/UserText.h"
#include "results/SizeText.h"
#include "search/SearchText.h"
#include "search/TimeLeft.h"

#include <QCoreApplication>

namespace trevalo {

QString workText(const SearchWork& work, std::optional<double> secondsLeft) {
    if (work.phase == SearchPhase::Walking) {
        return countedText("WorkText", "%n files found", nullptr, work.files);
    }
    if (work.phase != SearchPhase::Duplicates || work.bytesTotal <= 0)
        return {};
    QString text = QCoreApplication::translate("WorkText", "%1 of %2 compared")
                       .arg(sizeForPeople(work.bytesDone), sizeForPeople(work.bytesTotal));
    if (secondsLeft)
        text = QCoreApplication::translate("WorkText", "%1, %2")
                   .arg(text, QString::fromStdString(timeLeftText(*secondsLeft)));
    return text;
}

} // namespace trevalo
