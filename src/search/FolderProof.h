// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "search/ResultRow.h"

#include <QtGlobal>
#include <atomic>
#include <string>

namespace trevalo {

// Proves the claim of a row that names a folder or a link again, as the disk is now, just before
// it is acted on. Returns why it no longer stands, or an empty text when it does:
// - every such row: the path still names the folder or the link the search found (device and
//   inode, looked at without following a final link);
// - a folder of "Empty Folders": it holds nothing but folders, at any depth, and every part of
//   it can be listed;
// - a folder of "Folders": it holds exactly the files and folders of its claim, and each file
//   is still the file the search found and holds the same bytes as its copy, which must be
//   another file than it (device and inode), outside the folder, and still the file the search
//   found; the bytes are compared with the search's own comparison;
// - a link of "Broken Links": following it still ends at a name that does not exist.
// A cancel (looked at between files and between chunks) leaves it unproven.
std::string proveEntryRow(const ResultRow& row, const std::atomic<bool>* cancel = nullptr);
// The same for the folder or link at path (no trailing "/"), as the search found it.
std::string proveEntry(const std::string& path, RowTarget target, const FileStamp& stamp,
                       const FolderClaim* claim, const std::atomic<bool>* cancel = nullptr);

// The reason given for a folder that is not as its row says.
inline constexpr const char* kFolderChanged =
    QT_TRANSLATE_NOOP("FolderProof", "changed since the search");

} // namespace trevalo
