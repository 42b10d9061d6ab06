#include "WinShowFixture.h"

#include "tests/support/TestRunner.h"

#include <QTest>

class HandSteppingTest : public QObject {
    Q_OBJECT
    WinShowFixture f;

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
        f.winTick();
        QCOMPARE(f.onScreen(), ShowFixture::path(number));
    }

private slots:
    void init() { f.setUp(); }
    void cleanup() { f.tearDown(); }

    void stepsAtBothEndsAndInTheMiddle()
    {
        f.pictures(5);
        f.winStart();
        f.winTick();
        // On the first: Back only pauses, and Resume goes on with the second.
        f.main->back1->action()->trigger();
        verifyPausedOn(1);
        QCOMPARE(f.main->BackCheck, 0);
        resumeThenExpect(2);
        // Three Nexts from the first: the fourth, then Resume shows the fifth.
        f.main->back1_Click();
        for (int i = 0; i < 3; ++i)
            f.main->next1->action()->trigger();
        verifyPausedOn(4);
        QCOMPARE(f.main->ShowCnt, 3);
        QCOMPARE(f.main->BackCheck, 1);
        resumeThenExpect(5);
        QVERIFY(f.boxes->shown.isEmpty());
        // On the last: Next says so and the show stays paused there.
        f.main->next1_Click();
        QCOMPARE(f.boxes->shown.size(), 1);
        QCOMPARE(f.boxes->shown.first().text, QStringLiteral("The last picture of this folder"));
        QCOMPARE(f.boxes->shown.first().shownCaption(), QStringLiteral("Lumadex Viewer 3.01"));
        verifyPausedOn(5);
        // In the middle: Back from the fifth shows the fourth, Resume the fifth again.
        f.main->back1_Click();
        verifyPausedOn(4);
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
