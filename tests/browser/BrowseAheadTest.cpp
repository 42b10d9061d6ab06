#include "MainWindowFixture.h"
#include "browser/FileInfo.h"
#include "browser/PictureLoading.h"
#include "controls/ComboBox.h"
#include "controls/FileListBox.h"
#include "controls/ImageControl.h"
#include "controls/Label.h"
#include "slideshow/DecodeAhead.h"
#include "tests/support/TestRunner.h"

#include <QApplication>
#include <QDateTime>
#include <QKeyEvent>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTest>

#include <condition_variable>
#include <memory>
#include <mutex>

namespace {

// Holds the workers' reads up while closed.
class Gate {
public:
    void setOpen(bool open)
    {
        {
            std::lock_guard lock(m_mutex);
            m_open = open;
        }
        m_changed.notify_all();
    }
    picture::LoadResult read(const QString &hostPath, const picture::DecodeSize &size)
    {
        {
            std::unique_lock lock(m_mutex);
            m_changed.wait(lock, [this] { return m_open; });
        }
        return picture::load(hostPath, size);
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    bool m_open = true;
};

} // namespace

// Stepping through the list with the neighbours decoded ahead.
class BrowseAheadTest : public QObject {
    Q_OBJECT
    MainWindowFixture f;

    static QString name(int i) { return QStringLiteral("p%1.bmp").arg(i); }
    QString file(int i) const { return f.c() + QStringLiteral("/Pictures/") + name(i); }
    static QRgb colour(int i) { return QColor::fromHsv(i * 40 % 360, 255, 255).rgb(); }

    app::Form1 *pictures(int count)
    {
        for (int i = 0; i < count; ++i)
            f.picture(QStringLiteral("Pictures/") + name(i), {40 + i, 30}, colour(i));
        app::Form1 *main = f.load();
        main->File1->setFocus();
        return main;
    }
    // What the user sees of a step: the title, the picture and its size.
    void verifyShown(int i, int count) const
    {
        QCOMPARE(f.main->Caption(),
                 QStringLiteral("Lumadex Viewer 3.01  - C:\\Pictures\\%1 (%2/%3)").arg(name(i)).arg(i + 1).arg(count));
        QCOMPARE(f.main->Label9->Caption(), QStringLiteral("%1 X 30").arg(40 + i));
        QCOMPARE(f.main->Image1->Picture().image().pixel(0, 0), colour(i));
    }
    // The first press, then `repeats` - 1 auto-repeated ones; then the key
    // is let go unless `release` says otherwise.
    static void holdKey(QWidget *list, Qt::Key key, int repeats, bool release = true)
    {
        for (int i = 0; i < repeats; ++i) {
            QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, QString(), i > 0);
            QApplication::sendEvent(list, &press);
        }
        if (release)
            releaseKey(list, key);
    }
    static void releaseKey(QWidget *list, Qt::Key key)
    {
        QKeyEvent up(QEvent::KeyRelease, key, Qt::NoModifier);
        QApplication::sendEvent(list, &up);
    }

private slots:
    void init() { f.setUp(); }
    void cleanup() { f.tearDown(); }

    void theNextPicturesAheadFollowTheDirectionOfTravel()
    {
        app::Form1 *main = pictures(5);
        slideshow::DecodeAhead &ahead = main->browseAhead();
        main->File1->setListIndex(1);
        QCOMPARE(ahead.pendingPath(), file(2));
        QTest::keyClick(main->File1, Qt::Key_Down);
        verifyShown(2, 5);
        QCOMPARE(ahead.pendingPath(), file(3));
        QTest::keyClick(main->File1, Qt::Key_Up);
        verifyShown(1, 5);
        QCOMPARE(ahead.pendingPath(), file(0));
        // Reloading in another mode keeps the direction.
        main->auto1_Click();
        QCOMPARE(ahead.pendingPath(), file(0));
        // Turned off, a step reads its file itself and decodes nothing ahead.
        main->DecodeAheadWhenBrowsing = false;
        main->File1->setListIndex(3);
        verifyShown(3, 5);
        QVERIFY(!ahead.isDecoding(file(4), {picture::DecodeSize::within({1, 1})}));
        QCOMPARE(ahead.pendingPath(), file(0)); // the last request, never taken
    }

