#pragma once

#include "search/ResultRow.h"

#include <QString>

#include <atomic>
#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace trevalo {

// Deleting the marked files of a result list to the trash, and renaming the file of one row.
// Nothing here touches a widget; the delete runs on any thread.

// How many rows are marked.
std::size_t countMarked(const std::vector<ResultRow>& rows);

// In "Duplicates": how many groups (rows with one group number) have every row marked, so that
// deleting the marked files would leave no copy of them.
std::size_t groupsLosingEveryCopy(const std::vector<ResultRow>& rows);

// The marked rows of a list, taken on the window's thread so that the delete can run on a
// worker while the list stays as it is.
struct DeletePlan {
    struct Item {
        std::size_t row = 0; // position in the list when the plan was made
        std::string path;    // folder + name, bytes
        std::int64_t size = 0;
        std::int64_t mtime = 0;
        bool mtimeKnown = false;
    };
    std::vector<Item> items; // in row order
};
DeletePlan planDelete(const std::vector<ResultRow>& rows);

struct DeleteFailure {
    std::size_t row = 0;
    std::string path;
    std::string reason;
};

struct DeleteOutcome {
    std::vector<std::size_t> moved;      // rows whose files went to the trash, ascending
    std::vector<DeleteFailure> failures; // files that stayed, in row order
    bool cancelled = false;              // stopped early; the rest was not tried and stays
};

// Called after each file, on the thread that runs the delete, with the number done so far and
// the number in the plan.
using DeleteProgress = std::function<void(std::size_t done, std::size_t total)>;

// The reason given for a file that no longer has the size or last-write time of its row.
inline constexpr const char* kChangedSinceSearch = "changed since the search";

// Moves the files of a plan to the trash, in order. Just before a file goes it is looked at
// again: a file that is no longer a regular file of the row's size and (when known) last-write
// time has changed since the search and stays. cancel, when given, is read before each file.
DeleteOutcome trashPlannedFiles(const DeletePlan& plan, const DeleteProgress& progress = {},
                                const std::atomic<bool>* cancel = nullptr);

// planDelete and trashPlannedFiles in one call, for callers that keep the rows still.
DeleteOutcome trashMarkedRows(const std::vector<ResultRow>& rows,
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
};

// Renames the row's file to newName in the same folder, never replacing an existing file.
// The row itself is not changed.
RenameOutcome renameFileOfRow(const ResultRow& row, const std::string& newName);

// renameFileOfRow, and on success the row's name becomes newName (its folder stays).
RenameOutcome renameRowFile(ResultRow& row, const std::string& newName);

} // namespace trevalo
