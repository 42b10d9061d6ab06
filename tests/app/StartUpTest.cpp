#include "FakeTray.h"
#include "app/Form1.h"
#include "app/Form10.h"
#include "app/Icon.h"
#include "app/Runtime.h"
#include "controls/Label.h"
#include "controls/PictureBox.h"
#include "platform/SingleInstance.h"
#include "platform/SystemColors.h"
#include "settings/Settings.h"
#include "tests/support/RecordingDialogs.h"
#include "tests/support/TestEnvironment.h"
#include "tests/support/TestRunner.h"

#include <QApplication>
#include <QFontInfo>
#include <QGroupBox>
#include <QGuiApplication>
#include <QPainter>
#include <QScreen>
#include <QTest>

#include <memory>

using app::Form1;

namespace {

// The last pixel column that `text` inks, drawn from column 0.
int lastInkedColumn(const QFont &font, const QString &text)
{
    QImage image(QFontMetrics(font).horizontalAdvance(text) + 20, QFontMetrics(font).height(), QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        painter.setFont(font);
        painter.setPen(Qt::black);
        painter.drawText(0, QFontMetrics(font).ascent(), text);
    }
    int last = -1;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qGray(image.pixel(x, y)) < 200)
                last = std::max(last, x);
    return last;
}

} // namespace

class StartUpTest : public QObject {
    Q_OBJECT
    std::unique_ptr<testsupport::HermeticEnvironment> env;
    testsupport::RecordingDialogs *boxes = nullptr;
    FakeTray *tray = nullptr;
    int ended = 0;

