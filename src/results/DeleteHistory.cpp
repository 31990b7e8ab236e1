// SPDX-License-Identifier: GPL-2.0-or-later
#include "results/DeleteHistory.h"

#include "platform/ByteText.h"
#include "platform/UserText.h"
#include "results/GroupNumbers.h"
#include "results/ResultTotals.h"

#include <QCoreApplication>
#include <algorithm>
#include <unordered_map>

namespace trevalo {

DeleteRecord::DeleteRecord(const DeletePlan& plan, const DeleteOutcome& outcome,
                           std::uint64_t lists)
    : lists_(lists) {
    const std::vector<DeletePlan::Item>& items = plan.items;
    for (std::size_t i = 0; i < outcome.moved.size() && i < outcome.places.size(); ++i) {
        const std::size_t row = outcome.moved[i];
        const auto it = std::lower_bound(
            items.begin(), items.end(), row,
            [](const DeletePlan::Item& item, std::size_t r) { return item.row < r; });
        if (it == items.end() || it->row != row)
            continue;
        const bool folder = it->target == RowTarget::Folder;
        files_.push_back({it->path, it->stamp, outcome.places[i], folder});
        paths_.insert(it->path);
        if (folder)
            folders_.push_back(it->path + "/");
    }
    // Other names of the files have no rows of their own: they come back as files only.
    for (std::size_t i = 0; i < outcome.otherMoved.size() && i < outcome.otherPlaces.size(); ++i) {
        const std::size_t at = outcome.otherMoved[i];
        if (at < plan.otherNames.size())
            files_.push_back(
                {plan.otherNames[at].path, plan.otherNames[at].stamp, outcome.otherPlaces[i]});
    }
}

namespace {

// The folder of `folders` (each ending in "/") that holds path, or nullptr.
const std::string* folderHolding(const std::vector<std::string>& folders, const std::string& path) {
    for (const std::string& f : folders)
        if (path.rfind(f, 0) == 0)
            return &f;
    return nullptr;
}

} // namespace

bool DeleteRecord::takeRow(int list, const ResultRow& row) {
    if (row.isFolder || list < 0 || list >= kResultListCount)
        return false;
    const std::string path = row.path();
    if (!paths_.contains(path) && !folderHolding(folders_, path))
        return false;
    rows_[static_cast<std::size_t>(list)].push_back(row);
    return true;
}

void DeleteRecord::keepSettled(int list, std::vector<ResultRow> rows) {
    auto& kept = settled_[static_cast<std::size_t>(list)];
    kept.insert(kept.end(), std::make_move_iterator(rows.begin()),
                std::make_move_iterator(rows.end()));
}

DeleteRecord DeleteRecord::untried(std::size_t tried) const {
    DeleteRecord rest;
    rest.lists_ = lists_;
    rest.settled_ = settled_;
    for (std::size_t i = tried; i < files_.size(); ++i) {
        rest.files_.push_back(files_[i]);
        rest.paths_.insert(files_[i].path);
        if (files_[i].folder)
            rest.folders_.push_back(files_[i].path + "/");
    }
    for (int list = 0; list < kResultListCount; ++list)
        for (const ResultRow& row : rowsOf(list))
            if (rest.paths_.contains(row.path()) || folderHolding(rest.folders_, row.path()))
                rest.rows_[static_cast<std::size_t>(list)].push_back(row);
    return rest;
}

std::size_t RestoreReport::restoredCount() const {
    return static_cast<std::size_t>(std::count_if(
        files.begin(), files.end(), [](const RestoredFile& f) { return f.result.restored(); }));
}

RestoreReport restoreDelete(const DeleteRecord& record, bool listed, const DeleteProgress& progress,
                            const std::atomic<bool>* cancel) {
    RestoreReport report;
    std::unordered_map<std::string, FileStamp> back;
    std::vector<std::string> backFolders; // folders back whole, each ending in "/"
    const std::size_t total = record.files().size();
    for (const TrashedFile& file : record.files()) {
        if (cancel && cancel->load()) {
            report.cancelled = true;
            break;
        }
        const TrashLocation& at = file.location;
        RestoreResult result =
            at.link ? undoLink(file.path, *at.link, at.trashFolder, at.trashedName, file.stamp,
                               at.origin)
                    : restoreFromTrash(at.trashFolder, at.trashedName, &file.stamp, &at.origin);
        if (result.restored() && result.originalPath == file.path) {
            back.emplace(file.path, result.stamp);
            if (file.folder)
                backFolders.push_back(file.path + "/");
        }
        report.files.push_back({file.path, std::move(result)});
        if (progress)
            progress(report.files.size(), total);
    }
    for (int list = 0; list < kResultListCount && listed; ++list) {
        auto& rows = report.rows[static_cast<std::size_t>(list)];
        for (ResultRow row : record.rowsOf(list)) {
            // What is inside a folder that came back is as it went; what came back by itself
            // has the stamp it has now.
            const auto it = back.find(row.path());
            if (it != back.end())
                row.stamp = it->second;
            else if (!folderHolding(backFolders, row.path()))
                continue;
            row.checked = false;
            rows.push_back(std::move(row));
        }
        // The rows whose group the delete had settled join the files of it that are back.
        const std::vector<ResultRow>& settled = record.settledOf(list);
        if (rows.empty() || settled.empty())
            continue;
        // The keys hold the names of the rows back, so those rows stay where they are until
        // the set is done with.
        GroupKeySet groups(rows.size());
        for (const ResultRow& row : rows) {
            GroupKey key;
            if (groupKeyOf(row, list, key))
                groups.insert(key);
        }
        std::vector<ResultRow> joining;
        for (const ResultRow& row : settled) {
            GroupKey key;
            if (groupKeyOf(row, list, key) && groups.contains(key))
                joining.push_back(row);
        }
        rows.insert(rows.end(), joining.begin(), joining.end());
    }
    return report;
}

QString restoreMessage(const RestoreReport& report, std::size_t maxListed) {
    QString text;
    std::size_t listed = 0, notBack = 0;
    for (const RestoredFile& f : report.files) {
        if (f.result.restored())
            continue;
        ++notBack;
        if (maxListed > 0 && listed == maxListed)
            continue;
        text += QLatin1Char('\n') + displayText(f.path) + QStringLiteral(": ") +
                displayText(f.result.reason);
        ++listed;
    }
    if (notBack == 0)
        return {};
    if (listed < notBack)
        text += QLatin1Char('\n') +
                countedText("FileOperations", "... and %n more", nullptr, notBack - listed);
    return QCoreApplication::translate("DeleteHistory", "Not restored:") + text;
}

void DeleteHistory::push(DeleteRecord record) {
    if (!record.empty())
        records_.push_back(std::move(record));
}

DeleteRecord DeleteHistory::takeLast() {
    if (records_.empty())
        return {};
    DeleteRecord last = std::move(records_.back());
    records_.pop_back();
    return last;
}

RestoreReport DeleteHistory::restoreLast(std::uint64_t lists) {
    const DeleteRecord last = takeLast();
    return restoreDelete(last, last.lists() == lists);
}

} // namespace trevalo
