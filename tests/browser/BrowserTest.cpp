#include "MainWindowFixture.h"
#include "browser/FileInfo.h"
#include "controls/ComboBox.h"
#include "controls/DirListBox.h"
#include "controls/DriveListBox.h"
#include "controls/FileListBox.h"
#include "controls/ImageControl.h"
#include "controls/Label.h"
#include "controls/MenuItem.h"
#include "controls/PictureBox.h"
#include "settings/Settings.h"
#include "tests/support/TestRunner.h"

#include <QBuffer>
#include <QMenuBar>
#include <QTest>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using platform::MsgStyle::Critical;

class BrowserTest : public QObject {
    Q_OBJECT
    MainWindowFixture f;

    void selectFile(const QString &name)
    {
        for (int i = 0; i < f.main->File1->ListCount(); ++i)
            if (f.main->File1->List(i) == name)
                f.main->File1->setListIndex(i);
    }

private slots:
    void init() { f.setUp(); }
    void cleanup() { f.tearDown(); }

    void startsInTheWorkingFolderWithEveryReadableFormat()
    {
        f.picture(QStringLiteral("Pictures/b.bmp"), {10, 10});
        testsupport::writeFile(f.c() + QStringLiteral("/Pictures/notes.txt"), "text");
        testsupport::writeFile(f.c() + QStringLiteral("/Pictures/.hidden.jpg"), "x");
        app::Form1 *main = f.load();
        QCOMPARE(main->Caption(), QStringLiteral("Lumadex Viewer 3.01  - C:\\Pictures"));
        QCOMPARE(main->Combo1->Text(), QStringLiteral("All Readable Format"));
        QCOMPARE(main->File1->Pattern(), QStringLiteral("*.bmp;*.gif;*.jpg;*.ico;*.cur;*.Rle;*.Dib;*.Wmf;*.Emf"));
        QCOMPARE(main->File1->ListCount(), 1);
        QCOMPARE(main->Combo1->ListCount(), 10);
        QVERIFY(!main->goto1->Enabled());
        QCOMPARE(main->Image1->Picture().image().size(), QSize(193, 33)); // the notice
        QVERIFY(!main->St1->Enabled());
    }

    void theMenuBarShowsFourMenusWithOneCheckMark()
    {
        app::Form1 *main = f.load();
        QStringList bar;
        for (QAction *action : main->menuBar()->actions())
            if (action->isVisible())
                bar << action->text();
        QCOMPARE(bar, (QStringList{QStringLiteral("&File"), QStringLiteral("&View"), QStringLiteral("&Options"),
                                   QStringLiteral("&Help")}));
        QList<controls::MenuItem *> checked;
        for (controls::MenuItem *item : main->findChildren<controls::MenuItem *>())
            if (item->Checked())
                checked << item;
        QCOMPARE(checked, QList<controls::MenuItem *>{main->auto1});
    }

    void aDriveThatIsNotReadyFallsBackToC()
    {
        f.tearDown();
        f.setUp(QStringLiteral("D:=%1/no-medium").arg(QDir::tempPath() + QStringLiteral("/lumadex-none")));
        app::Form1 *main = f.load();
        main->Drive1->setDrive(QStringLiteral("D:"));
        QCOMPARE(f.boxes->shown.size(), 1);
        QCOMPARE(f.boxes->shown.first().text, QStringLiteral("Device is not accessible or ready"));
        QCOMPARE(f.boxes->shown.first().caption, QStringLiteral("Lumadex Viewer"));
        QCOMPARE(f.boxes->shown.first().icon(), Critical);
        QCOMPARE(main->Drive1->Drive(), QStringLiteral("c:"));
        QVERIFY(main->Dir1->Path().startsWith(QStringLiteral("C:\\")));
    }

    void driveCThatCannotBeOpenedDoesNotLoopForEver()
    {
        f.tearDown();
        f.setUp();
        const QString missing = f.env->root() + QStringLiteral("/gone");
        f.env->setDrives(QStringLiteral("C:=%1;D:=%2").arg(missing, f.c()));
        QDir::setCurrent(f.c() + QStringLiteral("/Pictures"));
        app::Form1 *main = f.load();
        main->Drive1->setDrive(QStringLiteral("C:"));
        // One message for the drive chosen, one for the fall-back that failed too.
        QVERIFY(f.boxes->shown.size() <= 2);
        QVERIFY(!f.boxes->shown.isEmpty());
        QVERIFY(main->Dir1->Path().startsWith(QStringLiteral("D:\\")));
    }

