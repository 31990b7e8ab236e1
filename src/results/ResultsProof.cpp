// SPDX-License-Identifier: GPL-2.0-or-later
#include "results/ResultsProof.h"

#include "platform/FileSystem.h"
#include "platform/PathText.h"
#include "platform/UserText.h"
#include "results/GroupNumbers.h"
#include "search/ContentCompare.h"
#include "search/FolderProof.h"

#include <QtGlobal>
#include <algorithm>
#include <chrono>
#include <unordered_map>

namespace trevalo {

namespace {

constexpr const char* kGone =
    QT_TRANSLATE_NOOP("ResultsProof", "gone since these results were saved");
constexpr const char* kNotRegular = QT_TRANSLATE_NOOP("ResultsProof", "no longer a regular file");
constexpr const char* kChanged =
    QT_TRANSLATE_NOOP("ResultsProof", "changed since these results were saved");
constexpr const char* kNoDate = QT_TRANSLATE_NOOP(
    "ResultsProof",
    "the results file gives no date for it, so nothing shows it is the file the search found");
constexpr const char* kMixedSizes = QT_TRANSLATE_NOOP(
    "ResultsProof", "its group in the results file holds files of different sizes");
constexpr const char* kNotEmpty =
    QT_TRANSLATE_NOOP("ResultsProof", "the results file lists it as empty, but gives a size");
constexpr const char* kNotProven =
    QT_TRANSLATE_NOOP("ResultsProof", "not compared again: the check was cancelled");

// Rows looked at between two looks at the cancel request while files are looked at.
constexpr std::size_t kRowsBetweenChecks = 512;
// The least time between two reports of the bytes compared.
constexpr std::chrono::milliseconds kWorkInterval{100};

bool isFileRow(const ResultRow& row) {
    return !row.isFolder && row.size >= 0;
}

bool live(const ResultRow& row) {
    return isFileRow(row) && !row.stale();
}

// Whether the row's name is a name in its folder, so that its path leads to a file of the
// folder the row shows. A hand-edited file may hold "../" in a name, or a folder without its
// "/", whose path leads to another folder's file.
bool namesAFileOfItsFolder(const ResultRow& row) {
    return !row.name.empty() && row.name != "." && row.name != ".." &&
           row.name.find('/') == std::string::npos && row.name.find('\0') == std::string::npos &&
           (row.folder().empty() || row.folder().back() == '/');
}

class Proof {
public:
    Proof(ResultLists& lists, const ProofControl& control) : lists_(lists), control_(control) {}

    ProofReport run() {
        std::vector<ResultRow>& zero = list(ListZeroSize);
        for (ResultRow& row : zero)
            if (isFileRow(row) && row.size != 0)
                markStale(row, userText("ResultsProof", kNotEmpty));
        markMixedSizeGroups();
        for (int m = 0; m < kResultListCount; ++m) {
            std::vector<ResultRow>& rows = list(m);
            for (std::size_t i = 0; i < rows.size(); ++i) {
                if ((i % kRowsBetweenChecks == 0 || m >= kUsualListCount) && cancelled())
                    report_.cancelled = true;
                if (report_.cancelled) {
                    if (live(rows[i]))
                        markUnproven(rows[i]);
                    continue;
                }
                if (m >= kUsualListCount)
                    lookAtEntry(rows[i]);
                else
                    lookAtFile(rows[i]);
            }
            markSameFileRows(rows);
        }
        if (!report_.cancelled)
            proveGroups();
        else
            for (ResultRow& row : list(ListDuplicates))
                if (live(row))
                    markUnproven(row);
        settleGroups();
        return report_;
    }

private:
    std::vector<ResultRow>& list(int m) { return lists_[static_cast<std::size_t>(m)]; }

    bool cancelled() const { return control_.cancel && control_.cancel->load(); }

