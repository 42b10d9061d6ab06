// lumadex-icon SVG OUTDIR SIZE...: renders the program's icon at each size
// as OUTDIR/lumadex-viewer-SIZE.png, for the program's own resources and
// the desktop's icon theme.
#include <QCoreApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

#include <cstdio>

int main(int argc, char *argv[])
{
    if (argc < 4) {
        std::fprintf(stderr, "usage: lumadex-icon SVG OUTDIR SIZE...\n");
        return 2;
    }
    QCoreApplication application(argc, argv);
    QSvgRenderer renderer(QString::fromLocal8Bit(argv[1]));
    if (!renderer.isValid()) {
        std::fprintf(stderr, "lumadex-icon: cannot read %s\n", argv[1]);
        return 1;
    }
    const QString folder = QString::fromLocal8Bit(argv[2]);
    for (int i = 3; i < argc; ++i) {
        const int size = QByteArray(argv[i]).toInt();
        if (size <= 0) {
            std::fprintf(stderr, "lumadex-icon: %s is no size\n", argv[i]);
            return 2;
        }
        QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        {
            QPainter painter(&image);
            painter.setRenderHint(QPainter::Antialiasing);
            renderer.render(&painter);
        }
        const QString out = folder + QStringLiteral("/lumadex-viewer-%1.png").arg(size);
        if (!image.convertToFormat(QImage::Format_ARGB32).save(out, "PNG")) {
            std::fprintf(stderr, "lumadex-icon: cannot write %s\n", qPrintable(out));
            return 1;
        }
    }
    return 0;
}
