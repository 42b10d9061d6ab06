#include "controls/ComboBox.h"
#include "controls/DirListBox.h"
#include "controls/DriveListBox.h"
#include "controls/FileListBox.h"
#include "controls/FolderReader.h"
#include "platform/Drives.h"
#include "tests/support/TestEnvironment.h"

#include <QApplication>
#include <QDir>
#include <QKeyEvent>
#include <QFile>
#include <QSignalSpy>
#include <QTest>

#include <memory>

#include <unistd.h>

using namespace controls;

namespace {

QStringList entries(const FileListBox &list)
{
    QStringList names;
    for (int i = 0; i < list.ListCount(); ++i)
        names << list.List(i);
    return names;
}

QStringList shown(const DirListBox &list)
{
    QStringList texts;
    for (int row = 0; row < list.count(); ++row)
        texts << list.item(row)->text();
    return texts;
}

void showAndFocus(QWidget &w)
{
    w.resize(200, 300);
    w.show();
    w.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    w.setFocus();
}

} // namespace

class ListControlsTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void patternMatching_data();
    void patternMatching();

    void fileListShowsMatchingFilesSortedWithoutCase();
    void fileListClickOnEverySelectionChange();
    void fileListMouse();
    void fileListOpensFolderWithoutRegardToCase();
    void fileListRefreshFollowsTheDisk();

    void dirListPathTexts();
    void dirListShowsOpenAndClosedFolders();
    void dirListChangeOnlyWhenThePathChanges();
    void dirListOpensByDoubleClickAndEnter();
    void dirListRefusesWhatCannotBeOpened();
    void dirListDriveAloneOpensItsCurrentFolder();

    void driveListOffersTheTable();
    void comboSelectsByTextWithoutCase();

private:
    void makeFile(const QString &relative);
    std::unique_ptr<testsupport::HermeticEnvironment> m_env;
};

void ListControlsTest::init()
{
    m_env = std::make_unique<testsupport::HermeticEnvironment>();
    QVERIFY(m_env->isValid());
    platform::CurrentDirectory::resetFromHost();
}

void ListControlsTest::cleanup()
{
    QDir::setCurrent(QDir::tempPath()); // leave the temporary drive before it goes
    m_env.reset();
}

void ListControlsTest::makeFile(const QString &relative)
{
    QVERIFY(testsupport::writeFile(m_env->driveC() + QLatin1Char('/') + relative, "x"));
}

void ListControlsTest::patternMatching_data()
{
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("matches");
    QTest::newRow("extension, other case") << "*.jpg" << "a.JPG" << true;
    QTest::newRow("longer extension") << "*.jpg" << "c.jpeg" << false;
    QTest::newRow("extension as a name") << "*.jpg" << "jpg" << false;
    QTest::newRow("second of a list") << "*.bmp;*.gif" << "x.GIF" << true;
    QTest::newRow("blanks around parts") << " *.bmp ; *.gif " << "x.gif" << true;
    QTest::newRow("star dot star, no dot") << "*.*" << "README" << true;
    QTest::newRow("empty pattern") << "" << "anything" << true;
    QTest::newRow("question mark") << "a?c.bmp" << "aXc.bmp" << true;
    QTest::newRow("question mark needs a character") << "a?c.bmp" << "ac.bmp" << false;
    QTest::newRow("star backtracks") << "*ab*ab" << "xabyabab" << true;
    QTest::newRow("exact name") << "photo.bmp" << "PHOTO.BMP" << true;
    QTest::newRow("non-ASCII case") << "*.jpg" << QString::fromUtf8("Ärger.JPG") << true;
}

void ListControlsTest::patternMatching()
{
    QFETCH(QString, pattern);
    QFETCH(QString, name);
    QFETCH(bool, matches);
    QCOMPARE(FilePattern(pattern).matches(name), matches);
}

