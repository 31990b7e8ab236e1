// SPDX-License-Identifier: GPL-2.0-or-later
#include "results/FileOperations.h"

#include "platform/ByteText.h"
#include "platform/FileRename.h"
#include "platform/FileSystem.h"
#include "platform/Trash.h"
#include "platform/TrashFolders.h"
#include "platform/UserText.h"
#include "results/ResultTotals.h"
#include "search/FolderProof.h"

#include <QCoreApplication>
#include <algorithm>
#include <cerrno>
#include <unordered_map>
#include <unordered_set>

namespace trevalo {

DeletePlan planDelete(const std::vector<ResultRow>& rows, const RowScope& scope) {
    DeletePlan plan;
    scope.forEach(rows.size(), [&](std::size_t i) {
        const ResultRow& row = rows[i];
        if (row.checked && row.mayBeActedOn())
            plan.items.push_back({i,
                                  row.path(),
                                  row.size,
                                  row.stamp,
                                  row.mtimeKnown,
                                  {},
                                  {},
                                  row.target,
                                  row.claim()});
    });
    return plan;
}

void addOtherNames(DeletePlan& plan, const std::vector<ResultRow>& rows) {
    plan.otherNames.clear();
    for (const DeletePlan::Item& item : plan.items) {
        const ResultRow& row = rows[item.row];
        if (!row.otherNames() || !item.stampKnown)
            continue;
        for (const std::string& path : *row.otherNames())
            plan.otherNames.push_back(
                {item.row, path, item.size, item.stamp, true, {}, {}, RowTarget::File, {}});
    }
}

SpaceFreed spaceFreed(const DeletePlan& plan, const std::vector<ResultRow>& rows) {
    // The names each file loses: its row's, and those of its other names in the plan.
    std::unordered_map<std::size_t, std::size_t> namesGoing;
    for (const DeletePlan::Item& item : plan.items)
        namesGoing[item.row] = 1;
    for (const DeletePlan::Item& item : plan.otherNames)
        ++namesGoing[item.row];
    SpaceFreed freed;
    for (const DeletePlan::Item& item : plan.items) {
        const ResultRow& row = rows[item.row];
        if (namesGoing[item.row] >= row.links)
            freed.bytes += item.size > 0 ? item.size : 0;
        else
            ++freed.filesKeptByNames;
    }
    return freed;
}

DeletePlan planLinks(const std::vector<ResultRow>& duplicates, const RowScope& scope,
                     std::vector<DeleteFailure>& left) {
    const auto usable = [](const ResultRow& r) {
        return !r.isFolder && !r.stale() && r.mtimeKnown && r.group >= 0;
    };
    // The copy each group keeps: its first unmarked usable row, a kept one before all others.
    std::unordered_map<std::int64_t, const ResultRow*> keeps;
    for (const ResultRow& r : duplicates) {
        if (r.checked || !usable(r))
            continue;
        const auto [it, isNew] = keeps.emplace(r.group, &r);
        if (!isNew && r.kept && !it->second->kept)
            it->second = &r;
    }
    DeletePlan plan;
    scope.forEach(duplicates.size(), [&](std::size_t i) {
        const ResultRow& row = duplicates[i];
        if (!row.checked || !row.mayBeActedOn())
            return;
        const auto copy = keeps.find(row.group);
        if (!usable(row) || copy == keeps.end()) {
            left.push_back({i, row.path(),
                            usable(row) ? userText("FileOperations",
                                                   "its group keeps no unmarked copy to link to")
                                        : userText("FileOperations", kNotMeasured)});
            return;
        }
        plan.items.push_back({i,
                              row.path(),
                              row.size,
                              row.stamp,
                              true,
                              copy->second->path(),
                              copy->second->stamp,
                              RowTarget::File,
                              {}});
    });
    return plan;
}

CopiesLeft copiesLeftAfter(const DeletePlan& plan, const std::vector<ResultRow>& duplicates) {
    std::unordered_set<std::string> going;
    // A name of a file that goes is no copy of it, whatever path it is listed under.
    std::unordered_set<FileId, FileIdHash> goingFiles;
    std::vector<std::string> goingFolders; // each ending in "/"
    for (const DeletePlan::Item& item : plan.items) {
        if (item.target == RowTarget::Folder)
            goingFolders.push_back(item.path + "/");
        if (item.target != RowTarget::File)
            continue;
        going.insert(item.path);
        if (item.stampKnown)
            goingFiles.insert(item.stamp.id());
    }

    // The groups the plan touches, each with the members that stay.
    std::unordered_map<std::string, std::int64_t> groupOf;
    std::unordered_map<std::int64_t, std::vector<const ResultRow*>> staying;
    for (const ResultRow& row : duplicates) {
        if (row.isFolder)
            continue;
        std::string path = row.path();
        if (going.contains(path))
            groupOf.emplace(std::move(path), row.group);
        else
            staying[row.group].push_back(&row);
    }
    std::unordered_set<std::int64_t> lost, withCopy;
    for (const auto& [path, group] : groupOf) {
        if (lost.contains(group) || withCopy.contains(group))
            continue;
        const auto members = staying.find(group);
        const bool copyLeft =
            members != staying.end() &&
            std::any_of(members->second.begin(), members->second.end(), [&](const ResultRow* r) {
                return r->mtimeKnown && !r->stale() && !goingFiles.contains(r->stamp.id()) &&
                       isSameFile(statPath(r->path(), false), r->stamp);
            });
        (copyLeft ? withCopy : lost).insert(group);
    }

    CopiesLeft left;
    left.groupsWithoutCopy = lost.size();
    const auto inGoingFolder = [&](const std::string& path) {
        return std::any_of(goingFolders.begin(), goingFolders.end(),
                           [&](const std::string& f) { return path.rfind(f, 0) == 0; });
    };
    for (const DeletePlan::Item& item : plan.items) {
        if (item.target != RowTarget::File) {
            if (!item.claim)
                continue;
            for (const FolderClaim::Item& file : item.claim->items)
                if (!file.copyPath.empty() &&
                    (going.contains(file.copyPath) || inGoingFolder(file.copyPath) ||
                     !isSameFile(statPath(file.copyPath, false), file.copyStamp)))
                    ++left.filesWithoutCopy;
            continue;
        }
        if (item.size == 0)
            continue;
        const auto it = groupOf.find(item.path);
        if (it == groupOf.end() || lost.contains(it->second))
            ++left.filesWithoutCopy;
    }
    return left;
}

namespace {

FileKind kindOf(RowTarget target) {
    return target == RowTarget::Folder ? FileKind::Directory
           : target == RowTarget::Link ? FileKind::Symlink
                                       : FileKind::Regular;
}

} // namespace

DeleteOutcome trashPlannedFiles(const DeletePlan& plan, const DeleteProgress& progress,
                                const std::atomic<bool>* cancel) {
    DeleteOutcome outcome;
    const TrashFolders trashFolders = TrashFolders::current();
    const std::size_t count = plan.items.size();
    const std::size_t total = count + plan.otherNames.size();
    // The files with other names to go, as each one's last move left it: the move of a name
    // changes the file's status-change time, and only that.
    std::unordered_map<FileId, FileStamp, FileIdHash> movedBefore;
    for (std::size_t i = 0; i < total; ++i) {
        if (cancel && cancel->load()) {
            outcome.cancelled = true;
            break;
        }
        const bool other = i >= count;
        const DeletePlan::Item& item = other ? plan.otherNames[i - count] : plan.items[i];
        const FileId id = item.stamp.id();
        FileStamp expected = item.stamp;
        if (const auto it = movedBefore.find(id); it != movedBefore.end())
            expected = it->second;
        // The file must still be the one the search measured; its group may no longer be
        // identical otherwise.
        std::string reason;
        TrashResult trashed;
        if (!item.stampKnown) {
            reason = userText("FileOperations", kNotMeasured);
        } else if (item.target != RowTarget::File &&
                   !(reason =
                         proveEntry(item.path, item.target, item.stamp, item.claim.get(), cancel))
                        .empty()) {
            // Not as its row says: it stays, with why.
        } else if (trashed = moveToTrash(item.path, &expected, &trashFolders, kindOf(item.target));
                   !trashed.ok()) {
            reason = trashed.reason;
        }

        if (reason.empty()) {
            if (!plan.otherNames.empty()) {
                const FileStatus now =
                    statEntry(trashed.trashFolder + "/files/" + trashed.trashedName);
                if (isSameFile(now, item.stamp, StatusTime::SetByMove))
                    movedBefore[id] = now.stamp();
            }
            TrashLocation place{
                std::move(trashed.trashFolder), std::move(trashed.trashedName), trashed.origin, {}};
            (other ? outcome.otherMoved : outcome.moved).push_back(other ? i - count : item.row);
            (other ? outcome.otherPlaces : outcome.places).push_back(std::move(place));
        } else {
            (other ? outcome.otherFailures : outcome.failures)
                .push_back({item.row, item.path, std::move(reason)});
        }
        if (progress)
            progress(i + 1, total);
    }
    return outcome;
}

DeleteOutcome replacePlannedFiles(const DeletePlan& plan, LinkKind kind,
                                  const DeleteProgress& progress, const std::atomic<bool>* cancel) {
    DeleteOutcome outcome;
    const TrashFolders trashFolders = TrashFolders::current();
    const std::size_t total = plan.items.size();
    for (std::size_t i = 0; i < total; ++i) {
        if (cancel && cancel->load()) {
            outcome.cancelled = true;
            break;
        }
        const DeletePlan::Item& item = plan.items[i];
        LinkResult linked = replaceWithLink(item.path, item.stamp, item.keptPath, item.keptStamp,
                                            kind, &trashFolders);
        if (linked.ok()) {
            outcome.moved.push_back(item.row);
            outcome.places.push_back({std::move(linked.trashed.trashFolder),
                                      std::move(linked.trashed.trashedName), linked.trashed.origin,
                                      linked.link});
        } else {
            outcome.failures.push_back({item.row, item.path, std::move(linked.reason)});
        }
        if (progress)
            progress(i + 1, total);
    }
    return outcome;
}

QString failureMessage(const std::vector<DeleteFailure>& failures, std::size_t maxListed) {
    QString text = QCoreApplication::translate("FileOperations", "Deletion failed: ");
    std::size_t listed = 0;
    for (const DeleteFailure& f : failures) {
        if (maxListed > 0 && listed == maxListed)
            break;
        text +=
            QLatin1Char('\n') + displayText(f.path) + QStringLiteral(": ") + displayText(f.reason);
        ++listed;
    }
    if (listed < failures.size())
        text += QLatin1Char('\n') +
                countedText("FileOperations", "... and %n more", nullptr, failures.size() - listed);
    return text;
}

bool isAcceptableNewName(const std::string& newName) {
    return !newName.empty() && newName != "." && newName != ".." &&
           newName.find('/') == std::string::npos && newName.find('\0') == std::string::npos;
}

RenameOutcome renameFileOfRow(const ResultRow& row, const std::string& newName) {
    if (!isAcceptableNewName(newName))
        return {false, userText("FileOperations", "not a file name"), {}};
    if (row.isFolder)
        return {false, errorText(EISDIR), {}};
    if (row.kept)
        return {false, kKeptFile, {}};
    if (row.stale())
        return {false, row.staleReason(), {}};
    if (!row.mtimeKnown)
        return {false, userText("FileOperations", kNotMeasured), {}};
    const CheckedRename r = renameKnownFile(row.folder(), row.name, newName, row.stamp);
    if (r.changed())
        return {false, userText("OsError", kChangedSinceSearch), {}};
    if (!r.ok())
        return {false, r.error.text(), {}};
    return {true, {}, r.stamp};
}

} // namespace trevalo
