// The full-screen slide show: its start, the tick, the picture step and the
// fit, as the main window runs them.
#include "app/Form1.h"
#include "browser/FileInfo.h"
#include "controls/FileListBox.h"
#include "controls/ImageControl.h"
#include "controls/Label.h"
#include "controls/MenuItem.h"
#include "controls/PictureBox.h"
#include "controls/Twips.h"
#include "platform/Dialogs.h"
#include "platform/Drives.h"
#include "platform/HostPath.h"
#include "platform/WinPath.h"
#include "settings/Settings.h"
#include "slideshow/Form3.h"
#include "slideshow/Form6.h"
#include "slideshow/Form7.h"
#include "slideshow/ShowText.h"
#include "view/DisplayLayout.h"


#include <QGuiApplication>
#include <QScreen>

namespace app {

namespace {

using slideshow::Form6;
using slideshow::Form7;

const QString On = QStringLiteral("1");

QRect screenGeometry()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    return screen ? screen->geometry() : QRect(0, 0, 1024, 768);
}

QString hostPath(const QString &windowsPath)
{
    return platform::DriveTable::fromEnvironment().toHostPath(windowsPath);
}

view::SizeF paneOf(const Form6 &show)
{
    return {float(show.Picture1->ScaleWidth()), float(show.Picture1->ScaleHeight())};
}

view::SizeF twipsOf(QSize pixels)
{
    return {float(controls::pixelsToTwips(pixels.width())), float(controls::pixelsToTwips(pixels.height()))};
}

} // namespace

void Form1::connectSlideShowHandlers()
{
    connect(fullscreen, &controls::MenuItem::Click, this, &Form1::FullScreen_Click);
    connect(slide1, &controls::MenuItem::Click, this, &Form1::slide1_Click);
    connect(Timer2, &controls::Timer::Tick, this, &Form1::Timer2_Timer);
    // The window-mode show, its hand steps, its "&Options" and the tray's start.
    const auto on = [this](controls::MenuItem *item, void (Form1::*handler)()) {
        connect(item, &controls::MenuItem::Click, this, handler);
    };
    on(viewmenu, &Form1::viewmenu_Click);
    on(stop1, &Form1::stop1_Click);
    on(pause1, &Form1::pause1_Click);
    on(play1, &Form1::play1_Click);
    on(back1, &Form1::back1_Click);
    on(next1, &Form1::next1_Click);
    on(seindex, &Form1::seindex_Click);
    on(speed3, &Form1::speed3_Click);
    on(startslide, &Form1::startslide_Click);
    connect(Timer1, &controls::Timer::Tick, this, &Form1::winModeTick);
}

void Form1::slide1_Click()
{
    slideshow::Form3::open(slideshow::Form3::Size::Designed);
}

void Form1::FullScreen_Click()
{
    // 1.
    if (File1->ListCount() == 0) {
        platform::dialogs().MsgBox(QStringLiteral("No image file is existed in this folder"));
        return;
    }
    // 2. Taken before the list is read again.
    StartCnt = File1->ListIndex() == -1 ? 0 : File1->ListIndex();
    // 3.
    Dir1_Change();
    // 4.
    Form6 &show = Form6::instance();
    show.Label1->setVisible(settings::Read(settings::Locate) == On);
    show.Label3->setVisible(settings::Read(settings::FileSize) == On);
    show.Label2->setVisible(settings::Read(settings::ImageSize) == On);
    // 5.
    show.coverScreen(screenGeometry());
    // 6.
    show.show();
    show.raise();
    show.activateWindow();
    // 7. No hand step of an earlier show carries over into this one.
    ShowCnt = StartCnt;
    SBack = 0;
    BackCheck = 0;
    // The first pictures are decoded while the screen is still black.
    decodeAhead(ShowCnt);
    // 8.
    Timer2->setEnabled(true);
    Timer2->setInterval(cuspeed);
    // 9.
    setEnabled(false);
}

