#include "platform/Drives.h"
#include "platform/HostFiles.h"
#include "platform/ShellFileOps.h"
#include "platform/ShellFileOpsTesting.h"
#include "platform/Trash.h"
#include "tests/support/TestEnvironment.h"
#include "tests/support/TestRunner.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>
#include <QTest>
#include <QUrl>

#include <cstdio>
#include <functional>
#include <memory>

#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

using platform::FileOpResult;

namespace {

// Answers each step of a copy from a script.
struct ScriptedProgress final : platform::CopyProgress {
    std::function<bool(qint64 copied)> step;
    int calls = 0;
    bool advance(const QString &, qint64 copied, qint64) override
    {
        ++calls;
        return step(copied);
    }
};

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QStringList entries(const QString &folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

// Bytes that differ from place to place, a few chunks of a copy long.
QByteArray bigData()
{
    QByteArray data(3 * 1024 * 1024 + 17, '\0');
    for (qsizetype i = 0; i < data.size(); ++i)
        data[i] = char((i * 7 + i / 4093) & 0xff);
    return data;
}

void setModified(const QString &path, const QDateTime &stamp)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadWrite));
    QVERIFY(file.setFileTime(stamp, QFileDevice::FileModificationTime));
}

// Files named by raw bytes, so that a name that is not UTF-8 is made and
// read as the system has it, whatever the viewer's own mapping does.
bool writeRaw(const QByteArray &path, const QByteArray &data)
{
    FILE *f = std::fopen(path.constData(), "wb");
    if (!f)
        return false;
    const bool ok = std::fwrite(data.constData(), 1, size_t(data.size()), f) == size_t(data.size());
    return std::fclose(f) == 0 && ok;
}

QByteArray readRaw(const QByteArray &path)
{
    FILE *f = std::fopen(path.constData(), "rb");
    if (!f)
        return "(missing)";
    QByteArray data;
    char buffer[256];
    while (const size_t got = std::fread(buffer, 1, sizeof buffer, f))
        data.append(buffer, qsizetype(got));
    std::fclose(f);
    return data;
}

dev_t deviceOf(const QString &path)
{
    struct stat st {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_dev : 0;
}

} // namespace

class ShellFileOpsTest : public QObject {
    Q_OBJECT
    std::unique_ptr<testsupport::HermeticEnvironment> env;
    std::unique_ptr<platform::ShellFileOps> ops;

    QString c(const QString &relative) const { return env->driveC() + QLatin1Char('/') + relative; }

private slots:
    void init()
    {
        env = std::make_unique<testsupport::HermeticEnvironment>();
        QVERIFY(testsupport::writeFile(c(QStringLiteral("Pictures/beach.jpg")), "beach"));
        QDir().mkpath(c(QStringLiteral("Other")));
        QDir::setCurrent(c(QStringLiteral("Pictures")));
        platform::CurrentDirectory::resetFromHost();
        ops = platform::makeDesktopFileOps();
    }

    void cleanup() { platform::testing::setCopyWriteFault(-1); }

