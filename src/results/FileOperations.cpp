#include "results/FileOperations.h"

#include "platform/ByteText.h"
#include "platform/FileRename.h"
#include "platform/FileSystem.h"
#include "platform/Trash.h"

#include <unordered_map>

namespace trevalo {

std::size_t countMarked(const std::vector<ResultRow>& rows) {
    std::size_t n = 0;
    for (const ResultRow& row : rows)
        n += row.checked ? 1 : 0;
    return n;
}

std::size_t groupsLosingEveryCopy(const std::vector<ResultRow>& rows) {
    struct Count {
        std::size_t rows = 0;
        std::size_t marked = 0;
    };
    std::unordered_map<std::int64_t, Count> groups;
    for (const ResultRow& row : rows) {
        Count& c = groups[row.group];
        ++c.rows;
        c.marked += row.checked ? 1 : 0;
    }
    std::size_t lost = 0;
    for (const auto& [group, c] : groups)
        lost += (c.marked == c.rows) ? 1 : 0;
    return lost;
}

DeletePlan planDelete(const std::vector<ResultRow>& rows) {
    DeletePlan plan;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const ResultRow& row = rows[i];
        if (row.checked)
            plan.items.push_back({i, row.path(), row.size, row.mtime, row.mtimeKnown});
    }
    return plan;
}

DeleteOutcome trashPlannedFiles(const DeletePlan& plan, const DeleteProgress& progress,
                                const std::atomic<bool>* cancel) {
    DeleteOutcome outcome;
    const std::size_t total = plan.items.size();
    for (std::size_t i = 0; i < total; ++i) {
        if (cancel && cancel->load()) {
            outcome.cancelled = true;
            break;
        }
        const DeletePlan::Item& item = plan.items[i];
        // The file must still be the one the search measured; its group may no longer be
        // identical otherwise.
        const FileStatus now = statPath(item.path, false);
        std::string reason;
        if (now.kind == FileKind::Missing || now.kind == FileKind::Failed)
            reason = errorText(now.error);
        else if (now.kind != FileKind::Regular || now.size != item.size ||
                 (item.mtimeKnown && now.mtime != item.mtime))
            reason = kChangedSinceSearch;
        else if (const TrashResult trashed = moveToTrash(item.path); !trashed.ok)
            reason = trashed.reason;

        if (reason.empty())
            outcome.moved.push_back(item.row);
        else
            outcome.failures.push_back({item.row, item.path, std::move(reason)});
        if (progress)
            progress(i + 1, total);
    }
    return outcome;
}

DeleteOutcome trashMarkedRows(const std::vector<ResultRow>& rows, const DeleteProgress& progress,
                              const std::atomic<bool>* cancel) {
    return trashPlannedFiles(planDelete(rows), progress, cancel);
}

QString failureMessage(const std::vector<DeleteFailure>& failures, std::size_t maxListed) {
    QString text = QStringLiteral("Deletion failed: ");
    std::size_t listed = 0;
    for (const DeleteFailure& f : failures) {
        if (maxListed > 0 && listed == maxListed)
            break;
        text +=
            QLatin1Char('\n') + displayText(f.path) + QStringLiteral(": ") + displayText(f.reason);
        ++listed;
    }
    if (listed < failures.size())
        text += QStringLiteral("\n... and %1 more").arg(failures.size() - listed);
    return text;
}

bool isAcceptableNewName(const std::string& newName) {
    return !newName.empty() && newName != "." && newName != ".." &&
           newName.find('/') == std::string::npos && newName.find('\0') == std::string::npos;
}

RenameOutcome renameFileOfRow(const ResultRow& row, const std::string& newName) {
    if (!isAcceptableNewName(newName))
        return {false, "not a file name"};
    const RenameResult r = renameNoReplace(row.path(), row.folder + newName);
    if (!r.ok)
        return {false, errorText(r.error)};
    return {true, {}};
}

RenameOutcome renameRowFile(ResultRow& row, const std::string& newName) {
    RenameOutcome outcome = renameFileOfRow(row, newName);
    if (outcome.ok)
        row.name = newName;
    return outcome;
}

} // namespace trevalo
