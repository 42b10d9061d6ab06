// lumadex-render IN OUT.png [WIDTH HEIGHT]
// Prints the picture's natural size as "W X H" and writes it as PNG at its
// natural size or at WIDTH x HEIGHT. A file it cannot read, or a size over the
// image limit, gives one line with the reason and exit status 1.
#include "picture/Loader.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <cstdio>

int main(int argc, char **argv)
{
    // A command-line tool: it needs no display (text is drawn offscreen too).
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 3 && args.size() != 5) {
        std::fprintf(stderr, "usage: lumadex-render IN OUT.png [WIDTH HEIGHT]\n");
        return 2;
    }
    QSize size;
    if (args.size() == 5) {
        bool okW = false, okH = false;
        size = QSize(args[3].toInt(&okW), args[4].toInt(&okH));
        if (!okW || !okH || size.isEmpty()) {
            std::fprintf(stderr, "lumadex-render: WIDTH and HEIGHT must be positive numbers\n");
            return 2;
        }
    }

    const picture::LoadResult result = picture::load(args[1], size.isEmpty() ? picture::DecodeSize::natural()
                                                                             : picture::DecodeSize::exactly(size));
    if (!result.ok()) {
        std::printf("%s\n", qPrintable(result.error));
        return 1;
    }
    const picture::Picture &picture = result.picture;
    std::printf("%d X %d\n", picture.naturalSize().width(), picture.naturalSize().height());

    const QSize target = size.isEmpty() ? picture.naturalSize() : size;
    if (!picture::Picture::fitsInOneImage(target)) {
        std::printf("%s: %d X %d is too large to draw as one image\n", qPrintable(args[1]), target.width(), target.height());
        return 1;
    }
    QImage out;
    if (size.isEmpty()) {
        out = picture.toImage();
    } else {
        out = QImage(size, QImage::Format_ARGB32_Premultiplied);
        out.fill(Qt::transparent);
        QPainter painter(&out);
        picture.draw(painter, QRectF(QPointF(0, 0), QSizeF(size)));
    }
    if (out.isNull() || !out.save(args[2], "png")) {
        std::printf("%s: cannot write the PNG file\n", qPrintable(args[2]));
        return 1;
    }
    return 0;
}
