// The viewer left running (bench/soak/run.sh gives it an Xvfb screen):
//   bench-soak show full|window FOLDER TICKS   the full-screen or the
//                                              window-mode show at "Speed" =
//                                              "1", looping over FOLDER for
//                                              TICKS timer ticks
//   bench-soak files FOLDER OPERATIONS         OPERATIONS copies, renames,
//                                              moves and sends to the trash
//                                              of scratch files, through the
//                                              desktop file operations
// FOLDER must not exist; the command fills it. For a show: every format the
// viewer reads, damaged files, a file removed once the show has read the
// list and one rewritten with another picture whenever it is on the screen;
// 20 files, so that every 1,000th tick finds the show at the same place. For
// the file operations: a scratch home (its trash among it) and the folders
// the files go round.
// Every 1,000 ticks or operations it takes the resident memory, the open
// descriptors and this client's resources in the X server (from xrestop),
// prints them, and at the end prints the first and the last; it fails when
// memory or X memory grew by more than 10 MB, or descriptors or X resources
// by more than 16.
#include "app/Form1.h"
#include "app/Runtime.h"
#include "bench/support/EventLoop.h"
#include "bench/support/ProcessFigures.h"
#include "bench/support/Viewer.h"
#include "controls/FileListBox.h"
#include "controls/Timer.h"
#include "platform/ShellFileOps.h"
#include "slideshow/Form6.h"
#include "tools/samples/Samples.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTest>
#include <QWidget>

#include <cstdio>
#include <functional>
#include <optional>

