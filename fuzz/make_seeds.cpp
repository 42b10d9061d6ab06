// Writes the fuzzer's seed files (our own generated metafiles) into the
// folder given: the sample drawings and one small file per feature.
#include "picture/metafile/writer/MetafileWriter.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <cstdio>

using namespace picture::metafile::writer;

namespace {

bool save(const QString &dir, const QString &name, const QByteArray &data)
{
    QFile f(dir + QLatin1Char('/') + name);
    return f.open(QIODevice::WriteOnly) && f.write(data) == data.size();
}

QImage gradientImage(int w, int h)
{
    QImage image(w, h, QImage::Format_ARGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.setPixel(x, y, qRgba(x * 255 / w, y * 255 / h, 128, 255 - x * 200 / w));
    return image;
}

// `image` in a compressed format ("PNG", "JPEG"), as a bitmap record carries it.
QByteArray encoded(const QImage &image, const char *format)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTDIR\n", argv[0]);
        return 2;
    }
    const QString dir = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(dir);
    bool ok = save(dir, "sample.wmf", sampleWmf()) && save(dir, "sample.emf", sampleEmf());

    {
        WmfWriter w(false);
        w.setWindowExt(200, 100);
        const int clip = w.createRegion(QRect(10, 10, 100, 50));
        w.selectClipRegion(clip);
        w.saveDc();
        w.intersectClipRect(QRect(0, 0, 150, 80));
        w.polyPolygon({QPolygon({QPoint(0, 0), QPoint(100, 0), QPoint(50, 90)}), QPolygon({QPoint(20, 20), QPoint(80, 20), QPoint(50, 60)})});
        w.restoreDc();
        w.arc(0x0817, QRect(0, 0, 80, 80), QPoint(80, 40), QPoint(0, 40));
        w.arc(0x0830, QRect(100, 0, 180, 80), QPoint(180, 40), QPoint(100, 40));
        w.extTextOut(5, 90, 6, QRect(0, 70, 100, 100), "Hello", {10, 10, 10, 10, 10});
        w.stretchDib(QRect(120, 50, 60, 40), gradientImage(6, 4), 8);
        w.patBlt(QRect(0, 0, 20, 20), 0x005A0049);
        ok = ok && save(dir, "features.wmf", w.finish());
    }
    {
        EmfWriter w(QRect(0, 0, 5000, 5000));
        w.setMapMode(7);
        w.setWindowExt(100, 100);
        w.setViewportExt(189, 189);
        w.setWorldTransform(0.9, 0.1, -0.1, 0.9, 5, 5);
        w.beginPath();
        w.moveTo(10, 10);
        w.poly(85, QPolygon({QPoint(40, 0), QPoint(60, 80), QPoint(90, 10)}));
        w.closeFigure();
        w.endPath();
        w.selectClipPath(5);
        w.selectClipRects({QRect(0, 0, 50, 50), QRect(50, 50, 40, 40)}, 1);
        w.bitBlt(QRect(0, 0, 30, 30), gradientImage(3, 3), 24);
        w.alphaBlend(QRect(30, 30, 40, 40), gradientImage(4, 4), 200, true);
        w.setDiBitsToDevice(QPoint(60, 0), gradientImage(5, 2), 4);
        w.stretchDiBits(QRect(0, 60, 40, 40), gradientImage(7, 3), 1);
        const int brush = w.createDibPatternBrush(gradientImage(8, 8), 16);
        w.selectObject(quint32(brush));
        w.roundRect(QRect(10, 10, 90, 90), 20, 20);
        w.extTextOut(10, 50, QStringLiteral("Fuzz"), 4, QRect(0, 40, 60, 60), {8, 8, 8, 8});
        ok = ok && save(dir, "features.emf", w.finish());
    }
    {
        // Bitmap records whose bits are a PNG (compression 5) or a JPEG (4).
        EmfWriter w(QRect(0, 0, 3000, 3000));
        const QImage image = gradientImage(6, 5);
        for (const auto &[compression, format] : {std::pair<int, const char *>{5, "PNG"}, {4, "JPEG"}}) {
            const QByteArray bits = encoded(image, format);
            QByteArray info = dibInfo(image, 24).left(40);
            info[14] = 0; // bits per pixel: given by the embedded picture
            info[16] = char(compression);
            info[20] = char(bits.size() & 0xff), info[21] = char((bits.size() >> 8) & 0xff);
            w.stretchDiBits(QRect(compression * 10, 0, 30, 25), image.size(), info, bits);
        }
        ok = ok && save(dir, "embedded-png-jpeg.emf", w.finish());
    }
    return ok ? 0 : 1;
}
