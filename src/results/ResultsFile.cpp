// SPDX-License-Identifier: GPL-2.0-or-later
#include "results/ResultsFile.h"

#include "platform/ByteText.h"
#include "platform/FileSystem.h"
#include "platform/PathText.h"
#include "platform/UserText.h"
#include "search/FolderGroups.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <functional>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace trevalo {

namespace {

constexpr std::array<std::string_view, kSearchTypeCount> kJsonSearchNames = {
    "zero_size", "duplicates", "same_name", "folders", "empty_folders", "broken_links"};
constexpr std::array<std::string_view, 3> kJsonRoleNames = {"search", "keep", "keep_only"};

const char* boolText(bool b) {
    return b ? "true" : "false";
}

void appendSetup(std::string& json, const SearchRequest& setup) {
    json += "\"setup\": {\"paths\": [";
    bool first = true;
    for (const PathRow& row : setup.paths) {
        json += first ? "{\"path\": " : ", {\"path\": ";
        first = false;
        appendJsonString(json, row.path);
        json += ", \"subfolders\": ";
        json += boolText(row.subFolders);
        json += ", \"role\": \"";
        json += kJsonRoleNames[static_cast<std::size_t>(row.role)];
        json += "\"}";
    }
    json += "], \"searches\": [";
    first = true;
    for (int t = 0; t < kSearchTypeCount; ++t) {
        if (!setup.types[static_cast<std::size_t>(t)])
            continue;
        json += first ? "\"" : ", \"";
        first = false;
        json += kJsonSearchNames[static_cast<std::size_t>(t)];
        json += "\"";
    }
    json += "], \"only_with_kept\": ";
    json += boolText(setup.onlyWithKept);
    json += ", \"exclude\": [";
    first = true;
    for (const std::string& p : setup.exclude) {
        if (!first)
            json += ", ";
        first = false;
        appendJsonString(json, p);
    }
    json += "], \"min_size\": " + std::to_string(setup.minSize);
    json += ", \"max_size\": " + std::to_string(setup.maxSize) + "}, ";
}

void appendClaim(std::string& json, const FolderClaim& claim, bool withMtime) {
    json += ", \"files\": " + std::to_string(claim.files);
    json += ", \"identical\": ";
    json += boolText(claim.identical);
    json += ", \"copies_in\": ";
    appendJsonString(json, claim.copiesIn);
    json += ", \"items\": [";
    bool first = true;
    for (const FolderClaim::Item& item : claim.items) {
        json += first ? "{\"path\": " : ", {\"path\": ";
        first = false;
        appendJsonString(json, item.path);
        json += ", \"copy\": ";
        appendJsonString(json, item.copyPath);
        json += ", \"size\": " + std::to_string(item.stamp.size);
        if (withMtime) {
            json += ", \"mtime\": " + std::to_string(item.stamp.mtime);
            if (!item.copyPath.empty())
                json += ", \"copy_mtime\": " + std::to_string(item.copyStamp.mtime);
        }
        json += "}";
    }
    json += "], \"folders\": [";
    first = true;
    for (const std::string& folder : claim.folders) {
        if (!first)
            json += ", ";
        first = false;
        appendJsonString(json, folder);
    }
    json += "]";
}

void appendNumber(std::string& out, std::int64_t n) {
    char digits[24];
    const auto end = std::to_chars(std::begin(digits), std::end(digits), n).ptr;
    out.append(digits, end);
}

// The summary and the lists; each row with its mtime when withMtime.
void writeBody(CheckedOutput& out, std::string& json, const ListRows& lists,
               const ResultsSummary& summary, bool withMtime) {
    json += "\"files_searched\": " + std::to_string(summary.files);
    char secs[32];
    std::snprintf(secs, sizeof secs, "%.3f", summary.seconds);
    json += ", \"seconds\": ";
    json += secs;
    json += ", \"cancelled\": ";
    json += boolText(summary.cancelled);
    json += ", \"lists\": {";
    std::string folder; // a row's folder and name, escaped
    std::string name;
    for (int m = 0; m < kResultListCount; ++m) {
        if (!summary.writes(m))
            continue;
        if (m > 0)
            json += ", ";
        json += "\"";
        json += kJsonListNames[static_cast<std::size_t>(m)];
        json += "\": [";
        bool first = true;
        lists(m, [&](const ResultRow& row) {
            json += first ? "\n  {\"path\": \"" : ",\n  {\"path\": \"";
            first = false;
            // The folder and the name are escaped once each, for the path and on their own.
            folder.clear();
            appendJsonText(folder, row.folder());
            name.clear();
            appendJsonText(name, row.name);
            json += folder;
            json += name;
            json += "\", \"name\": \"";
            json += name;
            json += "\", \"folder\": \"";
            json += folder;
            json += "\", \"group\": ";
            appendNumber(json, row.group);
            json += ", \"size\": ";
            appendNumber(json, row.size);
            json += ", \"modified\": ";
            appendJsonString(json, row.dateText());
            if (withMtime && row.mtimeKnown) {
                json += ", \"mtime\": ";
                appendNumber(json, row.mtime);
            }
            json += row.kept ? ", \"kept\": true" : ", \"kept\": false";
            if (row.throughLink)
                json += ", \"through_link\": true";
            if (m == ListReadErrors) {
                json += ", \"reason\": ";
                appendJsonString(json, row.reason());
                json += ", \"folder_not_listed\": ";
                json += boolText(row.isFolder);
            }
            if (m == ListFolders && row.claim())
                appendClaim(json, *row.claim(), withMtime);
            json += "}";
            out.writeIfLarge(json);
        });
        json += "]";
    }
    json += "}}\n";
    out.write(json);
}

// ---- Reading ----------------------------------------------------------------------------------

// A reader of the JSON text, just enough for results files: values are taken as the caller
// expects them, anything else is skipped whole. The first problem stops it. Our own because the
// libraries refuse what we write: nlohmann-json and simdjson reject the \udc80..\udcff escapes
// of bytes that are not UTF-8, and QJsonDocument takes 2.7 times the memory.
class JsonReader {
public:
    // `more`, where given, returns the text read so far once it has read on (the same text when
    // there is no more): the text then comes in as it is needed rather than all at first.
    explicit JsonReader(std::string_view text, std::function<std::string_view()> more = {})
        : s_(text), more_(std::move(more)) {}

