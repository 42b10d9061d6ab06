#include "platform/SystemColors.h"

#include <QGuiApplication>
#include <QPalette>

#include <optional>

namespace platform {

namespace {

std::optional<QPalette::ColorRole> roleOfSystemIndex(int index)
{
    switch (index) {
    case 1: // desktop background
    case 12: // application workspace
        return QPalette::Dark;
    case 2: // active caption
    case 13: // highlight
        return QPalette::Highlight;
    case 3: // inactive caption
    case 10: // active border
    case 11: // inactive border
    case 15: // button face
    case 0: // scroll bar
        return QPalette::Button;
    case 4: // menu
        return QPalette::Window;
    case 5: // window background
        return QPalette::Base;
    case 6: // window frame
    case 21: // 3D dark shadow
        return QPalette::Shadow;
    case 7: // menu text
    case 8: // window text
        return QPalette::WindowText;
    case 9: // caption text
    case 14: // highlight text
        return QPalette::HighlightedText;
    case 16: // button shadow
        return QPalette::Mid;
    case 17: // grey text
        return QPalette::PlaceholderText;
    case 18: // button text
        return QPalette::ButtonText;
    case 19: // inactive caption text
        return QPalette::Midlight;
    case 20: // button highlight
        return QPalette::Light;
    case 22: // 3D light
        return QPalette::Midlight;
    case 23: // tooltip text
        return QPalette::ToolTipText;
    case 24: // tooltip background
        return QPalette::ToolTipBase;
    default:
        return std::nullopt;
    }
}

} // namespace

QColor resolveColor(qint32 value)
{
    const auto bits = static_cast<quint32>(value);
    if (bits & SystemColorFlag) {
        const auto role = roleOfSystemIndex(static_cast<int>(bits & 0xFFu));
        if (!role || (bits & 0x7FFFFF00u))
            return Qt::black;
        return QGuiApplication::palette().color(QPalette::Active, *role);
    }
    return QColor(static_cast<int>(bits & 0xFF), static_cast<int>((bits >> 8) & 0xFF),
                  static_cast<int>((bits >> 16) & 0xFF));
}

qint32 rgbValue(const QColor &color)
{
    const QColor c = color.toRgb();
    return static_cast<qint32>(static_cast<quint32>(c.red()) | (static_cast<quint32>(c.green()) << 8)
                               | (static_cast<quint32>(c.blue()) << 16));
}

} // namespace platform
