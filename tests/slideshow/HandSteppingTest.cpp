#include "WinShowFixture.h"

#include "tests/support/TestRunner.h"

#include <QTest>

class HandSteppingTest : public QObject {
    Q_OBJECT
    WinShowFixture f;

    // A show of five pictures running with picture `number` on screen.
    void runningOn(int number)
    {
        f.pictures(5);
        f.winStart();
        f.winTick(number);
        QCOMPARE(f.onScreen(), ShowFixture::path(number));
    }
    void verifyPausedOn(int number)
    {
        QCOMPARE(f.onScreen(), ShowFixture::path(number));
        QCOMPARE(f.paneColour(), ShowFixture::colour(number));
        QCOMPARE(f.main->Caption(), WinShowFixture::title(number, 5));
        QCOMPARE(f.main->SBack, number - 1);
        QVERIFY(!f.main->Timer1->Enabled());
        QCOMPARE(f.main->Timer1->Interval(), 0);
        QCOMPARE(f.menuBar(), WinShowFixture::pausedBar());
    }
    void resumeThenExpect(int number)
    {
        f.main->play1->action()->trigger();
        QCOMPARE(f.menuBar(), WinShowFixture::runningBar());
        QCOMPARE(f.main->BackCheck, 0);
        f.winTick();
        QCOMPARE(f.onScreen(), ShowFixture::path(number));
    }

private slots:
    void init() { f.setUp(); }
    void cleanup() { f.tearDown(); }

    void backFromTheThirdThenResumeShowsTheThirdAgain()
    {
        runningOn(3);
        f.main->back1->action()->trigger();
        verifyPausedOn(2);
        QCOMPARE(f.main->ShowCnt, 1);
        QCOMPARE(f.main->BackCheck, 1);
        resumeThenExpect(3);
    }

    void backOnTheFirstOnlyPauses()
    {
        runningOn(1);
        f.main->back1_Click();
        verifyPausedOn(1);
        QCOMPARE(f.main->BackCheck, 0);
        QVERIFY(f.boxes->shown.isEmpty());
        resumeThenExpect(2);
    }

    void nextOnTheLastSaysSoAndStaysPaused()
    {
        runningOn(5);
        f.main->next1->action()->trigger();
        QCOMPARE(f.boxes->shown.size(), 1);
        QCOMPARE(f.boxes->shown.first().text, QStringLiteral("The last picture of this folder"));
        QCOMPARE(f.boxes->shown.first().shownCaption(), QStringLiteral("Lumadex Viewer 3.01"));
        verifyPausedOn(5);
    }

    void threeNextsFromTheFirstThenResume()
    {
        runningOn(1);
        for (int i = 0; i < 3; ++i)
            f.main->next1_Click();
        verifyPausedOn(4);
        QCOMPARE(f.main->ShowCnt, 3);
        resumeThenExpect(5);
    }

    void backAndNextDoNothingWithoutAShow()
    {
        f.pictures(5);
        f.load();
        f.main->File1->setListIndex(2);
        const QString caption = f.main->Caption();
        f.main->back1_Click();
        f.main->next1_Click();
        QCOMPARE(f.main->Caption(), caption);
        QCOMPARE(f.menuBar(), WinShowFixture::normalBar());
        QVERIFY(f.boxes->shown.isEmpty());
    }
};

LUMADEX_TEST_CLASS(HandSteppingTest);

#include "HandSteppingTest.moc"
