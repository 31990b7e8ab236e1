// SPDX-License-Identifier: GPL-2.0-or-later
#include "ui/ResultArea.h"

#include "platform/UserText.h"
#include "results/ResultTotals.h"
#include "search/SearchState.h"

#include <algorithm>

namespace trevalo {

QString countCaption(const QString& caption, long long rows) {
    const qsizetype bracket = caption.indexOf(QLatin1Char('('));
    const QString base = bracket < 0 ? caption : caption.left(bracket);
    return QStringLiteral("%1(%2)").arg(base,
                                        countText(static_cast<std::size_t>(std::max(rows, 0LL))));
}

namespace {
// Design widths of the columns (twips).
constexpr int kNameWidth = 1440;
constexpr int kFolderWidth = 3000;
constexpr int kGroupWidth = 900;
constexpr int kSizeWidth = 900;
constexpr int kDateWidth = 1440;
constexpr int kReasonWidth = 3000;
// Pixels a cell needs besides its text: the margins of the item and of the header.
constexpr int kCellPadding = 14;
} // namespace

QList<int> resultColumnWidths(const Twips& tw, int list, const QFontMetrics& font) {
    const auto fit = [&](int twips, const QString& sample) {
        return std::max(tw.px(twips), font.horizontalAdvance(sample) + kCellPadding);
    };
    // The design widths hold about 16 and 32 characters of a small dialog font.
    const int name = fit(kNameWidth, QLatin1String("nnnnnnnnnnnnnnnn"));
    const int folder = fit(kFolderWidth, QLatin1String("nnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnn"));
    const int group = list == ListDuplicates || list == ListFolders
                          ? fit(kGroupWidth, QLatin1String("0000000"))
                          : 0;
    const int reason =
        list == ListReadErrors || list == ListFolders
            ? fit(kReasonWidth, QLatin1String("could not be listed: Permission denied"))
            : 0;
    return {name,
            folder,
            group,
            fit(kSizeWidth, QLatin1String("0000000000")),
            fit(kDateWidth, UserDateForm().text("2000/10/20 20:00:00")),
            reason};
}

} // namespace trevalo
