#include "picture/metafile/writer/MetafileWriter.h"
#include "slideshow/DecodeAhead.h"
#include "slideshow/ShowText.h"
#include "tests/support/TestEnvironment.h"
#include "tests/support/TestRunner.h"

#include <QBuffer>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <filesystem>

using slideshow::DecodeAhead;
using slideshow::ShowTarget;

Q_DECLARE_METATYPE(picture::DecodeSize)

namespace {

const ShowTarget Screen{picture::DecodeSize::within({100, 100}), Qt::blue};

QByteArray bmp(QSize size, QColor colour)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "BMP");
    return bytes;
}

QString bitmap(const QTemporaryDir &dir, const QString &name, QSize size, QColor colour)
{
    const QString file = dir.filePath(name);
    testsupport::writeFile(file, bmp(size, colour));
    return file;
}

bool setModified(const QString &file, qint64 ms)
{
    QFile f(file);
    return f.open(QIODevice::ReadWrite) && f.setFileTime(QDateTime::fromMSecsSinceEpoch(ms), QFileDevice::FileModificationTime);
}

} // namespace

class DecodeAheadTest : public QObject {
    Q_OBJECT
    QTemporaryDir dir;

private slots:
    void largeRasterIsReducedToTheDrawnSize()
    {
        const picture::LoadResult loaded =
            slideshow::loadForShow(bitmap(dir, QStringLiteral("wide.bmp"), {400, 200}, Qt::red), Screen);
        QVERIFY(loaded.ok());
        QCOMPARE(loaded.picture.naturalSize(), QSize(400, 200));
        QCOMPARE(loaded.picture.image().size(), QSize(100, 50));
        QCOMPARE(loaded.picture.image().pixelColor(50, 25), QColor(Qt::red));

        const picture::LoadResult small =
            slideshow::loadForShow(bitmap(dir, QStringLiteral("small.bmp"), {40, 20}, Qt::red), Screen);
        QCOMPARE(small.picture.image().size(), QSize(40, 20));
        QVERIFY(!small.picture.isReduced());
    }

    void drawingIsDrawnAtTheShownSizeOverTheBackground()
    {
        picture::metafile::writer::WmfWriter wmf(true, QRect(0, 0, 400, 400), 96);
        wmf.selectObject(wmf.createBrush(0, Qt::red));
        wmf.selectObject(wmf.createPen(5, 0, Qt::black)); // no outline
        wmf.rectangle(QRect(100, 100, 200, 200));
        const QString file = dir.filePath(QStringLiteral("square.wmf"));
        QVERIFY(testsupport::writeFile(file, wmf.finish()));
        const picture::LoadResult loaded = slideshow::loadForShow(file, Screen);
        QVERIFY2(loaded.ok(), qPrintable(loaded.error));
        QVERIFY(!loaded.picture.isDrawing());
        QCOMPARE(loaded.picture.naturalSize(), QSize(400, 400));
        QCOMPARE(loaded.picture.image().size(), QSize(100, 100));
        QCOMPARE(loaded.picture.image().pixelColor(50, 50), QColor(Qt::red));
        QCOMPARE(loaded.picture.image().pixelColor(5, 5), QColor(Qt::blue));
    }

    // A drawing gets the pixels it covers on the screen: its natural size
    // times the screen's pixel ratio, within the box, or the whole box when
    // it is stretched to it.
    void drawingIsDrawnOnTheScreensPixels_data()
    {
        QTest::addColumn<picture::DecodeSize>("size");
        QTest::addColumn<qreal>("ratio");
        QTest::addColumn<QSize>("drawn");
        using picture::DecodeSize;
        QTest::newRow("fits, scale 2") << DecodeSize::within({1000, 1000}) << 2.0 << QSize(800, 800);
        QTest::newRow("shrunk, scale 2") << DecodeSize::within({600, 300}) << 2.0 << QSize(300, 300);
        QTest::newRow("natural size, scale 1.25") << DecodeSize::natural() << 1.25 << QSize(500, 500);
        QTest::newRow("stretched larger") << DecodeSize::exactly({900, 500}) << 1.0 << QSize(900, 500);
    }
    void drawingIsDrawnOnTheScreensPixels()
    {
        QFETCH(picture::DecodeSize, size);
        QFETCH(qreal, ratio);
        QFETCH(QSize, drawn);
        picture::metafile::writer::WmfWriter wmf(true, QRect(0, 0, 400, 400), 96);
        wmf.selectObject(wmf.createBrush(0, Qt::red));
        wmf.rectangle(QRect(0, 0, 400, 400));
        const QString file = dir.filePath(QStringLiteral("red.wmf"));
        QVERIFY(testsupport::writeFile(file, wmf.finish()));
        const picture::LoadResult loaded = slideshow::loadForShow(file, {size, Qt::blue, ratio});
        QVERIFY2(loaded.ok(), qPrintable(loaded.error));
        QCOMPARE(loaded.picture.naturalSize(), QSize(400, 400));
        QCOMPARE(loaded.picture.image().size(), drawn);
    }