    bool failed() const { return !error_.empty(); }
    const std::string& error() const { return error_; }
    // How far the text has been read; nothing before it is looked at again.
    std::size_t offset() const { return i_; }
    // The text read so far.
    std::string_view text() const { return s_; }

    bool fail(const std::string& what) {
        if (error_.empty()) {
            if (!have(i_ + 1))
                error_ = userText("ResultsFile", "the file ends early: it is incomplete");
            else
                error_ = withArgs(userText("ResultsFile", "not a results file: %1 at byte %2"),
                                  {what, std::to_string(i_ + 1)});
        }
        return false;
    }
    // A problem with what a value means rather than how it is written.
    bool failContent(const std::string& what) {
        if (error_.empty())
            error_ = withArgs(userText("ResultsFile", "not a results file: %1"), {what});
        return false;
    }

    void skipBlanks() {
        while (have(i_ + 1) &&
               (s_[i_] == ' ' || s_[i_] == '\n' || s_[i_] == '\r' || s_[i_] == '\t'))
            ++i_;
    }
    bool peek(char c) {
        skipBlanks();
        return have(i_ + 1) && s_[i_] == c;
    }
    bool take(char c) {
        if (!peek(c))
            return fail(withArgs(userText("ResultsFile", "expected '%1'"), {std::string(1, c)}));
        ++i_;
        return true;
    }
    bool atEnd() {
        skipBlanks();
        return !have(i_ + 1);
    }

