// The notification-area icon of the main window.
#include "app/Form1.h"
#include "app/Icon.h"
#include "controls/MenuItem.h"

#include <QEvent>
#include <QMenu>

#include <utility>

namespace app {

namespace {

// The first press of a double click on the icon opens the tray menu, which
// then takes the mouse: the second click would land on "Start SlideShow".
// A double click on the icon does nothing, so the menu lets that click go by.
class SecondClickOfDoubleClick final : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        // Qt gives the second press of a double click as a double-click
        // event; it and its release are kept from the menu.
        switch (event->type()) {
        case QEvent::MouseButtonDblClick:
            m_swallowing = true;
            return true;
        case QEvent::MouseButtonRelease:
            return std::exchange(m_swallowing, false);
        default:
            return false;
        }
    }

private:
    bool m_swallowing = false;
};

void ignoreSecondClickOfDoubleClick(QMenu *menu)
{
    const QString name = QStringLiteral("SecondClickOfDoubleClick");
    if (!menu || menu->findChild<QObject *>(name, Qt::FindDirectChildrenOnly))
        return;
    auto *filter = new SecondClickOfDoubleClick(menu);
    filter->setObjectName(name);
    menu->installEventFilter(filter);
}

} // namespace

void Form1::systray_Click()
{
    hide();
    platform::tray().setIcon(applicationIcon());
    // An add that no one would see fails (no notification area, no picture);
    // a hidden window with no icon would leave the user no way back, so the
    // window shows again.
    if (!platform::tray().notifyIcon(platform::NIM_ADD, TrayIconData))
        show();
}

void Form1::TrayIcon_Message(quint32 mouseMessage, const QPoint &globalPos)
{
    // Only a left press on the icon opens its menu; moves, the right button
    // and double clicks are ignored.
    if (mouseMessage == platform::WM_LBUTTONDOWN) {
        ignoreSecondClickOfDoubleClick(traymenu1->menu());
        traymenu1->popup(globalPos);
    }
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
