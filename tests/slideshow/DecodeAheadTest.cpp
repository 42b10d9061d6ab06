#include "picture/metafile/writer/MetafileWriter.h"
#include "slideshow/DecodeAhead.h"
#include "slideshow/ShowText.h"
#include "tests/support/TestEnvironment.h"
#include "tests/support/TestRunner.h"

#include <QBuffer>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QSemaphore>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <memory>
#include <mutex>

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

// A reader whose decodes wait until the test lets them finish, and that
// counts the pictures alive: those in the making and those made and not yet
// freed.
struct GatedReader {
    QSemaphore gate;
    std::mutex mutex;
    QStringList begun;
    int making = 0;
    std::shared_ptr<std::atomic<int>> made = std::make_shared<std::atomic<int>>(0);
    int mostAlive = 0;

    int inside()
    {
        std::lock_guard lock(mutex);
        return making;
    }
    QStringList begunFiles()
    {
        std::lock_guard lock(mutex);
        return begun;
    }
    slideshow::DecodeAhead::Reader reader()
    {
        return [this](const QString &path, const ShowTarget &) {
            {
                std::lock_guard lock(mutex);
                begun << path;
                ++making;
                mostAlive = std::max(mostAlive, making + made->load());
            }
            gate.acquire();
            // The pixels live as long as the image: freeing them counts the
            // picture gone.
            struct Pixels {
                uchar data[4] = {};
                std::shared_ptr<std::atomic<int>> made;
            };
            auto *pixels = new Pixels{{}, made};
            const QImage image(pixels->data, 1, 1, QImage::Format_RGB32, [](void *info) {
                auto *freed = static_cast<Pixels *>(info);
                --*freed->made;
                delete freed;
            }, pixels);
            {
                // Made and no longer making in one step: a decode that
                // begins meanwhile must not count this picture twice.
                std::lock_guard lock(mutex);
                ++*made;
                --making;
            }
            return picture::LoadResult{picture::Picture::fromImage(image), {}};
        };
    }
};

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
        ahead.request({file}, Screen);
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
        ahead.request({a}, Screen);
        QVERIFY(!ahead.take(b, Screen));
        QVERIFY(!ahead.take(a, ShowTarget{picture::DecodeSize::within({50, 50}), Qt::blue}));
        // A newer request replaces the older one.
        ahead.request({b}, Screen);
        QVERIFY(!ahead.take(a, Screen));
        QVERIFY(ahead.take(b, Screen));
    }

    void aFileChangedSinceItWasDecodedIsStale()
    {
        const QString file = bitmap(dir, QStringLiteral("c.bmp"), {30, 30}, Qt::green);
        DecodeAhead ahead;
        ahead.request({file}, Screen);
        QTRY_VERIFY(ahead.isReady());
        bitmap(dir, QStringLiteral("c.bmp"), {30, 30}, Qt::white); // same length
        QFile changed(file);
        QVERIFY(changed.open(QIODevice::ReadWrite));
        QVERIFY(changed.setFileTime(QDateTime::currentDateTime().addSecs(-60), QFileDevice::FileModificationTime));
        changed.close();
        QVERIFY(!ahead.take(file, Screen));

        ahead.request({file}, Screen);
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
        ahead.request({file}, Screen);
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
        ahead.request({file}, Screen);
        QVERIFY(!ahead.take(file, Screen));
    }

    // Two workers: the next two pictures are decoded at the same time, and
    // a third named is left for a later request.
    void theNextTwoAreDecodedAtOnce()
    {
        GatedReader gated;
        const QString a = bitmap(dir, QStringLiteral("a.bmp"), {4, 4}, Qt::red);
        const QString b = bitmap(dir, QStringLiteral("b.bmp"), {4, 4}, Qt::red);
        const QString c = bitmap(dir, QStringLiteral("c.bmp"), {4, 4}, Qt::red);
        {
            DecodeAhead ahead(gated.reader());
            ahead.request({a, b, c}, Screen);
            QTRY_COMPARE(gated.inside(), 2);
            QCOMPARE(ahead.pendingPath(), a);
            QVERIFY(ahead.isDecoding(b, Screen));
            QVERIFY(!ahead.isDecoding(c, Screen));
            gated.gate.release(2);
            // Taken out of order: the other stays pending.
            QVERIFY(ahead.take(b, Screen));
            QCOMPARE(ahead.pendingPath(), a);
            QVERIFY(ahead.take(a, Screen));
            QCOMPARE(ahead.pendingPath(), QString());
        }
        QCOMPARE(gated.begunFiles().size(), 2);
    }

    // A jump while two decodes are under way: the pictures passed are
    // dropped, those not begun never begin, and with the two under way
    // running to their end no third picture is made meanwhile.
    void droppedDecodesKeepAtMostTwoPicturesAlive()
    {
        GatedReader gated;
        QStringList files;
        for (const char *name : {"a", "b", "c", "d", "e", "f"})
            files << bitmap(dir, QString::fromLatin1(name) + QStringLiteral(".bmp"), {4, 4}, Qt::red);
        {
            DecodeAhead ahead(gated.reader());
            ahead.request({files[0], files[1]}, Screen);
            QTRY_COMPARE(gated.inside(), 2);
            ahead.request({files[2], files[3]}, Screen); // waits for a place
            ahead.request({files[4], files[5]}, Screen); // c and d are dropped before they begin
            gated.gate.release(4);
            QTRY_VERIFY(!ahead.isDecoding(files[4], Screen) && !ahead.isDecoding(files[5], Screen));
            QStringList begun = gated.begunFiles(); // two at a time, in either order
            begun.sort();
            QCOMPARE(begun, (QStringList{files[0], files[1], files[4], files[5]}));
            QVERIFY(ahead.take(files[4], Screen));
            // One decoded and kept, one dropped while under way: a new one
            // waits until the dropped one is done.
            ahead.request({files[5], files[0]}, Screen);
            ahead.request({files[5], files[1]}, Screen);
            gated.gate.release(2);
            QVERIFY(ahead.take(files[1], Screen));
            QVERIFY(gated.mostAlive <= DecodeAhead::Workers);
        }
        QCOMPARE(gated.made->load(), 0); // nothing left behind
    }

    void upcomingShowIndices_data()
    {
        QTest::addColumn<int>("first");
        QTest::addColumn<int>("count");
        QTest::addColumn<bool>("loop");
        QTest::addColumn<QList<qint32>>("indices");
        QTest::newRow("the next two") << 0 << 3 << false << QList<qint32>{0, 1};
        QTest::newRow("the last: only itself") << 2 << 3 << false << QList<qint32>{2};
        QTest::newRow("the last, looping") << 2 << 3 << true << QList<qint32>{2, 0};
        QTest::newRow("the show ends") << -1 << 3 << true << QList<qint32>{};
        QTest::newRow("past the list") << 3 << 3 << true << QList<qint32>{};
    }
    void upcomingShowIndices()
    {
        QFETCH(int, first);
        QFETCH(int, count);
        QFETCH(bool, loop);
        QFETCH(QList<qint32>, indices);
        const std::optional<qint32> start = first < 0 ? std::nullopt : std::optional<qint32>(first);
        const std::vector<qint32> got = slideshow::upcomingShowIndices(start, count, loop, DecodeAhead::Workers);
        QCOMPARE(QList<qint32>(got.begin(), got.end()), indices);
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
