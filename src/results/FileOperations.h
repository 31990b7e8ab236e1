// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "platform/LinkReplace.h"
#include "platform/Trash.h"
#include "results/RowScope.h"
#include "search/ResultRow.h"

#include <QString>

#include <atomic>
#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace trevalo {

// Deleting the marked files of a result list to the trash, and renaming the file of one row.
// A row of a whole folder moves the folder with everything in it; a row of a link, the link.
// Nothing here touches a widget; the delete runs on any thread.

struct DeleteFailure {
    std::size_t row = 0;
    std::string path;
    std::string reason;
};

// The marked rows of a list, taken on the window's thread before the user is asked, so that
// the delete moves exactly the files the user confirmed, and can run on a worker while the
// list stays as it is. Only rows that may be acted on (ResultRow::mayBeActedOn) are part of
// a delete. With a scope, only the marked rows in it (the rows a filter shows) go.
struct DeletePlan {
    struct Item {
        std::size_t row = 0; // position in the list when the plan was made
        std::string path;    // folder + name, bytes
        std::int64_t size = 0;
        FileStamp stamp;         // the file the search found
        bool stampKnown = false; // false: the search could not measure the file
        // For a replacement by a link: the copy the link leads to, and the file it was.
        std::string keptPath;
        FileStamp keptStamp;
        // A whole folder or a link goes as its row says, proven again just before.
        RowTarget target = RowTarget::File;
        std::shared_ptr<const FolderClaim> claim;
    };
    std::vector<Item> items; // in row order
    // Other names (hard links) of the files of `items` that the search found, to go after
    // them; each with the row of its file.
    std::vector<Item> otherNames;
};
DeletePlan planDelete(const std::vector<ResultRow>& rows, const RowScope& scope = {});

// Adds to the plan the other names the search found of its files (rows: the list it was made
// from).
void addOtherNames(DeletePlan& plan, const std::vector<ResultRow>& rows);

// What deleting a plan frees: the bytes of its files none of whose names would remain (names
// the search did not find count as remaining); and how many of its files keep their bytes
// through another name.
struct SpaceFreed {
    std::int64_t bytes = 0;
    std::size_t filesKeptByNames = 0;
};
SpaceFreed spaceFreed(const DeletePlan& plan, const std::vector<ResultRow>& rows);

// The marked rows of "Duplicates" (in the scope) to replace by links: each with the copy its
// group keeps, the first unmarked row of the group that may be acted on (a kept row first).
// A marked row whose group keeps no such copy is not planned; it is named in `left`.
DeletePlan planLinks(const std::vector<ResultRow>& duplicates, const RowScope& scope,
                     std::vector<DeleteFailure>& left);

// What a delete would leave of the files it moves, as the disk shows it now.
struct CopiesLeft {
    // Groups of "Duplicates" with a member in the plan that keep no other member still on
    // disk as the file the search found.
    std::size_t groupsWithoutCopy = 0;
    // Files of the plan that keep no identical copy: in no group of "Duplicates", or in a
    // group counted above; and files inside a planned folder whose copy goes too (it is in the
    // plan, or in a planned folder) or is no longer the file the search found. Empty files are
    // left out: they hold nothing to lose.
    std::size_t filesWithoutCopy = 0;
};
// duplicates: the rows of the "Duplicates" list. Each unplanned member of a group that the
// plan touches is looked at (lstat) until one still is the file the search found; a member
// counts as a copy only if it is a file (device and inode) other than every planned one, and
// not a stale row.
CopiesLeft copiesLeftAfter(const DeletePlan& plan, const std::vector<ResultRow>& duplicates);

// Where in the trash a moved file lies, and the folder it came from.
struct TrashLocation {
    std::string trashFolder; // the trash (holding files/ and info/)
    std::string trashedName; // its name in files/
    TrashOrigin origin;
    std::optional<LinkPlaced> link; // the link that took its place, when replaced by one
};

struct DeleteOutcome {
    std::vector<std::size_t> moved;      // rows whose files went to the trash, ascending
    std::vector<TrashLocation> places;   // where each of moved lies now, in the same order
    std::vector<DeleteFailure> failures; // files that stayed, in row order
    // The plan's other names that went (their positions in plan.otherNames) and where each
    // lies now; those that stayed, with the row of their file.
    std::vector<std::size_t> otherMoved;
    std::vector<TrashLocation> otherPlaces;
    std::vector<DeleteFailure> otherFailures;
    bool cancelled = false; // stopped early; the rest was not tried and stays
};

// Called after each file, on the thread that runs the delete, with the number done so far and
// the number in the plan.
using DeleteProgress = std::function<void(std::size_t done, std::size_t total)>;

// The reason given for a file the search could not measure: nothing tells it is the same file.
inline constexpr const char* kNotMeasured =
    QT_TRANSLATE_NOOP("FileOperations", "not measured by the search");
// The reason given for a kept file (found under a Keep path): it is never acted on.
inline constexpr const char* kKeptFile = "it is in a Keep folder";

// Moves the files of a plan to the trash, in order, then their other names. Just before a file
// goes it is looked at again: a file that is no longer the regular file of the row (device,
// inode, size and the nanosecond last-write and status-change times) has changed since the
// search and stays; so does a file inside a trash folder. A name of a file that one of its
// names moved already is expected with the status-change time that move gave it.
// cancel, when given, is read before each file.
DeleteOutcome trashPlannedFiles(const DeletePlan& plan, const DeleteProgress& progress = {},
                                const std::atomic<bool>* cancel = nullptr);

// Replaces each file of a plan made by planLinks with a link of `kind` to its copy
// (replaceWithLink: both files proven again, byte for byte, just before). The files replaced
// are in the outcome's moved, with where they lie in the trash and the link placed; the others
// are failures with their reason.
DeleteOutcome replacePlannedFiles(const DeletePlan& plan, LinkKind kind,
                                  const DeleteProgress& progress = {},
                                  const std::atomic<bool>* cancel = nullptr);

// "Deletion failed: " and, one line each, the path and reason of every file that stayed. With
// maxListed > 0, only that many are named and a last line tells how many more there are.
QString failureMessage(const std::vector<DeleteFailure>& failures, std::size_t maxListed = 0);

// Whether a typed file name may be used as a new name: not empty, not "." or "..", and without
// "/" (a name, not a path) or a NUL byte.
bool isAcceptableNewName(const std::string& newName);

struct RenameOutcome {
    bool ok = false;
    std::string reason; // why the file was not renamed
    FileStamp stamp;    // the file under its new name (a rename changes its status time)
};

// Renames the row's file to newName in the same folder, never replacing an existing file, and
// only when it is still the file the search found. A row that may not be acted on
// (ResultRow::mayBeActedOn) is never renamed. The row itself is not changed.
RenameOutcome renameFileOfRow(const ResultRow& row, const std::string& newName);

} // namespace trevalo