void ListControlsTest::fileListShowsMatchingFilesSortedWithoutCase()
{
    for (const char *name : {"b.jpg", "a.JPG", "c.jpeg", "Z.jpg", "m.bmp", ".hidden.jpg", "y.GIF"})
        makeFile(QString::fromLatin1(name));
    QVERIFY(QDir(m_env->driveC()).mkdir(QStringLiteral("folder.jpg")));
    QVERIFY(QFile::link(m_env->driveC() + QStringLiteral("/b.jpg"), m_env->driveC() + QStringLiteral("/link.jpg")));
    QVERIFY(QFile::link(m_env->driveC() + QStringLiteral("/gone"), m_env->driveC() + QStringLiteral("/dangling.jpg")));

    FileListBox list;
    list.setPattern(QStringLiteral("*.jpg"));
    QVERIFY(list.setPath(QStringLiteral("C:\\")));
    QCOMPARE(list.Path(), QStringLiteral("C:\\"));
    // Folders, hidden files and links to nothing are not listed; a link to a file is.
    QCOMPARE(entries(list), QStringList({"a.JPG", "b.jpg", "link.jpg", "Z.jpg"}));

    list.setPattern(QStringLiteral("*.bmp;*.GIF;*.jpg"));
    QCOMPARE(entries(list), QStringList({"a.JPG", "b.jpg", "link.jpg", "m.bmp", "y.GIF", "Z.jpg"}));
    QCOMPARE(list.Pattern(), QStringLiteral("*.bmp;*.GIF;*.jpg"));

    list.setPattern(QStringLiteral("*.png"));
    QCOMPARE(list.ListCount(), 0);
    QCOMPARE(list.FileName(), QString());
}

void ListControlsTest::fileListClickOnEverySelectionChange()
{
    for (const char *name : {"a.jpg", "b.jpg", "c.jpg", "d.jpg"})
        makeFile(QString::fromLatin1(name));
    FileListBox list;
    QSignalSpy clicks(&list, &FileListBox::Click);
    list.setPattern(QStringLiteral("*.jpg"));
    QVERIFY(list.setPath(QStringLiteral("C:\\")));
    QCOMPARE(list.ListIndex(), -1);
    QCOMPARE(clicks.count(), 0);
    showAndFocus(list);

    // The first arrow key selects the first entry, not the second.
    QTest::keyClick(&list, Qt::Key_Down);
    QCOMPARE(list.ListIndex(), 0);
    QCOMPARE(clicks.count(), 1);
    QTest::keyClick(&list, Qt::Key_Down);
    QCOMPARE(list.FileName(), QStringLiteral("b.jpg"));
    QCOMPARE(clicks.count(), 2);
    QTest::keyClick(&list, Qt::Key_End);
    QCOMPARE(list.ListIndex(), 3);
    QCOMPARE(clicks.count(), 3);
    QTest::keyClick(&list, Qt::Key_Down); // already at the end: nothing moves
    QCOMPARE(clicks.count(), 3);
    // Ctrl+arrow would move the focus without selecting in a plain view.
    QTest::keyClick(&list, Qt::Key_Up, Qt::ControlModifier);
    QCOMPARE(list.ListIndex(), 2);
    QCOMPARE(clicks.count(), 4);
    // A held key says so while its Click runs; nothing else does. Letting
    // a key go raises KeyUp; the releases of auto-repeat do not.
    QList<bool> held;
    const QMetaObject::Connection watch =
        connect(&list, &FileListBox::Click, &list, [&] { held << list.MovedByHeldKey(); });
    QSignalSpy keyUps(&list, &FileListBox::KeyUp);
    QKeyEvent repeated(QEvent::KeyPress, Qt::Key_Up, Qt::NoModifier, QString(), true);
    QApplication::sendEvent(&list, &repeated);
    QKeyEvent repeatedUp(QEvent::KeyRelease, Qt::Key_Up, Qt::NoModifier, QString(), true);
    QApplication::sendEvent(&list, &repeatedUp);
    QCOMPARE(keyUps.count(), 0);
    QTest::keyClick(&list, Qt::Key_Down);
    QCOMPARE(keyUps.count(), 1);
    QCOMPARE(keyUps.first().first().toInt(), int(Qt::Key_Down));
    list.setListIndex(3);
    disconnect(watch);
    QCOMPARE(held, (QList<bool>{true, false, false}));
    QVERIFY(!list.MovedByHeldKey());
    QCOMPARE(clicks.count(), 7);

    list.setListIndex(0);
    QCOMPARE(list.FileName(), QStringLiteral("a.jpg"));
    QCOMPARE(clicks.count(), 8);
    list.setListIndex(0);
    QCOMPARE(clicks.count(), 8);
    list.setListIndex(7); // out of range: ignored
    QCOMPARE(list.ListIndex(), 0);
    QCOMPARE(clicks.count(), 8);

    // Re-reading leaves nothing selected and raises nothing.
    list.setPattern(QStringLiteral("*.jpg;*.bmp"));
    QCOMPARE(list.ListIndex(), -1);
    list.setListIndex(2);
    QCOMPARE(clicks.count(), 9);
    QVERIFY(list.setPath(QStringLiteral("C:\\")));
    QCOMPARE(list.ListIndex(), -1);
    list.setListIndex(1);
    QVERIFY(list.Refresh());
    QCOMPARE(list.ListIndex(), -1);
    QCOMPARE(clicks.count(), 10);
}

