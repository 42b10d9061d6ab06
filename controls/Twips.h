#pragma once

#include <QRect>
#include <QtGlobal>

// Window and control geometry is given in twips (1/1440 inch). Qt lays out
// widgets in device-independent pixels, which are 15 twips at the usual
// density and are scaled by Qt on a high-density screen, so the proportions
// stay right everywhere.
namespace controls {

inline constexpr double TwipsPerPixel = 15.0;

inline int twipsToPixels(double twips)
{
    return qRound(twips / TwipsPerPixel);
}

inline double pixelsToTwips(double pixels)
{
    return pixels * TwipsPerPixel;
}

inline QRect twipsRect(double left, double top, double width, double height)
{
    return QRect(twipsToPixels(left), twipsToPixels(top), twipsToPixels(width), twipsToPixels(height));
}

} // namespace controls
