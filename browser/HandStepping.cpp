// "&Back" and "&Next" of the window-mode slide show: each pauses the show
// and shows the picture before or after the one on screen.
#include "app/Form1.h"
#include "controls/FileListBox.h"
#include "controls/Label.h"
#include "platform/Dialogs.h"

namespace app {

namespace {

// Steps 1 and 2 of both: false while no window-mode show has a picture on
// screen. Pausing by hand leaves the timer's interval, a hand step sets it
// to 0 as well.
bool pauseForHandStep(Form1 &form)
{
    if (form.Label2->Caption().isEmpty())
        return false;
    form.pause1_Click();
    form.Timer1->setInterval(0);
    return true;
}

} // namespace

void Form1::back1_Click()
{
    // 1.-2.
    if (!pauseForHandStep(*this))
        return;
    // 3. The first picture is on screen: paused there.
    if (SBack == 0)
        return;
    // 4.
    BackCheck = 1;
    ShowCnt = SBack - 1;
    WinModePic();
}

void Form1::next1_Click()
{
    // 1.-2.
    if (!pauseForHandStep(*this))
        return;
    // 3. The last picture is on screen: paused there.
    if (File1->ListCount() == SBack + 1) {
        platform::dialogs().MsgBox(QStringLiteral("The last picture of this folder"));
        return;
    }
    // 4.
    BackCheck = 1;
    ShowCnt = SBack + 1;
    WinModePic();
}

} // namespace app
