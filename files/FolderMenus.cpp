// The main window's commands for bookmarks, the default folder and the
// picture folders.
#include "app/Form1.h"
#include "controls/DirListBox.h"
#include "controls/DriveListBox.h"
#include "controls/FileListBox.h"
#include "controls/MenuItem.h"
#include "files/Form12.h"
#include "files/Form2.h"
#include "files/Form9.h"
#include "platform/Drives.h"
#include "platform/Folders.h"
#include "platform/ShellExecute.h"
#include "settings/Settings.h"

namespace app {

namespace {

} // namespace

void Form1::connectFolderHandlers()
{
    connect(editbook, &controls::MenuItem::Click, this, &Form1::editbook_Click);
    connect(defolder, &controls::MenuItem::Click, this, &Form1::defolder_Click);
    connect(goto1, &controls::MenuItem::Click, this, &Form1::goto1_Click);
    connect(go1, &controls::MenuItem::Click, this, &Form1::go1_Click);
    connect(LoadF, &controls::MenuItem::Click, this, &Form1::LoadF_Click);
}

bool Form1::goToFolder(const QString &path)
{
    return Dir1->setPath(path) && Drive1->setDrive(Dir1->Path());
}

void Form1::editbook_Click()
{
    files::Form9::instance().showInFront();
}

void Form1::defolder_Click()
{
    files::Form2::instance().showInFront();
}

bool Form1::openStoredDefaultFolder()
{
    const QString autoJump = settings::Read(settings::AutoJump);
    if (autoJump.isEmpty()) {
        goto1->setEnabled(false);
        return true;
    }
    goto1->setEnabled(true);
    return goToFolder(autoJump);
}

void Form1::goto1_Click()
{
    // A folder that is gone: the current one is read again, without a message.
    if (!openStoredDefaultFolder())
        Dir1_Change();
}

void Form1::go1_Click()
{
    files::Form12::instance().showInFront();
}

void Form1::LoadF_Click()
{
    // The working folder is the program's own, named as the shell names folders.
    const QString programFolder = platform::DriveTable::fromEnvironment().toWindowsPath(platform::programFolder());
    platform::shell().ShellExecute(this, QStringLiteral("Open"), File1->Path(), QString(), programFolder,
                                   platform::SW_SHOWNORMAL);
}

} // namespace app
