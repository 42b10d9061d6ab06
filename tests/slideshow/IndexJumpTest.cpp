#include "WinShowFixture.h"

#include "slideshow/IndexJump.h"
#include "tests/support/TestRunner.h"

#include <QTest>

using slideshow::JumpAnswer;
using Kind = slideshow::JumpAnswer::Kind;

Q_DECLARE_METATYPE(std::optional<QString>)

namespace {

const std::optional<QString> Cancelled;

} // namespace

class IndexJumpTest : public QObject {
    Q_OBJECT
    WinShowFixture f;

    QStringList messages() const
    {
        QStringList texts;
        for (const auto &shown : f.boxes->shown)
            if (shown.kind == testsupport::RecordingDialogs::Shown::Kind::Message)
                texts << shown.text;
        return texts;
    }

private slots:
    void init()
    {
        f.setUp();
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    }
    void cleanup()
    {
        QLocale::setDefault(QLocale::system());
        f.tearDown();
    }

    // The cases the handler test below does not reach.
    void readingTheAnswer_data()
    {
        QTest::addColumn<std::optional<QString>>("answer");
        QTest::addColumn<int>("count");
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<Kind>("kind");
        QTest::addColumn<int>("index");
        const QLocale english(QLocale::English, QLocale::UnitedStates);
        const QLocale german(QLocale::German, QLocale::Germany);
        QTest::newRow("1, blanks around") << std::optional<QString>(" 1 ") << 12 << english << Kind::Index << 0;
        QTest::newRow("-1") << std::optional<QString>("-1") << 12 << english << Kind::OutOfRange << -1;
        QTest::newRow("3,5 in German") << std::optional<QString>("3,5") << 12 << german << Kind::Index << 3;
        QTest::newRow("2,5 in German") << std::optional<QString>("2,5") << 12 << german << Kind::Index << 1;
        QTest::newRow("0.4 rounds to 0") << std::optional<QString>("0.4") << 12 << english << Kind::OutOfRange << -1;
        QTest::newRow("70000 of 12") << std::optional<QString>("70000") << 12 << english << Kind::OutOfRange << -1;
        QTest::newRow("70000 of 80000") << std::optional<QString>("70000") << 80000 << english << Kind::Index
                                        << 69999;
        QTest::newRow("beyond 32 bits") << std::optional<QString>("2147483648") << 80000 << english
                                        << Kind::NotANumber << -1;
    }
    void readingTheAnswer()
    {
        QFETCH(std::optional<QString>, answer);
        QFETCH(int, count);
        QFETCH(QLocale, locale);
        QFETCH(Kind, kind);
        QFETCH(int, index);
        const JumpAnswer read = slideshow::readJumpAnswer(answer, count, locale);
        QCOMPARE(read.kind, kind);
        if (kind == Kind::Index)
            QCOMPARE(read.index, index);
    }

    void jumpInTheWindowModeShow_data()
    {
        QTest::addColumn<std::optional<QString>>("answer");
        QTest::addColumn<int>("shown"); // 0: the show stays where it was
        QTest::addColumn<QString>("message");
        QTest::newRow("12") << std::optional<QString>("12") << 12 << QString();
        QTest::newRow("3.5") << std::optional<QString>("3.5") << 4 << QString();
        QTest::newRow("2.5") << std::optional<QString>("2.5") << 2 << QString();
        QTest::newRow("0") << std::optional<QString>("0") << 0 << QStringLiteral("Index should be between 1 and 12");
        QTest::newRow("13") << std::optional<QString>("13") << 0 << QStringLiteral("Index should be between 1 and 12");
        QTest::newRow("empty") << std::optional<QString>("") << 0 << QStringLiteral(" Please type the index number");
        QTest::newRow("Cancel") << Cancelled << 0 << QStringLiteral(" Please type the index number");
        QTest::newRow("not a number") << std::optional<QString>("x") << 0
                                      << QStringLiteral(" Please type the index number");
    }
    void jumpInTheWindowModeShow()
    {
        QFETCH(std::optional<QString>, answer);
        QFETCH(int, shown);
        QFETCH(QString, message);
        f.pictures(12);
        f.winStart();
        f.winTick(6);
        f.main->pause1_Click();
        f.boxes->inputAnswers = {answer};
        f.main->seindex->action()->trigger();
        QCOMPARE(f.boxes->shown.first().kind, testsupport::RecordingDialogs::Shown::Kind::Input);
        QCOMPARE(f.boxes->shown.first().text, QStringLiteral("Please type the index from where the slideshow start"));
        QCOMPARE(f.boxes->shown.first().caption, QStringLiteral("Lumadex Viewer"));
        QCOMPARE(messages(), message.isEmpty() ? QStringList() : QStringList{message});
        if (!message.isEmpty())
            QCOMPARE(f.boxes->shown.last().shownCaption(), QStringLiteral("Lumadex Viewer 3.01"));
        const int onScreen = shown ? shown : 6;
        QCOMPARE(f.onScreen(), ShowFixture::path(onScreen));
        QCOMPARE(f.paneColour(), ShowFixture::colour(onScreen));
        QCOMPARE(f.main->Caption(), WinShowFixture::title(onScreen, 12));
        QCOMPARE(f.main->BackCheck, shown ? 1 : 0);
        QCOMPARE(f.menuBar(), WinShowFixture::pausedBar()); // still paused
        // Resume goes on after the picture on screen.
        f.main->play1_Click();
        f.winTick();
        if (onScreen == 12)
            f.verifyWinShowEnded();
        else
            QCOMPARE(f.onScreen(), ShowFixture::path(onScreen + 1));
    }

    void jumpInTheFullScreenShow()
    {
        f.pictures(12);
        f.start();
        f.tick(2);
        ShowFixture::show()->Image1_Click();
        slideshow::Form7 *panel = ShowFixture::panel();
        f.boxes->inputAnswers = {std::optional<QString>("13"), std::optional<QString>("5")};
        panel->selindex->action()->trigger();
        QCOMPARE(messages(), QStringList{" Index should be between 1 and 12"});
        QCOMPARE(ShowFixture::shownPath(), ShowFixture::path(2));
        panel->selindex->action()->trigger();
        QCOMPARE(ShowFixture::shownPath(), ShowFixture::path(5));
        QCOMPARE(ShowFixture::shownColour(), ShowFixture::colour(5));
        QCOMPARE(f.main->BackCheck, 1);
        QVERIFY(!f.main->Timer2->Enabled());
        panel->resume1_Click();
        f.tick();
        QCOMPARE(ShowFixture::shownPath(), ShowFixture::path(6));
    }
};

LUMADEX_TEST_CLASS(IndexJumpTest);

#include "IndexJumpTest.moc"
