// Measures the main window itself, on the offscreen platform:
//   bench-browse steps [COUNT]   pictures a second when stepping through a
//                                folder of 1920 × 1080 JPEGs with the arrow key
//   bench-browse big             peak memory of the process while it shows a
//                                6000 × 4000 JPEG in Auto-Fit Size
#include "app/Form1.h"
#include "app/Runtime.h"
#include "controls/FileListBox.h"
#include "controls/ImageControl.h"
#include "platform/SingleInstance.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>
#include <sys/resource.h>

namespace {

QImage scene(QSize size, int seed)
{
    QImage image(size, QImage::Format_RGB32);
    QPainter p(&image);
    QLinearGradient g(0, 0, size.width(), size.height());
    g.setColorAt(0, QColor::fromHsv((seed * 37) % 360, 160, 230));
    g.setColorAt(1, QColor::fromHsv((seed * 37 + 120) % 360, 200, 90));
    p.fillRect(image.rect(), g);
    for (int i = 0; i < 40; ++i) {
        p.setBrush(QColor::fromHsv((seed * 13 + i * 29) % 360, 200, 200));
        p.drawEllipse(QPointF((i * 97 + seed * 31) % size.width(), (i * 53) % size.height()), size.width() / 20.0,
                      size.height() / 20.0);
    }
    return image;
}

long peakKilobytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

app::Form1 *openViewer(const QString &folder)
{
    QDir::setCurrent(folder);
    platform::testing::setPreviousInstanceRunning(false);
    auto *main = new app::Form1();
    main->Form_Load();
    main->show();
    QApplication::processEvents();
    return main;
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir home;
    const QString c = home.path() + QStringLiteral("/c");
    QDir().mkpath(c + QStringLiteral("/Pictures"));
    qputenv("HOME", home.path().toUtf8());
    qputenv("XDG_CONFIG_HOME", (home.path() + QStringLiteral("/config")).toUtf8());
    qputenv("XDG_DATA_HOME", (home.path() + QStringLiteral("/data")).toUtf8());
    qputenv("LUMADEX_DRIVES", (QStringLiteral("C:=") + c).toUtf8());
    QApplication application(argc, argv);
    const QString mode = argc > 1 ? QString::fromLatin1(argv[1]) : QStringLiteral("steps");
    const QString folder = c + QStringLiteral("/Pictures");

    if (mode == QLatin1String("write-big")) {
        return scene({6000, 4000}, 1).save(QString::fromLocal8Bit(argv[2]), "JPEG", 90) ? 0 : 1;
    }
    if (mode == QLatin1String("big")) {
        // Written by a child process, so that making the picture does not
        // count towards the viewer's peak.
        QProcess writer;
        writer.start(QCoreApplication::applicationFilePath(),
                     {QStringLiteral("write-big"), folder + QStringLiteral("/big.jpg")});
        writer.waitForFinished(120000);
        const long before = peakKilobytes();
        app::Form1 *main = openViewer(folder);
        main->File1->setListIndex(0);
        main->grab();
        QApplication::processEvents();
        std::printf("6000 X 4000 JPEG in Auto-Fit: shown at %.0f X %.0f, peak memory %.1f MB (%.1f MB before the window)\n",
                    main->Image1->Width(), main->Image1->Height(), peakKilobytes() / 1024.0, before / 1024.0);
        return 0;
    }

    const int count = argc > 2 ? QString::fromLatin1(argv[2]).toInt() : 60;
    for (int i = 0; i < count; ++i)
        scene({1920, 1080}, i).save(folder + QStringLiteral("/p%1.jpg").arg(i, 4, 10, QLatin1Char('0')), "JPEG", 88);
    app::Form1 *main = openViewer(folder);
    main->File1->setFocus();
    main->File1->setListIndex(0);
    QElapsedTimer timer;
    timer.start();
    for (int i = 1; i < count; ++i) {
        QTest::keyClick(main->File1, Qt::Key_Down);
        main->repaint(); // each picture is painted before the next key
    }
    const double seconds = timer.nsecsElapsed() / 1e9;
    std::printf("%d pictures of 1920 X 1080 stepped with the arrow key in %.3f s: %.1f pictures a second (list at %d/%d)\n",
                count - 1, seconds, (count - 1) / seconds, main->File1->ListIndex() + 1, main->File1->ListCount());
    return 0;
}