    // The picture decoded ahead is only a faster way to the same picture:
    // a file changed since, or one that fails, goes the step's own way.
    void aStepShowsTheFileAsItIsNow_data()
    {
        QTest::addColumn<QString>("change");
        QTest::newRow("replaced") << QStringLiteral("replaced");
        QTest::newRow("damaged") << QStringLiteral("damaged");
        QTest::newRow("vanished") << QStringLiteral("vanished");
    }
    void aStepShowsTheFileAsItIsNow()
    {
        QFETCH(QString, change);
        app::Form1 *main = pictures(3);
        main->File1->setListIndex(0);
        QTRY_VERIFY(main->browseAhead().isReady());
        QCOMPARE(main->browseAhead().pendingPath(), file(1));
        if (change == QLatin1String("replaced")) {
            f.picture(QStringLiteral("Pictures/") + name(1), {70, 20}, Qt::white);
            QFile touched(file(1));
            QVERIFY(touched.open(QIODevice::ReadWrite));
            QVERIFY(touched.setFileTime(QDateTime::currentDateTime().addSecs(5), QFileDevice::FileModificationTime));
        } else if (change == QLatin1String("damaged")) {
            QVERIFY(testsupport::writeFile(file(1), QByteArray("BM") + QByteArray(98, 'x')));
        } else {
            QVERIFY(QFile::remove(file(1)));
        }
        QTest::keyClick(main->File1, Qt::Key_Down);
        if (change == QLatin1String("replaced")) {
            QVERIFY(f.boxes->shown.isEmpty());
            QCOMPARE(main->Label9->Caption(), QStringLiteral("70 X 20"));
            QCOMPARE(main->Image1->Picture().image().pixel(0, 0), QColor(Qt::white).rgb());
        } else {
            QCOMPARE(f.boxes->shown.size(), 1);
            QCOMPARE(f.boxes->shown.first().caption, QStringLiteral("Lumadex Viewer"));
            QCOMPARE(main->Combo1->ListIndex(), 0);
        }
    }

    // A held key moves on while pictures decode: the window does not wait
    // for them, the entries it passes are not loaded one by one, and
    // letting it go shows the entry it stopped on.
    void aHeldKeyDoesNotWaitForPicturesItPasses()
    {
        app::Form1 *main = pictures(10);
        const auto gate = std::make_shared<Gate>();
        main->setBrowseReader([gate](const QString &file, const picture::DecodeSize &size) { return gate->read(file, size); });
        const auto reopen = qScopeGuard([gate] { gate->setOpen(true); }); // also when a check fails
        main->File1->setListIndex(0);
        const slideshow::ShowTarget pane{app::decodeSizeForMode(*main)};
        QTRY_VERIFY(main->browseAhead().isReady() && !main->browseAhead().isDecoding(file(2), pane));
        QSignalSpy titles(main, &QWidget::windowTitleChanged);
        gate->setOpen(false);
        // Only entries 1 and 2, decoded ahead before, can show now.
        holdKey(main->File1, Qt::Key_Down, 8, false);
        QCOMPARE(main->File1->ListIndex(), 8);
        QVERIFY2(titles.count() <= 2, qPrintable(main->Caption()));
        QVERIFY(main->Label3->Caption() != QStringLiteral("C:\\Pictures\\") + name(8));
        gate->setOpen(true);
        releaseKey(main->File1, Qt::Key_Down);
        QTRY_COMPARE(main->Label3->Caption(), QStringLiteral("C:\\Pictures\\") + name(8));
        verifyShown(8, 10);
        QVERIFY2(titles.count() < 8, qPrintable(QString::number(titles.count())));
        QVERIFY(f.boxes->shown.isEmpty());
    }

