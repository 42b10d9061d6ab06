#include "controls/DirListBox.h"
#include "controls/FileListBox.h"
#include "controls/ImageControl.h"
#include "controls/Label.h"
#include "controls/MenuItem.h"
#include "controls/PictureBox.h"
#include "controls/Twips.h"
#include "controls/ListBox.h"
#include "files/FileOperations.h"
#include "files/Form17.h"
#include "files/Form9.h"
#include "platform/ShellFileOps.h"
#include "settings/Settings.h"
#include "tests/browser/MainWindowFixture.h"
#include "tests/support/RecordingShell.h"
#include "tests/support/TestRunner.h"

#include <QGroupBox>
#include <QGuiApplication>
#include <QLineEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

using files::Form17;
using platform::FileOpResult;

namespace {

// Every copy and move is cancelled from its progress window.
struct CancelledOps final : platform::ShellFileOps {
    FileOpResult copyTo(const QString &, const QString &, platform::CopyProgress *) override
    {
        return FileOpResult::cancelled();
    }
    FileOpResult moveTo(const QString &, const QString &, platform::CopyProgress *) override
    {
        return FileOpResult::cancelled();
    }
    FileOpResult moveToTrash(const QString &) override { return FileOpResult::cancelled(); }
    FileOpResult rename(const QString &, const QString &) override { return FileOpResult::cancelled(); }
};

} // namespace

class FileOperationDialogTest : public QObject {
    Q_OBJECT
    MainWindowFixture f;

    QString c(const QString &relative) const { return f.c() + QLatin1Char('/') + relative; }

    QStringList listed() const
    {
        QStringList names;
        for (int i = 0; i < f.main->File1->ListCount(); ++i)
            names << f.main->File1->List(i);
        return names;
    }

    // The main window with beach.bmp selected, and the dialog opened on it
    // by the File Manager item of `command`.
    Form17 &openFromList(void (app::Form1::*command)())
    {
        if (!f.main)
            f.load();
        f.main->File1->setListIndex(int(listed().indexOf(QStringLiteral("beach.bmp"))));
        (f.main->*command)();
        return *Form17::loaded();
    }

    bool showsCompletion() const
    {
        return f.main->Image1->Picture().image() == f.main->Picture3->Picture().image();
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
        f.picture(QStringLiteral("Pictures/beach.bmp"), {8, 8});
        QDir().mkpath(c(QStringLiteral("Other")));
    }
    void cleanup()
    {
        f.tearDown();
        QVERIFY(!QGuiApplication::overrideCursor());
    }

    // Delete: the compact layout, and the file in the trash with its record.
    void deleteFromTheListGoesToTheTrash()
    {
        Form17 &dialog = openFromList(&app::Form1::mdelete_Click);
        QCOMPARE(settings::Read(settings::Action), QStringLiteral("Delete"));
        QCOMPARE(dialog.Caption(), QStringLiteral("Delete File"));
        QVERIFY(dialog.Option8->isChecked() && dialog.isVisible());
        QCOMPARE(dialog.WidthTwips(), 3945.0);
        QCOMPARE(dialog.HeightTwips(), 1605.0);
        QVERIFY(dialog.Frame1->isHidden());
        QCOMPARE(dialog.Frame3->pos(), QPoint(0, 0));
        QVERIFY(dialog.Frame3->geometry().contains(dialog.centralWidget()->rect()));
        QCOMPARE(dialog.Label1->Caption(), QStringLiteral("C:\\Pictures\\beach.bmp"));
        QCOMPARE(dialog.Label4->Caption(), files::Changeable);
        QVERIFY(!f.main->isEnabled());

        dialog.Command1_Click();
        QVERIFY(!Form17::loaded());
        QVERIFY(f.main->isEnabled());
        QVERIFY(f.boxes->shown.isEmpty());
        QVERIFY(listed().isEmpty());
        QVERIFY(showsCompletion());
        const QString trash = f.env->dataHome() + QStringLiteral("/Trash");
        QVERIFY(QFileInfo::exists(trash + QStringLiteral("/files/beach.bmp")));
        QVERIFY(QFileInfo::exists(trash + QStringLiteral("/info/beach.bmp.trashinfo")));
        QCOMPARE(settings::Read(settings::CopyPath), QStringLiteral("C:\\Pictures"));
    }

