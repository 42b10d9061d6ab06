// The main window's file operation commands: the "File Manager..." items,
// the hidden item for the picture a window-mode slide show displays, and
// opening the file operation dialog on the selected file.
#include "app/Form1.h"
#include "controls/DirListBox.h"
#include "controls/FileListBox.h"
#include "controls/Label.h"
#include "controls/MenuItem.h"
#include "files/Form17.h"
#include "platform/Dialogs.h"
#include "settings/Settings.h"

namespace app {

namespace {

// Each item stores its operation, then opens the dialog on the selected
// file, or on the slide's picture while a window-mode show has disabled
// the folder list.
void fileManagerCommand(Form1 &main, const QString &operation)
{
    settings::Write(settings::Action, operation);
    if (main.Dir1->isEnabled())
        main.ShowFileOpDialog();
    else
        main.efm2_Click();
}

} // namespace

void Form1::connectFileOperationHandlers()
{
    connect(mcopy, &controls::MenuItem::Click, this, &Form1::mcopy_Click);
    connect(mMove, &controls::MenuItem::Click, this, &Form1::mMove_Click);
    connect(mdelete, &controls::MenuItem::Click, this, &Form1::mdelete_Click);
    connect(mrename, &controls::MenuItem::Click, this, &Form1::mrename_Click);
    connect(mopen, &controls::MenuItem::Click, this, &Form1::mopen_Click);
    connect(efm2, &controls::MenuItem::Click, this, &Form1::efm2_Click);
}

void Form1::mcopy_Click()
{
    fileManagerCommand(*this, files::action::Copy);
}

void Form1::mMove_Click()
{
    fileManagerCommand(*this, files::action::Move);
}

void Form1::mdelete_Click()
{
    fileManagerCommand(*this, files::action::Delete);
}

void Form1::mrename_Click()
{
    fileManagerCommand(*this, files::action::Rename);
}

void Form1::mopen_Click()
{
    fileManagerCommand(*this, files::action::Open);
}

void Form1::efm2_Click()
{
    // The window-mode show's picture; the main window stays enabled and
    // keeps its lists afterwards.
    files::Form17::load().showFor(Label2->Caption());
}

void Form1::ShowFileOpDialog()
{
    if (Label7->Caption().isEmpty()) {
        platform::dialogs().MsgBox(QStringLiteral("No file Selected"));
        return;
    }
    // The dialog is modal in effect: only it can be used until it unloads.
    setEnabled(false);
    QString source;
    if (!File1->FileName().isEmpty())
        source = PicturePath();
    files::Form17 &dialog = files::Form17::load();
    dialog.showFor(source);
    dialog.Label4->setCaption(files::Changeable);
}

} // namespace app
