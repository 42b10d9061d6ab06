#include "DesktopTesting.h"
#include "tests/browser/MainWindowFixture.h"
#include "controls/DirListBox.h"
#include "controls/ImageControl.h"
#include "controls/MenuItem.h"
#include "picture/Loader.h"
#include "picture/metafile/writer/MetafileWriter.h"
#include "platform/Clipboard.h"
#include "platform/Folders.h"
#include "settings/Settings.h"
#include "tests/support/TestRunner.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTest>
#include <QUrl>

using platform::WallpaperStyle;

Q_DECLARE_METATYPE(platform::WallpaperStyle)

// Setting the shown picture as the desktop wallpaper.
class WallpaperTest : public QObject {
    Q_OBJECT
    MainWindowFixture f;
    RecordingWallpaper *desktop = nullptr;

    QString bitmapPath() const { return QDir(platform::windowsFolder()).filePath(QStringLiteral("LDX Wallpaper.bmp")); }

    static QString desktopValue(const QString &name)
    {
        return settings::ReadSetting(platform::HKEY_CURRENT_USER, settings::DesktopKey, name);
    }

    static void command(app::Form1 *main, const QString &name)
    {
        main->findChild<controls::MenuItem *>(name)->action()->trigger();
    }

    static QString gsettingsGet(const QString &key)
    {
        QProcess get;
        get.start(QStringLiteral("gsettings"), {QStringLiteral("get"), QStringLiteral("org.gnome.desktop.background"), key});
        get.waitForFinished();
        return QString::fromUtf8(get.readAllStandardOutput()).trimmed();
    }

private slots:
    void init()
    {
        f.setUp();
        auto recording = std::make_unique<RecordingWallpaper>();
        desktop = recording.get();
        platform::setWallpaper(std::move(recording));
    }
    void cleanup() { f.tearDown(); }

    // Each command and its pop-up twin: the two desktop values, then the
    // picture written and handed over in that style.
    void eachStyleSetsTheShownPicture_data()
    {
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("tile");
        QTest::addColumn<QString>("style");
        QTest::addColumn<WallpaperStyle>("handed");
        QTest::newRow("Tile1") << "Tile1" << "1" << "0" << WallpaperStyle::Tiled;
        QTest::newRow("Center1") << "Center1" << "0" << "0" << WallpaperStyle::Centred;
        QTest::newRow("Stretch12") << "Stretch12" << "0" << "2" << WallpaperStyle::Stretched;
        QTest::newRow("Tile2") << "Tile2" << "1" << "0" << WallpaperStyle::Tiled;
        QTest::newRow("Cemter2") << "Cemter2" << "0" << "0" << WallpaperStyle::Centred;
        QTest::newRow("Stretch13") << "Stretch13" << "0" << "2" << WallpaperStyle::Stretched;
    }
    void eachStyleSetsTheShownPicture()
    {
        QFETCH(QString, item);
        QFETCH(QString, tile);
        QFETCH(QString, style);
        QFETCH(WallpaperStyle, handed);
        const QImage pattern = patternImage({37, 23});
        pattern.save(f.c() + QStringLiteral("/Pictures/pattern.bmp"), "BMP");
        app::Form1 *main = f.load();
        QVERIFY(chooseFile(*main, QStringLiteral("pattern.bmp")));
        command(main, item);
        QCOMPARE(desktopValue(settings::TileWallpaper), tile);
        QCOMPARE(desktopValue(settings::WallpaperStyle), style);
        QCOMPARE(desktop->calls.size(), 1);
        QCOMPARE(desktop->calls.first().hostPath, bitmapPath());
        QCOMPARE(desktop->calls.first().style, handed);
        QVERIFY(f.boxes->shown.isEmpty());
        // A Windows bitmap our own loader reads back with the same pixels.
        QFile written(bitmapPath());
        QVERIFY(written.open(QIODevice::ReadOnly));
        QCOMPARE(written.read(2), QByteArray("BM"));
        const picture::LoadResult back = picture::load(bitmapPath());
        QVERIFY2(back.ok(), qPrintable(back.error));
        QVERIFY(samePixels(back.picture.image(), pattern));
    }

