#include "ShowFixture.h"

#include "controls/MenuItem.h"
#include "controls/Twips.h"
#include "platform/HostPath.h"
#include "platform/SystemColors.h"
#include "slideshow/DecodeAhead.h"
#include "tests/support/TestRunner.h"

#include <QDateTime>
#include <QFontInfo>
#include <QTest>

#include <cstdio>
#include <filesystem>

using slideshow::Form6;

namespace {

// Writes a small bitmap padded to exactly `length` bytes.
void writeBmpOfLength(const QString &file, qint64 length)
{
    QImage image(4, 4, QImage::Format_RGB32);
    image.fill(Qt::blue);
    image.save(file, "BMP");
    QFile f(file);
    QVERIFY(f.open(QIODevice::Append));
    QVERIFY(f.size() <= length);
    f.write(QByteArray(length - f.size(), '\0'));
}

// Records the path line of the show each time its picture is painted.
class PaintRecorder : public QObject {
public:
    QStringList painted;
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && Form6::loaded()) {
            const QString path = Form6::loaded()->Label1->Caption();
            if (!path.isEmpty() && (painted.isEmpty() || painted.last() != path))
                painted << path;
        }
        return QObject::eventFilter(watched, event);
    }
};

} // namespace

class FullScreenShowTest : public QObject {
    Q_OBJECT
    ShowFixture f;

private slots:
    void init() { f.setUp(); }
    void cleanup() { f.tearDown(); }

    void emptyFolderSaysSoAndChangesNothing()
    {
        f.start();
        QCOMPARE(f.boxes->shown.size(), 1);
        QCOMPARE(f.boxes->shown.first().text, QStringLiteral("No image file is existed in this folder"));
        QCOMPARE(f.boxes->shown.first().shownCaption(), QStringLiteral("Lumadex Viewer 3.01"));
        QVERIFY(!f.show());
        QVERIFY(f.main->isEnabled());
        QVERIFY(!f.main->Timer2->Enabled());
    }