void ListControlsTest::fileListMouse()
{
    for (const char *name : {"a.jpg", "b.jpg", "c.jpg"})
        makeFile(QString::fromLatin1(name));
    FileListBox list;
    list.setPattern(QStringLiteral("*.jpg"));
    QVERIFY(list.setPath(QStringLiteral("C:\\")));
    showAndFocus(list);
    QSignalSpy clicks(&list, &FileListBox::Click);
    QSignalSpy doubleClicks(&list, &FileListBox::DblClick);
    QSignalSpy downs(&list, &FileListBox::MouseDown);
    const auto rowCentre = [&](int row) { return list.visualRect(list.model()->index(row, 0)).center(); };

    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, rowCentre(1));
    QCOMPARE(list.ListIndex(), 1);
    QCOMPARE(clicks.count(), 1);
    QCOMPARE(downs.count(), 1);
    QCOMPARE(downs.last().at(0).toInt(), 1);

    // A press on the chosen entry changes nothing.
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, rowCentre(1));
    QCOMPARE(clicks.count(), 1);
    QCOMPARE(downs.count(), 2);

    // The right button opens a menu: it leaves the selection where it is.
    QTest::mouseClick(list.viewport(), Qt::RightButton, Qt::ShiftModifier, rowCentre(2));
    QCOMPARE(list.ListIndex(), 1);
    QCOMPARE(clicks.count(), 1);
    QCOMPARE(downs.count(), 3);
    QCOMPARE(downs.last().at(0).toInt(), 2);
    QCOMPARE(downs.last().at(1).toInt(), 1);
    // Positions are in the control's pixels, so the handler can map them to the screen.
    const QPoint inControl = list.viewport()->mapTo(&list, rowCentre(2));
    QCOMPARE(qRound(downs.last().at(2).toFloat()), inControl.x());
    QCOMPARE(qRound(downs.last().at(3).toFloat()), inControl.y());

    // Ctrl+click on the chosen entry does not leave the list without a choice.
    QTest::mouseClick(list.viewport(), Qt::LeftButton, Qt::ControlModifier, rowCentre(1));
    QCOMPARE(list.ListIndex(), 1);

    QCOMPARE(clicks.count(), 1);

    // A double click: the first press chooses, the second opens.
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, rowCentre(0));
    QTest::mouseDClick(list.viewport(), Qt::LeftButton, {}, rowCentre(0));
    QCOMPARE(list.ListIndex(), 0);
    QCOMPARE(clicks.count(), 2);
    QCOMPARE(doubleClicks.count(), 1);
}

