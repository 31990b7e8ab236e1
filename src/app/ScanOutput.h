// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "results/OutputText.h"
#include "results/ResultsFile.h"
#include "search/ResultRow.h"

#include <array>
#include <cstdint>
#include <cstdio>
#include <deque>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace trevalo {

// What the output says about the search as a whole.
struct ScanSummary {
    std::int64_t files = 0;
    double seconds = 0;
    bool cancelled = false;
    std::string status; // the search's last status text: "Completed in ..." or "Cancelled ..."
    std::array<bool, kResultListCount> wholeLists{}; // as ResultsSummary::wholeLists
};

// The rows of the four lists as trevalo-scan holds them until they are written, 40 bytes a row:
// each distinct folder is kept once, a row's name in a shared buffer (once for a run of rows with
// the same name, as the same-name list comes), its numbers, flags and the fields of its date text
// in a fixed record. A row comes back whole only while it is written, without its stamp and its
// mtime (the output shows neither; the date text stands for the time).
class ScanRows {
public:
    void append(int list, const ResultRow& row);
    std::size_t count(int list) const {
        return list >= kUsualListCount ? whole_[static_cast<std::size_t>(list)].size()
                                       : lists_[static_cast<std::size_t>(list)].size();
    }
    // Orders the lists as the window sorts them when they arrive: "Duplicates" by group, the
    // others by name, letter case ignored; rows with equal keys keep their order.
    void sort();
    // Calls visit with each row of the list, in order; the row is rebuilt in one scratch row.
    void forEach(int list, const RowVisit& visit) const;
    ListRows lists() const;

private:
    // "yyyy/mm/dd hh:mm:ss" as its six numbers; a date text of another form is among the
    // extras.
    struct Date {
        std::uint16_t year;
        std::array<std::uint8_t, 5> rest; // month, day, hour, minute, second
    };
    struct Record {
        std::int64_t group;
        std::int64_t size;
        std::uint32_t folder;
        std::uint32_t nameChunk;
        std::uint32_t nameAt;
        std::uint16_t nameLength; // a name is at most 255 bytes
        Date date;
        std::uint8_t flags;
    };
    static_assert(sizeof(Record) == 40);
    // What few rows have beyond a record (a reason, an unusual date), by index in their list.
    struct Extra {
        std::size_t row;
        std::string reason;
        std::string date;
    };
    struct List {
        std::deque<Record> records; // a deque: it grows without copying what it holds
        std::vector<Extra> extras;
        std::vector<std::uint32_t> order; // the sorted order; empty when it is that of records
        std::size_t size() const { return records.size(); }
    };

    std::uint32_t folderId(const ResultRow& row);
    // Writes the 19 characters of the date's text at `text`.
    static void writeDate(const Date& date, char* text);
    std::string_view nameOf(const Record& r) const;
    void sortList(List& list, bool byGroup);

    std::array<List, kResultListCount> lists_;
    // The rows of the whole-folder lists, few and with their claims, as they are.
    std::array<std::vector<ResultRow>, kResultListCount> whole_;
    std::deque<SharedFolder> folders_;
    std::unordered_map<std::string_view, std::uint32_t> folderIds_;
    // Folder texts of rows by their address, each held here (in folders_ or heldShared_).
    std::unordered_map<const std::string*, std::uint32_t> idOfShared_;
    std::vector<SharedFolder> heldShared_;
    std::vector<std::string> nameChunks_;
    std::string_view lastName_;
    std::uint32_t lastNameChunk_ = 0, lastNameAt_ = 0;
};

// The lists as text: each list's caption and row count, then its rows, one per line with
// tab-separated cells (the "#" cell only in "Duplicates" and "Folders", a last "Reason" cell in
// "Report - read errors", the files and where their copies are in "Folders"), then the status
// line. The whole-folder lists only when they were searched for.
void writeText(CheckedOutput& out, const ScanRows& lists, const ScanSummary& summary);

// The four lists as one JSON object.
void writeJson(CheckedOutput& out, const ScanRows& lists, const ScanSummary& summary);

} // namespace trevalo
