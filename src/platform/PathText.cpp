// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/PathText.h"

#include <cstdio>
#include <ctime>

namespace trevalo {

std::string_view fileNameOf(std::string_view path) {
    const auto slash = path.rfind('/');
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

std::string_view folderOf(std::string_view path) {
    const auto slash = path.rfind('/');
    return slash == std::string_view::npos ? std::string_view() : path.substr(0, slash + 1);
}

std::string parentFolderOf(std::string_view path) {
    const auto slash = path.rfind('/');
    if (slash == std::string_view::npos)
        return ".";
    return slash == 0 ? std::string("/") : std::string(path.substr(0, slash));
}

std::string_view extensionOf(std::string_view path) {
    const auto dot = path.rfind('.');
    const auto slash = path.rfind('/');
    if (dot == std::string_view::npos || (slash != std::string_view::npos && dot < slash))
        return {};
    return path.substr(dot + 1);
}

std::string withoutTrailingSlashes(std::string_view path) {
    while (path.size() > 1 && path.back() == '/')
        path.remove_suffix(1);
    return std::string(path);
}

std::string childPath(std::string_view folder, std::string_view name) {
    std::string path(folder);
    if (folder != "/")
        path.push_back('/');
    path.append(name);
    return path;
}

std::string joinFolderPattern(std::string_view folder, std::string_view pattern) {
    std::string row(folder);
    if (row.empty() || row.back() != '/')
        row.push_back('/');
    row.append(pattern);
    return row;
}

std::string formatFileDate(std::int64_t secondsSinceEpoch) {
    const std::time_t t = static_cast<std::time_t>(secondsSinceEpoch);
    std::tm tm{};
    if (!::localtime_r(&t, &tm))
        return std::string(kZeroDateText);
    char buf[64];
    std::snprintf(buf, sizeof buf, "%04d/%02d/%02d %02d:%02d:%02d", tm.tm_year + 1900,
                  tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec);
    return buf;
}

bool fileDateNumbers(std::string_view text, std::array<int, 6>& numbers) {
    constexpr std::string_view kForm = "dddd/dd/dd dd:dd:dd";
    if (text.size() != kForm.size())
        return false;
    numbers.fill(0);
    std::size_t field = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (kForm[i] != 'd') {
            if (text[i] != kForm[i])
                return false;
            ++field;
        } else if (text[i] < '0' || text[i] > '9') {
            return false;
        } else {
            numbers[field] = numbers[field] * 10 + (text[i] - '0');
        }
    }
    return true;
}

} // namespace trevalo