    void copyIntoItsOwnFolderMakesASecondFile()
    {
        Form17 &dialog = openFromList(&app::Form1::mcopy_Click);
        QCOMPARE(dialog.Caption(), QStringLiteral("Copy file to Destination"));
        QVERIFY(dialog.Frame1->isVisible() && dialog.Dir1->isEnabled());
        QCOMPARE(dialog.Picture1->geometry(), controls::twipsRect(120, 360, 120, 495));
        QCOMPARE(dialog.Dir1->Path(), QStringLiteral("C:\\Pictures"));
        // The right button on its folder list offers the main window's bookmarks.
        dialog.Dir1_MouseDown(2, 0, 5, 5);
        QTRY_VERIFY(f.main->cuts->menu()->isVisible());
        f.main->cuts->menu()->hide();
        dialog.Command1_Click();
        QCOMPARE(listed(), (QStringList{QStringLiteral("beach - Copy.bmp"), QStringLiteral("beach.bmp")}));
        QCOMPARE(f.main->File1->ListIndex(), -1);
        QVERIFY(showsCompletion());
    }

    // Rename: a bare name lands in the main window's folder; a taken one is
    // refused with the dialog left open and the main window still disabled.
    void renameInTheCurrentFolderNeverReplaces()
    {
        f.picture(QStringLiteral("Pictures/taken.bmp"), {4, 4}, Qt::red);
        Form17 &dialog = openFromList(&app::Form1::mrename_Click);
        QCOMPARE(dialog.Caption(), QStringLiteral("Rename File"));
        QVERIFY(dialog.Text1->isVisible() && dialog.Text1->isEnabled() && dialog.Label5->isVisible());
        QVERIFY(dialog.Text1->text().isEmpty());
        // The prompt sits below the frame's title, the buttons inside the frame.
        QVERIFY(dialog.Label5->y() >= dialog.Frame3->contentsRect().top());
        QVERIFY(dialog.Frame3->contentsRect().contains(dialog.Command1->geometry()));
        // A taken name, and one Windows refuses.
        for (const QString &name : {QStringLiteral("taken.bmp"), QStringLiteral("a?b.bmp")}) {
            f.boxes->shown.clear();
            dialog.Text1->setText(name);
            dialog.Command1_Click();
            QCOMPARE(messages(), QStringList{QStringLiteral("File Already Exist or other errors")});
            QCOMPARE(f.boxes->shown.first().style, 0);
            QVERIFY(Form17::loaded() && dialog.isVisible() && !f.main->isEnabled());
        }
        QCOMPARE(QDir(c(QStringLiteral("Pictures"))).entryList(QDir::Files),
                 (QStringList{QStringLiteral("beach.bmp"), QStringLiteral("taken.bmp")}));
        QCOMPARE(QImage(c(QStringLiteral("Pictures/taken.bmp"))).pixelColor(0, 0), QColor(Qt::red));

        dialog.Text1->setText(QStringLiteral("abc.bmp"));
        dialog.Command1_Click();
        QVERIFY(!Form17::loaded());
        QCOMPARE(listed(), (QStringList{QStringLiteral("abc.bmp"), QStringLiteral("taken.bmp")}));
    }

    // "&Bookmark" opens the bookmark window as a destination picker; a double
    // click there sets the dialog's destination and runs its operation.
    void aBookmarkChosenInThePickerIsTheDestination()
    {
        QDir().mkpath(c(QStringLiteral("Target")));
        QVERIFY(testsupport::writeFile(f.env->programDir() + QStringLiteral("/bookmark.ini"), "C:\\Target\r\n"));
        Form17 &dialog = openFromList(&app::Form1::mcopy_Click);
        QTest::mouseClick(dialog.Command3, Qt::LeftButton);
        files::Form9 *picker = files::Form9::loaded();
        QVERIFY(picker && picker->isVisible());
        QCOMPARE(picker->Caption(), files::PickerCaption);
        QCOMPARE(picker->WidthTwips(), 3930.0);
        QCOMPARE(picker->HeightTwips(), 5235.0);

        const QRect entry = picker->List1->visualItemRect(picker->List1->item(0));
        QTest::mouseDClick(picker->List1->viewport(), Qt::LeftButton, {}, entry.center());
        QVERIFY(!files::Form9::loaded() && !Form17::loaded());
        QVERIFY(QFileInfo::exists(c(QStringLiteral("Target/beach.bmp"))));
        QVERIFY(QFileInfo::exists(c(QStringLiteral("Pictures/beach.bmp"))));
        QVERIFY(f.main->isEnabled());
        QVERIFY(showsCompletion());
        QCOMPARE(settings::Read(settings::CopyPath), QStringLiteral("C:\\Target"));
    }

