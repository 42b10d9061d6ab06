// The window-mode slide show: its start, the tick, the display step in the
// main window's picture pane, pause, resume and cancel.
#include "app/Form1.h"
#include "browser/FileInfo.h"
#include "browser/PictureLoading.h"
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
#include "platform/SystemColors.h"
#include "platform/WinPath.h"
#include "settings/Settings.h"
#include "slideshow/DecodeAhead.h"
#include "slideshow/Form3.h"
#include "slideshow/ShowText.h"


#include <QGroupBox>
#include <QTimer>

namespace app {

namespace {

const QString On = QStringLiteral("1");

// How often a tick waiting for the worker looks again, in milliseconds.
constexpr int WaitPollMs = 2;

QString hostPath(const QString &windowsPath)
{
    return platform::DriveTable::fromEnvironment().toHostPath(windowsPath);
}

// How the pane draws the next picture: at the size the current mode gives
// it, a drawing over the pane's colour.
slideshow::ShowTarget paneTarget(const Form1 &form)
{
    return {decodeSizeForMode(form), platform::resolveColor(form.Picture5->BackColor()),
            form.Picture5->devicePixelRatioF()};
}

// The browser column and the four normal menus, which the show disables
// while it runs so that the list cannot change under it.
void setBrowsingEnabled(Form1 &form, bool enabled)
{
    for (QWidget *control : std::initializer_list<QWidget *>{form.Combo1, form.Dir1, form.Drive1, form.File1})
        control->setEnabled(enabled);
    for (controls::MenuItem *menu : {form.help1, form.filemenu, form.optionmenu, form.Option2})
        menu->setEnabled(enabled);
}

void hideShowItems(Form1 &form)
{
    for (controls::MenuItem *item : {form.ops, form.stop1, form.pause1, form.back1, form.next1, form.play1})
        item->setVisible(false);
}

} // namespace

void Form1::viewmenu_Click()
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
    if (auto1->Checked())
        Image1->setStretch(false);
    if (Act1->Checked())
        Image1->setStretch(false);
    // 5.
    Image1->setPicture(Picture1->Picture());
    // 6.
    for (controls::MenuItem *item : {stop1, pause1, back1, next1})
        item->setVisible(true);
    // 7.
    setBrowsingEnabled(*this, false);
    // 8.
    Image1->setEnabled(true);
    // 9.
    Timer1->setEnabled(true);
    Timer1->setInterval(cuspeed);
    // 10. No hand step of an earlier show carries over into this one.
    ShowCnt = StartCnt;
    BackCheck = 0;
    // The first pictures are decoded while the wait banner shows.
    decodeWinModeAhead(ShowCnt);
}

void Form1::Timer1_Timer()
{
    // 1.
    const QString loop = settings::Read(settings::Loop);
    // 2.
    if (ShowCnt > File1->ListCount() - 1) {
        if (loop == On) {
            ShowCnt = 0;
        } else {
            Timer1->setEnabled(false);
            Timer1->setInterval(0);
            setBrowsingEnabled(*this, true);
            hideShowItems(*this);
            Label2->setCaption(QString());
            Dir1_Change();
            Image1->setPicture(Picture3->Picture());
            if (Frame1->isHidden())
                restore_Click();
            return;
        }
    }
    // 3.
    WinModePic();
    // 4.
    ShowCnt = ShowCnt + 1;
}

void Form1::winModeTick()
{
    if (m_winModeTickWaits)
        return; // an earlier tick is waiting for the picture
    const slideshow::DecodeAhead &ahead = winModeAhead();
    if (ahead.pendingPath().isEmpty() || ahead.isReady()) {
        Timer1_Timer();
        return;
    }
    // Waiting in the tick would leave "&Pause" and the other items
    // unanswered for as long as a large picture takes to decode; the tick
    // runs once the picture is there, unless the show was paused or ended.
    m_winModeTickWaits = true;
    QTimer::singleShot(WaitPollMs, this, [this] {
        m_winModeTickWaits = false;
        if (Timer1->Enabled() && Timer1->Interval() > 0)
            winModeTick();
    });
}

void Form1::WinModePic()
{
    // A failing step puts the error banner in place of the picture, empties
    // the information, and the steps after it still run.
    const auto failed = [this] {
        Image1->setPicture(Picture4->Picture());
        Label7->setCaption(QString());
        Label8->setCaption(QString());
        Label9->setCaption(QString());
    };
    // 1.-3.
    if (auto1->Checked())
        Image1->setVisible(false);
    if (Act1->Checked())
        Image1->setStretch(false);
    if (auto1->Checked())
        Image1->setStretch(false);
    // 4.
    SBack = ShowCnt;
    // 5.
    const QString entry = File1->List(ShowCnt);
    const QString path = winpath::join(File1->Path(), entry);
    // 6.
    Label2->setCaption(path);
    // 7. Decoded ahead while the previous picture was on screen, unless the
    // file has changed since; then read here.
    const std::optional<picture::Picture> loaded =
        slideshow::readForShow(winModeAhead(), hostPath(path), paneTarget(*this));
    if (loaded)
        Image1->setPicture(*loaded);
    else
        failed();
    // 8.
    Label9->setCaption(pictureSizeText(Image1->Width(), Image1->Height()));
    // 9.
    ApplyMode();
    // 10.-11. The file named by its entry, in the current directory.
    const auto status = platform::hostFileStatus(hostPath(platform::CurrentDirectory::resolve(entry)));
    if (status && status->isFile) {
        Label7->setCaption(fileSizeText(status->size));
        Label8->setCaption(fileDateText(status->lastModified));
    } else {
        failed();
    }
    // 12.
    setCaption(pictureTitle(path, ShowCnt + 1, File1->ListCount()));
    // The pictures the next ticks show, decoded while this one is on screen.
    decodeWinModeAhead(slideshow::nextShowIndex(SBack, File1->ListCount(), settings::Read(settings::Loop) == On));
}

slideshow::DecodeAhead &Form1::winModeAhead()
{
    if (!m_winModeAhead)
        m_winModeAhead = std::make_unique<slideshow::DecodeAhead>();
    return *m_winModeAhead;
}

void Form1::decodeWinModeAhead(std::optional<qint32> first)
{
    winModeAhead().request(upcomingShowFiles(first), paneTarget(*this));
}

void Form1::pause1_Click()
{
    if (Label2->Caption().isEmpty())
        return;
    // The interval is kept.
    Timer1->setEnabled(false);
    ops->setVisible(true);
    play1->setVisible(true);
    pause1->setVisible(false);
}

void Form1::play1_Click()
{
    // 1. A hand step or a jump left ShowCnt on the picture on screen.
    if (BackCheck == 1) {
        ShowCnt = ShowCnt + 1;
        BackCheck = 0;
    }
    // 2.
    Timer1->setEnabled(true);
    Timer1->setInterval(cuspeed);
    // 3.
    play1->setVisible(false);
    pause1->setVisible(true);
    ops->setVisible(false);
    back1->setVisible(true);
}

void Form1::stop1_Click()
{
    Label2->setCaption(QString());
    Label3->setCaption(QString());
    setBrowsingEnabled(*this, true);
    hideShowItems(*this);
    Timer1->setEnabled(false);
    Timer1->setInterval(0);
    ShowCnt = 0;
    Dir1_Change();
    Image1->setPicture(Picture3->Picture());
    if (Frame1->isHidden())
        restore_Click();
}

void Form1::speed3_Click()
{
    slideshow::Form3::open(slideshow::Form3::Size::Designed);
}

} // namespace app
