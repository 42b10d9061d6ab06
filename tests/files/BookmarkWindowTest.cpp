#include "controls/DirListBox.h"
#include "controls/DriveListBox.h"
#include "controls/FileListBox.h"
#include "controls/ListBox.h"
#include "controls/MenuItem.h"
#include "files/BookmarkFile.h"
#include "files/Form9.h"
#include "tests/files/OpenFromMenu.h"
#include "tests/browser/MainWindowFixture.h"
#include "tests/support/ScriptedFolderChooser.h"
#include "tests/support/TestRunner.h"

#include <QAction>
#include <QGroupBox>
#include <QPushButton>
#include <QTest>

class BookmarkWindowTest : public QObject {
    Q_OBJECT
    MainWindowFixture f;
    testsupport::ScriptedFolderChooser *chooser = nullptr;
    QStringList linkCalls;

    QString bookmarkFile() const { return f.env->programDir() + QStringLiteral("/bookmark.ini"); }
    QByteArray fileBytes() const { return files::readBookmarkBytes(bookmarkFile()); }
    void folder(const QString &relative) { QVERIFY(QDir().mkpath(f.c() + QLatin1Char('/') + relative)); }

    files::Form9 &open() { return openFromMenu<files::Form9>(f.main->editbook); }

    // The window's unload, as the close box runs it.
    void close(files::Form9 &form)
    {
        form.close();
        QVERIFY(!files::Form9::loaded());
    }

    void doubleClick(files::Form9 &form, int index)
    {
        const QRect at = form.List1->visualItemRect(form.List1->item(index));
        QTest::mouseDClick(form.List1->viewport(), Qt::LeftButton, {}, at.center());
    }

    QStringList messages() const
    {
        QStringList texts;
        for (const auto &shown : f.boxes->shown)
            texts << shown.text;
        return texts;
    }

private slots:
    void init()
    {
        f.setUp();
        f.load();
        chooser = &testsupport::installScriptedFolderChooser();
        linkCalls.clear();
        files::bookmarkLinks() = {};
    }

    void cleanup()
    {
        files::bookmarkLinks() = {};
        files::testing::setBookmarkSaveFault(-1);
        f.tearDown();
    }

    void opensInNormalModeWithTheFileInItsOrder()
    {
        QVERIFY(testsupport::writeFile(bookmarkFile(), "C:\\Zeta\r\nC:\\Alpha\r\nC:\\Zeta\r\n"));
        files::Form9 &form = open();
        QVERIFY(form.isVisible());
        QCOMPARE(form.Caption(), QStringLiteral("Bookmark"));
        QCOMPARE(form.List1->texts(), (QStringList{"C:\\Zeta", "C:\\Alpha", "C:\\Zeta"}));
        QVERIFY(form.Frame1->isVisibleTo(&form));
        QVERIFY(form.Frame2->isVisibleTo(&form));
        for (QPushButton *hidden : {form.Command7, form.Command6, form.Command3})
            QVERIFY(!hidden->isVisibleTo(&form));
        QCOMPARE(form.Command7->text(), QStringLiteral("&Apply "));
    }

    void openingAndClosingRewritesTheSameBytes_data()
    {
        QTest::addColumn<bool>("exists");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("entries");
        QTest::newRow("a comma, an accent, an empty line, a duplicate")
            << true << QByteArray("C:\\Pics, old\r\nC:\\\xC3\xA9t\xC3\xA9\r\n\r\nC:\\Pics, old\r\n") << 4;
        QTest::newRow("an empty file") << true << QByteArray() << 0;
        QTest::newRow("no file: an empty one is written") << false << QByteArray() << 0;
    }

    void openingAndClosingRewritesTheSameBytes()
    {
        QFETCH(bool, exists);
        QFETCH(QByteArray, bytes);
        QFETCH(int, entries);
        if (exists)
            QVERIFY(testsupport::writeFile(bookmarkFile(), bytes));
        files::Form9 &form = open();
        QCOMPARE(form.List1->ListCount(), entries);
        if (entries > 0)
            QCOMPARE(form.List1->List(0), QStringLiteral("C:\\Pics, old"));
        close(form);
        QVERIFY(QFileInfo::exists(bookmarkFile()));
        QCOMPARE(fileBytes(), bytes);
    }

