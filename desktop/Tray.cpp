// The notification-area icon of the main window.
#include "app/Form1.h"
#include "controls/MenuItem.h"

namespace app {

void Form1::systray_Click()
{
    hide();
    platform::tray().setIcon(windowIcon());
    // Without a notification area the icon cannot be added; a hidden window
    // with no icon would leave the user no way back, so the window stays.
    if (!platform::tray().notifyIcon(platform::NIM_ADD, TrayIconData))
        show();
}

void Form1::TrayIcon_Message(quint32 mouseMessage, const QPoint &globalPos)
{
    // Only a left press on the icon opens its menu; moves, the right button
    // and double clicks are ignored.
    if (mouseMessage == platform::WM_LBUTTONDOWN)
        traymenu1->popup(globalPos);
}

void Form1::openview_Click()
{
    platform::tray().notifyIcon(platform::NIM_DELETE, TrayIconData);
    show();
}

void Form1::ok_Click()
{
    systray_Click();
}

} // namespace app