void ListControlsTest::fileListOpensFolderWithoutRegardToCase()
{
    makeFile(QStringLiteral("Photos/Beach.jpg"));
    makeFile(QStringLiteral("top.jpg"));
    FileListBox list;
    list.setPattern(QStringLiteral("*.jpg"));
    QVERIFY(list.setPath(QStringLiteral("c:\\PHOTOS")));
    QCOMPARE(list.Path(), QStringLiteral("C:\\Photos"));
    QCOMPARE(entries(list), QStringList{"Beach.jpg"});

    QVERIFY(!list.setPath(QStringLiteral("C:\\Missing")));
    QCOMPARE(list.Path(), QStringLiteral("C:\\Photos"));
    QCOMPARE(entries(list), QStringList{"Beach.jpg"});
    QVERIFY(!list.setPath(QStringLiteral("Q:\\")));
    QCOMPARE(list.Path(), QStringLiteral("C:\\Photos"));
}

void ListControlsTest::fileListRefreshFollowsTheDisk()
{
    makeFile(QStringLiteral("Photos/a.jpg"));
    FileListBox list;
    list.setPattern(QStringLiteral("*.jpg"));
    QVERIFY(list.setPath(QStringLiteral("C:\\Photos")));
    makeFile(QStringLiteral("Photos/b.jpg"));
    QCOMPARE(list.ListCount(), 1);
    QVERIFY(list.Refresh());
    QCOMPARE(entries(list), QStringList({"a.jpg", "b.jpg"}));

    // A folder that has not changed for a while is read once for loads that
    // follow one another; each change right after a read still shows.
    const QString photos = m_env->driveC() + QStringLiteral("/Photos");
    QTest::qWait(60);
    QVERIFY(list.Refresh());
    list.setPattern(QStringLiteral("*.*"));
    QCOMPARE(entries(list), QStringList({"a.jpg", "b.jpg"}));
    makeFile(QStringLiteral("Photos/c.jpg"));
    QVERIFY(list.Refresh());
    QCOMPARE(entries(list), QStringList({"a.jpg", "b.jpg", "c.jpg"}));
    QTest::qWait(60);
    QVERIFY(list.Refresh());
    QVERIFY(QFile::rename(photos + QStringLiteral("/a.jpg"), photos + QStringLiteral("/d.jpg")));
    QVERIFY(list.Refresh());
    QCOMPARE(entries(list), QStringList({"b.jpg", "c.jpg", "d.jpg"}));
    QTest::qWait(60);
    QVERIFY(list.Refresh());
    QVERIFY(QFile::remove(photos + QStringLiteral("/b.jpg")));
    QVERIFY(list.Refresh());
    QCOMPARE(entries(list), QStringList({"c.jpg", "d.jpg"}));
    // Another folder put in its place under the same name.
    QTest::qWait(60);
    QVERIFY(list.Refresh());
    QVERIFY(QDir(m_env->driveC()).rename(QStringLiteral("Photos"), QStringLiteral("Old photos")));
    makeFile(QStringLiteral("Photos/e.jpg"));
    QVERIFY(list.Refresh());
    QCOMPARE(entries(list), QStringList({"e.jpg"}));

    // A folder deleted from outside: the refresh says so, and lists nothing.
    QVERIFY(QDir(photos).removeRecursively());
    QVERIFY(!list.Refresh());
    QCOMPARE(list.ListCount(), 0);
}

