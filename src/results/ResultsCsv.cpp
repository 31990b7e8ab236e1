// SPDX-License-Identifier: GPL-2.0-or-later
#include "results/ResultsCsv.h"

#include "platform/FileSystem.h"
#include "results/OutputText.h"

#include <cerrno>
#include <ctime>
#include <fcntl.h>
#include <unistd.h>

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
    const std::string part = path + ".part";
    const int fd = ::open(part.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    std::FILE* file = fd >= 0 ? ::fdopen(fd, "w") : nullptr;
    if (!file) {
        error = "'" + part + "' could not be written: " + errorText(errno);
        if (fd >= 0)
            ::close(fd);
        return false;
    }
    CheckedOutput out(file);
    out.write(text);
    if (!out.close() || ::rename(part.c_str(), path.c_str()) != 0) {
        error = "'" + path +
                "' could not be written: " + errorText(out.error() != 0 ? out.error() : errno);
        ::unlink(part.c_str());
        return false;
    }
    return true;
}

} // namespace trevalo
