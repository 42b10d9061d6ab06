#include "ShowFixture.h"

#include "controls/Label.h"
#include "controls/MenuItem.h"
#include "slideshow/Form3.h"
#include "tests/support/TestRunner.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using slideshow::Form3;

class SettingsDialogTest : public QObject {
    Q_OBJECT
    ShowFixture f;
    QLocale m_locale;

    Form3 &open()
    {
        f.load();
        return Form3::open(Form3::Size::Designed);
    }

private slots:
    void init()
    {
        m_locale = QLocale();
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        f.setUp();
    }
    void cleanup()
    {
        f.tearDown();
        QLocale::setDefault(m_locale);
    }

    void loadingShowsTheStoredDelay_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("storedAfter");
        QTest::newRow("no Speed: stores 1000") << QString() << "1" << "1000";
        QTest::newRow("1 stands for no delay") << "1" << "0" << "1";
        QTest::newRow("2500") << "2500" << "2.5" << "2500";
        QTest::newRow("a minute") << "60000" << "60" << "60000";
        QTest::newRow("no number: the default delay") << "fast" << "1" << "fast";
    }
    void loadingShowsTheStoredDelay()
    {
        QFETCH(QString, stored);
        QFETCH(QString, box);
        QFETCH(QString, storedAfter);
        f.load();
        settings::Write(settings::Speed, stored);
        Form3 &dialog = Form3::open(Form3::Size::Designed);
        QCOMPARE(dialog.Caption(), QStringLiteral("SlideShow"));
        QCOMPARE(dialog.Text1->text(), box);
        QCOMPARE(dialog.Label2->Caption(), box + QStringLiteral(" Second(s)"));
        QCOMPARE(settings::Read(settings::Speed), storedAfter);
    }

    void loadingReadsTheFlags()
    {
        f.load();
        settings::Write(settings::Locate, QStringLiteral("1"));
        settings::Write(settings::FileSize, QStringLiteral("yes"));
        settings::Write(settings::Loop, QStringLiteral("1"));
        Form3 &dialog = Form3::open(Form3::Size::Designed);
        QVERIFY(dialog.Check1->isChecked());
        QVERIFY(!dialog.Check2->isChecked());
        QVERIFY(!dialog.Check3->isChecked());
        QVERIFY(dialog.Check4->isChecked());
    }

    void buttonsKeepTheDelayWithinAMinute_data()
    {
        QTest::addColumn<QString>("start");
        QTest::addColumn<QString>("buttons");
        QTest::addColumn<QString>("box");
        QTest::newRow("+ at 60") << "60" << "+" << "60";
        QTest::newRow("- at 0") << "0" << "-" << "0";
        QTest::newRow("+ at 2.5") << "2.5" << "+" << "3.5";
        QTest::newRow("- at 2.5") << "2.5" << "-" << "1.5";
        QTest::newRow("+ from 58 three times") << "58" << "+++" << "60";
        QTest::newRow("reset") << "42" << "X" << "1";
        QTest::newRow("61 typed") << "61" << "" << "60";
        QTest::newRow("-1 typed") << "-1" << "" << "0";
        QTest::newRow("62 typed stays") << "62" << "" << "62";
        QTest::newRow("+ on text that is no number") << "abc" << "+" << "1";
    }
    void buttonsKeepTheDelayWithinAMinute()
    {
        QFETCH(QString, start);
        QFETCH(QString, buttons);
        QFETCH(QString, box);
        Form3 &dialog = open();
        dialog.Text1->setText(start);
        for (const QChar b : buttons) {
            QPushButton *button = b == QLatin1Char('+') ? dialog.Command3
                                  : b == QLatin1Char('-') ? dialog.Command4
                                                          : dialog.Command5;
            QTest::mouseClick(button, Qt::LeftButton);
        }
        QCOMPARE(dialog.Text1->text(), box);
        QCOMPARE(dialog.Label2->Caption(), box + QStringLiteral(" Second(s)"));
    }

    // Whatever the box holds (a whole or fractional delay reached with the
    // buttons, a stored one to the millisecond, what typing leaves), the
    // delay in words is shown whole in the captions' font, also when that
    // font is larger, as on a denser screen.
    void everyDelayTextFitsItsLabel_data()
    {
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<double>("fontScale");
        QTest::newRow("0") << "0" << "0 Second(s)" << 1.0;
        QTest::newRow("60") << "60" << "60 Second(s)" << 1.0;
        QTest::newRow("2.5") << "2.5" << "2.5 Second(s)" << 1.0;
        QTest::newRow("59.5") << "59.5" << "59.5 Second(s)" << 1.0;
        QTest::newRow("stored to the millisecond") << "58.888" << "58.888 Second(s)" << 1.0;
        QTest::newRow("past a minute from a fraction") << "60.999" << "60.999 Second(s)" << 1.0;
        QTest::newRow("61 typed") << "61" << "60 Second(s)" << 1.0;
        QTest::newRow("-1 typed") << "-1" << "0 Second(s)" << 1.0;
        QTest::newRow("a fraction typed") << "0.333333333333333" << "0.333333333333333 Second(s)" << 1.0;
        QTest::newRow("5, larger font") << "5" << "5 Second(s)" << 1.5;
        QTest::newRow("59.5, larger font") << "59.5" << "59.5 Second(s)" << 1.5;
    }
    void everyDelayTextFitsItsLabel()
    {
        QFETCH(QString, box);
        QFETCH(QString, caption);
        QFETCH(double, fontScale);
        Form3 &dialog = open();
        QFont font = dialog.centralWidget()->font();
        font.setPointSizeF(font.pointSizeF() * fontScale);
        dialog.centralWidget()->setFont(font);
        dialog.Text1->setText(box);
        const controls::Label &label = *dialog.Label2;
        QCOMPARE(label.Caption(), caption);
        QCOMPARE(label.font(), font);
        QVERIFY2(label.contentsRect().width() >= label.fontMetrics().horizontalAdvance(caption),
                 qPrintable(QStringLiteral("%1 px for %2 px of text")
                                .arg(label.contentsRect().width())
                                .arg(label.fontMetrics().horizontalAdvance(caption))));
        QVERIFY(label.geometry().right() < dialog.Frame1->width());
        QVERIFY(label.width() >= 65); // never narrower than designed
    }

    void okStoresTheDelayAndTheLoop_data()
    {
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("speed");
        QTest::addColumn<int>("cuspeed");
        QTest::newRow("2.5 s") << "2.5" << "2500" << 2500;
        QTest::newRow("1.5 s") << "1.5" << "1500" << 1500;
        QTest::newRow("no delay") << "0" << "1" << 1;
        QTest::newRow("below a millisecond") << "0.0001" << "1" << 1;
        QTest::newRow("a fraction of a millisecond, half to even") << "1.0025" << "1002" << 1002;
        QTest::newRow("typed above a minute") << "100" << "60000" << 60000;
        QTest::newRow("typed negative") << "-5" << "1" << 1;
        QTest::newRow("empty: unchanged") << "" << "1000" << 1000;
        QTest::newRow("letters: unchanged") << "abc" << "1000" << 1000;
        QTest::newRow("too large for a double: unchanged") << "1e400" << "1000" << 1000;
        QTest::newRow("not a number: unchanged") << "nan" << "1000" << 1000;
        QTest::newRow("group separators: unchanged") << "1,000" << "1000" << 1000;
    }
    void okStoresTheDelayAndTheLoop()
    {
        QFETCH(QString, box);
        QFETCH(QString, speed);
        QFETCH(int, cuspeed);
        Form3 &dialog = open();
        QCOMPARE(f.main->cuspeed, 1000);
        dialog.Text1->setText(box);
        dialog.Check4->setChecked(true);
        QTest::mouseClick(dialog.Command1, Qt::LeftButton);
        QCOMPARE(settings::Read(settings::Speed), speed);
        QCOMPARE(f.main->cuspeed, cuspeed);
        QCOMPARE(settings::Read(settings::Loop), QStringLiteral("1"));
        QVERIFY(!Form3::loaded());
        // What was stored reads back as the same delay.
        Form3 &again = Form3::open(Form3::Size::Designed);
        QCOMPARE(slideshow::delayMilliseconds(again.Text1->text()), std::optional<qint32>(cuspeed));
    }

    void theLocaleDecimalSeparatorIsUsed()
    {
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        f.load();
        settings::Write(settings::Speed, QStringLiteral("2500"));
        Form3 &dialog = Form3::open(Form3::Size::Designed);
        QCOMPARE(dialog.Text1->text(), QStringLiteral("2,5"));
        dialog.Command3_Click();
        QCOMPARE(dialog.Text1->text(), QStringLiteral("3,5"));
        dialog.Command1_Click();
        QCOMPARE(settings::Read(settings::Speed), QStringLiteral("3500"));
        QCOMPARE(slideshow::delayText(12345.5, QLocale(QLocale::English)), QStringLiteral("12345.5"));
        QCOMPARE(slideshow::delayText(1.0 / 3, QLocale(QLocale::English)), QStringLiteral("0.333333333333333"));
    }

    void overlaysAreWrittenAtOnceAndCancelKeepsTheRest()
    {
        Form3 &dialog = open();
        QTest::mouseClick(dialog.Check2, Qt::LeftButton);
        QCOMPARE(settings::Read(settings::FileSize), QStringLiteral("1"));
        QTest::mouseClick(dialog.Check3, Qt::LeftButton);
        QTest::mouseClick(dialog.Check3, Qt::LeftButton);
        QCOMPARE(settings::Read(settings::ImageSize), QStringLiteral("0"));
        dialog.Text1->setText(QStringLiteral("5"));
        dialog.Check4->setChecked(true);
        QTest::mouseClick(dialog.Command2, Qt::LeftButton);
        QVERIFY(!Form3::loaded());
        QCOMPARE(settings::Read(settings::FileSize), QStringLiteral("1"));
        QCOMPARE(settings::Read(settings::Speed), QStringLiteral("1000"));
        QCOMPARE(settings::Read(settings::Loop), QString());
        QCOMPARE(f.main->cuspeed, 1000);
    }

    void closingByTheFrameWritesNothing()
    {
        Form3 &dialog = open();
        dialog.Text1->setText(QStringLiteral("7"));
        dialog.close();
        QVERIFY(!Form3::loaded());
        QCOMPARE(settings::Read(settings::Speed), QStringLiteral("1000"));
    }

    void theDesignedAndTheCutSize()
    {
        f.load();
        f.main->slide1->action()->trigger();
        Form3 *dialog = Form3::loaded();
        QVERIFY(dialog);
        QCOMPARE(dialog->centralWidget()->size(), QSize(234, 274));
        QVERIFY(!dialog->Frame6->visibleRegion().isEmpty());
        // Opening it again brings the same dialog forward, cut.
        QCOMPARE(&Form3::open(Form3::Size::Cut), dialog);
        QCOMPARE(dialog->WidthTwips(), 3600.0);
        QCOMPARE(dialog->HeightTwips(), 2805.0);
        // The delay frame stays whole; the overlay frame, below it, lies under
        // the bottom edge but for what a missing window frame leaves.
        QVERIFY(dialog->Frame6->visibleRegion().boundingRect().height() < 20);
        QVERIFY(dialog->Command1->visibleRegion().boundingRect().size() == dialog->Command1->size());
        QVERIFY(dialog->Command2->visibleRegion().boundingRect().size() == dialog->Command2->size());
        QCOMPARE(dialog->minimumSize(), dialog->maximumSize()); // not resizable
    }
};

LUMADEX_TEST_CLASS(SettingsDialogTest);

#include "SettingsDialogTest.moc"
