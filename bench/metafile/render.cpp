// lumadex-metafile-render IN OUT.png [W H]: plays a metafile at its natural
// size or at W x H on white and writes a PNG. For the comparison script.
#include "picture/metafile/Metafile.h"

#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <cstdio>

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 3 && argc != 5) {
        std::fprintf(stderr, "usage: %s IN OUT.png [W H]\n", argv[0]);
        return 2;
    }
    QFile in(QString::fromLocal8Bit(argv[1]));
    if (!in.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "%s: cannot open\n", argv[1]);
        return 1;
    }
    QString error;
    const auto drawing = picture::metafile::load(in.readAll(), &error);
    if (!drawing) {
        std::fprintf(stderr, "%s: %s\n", argv[1], qPrintable(error));
        return 1;
    }
    QSize size = drawing->naturalSize();
    if (argc == 5)
        size = QSize(QString::fromLocal8Bit(argv[3]).toInt(), QString::fromLocal8Bit(argv[4]).toInt());
    if (size.isEmpty() || qint64(size.width()) * size.height() > 200'000'000) {
        std::fprintf(stderr, "%s: unusable size %dx%d\n", argv[1], size.width(), size.height());
        return 1;
    }
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        drawing->play(painter, QRectF(QPointF(0, 0), QSizeF(size)));
    }
    if (!image.save(QString::fromLocal8Bit(argv[2]), "PNG")) {
        std::fprintf(stderr, "%s: cannot write\n", argv[2]);
        return 1;
    }
    std::printf("%dx%d\n", drawing->naturalSize().width(), drawing->naturalSize().height());
    return 0;
}
