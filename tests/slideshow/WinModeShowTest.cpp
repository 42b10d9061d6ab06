#include "WinShowFixture.h"

#include "browser/FileInfo.h"
#include "controls/ScrollBar.h"
#include "controls/Twips.h"
#include "slideshow/Form3.h"
#include "tests/support/TestRunner.h"

#include <QApplication>
#include <QFileInfo>
#include <QGroupBox>
#include <QLineEdit>
#include <QTest>

namespace {

// Records the show marker each time the main window's picture is painted.
class PaintRecorder : public QObject {
public:
    explicit PaintRecorder(const controls::Label *marker) : m_marker(marker) {}
    QStringList painted;
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        const QString path = m_marker->Caption();
        if (event->type() == QEvent::Paint && !path.isEmpty() && (painted.isEmpty() || painted.last() != path))
            painted << path;
        return QObject::eventFilter(watched, event);
    }

private:
    const controls::Label *m_marker;
};

} // namespace

class WinModeShowTest : public QObject {
    Q_OBJECT
    WinShowFixture f;

    void verifyShows(int number, int count)
    {
        QCOMPARE(f.onScreen(), ShowFixture::path(number));
        QCOMPARE(f.paneColour(), ShowFixture::colour(number));
        QCOMPARE(f.main->Caption(), WinShowFixture::title(number, count));
        const QFileInfo info(f.file(ShowFixture::name(number)));
        QCOMPARE(f.main->Label7->Caption(), app::fileSizeText(info.size()));
        QCOMPARE(f.main->Label8->Caption(), app::fileDateText(info.lastModified()));
        QCOMPARE(f.main->Label9->Caption(), QStringLiteral("%1 X 30").arg(40 + number));
        QCOMPARE(f.main->SBack, number - 1);
    }

private slots:
    void init() { f.setUp(); }
    void cleanup() { f.tearDown(); }

    void emptyFolderSaysSoAndKeepsTheMenus()
    {
        f.winStart();
        QCOMPARE(f.boxes->shown.size(), 1);
        QCOMPARE(f.boxes->shown.first().text, QStringLiteral("No image file is existed in this folder"));
        QCOMPARE(f.boxes->shown.first().shownCaption(), QStringLiteral("Lumadex Viewer 3.01"));
        QCOMPARE(f.menuBar(), WinShowFixture::normalBar());
        QVERIFY(f.browsingEnabled());
        QVERIFY(!f.main->Timer1->Enabled());
    }

