#include "app/Banners.h"

#include <QFont>
#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainter>

#include <algorithm>

namespace app {

namespace {

const QColor kLightBlue(120, 190, 255);

// The largest bold font of the application's family, from `largest` pixels
// down to 6, whose text fits `box`. A text's extent grows about in
// proportion to the font's size, so the size its extent at `largest`
// suggests is tried first and the search steps from there: two or three
// sizes are measured instead of one after another from the top, and every
// size measured loads a font of its own (this runs before the first paint).
QFont fittingFont(const QString &text, const QSizeF &box, int largest)
{
    constexpr int Smallest = 6;
    QFont font;
    font.setBold(true);
    const auto extent = [&](int size) {
        font.setPixelSize(size);
        const QFontMetricsF metrics(font);
        return QSizeF(metrics.horizontalAdvance(text), metrics.height());
    };
    const auto fits = [&](int size) {
        const QSizeF e = extent(size);
        return e.width() <= box.width() && e.height() <= box.height();
    };
    const QSizeF atLargest = extent(largest);
    int size = largest;
    if (atLargest.width() > box.width() || atLargest.height() > box.height()) {
        const double scale = std::min(box.width() / atLargest.width(), box.height() / atLargest.height());
        size = std::clamp(int(largest * scale), Smallest, std::max(Smallest, largest - 1));
        if (fits(size)) {
            while (size + 1 < largest && fits(size + 1))
                ++size;
        } else {
            while (size > Smallest && !fits(size))
                --size;
        }
    }
    font.setPixelSize(size);
    return font;
}

// An image of `size` logical pixels at `devicePixelRatio`; a painter on it
// draws in logical pixels.
QImage blankImage(QSize size, qreal devicePixelRatio)
{
    QImage image((QSizeF(size) * devicePixelRatio).toSize(), QImage::Format_RGB32);
    image.setDevicePixelRatio(devicePixelRatio);
    return image;
}

QImage drawOnBlack(QSize size, const QString &text, int largestFont, qreal devicePixelRatio)
{
    QImage image = blankImage(size, devicePixelRatio);
    image.fill(Qt::black);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.setPen(kLightBlue);
    painter.setFont(fittingFont(text, QSizeF(size) - QSizeF(8, 4), largestFont));
    painter.drawText(QRect(QPoint(0, 0), size), Qt::AlignCenter, text);
    return image;
}

} // namespace

QImage drawNotice(const QString &text, qreal devicePixelRatio)
{
    return drawOnBlack(QSize(193, 33), text, 18, devicePixelRatio);
}

QImage drawNameBanner(qreal devicePixelRatio)
{
    return drawOnBlack(QSize(144, 30), QStringLiteral("Lumadex Viewer"), 17, devicePixelRatio);
}

QImage drawStartUpPicture(qreal devicePixelRatio, const QString &subtitle)
{
    const QSize size(352, 89);
    QImage image = blankImage(size, devicePixelRatio);
    QPainter painter(&image);
    QLinearGradient sky(0, 0, 0, size.height());
    sky.setColorAt(0, QColor(8, 20, 48));
    sky.setColorAt(1, QColor(24, 64, 120));
    painter.fillRect(QRect(QPoint(0, 0), size), sky);
    painter.setRenderHint(QPainter::Antialiasing);
    // A few overlapping frames, as of pictures laid on a table.
    const QColor frames[] = {QColor(255, 196, 64), QColor(96, 200, 120), QColor(120, 190, 255)};
    for (int i = 0; i < 3; ++i) {
        painter.save();
        painter.translate(40 + i * 14, 46);
        painter.rotate(-18 + i * 16);
        painter.setPen(QPen(Qt::white, 2));
        painter.setBrush(frames[i]);
        painter.drawRoundedRect(QRectF(-20, -15, 40, 30), 3, 3);
        painter.restore();
    }
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.setPen(kLightBlue);
    painter.setFont(fittingFont(QStringLiteral("Lumadex Viewer 3.01"), QSizeF(240, 40), 30));
    painter.drawText(QRect(100, 10, 245, 44), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Lumadex Viewer 3.01"));
    painter.setPen(QColor(210, 225, 240));
    QFont small;
    small.setPixelSize(12);
    painter.setFont(small);
    painter.drawText(QRect(100, 54, 245, 24), Qt::AlignLeft | Qt::AlignVCenter, subtitle);
    return image;
}

} // namespace app
