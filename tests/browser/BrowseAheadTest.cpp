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
    // The first press, then `repeats` - 1 auto-repeated ones.
    static void holdKey(QWidget *list, Qt::Key key, int repeats)
    {
        for (int i = 0; i < repeats; ++i) {
            QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, QString(), i > 0);
            QApplication::sendEvent(list, &press);
        }
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

    // A held key moves on while pictures decode: the window does not wait,
    // the entries passed while the picture of one decodes are skipped, and
    // the pane shows the entry the key is on once its picture is there.
    void aHeldKeyDoesNotWaitForPicturesItPasses()
    {
        app::Form1 *main = pictures(6);
        const auto gate = std::make_shared<Gate>();
        main->setBrowseReader([gate](const QString &file, const picture::DecodeSize &size) { return gate->read(file, size); });
        const auto reopen = qScopeGuard([gate] { gate->setOpen(true); }); // also when a check fails
        main->File1->setListIndex(0);
        const slideshow::ShowTarget pane{app::decodeSizeForMode(*main)};
        QTRY_VERIFY(main->browseAhead().isReady() && !main->browseAhead().isDecoding(file(2), pane));
        QSignalSpy titles(main, &QWidget::windowTitleChanged);
        gate->setOpen(false);
        // Entries 1 and 2 were decoded ahead and show at once; 3 and 4 are
        // not there yet.
        holdKey(main->File1, Qt::Key_Down, 4);
        QCOMPARE(main->File1->ListIndex(), 4);
        QCOMPARE(main->Label3->Caption(), QStringLiteral("C:\\Pictures\\") + name(2));
        QVERIFY(main->browseAhead().isDecoding(file(4), pane));
        gate->setOpen(true);
        QTRY_COMPARE(main->Label3->Caption(), QStringLiteral("C:\\Pictures\\") + name(4));
        verifyShown(4, 6);
        QCOMPARE(titles.count(), 3); // entries 1, 2 and 4: 3 was passed
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