    // The view holds a decode reduced to the pane, or a drawing stretched to
    // it; the wallpaper gets every pixel of the file, and the drawing at its
    // own size on white.
    void theBitmapIsWrittenAtFullResolution()
    {
        const QImage photo = patternImage({1400, 1000});
        QVERIFY(photo.save(f.c() + QStringLiteral("/Pictures/a-photo.jpg"), "JPEG", 95));
        picture::metafile::writer::WmfWriter wmf(true, QRect(0, 0, 120, 90), 96);
        wmf.selectObject(wmf.createBrush(0, Qt::blue));
        wmf.selectObject(wmf.createPen(5, 0, Qt::black)); // no outline
        wmf.rectangle(QRect(30, 30, 60, 30));
        QVERIFY(testsupport::writeFile(f.c() + QStringLiteral("/Pictures/b-drawing.wmf"), wmf.finish()));
        app::Form1 *main = f.load();

        QVERIFY(chooseFile(*main, QStringLiteral("a-photo.jpg")));
        QVERIFY(main->Image1->Picture().isReduced());
        main->Center1_Click();
        const QImage full = picture::load(f.c() + QStringLiteral("/Pictures/a-photo.jpg")).picture.image();
        QVERIFY(samePixels(picture::load(bitmapPath()).picture.image(), full));

        main->St1_Click(); // drawn at the pane's size in the view
        QVERIFY(chooseFile(*main, QStringLiteral("b-drawing.wmf")));
        main->Center1_Click();
        const QImage drawing = picture::load(bitmapPath()).picture.image();
        QCOMPARE(drawing.size(), QSize(120, 90));
        QCOMPARE(drawing.pixelColor(5, 5), QColor(Qt::white));
        QCOMPARE(drawing.pixelColor(60, 45), QColor(Qt::blue));
        QCOMPARE(desktop->calls.size(), 2);
        QVERIFY(f.boxes->shown.isEmpty());
    }

    // The wallpaper bitmap itself is set as it is, from whichever folder it
    // is chosen in; only the exact name counts.
    void theWallpaperFileItselfIsNotRewritten_data()
    {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("direct");
        QTest::newRow("in-a-folder") << "Pictures" << "LDX Wallpaper.bmp" << true;
        QTest::newRow("drive-root") << "" << "LDX Wallpaper.bmp" << true;
        QTest::newRow("other-case") << "Pictures" << "ldx wallpaper.BMP" << false;
    }
    void theWallpaperFileItselfIsNotRewritten()
    {
        QFETCH(QString, folder);
        QFETCH(QString, name);
        QFETCH(bool, direct);
        const QString host = f.c() + (folder.isEmpty() ? QString() : QLatin1Char('/') + folder) + QLatin1Char('/') + name;
        QVERIFY(patternImage({12, 9}).save(host, "BMP"));
        app::Form1 *main = f.load();
        if (folder.isEmpty())
            main->Dir1->setPath(QStringLiteral("C:\\"));
        QVERIFY(chooseFile(*main, name));
        QCOMPARE(main->PicturePath(), folder.isEmpty() ? QStringLiteral("C:\\") + name
                                                       : QStringLiteral("C:\\Pictures\\") + name);
        main->Stretch12_Click();
        QCOMPARE(desktop->calls.size(), 1);
        QCOMPARE(desktop->calls.first().hostPath, direct ? host : bitmapPath());
        QCOMPARE(desktop->calls.first().style, WallpaperStyle::Stretched);
        QCOMPARE(QFileInfo::exists(bitmapPath()), !direct);
        QVERIFY(f.boxes->shown.isEmpty());
    }

    void aPastedPictureIsWrittenLikeAnyOther()
    {
        const QImage pasted = patternImage({50, 40});
        QVERIFY(platform::setClipboardBitmap(pasted));
        app::Form1 *main = f.load();
        main->view2_Click();
        QCOMPARE(main->File1->ListIndex(), -1);
        main->Tile1_Click();
        QCOMPARE(desktop->calls.size(), 1);
        QVERIFY(samePixels(picture::load(bitmapPath()).picture.image(), pasted));
    }

    // With only a notice in the view there is nothing to set: the style is
    // stored all the same, then the message and the refreshed browser.
    void noPictureShownGivesFileNotFound()
    {
        f.picture(QStringLiteral("Pictures/a.bmp"), {10, 10});
        app::Form1 *main = f.load();
        QVERIFY(chooseFile(*main, QStringLiteral("a.bmp")));
        main->refresh1_Click(); // the "Please Select A File" notice replaces it
        main->setCaption(QStringLiteral("changed"));
        main->Tile1_Click();
        QCOMPARE(desktopValue(settings::TileWallpaper), QStringLiteral("1"));
        QCOMPARE(desktopValue(settings::WallpaperStyle), QStringLiteral("0"));
        QCOMPARE(f.boxes->shown.size(), 1);
        QCOMPARE(f.boxes->shown.first().text, QStringLiteral("File not found!"));
        QCOMPARE(f.boxes->shown.first().shownCaption(), QStringLiteral("Lumadex Viewer 3.01"));
        QCOMPARE(f.boxes->shown.first().style, platform::MsgStyle::OKOnly);
        QCOMPARE(main->Caption(), QStringLiteral("Lumadex Viewer 3.01  - C:\\Pictures"));
        QVERIFY(desktop->calls.isEmpty());
        QVERIFY(!QFileInfo::exists(bitmapPath()));
    }

