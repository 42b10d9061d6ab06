#include "controls/DevicePixels.h"

#include <QPainter>
#include <QWidget>

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace controls {

namespace {

// Beyond this a position is off every screen.
constexpr double EdgeLimit = 1.0e8;

} // namespace

int nearestPixel(double x)
{
    if (std::isnan(x))
        return 0;
    return int(std::floor(std::clamp(x, -EdgeLimit, EdgeLimit) + 0.5));
}

QRect deviceRect(const QTransform &logicalToDevice, const QRect &logical)
{
    const QPointF topLeft = logicalToDevice.map(QPointF(logical.x(), logical.y()));
    const QPointF bottomRight =
        logicalToDevice.map(QPointF(double(logical.x()) + logical.width(), double(logical.y()) + logical.height()));
    const int left = nearestPixel(topLeft.x());
    const int top = nearestPixel(topLeft.y());
    return QRect(QPoint(left, top),
                 QSize(std::max(nearestPixel(bottomRight.x()) - left, 0), std::max(nearestPixel(bottomRight.y()) - top, 0)));
}

QRect deviceRect(const QWidget &widget, const QRect &logical)
{
    // A widget paints into its window's buffer at its offset there, and the
    // buffer is scaled as a whole: the same mapping its painter gets.
    const QPoint origin = widget.mapTo(widget.window(), QPoint(0, 0));
    const qreal ratio = widget.devicePixelRatioF();
    return deviceRect(QTransform::fromTranslate(origin.x(), origin.y()) * QTransform::fromScale(ratio, ratio), logical);
}

bool drawnPixelToPixel(QSize pixels, QSize natural, QSize shown, QSize device)
{
    const bool asManyPixels =
        std::abs(pixels.width() - device.width()) <= 1 && std::abs(pixels.height() - device.height()) <= 1;
    const bool wholeAtNaturalSize = pixels == natural && shown == natural;
    return asManyPixels || wholeAtNaturalSize;
}

void drawOnDevicePixels(QPainter &painter, const picture::Picture &picture, const QRect &logical,
                        const std::function<const QImage *(QSize device)> &smoothed)
{
    if (picture.isNull() || logical.isEmpty())
        return;
    const QTransform toDevice = painter.deviceTransform();
    const QRect device = deviceRect(toDevice, logical);
    if (device.isEmpty())
        return;
    // In the painter's own coordinates, whose edges fall on those device
    // pixels (fractional ones on a screen scaled by 1.25, say).
    const QRectF target = toDevice.inverted().mapRect(QRectF(device));
    if (picture.isDrawing()) {
        picture.draw(painter, target);
        return;
    }
    const QImage &pixels = picture.image();
    if (drawnPixelToPixel(pixels.size(), picture.naturalSize(), logical.size(), device.size())) {
        painter.save();
        painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
        painter.drawImage(target, pixels);
        painter.restore();
        return;
    }
    if (const QImage *scaled = smoothed ? smoothed(device.size()) : nullptr) {
        painter.drawImage(target, *scaled);
        return;
    }
    picture.draw(painter, target);
}

} // namespace controls
