#include "platform/FolderChooser.h"

#include <QtGlobal>

namespace platform {

namespace {

// The window is built on the list controls, above this folder, so the
// program hands it in at start-up.
class NoFolderChooser final : public FolderChooser {
public:
    QString BrowseForFolder(QWidget *, const QString &) override
    {
        qWarning("No folder chooser installed: the choice counts as cancelled");
        return {};
    }
};

std::unique_ptr<FolderChooser> &current()
{
    static std::unique_ptr<FolderChooser> instance;
    return instance;
}

} // namespace

FolderChooser &folderChooser()
{
    if (!current())
        current() = std::make_unique<NoFolderChooser>();
    return *current();
}

void setFolderChooser(std::unique_ptr<FolderChooser> instance)
{
    current() = std::move(instance);
}

} // namespace platform
