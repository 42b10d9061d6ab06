// The picture in the view as the desktop wallpaper: tiled, centred or stretched.
#include "app/Form1.h"
#include "controls/FileListBox.h"
#include "controls/ImageControl.h"
#include "controls/PictureBox.h"
#include "picture/BitmapWriter.h"
#include "platform/Dialogs.h"
#include "platform/Drives.h"
#include "platform/Folders.h"
#include "platform/HostPath.h"
#include "platform/Wallpaper.h"
#include "settings/Settings.h"

#include <QDir>

namespace app {

namespace {

// The bitmap the viewer writes; a selected file of exactly this name is set as it is.
const QString WallpaperFileName = QStringLiteral("LDX Wallpaper.bmp");

// The two desktop values, "TileWallpaper" first.
void writeDesktopStyle(const QString &tileWallpaper, const QString &wallpaperStyle)
{
    settings::WriteSetting(platform::HKEY_CURRENT_USER, settings::DesktopKey, settings::TileWallpaper, tileWallpaper);
    settings::WriteSetting(platform::HKEY_CURRENT_USER, settings::DesktopKey, settings::WallpaperStyle, wallpaperStyle);
}

// Hands the picture file to the desktop in the style the desktop values
// give. Whether the desktop took it is not examined.
void SetWallpaper(const QString &hostPath)
{
    const auto read = [](const QString &value) {
        return settings::ReadSetting(platform::HKEY_CURRENT_USER, settings::DesktopKey, value);
    };
    platform::wallpaper().setDesktopWallpaper(
        hostPath, platform::wallpaperStyleFromValues(read(settings::TileWallpaper), read(settings::WallpaperStyle)));
}

// The view shows one of the window's notices ("Please Select A File" after
// a folder change) rather than a picture: nothing to make a wallpaper of.
bool showsNotice(const Form1 &form)
{
    const picture::Picture &shown = form.Image1->Picture();
    if (shown.isNull())
        return true;
    for (const controls::PictureBox *notice : {form.Picture1, form.Picture2, form.Picture3, form.Picture4})
        if (!shown.isDrawing() && shown.image().cacheKey() == notice->Picture().image().cacheKey())
            return true;
    return false;
}

} // namespace

void Form1::Tile1_Click()
{
    writeDesktopStyle(QStringLiteral("1"), QStringLiteral("0"));
    ApplyWallpaper();
}

void Form1::Center1_Click()
{
    writeDesktopStyle(QStringLiteral("0"), QStringLiteral("0"));
    ApplyWallpaper();
}

void Form1::Stretch12_Click()
{
    writeDesktopStyle(QStringLiteral("0"), QStringLiteral("2"));
    ApplyWallpaper();
}

void Form1::Tile2_Click()
{
    Tile1_Click();
}

void Form1::Cemter2_Click()
{
    Center1_Click();
}

void Form1::Stretch13_Click()
{
    Stretch12_Click();
}

void Form1::ApplyWallpaper()
{
    // Any failure: the message, then the browser refreshed. The style values
    // stay written.
    const auto fail = [this] {
        platform::dialogs().MsgBox(QStringLiteral("File not found!"), platform::MsgStyle::OKOnly);
        Dir1_Change();
    };
    // 1. The selected file.
    const QString source = PicturePath();
    // 2. The wallpaper bitmap in the Windows folder.
    const QString bitmap = QDir(platform::windowsFolder()).filePath(WallpaperFileName);
    // 3. The wallpaper bitmap itself (the name compared with its case) is set
    // directly, not written over itself.
    if (File1->FileName() == WallpaperFileName) {
        const QString hostSource = platform::DriveTable::fromEnvironment().toHostPath(source);
        const auto status = platform::hostFileStatus(hostSource);
        if (!status || !status->isFile)
            return fail();
        SetWallpaper(hostSource);
        return;
    }
    // 4. Any other picture in the view (loaded or pasted) is written as a
    // Windows bitmap at full resolution, replacing the earlier one.
    if (showsNotice(*this) || !picture::saveAsBitmap(Image1->Picture(), bitmap))
        return fail();
    SetWallpaper(bitmap);
}

} // namespace app