void ListControlsTest::dirListPathTexts()
{
    QVERIFY(QDir(m_env->driveC()).mkpath(QStringLiteral("Photos/Summer")));
    QVERIFY(QDir(m_env->driveC()).mkpath(QStringLiteral("Photos/autumn")));
    QVERIFY(QDir(m_env->driveC()).mkpath(QStringLiteral("Photos/.thumbnails")));
    QVERIFY(QDir(m_env->driveC()).mkpath(QStringLiteral("archive")));
    makeFile(QStringLiteral("Photos/not-a-folder.jpg"));

    DirListBox dir;
    QVERIFY(dir.setPath(QStringLiteral("C:\\")));
    QCOMPARE(dir.Path(), QStringLiteral("C:\\"));
    QCOMPARE(shown(dir), QStringList({"c:\\", "archive", "Photos"}));
    QCOMPARE(dir.ListCount(), 2);
    QCOMPARE(dir.List(-1), QStringLiteral("C:\\"));
    QCOMPARE(dir.List(1), QStringLiteral("C:\\Photos"));

    QVERIFY(dir.setPath(QStringLiteral("C:\\Photos\\")));
    QCOMPARE(dir.Path(), QStringLiteral("C:\\Photos"));
    QCOMPARE(shown(dir), QStringList({"c:\\", "Photos", "autumn", "Summer"}));
    QCOMPARE(dir.ListIndex(), -1); // the open folder is the chosen entry
    QCOMPARE(dir.List(-2), QStringLiteral("C:\\"));
    QCOMPARE(dir.List(0), QStringLiteral("C:\\Photos\\autumn"));
    QCOMPARE(dir.List(2), QString());

    QVERIFY(dir.setPath(QStringLiteral("C:\\Photos\\Summer")));
    QCOMPARE(shown(dir), QStringList({"c:\\", "Photos", "Summer"}));
    QCOMPARE(dir.ListCount(), 0);
    QCOMPARE(dir.List(-3), QStringLiteral("C:\\"));
}

// The folders of the path show open, those below it closed; each picture is
// drawn for the pixels it covers, so at scale 2 it has twice the detail.
void ListControlsTest::dirListShowsOpenAndClosedFolders()
{
    QVERIFY(QDir(m_env->driveC()).mkpath(QStringLiteral("Photos/Summer")));
    DirListBox dir;
    QVERIFY(dir.setPath(QStringLiteral("C:\\Photos")));
    QCOMPARE(dir.count(), 3);
    const auto picture = [&](int row, int side, qreal ratio) {
        return dir.item(row)->icon().pixmap(QSize(side, side), ratio).toImage();
    };
    const QImage open = picture(1, 16, 1);
    const QImage closed = picture(2, 16, 1);
    QCOMPARE(open.size(), QSize(16, 16));
    QCOMPARE(picture(0, 16, 1), open); // the root is open too
    QVERIFY(open != closed);
    for (const QImage &image : {open, closed}) {
        int opaque = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                opaque += qAlpha(image.pixel(x, y)) == 255;
        QVERIFY2(opaque > 60 && opaque < 256, qPrintable(QString::number(opaque))); // a folder, not a blank or a block
    }
    const QImage sharp = picture(2, 16, 2);
    QCOMPARE(sharp.size(), QSize(32, 32));
    QVERIFY(sharp != closed.scaled(32, 32));
}

void ListControlsTest::dirListChangeOnlyWhenThePathChanges()
{
    QVERIFY(QDir(m_env->driveC()).mkpath(QStringLiteral("Photos")));
    DirListBox dir;
    QSignalSpy changes(&dir, &DirListBox::Change);
    QVERIFY(dir.setPath(QStringLiteral("C:\\")));
    QCOMPARE(changes.count(), 1);
    QVERIFY(dir.setPath(QStringLiteral("c:")));
    QVERIFY(dir.setPath(QStringLiteral("C:\\")));
    QCOMPARE(changes.count(), 1);
    QVERIFY(dir.setPath(QStringLiteral("c:\\photos")));
    QCOMPARE(dir.Path(), QStringLiteral("C:\\Photos"));
    QCOMPARE(changes.count(), 2);
    QVERIFY(dir.setPath(QStringLiteral("C:\\PHOTOS")));
    QCOMPARE(changes.count(), 2);

    // Selecting an entry does not open it.
    dir.setListIndex(-2);
    QCOMPARE(dir.ListIndex(), -2);
    QCOMPARE(dir.Path(), QStringLiteral("C:\\Photos"));
    QCOMPARE(changes.count(), 2);
}

