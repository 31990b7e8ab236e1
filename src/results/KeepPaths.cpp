// SPDX-License-Identifier: GPL-2.0-or-later
#include "results/KeepPaths.h"

#include "platform/ByteText.h"
#include "platform/FileSystem.h"
#include "platform/PathText.h"

#include <algorithm>
#include <string>
#include <unordered_map>

namespace trevalo {

namespace {

// A folder path ending in "/".
std::string asFolder(std::string path) {
    if (path.empty() || path.back() != '/')
        path.push_back('/');
    return path;
}

// The folder with its links resolved; the folder as written when that cannot be told.
std::string realFolderOf(const std::string& folder) {
    const std::string real = canonicalPath(folder);
    return real.empty() ? folder : asFolder(real);
}

// One path row: its folder as written and as it really is, and its pattern.
struct Reach {
    explicit Reach(const PathRow& row)
        : folder(asFolder(std::string(folderOf(row.path)))), realFolder(realFolderOf(folder)),
          pattern(fileNameOf(row.path)), subFolders(row.subFolders) {}

    bool under(const std::string& rowFolder) const {
        for (const std::string* top : {&folder, &realFolder})
            if (subFolders ? rowFolder.starts_with(*top) : rowFolder == *top)
                return true;
        return false;
    }

    std::string folder;
    std::string realFolder;
    WildcardPattern pattern;
    bool subFolders;
};

// The real path of each folder of the rows, looked up once per folder.
class RealFolders {
public:
    const std::string& of(const std::string& folder) {
        auto it = known_.find(folder);
        if (it == known_.end())
            it = known_.emplace(folder, realFolderOf(folder)).first;
        return it->second;
    }

private:
    std::unordered_map<std::string, std::string> known_;
};

bool reaches(const Reach& reach, const ResultRow& row, RealFolders& real) {
    if (row.target == RowTarget::Folder) {
        // A whole folder is kept when it lies in a kept folder (at any depth) or holds one.
        const std::string inside = asFolder(row.path());
        for (const std::string& f : {inside, real.of(inside)})
            if (f.starts_with(reach.folder) || f.starts_with(reach.realFolder) ||
                reach.folder.starts_with(f) || reach.realFolder.starts_with(f))
                return true;
        return false;
    }
    if (!reach.pattern.matches(row.name))
        return false;
    return reach.under(row.folder()) || reach.under(real.of(row.folder()));
}

} // namespace

std::size_t followKeepBox(std::vector<ResultRow>& listed, const PathRow& changed, bool kept,
                          const std::vector<PathRow>& rows) {
    const Reach reach(changed);
    std::vector<Reach> others;
    for (const PathRow& row : rows)
        if (row.role != PathRole::Search && row.path != changed.path)
            others.emplace_back(row);
    RealFolders real;
    std::size_t count = 0;
    for (ResultRow& row : listed) {
        if (row.isFolder || row.kept == kept || !reaches(reach, row, real))
            continue;
        if (!kept && std::any_of(others.begin(), others.end(),
                                 [&](const Reach& other) { return reaches(other, row, real); }))
            continue;
        row.kept = kept;
        row.checked = row.checked && !kept;
        ++count;
    }
    return count;
}

} // namespace trevalo
