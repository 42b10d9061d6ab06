// lumadex-make-samples OUTDIR: writes the sample pictures into OUTDIR.
#include "tools/samples/Samples.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>

#include <cstdio>

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: lumadex-make-samples OUTDIR\n");
        return 2;
    }
    const QString dir = QString::fromLocal8Bit(argv[1]);
    if (!QDir().mkpath(dir)) {
        std::fprintf(stderr, "lumadex-make-samples: cannot create %s\n", argv[1]);
        return 1;
    }
    for (const samples::Sample &sample : samples::makeSamples()) {
        QFile file(QDir(dir).filePath(sample.fileName));
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(sample.data) != sample.data.size()
            || !file.flush()) {
            std::fprintf(stderr, "lumadex-make-samples: cannot write %s: %s\n", qPrintable(file.fileName()),
                         qPrintable(file.errorString()));
            return 1;
        }
    }
    return 0;
}
