// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "search/ResultRow.h"
#include "search/SearchState.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace trevalo {

// What the rows of "Folders" are made from: the search's table, each entry's group of
// identical files as the comparison proved it (GroupMark::None when in none), and the folders
// of the search paths (ending in "/"), above which nothing is looked at.
struct FolderGroupsInput {
    const FileTable* table = nullptr;
    const std::vector<std::int64_t>* groups = nullptr; // by table index
    std::vector<std::string> tops;
    std::function<bool()> stop; // asked once per folder; true ends the work with no rows
};

// The rows of "Folders", from the groups of identical files alone (no file is read):
// - identical folders: folders whose whole trees hold the same names (files and sub-folders)
//   with the same bytes, one group per set of such folders, the largest first; a group whose
//   every folder lies in a folder of another listed group is left out;
// - then covered folders: folders every one of whose files has an identical copy (a different
//   file) outside the folder, with the folder that holds the most copies; a folder inside a
//   listed one is left out.
// A folder is looked at only when the search knows every file in it: it is listed again (a
// real folder, not a link to one), and it must hold nothing but folders and files of the table
// that are in a group or empty. A folder with a part that cannot be listed, a link, a file the
// search passed over (its pattern, an exclude rule, the size limits) or a file with no copy is
// never listed. A folder with no byte in it is not listed either. Each row carries its claim
// (every file and its copy) and is kept when a file in it is kept.
std::vector<ResultRow> findFolderRows(const FolderGroupsInput& input);

// What a row of "Folders" says in words: how many files, and where their copies are.
std::string folderRowText(const FolderClaim& claim);

} // namespace trevalo
