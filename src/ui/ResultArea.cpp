#include "ui/ResultArea.h"

#include "search/SearchState.h"

#include <algorithm>

namespace trevalo {

QString countCaption(const QString& caption, long long rows) {
    const qsizetype bracket = caption.indexOf(QLatin1Char('('));
    const QString base = bracket < 0 ? caption : caption.left(bracket);
    return QStringLiteral("%1(%2)").arg(base).arg(rows);
}

QList<int> resultColumnWidths(const Twips& tw, int list, const QFontMetrics& font) {
    const auto fit = [&](int twips, QLatin1String sample) {
        return std::max(tw.px(twips), font.horizontalAdvance(sample) + 14);
    };
    // The design widths hold about 16 and 32 characters of a small dialog font.
    const int name = fit(1440, QLatin1String("nnnnnnnnnnnnnnnn"));
    const int folder = fit(3000, QLatin1String("nnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnn"));
    const int group = list == ListDuplicates ? fit(900, QLatin1String("0000000")) : 0;
    const int reason = list == ListReadErrors
                           ? fit(3000, QLatin1String("could not be listed: Permission denied"))
                           : 0;
    return {name,
            folder,
            group,
            fit(900, QLatin1String("0000000000")),
            fit(1440, QLatin1String("0000/00/00 00:00:00")),
            reason};
}

} // namespace trevalo
