#include "tools/samples/Samples.h"

#include "picture/metafile/writer/MetafileWriter.h"

#include "tools/samples/SampleWriters.h"

#include <QBuffer>
#include <QImageWriter>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <cmath>

namespace samples {

namespace {

// Hills under an evening sky with a sun and a lake; scales to any size.
QImage landscape(int w, int h)
{
    QImage image(w, h, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, h * 0.65);
    sky.setColorAt(0, QColor(24, 48, 112));
    sky.setColorAt(0.6, QColor(240, 140, 90));
    sky.setColorAt(1, QColor(255, 210, 140));
    p.fillRect(image.rect(), sky);

    QRadialGradient sun(w * 0.7, h * 0.45, h * 0.12);
    sun.setColorAt(0, QColor(255, 250, 210));
    sun.setColorAt(0.7, QColor(255, 220, 120));
    sun.setColorAt(1, QColor(255, 200, 120, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(sun);
    p.drawEllipse(QPointF(w * 0.7, h * 0.45), h * 0.12, h * 0.12);

    auto ridge = [&](double base, double amplitude, double frequency, double phase, QColor colour) {
        QPainterPath path(QPointF(0, h));
        for (int x = 0; x <= w; x += std::max(1, w / 200))
            path.lineTo(x, h * (base - amplitude * std::sin(frequency * x / w * 6.283 + phase)
                                - amplitude * 0.4 * std::sin(frequency * 2.7 * x / w * 6.283 + phase * 2)));
        path.lineTo(w, h);
        path.closeSubpath();
        p.setBrush(colour);
        p.drawPath(path);
    };
    ridge(0.62, 0.08, 1.3, 0.4, QColor(90, 70, 120));
    ridge(0.70, 0.06, 2.1, 1.7, QColor(60, 100, 80));
    ridge(0.80, 0.05, 1.7, 2.9, QColor(40, 120, 60));

    QLinearGradient lake(0, h * 0.85, 0, h);
    lake.setColorAt(0, QColor(70, 110, 170));
    lake.setColorAt(1, QColor(30, 50, 100));
    p.setBrush(lake);
    p.drawRect(QRectF(0, h * 0.86, w, h * 0.14));
    p.setBrush(QColor(255, 230, 160, 120));
    for (int i = 0; i < 6; ++i)
        p.drawRect(QRectF(w * (0.66 - 0.01 * i), h * (0.87 + 0.02 * i), w * (0.08 + 0.02 * i), std::max(1.0, h * 0.006)));
    return image;
}

// A lighthouse on a rock, taller than wide.
QImage portrait(int w, int h)
{
    QImage image(w, h, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, h);
    sky.setColorAt(0, QColor(120, 180, 230));
    sky.setColorAt(0.7, QColor(200, 230, 250));
    sky.setColorAt(1, QColor(40, 90, 150));
    p.fillRect(image.rect(), sky);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(40, 90, 150));
    p.drawRect(QRectF(0, h * 0.8, w, h * 0.2));
    p.setBrush(QColor(90, 80, 70));
    p.drawEllipse(QRectF(w * 0.1, h * 0.72, w * 0.8, h * 0.2));
    const double left = w * 0.38, right = w * 0.62, top = h * 0.2, bottom = h * 0.78;
    for (int band = 0; band < 6; ++band) {
        const double y0 = top + (bottom - top) * band / 6, y1 = top + (bottom - top) * (band + 1) / 6;
        const double inset0 = (y0 - top) / (bottom - top) * w * -0.04, inset1 = (y1 - top) / (bottom - top) * w * -0.04;
        QPolygonF part({QPointF(left - inset0 + w * 0.04, y0), QPointF(right + inset0 - w * 0.04, y0),
                        QPointF(right + inset1 - w * 0.04, y1), QPointF(left - inset1 + w * 0.04, y1)});
        p.setBrush(band % 2 ? QColor(200, 30, 40) : QColor(245, 245, 240));
        p.drawPolygon(part);
    }
    p.setBrush(QColor(50, 50, 60));
    p.drawRect(QRectF(w * 0.4, h * 0.12, w * 0.2, h * 0.08));
    p.setBrush(QColor(255, 240, 150));
    p.drawRect(QRectF(w * 0.43, h * 0.13, w * 0.14, h * 0.06));
    p.setBrush(QColor(50, 50, 60));
    p.drawPolygon(QPolygonF({QPointF(w * 0.38, h * 0.12), QPointF(w * 0.62, h * 0.12), QPointF(w * 0.5, h * 0.07)}));
    return image;
}

// A small round badge with a transparent surround, for icons.
QImage badge(int size)
{
    QImage image(size, size, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QRadialGradient fill(size * 0.35, size * 0.35, size * 0.7);
    fill.setColorAt(0, QColor(120, 200, 255));
    fill.setColorAt(1, QColor(20, 80, 170));
    p.setPen(QPen(QColor(10, 40, 90), std::max(1.0, size / 16.0)));
    p.setBrush(fill);
    const double m = std::max(1.0, size / 16.0);
    p.drawEllipse(QRectF(m, m, size - 2 * m, size - 2 * m));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 230));
    p.drawEllipse(QRectF(size * 0.3, size * 0.3, size * 0.4, size * 0.4));
    return image;
}

// An arrow pointer whose tip is at (1, 1).
QImage pointer()
{
    QImage image(32, 32, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Qt::black, 1.5));
    p.setBrush(Qt::white);
    p.drawPolygon(QPolygonF({QPointF(1, 1), QPointF(1, 24), QPointF(7, 18), QPointF(11, 28), QPointF(15, 26),
                             QPointF(11, 17), QPointF(19, 17)}));
    return image;
}

// A tiny striped flag.
QImage tiny()
{
    QImage image(24, 16, QImage::Format_RGB32);
    QPainter p(&image);
    p.fillRect(0, 0, 24, 16, QColor(0, 85, 164));
    p.fillRect(8, 0, 8, 16, Qt::white);
    p.fillRect(16, 0, 8, 16, QColor(239, 65, 53));
    return image;
}

QByteArray jpeg(const QImage &image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpeg");
    writer.setQuality(88);
    writer.write(image);
    return bytes;
}

} // namespace