void Form1::Timer2_Timer()
{
    // 1.
    const QString loop = settings::Read(settings::Loop);
    // 2.
    if (ShowCnt > File1->ListCount() - 1) {
        if (loop == On) {
            ShowCnt = 0;
        } else {
            setEnabled(true);
            if (Form6 *show = Form6::loaded())
                show->unloadAtShowEnd();
            if (Form7 *panel = Form7::loaded())
                panel->Unload();
            Timer2->setEnabled(false);
            Timer2->setInterval(0);
            Dir1_Change();
            Image1->setPicture(Picture3->Picture());
            return;
        }
    }
    // 3.
    WinF();
    // 4.
    ShowCnt = ShowCnt + 1;
}

void Form1::WinF()
{
    Form6 *show = Form6::loaded();
    if (!show)
        return;
    controls::ImageControl &image = *show->Image1;
    // A failing step puts the error banner in place of the picture, empties
    // the size lines, and the steps after it still run.
    const auto failed = [&] {
        image.setPicture(Picture4->Picture());
        show->Label2->setCaption(QString());
        show->Label3->setCaption(QString());
    };
    // 1.
    SBack = ShowCnt;
    // 2.
    const QString entry = File1->List(ShowCnt);
    const QString path = winpath::join(File1->Path(), entry);
    // 3.
    image.setStretch(false);
    image.setVisible(false);
    // 4. Decoded ahead while the previous picture was on the screen, unless
    // the file has changed since; then read here.
    const QString file = hostPath(path);
    const slideshow::ShowTarget target = show->showTarget();
    const std::optional<picture::Picture> loaded = slideshow::readForShow(show->decodeAhead(), file, target);
    if (loaded)
        image.setPicture(*loaded);
    else
        failed();
    // 5.
    show->Label2->setCaption(pictureSizeText(image.Width(), image.Height()));
    // 6.
    Form_Resize3();
    // 7. The fit leaves the size as it is: only the position is taken.
    const view::Box placed =
        view::fullViewFit({image.Width(), image.Height()}, paneOf(*show), twipsOf(show->screenPixels())).box;
    image.Move(placed.left, placed.top);
    // 8.
    image.setVisible(true);
    // 9.-11. The file named by its entry, in the current directory.
    const auto status = platform::hostFileStatus(hostPath(platform::CurrentDirectory::resolve(entry)));
    if (status && status->isFile)
        show->Label3->setCaption(slideshow::sizeAndPositionText(status->size, ShowCnt + 1, File1->ListCount()));
    else
        failed();
    // 12.
    show->Label1->setCaption(path);
    // The pictures the next ticks show, decoded while this one is on screen.
    decodeAhead(slideshow::nextShowIndex(SBack, File1->ListCount(), settings::Read(settings::Loop) == On));
}

void Form1::Form_Resize3()
{
    Form6 *show = Form6::loaded();
    if (!show)
        return;
    controls::ImageControl &image = *show->Image1;
    // 1.
    image.setStretch(false);
    // 2.-3.
    const view::Box fitted =
        view::fullViewFit({image.Width(), image.Height()}, paneOf(*show), twipsOf(show->screenPixels())).box;
    // 4.
    image.setWidth(fitted.width);
    image.setHeight(fitted.height);
    image.setStretch(true);
}

QStringList Form1::upcomingShowFiles(std::optional<qint32> first) const
{
    QStringList files;
    for (const qint32 index : slideshow::upcomingShowIndices(first, File1->ListCount(), settings::Read(settings::Loop) == On,
                                                             slideshow::DecodeAhead::Workers))
        files << hostPath(winpath::join(File1->Path(), File1->List(index)));
    return files;
}

void Form1::decodeAhead(std::optional<qint32> first)
{
    if (Form6 *show = Form6::loaded())
        show->decodeAhead().request(upcomingShowFiles(first), show->showTarget());
}

} // namespace app
