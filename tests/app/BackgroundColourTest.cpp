#include "FakeTray.h"
#include "app/Banners.h"
#include "app/Form1.h"
#include "app/Runtime.h"
#include "controls/PictureBox.h"
#include "platform/SingleInstance.h"
#include "platform/SystemColors.h"
#include "settings/Settings.h"
#include "tests/support/RecordingDialogs.h"
#include "tests/support/TestEnvironment.h"
#include "tests/support/TestRunner.h"

#include <QGuiApplication>
#include <QPalette>
#include <QTest>

#include <memory>

using app::Form1;

class BackgroundColourTest : public QObject {
    Q_OBJECT
    std::unique_ptr<testsupport::HermeticEnvironment> env;
    testsupport::RecordingDialogs *boxes = nullptr;
    Form1 *main = nullptr;

    // The colour the pane paints its interior with.
    QColor paintedColour()
    {
        const QImage shot = main->Picture5->grab().toImage();
        return shot.pixelColor(shot.width() / 2, shot.height() / 2);
    }

private slots:
    void init()
    {
        env = std::make_unique<testsupport::HermeticEnvironment>();
        boxes = &testsupport::installRecordingDialogs();
        platform::setTray(std::make_unique<FakeTray>());
        platform::testing::setPreviousInstanceRunning(false);
        app::setEndHandler([] {});
        main = new Form1();
        main->Form_Load();
    }
    void cleanup()
    {
        main->Unload();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    void presetsStoreTheirColourValue_data()
    {
        QTest::addColumn<QString>("preset");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QColor>("painted");
        QTest::newRow("light-grey") << "Grey" << "-2147483633"
                                    << QGuiApplication::palette().color(QPalette::Active, QPalette::Button);
        QTest::newRow("dark-black") << "Black" << "4210752" << QColor(64, 64, 64);
        QTest::newRow("dark-grey") << "Brown" << "8421504" << QColor(128, 128, 128);
    }
    void presetsStoreTheirColourValue()
    {
        QFETCH(QString, preset);
        QFETCH(QString, stored);
        QFETCH(QColor, painted);
        if (preset == QLatin1String("Grey"))
            main->Grey_Click();
        else if (preset == QLatin1String("Black"))
            main->Black_Click();
        else
            main->Brown_Click();
        QCOMPARE(settings::Read(settings::BackColor), stored);
        QCOMPARE(paintedColour(), painted);
    }

    void otherStoresTheChosenColour()
    {
        boxes->colorAnswers.push_back(qint32(0x00FF8000)); // blue 255, green 128, red 0
        main->other_Click();
        QCOMPARE(settings::Read(settings::BackColor), QStringLiteral("16744448"));
        QCOMPARE(paintedColour(), QColor(0, 128, 255));
    }

    void cancellingOtherRewritesTheCurrentColour()
    {
        main->Black_Click();
        settings::Write(settings::BackColor, QString()); // so the rewrite shows
        boxes->colorAnswers.push_back(std::nullopt);
        main->other_Click();
        QCOMPARE(boxes->shown.size(), 1);
        QCOMPARE(main->Picture5->BackColor(), qint32(0x404040));
        QCOMPARE(settings::Read(settings::BackColor), QStringLiteral("4210752"));
    }

    void aSystemColourFollowsThePalette()
    {
        main->Grey_Click();
        QPalette changed = QGuiApplication::palette();
        const QPalette original = changed;
        changed.setColor(QPalette::Button, QColor(10, 200, 30));
        QGuiApplication::setPalette(changed);
        QCOMPARE(paintedColour(), QColor(10, 200, 30));
        QGuiApplication::setPalette(original);
        QCOMPARE(settings::Read(settings::BackColor), QStringLiteral("-2147483633"));
    }

    void noticesAreLightBlueOnBlack()
    {
        const QList<controls::PictureBox *> notices{main->Picture1, main->Picture2, main->Picture3, main->Picture4};
        for (controls::PictureBox *box : notices) {
            QVERIFY(box->isHidden());
            const QImage image = box->Picture().image();
            QCOMPARE(image.size(), QSize(193, 33));
            QCOMPARE(image.pixelColor(0, 0), QColor(Qt::black));
            bool lightBlue = false;
            for (int y = 0; y < image.height() && !lightBlue; ++y)
                for (int x = 0; x < image.width() && !lightBlue; ++x) {
                    const QColor c = image.pixelColor(x, y);
                    lightBlue = c.blue() > 200 && c.blue() > c.red() + 60;
                }
            QVERIFY2(lightBlue, "no light-blue text drawn");
        }
        QCOMPARE(app::drawNameBanner().size(), QSize(144, 30));
        QCOMPARE(app::drawStartUpPicture().size(), QSize(352, 89));
    }
};

LUMADEX_TEST_CLASS(BackgroundColourTest);
#include "BackgroundColourTest.moc"