    void titlesOfARootAndOfASubFolder()
    {
        QDir().mkpath(f.c() + QStringLiteral("/Photos"));
        app::Form1 *main = f.load();
        main->Dir1->setPath(QStringLiteral("C:\\"));
        QCOMPARE(main->Caption(), QStringLiteral("Lumadex Viewer 3.01  - C:\\"));
        main->Dir1->setPath(QStringLiteral("C:\\Photos"));
        QCOMPARE(main->Caption(), QStringLiteral("Lumadex Viewer 3.01  - C:\\Photos"));
        QCOMPARE(platform::CurrentDirectory::path(), QStringLiteral("C:\\Photos"));
    }

    void theJpgFilterMatchesWithoutRegardToCase()
    {
        for (const char *name : {"Pictures/a.JPG", "Pictures/b.jpg", "Pictures/c.jpeg", "Pictures/d.bmp"})
            testsupport::writeFile(f.c() + QLatin1Char('/') + QLatin1String(name), "x");
        app::Form1 *main = f.load();
        main->Combo1->setText(QStringLiteral("*.jpg"));
        QCOMPARE(main->File1->ListCount(), 2);
        QCOMPARE(main->File1->List(0), QStringLiteral("a.JPG"));
        QCOMPARE(main->File1->List(1), QStringLiteral("b.jpg"));
    }

    void aFilterChoiceReplacesTheShownPicture()
    {
        f.picture(QStringLiteral("Pictures/a.bmp"), {40, 30});
        app::Form1 *main = f.load();
        selectFile(QStringLiteral("a.bmp"));
        QVERIFY(!main->Label7->Caption().isEmpty());
        QVERIFY(main->St1->Enabled());
        for (const QString &how : {QStringLiteral("filter"), QStringLiteral("refresh")}) {
            selectFile(QStringLiteral("a.bmp"));
            if (how == QLatin1String("filter"))
                main->Combo1->setText(QStringLiteral("*.bmp"));
            else
                main->refresh1_Click();
            QCOMPARE(main->Image1->Picture().image().size(), QSize(193, 33));
            QVERIFY(main->Label7->Caption().isEmpty());
            QVERIFY(main->Label8->Caption().isEmpty());
            QVERIFY(main->Label9->Caption().isEmpty());
            QVERIFY(main->Label3->Caption().isEmpty());
            QVERIFY(!main->St1->Enabled() && !main->auto1->Enabled() && !main->Act1->Enabled());
            QCOMPARE(main->File1->ListIndex(), -1);
        }
    }

    void aFolderRemovedFromOutsideSendsTheBrowserToC()
    {
        QDir().mkpath(f.c() + QStringLiteral("/Photos/Old"));
        app::Form1 *main = f.load();
        main->Dir1->setPath(QStringLiteral("C:\\Photos\\Old"));
        QDir(f.c() + QStringLiteral("/Photos")).removeRecursively();
        main->refresh1_Click();
        QVERIFY(f.boxes->shown.isEmpty());
        QCOMPARE(main->Dir1->Path(), QStringLiteral("C:\\"));
        QCOMPARE(main->Caption(), QStringLiteral("Lumadex Viewer 3.01  - C:\\"));
    }

    void theDefaultFolderOpensAtStartUp()
    {
        QDir().mkpath(f.c() + QStringLiteral("/Holiday"));
        settings::Write(settings::AutoJump, QStringLiteral("C:\\Holiday"));
        app::Form1 *main = f.load();
        QCOMPARE(main->Dir1->Path(), QStringLiteral("C:\\Holiday"));
        QVERIFY(main->goto1->Enabled());
        f.tearDown();

        f.setUp();
        settings::Write(settings::AutoJump, QStringLiteral("C:\\Deleted"));
        main = f.load();
        QVERIFY(f.boxes->shown.isEmpty());
        QVERIFY(main->goto1->Enabled());
        QCOMPARE(main->Drive1->Drive(), QStringLiteral("c:"));
        QVERIFY(main->Dir1->Path().startsWith(QStringLiteral("C:\\")));
    }

