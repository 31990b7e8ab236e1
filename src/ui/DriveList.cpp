// SPDX-License-Identifier: GPL-2.0-or-later
#include "ui/DriveList.h"

#include "platform/ByteText.h"
#include "platform/FileSystem.h"

#include <QDir>
#include <QFile>
#include <QStorageInfo>

#include <array>

namespace trevalo {

namespace {

constexpr int kRootRole = Qt::UserRole;

bool startsWith(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

// Whether folder lies in root (or is root).
bool inside(const std::string& folder, const std::string& root) {
    if (root == "/")
        return !folder.empty() && folder.front() == '/';
    return folder == root ||
           (startsWith(folder, root) && folder.size() > root.size() && folder[root.size()] == '/');
}

} // namespace

bool isRealVolume(std::string_view rootPath, std::string_view fileSystemType, bool ready,
                  long long bytesTotal) {
    if (!ready || bytesTotal <= 0 || rootPath.empty() || rootPath.front() != '/')
        return false;
    static constexpr std::array<std::string_view, 5> kRuntimeRoots = {"/run", "/proc", "/sys",
                                                                      "/dev", "/snap"};
    for (std::string_view r : kRuntimeRoots) {
        if (rootPath == r || (startsWith(rootPath, r) && rootPath[r.size()] == '/'))
            return false;
    }
    static constexpr std::array<std::string_view, 20> kPseudoFileSystems = {
        "tmpfs",     "devtmpfs", "ramfs",   "proc",       "sysfs",    "devpts",     "cgroup",
        "cgroup2",   "debugfs",  "tracefs", "securityfs", "pstore",   "bpf",        "mqueue",
        "hugetlbfs", "configfs", "fusectl", "autofs",     "squashfs", "binfmt_misc"};
    for (std::string_view p : kPseudoFileSystems) {
        if (fileSystemType == p)
            return false;
    }
    return true;
}

DriveList::DriveList(QWidget* parent) : QComboBox(parent) {
    setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    connect(this, &QComboBox::activated, this, [this](int) { emit driveChosen(); });
    refresh();
}

void DriveList::refresh() {
    const QSignalBlocker blocker(this);
    clear();
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        const std::string root = QFile::encodeName(volume.rootPath()).toStdString();
        const std::string type = volume.fileSystemType().toStdString();
        if (!volume.isValid() || !isRealVolume(root, type, volume.isReady(), volume.bytesTotal()) ||
            statPath(root).kind != FileKind::Directory || isPseudoFileSystem(root))
            continue;
        QString caption = displayText(root);
        const QString name = volume.name();
        if (!name.isEmpty() && root != "/")
            caption += QStringLiteral("  [%1]").arg(name);
        addItem(caption, QByteArray::fromStdString(root));
    }
    const std::string home = QFile::encodeName(QDir::homePath()).toStdString();
    if (!home.empty() && findData(QByteArray::fromStdString(home)) < 0)
        addItem(tr("Home (%1)").arg(displayText(home)), QByteArray::fromStdString(home));
}

std::string DriveList::currentRoot() const {
    return currentData(kRootRole).toByteArray().toStdString();
}

int DriveList::entryOf(const std::string& folder) const {
    int best = -1;
    std::size_t bestLength = 0;
    const std::string home = QFile::encodeName(QDir::homePath()).toStdString();
    for (int i = 0; i < count(); ++i) {
        const std::string root = itemData(i, kRootRole).toByteArray().toStdString();
        if (root == home && count() > 1)
            continue; // the home folder stands for itself only when no volume holds the folder
        if (inside(folder, root) && (best < 0 || root.size() > bestLength)) {
            best = i;
            bestLength = root.size();
        }
    }
    if (best < 0)
        best = findData(QByteArray::fromStdString(home));
    return best;
}

void DriveList::showFolder(const std::string& folder) {
    // The home entry stays chosen while the folder lies in the home folder.
    const std::string home = QFile::encodeName(QDir::homePath()).toStdString();
    const bool keepHome = currentRoot() == home && inside(folder, home);
    const int entry = keepHome ? currentIndex() : entryOf(folder);
    if (entry < 0)
        return;
    const QSignalBlocker blocker(this);
    setCurrentIndex(entry);
    lastFolder_[itemData(entry, kRootRole).toByteArray().toStdString()] = folder;
}

std::string DriveList::folderToOpen() const {
    const std::string root = currentRoot();
    const auto it = lastFolder_.find(root);
    return it != lastFolder_.end() ? it->second : root;
}

} // namespace trevalo