    void markStale(ResultRow& row, std::string reason) {
        row.setStaleReason(std::move(reason));
        row.checked = false;
        ++report_.stale;
    }
    void markUnproven(ResultRow& row) {
        markStale(row, userText("ResultsProof", kNotProven));
        --report_.stale;
        ++report_.unproven;
    }

    // The file of a row as it is now: still the one the results file describes, or stale.
    void lookAtFile(ResultRow& row) {
        if (!live(row))
            return;
        if (!row.mtimeKnown) {
            markStale(row, userText("ResultsProof", kNoDate));
            return;
        }
        // A relative folder would be looked up from whatever folder the window runs in, not
        // the one the results were written in.
        if (row.folder().empty() || row.folder().front() != '/') {
            markStale(row, userText("ResultsProof", "the results file gives no full path for it"));
            return;
        }
        if (!namesAFileOfItsFolder(row)) {
            markStale(row, withArgs(userText("ResultsProof", "cannot be looked at: %1"),
                                    {OsError(EINVAL).text()}));
            return;
        }
        const FileStatus now = statEntry(row.path());
        if (now.kind == FileKind::Missing)
            markStale(row, userText("ResultsProof", kGone));
        else if (now.kind == FileKind::Failed)
            markStale(row, withArgs(userText("ResultsProof", "cannot be looked at: %1"),
                                    {now.error.text()}));
        else if (now.kind != FileKind::Regular)
            markStale(row, userText("ResultsProof", kNotRegular));
        // A results file records only the size and the whole-second last-write time, not the
        // file's identity: this compares the claim with the disk. From here on the row holds
        // the present stamp, and every act on it asks isSameFile.
        else if (now.size != row.size || now.mtime != row.mtime)
            markStale(row, userText("ResultsProof", kChanged));
        else {
            row.stamp = now.stamp();
            // Its other names are not known: deleting it is told to free nothing.
            row.links = static_cast<std::uint16_t>(std::min<std::uint64_t>(now.links, 65535));
        }
    }

    // A file inside a folder of "Folders" as it is now, if it is still the file the results
    // file describes: its size, and its last-write time where the file gives it.
    static bool restamp(const std::string& path, FileStamp& stamp) {
        const FileStatus now = statEntry(path);
        if (now.kind != FileKind::Regular || now.size != stamp.size ||
            (stamp.mtime != 0 && now.mtime != stamp.mtime))
            return false;
        stamp = now.stamp();
        return true;
    }

    // The folder or link of a row of a whole-folder list as it is now, and its claim proven
    // again as a search's would be just before it is acted on (a folder of "Folders" file by
    // file, byte for byte against each copy).
    void lookAtEntry(ResultRow& row) {
        if (row.stale() || row.isFolder)
            return;
        if (!row.mtimeKnown) {
            markStale(row, userText("ResultsProof", kNoDate));
            return;
        }
        const FileStatus now = statEntry(withoutTrailingSlashes(row.path()));
        const FileKind kind =
            row.target == RowTarget::Link ? FileKind::Symlink : FileKind::Directory;
        if (now.kind == FileKind::Missing) {
            markStale(row, userText("ResultsProof", kGone));
            return;
        }
        if (now.kind != kind) {
            markStale(row, kind == FileKind::Symlink
                               ? userText("ResultsProof", "no longer a link")
                               : userText("ResultsProof", "no longer a folder"));
            return;
        }
        if (now.mtime != row.mtime) {
            markStale(row, userText("ResultsProof", kChanged));
            return;
        }
        row.stamp = now.stamp();
        if (row.claim()) {
            FolderClaim claim = *row.claim();
            for (FolderClaim::Item& item : claim.items)
                if (!restamp(item.path, item.stamp) ||
                    (!item.copyPath.empty() && !restamp(item.copyPath, item.copyStamp))) {
                    markStale(row, item.path + ": " + userText("ResultsProof", kChanged));
                    return;
                }
            row.setClaim(std::make_shared<const FolderClaim>(std::move(claim)));
        }
        const std::string reason = proveEntryRow(row, control_.cancel);
        if (cancelled())
            markUnproven(row);
        else if (!reason.empty())
            markStale(row, reason);
    }

