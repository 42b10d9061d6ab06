#include "platform/FolderChooser.h"

#include "platform/Drives.h"

#include <QFileDialog>

namespace platform {

namespace {

std::unique_ptr<FolderChooser> &current()
{
    static std::unique_ptr<FolderChooser> instance;
    return instance;
}

class DesktopFolderChooser final : public FolderChooser {
public:
    QString BrowseForFolder(QWidget *owner, const QString &title) override
    {
        const DriveTable table = DriveTable::fromEnvironment();
        const QString start = table.toHostPath(CurrentDirectory::path());
        const QString chosen = QFileDialog::getExistingDirectory(owner, title, start, QFileDialog::ShowDirsOnly);
        if (chosen.isEmpty())
            return {};
        return table.toWindowsPath(chosen);
    }
};

} // namespace

FolderChooser &folderChooser()
{
    if (!current())
        current() = makeDesktopFolderChooser();
    return *current();
}

void setFolderChooser(std::unique_ptr<FolderChooser> instance)
{
    current() = std::move(instance);
}

std::unique_ptr<FolderChooser> makeDesktopFolderChooser()
{
    return std::make_unique<DesktopFolderChooser>();
}

} // namespace platform
