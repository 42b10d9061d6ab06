// The full-screen show of the real main window, on the platform of the
// environment (run.sh gives it a 1920 × 1080 Xvfb screen):
//   bench-slideshow write KIND FOLDER COUNT   writes COUNT pictures of KIND into
//                                             FOLDER: jpeg24 (6000 × 4000 JPEG),
//                                             jpeg1080 (1920 × 1080 JPEG) or
//                                             bmp12 (4000 × 3000 24-bit BMP)
//   bench-slideshow run FOLDER SPEED          one show over FOLDER at "Speed" =
//                                             SPEED, from F2 to its end
//   bench-slideshow decode FOLDER             the floor: each picture of FOLDER
//                                             read as the show reads it for
//                                             the whole screen, one after
//                                             another on this thread; the
//                                             median, in seconds
//   bench-slideshow memory FOLDER TICKS...    a looping show at "Speed" = "1";
//                                             resident memory after each number
//                                             of ticks, taken with the show
//                                             stopped once the next picture is
//                                             decoded, so that each figure is
//                                             taken in the same state
// Each prints one line of key=value pairs.
#include "app/Form1.h"
#include "bench/support/EventLoop.h"
#include "bench/Photograph.h"
#include "app/Runtime.h"
#include "bench/support/ProcessFigures.h"
#include "bench/support/Viewer.h"
#include "controls/ImageControl.h"
#include "controls/Label.h"
#include "controls/Timer.h"
#include "slideshow/DecodeAhead.h"
#include "slideshow/Form6.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QRandomGenerator>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

using slideshow::Form6;

int write(const QString &kind, const QString &folder, int count)
{
    QDir().mkpath(folder);
    for (int i = 0; i < count; ++i) {
        const QString name = folder + QStringLiteral("/p%1").arg(i, 4, 10, QLatin1Char('0'));
        bool saved = false;
        if (kind == QLatin1String("jpeg24"))
            saved = benchpicture::photograph({6000, 4000}, i).save(name + QStringLiteral(".jpg"), "JPEG", 90);
        else if (kind == QLatin1String("jpeg1080"))
            saved = benchpicture::photograph({1920, 1080}, i).save(name + QStringLiteral(".jpg"), "JPEG", 90);
        else if (kind == QLatin1String("bmp12"))
            saved = benchpicture::photograph({4000, 3000}, i).convertToFormat(QImage::Format_RGB888).save(name + QStringLiteral(".bmp"), "BMP");
        if (!saved) {
            std::fprintf(stderr, "cannot write %s pictures into %s\n", qPrintable(kind), qPrintable(folder));
            return 1;
        }
    }
    return 0;
}

// Counts the pictures the show painted: a paint of the picture while the
// path line names another file than the last paint did.
class PaintCounter : public QObject {
public:
    int pictures = 0;
    qint64 firstPaintNs = -1;
    const QElapsedTimer *clock = nullptr;
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && Form6::loaded()) {
            const QString path = Form6::loaded()->Label1->Caption();
            if (!path.isEmpty() && path != m_last) {
                m_last = path;
                ++pictures;
                if (firstPaintNs < 0)
                    firstPaintNs = clock->nsecsElapsed();
            }
        }
        return QObject::eventFilter(watched, event);
    }

private:
    QString m_last;
};

int run(const QString &folder, const QString &speed)
{
    app::Form1 *main = bench::openViewer(folder, speed, QStringLiteral("0"));
    const qsizetype count = QDir(folder).entryList(QDir::Files).size();
    QElapsedTimer clock;
    PaintCounter painted;
    painted.clock = &clock;
    clock.start();
    main->FullScreen_Click();
    Form6::loaded()->Image1->installEventFilter(&painted);
    const bool ended = bench::runUntil([] { return !Form6::loaded(); }, 24 * 3600 * 1000);
    const double seconds = clock.nsecsElapsed() / 1e9;
    const double fromFirst = painted.firstPaintNs < 0 ? 0 : seconds - painted.firstPaintNs / 1e9;
    std::printf("pictures=%lld painted=%d seconds=%.3f from_first_picture=%.3f ended=%d\n", qlonglong(count), painted.pictures,
                seconds, fromFirst, ended ? 1 : 0);
    return ended ? 0 : 1;
}

