// Copying the shown picture to the clipboard and pasting a picture into the view.
#include "app/Form1.h"
#include "browser/FileInfo.h"
#include "browser/FileTypes.h"
#include "controls/FileListBox.h"
#include "controls/ImageControl.h"
#include "controls/Label.h"
#include "controls/MenuItem.h"
#include "picture/Picture.h"
#include "platform/Clipboard.h"
#include "platform/Dialogs.h"

namespace app {

namespace {

const QString MessageCaption = QStringLiteral("Lumadex Viewer");

void invalidClipboard()
{
    platform::dialogs().MsgBox(QStringLiteral("Invalid Clipboard Format!"), platform::MsgStyle::Critical, MessageCaption);
}

} // namespace

void Form1::Copyto_Click()
{
    // 1. Only a picture loaded from a file has a file size.
    if (Label7->Caption().isEmpty()) {
        platform::dialogs().MsgBox(QStringLiteral("Please Select A File"), platform::MsgStyle::Critical, MessageCaption);
        return;
    }
    // 2. The picture itself, at full resolution and upright, not the
    // reduced decode the view may hold.
    if (!platform::setClipboardBitmap(Image1->Picture().toImage()))
        return invalidClipboard();
    // 3.
    platform::dialogs().MsgBox(QStringLiteral("Process Completed!"), platform::MsgStyle::OKOnly, MessageCaption);
}

void Form1::copyto2_Click()
{
    Copyto_Click();
}

void Form1::view2_Click()
{
    // 1.
    if (!platform::clipboardHasBitmap()) {
        platform::dialogs().MsgBox(QStringLiteral("No Image is found in ClipBoard"), platform::MsgStyle::Question,
                                   MessageCaption);
        return;
    }
    // 2. The folder, with no file chosen.
    Dir1_Change();
    File1->Refresh();
    // 3.
    setCaption(TitlePrefix + QStringLiteral("Untitled"));
    // 4. Data that does not decode, or a picture larger than the viewer
    // opens from a file, ends the command here.
    const QImage pasted = platform::clipboardBitmap(&picture::Picture::fitsInOneImage);
    if (pasted.isNull())
        return invalidClipboard();
    Image1->setPicture(picture::Picture::fromImage(pasted));
    // 5. Prepared for the current mode, as a loaded picture is.
    if (Act1->Checked())
        Image1->setStretch(false);
    if (auto1->Checked())
        Image1->setStretch(false);
    if (auto1->Checked())
        Image1->setVisible(false);
    // 6.
    Label9->setCaption(pictureSizeText(Image1->Width(), Image1->Height()));
    // 7.
    if (auto1->Checked())
        Form_Resize2();
    else
        Image_resize();
}

void Form1::view3_Click()
{
    view2_Click();
}

} // namespace app
