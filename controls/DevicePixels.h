#pragma once

#include "picture/Picture.h"

#include <QRect>
#include <QSize>
#include <QTransform>

#include <functional>

class QPainter;
class QWidget;

// Where pictures land on the screen's own pixels. Layout stays in logical
// pixels (Qt scales them on a high-density screen); what is decoded and
// drawn is sized in device pixels, so that a picture is not drawn at its
// logical size and then enlarged by the screen scale.
namespace controls {

// The nearest whole pixel, halves upwards (also below 0); NaN gives 0 and
// values far off every screen are clamped, so the conversion to int is
// always defined.
int nearestPixel(double x);

// The device pixels that `logical` covers under `logicalToDevice`: each edge
// mapped and rounded on its own, as Qt rounds a widget's area on a scaled
// screen, so that rectangles that share an edge share it on the device too.
QRect deviceRect(const QTransform &logicalToDevice, const QRect &logical);
// The same for a rectangle in `widget`'s coordinates, in the device pixels
// of the window it lies in.
QRect deviceRect(const QWidget &widget, const QRect &logical);

// Whether a raster holding `pixels` for a picture of `natural` size, shown
// at `shown` logical pixels on `device` pixels, is mapped pixel to pixel
// (each device pixel takes the nearest picture pixel) rather than smoothed:
// when it already holds about as many pixels as it covers (rounding the
// logical and the device geometry each to whole pixels can leave one pixel
// of difference), or when the whole picture is shown one picture pixel to a
// logical pixel, so that a scaled screen shows each picture pixel as a crisp
// block instead of blurring it.
bool drawnPixelToPixel(QSize pixels, QSize natural, QSize shown, QSize device);

// Draws `picture` into `logical` (the painter's coordinates) on whole device
// pixels: a drawing is played there at the device's resolution; a raster is
// mapped pixel to pixel when drawnPixelToPixel() says so, otherwise smoothed
// to the device size, through `smoothed` when given (it returns the raster
// already scaled to that size, or null to have it scaled while drawing).
void drawOnDevicePixels(QPainter &painter, const picture::Picture &picture, const QRect &logical,
                        const std::function<const QImage *(QSize device)> &smoothed = {});

} // namespace controls