    // One file, one row: a later row for a file (device and inode) an earlier row of the list
    // already stands for is not another copy of it. The rows are sorted by identity, then
    // position, in one flat vector: a million rows cost 24 MB for a moment, not a hash table's
    // nodes.
    void markSameFileRows(std::vector<ResultRow>& rows) {
        struct Seen {
            std::uint64_t device;
            std::uint64_t inode;
            std::size_t row;
            auto operator<=>(const Seen&) const = default;
        };
        std::vector<Seen> seen;
        for (std::size_t i = 0; i < rows.size(); ++i)
            if (live(rows[i]))
                seen.push_back({rows[i].stamp.device, rows[i].stamp.inode, i});
        std::sort(seen.begin(), seen.end());
        for (std::size_t k = 1, first = 0; k < seen.size(); ++k) {
            if (seen[k].device != seen[first].device || seen[k].inode != seen[first].inode) {
                first = k;
                continue;
            }
            markStale(rows[seen[k].row], withArgs(userText("ResultsProof", "the same file as %1"),
                                                  {rows[seen[first].row].path()}));
        }
    }

    // The rows of each group of "Duplicates", in list order; groups in the order they first
    // appear. A row outside any group stands alone.
    std::vector<std::vector<std::size_t>> duplicateGroups() {
        const std::vector<ResultRow>& rows = list(ListDuplicates);
        std::vector<std::vector<std::size_t>> groups;
        std::unordered_map<std::int64_t, std::size_t> at;
        for (std::size_t i = 0; i < rows.size(); ++i) {
            if (rows[i].group < 0) {
                groups.push_back({i});
                continue;
            }
            const auto [it, isNew] = at.emplace(rows[i].group, groups.size());
            if (isNew)
                groups.emplace_back();
            groups[it->second].push_back(i);
        }
        return groups;
    }

    void markMixedSizeGroups() {
        std::vector<ResultRow>& rows = list(ListDuplicates);
        for (const std::vector<std::size_t>& group : duplicateGroups()) {
            const bool mixed = std::any_of(group.begin(), group.end(), [&](std::size_t i) {
                return rows[i].size != rows[group.front()].size;
            });
            if (mixed)
                for (const std::size_t i : group)
                    if (!rows[i].stale())
                        markStale(rows[i], userText("ResultsProof", kMixedSizes));
        }
    }

    // Every group of "Duplicates" with two or more files still as described is compared again.
    void proveGroups() {
        std::vector<ResultRow>& rows = list(ListDuplicates);
        std::int64_t nextKey = 0;
        for (const ResultRow& row : rows)
            nextKey = std::max(nextKey, row.group + 1);

        struct Run {
            std::int64_t start;
            std::int64_t end;
            std::int64_t key;
            std::vector<std::size_t> rows; // the list rows of table[start..end], in order
        };
        std::vector<Run> runs;
        FileTable table;
        std::vector<char> leaving(rows.size(), 0);
        for (const std::vector<std::size_t>& group : duplicateGroups()) {
            std::vector<std::size_t> members;
            for (const std::size_t i : group)
                if (live(rows[i]))
                    members.push_back(i);
            if (members.size() < 2)
                continue; // alone: it leaves with the other rows without a group
            Run run{static_cast<std::int64_t>(table.size()), 0, rows[members.front()].group,
                    members};
            for (const std::size_t i : members) {
                FileEntry entry;
                entry.path = rows[i].path();
                entry.size = rows[i].size;
                entry.stamp = rows[i].stamp;
                table.push_back(std::move(entry));
            }
            run.end = static_cast<std::int64_t>(table.size()) - 1;
            runs.push_back(std::move(run));
        }

        SearchWork work;
        work.phase = SearchPhase::Duplicates;
        work.files = static_cast<std::int64_t>(table.size());
        for (const Run& r : runs)
            work.bytesTotal +=
                table[static_cast<std::size_t>(r.start)].size * (r.end - r.start + 1);
        auto lastReport = std::chrono::steady_clock::time_point{};
        const auto reportWork = [&](std::int64_t done, bool always) {
            const auto now = std::chrono::steady_clock::now();
            if (!control_.work || (!always && now - lastReport < kWorkInterval))
                return;
            lastReport = now;
            work.bytesDone = std::min(done, work.bytesTotal);
            control_.work(work);
        };
        reportWork(0, true);

        std::int64_t bytesDone = 0;
        for (std::size_t k = 0; k < runs.size(); ++k) {
            const Run& r = runs[k];
            const std::int64_t size = table[static_cast<std::size_t>(r.start)].size;
            CompareControl compare;
            compare.cancel = control_.cancel;
            compare.progress = [&](std::int64_t index) {
                reportWork(bytesDone +
                               size * std::clamp<std::int64_t>(index - r.start, 0, r.end - r.start),
                           false);
            };
            if (report_.cancelled || !groupIdenticalFiles(table, r.start, r.end, compare)) {
                report_.cancelled = true;
                for (const std::size_t i : r.rows)
                    markUnproven(rows[i]);
                continue;
            }
            bytesDone += size * (r.end - r.start + 1);
            reportWork(bytesDone, false);
            settleRun(r.start, r.rows, r.key, table, leaving, nextKey);
        }
        reportWork(bytesDone, true);
        dropRows(rows, leaving);
    }