    // Calls onKey(key) for each member; onKey reads the value. False on a problem.
    template <typename OnKey> bool object(OnKey&& onKey) {
        if (!take('{'))
            return false;
        if (peek('}'))
            return take('}');
        std::string key;
        do {
            if (!string(key) || !take(':') || !onKey(key))
                return false;
        } while (next('}'));
        return !failed() && take('}');
    }
    // Calls onItem() for each element; onItem reads it.
    template <typename OnItem> bool array(OnItem&& onItem) {
        if (!take('['))
            return false;
        if (peek(']'))
            return take(']');
        do {
            if (!onItem())
                return false;
        } while (next(']'));
        return !failed() && take(']');
    }

    bool string(std::string& out) {
        out.clear();
        if (!take('"'))
            return fail(userText("ResultsFile", "expected a string"));
        for (;;) {
            std::size_t end = s_.find_first_of("\"\\", i_);
            while (end == std::string_view::npos) {
                const std::size_t searched = s_.size();
                if (!have(searched + 1)) {
                    i_ = s_.size();
                    return fail(userText("ResultsFile", ""));
                }
                end = s_.find_first_of("\"\\", searched);
            }
            for (std::size_t k = i_; k < end; ++k)
                if (static_cast<unsigned char>(s_[k]) < 0x20) {
                    i_ = k;
                    return fail(userText("ResultsFile", "a control character in a string"));
                }
            out.append(s_.substr(i_, end - i_));
            i_ = end + 1;
            if (s_[end] == '"')
                return true;
            if (!escape(out))
                return false;
        }
    }

    bool integer(std::int64_t& out) {
        skipBlanks();
        const std::size_t start = i_;
        bool negative = false;
        if (have(i_ + 1) && s_[i_] == '-') {
            negative = true;
            ++i_;
        }
        std::uint64_t value = 0;
        bool digits = false;
        for (; have(i_ + 1) && s_[i_] >= '0' && s_[i_] <= '9'; ++i_) {
            if (value > (UINT64_MAX - 9) / 10)
                return fail(userText("ResultsFile", "a number too large"));
            value = value * 10 + static_cast<unsigned>(s_[i_] - '0');
            digits = true;
        }
        if (!digits || value > static_cast<std::uint64_t>(INT64_MAX)) {
            i_ = start;
            return fail(userText("ResultsFile", "expected a whole number"));
        }
        if (have(i_ + 1) && (s_[i_] == '.' || s_[i_] == 'e' || s_[i_] == 'E'))
            return fail(userText("ResultsFile", "expected a whole number"));
        out = negative ? -static_cast<std::int64_t>(value) : static_cast<std::int64_t>(value);
        return true;
    }

    bool number(double& out) {
        skipBlanks();
        const std::size_t start = i_;
        while (have(i_ + 1) && s_[i_] != '\0' && std::strchr("+-0123456789.eE", s_[i_]))
            ++i_;
        const std::string text(s_.substr(start, i_ - start));
        char* end = nullptr;
        out = std::strtod(text.c_str(), &end);
        if (text.empty() || end != text.c_str() + text.size()) {
            i_ = start;
            return fail(userText("ResultsFile", "expected a number"));
        }
        return true;
    }

    bool boolean(bool& out) {
        skipBlanks();
        have(i_ + 5);
        if (s_.substr(i_, 4) == "true") {
            i_ += 4;
            out = true;
            return true;
        }
        if (s_.substr(i_, 5) == "false") {
            i_ += 5;
            out = false;
            return true;
        }
        return fail(userText("ResultsFile", "expected true or false"));
    }

