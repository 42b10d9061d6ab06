// The notification-area icon of the main window.
#include "app/Form1.h"

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

void Form1::ok_Click()
{
    systray_Click();
}

} // namespace app
