#include "ShowFixture.h"

#include "controls/MenuItem.h"
#include "slideshow/Form3.h"
#include "tests/support/TestRunner.h"

#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>

using slideshow::Form7;

namespace {

QStringList captions(const QList<controls::MenuItem *> &items)
{
    QStringList texts;
    for (const controls::MenuItem *item : items)
        texts << item->Caption();
    return texts;
}

} // namespace

class ControlPanelTest : public QObject {
    Q_OBJECT
    ShowFixture f;

    // A show of ten pictures paused on picture `number` by a click on it.
    Form7 *pausedOn(int number)
    {
        f.pictures(10);
        f.start();
        f.tick(number);
        QTest::mouseClick(ShowFixture::show()->Image1, Qt::LeftButton);
        return ShowFixture::panel();
    }

private slots:
    void init() { f.setUp(); }
    void cleanup() { f.tearDown(); }

    void clickOnThePicturePausesAndOpensThePanel()
    {
        Form7 *panel = pausedOn(4);
        QVERIFY(panel);
        QVERIFY(panel->isVisible());
        QCOMPARE(panel->Caption(), QStringLiteral("Lumadex Viewer "));
        QVERIFY(!f.main->Timer2->Enabled());
        QCOMPARE(f.main->Timer2->Interval(), 0);
        QVERIFY(!panel->pause1->Visible());
        QVERIFY(panel->resume1->Visible());
        QCOMPARE(captions({panel->file1, panel->op, panel->resume1, panel->pause1, panel->hide1}),
                 (QStringList{"&File", "&Option", "&Resume", "&Pause", "&Hide"}));
        QCOMPARE(captions(panel->file1->items()),
                 (QStringList{"Copy ...", "Move ...", "-", "Delete ...", "Rename ...", "-", "Open ..."}));
        QCOMPARE(captions(panel->op->items()),
                 (QStringList{"Jump to Index", "-", "ShowInfo", "SlideShow...", "-", "&Cancel"}));
        QCOMPARE(f.main->ShowCnt, 4);
        QCOMPARE(f.main->SBack, 3);
    }

    void clicksOnTheLinesDoNothing()
    {
        f.pictures(2);
        settings::Write(settings::Locate, QStringLiteral("1"));
        f.start();
        f.tick();
        QTest::mouseClick(ShowFixture::show()->Label1, Qt::LeftButton, {}, QPoint(2, 2));
        QVERIFY(!ShowFixture::panel());
        QVERIFY(f.main->Timer2->Enabled());
        QTest::mouseClick(ShowFixture::show()->Picture1, Qt::LeftButton, {}, QPoint(5, 300));
        QVERIFY(ShowFixture::panel());
    }

    void nextThenResumeGoesOnAfterThePictureStepped()
    {
        Form7 *panel = pausedOn(4);
        QTest::mouseClick(panel->Command2, Qt::LeftButton);
        QCOMPARE(ShowFixture::shownPath(), ShowFixture::path(5));
        QCOMPARE(f.main->ShowCnt, 4);
        QCOMPARE(f.main->SBack, 4);
        QCOMPARE(f.main->BackCheck, 1);
        panel->resume1->action()->trigger();
        QCOMPARE(f.main->ShowCnt, 5);
        QCOMPARE(f.main->BackCheck, 0);
        QVERIFY(f.main->Timer2->Enabled());
        QCOMPARE(f.main->Timer2->Interval(), 1000);
        QVERIFY(!panel->isVisible());
        QVERIFY(panel->pause1->Visible());
        QVERIFY(!panel->resume1->Visible());
        f.tick();
        QCOMPARE(ShowFixture::shownPath(), ShowFixture::path(6));
    }

    void resumeWithoutSteppingShowsTheNextPicture()
    {
        Form7 *panel = pausedOn(4);
        panel->resume1_Click();
        f.tick();
        QCOMPARE(ShowFixture::shownPath(), ShowFixture::path(5));
    }

    void backTwiceThenResume()
    {
        Form7 *panel = pausedOn(4);
        panel->Command1_Click();
        QCOMPARE(ShowFixture::shownPath(), ShowFixture::path(3));
        panel->Command1_Click();
        QCOMPARE(ShowFixture::shownPath(), ShowFixture::path(2));
        QCOMPARE(ShowFixture::shownColour(), ShowFixture::colour(2));
        panel->resume1_Click();
        f.tick();
        QCOMPARE(ShowFixture::shownPath(), ShowFixture::path(3));
    }

    void backOnTheFirstAndNextOnTheLast()
    {
        Form7 *panel = pausedOn(1);
        panel->Command1_Click();
        QCOMPARE(ShowFixture::shownPath(), ShowFixture::path(1));
        QCOMPARE(f.main->ShowCnt, 1);
        QCOMPARE(f.main->BackCheck, 0);
        for (int i = 2; i <= 10; ++i)
            panel->Command2_Click();
        QCOMPARE(ShowFixture::shownPath(), ShowFixture::path(10));
        QVERIFY(f.boxes->shown.isEmpty());
        panel->Command2_Click();
        QCOMPARE(f.boxes->shown.size(), 1);
        QCOMPARE(f.boxes->shown.first().text, QStringLiteral("The last picture of this folder"));
        QCOMPARE(f.boxes->shown.first().shownCaption(), QStringLiteral("Lumadex Viewer 3.01"));
        QCOMPARE(ShowFixture::shownPath(), ShowFixture::path(10));
        QCOMPARE(f.main->SBack, 9);
    }

