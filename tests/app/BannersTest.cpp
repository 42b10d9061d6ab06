#include "app/Banners.h"
#include "app/Style.h"
#include "tests/support/TestRunner.h"

#include <QApplication>
#include <QFile>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QMenuBar>
#include <QMainWindow>
#include <QTest>
#include <QVBoxLayout>

// The pictures a start shows come from the build (tools/banners); they must
// be the pictures the viewer would draw, at the ratios the build drew.
class BannersTest : public QObject {
    Q_OBJECT

    static QImage shown(const app::BakedPicture &picture, qreal ratio)
    {
        if (picture.name == QLatin1String("startup"))
            return app::startUpPicture(ratio);
        if (picture.name == QLatin1String("name-banner"))
            return app::nameBanner(ratio);
        return app::notice(picture.noticeText, ratio);
    }

private slots:
    void theBuildsPicturesAreTheOnesTheViewerDraws()
    {
        QCOMPARE(app::bakedPictures().size(), 6);
        for (const int ratio : {1, 2}) {
            for (const app::BakedPicture &picture : app::bakedPictures()) {
                const QString file = QStringLiteral(":/baked/%1@%2.raw").arg(picture.name).arg(ratio);
                QVERIFY2(QFile::exists(file), qPrintable(file));
                const QImage baked = shown(picture, ratio);
                const QImage drawn = picture.draw(ratio);
                QCOMPARE(baked.devicePixelRatio(), qreal(ratio));
                QCOMPARE(baked.size(), drawn.size());
                QVERIFY2(baked == drawn, qPrintable(picture.name));
            }
        }
        QCOMPARE(app::startUpPicture(1).size(), QSize(352, 89));
        QCOMPARE(app::nameBanner(2).size(), QSize(288, 60));
        QCOMPARE(app::notice(app::ErrorOccur, 1).size(), QSize(193, 33));
    }

    void otherRatiosAndTextsAreDrawnWhenAskedFor()
    {
        const QImage scaled = app::startUpPicture(1.25);
        QCOMPARE(scaled.devicePixelRatio(), 1.25);
        QCOMPARE(scaled.size(), QSize(440, 111));
        QVERIFY(scaled == app::drawStartUpPicture(1.25));
        const QImage other = app::notice(QStringLiteral("Copying..."), 1);
        QVERIFY(other == app::drawNotice(QStringLiteral("Copying..."), 1));
        QVERIFY(other != app::notice(app::PleaseWait, 1));
    }

    void keptBytesGiveThePictureBackAndNothingElse()
    {
        const QImage picture = app::drawNameBanner(2);
        const QByteArray bytes = app::bakedBytes(picture);
        QCOMPARE(bytes.size(), 16 + 288 * 60 * 4);
        const QImage back = app::fromBakedBytes(bytes, 2);
        QVERIFY(back == picture);
        QCOMPARE(back.devicePixelRatio(), 2.0);

        QVERIFY(app::fromBakedBytes({}, 1).isNull());
        QVERIFY(app::fromBakedBytes(bytes.first(bytes.size() - 1), 1).isNull());
        QVERIFY(app::fromBakedBytes(bytes + 'x', 1).isNull());
        QByteArray wrongMagic = bytes;
        wrongMagic[0] = 'X';
        QVERIFY(app::fromBakedBytes(wrongMagic, 1).isNull());
        // Sides whose product would overflow, or none at all.
        QByteArray huge = bytes.first(16);
        huge[8] = huge[9] = huge[10] = huge[11] = char(0xFF);
        QVERIFY(app::fromBakedBytes(huge, 1).isNull());
        QByteArray empty = bytes.first(16);
        empty[8] = empty[9] = empty[10] = empty[11] = 0;
        QVERIFY(app::fromBakedBytes(empty, 1).isNull());
    }

    // The viewer's style draws a titled group box's frame itself and makes
    // the menu bar's extension icon later: both must look as the desktop
    // style's do.
    void theStyleKeepsTheDesktopsLook()
    {
        QStyle *original = QApplication::style();
        auto *style = new app::ViewerStyle;
        QWidget plain;
        QGroupBox box(QStringLiteral("File's Information"), &plain);
        box.setGeometry(0, 0, 161, 73);
        const QImage before = box.grab().toImage();
        plain.setStyle(style);
        box.setStyle(style);
        const QImage after = box.grab().toImage();
        QCOMPARE(after.size(), before.size());
        // The same frame at the same place: the title, the inside and the
        // lines match Fusion's; only the rounding of the corners may differ,
        // by a faint shade.
        if (style->baseStyle()->name().compare(QLatin1String("fusion"), Qt::CaseInsensitive) == 0) {
            int differing = 0;
            for (int y = 0; y < after.height(); ++y)
                for (int x = 0; x < after.width(); ++x) {
                    const QColor a = after.pixelColor(x, y), b = before.pixelColor(x, y);
                    const int distance = std::abs(a.red() - b.red()) + std::abs(a.green() - b.green())
                                         + std::abs(a.blue() - b.blue());
                    QVERIFY2(distance <= 48, qPrintable(QStringLiteral("pixel %1,%2").arg(x).arg(y)));
                    differing += distance > 6;
                }
            QVERIFY2(differing <= 4 * 4, qPrintable(QString::number(differing)));
        }
        const QIcon arrow = style->standardIcon(QStyle::SP_ToolBarHorizontalExtensionButton);
        QVERIFY(!arrow.isNull());
        QCOMPARE(arrow.pixmap(16).toImage(),
                 style->baseStyle()->standardIcon(QStyle::SP_ToolBarHorizontalExtensionButton).pixmap(16).toImage());
        plain.setStyle(original);
        box.setStyle(original);
        delete style;
    }
};

LUMADEX_TEST_CLASS(BannersTest);
#include "BannersTest.moc"