    // Takes out the rows marked as leaving, and counts them.
    void dropRows(std::vector<ResultRow>& rows, const std::vector<char>& leaving) {
        report_.settled += static_cast<std::size_t>(std::count(leaving.begin(), leaving.end(), 1));
        std::size_t at = 0;
        std::erase_if(rows, [&](const ResultRow&) { return leaving[at++] != 0; });
    }

    // The outcome of one group's comparison: the group that holds its first proven member keeps
    // the key, any other group of identical files takes a new one, a file identical to none
    // leaves the list, and one that could not be read is stale.
    void settleRun(std::int64_t start, const std::vector<std::size_t>& members, std::int64_t key,
                   const FileTable& table, std::vector<char>& leaving, std::int64_t& nextKey) {
        std::vector<ResultRow>& rows = list(ListDuplicates);
        std::unordered_map<std::int64_t, std::int64_t> keyOf; // comparison's key -> row's key
        for (std::size_t j = 0; j < members.size(); ++j) {
            const FileEntry& entry = table[static_cast<std::size_t>(start) + j];
            ResultRow& row = rows[members[j]];
            if (entry.group == GroupMark::Unreadable) {
                markStale(row, withArgs(userText("ResultsProof", "could not be read: %1"),
                                        {reasonText(entry.reason)}));
                continue;
            }
            if (entry.group < 0) {
                leaving[members[j]] = 1;
                continue;
            }
            const auto [it, isNew] = keyOf.emplace(entry.group, keyOf.empty() ? key : nextKey);
            if (isNew && it->second == nextKey)
                ++nextKey;
            if (it->second != key)
                ++report_.split;
            row.group = it->second;
        }
    }

    // A file that shares its group with no other file it may be acted on with leaves: in
    // "Same Name" the groups are the names (letter case ignored) as the rows give them now.
    void settleGroups() {
        for (const int m : {int(ListDuplicates), int(ListSameName)}) {
            std::vector<ResultRow>& rows = list(m);
            std::vector<char> leaving(rows.size(), 0);
            for (const int i : rowsWithoutGroup(rows, m))
                leaving[static_cast<std::size_t>(i)] = 1;
            dropRows(rows, leaving);
        }
    }

    ResultLists& lists_;
    const ProofControl& control_;
    ProofReport report_;
};

} // namespace

ProofReport proveOpenedResults(ResultLists& lists, const ProofControl& control) {
    return Proof(lists, control).run();
}

} // namespace trevalo
