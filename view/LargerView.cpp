// The larger view inside the main window, and the full view on its own window.
#include "app/Form1.h"
#include "controls/ComboBox.h"
#include "controls/DirListBox.h"
#include "controls/DriveListBox.h"
#include "controls/ImageControl.h"
#include "controls/MenuItem.h"
#include "controls/PictureBox.h"
#include "controls/ScrollBar.h"
#include "view/Form8.h"

#include <QGroupBox>
#include <QGuiApplication>
#include <QScreen>

namespace app {

namespace {

const QString kLargerView = QStringLiteral("Larger View");
const QString kRestore = QStringLiteral("Restore");

} // namespace

void Form1::largev_Click()
{
    if (largev->Caption() == kRestore) {
        restore_Click();
        return;
    }
    // Only from the normal layout, which shows the information frame.
    if (Frame1->isHidden())
        return;
    Drive1->hide();
    Dir1->hide();
    Combo1->hide();
    Frame1->hide();
    Picture5->setTwipsGeometry(0, 0, 9255, 5895);
    HScroll1->setTwipsGeometry(0, 5880, 9255, 233);
    largev->setCaption(kRestore);
    ApplyMode();
}

void Form1::restore_Click()
{
    Drive1->show();
    Dir1->show();
    Combo1->show();
    Picture5->setTwipsGeometry(2400, 0, 6855, 5895);
    HScroll1->setTwipsGeometry(2400, 5880, 6855, 233);
    ApplyMode();
    Frame1->show();
    largev->setCaption(kLargerView);
    restore->setVisible(false);
}

void Form1::Image1_Click()
{
    if (!Frame1->isHidden()) {
        if (auto1->Checked())
            ShowFullView();
        return;
    }
    restore_Click();
}

void Form1::Picture5_Click()
{
    Image1_Click();
}

void Form1::Image4_Click()
{
    largev_Click();
}

void Form1::Image4_MouseDown(int button, int, float x, float y)
{
    if (button == 2)
        systray1->popup(Image4->mapToGlobal(QPoint(int(x), int(y))));
}

void Form1::ShowFullView()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    const QSize screenPixels = screen ? screen->geometry().size() : QSize(1024, 768);
    view::showFullView(view::Form8::instance(), Image1->Picture(), screenPixels);
}

void Form1::fullscreen1_Click()
{
    ShowFullView();
}

void Form1::File1_DblClick()
{
    ShowFullView();
}

} // namespace app
