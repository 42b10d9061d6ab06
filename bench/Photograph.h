#pragma once

// Pictures for the benchmarks that a camera's pictures resemble closely
// enough for decoding to cost what it costs on those.

#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QRandomGenerator>

namespace benchpicture {

// A photograph-like picture: a gradient, a few shapes and grain, so that the
// JPEG coder has detail to keep, as it has in a photograph.
inline QImage photograph(QSize size, int seed)
{
    QImage image(size, QImage::Format_RGB32);
    QPainter p(&image);
    QLinearGradient sky(0, 0, 0, size.height());
    sky.setColorAt(0, QColor::fromHsv((seed * 41) % 360, 120, 240));
    sky.setColorAt(1, QColor::fromHsv((seed * 41 + 90) % 360, 180, 70));
    p.fillRect(image.rect(), sky);
    for (int i = 0; i < 60; ++i) {
        p.setBrush(QColor::fromHsv((seed * 17 + i * 23) % 360, 160, 60 + i * 3));
        p.setPen(Qt::NoPen);
        p.drawEllipse(QPointF((i * 131 + seed * 57) % size.width(), (i * 71 + seed * 13) % size.height()),
                      size.width() / 14.0, size.height() / 18.0);
    }
    p.end();
    QRandomGenerator grain{quint32(seed)};
    for (int y = 0; y < size.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < size.width(); ++x) {
            const int d = int(grain.bounded(17)) - 8;
            const QRgb c = line[x];
            line[x] = qRgb(qBound(0, qRed(c) + d, 255), qBound(0, qGreen(c) + d, 255), qBound(0, qBlue(c) + d, 255));
        }
    }
    return image;
}

} // namespace benchpicture
