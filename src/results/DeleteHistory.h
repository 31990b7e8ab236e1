// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "platform/Trash.h"
#include "results/FileOperations.h"
#include "search/ResultRow.h"

#include <QString>

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string>
#include <unordered_set>
#include <vector>

namespace trevalo {

// The deletes made since the window opened, to put back the last one, then the one before.

// One file a delete moved to the trash.
struct TrashedFile {
    std::string path; // where it was: folder + name
    FileStamp stamp;  // the file as it went
    TrashLocation location;
    bool folder = false; // a whole folder: the rows of the files in it went and come back with it
};

// One delete: the files it moved, and the rows it took out of each list.
class DeleteRecord {
public:
    DeleteRecord() = default;
    // The files of the plan that the outcome says went to the trash. lists names the lists the
    // plan was made from (a number that changes whenever a search or an opened file replaces
    // them).
    DeleteRecord(const DeletePlan& plan, const DeleteOutcome& outcome, std::uint64_t lists = 0);

    const std::vector<TrashedFile>& files() const { return files_; }
    std::uint64_t lists() const { return lists_; }
    bool empty() const { return files_.empty(); }

    // Whether a row of a list stands for a file of this delete, or for something inside a folder
    // of it; such a row is remembered, to
    // come back on a restore. Made to be the test of ResultListModel::removeRowsWhere, so that
    // the rows that go are the rows remembered.
    bool takeRow(int list, const ResultRow& row);
    const std::vector<ResultRow>& rowsOf(int list) const {
        return rows_[static_cast<std::size_t>(list)];
    }
    // Rows that left a list because the delete left their group with no other file: they come
    // back with the first file of their group that comes back.
    void keepSettled(int list, std::vector<ResultRow> rows);
    const std::vector<ResultRow>& settledOf(int list) const {
        return settled_[static_cast<std::size_t>(list)];
    }
    // The same delete without its first `tried` files: what is left to put back once a
    // restore was stopped after those.
    DeleteRecord untried(std::size_t tried) const;

private:
    std::vector<TrashedFile> files_;
    std::uint64_t lists_ = 0;
    std::unordered_set<std::string> paths_;
    std::vector<std::string> folders_; // the folders that went, each ending in "/"
    std::array<std::vector<ResultRow>, kResultListCount> rows_;
    std::array<std::vector<ResultRow>, kResultListCount> settled_;
};

struct RestoredFile {
    std::string path; // where the file was when it was deleted
    RestoreResult result;
};

struct RestoreReport {
    std::vector<RestoredFile> files; // every file of the delete tried, in its order
    bool cancelled = false;          // stopped before every file was tried
    // The remembered rows of the files that are back, per list, unmarked and with the stamp
    // of the restored file (the move changed its status time), ready to be listed again.
    std::array<std::vector<ResultRow>, kResultListCount> rows;

    std::size_t restoredCount() const;
};

// Puts the files of a delete back (restoreFromTrash, each checked to be the file that went, and
// only into the folder it went from). The rows of the files that are back, and the rows their
// going had settled, come with the report when listed is true; a delete made from lists that
// have since been replaced puts its files back without rows, since the present lists never
// compared them. progress is called after each file; cancel, when given, is read before each.
// Runs on any thread.
RestoreReport restoreDelete(const DeleteRecord& record, bool listed = true,
                            const DeleteProgress& progress = {},
                            const std::atomic<bool>* cancel = nullptr);

// "Not restored:" and, one line each, the path and what kept each file that is not back; with
// maxListed > 0 only that many, and a last line tells how many more. Empty when every file is
// back.
QString restoreMessage(const RestoreReport& report, std::size_t maxListed = 0);

class DeleteHistory {
public:
    // Remembers a delete; one that moved no file is not kept.
    void push(DeleteRecord record);
    bool empty() const { return records_.empty(); }
    std::size_t size() const { return records_.size(); }
    // Takes the last delete off the history, to restore it elsewhere (restoreDelete).
    DeleteRecord takeLast();
    // Takes the last delete off the history and restores it; its rows come back only when it
    // was made from the lists numbered `lists` (those shown now). Files that could not come back
    // stay in the trash; the delete is not offered again.
    RestoreReport restoreLast(std::uint64_t lists = 0);
    // The last delete, to restore elsewhere; nullptr when there is none.
    const DeleteRecord* last() const { return records_.empty() ? nullptr : &records_.back(); }
    void clear() { records_.clear(); }

private:
    std::vector<DeleteRecord> records_;
};

} // namespace trevalo
