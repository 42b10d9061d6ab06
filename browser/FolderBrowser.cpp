// The browser column: drive list, folder list, file-type filter and the
// pop-up menus of the lists.
#include "app/Banners.h"
#include "app/Form1.h"
#include "browser/FileTypes.h"
#include "controls/ComboBox.h"
#include "controls/DirListBox.h"
#include "controls/DriveListBox.h"
#include "controls/FileListBox.h"
#include "controls/ImageControl.h"
#include "controls/Label.h"
#include "controls/MenuItem.h"
#include "controls/PictureBox.h"
#include "platform/Dialogs.h"
#include "platform/Drives.h"
#include "platform/HostPath.h"
#include "platform/WinPath.h"

namespace app {

namespace {

QChar driveOf(const QString &path)
{
    return winpath::driveLetter(path);
}

} // namespace

void Form1::Drive1_Change()
{
    // 1.-2. Open the drive's current folder and make the drive current.
    const QString drive = Drive1->Drive();
    const bool opened = Dir1->setPath(drive) && platform::CurrentDirectory::chDrive(driveOf(drive));
    if (opened)
        return;
    // 3. The drive failed: say so, go to C:, and let both lists agree.
    platform::dialogs().MsgBox(QStringLiteral("Device is not accessible or ready"),
                               platform::MsgStyle::OKOnly | platform::MsgStyle::Critical,
                               QStringLiteral("Lumadex Viewer"));
    if (m_inDriveFallback) {
        // C: itself cannot be opened: stay with the folder the list still
        // shows instead of trying C: again and again.
        return;
    }
    m_inDriveFallback = true;
    Drive1->setDrive(QStringLiteral("C:"));
    m_inDriveFallback = false;
    Drive1->setDrive(Dir1->Path());
}

void Form1::Dir1_Change()
{
    // 1. The title names the folder.
    setCaption(TitlePrefix + Dir1->Path());
    // 2. No file information.
    Label7->setCaption(QString());
    Label8->setCaption(QString());
    Label9->setCaption(QString());
    // 3. No display mode to choose without a picture.
    St1->setEnabled(false);
    auto1->setEnabled(false);
    Act1->setEnabled(false);
    // 4. Both lists read again from disk (pointing the file list at a
    // folder reads it).
    bool listed = File1->setPath(Dir1->Path());
    listed = listed && Dir1->Refresh();
    // 5. The folder becomes the current directory.
    listed = listed && platform::CurrentDirectory::chDir(File1->Path());
    // 6. No picture is loaded now.
    Label3->setCaption(QString());
    // 7.-8. The "Please Select A File" notice in place of the last picture.
    if (Act1->Checked() || auto1->Checked())
        Image1->setStretch(false);
    Image1->setPicture(Picture2->Picture());
    Image_resize();
    if (listed)
        return;
    // 9. The folder vanished or its drive failed: drive C:, without a message.
    if (m_inFolderFallback)
        return; // C:'s own folder cannot be read either; keep what is shown
    m_inFolderFallback = true;
    Drive1->setDrive(QStringLiteral("C:"));
    Dir1->setPath(Drive1->Drive());
    m_inFolderFallback = false;
}

void Form1::Combo1_Click()
{
    if (Combo1->Text() == AllReadableFormat)
        File1->setPattern(AllReadablePattern);
    else
        File1->setPattern(Combo1->Text());
    Dir1_Change();
}

void Form1::OpenHostPath(const QString &hostPath)
{
    const auto fail = [] {
        platform::dialogs().MsgBox(
            QStringLiteral("This File Type is not supported yet in this version or the file is corrupted or not accessible!"),
            platform::MsgStyle::OKOnly, QStringLiteral("Lumadex Viewer"));
    };
    const std::optional<platform::HostFileStatus> status = platform::hostFileStatus(hostPath);
    const QString path = platform::DriveTable::fromEnvironment().toWindowsPath(hostPath);
    if (!status || path.isEmpty())
        return fail();
    // The folder, read again when it is the one open, so that a picture
    // saved there since is listed.
    const QString folder = status->isDir ? path : winpath::parent(path);
    if (winpath::same(Dir1->Path(), folder))
        Dir1_Change();
    else if (!goToFolder(folder))
        return fail();
    if (status->isDir) {
        if (File1->ListCount() > 0)
            File1->setListIndex(0);
        return;
    }
    // The picture; a filter that leaves it out gives way to every readable format.
    const QString name = winpath::fileName(path);
    const auto indexOf = [this, &name] {
        for (int i = 0; i < File1->ListCount(); ++i)
            if (File1->List(i) == name)
                return i;
        return -1;
    };
    int index = indexOf();
    if (index < 0 && Combo1->ListIndex() != 0) {
        Combo1->setListIndex(0);
        index = indexOf();
    }
    if (index < 0)
        return fail();
    File1->setListIndex(index);
}

void Form1::refresh1_Click()
{
    Dir1_Change();
}

void Form1::File1_MouseDown(int button, int, float x, float y)
{
    if (button == 2)
        efm3->popup(File1->mapToGlobal(QPoint(int(x), int(y))));
}

void Form1::Dir1_MouseDown(int button, int, float x, float y)
{
    if (button == 2)
        cuts->popup(Dir1->mapToGlobal(QPoint(int(x), int(y))));
}

} // namespace app
