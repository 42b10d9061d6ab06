// Loading the chosen file into the picture control, with its file
// information and the title.
#include "app/Form1.h"
#include "browser/FileInfo.h"
#include "browser/PictureLoading.h"
#include "controls/ComboBox.h"
#include "controls/FileListBox.h"
#include "controls/ImageControl.h"
#include "controls/Label.h"
#include "controls/MenuItem.h"
#include "controls/PictureBox.h"
#include "picture/Loader.h"
#include "platform/Dialogs.h"
#include "platform/Drives.h"
#include "platform/HostPath.h"
#include "platform/WinPath.h"

namespace app {

picture::DecodeSize decodeSizeForMode(const Form1 &form)
{
    const QSize pane = form.Picture5->interiorDeviceSize();
    if (form.auto1->Checked())
        return picture::DecodeSize::within(pane);
    if (form.St1->Checked())
        return picture::DecodeSize::exactly(pane);
    return picture::DecodeSize::natural();
}

QString Form1::PicturePath() const
{
    if (File1->FileName().isEmpty())
        return {};
    return winpath::join(File1->Path(), File1->FileName());
}

void Form1::File1_Click()
{
    // Any failing step ends in the message below.
    const auto fail = [this] {
        platform::dialogs().MsgBox(
            QStringLiteral("This File Type is not supported yet in this version or the file is corrupted or not accessible!"),
            platform::MsgStyle::OKOnly, QStringLiteral("Lumadex Viewer"));
        Combo1->setListIndex(0);
    };
    // 1. A picture is coming: the modes can be chosen.
    St1->setEnabled(true);
    auto1->setEnabled(true);
    Act1->setEnabled(true);
    // 2. Prepare the control for the mode.
    if (Act1->Checked())
        Image1->setStretch(false);
    if (auto1->Checked()) {
        Image1->setStretch(false);
        Image1->setVisible(false);
    }
    // 3. The selected file's full path.
    const QString path = PicturePath();
    if (path.isEmpty())
        return fail();
    // 4. Load it.
    const QString hostPath = platform::DriveTable::fromEnvironment().toHostPath(path);
    const picture::LoadResult loaded = picture::load(hostPath, decodeSizeForMode(*this));
    if (!loaded.ok())
        return fail();
    Image1->setPicture(loaded.picture);
    // 5. File size.
    const platform::HostFileStatus info = platform::hostFileStatus(hostPath).value_or(platform::HostFileStatus{});
    Label7->setCaption(fileSizeText(info.size));
    // 6. Picture size, as the control holds it.
    Label9->setCaption(pictureSizeText(Image1->Width(), Image1->Height()));
    // 7. Fit it by the current mode.
    ApplyMode();
    // 8. File date.
    Label8->setCaption(fileDateText(info.lastModified));
    // 9. Title with the list position.
    setCaption(pictureTitle(path, File1->ListIndex() + 1, File1->ListCount()));
    // 10. The picture now shown.
    Label3->setCaption(path);
}

} // namespace app