    void aLongFileShowsItsFirst101AndKeepsEveryLine()
    {
        QByteArray bytes;
        for (int i = 1; i <= 150; ++i)
            bytes += "C:\\Folder " + QByteArray::number(i) + "\r\n";
        QVERIFY(testsupport::writeFile(bookmarkFile(), bytes));
        files::Form9 &form = open();
        QCOMPARE(form.List1->ListCount(), 101);
        QCOMPARE(form.List1->List(100), QStringLiteral("C:\\Folder 101"));
        close(form);
        QCOMPARE(fileBytes(), bytes);

        // A bookmark added past the 101st is kept as well, before the lines
        // that were never shown.
        files::Form9 &again = open();
        QTest::mouseClick(again.Command1, Qt::LeftButton);
        close(again);
        const QList<QByteArray> lines = fileBytes().split('\n');
        QCOMPARE(lines.size(), 152); // 151 lines and the empty text after the last CR LF
        QCOMPARE(lines.at(101), QByteArray("C:\\Pictures\r"));
        QCOMPARE(lines.at(102), QByteArray("C:\\Folder 102\r"));
        QCOMPARE(lines.at(150), QByteArray("C:\\Folder 150\r"));
    }

    void currentPathIsAddedAsTheButtonGoesDown()
    {
        files::Form9 &form = open();
        QTest::mousePress(form.Command1, Qt::LeftButton);
        QCOMPARE(form.List1->texts(), QStringList{"C:\\Pictures"});
        QTest::mouseRelease(form.Command1, Qt::LeftButton);
        QTest::mouseClick(form.Command1, Qt::RightButton);
        QCOMPARE(form.List1->texts(), (QStringList{"C:\\Pictures", "C:\\Pictures"})); // duplicates allowed
        close(form);
        QCOMPARE(fileBytes(), QByteArray("C:\\Pictures\r\nC:\\Pictures\r\n"));
    }

    void browsedFoldersAreAppendedAndCancelAddsNothing()
    {
        files::Form9 &form = open();
        chooser->answers = {QStringLiteral("C:\\Pics, old"), QString()};
        QTest::mouseClick(form.Command5, Qt::LeftButton);
        QTest::mouseClick(form.Command5, Qt::LeftButton);
        QCOMPARE(form.List1->texts(), QStringList{"C:\\Pics, old"});
        QCOMPARE(chooser->calls.size(), 2);
        QCOMPARE(chooser->calls.first().title, QStringLiteral("Please select a folder."));
        QCOMPARE(chooser->calls.first().owner, &form);
        close(form);
        QCOMPARE(fileBytes(), QByteArray("C:\\Pics, old\r\n"));
        QCOMPARE(files::Form9::instance().List1->texts(), QStringList{"C:\\Pics, old"});
    }

    void aFolderWhosePathTheFileCannotHoldIsRefused()
    {
        folder(QStringLiteral("two\nlines"));
        QVERIFY(f.main->Dir1->setPath(QStringLiteral("C:\\two\nlines")));
        files::Form9 &form = open();
        QTest::mouseClick(form.Command1, Qt::LeftButton);
        chooser->answers = {QStringLiteral("C:\\a") + QChar(0xDC80)};
        QTest::mouseClick(form.Command5, Qt::LeftButton);
        QCOMPARE(form.List1->ListCount(), 0);
        QCOMPARE(f.boxes->shown.size(), 2);
        QVERIFY(f.boxes->shown.first().text.startsWith(QStringLiteral("This folder cannot be bookmarked")));
        close(form);
        QCOMPARE(fileBytes(), QByteArray());
    }

    void removingSelectsTheEntryBefore()
    {
        QVERIFY(testsupport::writeFile(bookmarkFile(), "C:\\1\r\nC:\\2\r\nC:\\3\r\nC:\\4\r\n"));
        files::Form9 &form = open();
        QTest::mouseClick(form.Command2, Qt::LeftButton); // nothing selected: nothing happens
        QCOMPARE(form.List1->ListCount(), 4);
        form.List1->setListIndex(2);
        QTest::mouseClick(form.Command2, Qt::LeftButton);
        QCOMPARE(form.List1->texts(), (QStringList{"C:\\1", "C:\\2", "C:\\4"}));
        QCOMPARE(form.List1->ListIndex(), 1);
        form.List1->setListIndex(0);
        QTest::mouseClick(form.Command2, Qt::LeftButton);
        QCOMPARE(form.List1->texts(), (QStringList{"C:\\2", "C:\\4"}));
        QCOMPARE(form.List1->ListIndex(), -1);
        QVERIFY(f.boxes->shown.isEmpty());
        close(form);
        QCOMPARE(fileBytes(), QByteArray("C:\\2\r\nC:\\4\r\n"));
    }

