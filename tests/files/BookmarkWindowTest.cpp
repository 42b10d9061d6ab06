#include "controls/DirListBox.h"
#include "controls/DriveListBox.h"
#include "controls/FileListBox.h"
#include "controls/ListBox.h"
#include "controls/MenuItem.h"
#include "controls/Timer.h"
#include "files/BookmarkFile.h"
#include "files/Form9.h"
#include "platform/CodePage.h"
#include "platform/HostFiles.h"
#include "slideshow/Form6.h"
#include "slideshow/Form7.h"
#include "tests/browser/MainWindowFixture.h"
#include "tests/files/OpenFromMenu.h"
#include "tests/support/ScriptedFolderChooser.h"
#include "tests/support/TestRunner.h"

#include <QGroupBox>
#include <QPushButton>
#include <QTest>

class BookmarkWindowTest : public QObject {
    Q_OBJECT
    MainWindowFixture f;
    testsupport::ScriptedFolderChooser *chooser = nullptr;

    QString bookmarkFile() const { return f.env->programDir() + QStringLiteral("/bookmark.ini"); }
    QByteArray fileBytes() const { return files::readBookmarkBytes(bookmarkFile()); }
    void writeBookmarks(const QByteArray &bytes) { QVERIFY(testsupport::writeFile(bookmarkFile(), bytes)); }
    void folder(const QString &relative) { QVERIFY(QDir().mkpath(f.c() + QLatin1Char('/') + relative)); }
    files::Form9 &open() { return openFromMenu<files::Form9>(f.main->editbook); }

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
    }

    void cleanup()
    {
        files::testing::setBookmarkSaveFault(-1);
        f.tearDown();
    }

    void openingAndClosingRewritesTheSameBytes_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("entries");
        QTest::newRow("a comma, an accent, an empty line, a duplicate")
            << QByteArray("C:\\Pics, old\r\nC:\\\xC3\xA9t\xC3\xA9\r\n\r\nC:\\Pics, old\r\n")
            << QStringList{"C:\\Pics, old", QStringLiteral("C:\\\u00E9t\u00E9"), "", "C:\\Pics, old"};
        QTest::newRow("no file: an empty one is written") << QByteArray() << QStringList{};
    }

    void openingAndClosingRewritesTheSameBytes()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, entries);
        if (!bytes.isEmpty())
            writeBookmarks(bytes);
        files::Form9 &form = open();
        QCOMPARE(form.Caption(), QStringLiteral("Bookmark"));
        QVERIFY(form.Frame1->isVisibleTo(&form) && form.Frame2->isVisibleTo(&form));
        for (QPushButton *hidden : {form.Command7, form.Command6, form.Command3})
            QVERIFY(!hidden->isVisibleTo(&form));
        QCOMPARE(form.List1->texts(), entries);
        form.close();
        QVERIFY(!files::Form9::loaded());
        QVERIFY(QFileInfo::exists(bookmarkFile()));
        QCOMPARE(fileBytes(), bytes);
    }

    void aLongFileShowsItsFirst101AndKeepsEveryLine()
    {
        QByteArray bytes;
        for (int i = 1; i <= 150; ++i)
            bytes += "C:\\Folder " + QByteArray::number(i) + "\r\n";
        writeBookmarks(bytes);
        files::Form9 &form = open();
        QCOMPARE(form.List1->ListCount(), 101);
        QCOMPARE(form.List1->List(100), QStringLiteral("C:\\Folder 101"));
        // The list is full: a 102nd would be saved where no window shows it.
        QTest::mouseClick(form.Command1, Qt::LeftButton);
        chooser->answers = {QStringLiteral("C:\\Browsed")};
        QTest::mouseClick(form.Command5, Qt::LeftButton);
        QCOMPARE(form.List1->ListCount(), 101);
        QCOMPARE(f.boxes->shown.size(), 2);
        QVERIFY(f.boxes->shown.first().text.startsWith(QStringLiteral("The list of bookmarks is full")));
        form.close();
        QCOMPARE(fileBytes(), bytes);

        // With room made, the one added is the 101st, shown the next time.
        files::Form9 &again = open();
        again.List1->setListIndex(0);
        QTest::mouseClick(again.Command2, Qt::LeftButton);
        QTest::mouseClick(again.Command1, Qt::LeftButton);
        again.close();
        QCOMPARE(open().List1->List(100), QStringLiteral("C:\\Pictures"));
        files::Form9::loaded()->close();
        const QList<QByteArray> lines = fileBytes().split('\n');
        QCOMPARE(lines.size(), 151); // 150 lines and the empty text after the last CR LF
        QCOMPARE(lines.at(0), QByteArray("C:\\Folder 2\r"));
        QCOMPARE(lines.at(100), QByteArray("C:\\Pictures\r"));
        QCOMPARE(lines.at(149), QByteArray("C:\\Folder 150\r"));
    }

    // A Windows-1252 file comes back in one code page, every letter kept,
    // and a line of megabytes is neither shown nor changed.
    void aSavedFileHasOneCodePageAndKeepsLongLines()
    {
        const QByteArray huge(5 * 1024 * 1024, '\xE9');
        QByteArray bytes = huge + "\r\n";
        for (int i = 1; i <= 102; ++i)
            bytes += "C:\\\xE9t\xE9 " + QByteArray::number(i) + "\r\n";
        writeBookmarks(bytes);
        files::Form9 &form = open();
        QCOMPARE(form.List1->ListCount(), 101);
        QCOMPARE(form.List1->List(0), QStringLiteral("C:\\\u00E9t\u00E9 1"));
        const QStringList entries = form.List1->texts();
        form.close();
        // The shown paths, then the lines not shown in the file's order.
        const QByteArray saved = fileBytes();
        const QByteArray notShown = huge + "\r\nC:\\\xC3\xA9t\xC3\xA9 102\r\n";
        QVERIFY(saved.endsWith(notShown));
        const QByteArray shown = saved.chopped(notShown.size());
        QVERIFY(platform::decode(platform::CodePage::Utf8, shown));
        QCOMPARE(shown.count("\r\n"), 101);
        QCOMPARE(open().List1->texts(), entries);
    }

    void addingTheCurrentPathAndABrowsedOne()
    {
        files::Form9 &form = open();
        // "&Current path" acts as the button goes down, with any button.
        QTest::mousePress(form.Command1, Qt::LeftButton);
        QCOMPARE(form.List1->texts(), QStringList{"C:\\Pictures"});
        QTest::mouseRelease(form.Command1, Qt::LeftButton);
        QTest::mouseClick(form.Command1, Qt::RightButton);
        chooser->answers = {QStringLiteral("C:\\Pics, old"), QString()}; // the second is a cancel
        QTest::mouseClick(form.Command5, Qt::LeftButton);
        QTest::mouseClick(form.Command5, Qt::LeftButton);
        QCOMPARE(form.List1->texts(), (QStringList{"C:\\Pictures", "C:\\Pictures", "C:\\Pics, old"}));
        QCOMPARE(chooser->calls.size(), 2);
        QCOMPARE(chooser->calls.first().title, QStringLiteral("Please select a folder."));
        QCOMPARE(chooser->calls.first().owner, &form);
        f.main->close(); // closing the main window unloads and so saves this one
        QCOMPARE(fileBytes(), QByteArray("C:\\Pictures\r\nC:\\Pictures\r\nC:\\Pics, old\r\n"));
    }

    // A host name with a line break reaches the list under its Windows name
    // (the break as a private-use character), which one line holds; a path
    // that no code page holds (a lone surrogate) is refused.
    void onlyPathsTheFileCanHoldAreBookmarked()
    {
        folder(QStringLiteral("two\nlines"));
        const QString mapped = QStringLiteral("C:\\two") + QChar(0xF00A) + QStringLiteral("lines");
        QVERIFY(f.main->Dir1->setPath(mapped));
        files::Form9 &form = open();
        QTest::mouseClick(form.Command1, Qt::LeftButton);
        QCOMPARE(form.List1->texts(), QStringList{mapped});
        chooser->answers = {QStringLiteral("C:\\a") + QChar(0xDC80)};
        QTest::mouseClick(form.Command5, Qt::LeftButton);
        QCOMPARE(form.List1->ListCount(), 1);
        QCOMPARE(f.boxes->shown.size(), 1);
        QVERIFY(f.boxes->shown.first().text.startsWith(QStringLiteral("This folder cannot be bookmarked")));
        form.close();
        QCOMPARE(files::parseBookmarkFile(fileBytes(), platform::ansiCodePage()).entries, QStringList{mapped});
    }

    void removingSelectsTheEntryBefore()
    {
        writeBookmarks("C:\\1\r\nC:\\2\r\nC:\\3\r\nC:\\4\r\n");
        files::Form9 &form = open();
        QTest::mouseClick(form.Command2, Qt::LeftButton); // nothing selected: nothing happens
        form.List1->setListIndex(2);
        QTest::mouseClick(form.Command2, Qt::LeftButton);
        QCOMPARE(form.List1->ListIndex(), 1);
        form.List1->setListIndex(0);
        QTest::mouseClick(form.Command2, Qt::LeftButton);
        QCOMPARE(form.List1->ListIndex(), -1);
        QVERIFY(f.boxes->shown.isEmpty());
        form.close();
        QCOMPARE(fileBytes(), QByteArray("C:\\2\r\nC:\\4\r\n"));
    }

    void loadAndTheNormalDoubleClickGoToTheFolderAndItsDrive()
    {
        const QString d = f.env->root() + QStringLiteral("/home");
        QDir().mkpath(d + QStringLiteral("/Trip"));
        folder(QStringLiteral("Photos/\u00E9t\u00E9"));
        f.env->setDrives(QStringLiteral("C:=%1;D:=%2").arg(f.c(), d));
        f.main->Drive1->Refresh();
        // The second line was written in Windows-1252 on Windows.
        writeBookmarks("D:\\Trip\r\nc:\\photos\\\xE9t\xE9\r\n");
        files::Form9 &form = open();
        QTest::mouseClick(form.Command4, Qt::LeftButton);
        QCOMPARE(messages(), QStringList{"Please select a bookmark first"});
        form.List1->setListIndex(0);
        QTest::mouseClick(form.Command4, Qt::LeftButton);
        QVERIFY(!files::Form9::loaded());
        QCOMPARE(f.main->Caption(), QStringLiteral("Lumadex Viewer 3.01  - D:\\Trip"));
        QCOMPARE(f.main->Drive1->Drive(), QStringLiteral("d:"));

        doubleClick(open(), 1);
        QVERIFY(!files::Form9::loaded());
        QCOMPARE(f.main->Dir1->Path(), QStringLiteral("C:\\Photos\\\u00E9t\u00E9")); // as the disk spells it
        QCOMPARE(f.main->Drive1->Drive(), QStringLiteral("c:"));
        QCOMPARE(f.boxes->shown.size(), 1);
    }

    void aDeletedFolderIsReportedAndTheMainWindowStays()
    {
        folder(QStringLiteral("Gone"));
        writeBookmarks("C:\\Gone\r\n");
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

    void aDisabledFolderListAloneAlsoMakesAPickerAndARefusedPathKeepsItOpen()
    {
        writeBookmarks("C:\\Nowhere\r\n");
        f.main->Dir1->setEnabled(false); // no operation dialog waits behind the picker

        files::Form9 &form = open();
        QCOMPARE(form.Caption(), QStringLiteral("Double click the destination path"));
        doubleClick(form, 0);
        QCOMPARE(messages(), QStringList{"Path not found"});
        QVERIFY(form.isVisible());
    }

    void theSlideShowStartMovesTheMainWindowAndStartsTheShow()
    {
        folder(QStringLiteral("Show"));
        f.picture(QStringLiteral("Show/a.bmp"), {8, 8});
        writeBookmarks("C:\\Missing\r\nC:\\Show\r\n");
        f.main->startslide->action()->trigger(); // the tray menu's "Start SlideShow"
        files::Form9 &form = *files::Form9::loaded();
        QCOMPARE(form.Caption(), files::SlideShowStartCaption);
        QVERIFY(form.Frame2->isHidden());
        QVERIFY(form.isVisible());

        doubleClick(form, 0);
        QCOMPARE(messages(), QStringList{"Path not found. Please choose another path"});
        QVERIFY(files::Form9::loaded());
        QCOMPARE(f.main->Dir1->Path(), QStringLiteral("C:\\Pictures"));

        doubleClick(form, 1);
        QVERIFY(!files::Form9::loaded());
        // The real full-screen show, in the bookmarked folder.
        QVERIFY(slideshow::Form6::loaded());
        QVERIFY(f.main->Timer2->Enabled());
        QCOMPARE(f.main->Timer2->Interval(), f.main->cuspeed);
        QVERIFY(!f.main->isEnabled());
        QCOMPARE(f.main->Dir1->Path(), QStringLiteral("C:\\Show"));
        QCOMPARE(f.main->File1->ListCount(), 1);
        slideshow::cancelFullScreenShow();
        QVERIFY(!slideshow::Form6::loaded());
        QVERIFY(f.main->isEnabled());
        QVERIFY(!f.main->Timer2->Enabled());
    }

    // A save that fails says why, once a close, and keeps the window with
    // its list, also when the main window closes; the next close saves. A
    // list as it was loaded has nothing to lose and closes as ever.
    void aFailedSaveIsReportedAndKeepsTheList_data()
    {
        QTest::addColumn<bool>("folderInTheWay");
        QTest::newRow("disk full") << false;
        QTest::newRow("a folder named bookmark.ini") << true;
    }

    void aFailedSaveIsReportedAndKeepsTheList()
    {
        QFETCH(bool, folderInTheWay);
        const auto fail = [&] {
            if (folderInTheWay)
                QVERIFY(QDir().mkpath(bookmarkFile()));
            else
                files::testing::setBookmarkSaveFault(5);
        };
        const auto mend = [&] {
            if (folderInTheWay)
                QVERIFY(QDir(bookmarkFile()).removeRecursively());
            else
                files::testing::setBookmarkSaveFault(-1);
        };
        if (!folderInTheWay)
            writeBookmarks("C:\\Old\r\n");
        const QByteArray old = fileBytes();
        fail();
        open().close();
        QVERIFY(!files::Form9::loaded());
        QVERIFY(f.boxes->shown.isEmpty());

        files::Form9 &form = open();
        QTest::mouseClick(form.Command1, Qt::LeftButton);
        const QStringList list = form.List1->texts();
        form.close();
        QCOMPARE(f.boxes->shown.size(), 1);
        const QString reason = platform::host::errorText(folderInTheWay ? EISDIR : ENOSPC);
        QVERIFY2(f.boxes->shown.first().text.contains(reason), qPrintable(f.boxes->shown.first().text));
        QVERIFY(f.boxes->shown.first().text.contains(QStringLiteral("bookmark.ini")));
        QCOMPARE(files::Form9::loaded(), &form);
        QVERIFY(form.isVisible());
        QCOMPARE(form.List1->texts(), list);
        QCOMPARE(QFileInfo(bookmarkFile()).isDir(), folderInTheWay);
        QCOMPARE(fileBytes(), old);
        QCOMPARE(QDir(f.env->programDir()).entryList(QDir::Files | QDir::Hidden).size(), folderInTheWay ? 0 : 1);

        // Closing the main window asks again, and the program stays.
        f.main->close();
        QCOMPARE(f.boxes->shown.size(), 2);
        QVERIFY(files::Form9::loaded() && !f.main->isUnloaded());

        mend();
        form.close();
        QVERIFY(!files::Form9::loaded());
        QCOMPARE(f.boxes->shown.size(), 2);
        QCOMPARE(files::parseBookmarkFile(fileBytes(), platform::ansiCodePage()).entries, list);
    }
};

LUMADEX_TEST_CLASS(BookmarkWindowTest);
#include "BookmarkWindowTest.moc"