    // Any value, skipped; nested no deeper than kMaxDepth, so no file can exhaust the stack.
    bool skip() {
        skipBlanks();
        if (!have(i_ + 1))
            return fail(userText("ResultsFile", ""));
        if ((s_[i_] == '{' || s_[i_] == '[') && depth_ >= kMaxDepth)
            return fail(userText("ResultsFile", "values nested too deep"));
        switch (s_[i_]) {
        case '{': {
            ++depth_;
            const bool ok = object([&](const std::string&) { return skip(); });
            --depth_;
            return ok;
        }
        case '[': {
            ++depth_;
            const bool ok = array([&] { return skip(); });
            --depth_;
            return ok;
        }
        case '"': {
            std::string ignored;
            return string(ignored);
        }
        case 't':
        case 'f': {
            bool ignored;
            return boolean(ignored);
        }
        case 'n':
            have(i_ + 4);
            if (s_.substr(i_, 4) == "null") {
                i_ += 4;
                return true;
            }
            return fail(userText("ResultsFile", "expected a value"));
        default: {
            double ignored;
            return number(ignored);
        }
        }
    }

private:
    // After a member or element: true when a ',' follows (another one comes), false before the
    // closing bracket or on a problem.
    bool next(char close) {
        skipBlanks();
        if (have(i_ + 1) && s_[i_] == ',') {
            ++i_;
            return true;
        }
        if (have(i_ + 1) && s_[i_] == close)
            return false;
        fail(withArgs(userText("ResultsFile", "expected ',' or '%1'"), {std::string(1, close)}));
        return false;
    }

    bool hex4(unsigned& out) {
        if (!have(i_ + 4)) {
            i_ = s_.size();
            return fail(userText("ResultsFile", ""));
        }
        out = 0;
        for (int k = 0; k < 4; ++k) {
            const char c = s_[i_ + static_cast<std::size_t>(k)];
            out <<= 4;
            if (c >= '0' && c <= '9')
                out |= static_cast<unsigned>(c - '0');
            else if (c >= 'a' && c <= 'f')
                out |= static_cast<unsigned>(c - 'a' + 10);
            else if (c >= 'A' && c <= 'F')
                out |= static_cast<unsigned>(c - 'A' + 10);
            else
                return fail(userText("ResultsFile", "a bad \\u escape"));
        }
        i_ += 4;
        return true;
    }

    // The escape after a backslash. \udc80..\udcff alone stand for the bytes 0x80..0xff of a
    // name that is not UTF-8, as the writer puts them.
    bool escape(std::string& out) {
        if (!have(i_ + 1))
            return fail(userText("ResultsFile", ""));
        const char c = s_[i_++];
        switch (c) {
        case '"':
        case '\\':
        case '/':
            out.push_back(c);
            return true;
        case 'b':
            out.push_back('\b');
            return true;
        case 'f':
            out.push_back('\f');
            return true;
        case 'n':
            out.push_back('\n');
            return true;
        case 'r':
            out.push_back('\r');
            return true;
        case 't':
            out.push_back('\t');
            return true;
        case 'u':
            break;
        default:
            --i_;
            return fail(userText("ResultsFile", "a bad escape in a string"));
        }
        unsigned u = 0;
        if (!hex4(u))
            return false;
        if (u >= 0xD800 && u <= 0xDBFF && have(i_ + 2) && s_.substr(i_, 2) == "\\u") {
            const std::size_t back = i_;
            i_ += 2;
            unsigned low = 0;
            if (!hex4(low))
                return false;
            if (low >= 0xDC00 && low <= 0xDFFF) {
                appendUtf8(out, 0x10000 + ((u - 0xD800) << 10) + (low - 0xDC00));
                return true;
            }
            i_ = back;
        }
        if (u >= 0xDC80 && u <= 0xDCFF) {
            out.push_back(static_cast<char>(u - 0xDC00));
            return true;
        }
        if (u >= 0xD800 && u <= 0xDFFF)
            return fail(userText("ResultsFile", "a lone surrogate in a string"));
        appendUtf8(out, u);
        return true;
    }

    // Whether the text holds at least `end` bytes, reading on while it may.
    bool have(std::size_t end) {
        while (s_.size() < end && more_) {
            const std::size_t before = s_.size();
            s_ = more_();
            if (s_.size() <= before)
                more_ = nullptr;
        }
        return s_.size() >= end;
    }

