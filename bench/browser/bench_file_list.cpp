// Times the file list on a folder of 20,000 files against a plain
// readdir + stat of the same folder, and prints both and their ratio.
//
//   bench-file-list [files] [runs]

#include "bench/browser/FolderFixture.h"
#include "controls/FileListBox.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include <dirent.h>

namespace {

const char *const Readable = "*.bmp;*.gif;*.jpg;*.ico;*.cur;*.Rle;*.Dib;*.Wmf;*.Emf";

// For scale: the names alone, nothing stat'ed.
std::size_t plainReaddir(const QByteArray &folder)
{
    std::vector<std::string> names;
    DIR *dir = ::opendir(folder.constData());
    if (!dir)
        return 0;
    while (const dirent *entry = ::readdir(dir))
        names.emplace_back(entry->d_name);
    ::closedir(dir);
    return names.size();
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int files = argc > 1 ? std::max(1, std::atoi(argv[1])) : 20000;
    const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 15;

    QTemporaryDir root;
    if (!root.isValid() || !benchfolder::makeFolder(root.path(), files)) {
        std::fprintf(stderr, "cannot create the test folder\n");
        return 1;
    }
    qputenv("LUMADEX_DRIVES", QFile::encodeName(QStringLiteral("C:=") + root.path()));
    const QByteArray hostFolder = QFile::encodeName(root.path());

    controls::FileListBox list;
    list.resize(161, 136); // the browser column's file list
    list.setPattern(QString::fromLatin1(Readable));
    list.show();

    std::vector<double> plain, bare, refresh, shown;
    std::size_t plainCount = 0;
    benchfolder::plainReaddirStat(hostFolder); // warm the directory cache for both
    list.setPath(QStringLiteral("C:\\"));
    for (int run = 0; run < runs; ++run) {
        QElapsedTimer t;
        t.start();
        plainCount = benchfolder::plainReaddirStat(hostFolder);
        plain.push_back(t.nsecsElapsed() / 1e6);

        t.restart();
        plainReaddir(hostFolder);
        bare.push_back(t.nsecsElapsed() / 1e6);

        t.restart();
        list.Refresh();
        refresh.push_back(t.nsecsElapsed() / 1e6);

        // The same, until the shown list has laid itself out and painted.
        t.restart();
        list.Refresh();
        QApplication::processEvents();
        list.repaint();
        shown.push_back(t.nsecsElapsed() / 1e6);
    }

    const double p = median(plain);
    const double r = median(refresh);
    std::printf("folder: %d files, %zu regular, %d listed by \"%s\"; median of %d runs\n", files, plainCount,
                list.ListCount(), Readable, runs);
    std::printf("readdir+stat:         %8.2f ms\n", p);
    std::printf("FileListBox refresh:  %8.2f ms\n", r);
    std::printf("ratio:                %8.2f\n", r / p);
    std::printf("for scale: readdir alone %.2f ms; refresh, laid out and painted %.2f ms\n", median(bare),
                median(shown));
    return 0;
}
