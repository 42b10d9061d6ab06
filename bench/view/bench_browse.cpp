// Measures the main window itself, on the offscreen platform unless
// QT_QPA_PLATFORM names another:
//   bench-browse steps [COUNT]   pictures a second when stepping through a
//                                folder of 1920 × 1080 JPEGs with the arrow key
//   bench-browse big             peak memory of the process while it shows a
//                                6000 × 4000 JPEG in Auto-Fit Size
//   bench-browse keys [STEPS]    ms from a Down key to the paint of its
//                                picture (or of one further down the list),
//                                median and slowest, over 6000 × 4000 and
//                                1920 × 1080 JPEGs: at a reading pace (a key
//                                0.3 s after the last) and with the key held
//                                (auto-repeat, 30 keys a second), with the
//                                pictures decoded ahead and without
#include "app/Form1.h"
#include "bench/support/EventLoop.h"
#include "bench/Photograph.h"
#include "app/Runtime.h"
#include "controls/FileListBox.h"
#include "controls/ImageControl.h"
#include "controls/Label.h"
#include "platform/SingleInstance.h"
#include "slideshow/DecodeAhead.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <QInputDevice>
#include <QKeyEvent>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <thread>
#include <vector>

#include <sys/resource.h>
#include <unistd.h>

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

using Clock = std::chrono::steady_clock;

// A folder of `count` names for `distinct` pictures of `size` (hard links,
// so that making a folder of large pictures takes a few of them only).
bool writeFolder(const QString &folder, QSize size, int distinct, int count)
{
    QDir().mkpath(folder);
    for (int i = 0; i < distinct; ++i)
        if (!benchpicture::photograph(size, i).save(folder + QStringLiteral("/seed%1.jpg").arg(i), "JPEG", 90))
            return false;
    for (int i = 0; i < count; ++i) {
        const QByteArray seed = QFile::encodeName(folder + QStringLiteral("/seed%1.jpg").arg(i % distinct));
        const QByteArray name = QFile::encodeName(folder + QStringLiteral("/p%1.jpg").arg(i, 4, 10, QLatin1Char('0')));
        if (::link(seed.constData(), name.constData()) != 0)
            return false;
    }
    for (int i = 0; i < distinct; ++i)
        QFile::remove(folder + QStringLiteral("/seed%1.jpg").arg(i));
    return true;
}

// Records when the pane paints which entry of the list.
class PanePaints : public QObject {
public:
    explicit PanePaints(app::Form1 *main) : m_main(main) { main->Image1->installEventFilter(this); }
    struct Paint {
        Clock::time_point at;
        int index;
    };
    std::vector<Paint> paints;
    std::atomic<int> lastIndex{0}; // the first entry is on the screen before the first key

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint) {
            const QString shown = m_main->Label3->Caption();
            const int index = shown.isEmpty() ? -1 : indexOf(shown.mid(shown.lastIndexOf(QLatin1Char('\\')) + 1));
            if (index >= 0 && (paints.empty() || paints.back().index != index)) {
                paints.push_back({Clock::now(), index});
                lastIndex = index;
            }
        }
        return QObject::eventFilter(watched, event);
    }

private:
    int indexOf(const QString &name) const
    {
        for (int i = 0; i < m_main->File1->ListCount(); ++i)
            if (m_main->File1->List(i) == name)
                return i;
        return -1;
    }
    app::Form1 *m_main;
};

struct Latency {
    double medianMs = 0;
    double slowestMs = 0;
    int painted = 0; // pictures painted on the way
};

