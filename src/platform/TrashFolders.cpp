#include "platform/TrashFolders.h"

#include "platform/Trash.h"

#include <algorithm>
#include <mntent.h>
#include <string_view>
#include <unistd.h>

namespace trevalo {

TrashFolders TrashFolders::current() {
    TrashFolders t;
    const std::string uid = std::to_string(::getuid());
    std::vector<std::string> candidates;
    if (std::string home = homeTrashFolder(); !home.empty())
        candidates.push_back(std::move(home));
    if (FILE* mounts = ::setmntent("/proc/self/mounts", "r")) {
        mntent entry;
        char buf[8192];
        while (::getmntent_r(mounts, &entry, buf, sizeof buf)) {
            std::string top = entry.mnt_dir;
            if (top.empty() || top.back() != '/')
                top.push_back('/');
            candidates.push_back(top + ".Trash-" + uid);
            candidates.push_back(top + ".Trash/" + uid);
        }
        ::endmntent(mounts);
    }
    for (const std::string& path : candidates) {
        const FileStatus st = statPath(path, false);
        if (st.kind != FileKind::Directory)
            continue;
        const FileId id{st.device, st.inode};
        if (std::find(t.ids_.begin(), t.ids_.end(), id) != t.ids_.end())
            continue;
        t.ids_.push_back(id);
        t.paths_.push_back(path);
    }
    return t;
}

bool TrashFolders::isTrash(const FileId& folder) const {
    return std::find(ids_.begin(), ids_.end(), folder) != ids_.end();
}

bool TrashFolders::holds(const std::string& path) const {
    if (ids_.empty())
        return false;
    std::string_view rest = path;
    for (;;) {
        while (rest.size() > 1 && rest.back() == '/')
            rest.remove_suffix(1);
        const auto slash = rest.rfind('/');
        if (slash == std::string_view::npos)
            rest = ".";
        else
            rest = rest.substr(0, slash == 0 ? 1 : slash);
        const FileStatus st = statPath(std::string(rest), true);
        if (st.kind == FileKind::Directory && isTrash(FileId{st.device, st.inode}))
            return true;
        if (rest == "/" || rest == ".")
            return false;
    }
}

} // namespace trevalo