    void openHandsTheFileToTheShell()
    {
        testsupport::RecordingShell &shell = testsupport::installRecordingShell();
        Form17 &dialog = openFromList(&app::Form1::mopen_Click);
        QCOMPARE(dialog.Caption(), QStringLiteral("Open File"));
        QVERIFY(dialog.Frame1->isHidden() && !dialog.Dir1->isEnabled());
        dialog.Command1_Click();
        QCOMPARE(shell.requests.size(), 1);
        QCOMPARE(shell.requests[0].operation, QStringLiteral("Open"));
        QCOMPARE(shell.requests[0].file, QStringLiteral("C:\\Pictures\\beach.bmp"));
        QCOMPARE(shell.requests[0].showCmd, platform::SW_SHOWNORMAL);
        QVERIFY(showsCompletion());
        platform::setShell(platform::makeDesktopShell());
    }

    // A failed move or delete is reported; the file stays and the main list
    // is not re-read.
    void failuresAreReportedAndChangeNothing()
    {
        settings::Write(settings::CopyPath, QStringLiteral("C:\\Other"));
        Form17 &dialog = openFromList(&app::Form1::mMove_Click);
        QCOMPARE(dialog.Dir1->Path(), QStringLiteral("C:\\Other"));
        QFile::rename(c(QStringLiteral("Pictures/beach.bmp")), c(QStringLiteral("Pictures/gone.bmp")));
        dialog.Command1_Click();
        QCOMPARE(messages(), QStringList{QStringLiteral("File Already Exist or other errors")});
        QCOMPARE(f.main->File1->FileName(), QStringLiteral("beach.bmp"));
        QVERIFY(QDir(c(QStringLiteral("Other"))).isEmpty());
        dialog.Command2_Click();

        QFile::rename(c(QStringLiteral("Pictures/gone.bmp")), c(QStringLiteral("Pictures/beach.bmp")));
        QVERIFY(testsupport::writeFile(f.env->dataHome() + QStringLiteral("/Trash"), "no trash here"));
        Form17 &again = openFromList(&app::Form1::mdelete_Click);
        again.Command1_Click();
        QCOMPARE(messages().size(), 2);
        QVERIFY(QFileInfo::exists(c(QStringLiteral("Pictures/beach.bmp"))));
        QVERIFY(Form17::loaded());
    }

    // A cancelled copy did nothing: no completion notice, no message, the
    // dialog stays for another choice.
    void aCancelledCopyKeepsTheDialog()
    {
        platform::setShellFileOps(std::make_unique<CancelledOps>());
        Form17 &dialog = openFromList(&app::Form1::mcopy_Click);
        dialog.Command1_Click();
        platform::setShellFileOps(platform::makeDesktopFileOps());
        QVERIFY(Form17::loaded() && !f.main->isEnabled());
        QVERIFY(f.boxes->shown.isEmpty());
        QCOMPARE(f.main->File1->FileName(), QStringLiteral("beach.bmp"));
        QVERIFY(!showsCompletion());
    }

    // A vanished destination cuts the load short: no option, design caption.
    void removedCopyPathStopsTheLoad()
    {
        settings::Write(settings::CopyPath, QStringLiteral("C:\\Removed"));
        settings::Write(settings::Action, QStringLiteral("Move"));
        Form17 &dialog = Form17::load();
        QCOMPARE(messages(), QStringList{QStringLiteral("Path not found")});
        QCOMPARE(dialog.Caption(), QStringLiteral("Confirm File Operation"));
        for (QRadioButton *option : dialog.Frame2->findChildren<QRadioButton *>())
            QVERIFY(!option->isChecked());
        QVERIFY(!dialog.Frame1->isHidden());
    }

