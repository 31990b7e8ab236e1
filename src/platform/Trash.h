// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "platform/FileSystem.h"

#include <string>
#include <string_view>

namespace trevalo {

// Moving files to the desktop's trash in the freedesktop.org trash layout, on byte paths. A file
// never leaves its file system: it goes to the home trash when it lives on the same file system,
// otherwise to the trash at the top of its own mount. Nothing is ever deleted for good, and nothing
// is copied.

class TrashFolders;

struct TrashResult {
    // Why the file did not move: kReasonChanged when it was not the file expected (it stayed
    // where it was), kReasonInTrash when it lies in a trash folder already, or the system's.
    OsError error;
    std::string reason;      // the error in words, with where it happened; empty when it moved
    std::string trashFolder; // the trash it went to (holding files/ and info/)
    std::string trashedName; // its name in files/; info/ holds trashedName + ".trashinfo"
    bool ok() const { return !error; }
    bool changed() const { return error.changed(); }
};

// Moves one file to the trash: writes the .trashinfo (original path and deletion date) first,
// then renames the file into the trash's files/ folder. When the rename fails, the .trashinfo
// is taken back and the file stays where it was.
//
// The file is looked at (lstat, relative to its open folder) just before it goes. With expected
// given, it must be a regular file with exactly that stamp, or it stays and the result says
// changed. The rename acts on the entry that was looked at: should another file have taken its
// name in between, that file is put back and the result says changed too. A file inside one of
// the trash folders (trashFolders, or the current ones when not given) is never moved again:
// its .trashinfo would lose its way back.
TrashResult moveToTrash(const std::string& path, const FileStamp* expected = nullptr,
                        const TrashFolders* trashFolders = nullptr);

// The home trash: $XDG_DATA_HOME/Trash, or $HOME/.local/share/Trash. Empty when no home
// folder is known.
std::string homeTrashFolder();

struct TrashPlace {
    std::string folder; // the trash, or the folder that could not be used
    OsError error;      // when it cannot be used
};

// The trash of the mount whose top folder is top, created when missing: top/.Trash/$uid when
// top/.Trash is a real folder (not a link) with the sticky bit, otherwise top/.Trash-$uid. An
// existing trash folder must be a real folder that belongs to the user.
TrashPlace mountTrash(const std::string& top);

// A path as the .trashinfo's Path= value holds it: letters, digits, "/" and -_.!~*'() as
// they are, every other byte as %XX.
std::string trashPercentEncode(std::string_view bytes);

} // namespace trevalo
