// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "platform/FileSystem.h"

#include <cstdint>
#include <string>
#include <vector>

namespace trevalo {

// What a row of "Folders" says about its folder: every file in it (at any depth), each with the
// file outside the folder that holds the same bytes. It is proven again, file by file and byte
// by byte, before the folder is acted on.
struct FolderClaim {
    struct Item {
        std::string path; // the file, inside the folder
        FileStamp stamp;
        std::string copyPath; // a different file with the same bytes; empty for an empty file
        FileStamp copyStamp;
    };
    // True: its whole tree holds the same names with the same bytes as the other folders of its
    // group. False: every file has a copy somewhere outside the folder.
    bool identical = false;
    std::int64_t files = 0;
    std::string copiesIn;             // the folder that holds the most copies (ends in "/")
    std::vector<Item> items;          // in path order
    std::vector<std::string> folders; // every sub-folder at any depth, in path order
};

} // namespace trevalo
