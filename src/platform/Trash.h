// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "platform/FileSystem.h"

#include <string>
#include <string_view>

namespace trevalo {

// Moving files to the desktop's trash in the freedesktop.org trash layout, on byte paths. Our
// own, not Qt's QFile::moveToTrash or GIO's: neither puts a file back by name into the folder it
// came from, nor checks that the file moved is the one the search found. A file
// never leaves its file system: it goes to the home trash when it lives on the same file system,
// otherwise to the trash at the top of its own mount. Nothing is ever deleted for good, and nothing
// is copied.

class TrashFolders;

// The folder a file was moved to the trash from, as it was then, so that the file goes back
// into that very folder and not through a link or into another folder put in its place.
struct TrashOrigin {
    FileId folder;          // device and inode of the folder that held the file
    std::int64_t born = 0;  // when the folder was made, in nanoseconds; 0 where not recorded
    std::string realFolder; // its path with every link resolved; empty when it could not be read
    bool known() const { return folder.inode != 0; }
};

// What became of a file sent to the trash.
enum class TrashStatus {
    Moved,   // it is in the trash
    Changed, // it was not the file expected, and stayed where it was
    // It was not the file expected: another file took its place just before the move and went
    // to the trash in its stead, where it stays (the reason says where).
    Stranded,
    Failed, // it stayed where it was, for the error given
};

struct TrashResult {
    TrashStatus status = TrashStatus::Failed;
    // Why the file did not move: kReasonChanged (Changed, Stranded), kReasonInTrash when it
    // lies in a trash folder already, or the system's.
    OsError error;
    std::string reason;      // the error in words, with where it happened; empty when it moved
    std::string trashFolder; // the trash it went to (holding files/ and info/)
    std::string trashedName; // its name in files/; info/ holds trashedName + ".trashinfo"
    TrashOrigin origin;      // the folder it was in
    bool ok() const { return status == TrashStatus::Moved; }
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
//
// kind says what path names: a regular file, or a whole folder (moved with everything in it) or
// a symbolic link (moved as a link), each checked against `expected` in the same way.
TrashResult moveToTrash(const std::string& path, const FileStamp* expected = nullptr,
                        const TrashFolders* trashFolders = nullptr,
                        FileKind kind = FileKind::Regular);

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

// The inverse of trashPercentEncode: every %XX becomes its byte; a "%" not followed by two hex
// digits stays as it is (QByteArray::fromPercentEncoding would turn it into another byte).
std::string trashPercentDecode(std::string_view text);

// What became of a file put back from the trash.
enum class RestoreStatus {
    Restored,      // at its original path again, and its .trashinfo is gone
    OriginalTaken, // a file now stands at the original path: nothing was replaced, it stays
    NotInTrash,    // no longer in the trash: emptied, or restored already
    Failed,        // it stays in the trash, for the reason given
};

struct RestoreResult {
    RestoreStatus status = RestoreStatus::Failed;
    std::string originalPath; // where its .trashinfo says it came from (when it could be read)
    OsError error;            // of a failed step
    std::string reason;       // what went wrong, in words; also a note on a restore that
                              // could not remove the .trashinfo afterwards
    FileStamp stamp;          // the file at its original path, once restored
    bool restored() const { return status == RestoreStatus::Restored; }
};

// Moves the file trashedName of a trash (holding files/ and info/) back to the path its
// .trashinfo names, creating the folders on the way that are missing, and then removes the
// .trashinfo. The move never replaces a file: whatever stands at the original path stays and
// the file stays in the trash. With expected given (the file as it went to the trash), a file
// of that name in the trash that is not the same file (another one trashed since under the same
// name) counts as no longer in the trash. A file never leaves its file system on the way to
// the trash, so the way back is a rename too; should the original folder now be on another
// file system, the result says so and the file stays.
//
// With origin given (the folder the file went to the trash from), the file goes back only into
// that folder: when a folder now at the original folder's path is another one (a link to
// another folder, or a folder made anew), the file stays in the trash and the result says why.
// A missing original folder is made again only where it was: its nearest existing ancestor,
// links resolved, must be where the original folder's real path says, and the folders made
// below it are entered without following links.
RestoreResult restoreFromTrash(const std::string& trashFolder, const std::string& trashedName,
                               const FileStamp* expected = nullptr,
                               const TrashOrigin* origin = nullptr);

} // namespace trevalo
