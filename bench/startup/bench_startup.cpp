// Start-up of the viewer against the bare Qt Widgets floor, both as whole
// processes on the current display (run.sh gives it an Xvfb screen):
//   bench-startup [RUNS]
// Each run starts, in turn, the floor (bench-startup-floor), the viewer in a
// folder of the sample pictures and the viewer in a folder of 20,000 files,
// and times each from its start to its first paint with the list filled
// (the line the viewer's start-up trace, QT_LOGGING_RULES=lumadex.startup,
// writes then), in wall time and in CPU time of all its threads. It prints
// the medians, the viewer's against the floor, and the large folder's
// against the floor plus twice a plain readdir + stat of that folder.
#include "bench/browser/FolderFixture.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

#include <csignal>

namespace {

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

// CPU time of every thread of process `pid` so far, in milliseconds.
double cpuMilliseconds(qint64 pid)
{
    double ns = 0;
    const QDir tasks(QStringLiteral("/proc/%1/task").arg(pid));
    for (const QString &task : tasks.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile stat(tasks.filePath(task) + QStringLiteral("/schedstat"));
        if (stat.open(QIODevice::ReadOnly))
            ns += stat.readAll().split(' ').value(0).toDouble();
    }
    return ns / 1e6;
}

struct Timing {
    double wallMs = -1;
    double cpuMs = -1;
};

// Starts `program` in `folder` and waits for `line` in its output.
Timing timeToPaint(const QString &program, const QString &folder, const QByteArray &line,
                   const QProcessEnvironment &environment)
{
    QProcess process;
    process.setProgram(program);
    process.setWorkingDirectory(folder);
    process.setProcessEnvironment(environment);
    process.setProcessChannelMode(QProcess::MergedChannels);
    QElapsedTimer clock;
    clock.start();
    process.start();
    QByteArray seen;
    Timing timing;
    while (process.state() != QProcess::NotRunning && clock.elapsed() < 20000) {
        if (!process.waitForReadyRead(20000))
            break;
        seen += process.readAll();
        if (seen.contains(line)) {
            timing.wallMs = clock.nsecsElapsed() / 1e6;
            timing.cpuMs = cpuMilliseconds(process.processId());
            break;
        }
    }
    if (timing.wallMs < 0)
        std::fprintf(stderr, "%s did not report its first paint:\n%s\n", qPrintable(program), seen.constData());
    process.kill();
    process.waitForFinished();
    return timing;
}

struct Series {
    std::vector<double> wall, cpu;
    void add(const Timing &t)
    {
        if (t.wallMs < 0)
            return;
        wall.push_back(t.wallMs);
        cpu.push_back(t.cpuMs);
    }
};

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 15;
    const QString bin = QCoreApplication::applicationDirPath();
    const QString viewer = QDir(bin).filePath(QStringLiteral("../lumadex-viewer"));
    const QString floor = QDir(bin).filePath(QStringLiteral("bench-startup-floor"));
    const QString samples = QDir(bin).filePath(QStringLiteral("../samples"));
    if (!QFileInfo(viewer).isExecutable() || !QFileInfo(floor).isExecutable()) {
        std::fprintf(stderr, "build the viewer and bench-startup-floor first\n");
        return 1;
    }

    QTemporaryDir root;
    const QString c = root.filePath(QStringLiteral("c"));
    const QString pictures = c + QStringLiteral("/Pictures");
    const QString many = c + QStringLiteral("/Many");
    QDir().mkpath(pictures);
    QDir().mkpath(many);
    for (const QString &name : QDir(samples).entryList(QDir::Files))
        QFile::copy(QDir(samples).filePath(name), pictures + QLatin1Char('/') + name);
    constexpr int ManyFiles = 20000;
    if (!benchfolder::makeFolder(many, ManyFiles)) {
        std::fprintf(stderr, "cannot write the folder of %d files\n", ManyFiles);
        return 1;
    }

    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("HOME"), root.path());
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), root.filePath(QStringLiteral("config")));
    environment.insert(QStringLiteral("XDG_DATA_HOME"), root.filePath(QStringLiteral("data")));
    environment.insert(QStringLiteral("LUMADEX_PROGRAM_DIR"), root.filePath(QStringLiteral("program")));
    environment.insert(QStringLiteral("LUMADEX_DRIVES"), QStringLiteral("C:=") + c);
    environment.insert(QStringLiteral("QT_LOGGING_RULES"), QStringLiteral("lumadex.startup.debug=true"));
    const QByteArray viewerPainted = "main window painted";
    const QByteArray floorPainted = "floor window painted";

    // The first start writes the settings of a first run; the runs timed
    // are ordinary starts. Every file is in the page cache for all of them.
    timeToPaint(viewer, pictures, viewerPainted, environment);
    timeToPaint(floor, pictures, floorPainted, environment);
    const QByteArray manyHost = QFile::encodeName(many);
    benchfolder::plainReaddirStat(manyHost);

    Series floorRuns, pictureRuns, manyRuns;
    std::vector<double> readdir;
    for (int run = 0; run < runs; ++run) {
        floorRuns.add(timeToPaint(floor, pictures, floorPainted, environment));
        // Each run is killed; the system lets go of its single-instance
        // lock, and the lock file stays, as after any exit.
        pictureRuns.add(timeToPaint(viewer, pictures, viewerPainted, environment));
        manyRuns.add(timeToPaint(viewer, many, viewerPainted, environment));
        QElapsedTimer clock;
        clock.start();
        benchfolder::plainReaddirStat(manyHost);
        readdir.push_back(clock.nsecsElapsed() / 1e6);
    }

    const double floorWall = median(floorRuns.wall), floorCpu = median(floorRuns.cpu);
    const double picturesWall = median(pictureRuns.wall), picturesCpu = median(pictureRuns.cpu);
    const double manyWall = median(manyRuns.wall), manyCpu = median(manyRuns.cpu);
    const double stat = median(readdir);
    std::printf("start-up to the first paint with the folder listed, median of %d runs (wall ms, CPU ms of all threads)\n",
                runs);
    std::printf("  bare Qt Widgets window (floor)   %7.1f wall %7.1f CPU\n", floorWall, floorCpu);
    std::printf("  viewer, %2lld sample pictures      %7.1f wall %7.1f CPU   %.2fx the floor (CPU %.2fx)\n",
                qlonglong(QDir(pictures).entryList(QDir::Files).size()), picturesWall, picturesCpu,
                picturesWall / floorWall, picturesCpu / floorCpu);
    std::printf("  viewer, %d files            %7.1f wall %7.1f CPU   floor + 2 x readdir+stat (%.1f ms) = %.1f: %.2fx\n",
                ManyFiles, manyWall, manyCpu, stat, floorWall + 2 * stat, manyWall / (floorWall + 2 * stat));
    return 0;
}