QList<Sample> makeSamples()
{
    QList<Sample> list;
    const QImage wide = landscape(640, 400);
    const QImage tall = portrait(300, 450);
    const QImage large = landscape(2000, 1500);
    const QImage small = tiny();
    const QImage mid = landscape(320, 200);
    list.append({QStringLiteral("landscape.bmp"), writeBmp24(wide), wide, true});
    list.append({QStringLiteral("portrait.rle"), writeBmpRle8(tall), toPaletteImage(tall), true});
    list.append({QStringLiteral("clipboard.dib"), writeHeaderlessDib(mid), toPaletteImage(mid), true});
    list.append({QStringLiteral("portrait.gif"), writeGif(tall), toPaletteImage(tall), true});
    list.append({QStringLiteral("tiny.gif"), writeGif(small), toPaletteImage(small), true});
    list.append({QStringLiteral("large.jpg"), jpeg(large), large, false});
    list.append({QStringLiteral("portrait.jpg"), jpeg(tall), tall, false});
    list.append({QStringLiteral("badge.ico"), writeIco({badge(16), badge(32), badge(48), badge(256)}), badge(256), true});
    list.append({QStringLiteral("pointer.cur"), writeCur(pointer(), QPoint(1, 1)), pointer(), true});

    // Drawings: no pixels to compare, they are played at whatever size is shown.
    list.append({QStringLiteral("drawing.wmf"), picture::metafile::writer::sampleWmf(), {}, false});
    list.append({QStringLiteral("drawing.emf"), picture::metafile::writer::sampleEmf(), {}, false});
    return list;
}

} // namespace samples
