#pragma once

#include "tests/browser/MainWindowFixture.h"

#include "controls/FileListBox.h"
#include "controls/ImageControl.h"
#include "controls/Label.h"
#include "controls/PictureBox.h"
#include "controls/Timer.h"
#include "settings/Settings.h"
#include "slideshow/Form6.h"
#include "slideshow/Form7.h"

#include <QDateTime>
#include <QFile>
#include <QGuiApplication>
#include <QScreen>
#include <QTest>

// A main window in C:\Pictures with numbered pictures p01.bmp, p02.bmp, ...,
// each of its own colour, and the full-screen show driven tick by tick.
struct ShowFixture : MainWindowFixture {
    static QString name(int number) { return QStringLiteral("p%1.bmp").arg(number, 2, 10, QLatin1Char('0')); }
    static QString path(int number) { return QStringLiteral("C:\\Pictures\\") + name(number); }
    static QRgb colour(int number) { return QColor::fromHsv(number * 37 % 360, 255, 255).rgb(); }
    QString file(const QString &fileName) const { return c() + QStringLiteral("/Pictures/") + fileName; }

    void pictures(int count)
    {
        for (int i = 1; i <= count; ++i)
            picture(QStringLiteral("Pictures/") + name(i), {40 + i, 30}, QColor(colour(i)));
    }

    // Loads the main window, selects entry `selected` (none for -1) and
    // starts the show as F2 does.
    void start(int selected = -1)
    {
        load();
        if (selected >= 0)
            main->File1->setListIndex(selected);
        main->FullScreen_Click();
    }
    void tick(int times = 1)
    {
        for (int i = 0; i < times; ++i)
            main->Timer2_Timer();
    }

    static slideshow::Form6 *show() { return slideshow::Form6::loaded(); }
    static slideshow::Form7 *panel() { return slideshow::Form7::loaded(); }
    static QString shownPath() { return show()->Label1->Caption(); }
    static QRgb shownColour() { return show()->Image1->Picture().image().pixel(0, 0); }
    static bool sameImage(const picture::Picture &a, const picture::Picture &b)
    {
        return !a.image().isNull() && a.image().cacheKey() == b.image().cacheKey();
    }

    // Gives a file another modification time (shifted by `seconds`).
    static bool touch(const QString &file, int seconds)
    {
        QFile f(file);
        return f.open(QIODevice::ReadWrite)
               && f.setFileTime(QDateTime::currentDateTime().addSecs(seconds), QFileDevice::FileModificationTime);
    }

    static QSize screen() { return QGuiApplication::primaryScreen()->geometry().size(); }

    // The state every end of the show leaves.
    void verifyShowEnded() const
    {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!show());
        QVERIFY(!panel());
        QVERIFY(main->isEnabled());
        QVERIFY(!main->Timer2->Enabled());
        QCOMPARE(main->Timer2->Interval(), 0);
        QVERIFY(sameImage(main->Image1->Picture(), main->Picture3->Picture()));
        QCOMPARE(main->Caption(), QStringLiteral("Lumadex Viewer 3.01  - C:\\Pictures"));
    }
};