    static constexpr int kMaxDepth = 64;

    std::string_view s_;
    std::function<std::string_view()> more_;
    std::size_t i_ = 0;
    int depth_ = 0;
    std::string error_;
};

// "yyyy/mm/dd hh:mm:ss" in local time, as trevalo-scan writes "modified".
std::optional<std::int64_t> localDate(std::string_view text) {
    if (text == kZeroDateText)
        return std::nullopt;
    std::tm tm{};
    const std::string s(text);
    if (std::sscanf(s.c_str(), "%d/%d/%d %d:%d:%d", &tm.tm_year, &tm.tm_mon, &tm.tm_mday,
                    &tm.tm_hour, &tm.tm_min, &tm.tm_sec) != 6)
        return std::nullopt;
    tm.tm_year -= 1900;
    tm.tm_mon -= 1;
    tm.tm_isdst = -1;
    const std::time_t t = std::mktime(&tm);
    if (t == static_cast<std::time_t>(-1))
        return std::nullopt;
    return static_cast<std::int64_t>(t);
}

bool readClaimItem(JsonReader& in, FolderClaim::Item& item) {
    return in.object([&](const std::string& key) {
        if (key == "path")
            return in.string(item.path);
        if (key == "copy")
            return in.string(item.copyPath);
        if (key == "size") {
            if (!in.integer(item.stamp.size))
                return false;
            item.copyStamp.size = item.stamp.size;
            return true;
        }
        if (key == "mtime")
            return in.integer(item.stamp.mtime);
        if (key == "copy_mtime")
            return in.integer(item.copyStamp.mtime);
        return in.skip();
    });
}

// What a row's keys give beyond the row's own fields, worked out once the row is read.
struct RowFields {
    std::string path;
    std::string folder;
    std::string reason;
    bool named = false;
    std::optional<std::int64_t> mtime;
    std::optional<FolderClaim> claim; // a folder row's claim
};

// A key of a folder row's claim; nothing when the key is not one.
std::optional<bool> readClaimField(JsonReader& in, FolderClaim& claim, const std::string& key) {
    if (key == "files")
        return in.integer(claim.files);
    if (key == "identical")
        return in.boolean(claim.identical);
    if (key == "copies_in")
        return in.string(claim.copiesIn);
    if (key == "items")
        return in.array([&] {
            claim.items.emplace_back();
            return readClaimItem(in, claim.items.back());
        });
    if (key == "folders")
        return in.array([&] {
            claim.folders.emplace_back();
            return in.string(claim.folders.back());
        });
    return std::nullopt;
}

bool readRowField(JsonReader& in, ResultRow& row, RowFields& fields, const std::string& key) {
    if (fields.claim) {
        if (const std::optional<bool> read = readClaimField(in, *fields.claim, key))
            return *read;
    }
    if (key == "name" || key == "folder" || key == "reason") {
        fields.named = fields.named || key == "name";
        return in.string(key == "name"     ? row.name
                         : key == "folder" ? fields.folder
                                           : fields.reason);
    }
    if (key == "path")
        return in.string(fields.path);
    if (key == "group")
        return in.integer(row.group);
    if (key == "size")
        return in.integer(row.size);
    if (key == "mtime") {
        std::int64_t t = 0;
        if (!in.integer(t))
            return false;
        fields.mtime = t;
        return true;
    }
    if (key == "modified") {
        std::string text;
        if (!in.string(text))
            return false;
        if (text.size() >= row.date.size())
            return in.fail(userText("ResultsFile", "a date too long"));
        std::fill(row.date.begin(), row.date.end(), '\0');
        std::memcpy(row.date.data(), text.data(), text.size());
        return true;
    }
    if (key == "kept")
        return in.boolean(row.kept);
    if (key == "through_link")
        return in.boolean(row.throughLink);
    if (key == "folder_not_listed")
        return in.boolean(row.isFolder);
    return in.skip();
}

// The name from a row that gives its path alone, the time from the date text when the file
// gives no mtime, the folder claim's text.
bool completeRow(JsonReader& in, ResultRow& row, RowFields& fields, FolderShare& folders) {
    if (!fields.named && !fields.path.empty()) {
        fields.folder = folderOf(fields.path);
        row.name = fileNameOf(fields.path);
        fields.named = true;
    }
    if (!fields.named)
        return in.failContent(userText("ResultsFile", "a row without a name"));
    row.setFolder(folders.of(fields.folder));
    row.setReason(std::move(fields.reason));
    if (!fields.mtime && row.size >= 0 && !row.isFolder)
        fields.mtime = localDate(row.dateText());
    if (fields.mtime && row.size >= 0) {
        row.mtime = *fields.mtime;
        row.mtimeKnown = true;
        row.stamp.size = row.size;
        row.stamp.mtime = *fields.mtime;
    }
    if (row.dateText().empty())
        std::memcpy(row.date.data(), kZeroDateText.data(), kZeroDateText.size());
    if (fields.claim) {
        if (fields.claim->items.empty())
            return in.failContent(userText("ResultsFile", "a row of folders without its files"));
        row.setReason(folderRowText(*fields.claim));
        row.setClaim(std::make_shared<const FolderClaim>(std::move(*fields.claim)));
    }
    return true;
}

bool readRow(JsonReader& in, ResultRow& row, int list, FolderShare& folders) {
    RowFields fields;
    if (list == ListFolders)
        fields.claim.emplace();
    if (list == ListFolders || list == ListEmptyFolders)
        row.target = RowTarget::Folder;
    else if (list == ListBrokenLinks)
        row.target = RowTarget::Link;
    return in.object([&](const std::string& key) { return readRowField(in, row, fields, key); }) &&
           completeRow(in, row, fields, folders);
}

bool readSetup(JsonReader& in, SearchRequest& setup) {
    std::string text;
    return in.object([&](const std::string& key) {
        if (key == "paths")
            return in.array([&] {
                PathRow row;
                const bool ok = in.object([&](const std::string& k) {
                    if (k == "path")
                        return in.string(row.path);
                    if (k == "subfolders")
                        return in.boolean(row.subFolders);
                    if (k == "role") {
                        if (!in.string(text))
                            return false;
                        const auto* it =
                            std::find(kJsonRoleNames.begin(), kJsonRoleNames.end(), text);
                        if (it == kJsonRoleNames.end())
                            return in.failContent(withArgs(
                                userText("ResultsFile", "an unknown path role \"%1\""), {text}));
                        row.role = static_cast<PathRole>(it - kJsonRoleNames.begin());
                        return true;
                    }
                    return in.skip();
                });
                setup.paths.push_back(std::move(row));
                return ok;
            });
        if (key == "searches") {
            setup.types = {false, false, false};
            return in.array([&] {
                if (!in.string(text))
                    return false;
                const auto* it = std::find(kJsonSearchNames.begin(), kJsonSearchNames.end(), text);
                if (it != kJsonSearchNames.end())
                    setup.types[static_cast<std::size_t>(it - kJsonSearchNames.begin())] = true;
                return true;
            });
        }
        if (key == "only_with_kept")
            return in.boolean(setup.onlyWithKept);
        if (key == "exclude")
            return in.array([&] {
                if (!in.string(text))
                    return false;
                setup.exclude.push_back(text);
                return true;
            });
        if (key == "min_size")
            return in.integer(setup.minSize);
        if (key == "max_size")
            return in.integer(setup.maxSize);
        return in.skip();
    });
}

} // namespace