    void loadGoesToTheFolderAndClosesTheWindow()
    {
        folder(QStringLiteral("Photos/2024"));
        f.env->setDrives(QStringLiteral("C:=%1;D:=%2").arg(f.c(), f.env->root() + QStringLiteral("/home")));
        QDir().mkpath(f.env->root() + QStringLiteral("/home/Trip"));
        QVERIFY(testsupport::writeFile(bookmarkFile(), "D:\\Trip\r\nc:\\photos\\2024\r\n"));
        f.main->Drive1->Refresh();
        files::Form9 &form = open();
        QTest::mouseClick(form.Command4, Qt::LeftButton);
        QCOMPARE(messages(), QStringList{"Please select a bookmark first"});
        QVERIFY(files::Form9::loaded());

        form.List1->setListIndex(0);
        QTest::mouseClick(form.Command4, Qt::LeftButton);
        QVERIFY(!files::Form9::loaded());
        QCOMPARE(f.main->Dir1->Path(), QStringLiteral("D:\\Trip"));
        QCOMPARE(f.main->Drive1->Drive(), QStringLiteral("d:"));
        QCOMPARE(f.main->Caption(), QStringLiteral("Lumadex Viewer 3.01  - D:\\Trip"));

        // Double-clicking in normal mode loads too; the path as the disk spells it.
        files::Form9 &again = open();
        doubleClick(again, 1);
        QVERIFY(!files::Form9::loaded());
        QCOMPARE(f.main->Dir1->Path(), QStringLiteral("C:\\Photos\\2024"));
        QCOMPARE(f.main->Drive1->Drive(), QStringLiteral("c:"));
        QCOMPARE(fileBytes(), QByteArray("D:\\Trip\r\nc:\\photos\\2024\r\n"));
    }

    void aDeletedFolderIsReportedAndTheMainWindowStays()
    {
        folder(QStringLiteral("Gone"));
        QVERIFY(testsupport::writeFile(bookmarkFile(), "C:\\Gone\r\n"));
        files::Form9 &form = open();
        QDir(f.c() + QStringLiteral("/Gone")).removeRecursively();
        form.List1->setListIndex(0);
        QTest::mouseClick(form.Command4, Qt::LeftButton);
        QCOMPARE(messages(), QStringList{"Path not found"});
        QCOMPARE(f.boxes->shown.first().shownCaption(), QStringLiteral("Lumadex Viewer 3.01"));
        QVERIFY(!files::Form9::loaded());
        QCOMPARE(f.main->Dir1->Path(), QStringLiteral("C:\\Pictures"));
        QCOMPARE(fileBytes(), QByteArray("C:\\Gone\r\n")); // nothing checks that a bookmark exists
    }

    void aWindows1252FileWithAnAccentLoadsItsFolder()
    {
        folder(QStringLiteral("Photos/\u00E9t\u00E9"));
        QVERIFY(testsupport::writeFile(bookmarkFile(), "C:\\Photos\\\xE9t\xE9\r\n"));
        files::Form9 &form = open();
        QCOMPARE(form.List1->List(0), QStringLiteral("C:\\Photos\\\u00E9t\u00E9"));
        doubleClick(form, 0);
        QCOMPARE(f.main->Dir1->Path(), QStringLiteral("C:\\Photos\\\u00E9t\u00E9"));
        QVERIFY(f.boxes->shown.isEmpty());
    }