    // Every unload stores the destination: Cancel and the close box too.
    void everyUnloadStoresTheDestination()
    {
        Form17 &dialog = openFromList(&app::Form1::mcopy_Click);
        QVERIFY(dialog.Dir1->setPath(QStringLiteral("C:\\Other")));
        dialog.Command2_Click();
        QCOMPARE(settings::Read(settings::CopyPath), QStringLiteral("C:\\Other"));
        QVERIFY(f.main->isEnabled());

        f.main->mcopy_Click();
        Form17 *second = Form17::loaded();
        QCOMPARE(second->Dir1->Path(), QStringLiteral("C:\\Other"));
        QVERIFY(second->Dir1->setPath(QStringLiteral("C:\\Pictures")));
        second->close();
        QCOMPARE(settings::Read(settings::CopyPath), QStringLiteral("C:\\Pictures"));
        QVERIFY(f.main->isEnabled());
    }

    void optionClicksLayOutAndStoreTheOperation()
    {
        Form17 &dialog = Form17::load();
        const QList<std::pair<QRadioButton *, QString>> options{
            {dialog.Option9, QStringLiteral("Move")}, {dialog.Option8, QStringLiteral("Delete")},
            {dialog.Option6, QStringLiteral("Rename")}, {dialog.Option7, QStringLiteral("Open")},
            {dialog.Option1, QStringLiteral("Copy")}};
        for (const auto &[option, name] : options) {
            option->click();
            QCOMPARE(settings::Read(settings::Action), name);
            QCOMPARE(dialog.Picture1->y(), option->y() - controls::twipsToPixels(120));
            QCOMPARE(dialog.Frame1->isEnabled(), name == QLatin1String("Move") || name == QLatin1String("Copy"));
            QCOMPARE(!dialog.Text1->isHidden(), name == QLatin1String("Rename"));
        }
    }

    // While a window-mode show has disabled the folder list, the items work
    // on its picture and leave the main window and its list alone.
    void theShowsPictureLeavesTheListAlone()
    {
        f.load();
        f.main->mcopy_Click();
        QCOMPARE(messages(), QStringList{QStringLiteral("No file Selected")});
        QVERIFY(!Form17::loaded() && f.main->isEnabled());

        f.main->Dir1->setEnabled(false);
        f.main->Label2->setCaption(QStringLiteral("C:\\Pictures\\beach.bmp"));
        f.main->mcopy_Click();
        Form17 &dialog = *Form17::loaded();
        QCOMPARE(dialog.Label1->Caption(), QStringLiteral("C:\\Pictures\\beach.bmp"));
        QVERIFY(dialog.Label4->Caption().isEmpty());
        QVERIFY(f.main->isEnabled());
        dialog.Command1_Click();
        QVERIFY(QFileInfo::exists(c(QStringLiteral("Pictures/beach - Copy.bmp"))));
        QCOMPARE(listed(), QStringList{QStringLiteral("beach.bmp")});
        QVERIFY(!showsCompletion());
    }

    // The progress window appears after half a second, and its Cancel stops
    // the copy without leaving a partial file.
    void longCopiesShowProgressAndCanBeCancelled()
    {
        const QByteArray data(3 * 1024 * 1024, 'x');
        QVERIFY(testsupport::writeFile(c(QStringLiteral("Pictures/big.bmp")), data));
        qint64 now = 0;
        QStringList seen;
        files::ProgressWindow progress(nullptr, QStringLiteral("Copying..."), QStringLiteral("C:\\Other"),
                                       [&now] { return now += 200; });
        QTimer::singleShot(0, [&] {
            seen << progress.window()->labelText();
            progress.window()->findChild<QPushButton *>()->click();
        });
        const FileOpResult result = platform::shellFileOps().copyTo(
            QStringLiteral("C:\\Pictures\\big.bmp"), QStringLiteral("C:\\Other"), &progress);
        QCOMPARE(result.status, FileOpResult::Status::Cancelled);
        QCOMPARE(seen, QStringList{QStringLiteral("big.bmp\nto C:\\Other")});
        QVERIFY(QDir(c(QStringLiteral("Other"))).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot).isEmpty());

        now = 0;
        files::ProgressWindow quick(nullptr, QStringLiteral("Copying..."), QString(), [&now] { return now; });
        QVERIFY(quick.advance(QStringLiteral("a"), 0, 10));
        now = files::ProgressDelayMs - 1;
        QVERIFY(quick.advance(QStringLiteral("a"), 5, 10));
        QVERIFY(!quick.window());
        now = files::ProgressDelayMs;
        QVERIFY(quick.advance(QStringLiteral("a"), 8, 10));
        QVERIFY(quick.window() && quick.window()->isVisible());
    }
};

LUMADEX_TEST_CLASS(FileOperationDialogTest);
#include "FileOperationDialogTest.moc"
