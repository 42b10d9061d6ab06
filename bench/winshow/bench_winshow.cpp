// Measures the window-mode slide show in the main window at "Speed" = "1"
// (the shortest delay), in Auto-Fit Size:
//   bench-winshow speed [COUNT]  seconds a picture over COUNT 24-megapixel
//                                JPEGs (6000 × 4000), then COUNT 1920 × 1080 JPEGs
//   bench-winshow pause [TRIES]  how long a click on "&Pause", arriving at a
//                                random moment while the show runs over
//                                24-megapixel JPEGs, takes to stop it
// Meant for a real X server at the screen size of the target:
//   xvfb-run -a -s '-screen 0 1920x1080x24' nice build/bench/bench-winshow speed
#include "app/Form1.h"
#include "controls/DirListBox.h"
#include "controls/FileListBox.h"
#include "controls/ImageControl.h"
#include "controls/Label.h"
#include "controls/MenuItem.h"
#include "controls/PictureBox.h"
#include "platform/SingleInstance.h"
#include "settings/Settings.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QMenuBar>
#include <QRandomGenerator>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <thread>

#include <sys/resource.h>

namespace {

using Clock = std::chrono::steady_clock;

// A picture with the detail of a photograph: broad colour fields and a fine
// grain, so that it compresses about as a camera's picture does.
QImage photograph(QSize size, int seed)
{
    QImage image(size, QImage::Format_RGB32);
    QRandomGenerator random(quint32(seed) * 7919u + 1);
    const int w = size.width();
    const int h = size.height();
    for (int y = 0; y < h; ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < w; ++x) {
            const int grain = int(random.bounded(28u)) - 14;
            const int r = (x * 255 / w + seed * 41) % 256;
            const int g = (y * 255 / h + seed * 23) % 256;
            const int b = ((x + y) * 255 / (w + h) + seed * 67) % 256;
            line[x] = qRgb(std::clamp(r + grain, 0, 255), std::clamp(g + grain, 0, 255), std::clamp(b + grain, 0, 255));
        }
    }
    return image;
}

// Writes `count` JPEGs of `size` into `folder`; returns their bytes a pixel.
double writePictures(const QString &folder, QSize size, int count)
{
    QDir().mkpath(folder);
    qint64 bytes = 0;
    for (int i = 0; i < count; ++i) {
        const QString file = folder + QStringLiteral("/p%1.jpg").arg(i, 4, 10, QLatin1Char('0'));
        photograph(size, i).save(file, "JPEG", 90);
        bytes += QFileInfo(file).size();
    }
    return double(bytes) / count / (double(size.width()) * size.height());
}

app::Form1 *openViewer(const QString &folder)
{
    QDir::setCurrent(folder);
    platform::testing::setPreviousInstanceRunning(false);
    // "Speed" = "1": the shortest delay the settings dialog stores.
    settings::Write(settings::First, QStringLiteral("1"));
    settings::Write(settings::Speed, QStringLiteral("1"));
    auto *main = new app::Form1();
    main->Form_Load();
    main->show();
    QApplication::processEvents();
    return main;
}

void runEvents(const std::function<bool()> &until)
{
    while (!until())
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
}

double cpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// Notes when each picture of the show is first painted.
class PaintProbe : public QObject {
public:
    PaintProbe(app::Form1 *main, const QElapsedTimer *clock) : m_main(main), m_clock(clock) {}
    std::vector<double> painted; // seconds from the start
    int banners = 0;
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        const QString onScreen = m_main->Label2->Caption();
        if (event->type() == QEvent::Paint && !onScreen.isEmpty() && onScreen != m_last) {
            m_last = onScreen;
            painted.push_back(m_clock->nsecsElapsed() / 1e9);
            if (m_main->Image1->Picture().image().cacheKey() == m_main->Picture4->Picture().image().cacheKey())
                ++banners;
        }
        return QObject::eventFilter(watched, event);
    }

private:
    app::Form1 *m_main;
    const QElapsedTimer *m_clock;
    QString m_last;
};

