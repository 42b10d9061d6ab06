// lumadex-banners OUTDIR RATIO...: draws each of the pictures the viewer
// shows at start (app::bakedPictures) at each screen ratio, as
// OUTDIR/NAME@RATIO.raw, for the viewer's resources.
#include "app/Banners.h"

#include <QFile>
#include <QGuiApplication>

#include <cstdio>

int main(int argc, char *argv[])
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: lumadex-banners OUTDIR RATIO...\n");
        return 2;
    }
    // Text needs the fonts, which a GUI application finds.
    QGuiApplication application(argc, argv);
    const QString folder = QString::fromLocal8Bit(argv[1]);
    for (int i = 2; i < argc; ++i) {
        const int ratio = QByteArray(argv[i]).toInt();
        if (ratio < 1) {
            std::fprintf(stderr, "lumadex-banners: %s is no screen ratio\n", argv[i]);
            return 2;
        }
        for (const app::BakedPicture &picture : app::bakedPictures()) {
            const QString out = folder + QStringLiteral("/%1@%2.raw").arg(picture.name).arg(ratio);
            QFile file(out);
            if (!file.open(QIODevice::WriteOnly) || file.write(app::bakedBytes(picture.draw(ratio))) < 0
                || !file.flush()) {
                std::fprintf(stderr, "lumadex-banners: cannot write %s\n", qPrintable(out));
                file.remove();
                return 1;
            }
        }
    }
    return 0;
}
