#pragma once

#include <QByteArray>
#include <QIcon>
#include <QObject>
#include <QString>
#include <QtGlobal>

#include <memory>

namespace platform {

// The notification-icon record handed to the shell (NOTIFYICONDATAA as the
// viewer fills it: 88 bytes with an 8-bit tip text).
struct NotifyIconData {
    quint32 cbSize = 0;
    quint32 hWnd = 0;
    quint32 uID = 0;
    quint32 uFlags = 0;
    quint32 uCallbackMessage = 0;
    quint32 hIcon = 0;
    QString szTip; // 64 characters

    static constexpr int TipLength = 64;
    // The record as the shell receives it: six 32-bit fields, then the tip
    // in the 8-bit code page, cut or padded with NULs to 64 bytes.
    QByteArray toBytes() const;
};

inline constexpr quint32 NIM_ADD = 0;
inline constexpr quint32 NIM_DELETE = 2;
inline constexpr quint32 WM_MOUSEMOVE = 0x200;
inline constexpr quint32 WM_LBUTTONDOWN = 0x201;
inline constexpr quint32 WM_RBUTTONDOWN = 0x204;
inline constexpr quint32 WM_LBUTTONDBLCLK = 0x203;

// The notification area. A mouse action on the icon reaches the owner as the
// mouse message number, as the shell delivers it through the record's
// callback message.
class Tray : public QObject {
    Q_OBJECT
public:
    // False when the desktop has no notification area.
    virtual bool isAvailable() const = 0;
    // Shell_NotifyIcon: NIM_ADD shows the icon with the record's tip, NIM_DELETE
    // removes it. Returns false when the shell refused; an add also fails when
    // the icon would not be seen (no notification area, no picture).
    virtual bool notifyIcon(quint32 message, const NotifyIconData &data) = 0;
    virtual bool isIconShown() const = 0;

    // The icon shown for the record's icon handle.
    void setIcon(const QIcon &icon) { m_icon = icon; }
    QIcon icon() const { return m_icon; }

signals:
    // `mouseMessage` is WM_LBUTTONDOWN, WM_RBUTTONDOWN, ...; `globalPos` the mouse position.
    void iconMessage(quint32 mouseMessage, QPoint globalPos);

private:
    QIcon m_icon;
};

Tray &tray();
void setTray(std::unique_ptr<Tray> tray);
std::unique_ptr<Tray> makeQtTray();

} // namespace platform
