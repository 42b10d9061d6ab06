#include "app/CommandLine.h"
#include "app/Form10.h"
#include "app/Runtime.h"
#include "app/Style.h"
#include "controls/BrowseForFolderDialog.h"
#include "controls/Form.h"
#include "desktop/Help.h"
#include "platform/Dialogs.h"
#include "platform/FolderChooser.h"
#include "platform/HostPath.h"
#include "platform/ShellExecute.h"
#include "platform/SingleInstance.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    app::configureMemory();
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("lumadex-viewer"));
    app::installViewerStyle();
    // Every window shows the program's icon (app::showApplicationIcon, once
    // the main window is on the screen).
    // The program lives while any of its windows is loaded, shown or not
    // (in the tray no window is visible).
    QApplication::setQuitOnLastWindowClosed(false);
    controls::Form::setQuitWhenLastUnloaded(true);
    platform::setDialogs(platform::makeQtDialogs());
    platform::setFolderChooser(controls::makeBrowseForFolderChooser());
    // No desktop opens ".hlp" files any more: the viewer shows its own help.
    platform::setOpener(QStringLiteral(".hlp"), desktop::openHelpDocument);

    // A start with a path hands it to the copy that runs and ends quietly;
    // when none takes it, the start goes on and meets the single-instance
    // rule as a start without a path does.
    const std::optional<QString> path = app::startPath(app::argumentsOf(argc, argv), platform::hostCurrentPath());
    if (path && platform::previousInstanceRunning() && platform::handOverToRunningInstance(*path))
        return 0;

    auto *startUp = new app::Form10();
    startUp->Form_Load();
    if (controls::Form::loadedForms().isEmpty())
        return 0;
    app::showHandedPaths(path);
    return application.exec();
}