namespace {

constexpr int SampleEvery = 1000;
constexpr long MostGrowthKb = 10 * 1024;
constexpr int MostGrowthCount = 16;

struct XFigures {
    long resources = 0; // windows, pixmaps, GCs, fonts, pictures, cursors, ...
    long bytes = 0;     // the server's estimate of their memory
};

// This client's resources as xrestop reports them: the client whose
// resource base the window's id falls in. Nothing without an X server or
// xrestop.
std::optional<XFigures> xFigures(WId window)
{
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        return std::nullopt;
    QProcess xrestop;
    xrestop.start(QStringLiteral("xrestop"), {QStringLiteral("-b"), QStringLiteral("-m"), QStringLiteral("1")});
    if (!xrestop.waitForFinished(30000) || xrestop.exitCode() != 0)
        return std::nullopt;
    // A block per client: "N - name ( PID: ... ):", then "\tkey : value" lines.
    qulonglong base = 0, mask = 0;
    XFigures figures;
    std::optional<XFigures> found;
    const auto blockEnds = [&] {
        if (mask && (qulonglong(window) & ~mask) == base)
            found = figures;
        base = mask = 0;
        figures = {};
    };
    for (const QByteArray &line : xrestop.readAllStandardOutput().split('\n')) {
        if (!line.startsWith('\t')) {
            blockEnds();
            continue;
        }
        const qsizetype colon = line.indexOf(':');
        if (colon < 0)
            continue;
        const QByteArray key = line.left(colon).trimmed();
        QByteArray value = line.mid(colon + 1).trimmed();
        value.replace('~', "");
        if (key == "res_base")
            base = value.toULongLong(nullptr, 0);
        else if (key == "res_mask")
            mask = value.toULongLong(nullptr, 0);
        else if (key == "total bytes")
            figures.bytes = value.toLong();
        else if (!key.endsWith("bytes") && key != "PID" && key != "identifier")
            figures.resources += value.toLong();
    }
    blockEnds();
    return found;
}

struct Sample {
    long count = 0; // ticks or operations so far
    long residentKb = 0;
    int descriptors = 0;
    std::optional<XFigures> x;
};

Sample takeSample(long count, WId window)
{
    return {count, bench::residentKilobytes(), bench::openDescriptors(), xFigures(window)};
}

void print(const char *what, const Sample &s)
{
    std::printf("%-6s %7ld: resident %7.1f MB, %3d descriptors", what, s.count, s.residentKb / 1024.0, s.descriptors);
    if (s.x)
        std::printf(", X: %4ld resources, %7.1f KB\n", s.x->resources, s.x->bytes / 1024.0);
    else
        std::printf(", X: n/a\n");
    std::fflush(stdout);
}

// Prints the first and last samples and what grew; false when something grew too much.
bool verdict(const char *what, const QList<Sample> &samples)
{
    if (samples.size() < 2) {
        std::printf("%s: fewer than two samples\n", what);
        return false;
    }
    const Sample &first = samples.first(), &last = samples.last();
    std::printf("%s:\n", what);
    print("first", first);
    print("last", last);
    QStringList grew;
    if (last.residentKb - first.residentKb > MostGrowthKb)
        grew << QStringLiteral("resident memory");
    if (last.descriptors - first.descriptors > MostGrowthCount)
        grew << QStringLiteral("descriptors");
    if (first.x && last.x && last.x->bytes - first.x->bytes > MostGrowthKb * 1024)
        grew << QStringLiteral("X memory");
    if (first.x && last.x && last.x->resources - first.x->resources > MostGrowthCount)
        grew << QStringLiteral("X resources");
    std::printf("%s: resident %+.1f MB, descriptors %+d%s: %s\n", what, (last.residentKb - first.residentKb) / 1024.0,
                last.descriptors - first.descriptors,
                first.x && last.x ? qPrintable(QStringLiteral(", X resources %1, X memory %2 KB")
                                                   .arg(last.x->resources - first.x->resources, 0, 10)
                                                   .arg((last.x->bytes - first.x->bytes) / 1024.0, 0, 'f', 1))
                                  : "",
                grew.isEmpty() ? "passed" : qPrintable(QStringLiteral("FAILED, grew: ") + grew.join(QStringLiteral(", "))));
    std::fflush(stdout);
    return grew.isEmpty();
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size() && file.flush();
}

// The files of a show's folder, by name, sorted as the list shows them.
struct ShowFolder {
    QString vanished;
    QString replaced;
    QByteArray replacements[2]; // what the replaced file holds in turn
};

std::optional<ShowFolder> writeShowFolder(const QString &folder)
{
    QMap<QString, QByteArray> files;
    QByteArray portrait, landscape, large, drawing;
    for (const samples::Sample &sample : samples::makeSamples()) {
        files[sample.fileName] = sample.data;
        if (sample.fileName == QLatin1String("portrait.jpg"))
            portrait = sample.data;
        else if (sample.fileName == QLatin1String("landscape.bmp"))
            landscape = sample.data;
        else if (sample.fileName == QLatin1String("large.jpg"))
            large = sample.data;
        else if (sample.fileName == QLatin1String("drawing.wmf"))
            drawing = sample.data;
    }
    if (files.size() != 11 || portrait.isEmpty() || landscape.isEmpty() || large.isEmpty() || drawing.isEmpty())
        return std::nullopt;
    files[QStringLiteral("damaged.bmp")] = QByteArrayLiteral("BM damaged");
    files[QStringLiteral("truncated.jpg")] = large.left(large.size() / 2);
    files[QStringLiteral("truncated.wmf")] = drawing.left(drawing.size() / 2);
    files[QStringLiteral("empty.gif")] = QByteArray();
    files[QStringLiteral("not-a-picture.jpg")] = QByteArrayLiteral("a text file with a picture's name\n");
    files[QStringLiteral("jpeg-named.bmp")] = portrait;
    files[QStringLiteral("second-large.jpg")] = large;
    ShowFolder show{QStringLiteral("vanished.jpg"), QStringLiteral("replaced.jpg"), {landscape, portrait}};
    files[show.vanished] = portrait;
    files[show.replaced] = show.replacements[1];
    if (files.size() != 20 || !QDir().mkpath(folder))
        return std::nullopt;
    for (auto it = files.cbegin(); it != files.cend(); ++it)
        if (!writeFile(QDir(folder).filePath(it.key()), it.value()))
            return std::nullopt;
    return show;
}

int soakShow(const QString &folder, bool fullScreen, long ticks)
{
    const std::optional<ShowFolder> files = writeShowFolder(folder);
    if (!files) {
        std::fprintf(stderr, "bench-soak: cannot write the pictures into %s\n", qPrintable(folder));
        return 1;
    }
    app::Form1 *main = bench::openViewer(folder, QStringLiteral("1"), QStringLiteral("1"));
    controls::Timer *timer = fullScreen ? main->Timer2 : main->Timer1;
    qint32 replacedAt = -1;
    for (int i = 0; i < main->File1->ListCount(); ++i)
        if (main->File1->List(i) == files->replaced)
            replacedAt = i;
    if (main->File1->ListCount() != 20 || replacedAt < 0) {
        std::fprintf(stderr, "bench-soak: the viewer lists %d files of %s\n", main->File1->ListCount(), qPrintable(folder));
        return 1;
    }
    long count = 0, stopAt = 0, replacements = 0;
    // After the show's own handler: the picture on screen is SBack's.
    QObject::connect(timer, &controls::Timer::Tick, main, [&] {
        if (main->SBack == replacedAt) {
            ++replacements;
            writeFile(QDir(folder).filePath(files->replaced), files->replacements[replacements % 2]);
        }
        if (++count == stopAt)
            timer->setEnabled(false);
    });
    if (fullScreen)
        main->FullScreen_Click();
    else
        main->viewmenu_Click();
    // The show has read the list; the file is gone from then on.
    QFile::remove(QDir(folder).filePath(files->vanished));
    const std::function<bool()> atRest = [&] {
        return !fullScreen || (slideshow::Form6::loaded() && slideshow::Form6::loaded()->decodeAhead().isReady());
    };
    QList<Sample> samples;
    for (long mark = SampleEvery; mark <= ticks; mark += SampleEvery) {
        stopAt = mark;
        timer->setEnabled(true);
        if (!bench::runUntil([&] { return count >= mark; }, 24 * 3600 * 1000) || !bench::runUntil(atRest, 10000))
            return 1;
        // Measured at rest: the picture painted, the next one decoded ahead.
        QTest::qWait(300);
        samples << takeSample(count, main->winId());
        print("tick", samples.last());
    }
    std::printf("%s show: %ld ticks over %d files, the replaced file rewritten %ld times while on the screen\n",
                fullScreen ? "full-screen" : "window-mode", count, main->File1->ListCount(), replacements);
    return verdict(fullScreen ? "full-screen show" : "window-mode show", samples) ? 0 : 1;
}

int soakFiles(const QString &folder, long operations)
{
    const QDir c(folder);
    for (const char *sub : {"src", "dst", "away"})
        if (!c.mkpath(QString::fromLatin1(sub)))
            return 1;
    // 50 names, so that the trash keeps meeting names it holds already.
    constexpr int Names = 50;
    const QByteArray picture = samples::makeSamples().first().data;
    for (int i = 0; i < Names; ++i)
        if (!writeFile(c.filePath(QStringLiteral("src/f%1.jpg").arg(i)), picture))
            return 1;
    QWidget window; // a client of the X server to sample
    const WId id = window.winId();
    const std::unique_ptr<platform::ShellFileOps> ops = platform::makeDesktopFileOps();
    long done = 0, failed = 0;
    QList<Sample> samples;
    const auto check = [&](const platform::FileOpResult &result, const char *what) {
        ++done;
        if (!result.ok() && ++failed <= 5)
            std::printf("%s failed: %s: %s\n", what, qPrintable(result.path), qPrintable(result.reason));
        if (done % SampleEvery == 0) {
            samples << takeSample(done, id);
            print("op", samples.last());
        }
    };
    for (long round = 0; done < operations; ++round) {
        const QString n = QString::number(round % Names);
        check(ops->copyTo(QStringLiteral("C:\\src\\f%1.jpg").arg(n), QStringLiteral("C:\\dst"), nullptr), "copy");
        check(ops->rename(QStringLiteral("C:\\dst\\f%1.jpg").arg(n), QStringLiteral("C:\\dst\\g%1.jpg").arg(n)), "rename");
        check(ops->moveTo(QStringLiteral("C:\\dst\\g%1.jpg").arg(n), QStringLiteral("C:\\away"), nullptr), "move");
        check(ops->moveToTrash(QStringLiteral("C:\\away\\g%1.jpg").arg(n)), "trash");
    }
    const long trashed = long(QDir(qEnvironmentVariable("XDG_DATA_HOME") + QStringLiteral("/Trash/files")).entryList(QDir::Files).size());
    std::printf("file operations: %ld done, %ld failed, %ld files in the trash\n", done, failed, trashed);
    return verdict("file operations", samples) && failed == 0 ? 0 : 1;
}

} // namespace

