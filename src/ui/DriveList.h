// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QComboBox>

#include <map>
#include <string>
#include <string_view>

namespace trevalo {

// Whether a mounted volume is one to offer in the drive list: a ready file system with a size,
// mounted on a folder, and not a kernel view, a memory file system or a runtime mount.
bool isRealVolume(std::string_view rootPath, std::string_view fileSystemType, bool ready,
                  long long bytesTotal);

// The drive list of the set-up panel: the mounted real volumes and the home folder. Each entry
// remembers the folder last opened on it, so that choosing it again returns there.
class DriveList : public QComboBox {
    Q_OBJECT
public:
    explicit DriveList(QWidget* parent = nullptr);

    // Lists the volumes again.
    void refresh();
    // The root folder of the chosen entry.
    std::string currentRoot() const;
    // Chooses, without signalling, the entry a folder lies on, and remembers the folder as
    // that entry's open folder.
    void showFolder(const std::string& folder);
    // The folder to open when the chosen entry changes to this one.
    std::string folderToOpen() const;

signals:
    // The user chose another entry.
    void driveChosen();

private:
    int entryOf(const std::string& folder) const;

    std::map<std::string, std::string> lastFolder_; // root -> folder last opened on it
};

} // namespace trevalo
