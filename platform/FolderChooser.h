#pragma once

#include <QString>

#include <memory>

class QWidget;

// SHBrowseForFolder: the shell's dialog for choosing a folder (file-system
// folders only, from the desktop down). Handlers reach it through
// folderChooser(); tests put a scripted double in place with setFolderChooser().
namespace platform {

class FolderChooser {
public:
    virtual ~FolderChooser() = default;
    // The chosen folder as a Windows path ("C:\Photos", "D:\"), or an empty
    // text when the user cancelled or chose something that has no such path.
    virtual QString BrowseForFolder(QWidget *owner, const QString &title) = 0;
};

FolderChooser &folderChooser();
// Replaces the chooser (the program uses the desktop one; tests a double).
void setFolderChooser(std::unique_ptr<FolderChooser> instance);

// Qt's folder dialog; the chosen host folder is named through the drive
// table, and one outside every drive counts as a cancel.
std::unique_ptr<FolderChooser> makeDesktopFolderChooser();

} // namespace platform