int main(int argc, char *argv[])
{
    app::configureMemory(); // as the viewer's own entry point does
    const QStringList args = [&] {
        QStringList list;
        for (int i = 1; i < argc; ++i)
            list << QString::fromLocal8Bit(argv[i]);
        return list;
    }();
    const bool show = args.size() == 4 && args[0] == QLatin1String("show")
                      && (args[1] == QLatin1String("full") || args[1] == QLatin1String("window"));
    const bool files = args.size() == 3 && args[0] == QLatin1String("files");
    if (!show && !files) {
        std::fprintf(stderr, "usage: bench-soak show full|window FOLDER TICKS | files FOLDER OPERATIONS\n");
        return 2;
    }
    const QString folder = QFileInfo(args[show ? 2 : 1]).absoluteFilePath();
    if (QFileInfo::exists(folder)) {
        std::fprintf(stderr, "bench-soak: %s exists already\n", qPrintable(folder));
        return 2;
    }
    const long count = args.last().toLong();
    // A home of its own beside the folder, on the same file system, so that
    // the files go to its trash: settings, program folder, trash.
    const QString home = folder + QStringLiteral("-home");
    qputenv("HOME", home.toUtf8());
    qputenv("XDG_CONFIG_HOME", (home + QStringLiteral("/config")).toUtf8());
    qputenv("XDG_DATA_HOME", (home + QStringLiteral("/data")).toUtf8());
    qputenv("LUMADEX_PROGRAM_DIR", (home + QStringLiteral("/program")).toUtf8());
    // Drive C: is the folder's parent, so that the viewer opens in the
    // folder; for the file operations the folder itself.
    qputenv("LUMADEX_DRIVES", (QStringLiteral("C:=") + (show ? QFileInfo(folder).absolutePath() : folder)).toUtf8());
    app::setEndHandler([] {});
    QApplication application(argc, argv);
    return show ? soakShow(folder, args[1] == QLatin1String("full"), count) : soakFiles(folder, count);
}