std::array<bool, kResultListCount> wholeListsOf(const std::array<bool, kSearchTypeCount>& types) {
    std::array<bool, kResultListCount> lists{};
    for (int m = kUsualListCount; m < kResultListCount; ++m)
        lists[static_cast<std::size_t>(m)] = types[static_cast<std::size_t>(searchTypeOfList(m))];
    return lists;
}

ListRows rowsOf(const ResultLists& lists) {
    return [&lists](int list, const RowVisit& visit) {
        for (const ResultRow& row : lists[static_cast<std::size_t>(list)])
            visit(row);
    };
}

void writeResultsJson(CheckedOutput& out, const ResultLists& lists, const ResultsSummary& summary) {
    writeResultsJson(out, rowsOf(lists), summary);
}

void writeResultsJson(CheckedOutput& out, const ListRows& lists, const ResultsSummary& summary) {
    std::string json = "{";
    writeBody(out, json, lists, summary, false);
}

void writeSavedResults(CheckedOutput& out, const SavedResults& results) {
    std::string json = "{\"trevalo_results\": " + std::to_string(kResultsFileVersion);
    json += ", \"searched_at\": ";
    appendJsonString(json, results.searchedAt != 0 ? isoUtcText(results.searchedAt) : "");
    json += ", ";
    if (results.setup)
        appendSetup(json, *results.setup);
    writeBody(out, json, rowsOf(results.lists), results.summary, true);
}