// Runs the show over the main window's folder to its end.
void measureShow(app::Form1 *main, const char *what)
{
    const int count = main->File1->ListCount();
    QElapsedTimer clock;
    PaintProbe probe(main, &clock);
    main->Image1->installEventFilter(&probe);
    const double cpuBefore = cpuSeconds();
    clock.start();
    main->viewmenu_Click();
    runEvents([&] { return !main->Timer1->Enabled(); });
    const double total = clock.nsecsElapsed() / 1e9;
    const double cpu = cpuSeconds() - cpuBefore;
    main->Image1->removeEventFilter(&probe);
    const std::vector<double> &at = probe.painted;
    double longest = at.empty() ? 0 : at.front();
    for (size_t i = 1; i < at.size(); ++i)
        longest = std::max(longest, at[i] - at[i - 1]);
    std::printf("%s: %d pictures in %.3f s, %.4f s a picture (longest %.4f s), CPU %.4f s a picture, "
                "%d painted, %d error banners\n",
                what, count, total, total / count, longest, cpu / count, int(at.size()), probe.banners);
}

// Clicks "&Pause" from another thread at random moments while the show runs
// with "Loop" on, and takes the time from the click's arrival in the event
// queue to the show being paused.
void measurePause(app::Form1 *main, int tries)
{
    settings::Write(settings::Loop, QStringLiteral("1"));
    std::atomic<Clock::time_point::rep> pausedAt{0};
    QObject::connect(main->pause1, &controls::MenuItem::Click, main, [&] {
        if (!main->Timer1->Enabled())
            pausedAt = Clock::now().time_since_epoch().count();
    });
    std::vector<double> latencies;
    std::atomic<bool> done{false};
    main->viewmenu_Click();
    std::thread clicker([&] {
        QRandomGenerator random(42);
        for (int i = 0; i < tries; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(300 + random.bounded(400)));
            pausedAt = 0;
            const Clock::time_point clicked = Clock::now();
            QMetaObject::invokeMethod(
                main,
                [main] {
                    QMenuBar *bar = main->menuBar();
                    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(main->pause1->action()).center());
                },
                Qt::QueuedConnection);
            while (pausedAt == 0)
                std::this_thread::sleep_for(std::chrono::microseconds(200));
            latencies.push_back(std::chrono::duration<double>(Clock::time_point(Clock::duration(pausedAt.load()))
                                                              - clicked)
                                    .count());
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
            QMetaObject::invokeMethod(main, [main] { main->play1_Click(); }, Qt::QueuedConnection);
        }
        done = true;
    });
    runEvents([&] { return done.load(); });
    clicker.join();
    main->stop1_Click();
    std::sort(latencies.begin(), latencies.end());
    std::printf("\"&Pause\" while the show runs at \"Speed\" = \"1\" over 24-megapixel JPEGs, %d clicks: "
                "median %.1f ms, slowest %.1f ms\n",
                tries, latencies[latencies.size() / 2] * 1000, latencies.back() * 1000);
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir home;
    const QString c = home.path() + QStringLiteral("/c");
    qputenv("HOME", home.path().toUtf8());
    qputenv("XDG_CONFIG_HOME", (home.path() + QStringLiteral("/config")).toUtf8());
    qputenv("XDG_DATA_HOME", (home.path() + QStringLiteral("/data")).toUtf8());
    qputenv("LUMADEX_DRIVES", (QStringLiteral("C:=") + c).toUtf8());
    QApplication application(argc, argv);
    const QString mode = argc > 1 ? QString::fromLatin1(argv[1]) : QStringLiteral("speed");
    const int count = argc > 2 ? QString::fromLatin1(argv[2]).toInt() : 20;
    const QSize screen = QGuiApplication::primaryScreen()->geometry().size();
    std::printf("screen %d X %d, platform %s\n", screen.width(), screen.height(),
                qPrintable(QGuiApplication::platformName()));

    const QString large = c + QStringLiteral("/Large");
    std::printf("24-megapixel JPEGs: %.2f bytes a pixel\n",
                writePictures(large, {6000, 4000}, mode == QLatin1String("pause") ? 6 : count));
    if (mode == QLatin1String("pause")) {
        app::Form1 *main = openViewer(large);
        measurePause(main, count);
        return 0;
    }
    const QString screenSized = c + QStringLiteral("/Screen");
    std::printf("1920 X 1080 JPEGs: %.2f bytes a pixel\n", writePictures(screenSized, {1920, 1080}, count));
    app::Form1 *main = openViewer(large);
    measureShow(main, "6000 X 4000 JPEGs, Auto-Fit, \"Speed\" = \"1\"");
    main->Dir1->setPath(QStringLiteral("C:\\Screen"));
    measureShow(main, "1920 X 1080 JPEGs, Auto-Fit, \"Speed\" = \"1\"");
    return 0;
}