// `steps` Down keys from the first entry, sent from another thread as the
// window system delivers them, whatever the window is busy with: each
// 0.3 s after the last once its picture is painted (reading pace), or one
// every 1/30 s, auto-repeated after the first (held).
Latency stepThrough(const QString &folder, int steps, bool held, bool ahead)
{
    app::Form1 *main = openViewer(folder);
    main->DecodeAheadWhenBrowsing = ahead;
    main->File1->setFocus();
    main->File1->setListIndex(0);
    if (!bench::runUntil([&] { return !ahead || main->browseAhead().isReady(); }, 10000))
        std::fprintf(stderr, "the first pictures ahead were not decoded in 10 s\n");
    QTest::qWait(300); // idle before the first key
    PanePaints paints(main);
    QInputDevice::primaryKeyboard(); // made here, not by the first key event of the other thread
    std::vector<Clock::time_point> pressed(static_cast<size_t>(steps));
    std::atomic<bool> sent{false};
    QWidget *list = main->File1;
    std::thread keyboard([&] {
        const Clock::time_point start = Clock::now();
        for (int k = 0; k < steps; ++k) {
            if (held) {
                std::this_thread::sleep_until(start + std::chrono::microseconds(33333) * k);
            } else {
                while (paints.lastIndex < k) // the last key's picture first
                    std::this_thread::sleep_for(std::chrono::microseconds(200));
                if (k > 0)
                    std::this_thread::sleep_until(pressed[size_t(k - 1)] + std::chrono::milliseconds(300));
            }
            pressed[size_t(k)] = Clock::now();
            QCoreApplication::postEvent(list, new QKeyEvent(QEvent::KeyPress, Qt::Key_Down, Qt::NoModifier, QString(),
                                                            held && k > 0));
            if (!held)
                QCoreApplication::postEvent(list, new QKeyEvent(QEvent::KeyRelease, Qt::Key_Down, Qt::NoModifier));
        }
        if (held) { // let go with the last repeat
            std::this_thread::sleep_until(pressed.back() + std::chrono::microseconds(33333));
            QCoreApplication::postEvent(list, new QKeyEvent(QEvent::KeyRelease, Qt::Key_Down, Qt::NoModifier));
        }
        sent = true;
    });
    if (!bench::runUntil([&] { return sent && paints.lastIndex >= steps; }, 600000))
        std::fprintf(stderr, "the pane did not reach the last entry\n");
    keyboard.join();
    std::vector<double> ms;
    for (int k = 0; k < steps; ++k) {
        // The key took the list to entry k + 1; its picture, or one further
        // on, is the first paint after it that shows that far.
        const auto painted = std::find_if(paints.paints.begin(), paints.paints.end(), [&](const PanePaints::Paint &p) {
            return p.at >= pressed[size_t(k)] && p.index >= k + 1;
        });
        if (painted != paints.paints.end())
            ms.push_back(std::chrono::duration<double, std::milli>(painted->at - pressed[size_t(k)]).count());
    }
    Latency result;
    result.painted = int(paints.paints.size());
    if (!ms.empty()) {
        std::sort(ms.begin(), ms.end());
        result.medianMs = ms[ms.size() / 2];
        result.slowestMs = ms.back();
    }
    main->Unload();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return result;
}

int keys(const QString &c, int steps)
{
    struct Kind {
        const char *label;
        QSize size;
    };
    const Kind kinds[] = {{"6000 X 4000 JPEG", {6000, 4000}}, {"1920 X 1080 JPEG", {1920, 1080}}};
    std::printf("ms from a Down key to the paint of its picture, median / slowest over %d keys; Auto-Fit Size\n", steps);
    std::printf("%-18s %-34s %-40s\n", "", "reading pace (0.3 s)", "key held (30 a second)");
    std::printf("%-18s %-16s %-17s %-20s %-20s\n", "", "decoded ahead", "without", "decoded ahead", "without");
    for (const Kind &kind : kinds) {
        const QString folder = c + QStringLiteral("/Keys %1").arg(kind.size.width());
        if (!writeFolder(folder, kind.size, 4, steps + 1)) {
            std::fprintf(stderr, "cannot write the pictures into %s\n", qPrintable(folder));
            return 1;
        }
        QString line = QString::fromLatin1(kind.label).leftJustified(19);
        for (const bool held : {false, true})
            for (const bool ahead : {true, false}) {
                const Latency l = stepThrough(folder, steps, held, ahead);
                QString cell = QStringLiteral("%1 / %2").arg(l.medianMs, 0, 'f', 1).arg(l.slowestMs, 0, 'f', 1);
                if (held)
                    cell += QStringLiteral(" (%1)").arg(l.painted);
                line += cell.leftJustified(held ? 21 : ahead ? 17 : 18);
            }
        std::printf("%s\n", qPrintable(line));
    }
    std::printf("(held: pictures painted on the way in parentheses)\n");
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
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

    if (mode == QLatin1String("keys"))
        return keys(c, argc > 2 ? QString::fromLatin1(argv[2]).toInt() : 30);

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