int memory(const QString &folder, const QList<int> &marks)
{
    app::Form1 *main = bench::openViewer(folder, QStringLiteral("1"), QStringLiteral("1"));
    int ticks = 0;
    int stopAt = 0;
    QObject::connect(main->Timer2, &controls::Timer::Tick, main, [&] {
        if (++ticks == stopAt)
            main->Timer2->setEnabled(false);
    });
    main->FullScreen_Click();
    QString report;
    for (const int mark : marks) {
        stopAt = mark;
        main->Timer2->setEnabled(true);
        if (!bench::runUntil([&] { return ticks >= mark; }, 24 * 3600 * 1000))
            return 1;
        // Measured at rest: the picture painted, the next one decoded ahead.
        if (!bench::runUntil([] { return Form6::loaded()->decodeAhead().isReady(); }, 10000))
            return 1;
        QTest::qWait(300);
        report += QStringLiteral(" rss_after_%1_ticks_kb=%2").arg(ticks).arg(bench::residentKilobytes());
    }
    std::printf("pictures=%lld%s\n", qlonglong(QDir(folder).entryList(QDir::Files).size()), qPrintable(report));
    return 0;
}

// One picture after another, read as a worker reads it for the show on the
// primary screen (the box of the show's picture, at its pixel ratio).
int decode(const QString &folder)
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    const qreal ratio = screen->devicePixelRatio();
    const slideshow::ShowTarget target{picture::DecodeSize::within((QSizeF(screen->size()) * ratio).toSize()), Qt::black, ratio};
    std::vector<double> seconds;
    for (const QFileInfo &file : QDir(folder).entryInfoList(QDir::Files, QDir::Name)) {
        QElapsedTimer clock;
        clock.start();
        const picture::LoadResult loaded = slideshow::loadForShow(file.absoluteFilePath(), target);
        seconds.push_back(clock.nsecsElapsed() / 1e9);
        if (!loaded.ok()) {
            std::fprintf(stderr, "cannot read %s\n", qPrintable(file.filePath()));
            return 1;
        }
    }
    if (seconds.empty())
        return 1;
    std::sort(seconds.begin(), seconds.end());
    std::printf("pictures=%d median_seconds=%.4f\n", int(seconds.size()), seconds[seconds.size() / 2]);
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    app::configureMemory(); // as the viewer's own entry point does
    QTemporaryDir home;
    qputenv("HOME", home.path().toUtf8());
    qputenv("XDG_CONFIG_HOME", (home.path() + QStringLiteral("/config")).toUtf8());
    qputenv("XDG_DATA_HOME", (home.path() + QStringLiteral("/data")).toUtf8());
    qputenv("LUMADEX_PROGRAM_DIR", (home.path() + QStringLiteral("/program")).toUtf8());
    const QStringList args = [&] {
        QStringList list;
        for (int i = 1; i < argc; ++i)
            list << QString::fromLocal8Bit(argv[i]);
        return list;
    }();
    if (args.size() < 2) {
        std::fprintf(stderr, "usage: bench-slideshow write KIND FOLDER COUNT | run FOLDER SPEED | decode FOLDER | memory FOLDER TICKS...\n");
        return 2;
    }
    const QString folder = QFileInfo(args.value(args.first() == QLatin1String("write") ? 2 : 1)).absoluteFilePath();
    // Drive C: is the folder's parent, so that the viewer opens in the folder.
    qputenv("LUMADEX_DRIVES", (QStringLiteral("C:=") + QFileInfo(folder).absolutePath()).toUtf8());
    app::setEndHandler([] {});
    QApplication application(argc, argv);
    if (args.first() == QLatin1String("write") && args.size() == 4)
        return write(args.at(1), folder, args.at(3).toInt());
    if (args.first() == QLatin1String("run") && args.size() == 3)
        return run(folder, args.at(2));
    if (args.first() == QLatin1String("decode") && args.size() == 2)
        return decode(folder);
    if (args.first() == QLatin1String("memory") && args.size() >= 3) {
        QList<int> marks;
        for (int i = 2; i < args.size(); ++i)
            marks << args.at(i).toInt();
        return memory(folder, marks);
    }
    std::fprintf(stderr, "bench-slideshow: unknown command\n");
    return 2;
}