    void stepsBeforeTheFirstPictureDoNothing()
    {
        f.pictures(5);
        f.start(2);
        ShowFixture::show()->Picture1_Click();
        Form7 *panel = ShowFixture::panel();
        panel->Command1_Click();
        panel->Command2_Click();
        QVERIFY(ShowFixture::show()->Image1->Picture().isNull());
        QCOMPARE(f.main->ShowCnt, 2);
        panel->resume1_Click();
        f.tick();
        QCOMPARE(ShowFixture::shownPath(), ShowFixture::path(3));
    }

    void showInfoShowsAllThreeLinesThenHidesThem()
    {
        Form7 *panel = pausedOn(2);
        slideshow::Form6 *show = ShowFixture::show();
        QVERIFY(!show->Label1->isVisible() && !show->Label2->isVisible() && !show->Label3->isVisible());
        panel->showinfo->action()->trigger();
        QVERIFY(show->Label1->isVisible() && show->Label2->isVisible() && show->Label3->isVisible());
        QVERIFY(show->Label3->Caption().endsWith(QStringLiteral("KB (2/10)")));
        QCOMPARE(panel->showinfo->Caption(), QStringLiteral("HideInfo"));
        panel->showinfo_Click();
        QVERIFY(!show->Label1->isVisible() && !show->Label2->isVisible() && !show->Label3->isVisible());
        QCOMPARE(panel->showinfo->Caption(), QStringLiteral("ShowInfo"));
        QCOMPARE(settings::Read(settings::Locate), QString());
    }

    void hideKeepsTheShowPaused()
    {
        Form7 *panel = pausedOn(3);
        panel->hide1_Click();
        QVERIFY(!panel->isVisible());
        QVERIFY(!f.main->Timer2->Enabled());
        ShowFixture::show()->Image1_Click();
        QCOMPARE(ShowFixture::panel(), panel);
        QVERIFY(panel->isVisible());
        QVERIFY(panel->resume1->Visible());
    }

    void closingThePanelByItsFrameKeepsTheShowPaused()
    {
        Form7 *panel = pausedOn(3);
        panel->showinfo_Click();
        panel->close();
        QVERIFY(!ShowFixture::panel());
        QVERIFY(!f.main->Timer2->Enabled());
        QVERIFY(ShowFixture::show());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        ShowFixture::show()->Image1_Click();
        Form7 *again = ShowFixture::panel();
        QVERIFY(again);
        QCOMPARE(again->showinfo->Caption(), QStringLiteral("ShowInfo"));
        QVERIFY(!again->pause1->Visible());
        QVERIFY(again->resume1->Visible());
        again->resume1_Click();
        f.tick();
        QCOMPARE(ShowFixture::shownPath(), ShowFixture::path(4));
    }

    void cancelEndsTheShow()
    {
        Form7 *panel = pausedOn(3);
        panel->Command1_Click(); // a hand step left behind must not reach the next show
        panel->cancek1->action()->trigger();
        f.verifyShowEnded();
        QCOMPARE(f.main->Label3->Caption(), QString());
        f.main->FullScreen_Click();
        f.tick();
        ShowFixture::show()->Image1_Click();
        ShowFixture::panel()->resume1_Click();
        f.tick();
        QCOMPARE(ShowFixture::shownPath(), ShowFixture::path(2));
    }

    void theSystemClosingTheShowEndsItAsCancel_data()
    {
        QTest::addColumn<bool>("paused");
        QTest::newRow("running") << false;
        QTest::newRow("paused, panel open") << true;
    }
    void theSystemClosingTheShowEndsItAsCancel()
    {
        QFETCH(bool, paused);
        f.pictures(3);
        f.start();
        f.tick();
        if (paused)
            ShowFixture::show()->Image1_Click();
        ShowFixture::show()->close();
        f.verifyShowEnded();
    }

    void settingsFromThePanelAreCutAndApplyAtResume()
    {
        Form7 *panel = pausedOn(2);
        panel->speed1->action()->trigger();
        slideshow::Form3 *dialog = slideshow::Form3::loaded();
        QVERIFY(dialog);
        QCOMPARE(dialog->WidthTwips(), 3600.0);
        QCOMPARE(dialog->HeightTwips(), 2805.0);
        dialog->Text1->setText(QStringLiteral("2.5"));
        dialog->Command1_Click();
        QCOMPARE(f.main->cuspeed, 2500);
        QVERIFY(!f.main->Timer2->Enabled());
        panel->resume1_Click();
        QCOMPARE(f.main->Timer2->Interval(), 2500);
    }
};

LUMADEX_TEST_CLASS(ControlPanelTest);

#include "ControlPanelTest.moc"