    void choosingAFileShowsItsInformationAndPosition()
    {
        for (const char *name : {"a.bmp", "b.bmp", "c.bmp", "d.bmp", "e.bmp"})
            f.picture(QStringLiteral("Pictures/") + QLatin1String(name), {64, 48});
        app::Form1 *main = f.load();
        main->File1->setListIndex(0);
        QCOMPARE(main->Caption(), QStringLiteral("Lumadex Viewer 3.01  - C:\\Pictures\\a.bmp (1/5)"));
        QCOMPARE(main->Label3->Caption(), QStringLiteral("C:\\Pictures\\a.bmp"));
        QCOMPARE(main->Label9->Caption(), QStringLiteral("64 X 48"));
        QCOMPARE(main->Label7->Caption(), app::fileSizeText(QFileInfo(f.c() + QStringLiteral("/Pictures/a.bmp")).size()));
        QVERIFY(!main->Label8->Caption().isEmpty());
        // The arrow keys step through the list, loading each picture.
        main->File1->setFocus();
        QTest::keyClick(main->File1, Qt::Key_Down);
        QCOMPARE(main->Caption(), QStringLiteral("Lumadex Viewer 3.01  - C:\\Pictures\\b.bmp (2/5)"));
        main->File1->setListIndex(4);
        QCOMPARE(main->Caption(), QStringLiteral("Lumadex Viewer 3.01  - C:\\Pictures\\e.bmp (5/5)"));
    }

    void namesNoWindowsPathCanHoldOpenAsAnyOther()
    {
        // Written through their bytes: one with a backslash, one Latin-1
        // JPEG, and a Latin-1-named folder holding a picture.
        QImage photo(40, 30, QImage::Format_RGB32);
        photo.fill(Qt::darkMagenta);
        QByteArray jpeg;
        QBuffer buffer(&jpeg);
        buffer.open(QIODevice::WriteOnly);
        QVERIFY(photo.save(&buffer, "JPEG"));
        const QByteArray pictures = QFile::encodeName(f.c()) + "/Pictures/";
        QVERIFY(::mkdir((pictures + "Ferien \xe9t\xe9").constData(), 0755) == 0);
        for (const QByteArray &name : {QByteArray("a\\b.jpg"), QByteArray("Caf\xe9.jpg"), QByteArray("Ferien \xe9t\xe9/x.jpg")}) {
            const int fd = ::open((pictures + name).constData(), O_WRONLY | O_CREAT | O_EXCL, 0644);
            QVERIFY(fd >= 0);
            QCOMPARE(::write(fd, jpeg.constData(), size_t(jpeg.size())), ssize_t(jpeg.size()));
            ::close(fd);
        }
        app::Form1 *main = f.load();
        QCOMPARE(main->File1->ListCount(), 2);
        const QStringList shown{QStringLiteral("a\uF05Cb.jpg"), QStringLiteral("Caf\uF0E9.jpg")};
        for (int i = 0; i < 2; ++i) {
            main->File1->setListIndex(i);
            QVERIFY2(f.boxes->shown.isEmpty(), qPrintable(f.boxes->shown.value(0).text));
            QCOMPARE(main->Label9->Caption(), QStringLiteral("40 X 30"));
            QCOMPARE(main->Label7->Caption(), app::fileSizeText(jpeg.size()));
            QCOMPARE(main->Caption(), QStringLiteral("Lumadex Viewer 3.01  - C:\\Pictures\\%1 (%2/2)").arg(shown[i]).arg(i + 1));
        }
        // A double click on the folder opens it.
        main->Dir1->show();
        QListWidgetItem *folder = main->Dir1->findItems(QStringLiteral("Ferien \uF0E9t\uF0E9"), Qt::MatchExactly).value(0);
        QVERIFY(folder);
        QTest::mouseDClick(main->Dir1->viewport(), Qt::LeftButton, {}, main->Dir1->visualItemRect(folder).center());
        QCOMPARE(main->Dir1->Path(), QStringLiteral("C:\\Pictures\\Ferien \uF0E9t\uF0E9"));
        QCOMPARE(main->File1->ListCount(), 1);
        main->File1->setListIndex(0);
        QVERIFY(f.boxes->shown.isEmpty());
        QCOMPARE(main->Label3->Caption(), QStringLiteral("C:\\Pictures\\Ferien \uF0E9t\uF0E9\\x.jpg"));
    }

