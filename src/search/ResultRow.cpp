// SPDX-License-Identifier: GPL-2.0-or-later
#include "search/ResultRow.h"

#include "platform/PathText.h"
#include "platform/UserText.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace trevalo {

std::string padNumber(std::int64_t value) {
    std::string digits = std::to_string(value);
    if (digits.size() < 10)
        digits.insert(0, 10 - digits.size(), ' ');
    return digits;
}

const SharedFolder& FolderShare::of(std::string_view folder) {
    if (last_ && **last_ == folder)
        return *last_;
    auto found = folders_.find(folder);
    if (found == folders_.end()) {
        auto text = std::make_shared<const std::string>(folder);
        const std::string_view key(*text);
        found = folders_.emplace(key, std::move(text)).first;
    }
    last_ = &found->second;
    return *last_;
}

ResultRow makeResultRow(const FileEntry& entry, FolderShare& folders) {
    ResultRow row;
    row.setFolder(folders.of(entry.path.folder()));
    row.name = entry.path.name();
    row.group = entry.group;
    row.size = entry.size;
    row.mtimeKnown = entry.size >= 0;
    row.kept = entry.kept;
    row.throughLink = entry.throughLink;
    row.links = entry.links;
    if (row.mtimeKnown) {
        row.mtime = entry.stamp.mtime;
        row.stamp = entry.stamp;
    }
    const std::string date =
        row.mtimeKnown ? formatFileDate(row.mtime) : std::string(kZeroDateText);
    std::memcpy(row.date.data(), date.data(), std::min(date.size(), row.date.size() - 1));
    if (entry.reason != kReasonNone)
        row.setReason(reasonText(entry.reason));
    return row;
}

ResultRow makeFolderRow(std::string_view folderPath, int reason) {
    ResultRow row;
    row.setFolder(folderOf(folderPath));
    row.name = fileNameOf(folderPath);
    row.size = -1;
    row.isFolder = true;
    std::memcpy(row.date.data(), kZeroDateText.data(), kZeroDateText.size());
    const FolderProblem problem{std::string(folderPath), reason};
    row.setReason(problem.isFailure() ? withArgs(userText("ResultRow", "could not be listed: %1"),
                                                 {reasonText(reason)})
                                      : reasonText(reason));
    return row;
}

ResultRow makeEntryRow(std::string_view path, const FileStatus& status, RowTarget target) {
    ResultRow row;
    row.setFolder(folderOf(path));
    row.name = fileNameOf(path);
    row.target = target;
    row.size = target == RowTarget::Folder ? 0 : status.size;
    row.mtimeKnown = true;
    row.mtime = status.mtime;
    row.stamp = status.stamp();
    const std::string date = formatFileDate(row.mtime);
    std::memcpy(row.date.data(), date.data(), std::min(date.size(), row.date.size() - 1));
    return row;
}

std::string_view shownDate(const ResultRow& row) {
    return row.size < 0 || row.dateText() == kZeroDateText ? std::string_view() : row.dateText();
}

std::string cellText(const ResultRow& row, int column) {
    switch (column) {
    case NameColumn:
        return row.name;
    case FolderColumn:
        return row.folder();
    case GroupColumn:
        return padNumber(row.group);
    case SizeColumn:
        return row.size < 0 ? std::string() : padNumber(row.size);
    case DateColumn:
        return std::string(shownDate(row));
    default:
        return {};
    }
}

} // namespace trevalo
