// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "search/FolderClaim.h"
#include "search/OwnedValue.h"
#include "search/SearchState.h"

#include <QtGlobal>
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace trevalo {

// Columns of a result list, 0-based.
enum ResultColumn : int {
    NameColumn = 0,
    FolderColumn = 1,
    GroupColumn = 2,
    SizeColumn = 3,
    DateColumn = 4
};
inline constexpr int kResultColumnCount = 5;
inline constexpr std::array<std::string_view, kResultColumnCount> kResultColumnCaptions = {
    QT_TRANSLATE_NOOP("ResultRow", "Name"), QT_TRANSLATE_NOOP("ResultRow", "In Folder"),
    QT_TRANSLATE_NOOP("ResultRow", "#"), QT_TRANSLATE_NOOP("ResultRow", "Size"),
    QT_TRANSLATE_NOOP("ResultRow", "Date Modified")};

// What a row names on the disk: a regular file, a whole folder (moved to the trash with
// everything in it), or a symbolic link (moved as a link, its target left alone).
enum class RowTarget : std::uint8_t { File, Folder, Link };

// A row's folder, held once for all the rows of that folder that were built together.
using SharedFolder = std::shared_ptr<const std::string>;

// What few rows have: kept apart so that a row without any costs one null pointer.
struct RowExtras {
    std::string reason;
    std::string staleReason;
    std::shared_ptr<const FolderClaim> claim;
    std::shared_ptr<const std::vector<std::string>> otherNames;
};

// One row of a result list. It stands alone: its file is folder + name, byte for byte, and
// nothing refers back to the search table.
struct ResultRow {
    std::string name;
    std::int64_t group = GroupMark::None;
    std::int64_t size = 0;
    std::int64_t mtime = 0;      // last-write time in seconds, as measured by the search
    bool mtimeKnown = false;     // false: the date cell shows the zero date
    std::array<char, 32> date{}; // "yyyy/mm/dd hh:mm:ss" (longer past year 9999), NUL-ended
    bool checked = false;        // the mark for deletion
    bool isFolder = false;       // a folder that could not be listed: never acted on
    bool kept = false;           // found through a Keep path: never marked or acted on
    bool throughLink = false;    // found only through a link to a folder
    RowTarget target = RowTarget::File;
    std::uint16_t links = 1; // the names the file had (hard links), as measured
    // The file the search found (device, inode, size, times); valid when mtimeKnown. Whatever
    // acts on the row's file first checks that the path still names exactly this file.
    FileStamp stamp;

    // The folder, ending in "/".
    const std::string& folder() const { return folder_ ? *folder_ : noText(); }
    void setFolder(std::string_view folder) {
        folder_ = std::make_shared<const std::string>(folder);
    }
    void setFolder(SharedFolder folder) { folder_ = std::move(folder); }
    // The folder as it is shared with other rows (null for none).
    const SharedFolder& sharedFolder() const { return folder_; }

    // "Report - read errors": why, in the system's words (and the text of a "Folders" row).
    const std::string& reason() const { return extras_.get() ? extras_.get()->reason : noText(); }
    void setReason(std::string reason) {
        if (!reason.empty() || extras_.get())
            extras_.made().reason = std::move(reason);
    }
    // Why a row opened from saved results no longer stands for what it claims (its file
    // changed or went, or its group could not be proven again); empty while it does. A stale
    // row is shown greyed and is never marked or acted on.
    const std::string& staleReason() const {
        return extras_.get() ? extras_.get()->staleReason : noText();
    }
    void setStaleReason(std::string reason) {
        if (!reason.empty() || extras_.get())
            extras_.made().staleReason = std::move(reason);
    }
    // A row of "Folders": the files of the folder and their copies, as the search proved them.
    const std::shared_ptr<const FolderClaim>& claim() const {
        return extras_.get() ? extras_.get()->claim : none<std::shared_ptr<const FolderClaim>>();
    }
    void setClaim(std::shared_ptr<const FolderClaim> claim) {
        if (claim || extras_.get())
            extras_.made().claim = std::move(claim);
    }
    // The file's other names that the search found (paths), where it has any: null otherwise.
    const std::shared_ptr<const std::vector<std::string>>& otherNames() const {
        return extras_.get() ? extras_.get()->otherNames
                             : none<std::shared_ptr<const std::vector<std::string>>>();
    }
    void setOtherNames(std::shared_ptr<const std::vector<std::string>> names) {
        if (names || extras_.get())
            extras_.made().otherNames = std::move(names);
    }

    bool stale() const { return extras_.get() && !extras_.get()->staleReason.empty(); }
    // The one rule of which rows may be marked, counted as markable and acted on (deleted,
    // renamed, replaced by a link): not a folder's row, not a kept file's, not a stale one.
    bool mayBeActedOn() const { return !isFolder && !kept && !stale(); }
    // Whether the search found every name of the file, so that deleting them all frees it.
    bool allNamesFound() const {
        const RowExtras* extras = extras_.get();
        return links <=
               1 + (extras && extras->otherNames ? extras->otherNames->size() : std::size_t{0});
    }

    std::string path() const { return folder() + name; }
    std::string_view dateText() const { return std::string_view(date.data()); }

private:
    template <typename T> static const T& none() {
        static const T value;
        return value;
    }
    static const std::string& noText() { return none<std::string>(); }

    SharedFolder folder_;
    OwnedValue<RowExtras> extras_;
};

// Gives the rows it builds one shared text per folder.
class FolderShare {
public:
    const SharedFolder& of(std::string_view folder);

private:
    std::unordered_map<std::string_view, SharedFolder> folders_;
    const SharedFolder* last_ = nullptr;
};

// A number as decimal text padded on the left with blanks to 10 characters; longer numbers
// are not cut.
std::string padNumber(std::int64_t value);

// Builds the row of a table entry: name, folder, group key, size, local date, the file's stamp
// and, for a file that could not be measured or read, the reason.
ResultRow makeResultRow(const FileEntry& entry, FolderShare& folders);

// The row of a folder that could not be listed or entered (its path without a trailing "/").
ResultRow makeFolderRow(std::string_view folderPath, int reason);

// The row of a folder (no trailing "/") or a link that the search found, with what an lstat of
// it saw.
ResultRow makeEntryRow(std::string_view path, const FileStatus& status, RowTarget target);

// The date a row shows: its date text, or nothing for a file that could not be measured or a
// folder that could not be listed (their date text is the zero date).
std::string_view shownDate(const ResultRow& row);

// The text a cell shows, as bytes (names and folders are not converted); the size and date of
// a row that could not be measured are empty.
std::string cellText(const ResultRow& row, int column);

} // namespace trevalo