    void theDestinationPickerAppliesTheFolderAndRunsTheOperation()
    {
        folder(QStringLiteral("Target"));
        QVERIFY(testsupport::writeFile(bookmarkFile(), "C:\\Target\r\n"));
        files::bookmarkLinks().setOperationDestination = [this](const QString &folder) {
            linkCalls << QStringLiteral("destination ") + folder;
            return true;
        };
        files::bookmarkLinks().runOperation = [this] {
            linkCalls << QStringLiteral("OK, bookmarks %1").arg(files::Form9::loaded()->isVisible() ? "shown" : "hidden");
        };
        f.main->setEnabled(false); // a file operation dialog holds the main window
        files::Form9 &form = open();
        QCOMPARE(form.Caption(), QStringLiteral("Double click the destination path"));
        QCOMPARE(form.WidthTwips(), 3930.0);
        QCOMPARE(form.HeightTwips(), 5235.0);
        QVERIFY(!form.Frame1->isVisibleTo(&form));
        QVERIFY(!form.Frame2->isVisibleTo(&form));
        QVERIFY(form.List1->isVisibleTo(&form));
        QVERIFY(form.centralWidget()->rect().contains(form.List1->geometry()));

        doubleClick(form, 0);
        QCOMPARE(linkCalls, (QStringList{"destination C:\\Target", "OK, bookmarks hidden"}));
        QVERIFY(!files::Form9::loaded());
        QCOMPARE(fileBytes(), QByteArray("C:\\Target\r\n"));
    }

    void aDisabledFolderListAloneAlsoMakesAPickerAndARefusedPathKeepsItOpen()
    {
        QVERIFY(testsupport::writeFile(bookmarkFile(), "C:\\Nowhere\r\n"));
        files::bookmarkLinks().setOperationDestination = [](const QString &) { return false; };
        files::bookmarkLinks().runOperation = [this] { linkCalls << QStringLiteral("OK"); };
        f.main->Dir1->setEnabled(false);
        files::Form9 &form = open();
        QCOMPARE(form.Caption(), QStringLiteral("Double click the destination path"));
        doubleClick(form, 0);
        QCOMPARE(messages(), QStringList{"Path not found"});
        QVERIFY(linkCalls.isEmpty());
        QVERIFY(files::Form9::loaded());
        QVERIFY(form.isVisible());
    }

    void theSlideShowStartMovesTheMainWindowAndStartsTheShow()
    {
        folder(QStringLiteral("Show"));
        f.picture(QStringLiteral("Show/a.bmp"), {8, 8});
        QVERIFY(testsupport::writeFile(bookmarkFile(), "C:\\Missing\r\nC:\\Show\r\n"));
        files::bookmarkLinks().startFullScreenShow = [this] {
            linkCalls << QStringLiteral("show in ") + f.main->Dir1->Path() + QStringLiteral(" of ")
                             + QString::number(f.main->File1->ListCount());
        };
        // What the tray's "Start SlideShow" does with the window.
        files::Form9 &form = files::Form9::instance();
        form.Frame2->hide();
        form.setCaption(files::SlideShowStartCaption);
        form.show();

        doubleClick(form, 0);
        QCOMPARE(messages(), QStringList{"Path not found. Please choose another path"});
        QVERIFY(files::Form9::loaded());
        QCOMPARE(f.main->Dir1->Path(), QStringLiteral("C:\\Pictures"));

        doubleClick(form, 1);
        QCOMPARE(linkCalls, QStringList{"show in C:\\Show of 1"});
        QCOMPARE(f.main->Drive1->Drive(), QStringLiteral("c:"));
        QVERIFY(!files::Form9::loaded());
    }

    void everyWayOfClosingSaves()
    {
        files::Form9 &form = open();
        QTest::mouseClick(form.Command1, Qt::LeftButton);
        f.main->close(); // unloads every window
        QCOMPARE(fileBytes(), QByteArray("C:\\Pictures\r\n"));
    }

    void aFailedSaveLeavesTheOldFile()
    {
        QVERIFY(testsupport::writeFile(bookmarkFile(), "C:\\Old\r\n"));
        files::Form9 &form = open();
        QTest::mouseClick(form.Command1, Qt::LeftButton);
        files::testing::setBookmarkSaveFault(5);
        close(form);
        QCOMPARE(fileBytes(), QByteArray("C:\\Old\r\n"));
        QVERIFY(f.boxes->shown.isEmpty());
    }
};

LUMADEX_TEST_CLASS(BookmarkWindowTest);
#include "BookmarkWindowTest.moc"