    void f3StartsWithTheWaitBannerAndTheShowsBar()
    {
        f.pictures(3);
        f.load();
        f.main->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(f.main));
        QTest::keyClick(f.main, Qt::Key_F3);
        QVERIFY(ShowFixture::sameImage(f.main->Image1->Picture(), f.main->Picture1->Picture()));
        QCOMPARE(f.menuBar(), WinShowFixture::runningBar());
        QVERIFY(f.browsingDisabled());
        QVERIFY(f.main->isEnabled());
        QVERIFY(f.main->Image1->isEnabled());
        QVERIFY(f.main->Timer1->Enabled());
        QCOMPARE(f.main->Timer1->Interval(), 1000);
        QCOMPARE(f.onScreen(), QString());
        // The normal menus' keys are off while the show runs: F2 starts no
        // full-screen show over it.
        QTest::keyClick(f.main, Qt::Key_F2);
        QVERIFY(!ShowFixture::show());
    }

    void theThirdOfFiveThenTheEnd()
    {
        f.pictures(5);
        settings::Write(settings::Loop, QStringLiteral("0"));
        f.winStart(2);
        QCOMPARE(f.main->StartCnt, 2);
        for (int number = 3; number <= 5; ++number) {
            f.winTick();
            verifyShows(number, 5);
            QCOMPARE(f.main->ShowCnt, number);
            QCOMPARE(f.menuBar(), WinShowFixture::runningBar());
        }
        f.winTick();
        f.verifyWinShowEnded();
        // The main window works again: a click on a file loads it.
        f.main->File1->setListIndex(1);
        QCOMPARE(f.main->Label3->Caption(), ShowFixture::path(2));
    }

    void loopStartsAgainWithTheFirst()
    {
        f.pictures(5);
        settings::Write(settings::Loop, QStringLiteral("1"));
        f.winStart(3);
        f.winTick(2);
        verifyShows(5, 5);
        f.winTick();
        verifyShows(1, 5);
        QCOMPARE(f.main->ShowCnt, 1);
        QVERIFY(f.main->Timer1->Enabled());
    }

    void nothingActsBeforeTheFirstPicture()
    {
        f.pictures(3);
        f.winStart(1);
        f.main->pause1->action()->trigger();
        f.main->back1->action()->trigger();
        f.main->next1->action()->trigger();
        QVERIFY(f.main->Timer1->Enabled());
        QCOMPARE(f.menuBar(), WinShowFixture::runningBar());
        QVERIFY(ShowFixture::sameImage(f.main->Image1->Picture(), f.main->Picture1->Picture()));
        QVERIFY(f.boxes->shown.isEmpty());
        f.winTick();
        verifyShows(2, 3);
    }

    void pauseOnTheSecondThenResumeWithANewDelay()
    {
        f.pictures(5);
        f.winStart();
        f.winTick(2);
        // "&Pause" clicked in the menu bar.
        QMenuBar *bar = f.main->menuBar();
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(f.main->pause1->action()).center());
        QVERIFY(!f.main->Timer1->Enabled());
        QCOMPARE(f.main->Timer1->Interval(), 1000); // pausing keeps the interval
        QCOMPARE(f.menuBar(), WinShowFixture::pausedBar());
        QCOMPARE(captions(f.main->ops->items()), (QStringList{"Jump to Index", "SlideShow..", "-", "SysTr&ay..."}));
        // A new delay from "SlideShow.." (the whole dialog) waits for Resume.
        f.main->speed3->action()->trigger();
        slideshow::Form3 *dialog = slideshow::Form3::loaded();
        QVERIFY(dialog && dialog->isVisible());
        QVERIFY(!dialog->Frame6->visibleRegion().isEmpty());
        dialog->Text1->setText(QStringLiteral("2.5"));
        dialog->Command1_Click();
        QCOMPARE(f.main->cuspeed, 2500);
        QCOMPARE(f.main->Timer1->Interval(), 1000);
        f.main->play1->action()->trigger();
        QVERIFY(f.main->Timer1->Enabled());
        QVERIFY(f.main->Timer1->isRunning());
        QCOMPARE(f.main->Timer1->Interval(), 2500);
        QCOMPARE(f.menuBar(), WinShowFixture::runningBar());
        QCOMPARE(f.main->ShowCnt, 2);
        f.winTick();
        verifyShows(3, 5);
    }

    void eachDisplayMode_data()
    {
        QTest::addColumn<QString>("mode");
        QTest::addColumn<QString>("sizeText");
        QTest::addColumn<QRectF>("placed");
        QTest::addColumn<bool>("horizontalBar");
        QTest::newRow("Auto-Fit: shrunk, centred") << QStringLiteral("auto") << QStringLiteral("600 X 300")
                                                   << QRectF(0, 81.25, 453, 226.5) << false;
        QTest::newRow("Actual Size: natural, scrolled") << QStringLiteral("actual") << QStringLiteral("600 X 300")
                                                        << QRectF(0, 0, 600, 300) << true;
        QTest::newRow("Stretched: the pane") << QStringLiteral("stretched") << QStringLiteral("453 X 389")
                                             << QRectF(0, 0, 453, 389) << false;
    }
    void eachDisplayMode()
    {
        QFETCH(QString, mode);
        QFETCH(QString, sizeText);
        QFETCH(QRectF, placed);
        QFETCH(bool, horizontalBar);
        f.picture(QStringLiteral("Pictures/a.bmp"), {600, 300}, Qt::red);
        f.picture(QStringLiteral("Pictures/b.bmp"), {100, 80}, Qt::blue);
        f.load();
        f.main->File1->setListIndex(0);
        if (mode == QLatin1String("actual"))
            f.main->Act1_Click();
        else if (mode == QLatin1String("stretched"))
            f.main->St1_Click();
        f.main->File1->setListIndex(-1);
        f.main->viewmenu_Click();
        f.winTick();
        const controls::ImageControl &image = *f.main->Image1;
        QCOMPARE(f.main->Label9->Caption(), sizeText);
        QCOMPARE(f.main->Label9->isVisibleTo(f.main), mode != QLatin1String("stretched"));
        QCOMPARE(f.main->Label10->isVisibleTo(f.main), mode == QLatin1String("stretched"));
        QCOMPARE(QRectF(image.Left(), image.Top(), image.Width(), image.Height()), placed);
        QCOMPARE(f.main->HScroll1->isVisibleTo(f.main), horizontalBar);
        QVERIFY(!f.main->VScroll1->isVisibleTo(f.main));
        QVERIFY(image.Visible());
        const QImage shot = f.main->Picture5->grab().toImage();
        QCOMPARE(shot.pixelColor(f.main->Picture5->interiorOrigin() + image.pixelRect().center()), QColor(Qt::red));
        // The next picture is fitted the same way.
        f.winTick();
        if (mode == QLatin1String("stretched"))
            QCOMPARE(QRectF(image.Left(), image.Top(), image.Width(), image.Height()), placed);
        else
            QCOMPARE(f.main->Label9->Caption(), QStringLiteral("100 X 80"));
    }

    void aDamagedAndAVanishedFile()
    {
        f.pictures(4);
        testsupport::writeFile(f.file(ShowFixture::name(2)), QByteArray("BM") + QByteArray(98, 'x'));
        f.winStart();
        f.winTick(2);
        // Damaged: the banner fitted by Auto-Fit, centred at its own size,
        // with the file's size, date and title filled in.
        const controls::ImageControl &image = *f.main->Image1;
        QVERIFY(ShowFixture::sameImage(image.Picture(), f.main->Picture4->Picture()));
        QCOMPARE(QRectF(image.Left(), image.Top(), image.Width(), image.Height()),
                 QRectF(226.5f - 96.5f, 194.5f - 16.5f, 193, 33));
        QVERIFY(image.Visible());
        QCOMPARE(f.main->Label9->Caption(), QStringLiteral("193 X 33"));
        QCOMPARE(f.main->Label7->Caption(), QStringLiteral("100bytes"));
        QVERIFY(!f.main->Label8->Caption().isEmpty());
        QCOMPARE(f.main->Caption(), WinShowFixture::title(2, 4));
        // Vanished: the banner and no information at all.
        QFile::remove(f.file(ShowFixture::name(3)));
        f.winTick();
        QVERIFY(ShowFixture::sameImage(image.Picture(), f.main->Picture4->Picture()));
        for (const controls::Label *label : {f.main->Label7, f.main->Label8, f.main->Label9})
            QCOMPARE(label->Caption(), QString());
        QCOMPARE(f.main->Caption(), WinShowFixture::title(3, 4));
        QCOMPARE(f.onScreen(), ShowFixture::path(3));
        QVERIFY(f.boxes->shown.isEmpty());
        f.winTick();
        verifyShows(4, 4);
    }

    void theLargerViewIsRestoredAtTheEnd_data()
    {
        QTest::addColumn<bool>("cancel");
        QTest::newRow("end of the list") << false;
        QTest::newRow("Cancel") << true;
    }
    void theLargerViewIsRestoredAtTheEnd()
    {
        QFETCH(bool, cancel);
        f.pictures(2);
        f.load();
        f.main->largev_Click();
        QVERIFY(f.main->Frame1->isHidden());
        f.main->viewmenu_Click();
        f.winTick();
        QCOMPARE(f.main->Picture5->ScaleWidth(), 613);
        if (cancel)
            f.main->stop1->action()->trigger();
        else
            f.winTick(2);
        f.verifyWinShowEnded();
        QVERIFY(!f.main->Frame1->isHidden());
        QCOMPARE(f.main->largev->Caption(), QStringLiteral("Larger View"));
        QCOMPARE(f.main->Picture5->ScaleWidth(), 453);
        QCOMPARE(f.main->Picture5->geometry().left(), controls::twipsToPixels(2400));
    }

    // Alt+O opens the show's "&Options" while it is paused, every time, not
    // the greyed one; once the show ends it opens the normal one again.
    void altOOpensTheOptionsMenuThatWorks()
    {
        f.pictures(3);
        f.winStart();
        f.winTick();
        f.main->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(f.main));
        const auto pressAltO = [this](controls::MenuItem *opens) {
            for (int press = 0; press < 2; ++press) {
                QTest::keyClick(f.main, Qt::Key_O, Qt::AltModifier);
                QTRY_COMPARE(QApplication::activePopupWidget(), static_cast<QWidget *>(opens->menu()));
                QApplication::activePopupWidget()->close();
                QTRY_VERIFY(!QApplication::activePopupWidget());
            }
        };
        f.main->pause1_Click();
        pressAltO(f.main->ops);
        f.main->stop1_Click();
        f.verifyWinShowEnded();
        pressAltO(f.main->Option2);
    }

    void cancelEndsTheShowAndNoHandStepCarriesOver()
    {
        f.pictures(5);
        f.winStart();
        f.winTick(2);
        f.main->next1_Click(); // leaves a hand-step mark
        f.main->stop1->action()->trigger();
        f.verifyWinShowEnded();
        QCOMPARE(f.main->Label3->Caption(), QString());
        QCOMPARE(f.main->ShowCnt, 0);
        f.main->viewmenu_Click();
        f.winTick();
        f.main->pause1_Click();
        f.main->play1_Click();
        f.winTick();
        verifyShows(2, 5);
    }

    void closingTheMainWindowStopsTheShowFirst()
    {
        f.pictures(3);
        f.winStart();
        f.winTick();
        QVERIFY(f.main->Timer1->isRunning());
        f.main->close();
        QVERIFY(f.main->isUnloaded());
        QVERIFY(!f.main->Timer1->Enabled());
        QVERIFY(!f.main->Timer1->isRunning());
        QCOMPARE(f.onScreen(), ShowFixture::path(1)); // no tick ran on the way down
    }

    void theTimerShowsEveryPictureWithTheShortestDelay()
    {
        // Photographs that take longer to decode than the delay, so that
        // ticks fall due while the worker is still busy with the next one.
        QStringList expected;
        for (int i = 1; i <= 5; ++i) {
            QImage photo(2400, 1600, QImage::Format_RGB32);
            photo.fill(QColor(ShowFixture::colour(i)));
            QVERIFY(photo.save(f.file(QStringLiteral("photo%1.jpg").arg(i)), "JPEG"));
            expected << QStringLiteral("C:\\Pictures\\photo%1.jpg").arg(i);
        }
        f.load();
        f.main->cuspeed = 1;
        PaintRecorder recorder(f.main->Label2);
        f.main->Image1->installEventFilter(&recorder);
        f.main->viewmenu->action()->trigger();
        QTRY_VERIFY_WITH_TIMEOUT(!f.main->Timer1->Enabled(), 30000);
        QCOMPARE(recorder.painted, expected);
        f.verifyWinShowEnded();
    }

private:
    static QStringList captions(const QList<controls::MenuItem *> &items)
    {
        QStringList texts;
        for (const controls::MenuItem *item : items)
            if (item->Visible())
                texts << item->Caption();
        return texts;
    }
};

LUMADEX_TEST_CLASS(WinModeShowTest);

#include "WinModeShowTest.moc"