bool saveResults(const std::string& path, const SavedResults& results, std::string& error) {
    return writeFileWhole(
        path, [&results](CheckedOutput& out) { writeSavedResults(out, results); }, error);
}

namespace {

// readResults, telling `readUpTo` after each row how far the text has been read, and taking
// more of the text from `more` as it is needed (see JsonReader).
std::optional<SavedResults> readResultsText(std::string_view json, std::string& error,
                                            const std::function<void(std::size_t)>& readUpTo,
                                            std::function<std::string_view()> more) {
    JsonReader in(json, std::move(more));
    SavedResults results;
    bool hasLists = false;
    FolderShare folders;
    std::int64_t version = 0;
    std::string text;
    const bool ok = in.object([&](const std::string& key) {
        if (key == "trevalo_results") {
            if (!in.integer(version))
                return false;
            if (version < kOldestResultsFileVersion || version > kResultsFileVersion)
                return in.failContent(withArgs(
                    userText("ResultsFile", "this results file is of format version %1; this "
                                            "program reads versions %2 to %3"),
                    {std::to_string(version), std::to_string(kOldestResultsFileVersion),
                     std::to_string(kResultsFileVersion)}));
            return true;
        }
        if (key == "searched_at") {
            if (!in.string(text))
                return false;
            results.searchedAt = isoUtcSeconds(text).value_or(0);
            return true;
        }
        if (key == "setup") {
            results.setup.emplace();
            return readSetup(in, *results.setup);
        }
        if (key == "files_searched")
            return in.integer(results.summary.files);
        if (key == "seconds")
            return in.number(results.summary.seconds);
        if (key == "cancelled")
            return in.boolean(results.summary.cancelled);
        if (key == "lists") {
            hasLists = true;
            return in.object([&](const std::string& name) {
                const auto* it = std::find(kJsonListNames.begin(), kJsonListNames.end(), name);
                if (it == kJsonListNames.end())
                    return in.skip();
                const auto list = static_cast<int>(it - kJsonListNames.begin());
                auto& rows = results.lists[static_cast<std::size_t>(list)];
                results.summary.wholeLists[static_cast<std::size_t>(list)] =
                    list >= kUsualListCount;
                return in.array([&] {
                    rows.emplace_back();
                    if (!readRow(in, rows.back(), list, folders))
                        return false;
                    if (readUpTo)
                        readUpTo(in.offset());
                    return true;
                });
            });
        }
        return in.skip();
    });
    if (ok && !in.atEnd())
        in.fail(userText("ResultsFile", "more text after the results"));
    if (!in.failed() && !hasLists)
        in.failContent(userText("ResultsFile", "it holds no lists of results"));
    if (in.failed()) {
        error = in.error();
        if (error == userText("ResultsFile", "the file ends early: it is incomplete") &&
            in.text().find_first_not_of(" \t\r\n") == std::string_view::npos)
            error = userText("ResultsFile", "not a results file: the file is empty");
        return std::nullopt;
    }
    return results;
}

// The text of a file, read as far as the reader needs, into memory of its own whose pages are
// given back to the system once read: opening a large results file then never holds its whole
// text and all its rows at once. (A mapping of the file itself would end the program if the
// file were cut short meanwhile.)
class TextReader {
public:
    // `expected`: the file's size, as fstat tells; the memory grows past it if the file does.
    TextReader(int fd, std::size_t expected) : fd_(fd), capacity_(expected + 1) {
        void* p =
            ::mmap(nullptr, capacity_, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (p == MAP_FAILED)
            fail(errno);
        else
            data_ = static_cast<char*>(p);
    }
    ~TextReader() {
        if (data_)
            ::munmap(data_, capacity_);
    }
    TextReader(const TextReader&) = delete;
    TextReader& operator=(const TextReader&) = delete;

    // The text read so far, after reading on by a step unless the file has ended.
    std::string_view more() {
        if (!done_ && (filled_ < capacity_ || grow())) {
            const std::size_t want = std::min(kReadStep, capacity_ - filled_);
            std::size_t got = 0;
            while (got < want) {
                const ssize_t n = ::read(fd_, data_ + filled_ + got, want - got);
                if (n < 0 && errno == EINTR)
                    continue;
                if (n < 0) {
                    fail(errno);
                    break;
                }
                if (n == 0) {
                    done_ = true;
                    break;
                }
                got += static_cast<std::size_t>(n);
            }
            filled_ += got;
        }
        return {data_, filled_};
    }
    // The whole pages before `offset`, in steps of kGiveStep, are not needed any more.
    void readUpTo(std::size_t offset) {
        static const auto page = static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
        if (offset < given_ + kGiveStep)
            return;
        const std::size_t upTo = offset / page * page;
        ::madvise(data_ + given_, upTo - given_, MADV_DONTNEED);
        given_ = upTo;
    }
    // The errno of a failed read (or of memory that could not be had), 0 if none.
    int error() const { return error_; }

private:
    static constexpr std::size_t kReadStep = std::size_t{1} << 20;
    static constexpr std::size_t kGiveStep = std::size_t{16} << 20;

    void fail(int error) {
        error_ = error;
        done_ = true;
    }
    // Twice the room, for a file that grew while it was read (or one whose size is not known).
    bool grow() {
        void* p = ::mremap(data_, capacity_, capacity_ * 2, MREMAP_MAYMOVE);
        if (p == MAP_FAILED) {
            fail(errno);
            return false;
        }
        data_ = static_cast<char*>(p);
        capacity_ *= 2;
        return true;
    }

    int fd_;
    char* data_ = nullptr;
    std::size_t capacity_;
    std::size_t filled_ = 0;
    std::size_t given_ = 0;
    bool done_ = false;
    int error_ = 0;
};

} // namespace

std::optional<SavedResults> readResults(std::string_view json, std::string& error) {
    return readResultsText(json, error, {}, {});
}

std::optional<SavedResults> openResults(const std::string& path, std::string& error) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        error = "'" + path + "' could not be opened: " + errorText(errno);
        return std::nullopt;
    }
    struct stat st {};
    const std::size_t expected = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size > 0
                                     ? static_cast<std::size_t>(st.st_size)
                                     : std::size_t{1} << 20;
    std::optional<SavedResults> results;
    int readError = 0;
    {
        TextReader text(fd, expected);
        results = readResultsText(
            text.more(), error, [&text](std::size_t at) { text.readUpTo(at); },
            [&text] { return text.more(); });
        readError = text.error();
    }
    ::close(fd);
    if (readError != 0) {
        error = "'" + path + "' could not be read: " + errorText(readError);
        return std::nullopt;
    }
    return results;
}

} // namespace trevalo
