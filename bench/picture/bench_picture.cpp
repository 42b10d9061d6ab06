// Picture loading benchmark.
//
//   bench_picture [WORKDIR]
//
// Writes its test pictures into WORKDIR (a temporary folder by default):
// a 6000 x 4000 photo-like JPEG and a 200-megapixel JPEG, both made with
// libjpeg row by row so that making them needs little memory. Then it times
//   - Qt's bare QImageReader decode of the 6000 x 4000 file at the fit size,
//   - our load of the same file for a 453 x 389 fit box, with the fit and the
//     paint through Picture::draw into a 453 x 389 image,
// prints both medians and their ratio, and the same for full-size decodes,
// and shows the 200-megapixel file in a fit box.
#include "picture/Loader.h"

#include <QDir>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QImageReader>
#include <QPainter>
#include <QTemporaryDir>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <vector>

#include <jpeglib.h>

namespace {

// Smooth colour fields with fine texture, so the file compresses like a photo.
bool writeTestJpeg(const QString &path, int width, int height, int quality)
{
    FILE *file = std::fopen(QFile::encodeName(path).constData(), "wb");
    if (!file)
        return false;
    jpeg_compress_struct cinfo;
    jpeg_error_mgr errors;
    cinfo.err = jpeg_std_error(&errors);
    jpeg_create_compress(&cinfo);
    jpeg_stdio_dest(&cinfo, file);
    cinfo.image_width = JDIMENSION(width);
    cinfo.image_height = JDIMENSION(height);
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, quality, TRUE);
    jpeg_start_compress(&cinfo, TRUE);
    std::vector<JSAMPLE> row(size_t(width) * 3);
    uint32_t seed = 12345;
    while (cinfo.next_scanline < cinfo.image_height) {
        const int y = int(cinfo.next_scanline);
        for (int x = 0; x < width; ++x) {
            seed = seed * 1664525u + 1013904223u;
            const int grain = int(seed >> 28) - 8;
            const double u = double(x) / width, v = double(y) / height;
            row[size_t(3 * x)] = JSAMPLE(std::clamp(int(128 + 100 * std::sin(6 * u + 2 * v)) + grain, 0, 255));
            row[size_t(3 * x + 1)] = JSAMPLE(std::clamp(int(128 + 90 * std::cos(5 * v - 3 * u)) + grain, 0, 255));
            row[size_t(3 * x + 2)] = JSAMPLE(std::clamp(int(100 + 80 * std::sin(9 * u * v + 1)) + grain, 0, 255));
        }
        JSAMPROW rows[1] = {row.data()};
        jpeg_write_scanlines(&cinfo, rows, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    return std::fclose(file) == 0;
}

double medianMs(int runs, const std::function<bool()> &body)
{
    std::vector<double> times;
    body(); // warm the file cache
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        if (!body())
            return -1;
        times.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

QSize fitInside(QSize natural, QSize box)
{
    return natural.scaled(box, Qt::KeepAspectRatio).boundedTo(natural);
}

} // namespace

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    QTemporaryDir temporary;
    const QString dir = argc > 1 ? QString::fromLocal8Bit(argv[1]) : temporary.path();
    QDir().mkpath(dir);
    const QString photo = dir + "/photo-6000x4000.jpg";
    const QString huge = dir + "/huge-200mp.jpg";
    if (!QFile::exists(photo) && !writeTestJpeg(photo, 6000, 4000, 90))
        return 1;
    if (!QFile::exists(huge) && !writeTestJpeg(huge, 17320, 11547, 75))
        return 1;

    const QSize box(453, 389);
    const QSize fit = fitInside(QSize(6000, 4000), box);
    const int runs = 15;

    const double qtScaled = medianMs(runs, [&] {
        QImageReader reader(photo);
        reader.setScaledSize(fit);
        return !reader.read().isNull();
    });
    const double ours = medianMs(runs, [&] {
        const picture::LoadResult result = picture::load(photo, picture::DecodeSize::within(box));
        if (!result.ok())
            return false;
        QImage canvas(box, QImage::Format_RGB32);
        canvas.fill(Qt::black);
        QPainter painter(&canvas);
        const QSize shown = fitInside(result.picture.naturalSize(), box);
        const QPoint origin((box.width() - shown.width()) / 2, (box.height() - shown.height()) / 2);
        result.picture.draw(painter, QRectF(origin, shown));
        return true;
    });
    std::printf("6000x4000 JPEG into a %dx%d fit box (%dx%d shown), median of %d runs:\n", box.width(), box.height(),
                fit.width(), fit.height(), runs);
    std::printf("  QImageReader scaled decode      %8.1f ms\n", qtScaled);
    std::printf("  picture::load + fit + draw      %8.1f ms\n", ours);
    std::printf("  ratio                           %8.3f\n", ours / qtScaled);

    const double qtFull = medianMs(5, [&] { return !QImageReader(photo).read().isNull(); });
    const double oursFull = medianMs(5, [&] { return picture::load(photo).ok(); });
    std::printf("6000x4000 JPEG at full size, median of 5 runs:\n");
    std::printf("  QImageReader                    %8.1f ms\n", qtFull);
    std::printf("  picture::load                   %8.1f ms\n", oursFull);
    std::printf("  ratio                           %8.3f\n", oursFull / qtFull);

    QElapsedTimer timer;
    timer.start();
    const picture::LoadResult big = picture::load(huge, picture::DecodeSize::within(box));
    const double bigMs = double(timer.nsecsElapsed()) / 1e6;
    if (big.ok())
        std::printf("17320x11547 (200 MP) JPEG in the fit box: %.1f ms, natural %dx%d, decoded %dx%d\n", bigMs,
                    big.picture.naturalSize().width(), big.picture.naturalSize().height(), big.picture.image().width(),
                    big.picture.image().height());
    else
        std::printf("17320x11547 (200 MP) JPEG in the fit box: failed: %s\n", qPrintable(big.error));
    const picture::LoadResult bigFull = picture::load(huge);
    std::printf("17320x11547 (200 MP) JPEG at full size: %s\n", bigFull.ok() ? "loaded" : qPrintable(bigFull.error));
    return 0;
}