    void freeNamesFollowTheShell_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QStringList>("taken");
        QTest::addColumn<QString>("expected");
        const QString beach = QStringLiteral("beach.jpg");
        const QString copy1 = QStringLiteral("beach - Copy.jpg");
        const QString copy2 = QStringLiteral("beach - Copy (2).jpg");
        QTest::newRow("free") << beach << QStringList() << beach;
        QTest::newRow("taken") << beach << QStringList{beach} << copy1;
        QTest::newRow("second") << beach << QStringList{beach, copy1} << copy2;
        QTest::newRow("third") << beach << QStringList{beach, copy1, copy2} << QStringLiteral("beach - Copy (3).jpg");
        QTest::newRow("gap kept") << beach << QStringList{beach, copy2} << copy1;
        QTest::newRow("no suffix") << QStringLiteral("README") << QStringList{QStringLiteral("README")}
                                   << QStringLiteral("README - Copy");
        QTest::newRow("last dot") << QStringLiteral("a.tar.gz") << QStringList{QStringLiteral("a.tar.gz")}
                                  << QStringLiteral("a.tar - Copy.gz");
    }

    void freeNamesFollowTheShell()
    {
        QFETCH(QString, name);
        QFETCH(QStringList, taken);
        QFETCH(QString, expected);
        const QSet<QString> set(taken.cbegin(), taken.cend());
        QCOMPARE(platform::freeName(name, [&](const QString &n) { return set.contains(n); }), expected);
    }

    // Copies into the file's own folder never replace: each gets the next
    // free name, keeps the bytes and the date, and the original stays.
    void copiesIntoTheirOwnFolderGetFreeNames()
    {
        const QString source = QStringLiteral("C:\\Pictures\\beach.jpg");
        const QDateTime stamp = QDateTime::fromSecsSinceEpoch(1'000'000'000);
        setModified(c(QStringLiteral("Pictures/beach.jpg")), stamp);
        QStringList made;
        for (int i = 0; i < 3; ++i) {
            const FileOpResult r = ops->copyTo(source, QStringLiteral("C:\\Pictures"), nullptr);
            QVERIFY2(r.ok(), qPrintable(r.reason));
            made << r.path;
        }
        QCOMPARE(made, (QStringList{QStringLiteral("C:\\Pictures\\beach - Copy.jpg"),
                                    QStringLiteral("C:\\Pictures\\beach - Copy (2).jpg"),
                                    QStringLiteral("C:\\Pictures\\beach - Copy (3).jpg")}));
        QCOMPARE(readAll(c(QStringLiteral("Pictures/beach - Copy (3).jpg"))), QByteArray("beach"));
        QCOMPARE(QFileInfo(c(QStringLiteral("Pictures/beach - Copy.jpg"))).lastModified(), stamp);
        QCOMPARE(readAll(c(QStringLiteral("Pictures/beach.jpg"))), QByteArray("beach"));
        QCOMPARE(entries(c(QStringLiteral("Pictures"))).size(), 4); // no temporary file left
    }

    // A name taken in another letter case counts as taken, as on Windows.
    void copyAndMoveOntoTakenNamesInAnotherFolder()
    {
        QVERIFY(testsupport::writeFile(c(QStringLiteral("Other/BEACH.JPG")), "other"));
        FileOpResult r = ops->copyTo(QStringLiteral("c:\\pictures\\beach.jpg"), QStringLiteral("C:\\Other"), nullptr);
        QCOMPARE(r.path, QStringLiteral("C:\\Other\\beach - Copy.jpg"));
        r = ops->moveTo(QStringLiteral("C:\\Pictures\\beach.jpg"), QStringLiteral("C:\\Other"), nullptr);
        QVERIFY2(r.ok(), qPrintable(r.reason));
        QCOMPARE(r.path, QStringLiteral("C:\\Other\\beach - Copy (2).jpg"));
        QVERIFY(!QFileInfo::exists(c(QStringLiteral("Pictures/beach.jpg"))));
        QCOMPARE(readAll(c(QStringLiteral("Other/BEACH.JPG"))), QByteArray("other"));
        QCOMPARE(readAll(c(QStringLiteral("Other/beach - Copy (2).jpg"))), QByteArray("beach"));

        // Into its own folder a move leaves the file as it is.
        r = ops->moveTo(QStringLiteral("C:\\Other\\BEACH.JPG"), QStringLiteral("C:\\Other"), nullptr);
        QCOMPARE(r.path, QStringLiteral("C:\\Other\\BEACH.JPG"));
        QCOMPARE(entries(c(QStringLiteral("Other"))).size(), 3);
    }

    void moveAcrossFileSystems()
    {
        QTemporaryDir other(QStringLiteral("/dev/shm/lumadex-test-XXXXXX"));
        if (!other.isValid() || deviceOf(other.path()) == deviceOf(env->root()))
            QSKIP("No second file system: /dev/shm is missing or on the test folder's own file system.");
        env->setDrives(QStringLiteral("C:=") + env->driveC() + QStringLiteral(";D:=") + other.path());
        const QByteArray data = bigData();
        QVERIFY(testsupport::writeFile(c(QStringLiteral("Pictures/big.bmp")), data));
        QVERIFY(testsupport::writeFile(other.path() + QStringLiteral("/big.bmp"), "taken"));
        const QDateTime stamp = QDateTime::fromSecsSinceEpoch(1'200'000'000);
        setModified(c(QStringLiteral("Pictures/big.bmp")), stamp);

        // A full disk half-way: the source stays, nothing new at the destination.
        platform::testing::setCopyWriteFault(1024 * 1024 + 5);
        FileOpResult r = ops->moveTo(QStringLiteral("C:\\Pictures\\big.bmp"), QStringLiteral("D:\\"), nullptr);
        QCOMPARE(r.status, FileOpResult::Status::Failed);
        QCOMPARE(r.path, QStringLiteral("D:\\"));
        QCOMPARE(entries(other.path()), QStringList{QStringLiteral("big.bmp")});
        QCOMPARE(readAll(c(QStringLiteral("Pictures/big.bmp"))), data);

        platform::testing::setCopyWriteFault(-1);
        ScriptedProgress progress;
        progress.step = [](qint64) { return true; };
        r = ops->moveTo(QStringLiteral("C:\\Pictures\\big.bmp"), QStringLiteral("D:\\"), &progress);
        QVERIFY2(r.ok(), qPrintable(r.reason));
        QCOMPARE(r.path, QStringLiteral("D:\\big - Copy.bmp"));
        QVERIFY(progress.calls >= 4); // the start and every chunk
        QVERIFY(!QFileInfo::exists(c(QStringLiteral("Pictures/big.bmp"))));
        QCOMPARE(readAll(other.path() + QStringLiteral("/big - Copy.bmp")), data);
        QCOMPARE(QFileInfo(other.path() + QStringLiteral("/big - Copy.bmp")).lastModified(), stamp);
        QCOMPARE(entries(other.path()).size(), 2);
    }

    // Temporaries left by a killed copy or save go with the next write into
    // their folder; one a writer still holds, and every file that is not a
    // temporary of the viewer's, stay.
    void onlyStaleTemporariesOfTheViewerAreRemoved()
    {
        const QString folder = c(QStringLiteral("Other"));
        const QStringList stale = {QStringLiteral(".lumadex-copy-AbC123"), QStringLiteral(".lumadex-bookmark.ini-xYz789")};
        const QStringList kept = {QStringLiteral(".lumadex-copy-LiVe01"), QStringLiteral("bookmark.ini.backup"),
                                  QStringLiteral("bookmark.ini.AbCdEf"), QStringLiteral(".lumadex-copy-short"),
                                  QStringLiteral(".lumadex-copy-AbC12!"), QStringLiteral(".lumadex--AbC123"),
                                  QStringLiteral("lumadex-copy-AbC123")};
        for (const QString &name : stale + kept)
            QVERIFY(testsupport::writeFile(folder + QLatin1Char('/') + name, QByteArray(4096, 'x')));
        QVERIFY(QDir().mkpath(folder + QStringLiteral("/.lumadex-copy-Dir001")));
        QCOMPARE(::symlink(QFile::encodeName(c(QStringLiteral("Pictures/beach.jpg"))).constData(),
                           QFile::encodeName(folder + QStringLiteral("/.lumadex-copy-Link01")).constData()),
                 0);
        // A writer at work holds its temporary's lock.
        QFile live(folder + QStringLiteral("/.lumadex-copy-LiVe01"));
        QVERIFY(live.open(QIODevice::ReadWrite));
        QCOMPARE(::flock(live.handle(), LOCK_EX), 0);

        const FileOpResult r = ops->copyTo(QStringLiteral("C:\\Pictures\\beach.jpg"), QStringLiteral("C:\\Other"), nullptr);
        QVERIFY2(r.ok(), qPrintable(r.reason));
        QStringList expected = kept + QStringList{QStringLiteral("beach.jpg"), QStringLiteral(".lumadex-copy-Dir001"),
                                                  QStringLiteral(".lumadex-copy-Link01")};
        expected.sort();
        QCOMPARE(entries(folder), expected);
        QCOMPARE(readAll(c(QStringLiteral("Pictures/beach.jpg"))), QByteArray("beach")); // the link's file
    }

    // A cancelled, failing or disturbed copy leaves no partial file and the
    // source as it was.
    void unfinishedCopiesLeaveNothing_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("status");
        QTest::newRow("cancelled") << 0 << int(FileOpResult::Status::Cancelled);
        QTest::newRow("disk full") << 1 << int(FileOpResult::Status::Failed);
        QTest::newRow("source shrinks") << 2 << int(FileOpResult::Status::Failed);
    }

    void unfinishedCopiesLeaveNothing()
    {
        QFETCH(int, kind);
        QFETCH(int, status);
        const QByteArray data = bigData();
        const QString file = c(QStringLiteral("Pictures/big.bmp"));
        QVERIFY(testsupport::writeFile(file, data));
        ScriptedProgress progress;
        progress.step = [&](qint64 copied) {
            if (kind == 0)
                return copied == 0;
            if (kind == 2 && copied > 0)
                QFile::resize(file, 100);
            return true;
        };
        if (kind == 1)
            platform::testing::setCopyWriteFault(2 * 1024 * 1024);
        const FileOpResult r = ops->copyTo(QStringLiteral("C:\\Pictures\\big.bmp"), QStringLiteral("C:\\Other"), &progress);
        QCOMPARE(int(r.status), status);
        QVERIFY(entries(c(QStringLiteral("Other"))).isEmpty());
        if (kind != 2)
            QCOMPARE(readAll(file), data);
        QVERIFY(kind == 0 || !r.reason.isEmpty());
    }

    // Nothing but an existing file is ever handed to an operation: an empty
    // or folder path must not move, trash or rename the folder.
    void onlyFilesAreHandedOn()
    {
        for (const QString &source : {QString(), QStringLiteral("C:\\Pictures"), QStringLiteral("C:\\Pictures\\gone.jpg"),
                                      QStringLiteral("Q:\\beach.jpg")}) {
            QCOMPARE(ops->moveToTrash(source).status, FileOpResult::Status::Failed);
            QCOMPARE(ops->rename(source, QStringLiteral("x")).status, FileOpResult::Status::Failed);
            QCOMPARE(ops->moveTo(source, QStringLiteral("C:\\Other"), nullptr).status, FileOpResult::Status::Failed);
        }
        const FileOpResult r = ops->copyTo(QStringLiteral("C:\\Pictures\\beach.jpg"), QStringLiteral("C:\\Gone"), nullptr);
        QCOMPARE(r.status, FileOpResult::Status::Failed);
        QCOMPARE(r.path, QStringLiteral("C:\\Gone"));
        QCOMPARE(entries(c(QStringLiteral("Pictures"))), QStringList{QStringLiteral("beach.jpg")});
        QVERIFY(entries(c(QStringLiteral("Other"))).isEmpty());
        QVERIFY(!QFileInfo::exists(env->dataHome() + QStringLiteral("/Trash")));
    }

    void renameNeverReplaces()
    {
        QVERIFY(testsupport::writeFile(c(QStringLiteral("Pictures/abc.bmp")), "abc"));
        for (const QString &name : {QStringLiteral("abc.bmp"), QStringLiteral("ABC.BMP"), QStringLiteral("beach.jpg"),
                                    QStringLiteral("C:\\Pictures\\abc.bmp"), QString(), QStringLiteral("a?b.jpg"),
                                    QStringLiteral("sea.jpg."), QStringLiteral("C:\\Other\\nul.jpg")}) {
            const FileOpResult r = ops->rename(QStringLiteral("C:\\Pictures\\beach.jpg"), name);
            QCOMPARE(r.status, FileOpResult::Status::Failed);
        }
        QCOMPARE(readAll(c(QStringLiteral("Pictures/abc.bmp"))), QByteArray("abc"));
        QCOMPARE(readAll(c(QStringLiteral("Pictures/beach.jpg"))), QByteArray("beach"));
        QCOMPARE(entries(c(QStringLiteral("Pictures"))), (QStringList{QStringLiteral("abc.bmp"), QStringLiteral("beach.jpg")}));
        QVERIFY(entries(c(QStringLiteral("Other"))).isEmpty());

        // A bare name lands in the current folder, a path where it says.
        QVERIFY(platform::CurrentDirectory::chDir(QStringLiteral("C:\\Other")));
        FileOpResult r = ops->rename(QStringLiteral("C:\\Pictures\\beach.jpg"), QStringLiteral("sea.jpg"));
        QCOMPARE(r.path, QStringLiteral("C:\\Other\\sea.jpg"));
        r = ops->rename(QStringLiteral("sea.jpg"), QStringLiteral("c:\\pictures\\shore.jpg"));
        QCOMPARE(r.path, QStringLiteral("C:\\Pictures\\shore.jpg"));
        QCOMPARE(readAll(c(QStringLiteral("Pictures/shore.jpg"))), QByteArray("beach"));

        // A new letter case of the same name, as Windows allows it.
        r = ops->rename(QStringLiteral("C:\\Pictures\\abc.bmp"), QStringLiteral("C:\\Pictures\\Abc.BMP"));
        QVERIFY2(r.ok(), qPrintable(r.reason));
        QCOMPARE(r.path, QStringLiteral("C:\\Pictures\\Abc.BMP"));
        QCOMPARE(entries(c(QStringLiteral("Pictures"))), (QStringList{QStringLiteral("Abc.BMP"), QStringLiteral("shore.jpg")}));
        QCOMPARE(ops->rename(QStringLiteral("C:\\Pictures\\Abc.BMP"), QStringLiteral("C:\\Pictures\\Abc.BMP")).status,
                 FileOpResult::Status::Failed);
    }

    void linkTargetsRebased_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("to");
        QTest::addColumn<QString>("rebased");
        QTest::newRow("beside the link") << "x.jpg" << "/a/b" << "/a/c" << "../b/x.jpg";
        QTest::newRow("up steps taken along the way") << "../p/x.jpg" << "/a/b" << "/a/c" << "../p/x.jpg";
        QTest::newRow("up past the common folder") << "../../x" << "/a/b" << "/a/c" << "../../x";
        QTest::newRow("deeper") << "x" << "/a/b" << "/a/b/d/e" << "../../x";
        QTest::newRow("shallower") << "../x" << "/a/b/d" << "/a" << "b/x";
        QTest::newRow("up step after a name stays") << "sub/../x" << "/a/b" << "/a/c" << "../b/sub/../x";
        QTest::newRow("dot steps") << "./x/./y" << "/a/b" << "/a/c" << "../b/x/./y";
        QTest::newRow("the folder itself") << "." << "/a/b" << "/a/c" << "../b";
        QTest::newRow("trailing slash") << "dir/" << "/a" << "/b" << "../a/dir/";
        QTest::newRow("up from the root") << ".." << "/" << "/a" << "../..";
        QTest::newRow("absolute") << "/p/x.jpg" << "/a/b" << "/c" << "/p/x.jpg";
    }

    void linkTargetsRebased()
    {
        QFETCH(QString, target);
        QFETCH(QString, from);
        QFETCH(QString, to);
        QFETCH(QString, rebased);
        QCOMPARE(platform::host::rebasedLinkTarget(target, from, to), rebased);
    }

    // A link moved (or renamed into another folder) names what it named
    // before, a dangling one the same missing path.
    void movedLinksNameWhatTheyNamed_data()
    {
        QTest::addColumn<QString>("target"); // as the link in C:\Pictures holds it
        QTest::addColumn<QString>("moveTo"); // a folder, or with rename the new path
        QTest::addColumn<bool>("rename");
        QTest::newRow("file beside it") << "beach.jpg" << "C:\\Other" << false;
        QTest::newRow("file up and down") << "../Pictures/beach.jpg" << "C:\\Other\\Deep" << false;
        QTest::newRow("folder") << "../Album" << "C:\\Other\\Deep" << false;
        QTest::newRow("dangling") << "gone.jpg" << "C:\\Other\\Deep" << false;
        QTest::newRow("absolute") << "ABSOLUTE" << "C:\\Other" << false;
        QTest::newRow("renamed into another folder") << "beach.jpg" << "C:\\Other\\Deep\\moved.jpg" << true;
        QTest::newRow("another file system") << "beach.jpg" << "D:\\" << false;
    }

    void movedLinksNameWhatTheyNamed()
    {
        QFETCH(QString, target);
        QFETCH(QString, moveTo);
        QFETCH(bool, rename);
        QTemporaryDir other(QStringLiteral("/dev/shm/lumadex-test-XXXXXX"));
        if (moveTo.startsWith(QLatin1String("D:"))) {
            if (!other.isValid() || deviceOf(other.path()) == deviceOf(env->root()))
                QSKIP("No second file system: /dev/shm is missing or on the test folder's own file system.");
            env->setDrives(QStringLiteral("C:=") + env->driveC() + QStringLiteral(";D:=") + other.path());
        }
        QDir().mkpath(c(QStringLiteral("Other/Deep")));
        QVERIFY(testsupport::writeFile(c(QStringLiteral("Album/a.jpg")), "album"));
        if (target == QLatin1String("ABSOLUTE"))
            target = c(QStringLiteral("Pictures/beach.jpg"));
        const QString link = c(QStringLiteral("Pictures/link.jpg"));
        QCOMPARE(::symlink(QFile::encodeName(target).constData(), QFile::encodeName(link).constData()), 0);
        const QString named = QFileInfo(link).symLinkTarget();
        const QString real = QFileInfo(link).canonicalFilePath();

        const QString source = QStringLiteral("C:\\Pictures\\link.jpg");
        const FileOpResult r = rename ? ops->rename(source, moveTo) : ops->moveTo(source, moveTo, nullptr);
        QVERIFY2(r.ok(), qPrintable(r.reason));
        const QString moved = platform::DriveTable::fromEnvironment().toHostPath(r.path);
        QVERIFY(QFileInfo(moved).isSymLink());
        QVERIFY(!QFileInfo(link).isSymLink());
        QCOMPARE(QFileInfo(moved).symLinkTarget(), named);
        QCOMPARE(QFileInfo(moved).canonicalFilePath(), real); // empty for the dangling one
    }

    // Trash, then restore from what the .trashinfo says.
    void trashedFilesCanBeRestored()
    {
        const QString name = QStringLiteral("my beach #1%.jpg");
        const QString original = c(QStringLiteral("Pictures/") + name);
        QVERIFY(testsupport::writeFile(original, "first"));
        const QString real = QFileInfo(original).canonicalFilePath();
        const QDateTime before = QDateTime::currentDateTime().addSecs(-1);
        const FileOpResult r = ops->moveToTrash(QStringLiteral("C:\\Pictures\\") + name);
        QVERIFY2(r.ok(), qPrintable(r.reason));
        const QString trash = env->dataHome() + QStringLiteral("/Trash");
        QCOMPARE(r.path, trash + QStringLiteral("/files/") + name);
        QVERIFY(!QFileInfo::exists(original));

        const QString info = QString::fromUtf8(readAll(trash + QStringLiteral("/info/") + name + QStringLiteral(".trashinfo")));
        const QRegularExpression form(QStringLiteral("^\\[Trash Info\\]\nPath=(\\S+)\nDeletionDate=(\\S+)\n$"));
        const QRegularExpressionMatch m = form.match(info);
        QVERIFY2(m.hasMatch(), qPrintable(info));
        QVERIFY(!m.captured(1).contains(QLatin1Char(' ')) && !m.captured(1).contains(QLatin1Char('#')));
        const QString recorded = QUrl::fromPercentEncoding(m.captured(1).toLatin1());
        QCOMPARE(recorded, real);
        const QDateTime deleted = QDateTime::fromString(m.captured(2), Qt::ISODate);
        QVERIFY(deleted >= before && deleted <= QDateTime::currentDateTime().addSecs(1));

        // The same name again is kept apart.
        QVERIFY(testsupport::writeFile(original, "second"));
        const FileOpResult again = ops->moveToTrash(QStringLiteral("C:\\Pictures\\") + name);
        QCOMPARE(again.path, trash + QStringLiteral("/files/my beach #1%.2.jpg"));
        QVERIFY(QFileInfo::exists(trash + QStringLiteral("/info/my beach #1%.2.jpg.trashinfo")));

        QVERIFY(QFile::rename(r.path, recorded));
        QCOMPARE(readAll(original), QByteArray("first"));
    }

    // Names no Windows path can hold (bytes that are not UTF-8, a "\\") are
    // copied, moved, renamed and trashed under their exact bytes; a file
    // whose name a lossy decoding would give is never touched instead.
    void hostNamesSurviveEveryOperation()
    {
        const QByteArray pictures = QFile::encodeName(c(QStringLiteral("Pictures/")));
        const QByteArray other = QFile::encodeName(c(QStringLiteral("Other/")));
        QVERIFY(writeRaw(pictures + "caf\xe9.jpg", "latin"));
        QVERIFY(writeRaw(pictures + "a\\b.jpg", "slash"));
        for (const QByteArray &decoy : {QByteArray("caf?.jpg"), QByteArray("caf\xef\xbf\xbd.jpg")})
            QVERIFY(writeRaw(pictures + decoy, "decoy"));
        const QString cafe = QStringLiteral("caf\uF0E9.jpg");

        FileOpResult r = ops->copyTo(QStringLiteral("C:\\Pictures\\") + cafe, QStringLiteral("C:\\Other"), nullptr);
        QVERIFY2(r.ok(), qPrintable(r.reason));
        QCOMPARE(r.path, QStringLiteral("C:\\Other\\") + cafe);
        QCOMPARE(readRaw(other + "caf\xe9.jpg"), QByteArray("latin"));

        r = ops->copyTo(QStringLiteral("C:\\Pictures\\") + cafe, QStringLiteral("C:\\Pictures"), nullptr);
        QCOMPARE(r.path, QStringLiteral("C:\\Pictures\\caf\uF0E9 - Copy.jpg"));
        QCOMPARE(readRaw(pictures + "caf\xe9 - Copy.jpg"), QByteArray("latin"));

        r = ops->moveTo(QStringLiteral("C:\\Pictures\\caf\uF0E9 - Copy.jpg"), QStringLiteral("C:\\Other"), nullptr);
        QVERIFY2(r.ok(), qPrintable(r.reason));
        QCOMPARE(r.path, QStringLiteral("C:\\Other\\caf\uF0E9 - Copy.jpg"));
        QCOMPARE(readRaw(other + "caf\xe9 - Copy.jpg"), QByteArray("latin"));
        QCOMPARE(readRaw(pictures + "caf\xe9 - Copy.jpg"), QByteArray("(missing)"));

        r = ops->rename(QStringLiteral("C:\\Pictures\\a\uF05Cb.jpg"), QStringLiteral("\uF0FFa\uF05Cc.jpg"));
        QVERIFY2(r.ok(), qPrintable(r.reason));
        QCOMPARE(r.path, QStringLiteral("C:\\Pictures\\\uF0FFa\uF05Cc.jpg"));
        QCOMPARE(readRaw(pictures + "\xff" "a\\c.jpg"), QByteArray("slash"));

        r = ops->moveToTrash(QStringLiteral("C:\\Pictures\\") + cafe);
        QVERIFY2(r.ok(), qPrintable(r.reason));
        const QByteArray trash = QFile::encodeName(env->dataHome()) + "/Trash/";
        QCOMPARE(readRaw(trash + "files/caf\xe9.jpg"), QByteArray("latin"));
        QCOMPARE(readRaw(pictures + "caf\xe9.jpg"), QByteArray("(missing)"));
        const QByteArray info = readRaw(trash + "info/caf\xe9.jpg.trashinfo");
        QVERIFY2(info.contains("/Pictures/caf%E9.jpg\n"), info.constData());

        for (const QByteArray &decoy : {QByteArray("caf?.jpg"), QByteArray("caf\xef\xbf\xbd.jpg")})
            QCOMPARE(readRaw(pictures + decoy), QByteArray("decoy"));
    }

    void refusedTrashKeepsTheFile()
    {
        QVERIFY(testsupport::writeFile(env->dataHome() + QStringLiteral("/Trash"), "not a folder"));
        const FileOpResult r = ops->moveToTrash(QStringLiteral("C:\\Pictures\\beach.jpg"));
        QCOMPARE(r.status, FileOpResult::Status::Failed);
        QCOMPARE(r.path, QStringLiteral("C:\\Pictures\\beach.jpg"));
        QCOMPARE(readAll(c(QStringLiteral("Pictures/beach.jpg"))), QByteArray("beach"));
    }

    // The trash under a volume's top folder: a shared, sticky ".Trash" gets
    // a folder per user; otherwise (missing, not sticky, a link) the user's
    // own ".Trash-$uid"; a ".Trash-$uid" that is a link is refused.
    void volumeTrashRules_data()
    {
        QTest::addColumn<QString>("setUp");
        QTest::addColumn<QString>("expected");
        const QString uid = QString::number(::getuid());
        QTest::newRow("nothing yet") << QString() << QStringLiteral(".Trash-") + uid;
        QTest::newRow("sticky shared") << QStringLiteral("sticky") << QStringLiteral(".Trash/") + uid;
        QTest::newRow("shared, not sticky") << QStringLiteral("plain") << QStringLiteral(".Trash-") + uid;
        QTest::newRow("shared is a link") << QStringLiteral("link") << QStringLiteral(".Trash-") + uid;
        QTest::newRow("own is a link") << QStringLiteral("own link") << QString();
    }

    void volumeTrashRules()
    {
        QFETCH(QString, setUp);
        QFETCH(QString, expected);
        const QString top = env->root() + QStringLiteral("/volume");
        const QString elsewhere = env->root() + QStringLiteral("/elsewhere");
        QDir().mkpath(top);
        QDir().mkpath(elsewhere);
        ::chmod(QFile::encodeName(elsewhere).constData(), 01777);
        if (setUp == QLatin1String("sticky") || setUp == QLatin1String("plain")) {
            QDir().mkpath(top + QStringLiteral("/.Trash"));
            ::chmod(QFile::encodeName(top + QStringLiteral("/.Trash")).constData(), setUp == QLatin1String("sticky") ? 01777 : 0777);
        } else if (setUp == QLatin1String("link")) {
            QVERIFY(QFile::link(elsewhere, top + QStringLiteral("/.Trash")));
        } else if (setUp == QLatin1String("own link")) {
            QVERIFY(QFile::link(elsewhere, top + QStringLiteral("/.Trash-") + QString::number(::getuid())));
        }
        const std::optional<QString> trash = platform::trash::volumeTrash(top);
        if (expected.isEmpty()) {
            QVERIFY(!trash);
            QVERIFY(entries(elsewhere).isEmpty());
            return;
        }
        QVERIFY(trash);
        QCOMPARE(*trash, top + QLatin1Char('/') + expected);
        QVERIFY(QFileInfo(*trash + QStringLiteral("/files")).isDir());
        QVERIFY(QFileInfo(*trash + QStringLiteral("/info")).isDir());
        QCOMPARE(QFileInfo(*trash).permissions() & (QFile::ReadOther | QFile::ReadGroup), QFile::Permissions());
    }

    void volumeTopIsTheMountPoint()
    {
        const QString top = platform::trash::volumeTop(env->root());
        QCOMPARE(deviceOf(top), deviceOf(env->root()));
        QVERIFY(top == QLatin1String("/") || deviceOf(QFileInfo(top).path()) != deviceOf(top));
    }
};

LUMADEX_TEST_CLASS(ShellFileOpsTest);
#include "ShellFileOpsTest.moc"
