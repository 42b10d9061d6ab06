#pragma once

#include "ShowFixture.h"

#include "controls/ComboBox.h"
#include "controls/DirListBox.h"
#include "controls/DriveListBox.h"
#include "controls/MenuItem.h"

#include <QAction>
#include <QMenuBar>

// The window-mode show on ShowFixture's pictures, driven tick by tick.
struct WinShowFixture : ShowFixture {
    // Loads the main window, selects entry `selected` (none for -1) and
    // starts the show as F3 does.
    void winStart(int selected = -1)
    {
        load();
        if (selected >= 0)
            main->File1->setListIndex(selected);
        main->viewmenu_Click();
    }
    void winTick(int times = 1)
    {
        for (int i = 0; i < times; ++i)
            main->Timer1_Timer();
    }
    QString onScreen() const { return main->Label2->Caption(); }
    QRgb paneColour() const { return main->Image1->Picture().image().pixel(0, 0); }
    static QString title(int number, int count)
    {
        return QStringLiteral("Lumadex Viewer 3.01  - %1 (%2/%3)").arg(path(number)).arg(number).arg(count);
    }

    // What the menu bar shows, in its order; a greyed item in brackets.
    QStringList menuBar() const
    {
        QStringList shown;
        for (const QAction *action : main->menuBar()->actions())
            if (action->isVisible())
                shown << (action->isEnabled() ? action->text() : QLatin1Char('(') + action->text() + QLatin1Char(')'));
        return shown;
    }
    static QStringList normalBar() { return {"&File", "&View", "&Options", "&Help"}; }
    static QStringList runningBar()
    {
        return {"(&File)", "(&View)", "(&Options)", "(&Help)", "&Cancel", "&Pause", "&Back", "&Next"};
    }
    static QStringList pausedBar()
    {
        // The greyed "Options" hands its key to the show's.
        return {"(&File)", "(&View)", "(Options)", "(&Help)", "&Cancel", "&Resume", "&Back", "&Next", "&Options"};
    }
    bool browsingEnabled() const
    {
        return main->File1->isEnabled() && main->Combo1->isEnabled() && main->Dir1->isEnabled()
               && main->Drive1->isEnabled();
    }
    bool browsingDisabled() const
    {
        return !main->File1->isEnabled() && !main->Combo1->isEnabled() && !main->Dir1->isEnabled()
               && !main->Drive1->isEnabled();
    }

    // The state every end of the window-mode show leaves.
    void verifyWinShowEnded() const
    {
        QCOMPARE(menuBar(), normalBar());
        QVERIFY(browsingEnabled());
        QVERIFY(!main->Timer1->Enabled());
        QCOMPARE(main->Timer1->Interval(), 0);
        QCOMPARE(main->Label2->Caption(), QString());
        QVERIFY(sameImage(main->Image1->Picture(), main->Picture3->Picture()));
        QCOMPARE(main->Caption(), QStringLiteral("Lumadex Viewer 3.01  - C:\\Pictures"));
        QVERIFY(main->isEnabled());
    }
};
