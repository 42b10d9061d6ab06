#include "platform/Tray.h"

#include <QCursor>
#include <QSystemTrayIcon>

#include <memory>

namespace platform {

QByteArray NotifyIconData::toBytes() const
{
    QByteArray bytes;
    for (quint32 field : {cbSize, hWnd, uID, uFlags, uCallbackMessage, hIcon})
        for (int i = 0; i < 4; ++i)
            bytes.append(char((field >> (8 * i)) & 0xFF));
    QByteArray tip = szTip.toLocal8Bit().left(TipLength);
    tip.append(QByteArray(TipLength - tip.size(), '\0'));
    return bytes + tip;
}

namespace {

std::unique_ptr<Tray> &current()
{
    static std::unique_ptr<Tray> instance;
    return instance;
}

class QtTray final : public Tray {
public:
    bool isAvailable() const override { return QSystemTrayIcon::isSystemTrayAvailable(); }

    bool notifyIcon(quint32 message, const NotifyIconData &data) override
    {
        if (message == NIM_DELETE) {
            if (!m_icon)
                return false;
            m_icon->hide();
            m_icon.reset();
            return true;
        }
        if (message != NIM_ADD || m_icon)
            return false;
        // An add that no one will see is a failed add: without a tray host,
        // or with no picture (the host would show a blank square), the user
        // would have no way back to the window.
        if (!isAvailable() || icon().pixmap(QSize(16, 16)).isNull())
            return false;
        // Owned by the tray object as well, so that tests can find it.
        m_icon = std::make_unique<QSystemTrayIcon>(icon(), this);
        // The tip ends at its NUL, as the shell reads it.
        const qsizetype nul = data.szTip.indexOf(QChar(0));
        m_icon->setToolTip(nul < 0 ? data.szTip : data.szTip.left(nul));
        connect(m_icon.get(), &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason why) {
            // Qt reports a left press as Trigger and a right press as Context.
            quint32 mouse = 0;
            switch (why) {
            case QSystemTrayIcon::Trigger:
                mouse = WM_LBUTTONDOWN;
                break;
            case QSystemTrayIcon::Context:
                mouse = WM_RBUTTONDOWN;
                break;
            case QSystemTrayIcon::DoubleClick:
                mouse = WM_LBUTTONDBLCLK;
                break;
            default:
                return;
            }
            emit iconMessage(mouse, QCursor::pos());
        });
        m_icon->show();
        if (!m_icon->isVisible()) {
            m_icon.reset();
            return false;
        }
        return true;
    }

    bool isIconShown() const override { return m_icon != nullptr; }

private:
    std::unique_ptr<QSystemTrayIcon> m_icon;
};

} // namespace

Tray &tray()
{
    if (!current())
        current() = makeQtTray();
    return *current();
}

void setTray(std::unique_ptr<Tray> instance)
{
    current() = std::move(instance);
}

std::unique_ptr<Tray> makeQtTray()
{
    return std::make_unique<QtTray>();
}

} // namespace platform