    // The pane catches up with the entry a held key stopped on, and a file
    // that fails there still gives its message, once.
    void aHeldKeyEndsOnTheEntryItStoppedOn()
    {
        app::Form1 *main = pictures(8);
        main->File1->setListIndex(0);
        holdKey(main->File1, Qt::Key_Down, 6);
        QCOMPARE(main->File1->ListIndex(), 6);
        QTRY_COMPARE(main->Label3->Caption(), QStringLiteral("C:\\Pictures\\") + name(6));
        verifyShown(6, 8);
        holdKey(main->File1, Qt::Key_Up, 3);
        QTRY_COMPARE(main->Label3->Caption(), QStringLiteral("C:\\Pictures\\") + name(3));
        verifyShown(3, 8);
        QVERIFY(f.boxes->shown.isEmpty());

        QVERIFY(testsupport::writeFile(file(7), "not a picture"));
        holdKey(main->File1, Qt::Key_Down, 4);
        QTRY_COMPARE(f.boxes->shown.size(), 1);
        QCOMPARE(f.boxes->shown.first().caption, QStringLiteral("Lumadex Viewer"));
        QCOMPARE(main->Combo1->ListIndex(), 0);
    }

    void heldKeyTargets_data()
    {
        QTest::addColumn<int>("at");
        QTest::addColumn<int>("direction");
        QTest::addColumn<QList<int>>("pending");
        QTest::addColumn<double>("decodeMs");
        QTest::addColumn<QList<int>>("targets");
        // 70 ms a decode at 30 keys a second: ready 4 entries ahead, every
        // second entry with two workers.
        QTest::newRow("from nothing") << 0 << 1 << QList<int>{} << 70.0 << QList<int>{4, 6};
        QTest::newRow("one pending: the next after it") << 10 << 1 << QList<int>{12} << 70.0 << QList<int>{12, 14};
        QTest::newRow("passed ones are dropped") << 10 << 1 << QList<int>{8, 9} << 70.0 << QList<int>{14, 16};
        QTest::newRow("the one reached stays") << 12 << 1 << QList<int>{12, 14} << 70.0 << QList<int>{12, 14};
        QTest::newRow("not nearer than a decode") << 10 << 1 << QList<int>{11} << 70.0 << QList<int>{11, 14};
        QTest::newRow("up the list") << 10 << -1 << QList<int>{} << 70.0 << QList<int>{6, 4};
        QTest::newRow("the end of the list") << 97 << 1 << QList<int>{} << 70.0 << QList<int>{99};
        QTest::newRow("the top of the list") << 2 << -1 << QList<int>{} << 70.0 << QList<int>{0};
        QTest::newRow("fast decodes: every entry") << 3 << 1 << QList<int>{} << 5.0 << QList<int>{5, 6};
        QTest::newRow("no decode measured yet") << 3 << 1 << QList<int>{} << -1.0 << QList<int>{4, 5};
    }
    void heldKeyTargets()
    {
        QFETCH(int, at);
        QFETCH(int, direction);
        QFETCH(QList<int>, pending);
        QFETCH(double, decodeMs);
        QFETCH(QList<int>, targets);
        const std::vector<int> got = app::heldKeyTargets(at, direction, 100, std::vector<int>(pending.begin(), pending.end()),
                                                         decodeMs, 1000.0 / 30, 2);
        QCOMPARE(QList<int>(got.begin(), got.end()), targets);
    }

    void browseAheadIndices_data()
    {
        QTest::addColumn<int>("shown");
        QTest::addColumn<int>("direction");
        QTest::addColumn<QList<int>>("indices");
        QTest::newRow("down") << 1 << 1 << QList<int>{2, 3};
        QTest::newRow("down to the last") << 3 << 1 << QList<int>{4};
        QTest::newRow("the last, down") << 4 << 1 << QList<int>{};
        QTest::newRow("up") << 2 << -1 << QList<int>{1, 0};
        QTest::newRow("the first, up") << 0 << -1 << QList<int>{};
    }
    void browseAheadIndices()
    {
        QFETCH(int, shown);
        QFETCH(int, direction);
        QFETCH(QList<int>, indices);
        const std::vector<int> got = app::browseAheadIndices(shown, direction, 5, 2);
        QCOMPARE(QList<int>(got.begin(), got.end()), indices);
    }
};

LUMADEX_TEST_CLASS(BrowseAheadTest);

#include "BrowseAheadTest.moc"
