// SPDX-License-Identifier: GPL-2.0-or-later
#include "results/ResultsCsv.h"

#include "results/OutputText.h"

#include <ctime>

namespace trevalo {

namespace {

void appendField(std::string& out, std::string_view text) {
    if (text.find_first_of(",\"\r\n") == std::string_view::npos) {
        out.append(text);
        return;
    }
    out.push_back('"');
    for (const char c : text) {
        if (c == '"')
            out.push_back('"');
        out.push_back(c);
    }
    out.push_back('"');
}

void appendTextField(std::string& out, std::string_view bytes, std::string& scratch) {
    scratch.clear();
    appendJsonText(scratch, bytes);
    appendField(out, scratch);
}

void appendIsoTime(std::string& out, std::int64_t seconds) {
    const auto t = static_cast<std::time_t>(seconds);
    std::tm tm{};
    char buf[40];
    if (gmtime_r(&t, &tm) && std::strftime(buf, sizeof buf, "%Y-%m-%dT%H:%M:%SZ", &tm) > 0)
        out += buf;
}

} // namespace

void appendCsv(std::string& out, const std::vector<ResultRow>& rows, int list) {
    out += "Name,In Folder,Group,Size,Date Modified,Kept,Reason\r\n";
    std::string scratch;
    for (const ResultRow& row : rows) {
        appendTextField(out, row.name, scratch);
        out.push_back(',');
        appendTextField(out, row.folder, scratch);
        out.push_back(',');
        if (list == ListDuplicates && row.group >= 0)
            out += std::to_string(row.group);
        out.push_back(',');
        if (row.size >= 0)
            out += std::to_string(row.size);
        out.push_back(',');
        if (row.mtimeKnown)
            appendIsoTime(out, row.mtime);
        out.push_back(',');
        if (row.kept)
            out += "yes";
        out.push_back(',');
        if (!row.reason.empty())
            appendTextField(out, row.reason, scratch);
        out += "\r\n";
    }
}

bool exportCsv(const std::string& path, const std::vector<ResultRow>& rows, int list,
               std::string& error) {
    std::string text;
    appendCsv(text, rows, list);
    return writeFileWhole(
        path, [&text](CheckedOutput& out) { out.write(text); }, error);
}

} // namespace trevalo