    void theRequestedPictureIsHandedOverOnce()
    {
        const QString file = bitmap(dir, QStringLiteral("a.bmp"), {300, 300}, Qt::green);
        DecodeAhead ahead;
        ahead.request(file, Screen);
        QCOMPARE(ahead.pendingPath(), file);
        const std::optional<picture::Picture> taken = ahead.take(file, Screen);
        QVERIFY(taken);
        QCOMPARE(taken->image().size(), QSize(100, 100));
        QVERIFY(!ahead.take(file, Screen));
    }

    void anotherFileOrTargetGetsNothing()
    {
        const QString a = bitmap(dir, QStringLiteral("a.bmp"), {30, 30}, Qt::green);
        const QString b = bitmap(dir, QStringLiteral("b.bmp"), {30, 30}, Qt::green);
        DecodeAhead ahead;
        ahead.request(a, Screen);
        QVERIFY(!ahead.take(b, Screen));
        QVERIFY(!ahead.take(a, ShowTarget{picture::DecodeSize::within({50, 50}), Qt::blue}));
        // A newer request replaces the older one.
        ahead.request(b, Screen);
        QVERIFY(!ahead.take(a, Screen));
        QVERIFY(ahead.take(b, Screen));
    }

    void aFileChangedSinceItWasDecodedIsStale()
    {
        const QString file = bitmap(dir, QStringLiteral("c.bmp"), {30, 30}, Qt::green);
        DecodeAhead ahead;
        ahead.request(file, Screen);
        QTRY_VERIFY(ahead.isReady());
        bitmap(dir, QStringLiteral("c.bmp"), {30, 30}, Qt::white); // same length
        QFile changed(file);
        QVERIFY(changed.open(QIODevice::ReadWrite));
        QVERIFY(changed.setFileTime(QDateTime::currentDateTime().addSecs(-60), QFileDevice::FileModificationTime));
        changed.close();
        QVERIFY(!ahead.take(file, Screen));

        ahead.request(file, Screen);
        QTRY_VERIFY(ahead.isReady());
        QFile::remove(file);
        QVERIFY(!ahead.take(file, Screen));
    }

    // Replacements that keep the length and the modification time: the
    // picture decoded ahead is the old one, and the new one is read instead.
    void aReplacementKeepingLengthAndTimeIsStale_data()
    {
        QTest::addColumn<bool>("renamedOver");
        QTest::newRow("rewritten in place, time put back (cp -p, touch -r)") << false;
        QTest::newRow("a copy renamed over it (sync tools)") << true;
    }
    void aReplacementKeepingLengthAndTimeIsStale()
    {
        QFETCH(bool, renamedOver);
        // 32 x 24 and 24 x 32 bitmaps of 24 bits have rows without padding,
        // so the two files are of one length.
        const QByteArray replacement = bmp({24, 32}, Qt::white);
        const QString file = bitmap(dir, QStringLiteral("same.bmp"), {32, 24}, Qt::green);
        QCOMPARE(QFileInfo(file).size(), qint64(replacement.size()));
        const slideshow::FileStamp before = slideshow::stampOf(file);
        DecodeAhead ahead;
        ahead.request(file, Screen);
        QTRY_VERIFY(ahead.isReady());
        // Change times are stamped from a coarse clock: let it pass the
        // original's first, as any replacement after the fact does.
        const QDateTime changed = QFileInfo(file).metadataChangeTime();
        const QString probe = dir.filePath(QStringLiteral("clock"));
        QTRY_VERIFY(testsupport::writeFile(probe, "x") && QFileInfo(probe).metadataChangeTime() > changed);

        if (renamedOver) {
            const QString copy = dir.filePath(QStringLiteral("same.bmp.part"));
            QVERIFY(testsupport::writeFile(copy, replacement));
            QVERIFY(setModified(copy, before.modifiedMs));
            std::filesystem::rename(copy.toStdString(), file.toStdString());
        } else {
            QVERIFY(testsupport::writeFile(file, replacement));
            QVERIFY(setModified(file, before.modifiedMs));
        }
        const slideshow::FileStamp after = slideshow::stampOf(file);
        QCOMPARE(after.size, before.size);
        QCOMPARE(after.modifiedMs, before.modifiedMs);

        const std::optional<picture::Picture> shown = slideshow::readForShow(ahead, file, Screen);
        QVERIFY(shown);
        QCOMPARE(shown->naturalSize(), QSize(24, 32));
        QCOMPARE(shown->image().pixelColor(0, 0), QColor(Qt::white));
    }

    void aFailedDecodeGivesNothing()
    {
        const QString file = dir.filePath(QStringLiteral("bad.bmp"));
        QVERIFY(testsupport::writeFile(file, "BM not a bitmap"));
        DecodeAhead ahead;
        ahead.request(file, Screen);
        QVERIFY(!ahead.take(file, Screen));
    }

    void nextShowIndex()
    {
        using slideshow::nextShowIndex;
        QCOMPARE(nextShowIndex(0, 3, false), std::optional<qint32>(1));
        QCOMPARE(nextShowIndex(2, 3, false), std::nullopt);
        QCOMPARE(nextShowIndex(2, 3, true), std::optional<qint32>(0));
        QCOMPARE(nextShowIndex(0, 0, true), std::nullopt);
        QCOMPARE(nextShowIndex(39998, 40000, false), std::optional<qint32>(39999));
    }
};

LUMADEX_TEST_CLASS(DecodeAheadTest);

#include "DecodeAheadTest.moc"
