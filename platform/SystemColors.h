#pragma once

#include <QColor>
#include <QtGlobal>

// Colours as the Windows API encodes them in a 32-bit value: 0x00BBGGRR for
// an RGB colour, or a system colour index with the top bit set (0x8000000F is
// the button face), which follows the desktop's colour scheme.
namespace platform {

inline constexpr quint32 SystemColorFlag = 0x80000000u;
inline constexpr int COLOR_WINDOWTEXT = 8;
inline constexpr int COLOR_BTNFACE = 15;

inline constexpr qint32 systemColor(int index)
{
    return static_cast<qint32>(SystemColorFlag | static_cast<quint32>(index));
}

// The platform colour that `value` stands for now. A system colour index is
// looked up in the application palette; an unknown index gives black.
QColor resolveColor(qint32 value);

// The 0x00BBGGRR value of an RGB colour.
qint32 rgbValue(const QColor &color);

} // namespace platform
