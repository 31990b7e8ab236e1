#include "ui/ResultArea.h"

#include "search/SearchModel.h"

#include <algorithm>

namespace trevalo {

QString countCaption(const QString& caption, long long rows) {
    const qsizetype bracket = caption.indexOf(QLatin1Char('('));
    const QString base = bracket < 0 ? caption : caption.left(bracket);
    return QStringLiteral("%1(%2)").arg(base).arg(rows);
}

QList<int> resultColumnWidths(const Twips& tw, int list, const QFontMetrics& font) {
    const auto fit = [&](int twips, const char* sample) {
        return std::max(tw.px(twips), font.horizontalAdvance(QLatin1String(sample)) + 14);
    };
    const int group = list == ListDuplicates ? fit(900, "0000000") : 0;
    return {tw.px(1440), tw.px(3000), group, fit(900, "0000000000"),
            fit(1440, "0000/00/00 00:00:00")};
}

} // namespace trevalo
