#include "ShowFixture.h"

#include "controls/DirListBox.h"
#include "controls/ListBox.h"
#include "controls/MenuItem.h"
#include "files/Form17.h"
#include "files/Form9.h"
#include "tests/app/FakeTray.h"
#include "tests/support/TestRunner.h"

#include <QGroupBox>
#include <QTest>

// Where the shows meet the other windows: the tray's start in a bookmarked
// folder and the file operations of the full-screen panel.
class MeetingPointsTest : public QObject {
    Q_OBJECT
    ShowFixture f;
    FakeTray *tray = nullptr;

    // The tray's "Start SlideShow" with one bookmark, `folder`, double-clicked.
    void startFromTheTray(const QString &folder)
    {
        QVERIFY(testsupport::writeFile(f.env->programDir() + QStringLiteral("/bookmark.ini"),
                                       folder.toUtf8() + "\r\n"));
        f.main->startslide->action()->trigger();
        files::Form9 *bookmarks = files::Form9::loaded();
        QVERIFY(bookmarks);
        QVERIFY(bookmarks->isVisible());
        QCOMPARE(bookmarks->Caption(), QStringLiteral("Double click the path from where the slideshow runs"));
        QVERIFY(bookmarks->Frame2->isHidden());
        bookmarks->List1->setListIndex(0);
        bookmarks->List1_DblClick();
    }

private slots:
    void init()
    {
        f.setUp();
        auto fake = std::make_unique<FakeTray>();
        tray = fake.get();
        platform::setTray(std::move(fake));
    }
    void cleanup() { f.tearDown(); }

    void theTrayStartsTheShowAndTheWindowStaysHidden()
    {
        f.pictures(3);
        for (const char *name : {"b.bmp", "a.bmp"})
            f.picture(QStringLiteral("Trip/") + QLatin1String(name), {20, 10}, Qt::yellow);
        f.load();
        f.main->File1->setListIndex(2); // a new folder starts from its first picture all the same
        f.main->systray_Click();
        QVERIFY(f.main->isHidden());
        startFromTheTray(QStringLiteral("C:\\Trip"));
        QVERIFY(!files::Form9::loaded());
        QVERIFY(ShowFixture::show());
        QVERIFY(f.main->Timer2->Enabled());
        QVERIFY(!f.main->isEnabled());
        QVERIFY(f.main->isHidden());
        f.tick();
        QCOMPARE(ShowFixture::shownPath(), QStringLiteral("C:\\Trip\\a.bmp"));
        f.tick(2);
        QVERIFY(!ShowFixture::show());
        QVERIFY(f.main->isEnabled());
        QVERIFY(f.main->isHidden());
        QVERIFY(tray->isIconShown());
        QVERIFY(ShowFixture::sameImage(f.main->Image1->Picture(), f.main->Picture3->Picture()));
        QCOMPARE(f.main->Caption(), QStringLiteral("Lumadex Viewer 3.01  - C:\\Trip"));
    }

    void theTrayStartOnAnEmptyFolder()
    {
        QVERIFY(QDir().mkpath(f.c() + QStringLiteral("/Empty")));
        f.load();
        startFromTheTray(QStringLiteral("C:\\Empty"));
        QCOMPARE(f.boxes->shown.size(), 1);
        QCOMPARE(f.boxes->shown.first().text, QStringLiteral("No image file is existed in this folder"));
        QVERIFY(!ShowFixture::show());
        QVERIFY(f.main->isEnabled());
        QCOMPARE(f.main->Dir1->Path(), QStringLiteral("C:\\Empty"));
    }

    void copyFromAPausedShowCopiesThePictureOnScreen()
    {
        QVERIFY(QDir().mkpath(f.c() + QStringLiteral("/Kept")));
        settings::Write(settings::CopyPath, QStringLiteral("C:\\Kept"));
        f.pictures(3);
        f.start();
        f.tick(2);
        ShowFixture::show()->Image1_Click();
        ShowFixture::panel()->copy1->action()->trigger();
        QCOMPARE(settings::Read(settings::Action), files::action::Copy);
        files::Form17 *dialog = files::Form17::loaded();
        QVERIFY(dialog);
        QVERIFY(dialog->isVisible());
        QCOMPARE(dialog->Label1->Caption(), ShowFixture::path(2));
        QCOMPARE(dialog->Label4->Caption(), QString()); // no refresh of the main list afterwards
        dialog->Command1_Click();
        QVERIFY(!files::Form17::loaded());
        QFile copy(f.c() + QStringLiteral("/Kept/") + ShowFixture::name(2));
        QFile original(f.file(ShowFixture::name(2)));
        QVERIFY(copy.open(QIODevice::ReadOnly) && original.open(QIODevice::ReadOnly));
        QCOMPARE(copy.readAll(), original.readAll());
        // The show and the main window's list are as they were.
        QVERIFY(ShowFixture::show());
        QVERIFY(!f.main->isEnabled());
        QCOMPARE(f.main->Dir1->Path(), QStringLiteral("C:\\Pictures"));
        QCOMPARE(f.main->File1->ListCount(), 3);
        QVERIFY(f.boxes->shown.isEmpty());
        ShowFixture::panel()->resume1_Click();
        f.tick();
        QCOMPARE(ShowFixture::shownPath(), ShowFixture::path(3));
    }

    void aFileItemBeforeThePictureSaysSo_data()
    {
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("action");
        QTest::newRow("Copy") << QStringLiteral("copy1") << files::action::Copy;
        QTest::newRow("Move") << QStringLiteral("move1") << files::action::Move;
        QTest::newRow("Delete") << QStringLiteral("delete1") << files::action::Delete;
        QTest::newRow("Rename") << QStringLiteral("rename1") << files::action::Rename;
        QTest::newRow("Open") << QStringLiteral("open1") << files::action::Open;
    }
    void aFileItemBeforeThePictureSaysSo()
    {
        QFETCH(QString, item);
        QFETCH(QString, action);
        f.pictures(2);
        f.start();
        ShowFixture::show()->Picture1_Click();
        ShowFixture::panel()->findChild<controls::MenuItem *>(item)->action()->trigger();
        QCOMPARE(settings::Read(settings::Action), action);
        QCOMPARE(f.boxes->shown.size(), 1);
        QCOMPARE(f.boxes->shown.first().text, QStringLiteral("No Image Displayed"));
        QCOMPARE(f.boxes->shown.first().shownCaption(), QStringLiteral("Lumadex Viewer 3.01"));
        // Loaded, with the operation chosen, but not shown.
        files::Form17 *dialog = files::Form17::loaded();
        QVERIFY(dialog);
        QVERIFY(!dialog->isVisible());
        QCOMPARE(dialog->Label1->Caption(), QString());
    }
};

LUMADEX_TEST_CLASS(MeetingPointsTest);

#include "MeetingPointsTest.moc"