void ListControlsTest::dirListOpensByDoubleClickAndEnter()
{
    QVERIFY(QDir(m_env->driveC()).mkpath(QStringLiteral("Photos/Summer")));
    DirListBox dir;
    QVERIFY(dir.setPath(QStringLiteral("C:\\")));
    showAndFocus(dir);
    QSignalSpy changes(&dir, &DirListBox::Change);
    QSignalSpy downs(&dir, &DirListBox::MouseDown);
    const auto rowCentre = [&](int row) { return dir.visualItemRect(dir.item(row)).center(); };

    QTest::mouseDClick(dir.viewport(), Qt::LeftButton, {}, rowCentre(1)); // "Photos"
    QCOMPARE(dir.Path(), QStringLiteral("C:\\Photos"));
    QCOMPARE(changes.count(), 1);

    dir.setListIndex(0); // "Summer"
    QTest::keyClick(&dir, Qt::Key_Return);
    QCOMPARE(dir.Path(), QStringLiteral("C:\\Photos\\Summer"));
    QCOMPARE(changes.count(), 2);

    // A right click reports the button and opens nothing.
    QTest::mouseClick(dir.viewport(), Qt::RightButton, {}, rowCentre(0));
    QCOMPARE(downs.count(), 1);
    QCOMPARE(downs.last().at(0).toInt(), 2);
    QCOMPARE(dir.ListIndex(), -1);

    QTest::mouseDClick(dir.viewport(), Qt::LeftButton, {}, rowCentre(0)); // "c:\"
    QCOMPARE(dir.Path(), QStringLiteral("C:\\"));
    QCOMPARE(changes.count(), 3);
}

