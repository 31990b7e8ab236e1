// SPDX-License-Identifier: GPL-2.0-or-later
#include "ui/PathRows.h"

#include "platform/PathText.h"

#include <algorithm>

namespace trevalo {

AddPathResult addPathRow(std::vector<PathRow>& rows, std::string_view folder,
                         std::string_view pattern, bool subFolders) {
    if (pattern.empty())
        return AddPathResult::EmptyPattern;
    std::string withSlash(folder);
    withSlash += '/';
    withSlash += pattern;
    std::string plain(folder);
    plain += pattern;
    const bool listed = std::any_of(rows.begin(), rows.end(), [&](const PathRow& row) {
        return row.path == withSlash || row.path == plain;
    });
    if (listed)
        return AddPathResult::AlreadyListed;
    rows.push_back({joinFolderPattern(folder, pattern), subFolders});
    return AddPathResult::Added;
}

} // namespace trevalo
