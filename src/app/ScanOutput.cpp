// SPDX-License-Identifier: GPL-2.0-or-later
#include "ScanOutput.h"

#include "platform/ByteText.h"
#include "platform/PathText.h"
#include "platform/UserText.h"

#include <algorithm>
#include <cstring>
#include <numeric>

namespace trevalo {

namespace {

enum RecordFlag : std::uint8_t {
    MtimeKnown = 1,
    Checked = 2,
    IsFolder = 4,
    Kept = 8,
    ThroughLink = 16,
    HasExtra = 32
};

// Names go into buffers of this size, each filled before the next is started, so the buffers
// never move.
constexpr std::size_t kNameChunk = std::size_t{1} << 20;

} // namespace

std::uint32_t ScanRows::folderId(const ResultRow& row) {
    // The rows of one folder mostly share its text: they are told by its address, which stays
    // theirs while the text is held here, and each text is looked up once.
    const SharedFolder& shared = row.sharedFolder();
    if (shared) {
        const auto known = idOfShared_.find(shared.get());
        if (known != idOfShared_.end())
            return known->second;
    }
    const std::string& folder = row.folder();
    std::uint32_t id = 0;
    const auto found = folderIds_.find(folder);
    if (found != folderIds_.end()) {
        id = found->second;
        if (shared)
            heldShared_.push_back(shared);
    } else {
        id = static_cast<std::uint32_t>(folders_.size());
        folders_.push_back(shared ? shared : std::make_shared<const std::string>(folder));
        folderIds_.emplace(*folders_.back(), id);
    }
    if (shared)
        idOfShared_.emplace(shared.get(), id);
    return id;
}

std::string_view ScanRows::nameOf(const Record& r) const {
    return std::string_view(nameChunks_[r.nameChunk]).substr(r.nameAt, r.nameLength);
}

void ScanRows::append(int list, const ResultRow& row) {
    if (list >= kUsualListCount) {
        whole_[static_cast<std::size_t>(list)].push_back(row);
        return;
    }
    List& target = lists_[static_cast<std::size_t>(list)];
    Record r{};
    r.group = row.group;
    r.size = row.size;
    r.folder = folderId(row);
    if (nameChunks_.empty() || row.name != lastName_) {
        if (nameChunks_.empty() ||
            nameChunks_.back().capacity() - nameChunks_.back().size() < row.name.size()) {
            nameChunks_.emplace_back();
            nameChunks_.back().reserve(std::max(kNameChunk, row.name.size()));
        }
        std::string& chunk = nameChunks_.back();
        lastNameChunk_ = static_cast<std::uint32_t>(nameChunks_.size() - 1);
        lastNameAt_ = static_cast<std::uint32_t>(chunk.size());
        chunk += row.name;
        lastName_ = std::string_view(chunk).substr(lastNameAt_);
    }
    r.nameChunk = lastNameChunk_;
    r.nameAt = lastNameAt_;
    r.nameLength = static_cast<std::uint16_t>(row.name.size());
    r.flags =
        static_cast<std::uint8_t>((row.mtimeKnown ? MtimeKnown : 0) | (row.checked ? Checked : 0) |
                                  (row.isFolder ? IsFolder : 0) | (row.kept ? Kept : 0) |
                                  (row.throughLink ? ThroughLink : 0));
    const std::string_view date = row.dateText();
    std::array<int, 6> numbers{};
    const bool usual = fileDateNumbers(date, numbers);
    if (usual) {
        r.date.year = static_cast<std::uint16_t>(numbers[0]);
        for (std::size_t k = 0; k < r.date.rest.size(); ++k)
            r.date.rest[k] = static_cast<std::uint8_t>(numbers[k + 1]);
    }
    if (!usual || !row.reason().empty()) {
        r.flags |= HasExtra;
        target.extras.push_back(Extra{target.size(), row.reason(), std::string(date)});
    }
    target.records.push_back(r);
}

void ScanRows::writeDate(const Date& date, char* text) {
    writeDateDigits(text, date.year,
                    {date.rest[0], date.rest[1], date.rest[2], date.rest[3], date.rest[4]});
}

void ScanRows::sortList(List& list, bool byGroup) {
    const auto& records = list.records;
    const auto less = [&](std::size_t a, std::size_t b) {
        if (byGroup)
            return records[a].group < records[b].group;
        return compareNoCase(nameOf(records[a]), nameOf(records[b])) < 0;
    };
    bool sorted = true;
    for (std::size_t i = 1; i < records.size() && sorted; ++i)
        sorted = !less(i, i - 1);
    if (sorted)
        return;
    list.order.resize(records.size());
    std::iota(list.order.begin(), list.order.end(), std::uint32_t{0});
    std::stable_sort(list.order.begin(), list.order.end(), less);
}

void ScanRows::sort() {
    sortList(lists_[ListDuplicates], true);
    sortList(lists_[ListSameName], false);
    sortList(lists_[ListZeroSize], false);
    // "Folders" stays in its groups, the largest first; the others go by path.
    for (const int m : {ListEmptyFolders, ListBrokenLinks}) {
        auto& rows = whole_[static_cast<std::size_t>(m)];
        std::stable_sort(rows.begin(), rows.end(), [](const ResultRow& a, const ResultRow& b) {
            return a.path() < b.path();
        });
    }
}

void ScanRows::forEach(int list, const RowVisit& visit) const {
    if (list >= kUsualListCount) {
        for (const ResultRow& row : whole_[static_cast<std::size_t>(list)])
            visit(row);
        return;
    }
    const List& source = lists_[static_cast<std::size_t>(list)];
    ResultRow row;
    const auto show = [&](std::size_t i) {
        const Record& r = source.records[i];
        row.setFolder(folders_[r.folder]);
        row.name.assign(nameOf(r));
        row.group = r.group;
        row.size = r.size;
        row.mtimeKnown = (r.flags & MtimeKnown) != 0;
        row.checked = (r.flags & Checked) != 0;
        row.isFolder = (r.flags & IsFolder) != 0;
        row.kept = (r.flags & Kept) != 0;
        row.throughLink = (r.flags & ThroughLink) != 0;
        row.date.fill('\0');
        row.setReason({});
        if (r.flags & HasExtra) {
            const auto extra =
                std::lower_bound(source.extras.begin(), source.extras.end(), i,
                                 [](const Extra& e, std::size_t index) { return e.row < index; });
            row.setReason(extra->reason);
            std::memcpy(row.date.data(), extra->date.data(),
                        std::min(extra->date.size(), row.date.size() - 1));
        } else {
            writeDate(r.date, row.date.data());
        }
        visit(row);
    };
    if (source.order.empty())
        for (std::size_t i = 0; i < source.size(); ++i)
            show(i);
    else
        for (const std::uint32_t i : source.order)
            show(i);
}

ListRows ScanRows::lists() const {
    return [this](int list, const RowVisit& visit) { forEach(list, visit); };
}

void writeText(CheckedOutput& out, const ScanRows& lists, const ScanSummary& summary) {
    std::string text;
    const UserDateForm dates;
    for (int m = 0; m < kResultListCount; ++m) {
        if (m >= kUsualListCount && !summary.wholeLists[static_cast<std::size_t>(m)])
            continue;
        text += userText("SearchState", kResultListCaptions[static_cast<std::size_t>(m)].data()) +
                "(" + std::to_string(lists.count(m)) + ")\n";
        lists.forEach(m, [&](const ResultRow& row) {
            text += "  ";
            appendTerminalText(text, row.name);
            text += '\t';
            appendTerminalText(text, row.folder());
            if (m == ListDuplicates || m == ListFolders)
                text += '\t' + cellText(row, GroupColumn);
            text += '\t' + cellText(row, SizeColumn);
            text += '\t' + dates.utf8(shownDate(row));
            if (m == ListReadErrors || m == ListFolders) {
                text += '\t';
                appendTerminalText(text, row.reason());
            }
            text += '\n';
            out.writeIfLarge(text);
        });
        text += '\n';
    }
    appendTerminalText(text, summary.status);
    text += '\n';
    out.write(text);
}

void writeJson(CheckedOutput& out, const ScanRows& lists, const ScanSummary& summary) {
    writeResultsJson(
        out, lists.lists(),
        ResultsSummary{summary.files, summary.seconds, summary.cancelled, summary.wholeLists});
}

} // namespace trevalo