void ListControlsTest::dirListRefusesWhatCannotBeOpened()
{
    QVERIFY(QDir(m_env->driveC()).mkpath(QStringLiteral("Photos")));
    QVERIFY(QDir(m_env->driveC()).mkpath(QStringLiteral("Locked")));
    m_env->setDrives(QStringLiteral("C:=") + m_env->driveC() + QStringLiteral(";D:=") + m_env->root()
                     + QStringLiteral("/no-medium"));
    DirListBox dir;
    QVERIFY(dir.setPath(QStringLiteral("C:\\Photos")));
    QSignalSpy changes(&dir, &DirListBox::Change);

    QVERIFY(!dir.setPath(QStringLiteral("C:\\Missing")));
    QVERIFY(!dir.setPath(QStringLiteral("D:\\")));
    QVERIFY(!dir.setPath(QStringLiteral("E:\\")));
    if (::geteuid() != 0) { // permissions do not bind root
        QFile::setPermissions(m_env->driveC() + QStringLiteral("/Locked"), QFile::WriteOwner);
        QVERIFY(!dir.setPath(QStringLiteral("C:\\Locked")));
        QFile::setPermissions(m_env->driveC() + QStringLiteral("/Locked"),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    QCOMPARE(dir.Path(), QStringLiteral("C:\\Photos"));
    QCOMPARE(changes.count(), 0);

    // The open folder deleted from outside: a refresh fails and keeps the path for the caller.
    QVERIFY(QDir(m_env->driveC() + QStringLiteral("/Photos")).removeRecursively());
    QVERIFY(!dir.Refresh());
    QCOMPARE(dir.Path(), QStringLiteral("C:\\Photos"));
}

void ListControlsTest::dirListDriveAloneOpensItsCurrentFolder()
{
    QVERIFY(QDir(m_env->driveC()).mkpath(QStringLiteral("Photos")));
    QVERIFY(platform::CurrentDirectory::chDir(QStringLiteral("C:\\Photos")));
    DirListBox dir;
    QVERIFY(dir.setPath(QStringLiteral("c:")));
    QCOMPARE(dir.Path(), QStringLiteral("C:\\Photos"));
    QVERIFY(dir.setPath(QStringLiteral("C:\\")));
    QCOMPARE(dir.Path(), QStringLiteral("C:\\"));
}

void ListControlsTest::driveListOffersTheTable()
{
    QVERIFY(QDir(m_env->root()).mkpath(QStringLiteral("d")));
    m_env->setDrives(QStringLiteral("D:=%1/d;C:=%2;Q:=%1/no-medium").arg(m_env->root(), m_env->driveC()));
    platform::CurrentDirectory::resetFromHost();
    DriveListBox drives;
    QCOMPARE(drives.count(), 3);
    QCOMPARE(drives.itemText(0), QStringLiteral("c: [c]"));
    QCOMPARE(drives.itemText(1), QStringLiteral("d: [d]"));
    QCOMPARE(drives.itemText(2), QStringLiteral("q: [no-medium]"));
    QSignalSpy changes(&drives, &DriveListBox::Change);

    QVERIFY(drives.setDrive(QStringLiteral("D:\\Photos\\x")));
    QCOMPARE(drives.Drive(), QStringLiteral("d:"));
    QCOMPARE(changes.count(), 1);
    QVERIFY(drives.setDrive(QStringLiteral("d:")));
    QCOMPARE(changes.count(), 1);
    QVERIFY(drives.setDrive(QStringLiteral("C:")));
    QCOMPARE(drives.Drive(), QStringLiteral("c:"));
    QCOMPARE(changes.count(), 2);
    // A drive without a medium is still chosen; its handler reports it.
    QVERIFY(drives.setDrive(QStringLiteral("q: [no-medium]")));
    QCOMPARE(drives.Drive(), QStringLiteral("q:"));
    QCOMPARE(changes.count(), 3);
    QVERIFY(!drives.setDrive(QStringLiteral("X:")));
    QVERIFY(!drives.setDrive(QString()));
    QCOMPARE(drives.Drive(), QStringLiteral("q:"));
    QCOMPARE(changes.count(), 3);

    showAndFocus(drives);
    QTest::keyClick(&drives, Qt::Key_Up);
    QCOMPARE(drives.Drive(), QStringLiteral("d:"));
    QCOMPARE(changes.count(), 4);

    // The table is read again when it changes; the chosen drive stays.
    m_env->setDrives(QStringLiteral("C:=%1;D:=%2/d").arg(m_env->driveC(), m_env->root()));
    drives.Refresh();
    QCOMPARE(drives.count(), 2);
    QCOMPARE(drives.Drive(), QStringLiteral("d:"));
    QCOMPARE(changes.count(), 4);
    m_env->setDrives(QStringLiteral("C:=%1").arg(m_env->driveC()));
    drives.Refresh();
    QCOMPARE(drives.Drive(), QStringLiteral("c:"));
    QCOMPARE(changes.count(), 5);
}

void ListControlsTest::comboSelectsByTextWithoutCase()
{
    ComboBox combo;
    for (const char *entry : {"All Readable Format", "*.bmp;*.gif;*.jpg", "*.bmp", "*.jpg"})
        combo.AddItem(QString::fromLatin1(entry));
    QCOMPARE(combo.ListCount(), 4);
    QCOMPARE(combo.List(2), QStringLiteral("*.bmp"));
    QSignalSpy clicks(&combo, &ComboBox::Click);

    QVERIFY(combo.setText(QStringLiteral("ALL Readable Format")));
    QCOMPARE(combo.ListIndex(), 0);
    QCOMPARE(combo.Text(), QStringLiteral("All Readable Format"));
    QCOMPARE(clicks.count(), 1);
    // Choosing the chosen entry again runs the handler again (it refreshes the list).
    QVERIFY(combo.setText(QStringLiteral("all readable format")));
    QCOMPARE(clicks.count(), 2);

    QVERIFY(!combo.setText(QStringLiteral("*.png")));
    QCOMPARE(combo.ListIndex(), 0);
    QCOMPARE(clicks.count(), 2);

    combo.setListIndex(3);
    QCOMPARE(combo.Text(), QStringLiteral("*.jpg"));
    QCOMPARE(clicks.count(), 3);
    combo.setListIndex(9);
    QCOMPARE(combo.ListIndex(), 3);
    QCOMPARE(clicks.count(), 3);

    showAndFocus(combo);
    QTest::keyClick(&combo, Qt::Key_Up);
    QCOMPARE(combo.Text(), QStringLiteral("*.bmp"));
    QCOMPARE(clicks.count(), 4);
}

int runListControlsTest(int argc, char *argv[])
{
    ListControlsTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_lists.moc"