    void f2StartsTheShowOnABlackScreen()
    {
        f.pictures(3);
        f.load();
        f.main->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(f.main));
        QTest::keyClick(f.main, Qt::Key_F2);
        Form6 *show = f.show();
        QVERIFY(show);
        QVERIFY(show->isVisible());
        QVERIFY(show->windowFlags() & Qt::FramelessWindowHint);
        QCOMPARE(show->size(), ShowFixture::screen());
        QCOMPARE(show->Picture1->size(), ShowFixture::screen());
        QCOMPARE(platform::resolveColor(show->Picture1->BackColor()), QColor(Qt::black));
        QVERIFY(show->Image1->Picture().isNull()); // nothing until the first tick
        QVERIFY(!f.main->isEnabled());
        QVERIFY(f.main->Timer2->Enabled());
        QCOMPARE(f.main->Timer2->Interval(), 1000);
    }

    void threePicturesInOrderThenTheEnd_data()
    {
        QTest::addColumn<QString>("loop");
        QTest::newRow("Loop absent") << QString();
        QTest::newRow("Loop 0") << QStringLiteral("0");
    }
    void threePicturesInOrderThenTheEnd()
    {
        QFETCH(QString, loop);
        f.pictures(3);
        settings::Write(settings::Loop, loop);
        f.start();
        for (int i = 1; i <= 3; ++i) {
            f.tick();
            QCOMPARE(ShowFixture::shownPath(), ShowFixture::path(i));
            QCOMPARE(ShowFixture::shownColour(), ShowFixture::colour(i));
            QVERIFY(f.show()->Label3->Caption().endsWith(QStringLiteral(" (%1/3)").arg(i)));
            QCOMPARE(f.main->SBack, i - 1);
            QCOMPARE(f.main->ShowCnt, i);
        }
        f.tick();
        f.verifyShowEnded();
        // The main window works again: a click on a file loads it.
        f.main->File1->setListIndex(1);
        QCOMPARE(f.main->Label3->Caption(), ShowFixture::path(2));
        QVERIFY(f.main->fullscreen->isReachable());
    }

    void loopStartsAgainWithoutAPause()
    {
        f.pictures(3);
        settings::Write(settings::Loop, QStringLiteral("1"));
        f.start();
        f.tick(3);
        f.tick();
        QCOMPARE(ShowFixture::shownPath(), ShowFixture::path(1));
        QCOMPARE(f.main->ShowCnt, 1);
        QVERIFY(f.show());
    }

    void startsWithTheSelectedEntry()
    {
        f.pictures(6);
        f.start(4);
        QCOMPARE(f.main->StartCnt, 4);
        f.tick();
        QCOMPARE(ShowFixture::shownPath(), ShowFixture::path(5));
        // The show walks the list without moving the selection, which the
        // start's refresh has cleared.
        QCOMPARE(f.main->File1->ListIndex(), -1);
    }

    void sizeLineForSmallFiles_data()
    {
        QTest::addColumn<qint64>("length");
        QTest::addColumn<QString>("text");
        QTest::newRow("300 bytes") << qint64(300) << QStringLiteral("300bytes (1/1)");
        QTest::newRow("1,536 bytes") << qint64(1536) << QStringLiteral("2KB (1/1)");
        QTest::newRow("2,560 bytes") << qint64(2560) << QStringLiteral("2KB (1/1)");
    }
    void sizeLineForSmallFiles()
    {
        QFETCH(qint64, length);
        QFETCH(QString, text);
        writeBmpOfLength(f.file(QStringLiteral("small.bmp")), length);
        settings::Write(settings::FileSize, QStringLiteral("1"));
        f.start();
        f.tick();
        QCOMPARE(f.show()->Label3->Caption(), text);
        QCOMPARE(f.show()->Label2->Caption(), QStringLiteral("4 X 4"));
    }

    // Names that are not UTF-8 show their sizes and are decoded ahead like
    // any other.
    void hostNamesShowWithTheirSizes()
    {
        for (const QByteArray &name : {QByteArray("caf\xe9 1.bmp"), QByteArray("caf\xe9 2.bmp")}) {
            writeBmpOfLength(f.file(QStringLiteral("plain.bmp")), 300);
            QVERIFY(std::rename(QFile::encodeName(f.file(QStringLiteral("plain.bmp"))).constData(),
                                (QFile::encodeName(f.file(QString())) + name).constData())
                    == 0);
        }
        settings::Write(settings::FileSize, QStringLiteral("1"));
        f.start();
        f.tick();
        QCOMPARE(f.shownPath(), QStringLiteral("C:\\Pictures\\caf\uF0E9 1.bmp"));
        QCOMPARE(f.show()->Label3->Caption(), QStringLiteral("300bytes (1/2)"));
        const QString second = f.file(QString()) + platform::hostPathFromBytes("caf\xe9 2.bmp");
        QCOMPARE(f.show()->decodeAhead().pendingPath(), second);
        QTRY_VERIFY(f.show()->decodeAhead().isReady());
        QCOMPARE(slideshow::stampOf(second).size, qint64(300));
        f.tick();
        QCOMPARE(f.show()->Label3->Caption(), QStringLiteral("300bytes (2/2)"));
    }

    void damagedFileShowsTheBannerForOneTick()
    {
        f.pictures(3);
        testsupport::writeFile(f.file(ShowFixture::name(2)), QByteArray("BM") + QByteArray(98, 'x'));
        f.start();
        f.tick(2);
        Form6 *show = f.show();
        const controls::ImageControl &image = *show->Image1;
        QVERIFY(ShowFixture::sameImage(image.Picture(), f.main->Picture4->Picture()));
        QCOMPARE(show->Label2->Caption(), QStringLiteral("193 X 33"));
        QCOMPARE(show->Label3->Caption(), QStringLiteral("100bytes (2/3)"));
        QCOMPARE(ShowFixture::shownPath(), ShowFixture::path(2));
        // Centred at its own size.
        const QSize screen = ShowFixture::screen();
        QCOMPARE(image.Width(), 193.0f);
        QCOMPARE(image.Height(), 33.0f);
        QCOMPARE(image.Left(), float(screen.width() * 15) / 30 - 193.0f / 2);
        QCOMPARE(image.Top(), float(screen.height() * 15) / 30 - 33.0f / 2);
        QVERIFY(image.Visible());
        QVERIFY(f.boxes->shown.isEmpty());
        f.tick();
        QCOMPARE(ShowFixture::shownColour(), ShowFixture::colour(3));
        QCOMPARE(show->Label2->Caption(), QStringLiteral("43 X 30"));
    }

    void vanishedFileEmptiesBothSizeLines()
    {
        f.pictures(2);
        f.start();
        QFile::remove(f.file(ShowFixture::name(1)));
        f.tick();
        QVERIFY(ShowFixture::sameImage(f.show()->Image1->Picture(), f.main->Picture4->Picture()));
        QCOMPARE(f.show()->Label2->Caption(), QString());
        QCOMPARE(f.show()->Label3->Caption(), QString());
        QCOMPARE(ShowFixture::shownPath(), ShowFixture::path(1));
    }

    void fitOnTheScreen_data()
    {
        const QSize screen = ShowFixture::screen();
        const float sw = float(screen.width());
        const float sh = float(screen.height());
        QTest::addColumn<QSize>("natural");
        QTest::addColumn<float>("width");
        QTest::addColumn<float>("height");
        QTest::newRow("smaller: natural size") << QSize(100, 60) << 100.0f << 60.0f;
        QTest::newRow("three times as wide as high, wider than the screen")
            << QSize(screen.width() * 3, screen.width()) << sw << sw / (sw * 3) * sw;
        QTest::newRow("taller than the screen") << QSize(100, screen.height() * 2) << sh / (sh * 2) * 100 << sh;
    }
    void fitOnTheScreen()
    {
        QFETCH(QSize, natural);
        QFETCH(float, width);
        QFETCH(float, height);
        f.picture(QStringLiteral("Pictures/a.bmp"), natural, Qt::red);
        f.start();
        f.tick();
        const controls::ImageControl &image = *f.show()->Image1;
        const QSize screen = ShowFixture::screen();
        QVERIFY(image.Stretch());
        QCOMPARE(image.Width(), width);
        QCOMPARE(image.Height(), height);
        QCOMPARE(image.Left(), float(screen.width() * 15) / 30 - width / 2);
        QCOMPARE(image.Top(), float(screen.height() * 15) / 30 - height / 2);
        QCOMPARE(f.show()->Label2->Caption(), QStringLiteral("%1 X %2").arg(natural.width()).arg(natural.height()));
        // Decoded for the screen, not at the file's size.
        QVERIFY(image.Picture().image().width() <= screen.width());
        const QImage shot = f.show()->grab().toImage();
        QCOMPARE(shot.pixelColor(screen.width() / 2, screen.height() / 2), QColor(Qt::red));
    }

    void onlyLocateShowsOnlyThePath()
    {
        f.pictures(1);
        settings::Write(settings::Locate, QStringLiteral("1"));
        f.start();
        f.tick();
        Form6 *show = f.show();
        QVERIFY(show->Label1->isVisible());
        QVERIFY(!show->Label2->isVisible());
        QVERIFY(!show->Label3->isVisible());
        // The hidden lines are filled in all the same.
        QCOMPARE(show->Label2->Caption(), QStringLiteral("41 X 30"));
        QCOMPARE(show->Label1->geometry().topLeft(), QPoint(0, 0));
        QCOMPARE(show->Label1->palette().color(QPalette::WindowText), QColor(0, 255, 0));
        const QFontInfo font(show->Label1->font());
        QVERIFY2(font.family() == QLatin1String("Arial") || font.family() == QLatin1String("Liberation Sans"),
                 qPrintable(font.family()));
        QVERIFY(font.bold());
        QCOMPARE(show->Label1->font().pointSizeF(), 8.25);
        const QImage shot = show->grab().toImage();
        bool green = false;
        for (int x = 0; x < show->Label1->width() && !green; ++x)
            for (int y = 0; y < show->Label1->height() && !green; ++y)
                green = shot.pixelColor(x, y) == QColor(0, 255, 0);
        QVERIFY(green);
    }

    void replacedFileAfterDecodingAheadShowsTheNewFile()
    {
        f.pictures(3);
        f.start();
        f.tick();
        slideshow::DecodeAhead &ahead = f.show()->decodeAhead();
        const QString second = f.file(ShowFixture::name(2));
        QCOMPARE(ahead.pendingPath(), second);
        QTRY_VERIFY(ahead.isReady());
        f.picture(QStringLiteral("Pictures/") + ShowFixture::name(2), {70, 20}, Qt::white);
        QVERIFY(ShowFixture::touch(second, 5));
        f.tick();
        QCOMPARE(ShowFixture::shownColour(), QColor(Qt::white).rgb());
        QCOMPARE(f.show()->Label2->Caption(), QStringLiteral("70 X 20"));
    }

    void everyPictureIsPaintedWithTheShortestDelay()
    {
        f.pictures(5);
        f.load();
        f.main->cuspeed = 1;
        f.main->FullScreen_Click();
        PaintRecorder recorder;
        f.show()->Image1->installEventFilter(&recorder);
        QTRY_VERIFY_WITH_TIMEOUT(!f.show(), 30000);
        QStringList expected;
        for (int i = 1; i <= 5; ++i)
            expected << ShowFixture::path(i);
        QCOMPARE(recorder.painted, expected);
        f.verifyShowEnded();
    }

    void positionsBeyond32767StayPositive()
    {
        constexpr int count = 32800;
        f.picture(QStringLiteral("Pictures/f00000.bmp"), {1, 1});
        const std::filesystem::path first = f.file(QStringLiteral("f00000.bmp")).toStdString();
        // Links to one file: as many names, without as many files to create.
        for (int i = 1; i < count; ++i)
            std::filesystem::create_hard_link(first, f.file(QStringLiteral("f%1.bmp").arg(i, 5, 10, QLatin1Char('0'))).toStdString());
        const QString size = QString::number(QFileInfo(f.file(QStringLiteral("f00000.bmp"))).size()) + QStringLiteral("bytes");
        settings::Write(settings::Loop, QStringLiteral("1"));
        f.start(count - 2);
        f.tick();
        QCOMPARE(f.main->SBack, count - 2);
        QCOMPARE(f.show()->Label3->Caption(), size + QStringLiteral(" (32799/32800)"));
        f.tick();
        QCOMPARE(f.show()->Label3->Caption(), size + QStringLiteral(" (32800/32800)"));
        ShowFixture::show()->Image1_Click();
        ShowFixture::panel()->Command1_Click();
        QCOMPARE(f.main->SBack, count - 2);
        QCOMPARE(ShowFixture::shownPath(), QStringLiteral("C:\\Pictures\\f32798.bmp"));
        ShowFixture::panel()->resume1_Click();
        f.tick(2);
        QCOMPARE(f.show()->Label3->Caption(), size + QStringLiteral(" (1/32800)"));
    }
};

LUMADEX_TEST_CLASS(FullScreenShowTest);

#include "FullScreenShowTest.moc"