    // Runs the start-up window's load, as the program's entry point does.
    Form1 *startUp()
    {
        auto *splash = new app::Form10();
        splash->Form_Load();
        return Form1::instance();
    }

private slots:
    void init()
    {
        env = std::make_unique<testsupport::HermeticEnvironment>();
        boxes = &testsupport::installRecordingDialogs();
        auto fake = std::make_unique<FakeTray>();
        tray = fake.get();
        platform::setTray(std::move(fake));
        platform::testing::setPreviousInstanceRunning(false);
        ended = 0;
        app::setEndHandler([this] { ++ended; });
    }
    void cleanup()
    {
        for (controls::Form *form : controls::Form::loadedForms())
            form->Unload();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!Form1::instance());
    }

    void firstRunStoresTheDefaults()
    {
        Form1 *main = startUp();
        QVERIFY(main);
        QVERIFY(main->isVisible());
        // The filter step opened the working folder, which named it in the title.
        QCOMPARE(main->Caption(), QStringLiteral("Lumadex Viewer 3.01  - C:\\"));
        QCOMPARE(main->cuspeed, 1000);
        QCOMPARE(main->Picture5->BackColor(), platform::systemColor(platform::COLOR_BTNFACE));
        QCOMPARE(settings::Read(settings::Speed), QStringLiteral("1000"));
        QCOMPARE(settings::Read(settings::First), QStringLiteral("1"));
        QCOMPARE(settings::Read(settings::BackColor), QStringLiteral("-2147483633"));
        QVERIFY(boxes->shown.isEmpty());
        // The start-up window is gone once the main window is up.
        QCOMPARE(controls::Form::loadedForms(), QList<controls::Form *>{main});
    }

    void theDelayComesFromTheSettings_data()
    {
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("speed");
        QTest::addColumn<int>("cuspeed");
        QTest::addColumn<QString>("storedSpeed");
        QTest::newRow("started-before-without-speed") << "1" << "" << 1000 << "";
        QTest::newRow("stored-delay") << "1" << "2500" << 2500 << "2500";
        QTest::newRow("fraction-rounds-half-to-even") << "1" << "2500.5" << 2500 << "2500.5";
        QTest::newRow("not-a-number-is-the-default") << "1" << "fast" << 1000 << "fast";
        QTest::newRow("zero-is-the-shortest") << "1" << "0" << 1 << "0";
        QTest::newRow("negative-is-the-shortest") << "1" << "-5" << 1 << "-5";
        QTest::newRow("first-run-overrides-speed") << "" << "2500" << 1000 << "1000";
    }
    void theDelayComesFromTheSettings()
    {
        QFETCH(QString, first);
        QFETCH(QString, speed);
        QFETCH(int, cuspeed);
        QFETCH(QString, storedSpeed);
        if (!first.isEmpty())
            settings::Write(settings::First, first);
        if (!speed.isEmpty())
            settings::Write(settings::Speed, speed);
        Form1 *main = startUp();
        QCOMPARE(main->cuspeed, cuspeed);
        QCOMPARE(settings::Read(settings::Speed), storedSpeed);
        QCOMPARE(settings::Read(settings::First), QStringLiteral("1"));
    }

    void theStoredBackgroundColourIsApplied_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<qint32>("pane");
        QTest::newRow("dark-black") << "4210752" << qint32(0x404040);
        QTest::newRow("system-colour-stays-an-index") << "-2147483633" << platform::systemColor(15);
        QTest::newRow("not-a-number-keeps-mid-grey") << "blue" << qint32(0x808080);
    }
    void theStoredBackgroundColourIsApplied()
    {
        QFETCH(QString, stored);
        QFETCH(qint32, pane);
        settings::Write(settings::BackColor, stored);
        Form1 *main = startUp();
        QCOMPARE(main->Picture5->BackColor(), pane);
        QCOMPARE(settings::Read(settings::BackColor), stored); // left unchanged
    }

    void startingInTheTrayKeepsTheWindowHidden()
    {
        settings::Write(settings::TrayIcon, QStringLiteral("1"));
        settings::Write(settings::BackColor, QStringLiteral("4210752"));
        Form1 *main = startUp();
        QVERIFY(main);
        QVERIFY(!main->isVisible());
        QVERIFY(tray->shown);
        QCOMPARE(tray->calls.size(), 1);
        QCOMPARE(tray->calls.first().message, platform::NIM_ADD);
        // The rest of the start-up still reaches the hidden window.
        QCOMPARE(main->Picture5->BackColor(), qint32(0x404040));
        QCOMPARE(main->cuspeed, 1000);
    }

    void openViewerBringsTheWindowBack()
    {
        settings::Write(settings::TrayIcon, QStringLiteral("1"));
        Form1 *main = startUp();
        QVERIFY(!main->isVisible());
        main->openview_Click();
        QVERIFY(main->isVisible());
        QVERIFY(!tray->shown);
        QCOMPARE(tray->calls.last().message, platform::NIM_DELETE);
        QCOMPARE(tray->calls.last().record, tray->calls.first().record); // the same record both times
    }

    void withoutANotificationAreaTheWindowStaysReachable()
    {
        settings::Write(settings::TrayIcon, QStringLiteral("1"));
        tray->available = false;
        Form1 *main = startUp();
        QVERIFY(main->isVisible());
    }

    void onlyTheTextOneStartsInTheTray()
    {
        settings::Write(settings::TrayIcon, QStringLiteral("yes"));
        Form1 *main = startUp();
        QVERIFY(main->isVisible());
        QVERIFY(tray->calls.isEmpty());
    }

    void theTrayRecordIsFilledAsTheShellExpectsIt()
    {
        Form1 *main = startUp();
        const platform::NotifyIconData &data = main->TrayIconData;
        QCOMPARE(data.cbSize, 88u);
        QCOMPARE(data.uID, 1u);
        QCOMPARE(data.uFlags, 7u);
        QCOMPARE(data.uCallbackMessage, 512u);
        QCOMPARE(data.hWnd, quint32(main->winId()));
        // The program's icon, which the main window has once it is on the
        // screen: the tray shows its picture.
        QCOMPARE(data.hIcon, quint32(app::applicationIcon().cacheKey()));
        QTRY_COMPARE(main->windowIcon().cacheKey(), app::applicationIcon().cacheKey());
        QCOMPARE(QApplication::windowIcon().cacheKey(), app::applicationIcon().cacheKey());
        for (const int side : {16, 32, 48, 256}) {
            const QPixmap picture = main->windowIcon().pixmap(QSize(side, side), 1.0);
            QCOMPARE(picture.size(), QSize(side, side));
            QVERIFY(!picture.toImage().allGray()); // the framed landscape, not a blank
        }
        const QByteArray bytes = data.toBytes();
        QCOMPARE(bytes.size(), 88);
        QCOMPARE(bytes.left(4), QByteArray("\x58\0\0\0", 4));
        const QByteArray tip = bytes.mid(24);
        QCOMPARE(tip.left(22), QByteArray("Lumadex Viewer 3.01  \0", 22));
        QCOMPARE(tip.mid(22), QByteArray(42, ' '));
    }

    void aSecondInstanceIsRefused()
    {
        platform::testing::setPreviousInstanceRunning(true);
        startUp();
        QCOMPARE(ended, 1);
        QCOMPARE(boxes->shown.size(), 1);
        const auto &shown = boxes->shown.first();
        QCOMPARE(shown.text, QStringLiteral("The program is already running!"));
        QCOMPARE(shown.shownCaption(), QStringLiteral("Lumadex Viewer 3.01"));
        QCOMPARE(shown.buttons(), platform::MsgStyle::OKOnly);
        QCOMPARE(shown.icon(), 0);
        // Nothing of the running copy's settings is touched.
        QCOMPARE(settings::Read(settings::First), QString());
        QVERIFY(tray->calls.isEmpty());
    }

    void everyCaptionOfTheMainWindowShowsInFull()
    {
        Form1 main;
        QVERIFY(QFontInfo(main.Label5->font()).family().contains(QStringLiteral("Liberation Sans")));
        QCOMPARE(QFontInfo(main.Label5->font()).pixelSize(), 11); // 8 points at 96 dpi
        main.Label7->setCaption(QStringLiteral("1023KB"));
        main.Label9->setCaption(QStringLiteral("1024 X 768"));
        for (const controls::Label *label : main.findChildren<controls::Label *>()) {
            if (label->Caption().isEmpty() || label->parentWidget() == main.Picture5)
                continue; // the hidden state labels inside the pane show nothing
            // A label draws its text from its left edge; every column of ink
            // must fall inside it.
            const int ink = lastInkedColumn(label->font(), label->Caption());
            QVERIFY2(ink < label->contentsRect().width(),
                     qPrintable(QStringLiteral("%1 \"%2\": ink to column %3 of %4")
                                    .arg(label->objectName(), label->Caption())
                                    .arg(ink)
                                    .arg(label->contentsRect().width())));
        }
        const int title = QFontMetrics(main.Frame1->font()).horizontalAdvance(main.Frame1->title());
        QVERIFY(title < main.Frame1->width() - 16);
    }

    void theCaptionBeforeAnyFolderIsTheShortName()
    {
        Form1 main;
        QCOMPARE(main.Caption(), QStringLiteral("Lumadex Viewer "));
    }

    void theStartUpWindowIsCentredAboveTheMiddle()
    {
        auto *splash = new app::Form10();
        QCOMPARE(splash->size(), QSize(356, 93));
        QVERIFY(splash->windowFlags() & Qt::FramelessWindowHint);
        splash->Form_Load();
        QCOMPARE(splash->Picture1->ScaleWidth(), 352);
        QCOMPARE(splash->Picture1->ScaleHeight(), 89);
        // Form_Load moved it before it handed over; it is unloaded now.
        QVERIFY(splash->isUnloaded());
        const QSize screen = QGuiApplication::primaryScreen()->geometry().size();
        QCOMPARE(splash->x(), qRound(screen.width() / 2.0 - 356 / 2.0));
        QCOMPARE(splash->y(), qRound(screen.height() * 0.9 / 2 - 93 / 2.0));
    }
};

LUMADEX_TEST_CLASS(StartUpTest);
#include "StartUpTest.moc"
