#pragma once

#include <QString>

#include <memory>

class QWidget;

// SHBrowseForFolder: the shell's dialog for choosing a folder (file-system
// folders only, from the drives down). Handlers reach it through
// folderChooser(); the program installs its window
// (controls::makeBrowseForFolderChooser), tests a scripted double.
namespace platform {

class FolderChooser {
public:
    virtual ~FolderChooser() = default;
    // The chosen folder as a Windows path ("C:\Photos", "D:\"), or an empty
    // text when the user cancelled or chose something that has no such path.
    virtual QString BrowseForFolder(QWidget *owner, const QString &title) = 0;
};

// The installed chooser; until one is installed, every choice is a cancel.
FolderChooser &folderChooser();
void setFolderChooser(std::unique_ptr<FolderChooser> instance);

} // namespace platform
