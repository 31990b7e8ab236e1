// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "platform/FileSystem.h"
#include "search/ResultRow.h"

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace trevalo {

// The row a search would list for the file at path as it is now, measured by one lstat; a file
// that cannot be measured gets size -1 and its reason.
inline ResultRow rowOfFile(const std::string& path, std::int64_t group = GroupMark::None) {
    FileEntry entry;
    entry.path = path;
    entry.group = group;
    const FileStatus st = statEntry(path);
    if (st.kind == FileKind::Regular) {
        entry.size = st.size;
        entry.stamp = st.stamp();
    } else {
        entry.size = -1;
        entry.reason = st.kind == FileKind::Failed || st.kind == FileKind::Missing
                           ? (st.error ? st.error.code() : EIO)
                           : kReasonChanged;
    }
    FolderShare folders;
    return makeResultRow(entry, folders);
}

// How many rows are marked.
inline std::size_t countMarked(const std::vector<ResultRow>& rows) {
    return static_cast<std::size_t>(
        std::count_if(rows.begin(), rows.end(), [](const ResultRow& r) { return r.checked; }));
}

} // namespace trevalo