    void anUnwritableBitmapGivesFileNotFound()
    {
        f.picture(QStringLiteral("Pictures/a.bmp"), {10, 10});
        app::Form1 *main = f.load();
        QVERIFY(chooseFile(*main, QStringLiteral("a.bmp")));
        QVERIFY(QDir().mkpath(bitmapPath())); // a folder in the bitmap's place
        main->Center1_Click();
        QCOMPARE(f.boxes->shown.size(), 1);
        QCOMPARE(f.boxes->shown.first().text, QStringLiteral("File not found!"));
        QVERIFY(desktop->calls.isEmpty());
        QVERIFY(QFileInfo(bitmapPath()).isDir());
    }

    // GNOME for real: gsettings on a key file in this test's configuration folder.
    void gnomeReadsBackEachStyle()
    {
        if (QStandardPaths::findExecutable(QStringLiteral("gsettings")).isEmpty())
            QSKIP("gsettings is not installed (libglib2.0-bin)");
        if (gsettingsGet(QStringLiteral("picture-options")).isEmpty())
            QSKIP("the GNOME background schema is not installed (gsettings-desktop-schemas)");
        qputenv("XDG_CURRENT_DESKTOP", "ubuntu:GNOME");
        platform::setWallpaper(platform::makeDesktopWallpaper());
        f.picture(QStringLiteral("Pictures/a.bmp"), {16, 16});
        app::Form1 *main = f.load();
        QVERIFY(chooseFile(*main, QStringLiteral("a.bmp")));
        const QString uri = QLatin1Char('\'') + QUrl::fromLocalFile(bitmapPath()).toString(QUrl::FullyEncoded)
                            + QLatin1Char('\'');
        QVERIFY(uri.contains(QStringLiteral("LDX%20Wallpaper.bmp")));
        const QList<std::pair<void (app::Form1::*)(), QString>> commands{
            {&app::Form1::Tile1_Click, QStringLiteral("'wallpaper'")},
            {&app::Form1::Center1_Click, QStringLiteral("'centered'")},
            {&app::Form1::Stretch12_Click, QStringLiteral("'stretched'")},
        };
        for (const auto &[handler, option] : commands) {
            (main->*handler)();
            QCOMPARE(gsettingsGet(QStringLiteral("picture-options")), option);
            QCOMPARE(gsettingsGet(QStringLiteral("picture-uri")), uri);
            QCOMPARE(gsettingsGet(QStringLiteral("picture-uri-dark")), uri);
        }
        QVERIFY(f.boxes->shown.isEmpty());
        qunsetenv("XDG_CURRENT_DESKTOP");
    }

    // An unknown desktop is told so on standard error; the bitmap is still
    // written and no message box appears.
    void anUnknownDesktopChangesNothingAndSaysSo()
    {
        qputenv("XDG_CURRENT_DESKTOP", "sway");
        int ran = 0;
        platform::setWallpaper(platform::makeDesktopWallpaper(
            platform::desktopFrom(qEnvironmentVariable("XDG_CURRENT_DESKTOP")),
            [&ran](const QString &, const QStringList &) { ++ran; return platform::CommandResult{true, {}, {}}; }));
        f.picture(QStringLiteral("Pictures/a.bmp"), {16, 16});
        app::Form1 *main = f.load();
        QVERIFY(chooseFile(*main, QStringLiteral("a.bmp")));
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("wallpaper was not changed: no known desktop.*sway")));
        main->Tile1_Click();
        QCOMPARE(ran, 0);
        QVERIFY(QFileInfo::exists(bitmapPath()));
        QVERIFY(f.boxes->shown.isEmpty());
        qunsetenv("XDG_CURRENT_DESKTOP");
    }

    void theDesktopIsFoundInItsList_data()
    {
        QTest::addColumn<QString>("value");
        QTest::addColumn<int>("expected");
        using platform::Desktop;
        QTest::newRow("ubuntu") << "ubuntu:GNOME" << int(Desktop::Gnome);
        QTest::newRow("cinnamon") << "X-Cinnamon" << int(Desktop::Cinnamon);
        QTest::newRow("plasma") << "KDE" << int(Desktop::Kde);
        QTest::newRow("xfce-lower-case") << "xfce" << int(Desktop::Xfce);
        QTest::newRow("unknown") << "sway" << int(Desktop::Unknown);
    }
    void theDesktopIsFoundInItsList()
    {
        QFETCH(QString, value);
        QFETCH(int, expected);
        QCOMPARE(int(platform::desktopFrom(value)), expected);
    }
};

LUMADEX_TEST_CLASS(WallpaperTest);
#include "WallpaperTest.moc"
