// SPDX-License-Identifier: GPL-2.0-or-later
#include "results/ResultsCsv.h"

#include "platform/ByteText.h"
#include "results/OutputText.h"

#include <cstdio>
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

bool isHexDigit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

// Whether text begins like the escape of a byte: a backslash, "x" and two hex digits.
bool startsLikeEscape(std::string_view text) {
    return text.size() >= 4 && text[0] == '\\' && text[1] == 'x' && isHexDigit(text[2]) &&
           isHexDigit(text[3]);
}

// A name, folder or reason as the text of its cell (see appendCsv).
void appendCellText(std::string& out, std::string_view bytes) {
    const std::size_t first = bytes.find_first_not_of('\'');
    if (first != std::string_view::npos &&
        std::string_view("=+-@\t\r").find(bytes[first]) != std::string_view::npos)
        out.push_back('\'');
    char escape[8];
    for (std::size_t i = 0; i < bytes.size();) {
        const auto c = static_cast<unsigned char>(bytes[i]);
        const std::size_t length = c < 0x80 ? 1 : utf8SequenceLength(bytes, i);
        if (length == 0 || startsLikeEscape(bytes.substr(i))) {
            std::snprintf(escape, sizeof escape, "\\x%02x", c);
            out += escape;
            ++i;
        } else {
            out.append(bytes.substr(i, length));
            i += length;
        }
    }
}

void appendTextField(std::string& out, std::string_view bytes, std::string& scratch) {
    scratch.clear();
    appendCellText(scratch, bytes);
    appendField(out, scratch);
}

} // namespace

void appendCsv(std::string& out, const std::vector<ResultRow>& rows, int list, RowScope scope) {
    out += "Name,In Folder,Group,Size,Date Modified,Kept,Reason,Marked,Stale\r\n";
    std::string scratch;
    scope.forEach(rows.size(), [&](std::size_t position) {
        const ResultRow& row = rows[position];
        appendTextField(out, row.name, scratch);
        out.push_back(',');
        appendTextField(out, row.folder(), scratch);
        out.push_back(',');
        if (list == ListDuplicates && row.group >= 0)
            out += std::to_string(row.group);
        out.push_back(',');
        if (row.size >= 0)
            out += std::to_string(row.size);
        out.push_back(',');
        if (row.mtimeKnown)
            out += isoUtcText(row.mtime);
        out.push_back(',');
        if (row.kept)
            out += "yes";
        out.push_back(',');
        appendTextField(out, row.reason(), scratch);
        out.push_back(',');
        if (row.checked)
            out += "yes";
        out.push_back(',');
        appendTextField(out, row.staleReason(), scratch);
        out += "\r\n";
    });
}

bool exportCsv(const std::string& path, const std::vector<ResultRow>& rows, int list,
               RowScope scope, std::string& error) {
    std::string text;
    appendCsv(text, rows, list, scope);
    return writeFileWhole(
        path, [&text](CheckedOutput& out) { out.write(text); }, error);
}

} // namespace trevalo