    void aFileInADriveRootHasOneBackslash()
    {
        f.picture(QStringLiteral("a.bmp"), {8, 8});
        app::Form1 *main = f.load();
        main->Dir1->setPath(QStringLiteral("C:\\"));
        main->File1->setListIndex(0);
        QCOMPARE(main->Label3->Caption(), QStringLiteral("C:\\a.bmp"));
    }

    void anUnreadableFileGivesTheMessageAndTheFirstFilter()
    {
        testsupport::writeFile(f.c() + QStringLiteral("/Pictures/letter.jpg"), "Dear reader, this is text.");
        app::Form1 *main = f.load();
        main->Combo1->setText(QStringLiteral("*.jpg"));
        main->File1->setListIndex(0);
        QCOMPARE(f.boxes->shown.size(), 1);
        QCOMPARE(f.boxes->shown.first().text,
                 QStringLiteral("This File Type is not supported yet in this version or the file is corrupted or not accessible!"));
        QCOMPARE(f.boxes->shown.first().caption, QStringLiteral("Lumadex Viewer"));
        QCOMPARE(main->Combo1->Text(), QStringLiteral("All Readable Format"));
        QCOMPARE(main->Combo1->ListIndex(), 0);
    }

    void sizeTexts_data()
    {
        QTest::addColumn<qint64>("bytes");
        QTest::addColumn<QString>("text");
        QTest::newRow("300") << qint64(300) << "300bytes";
        QTest::newRow("512-rounds-to-even-0") << qint64(512) << "512bytes";
        QTest::newRow("513") << qint64(513) << "1KB";
        QTest::newRow("1536-rounds-to-even-2") << qint64(1536) << "2KB";
        QTest::newRow("2560-rounds-to-even-2") << qint64(2560) << "2KB";
        QTest::newRow("beyond-16-bits") << qint64(33553920) << "32768KB";
        QTest::newRow("four-gigabytes") << qint64(4294967296) << "4194304KB";
    }
    void sizeTexts()
    {
        QFETCH(qint64, bytes);
        QFETCH(QString, text);
        QCOMPARE(app::fileSizeText(bytes), text);
    }

    void otherTexts()
    {
        QCOMPARE(app::pictureSizeText(640, 480), QStringLiteral("640 X 480"));
        QCOMPARE(app::pictureSizeText(129.67f, 389), QStringLiteral("129.67 X 389"));
        QCOMPARE(app::pictureTitle(QStringLiteral("C:\\Photos\\beach.jpg"), 3, 17),
                 QStringLiteral("Lumadex Viewer 3.01  - C:\\Photos\\beach.jpg (3/17)"));
        QCOMPARE(app::pictureTitle(QStringLiteral("C:\\x.bmp"), 40000, 40001),
                 QStringLiteral("Lumadex Viewer 3.01  - C:\\x.bmp (40000/40001)"));
        const QLocale c(QLocale::English, QLocale::UnitedStates);
        QCOMPARE(app::fileDateText(QDateTime(QDate(2024, 3, 5), QTime(0, 0)), c), c.toString(QDate(2024, 3, 5), QLocale::ShortFormat));
        // The date and time shown have whole seconds: half a second past
        // midnight is midnight, one second past is not.
        QCOMPARE(app::fileDateText(QDateTime(QDate(2024, 3, 5), QTime(0, 0, 0, 500)), c), c.toString(QDate(2024, 3, 5), QLocale::ShortFormat));
        QVERIFY(app::fileDateText(QDateTime(QDate(2024, 3, 5), QTime(0, 0, 1)), c).endsWith(QStringLiteral("12:00:01 AM")));
        QVERIFY(app::fileDateText(QDateTime(QDate(2024, 3, 5), QTime(14, 7, 9)), c).endsWith(QStringLiteral("2:07:09 PM")));
    }
};

LUMADEX_TEST_CLASS(BrowserTest);
#include "BrowserTest.moc"
