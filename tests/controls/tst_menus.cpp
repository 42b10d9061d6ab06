#include "app/Form1Menus.h"
#include "controls/ComboBox.h"
#include "controls/DirListBox.h"
#include "controls/DriveListBox.h"
#include "controls/FileListBox.h"
#include "tests/support/TestEnvironment.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QMainWindow>
#include <QMenuBar>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QVBoxLayout>

#include <memory>

using controls::MenuItem;

namespace {

QStringList childNames(const MenuItem *item)
{
    QStringList names;
    for (const MenuItem *child : item->items())
        names << child->Name();
    return names;
}

} // namespace

class MenuTreeTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void barAtStart();
    void captions_data();
    void captions();
    void treeOrder();
    void shortcutReachesItsItem_data();
    void shortcutReachesItsItem();
    void ctrlCIsNotCopyInAnyList_data();
    void ctrlCIsNotCopyInAnyList();
    void shortcutUnderDisabledOrHiddenMenuDoesNothing();
    void hidingTopLevelItemRemovesItFromBar();
    void choosingAnItemLeavesItsCheckMark();
    void hiddenMenuOpensAsPopup();
    void onlyTheVisibleOptionsMenuOwnsAltO();

private:
    QStringList barTexts() const;

    std::unique_ptr<testsupport::HermeticEnvironment> m_env;
    QMainWindow *m_window = nullptr;
    controls::FileListBox *m_list = nullptr;
    Form1Menus m_menus;
    QStringList m_fired; // names of the items whose Click ran, in order
};

void MenuTreeTest::init()
{
    m_env = std::make_unique<testsupport::HermeticEnvironment>();
    QVERIFY(m_env->isValid());
    QVERIFY(testsupport::writeFile(m_env->driveC() + QStringLiteral("/a.jpg"), "x"));
    m_window = new QMainWindow;
    m_menus = Form1Menus();
    buildForm1Menus(m_menus, m_window);
    m_fired.clear();
    for (MenuItem *item : m_window->findChildren<MenuItem *>())
        connect(item, &MenuItem::Click, this, [this, item] { m_fired << item->Name(); });

    auto *column = new QWidget;
    auto *layout = new QVBoxLayout(column);
    layout->addWidget(new controls::DriveListBox);
    layout->addWidget(new controls::DirListBox);
    auto *combo = new controls::ComboBox;
    combo->AddItem(QStringLiteral("All Readable Format"));
    layout->addWidget(combo);
    m_list = new controls::FileListBox;
    layout->addWidget(m_list);
    m_window->setCentralWidget(column);
    m_window->show();
    m_window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_window));
    m_list->setFocus();
}

void MenuTreeTest::cleanup()
{
    delete m_window;
    m_window = nullptr;
    m_env.reset();
}

QStringList MenuTreeTest::barTexts() const
{
    QStringList texts;
    for (QAction *action : m_window->menuBar()->actions())
        if (action->isVisible())
            texts << action->text();
    return texts;
}

void MenuTreeTest::barAtStart()
{
    QCOMPARE(barTexts(), QStringList({"&File", "&View", "&Options", "&Help"}));
    const QStringList keys = {"Alt+F", "Alt+V", "Alt+O", "Alt+H"};
    for (int i = 0; i < keys.size(); ++i)
        QCOMPARE(QKeySequence::mnemonic(barTexts().at(i)), QKeySequence(keys.at(i)));

    QStringList checked;
    for (const MenuItem *item : m_window->findChildren<MenuItem *>())
        if (item->Checked() || item->action()->isChecked())
            checked << item->Name();
    QCOMPARE(checked, QStringList{"auto1"});

    // Every item starts enabled; the one hidden item inside a menu is efm2.
    for (const MenuItem *item : m_window->findChildren<MenuItem *>()) {
        QVERIFY2(item->Enabled(), qPrintable(item->Name()));
        if (item->parentItem())
            QCOMPARE(item->Visible(), item->Name() != QLatin1String("efm2"));
    }
}

void MenuTreeTest::captions_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");
    QTest::newRow("mintray") << "mintray" << "Minmize to Tray";
    QTest::newRow("go1") << "go1" << "Creat / View PicFolder...";
    QTest::newRow("startup1") << "startup1" << "Start up ";
    QTest::newRow("speed3") << "speed3" << "SlideShow..";
    QTest::newRow("slide1") << "slide1" << "SlideShow...";
    QTest::newRow("view2") << "view2" << "Paste  ->  View";
    QTest::newRow("view3") << "view3" << "Paste  ->  View";
    QTest::newRow("goto1") << "goto1" << "Load \"Default Folder\"";
    QTest::newRow("About1") << "About1" << "About Quill's Personal Viewer";
    QTest::newRow("systray") << "systray" << "Place in SysTray...";
    QTest::newRow("ok") << "ok" << "Place in Systray...";
    QTest::newRow("Tray1") << "Tray1" << "SysTr&ay...";
    QTest::newRow("Brown") << "Brown" << "Dark Grey";
    QTest::newRow("Cemter2") << "Cemter2" << "Center...";
    QTest::newRow("cuts") << "cuts" << "Bookmarks ...";
    QTest::newRow("systray1") << "systray1" << "Access";
    QTest::newRow("ops") << "ops" << "&Options";
}

void MenuTreeTest::captions()
{
    QFETCH(QString, name);
    QFETCH(QString, caption);
    const MenuItem *item = m_window->findChild<MenuItem *>(name);
    QVERIFY(item);
    QCOMPARE(item->Caption(), caption);
    // The shown text is the caption, with the key (if any) after a tab; a
    // hidden top-level item ("ops") keeps no access-key mark.
    const bool hiddenInBar = !item->parentItem() && !item->Visible();
    QCOMPARE(item->action()->text().section(QLatin1Char('\t'), 0, 0), hiddenInBar ? QString(caption).remove('&') : caption);
}

void MenuTreeTest::treeOrder()
{
    QStringList bar;
    for (QAction *action : m_window->menuBar()->actions())
        bar << action->objectName();
    QCOMPARE(bar, QStringList({"filemenu", "optionmenu", "Option2", "restore", "help1", "stop1", "pause1", "play1",
                               "picact", "systray1", "back1", "next1", "ops", "traymenu1"}));

    QCOMPARE(childNames(m_menus.filemenu), QStringList({"cuts", "line8", "efm3", "lineshort", "copyto", "view2",
                                                        "exitline", "systray", "exitmenu"}));
    QCOMPARE(childNames(m_menus.cuts), QStringList{"editbook"});
    QCOMPARE(childNames(m_menus.efm3), QStringList({"mcopy", "mMove", "mline", "mdelete", "mrename", "mline2", "mopen"}));
    QCOMPARE(childNames(m_menus.optionmenu), QStringList({"fullscreen1", "line", "St1", "auto1", "Act1", "line2",
                                                          "fullscreen", "viewmenu", "line3", "wallpp"}));
    QCOMPARE(childNames(m_menus.wallpp), QStringList({"Tile1", "Center1", "Stretch12"}));
    QCOMPARE(childNames(m_menus.Option2), QStringList({"go1", "FolderOp", "line56", "slide1", "startup1", "BackC"}));
    QCOMPARE(childNames(m_menus.FolderOp), QStringList({"LoadF", "goto1", "refresh1"}));
    QCOMPARE(childNames(m_menus.startup1), QStringList({"defolder", "mintray"}));
    QCOMPARE(childNames(m_menus.BackC), QStringList({"Grey", "Black", "Brown", "colorline", "other"}));
    QCOMPARE(childNames(m_menus.help1), QStringList({"readme", "ontheweb", "About1"}));
    QCOMPARE(childNames(m_menus.picact), QStringList({"largev", "someline", "St2", "auto3", "Act2", "actline", "setas",
                                                      "separate", "copyto2", "view3"}));
    QCOMPARE(childNames(m_menus.setas), QStringList({"Tile2", "Cemter2", "Stretch13"}));
    QCOMPARE(childNames(m_menus.systray1), QStringList{"ok"});
    QCOMPARE(childNames(m_menus.ops), QStringList({"seindex", "efm2", "speed3", "lineline", "Tray1"}));
    QCOMPARE(childNames(m_menus.traymenu1), QStringList({"startslide", "openview"}));
    for (const MenuItem *top : {m_menus.restore, m_menus.stop1, m_menus.pause1, m_menus.play1, m_menus.back1, m_menus.next1})
        QVERIFY(top->items().isEmpty());

    // The menus show what the tree holds, separators as lines.
    for (const MenuItem *item : m_window->findChildren<MenuItem *>()) {
        QCOMPARE(item->action()->isSeparator(), item->Caption() == QLatin1String("-"));
        if (item->parentItem())
            QCOMPARE(item->parentItem()->menu()->actions().indexOf(item->action()),
                     item->parentItem()->items().indexOf(item));
    }
}

void MenuTreeTest::shortcutReachesItsItem_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<QString>("item");
    const int ctrl = int(Qt::ControlModifier);
    QTest::newRow("Ctrl+Z") << int(Qt::Key_Z) << ctrl << "systray";
    QTest::newRow("Ctrl+F") << int(Qt::Key_F) << ctrl << "fullscreen1";
    QTest::newRow("F2") << int(Qt::Key_F2) << 0 << "fullscreen";
    QTest::newRow("F3") << int(Qt::Key_F3) << 0 << "viewmenu";
    QTest::newRow("Ctrl+T") << int(Qt::Key_T) << ctrl << "Tile1";
    QTest::newRow("Ctrl+C") << int(Qt::Key_C) << ctrl << "Center1";
    QTest::newRow("Ctrl+S") << int(Qt::Key_S) << ctrl << "Stretch12";
    QTest::newRow("Ctrl+O") << int(Qt::Key_O) << ctrl << "LoadF";
    QTest::newRow("Ctrl+J") << int(Qt::Key_J) << ctrl << "goto1";
    QTest::newRow("F5") << int(Qt::Key_F5) << 0 << "refresh1";
}

void MenuTreeTest::shortcutReachesItsItem()
{
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(QString, item);
    QTest::keyClick(m_list, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    QCOMPARE(m_fired, QStringList{item});
    QVERIFY(m_window->findChild<MenuItem *>(item)->action()->text().endsWith(
        QKeySequence(key | modifiers).toString(QKeySequence::NativeText)));
}

void MenuTreeTest::ctrlCIsNotCopyInAnyList_data()
{
    QTest::addColumn<QString>("control");
    QTest::newRow("file list") << "FileListBox";
    QTest::newRow("folder list") << "DirListBox";
    QTest::newRow("drive list") << "DriveListBox";
    QTest::newRow("filter list") << "ComboBox";
}

void MenuTreeTest::ctrlCIsNotCopyInAnyList()
{
    QFETCH(QString, control);
    QWidget *target = nullptr;
    for (QWidget *w : m_window->centralWidget()->findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
        if (QString::fromLatin1(w->metaObject()->className()) == QLatin1String("controls::") + control)
            target = w;
    QVERIFY(target);
    if (auto *files = qobject_cast<controls::FileListBox *>(target)) {
        QVERIFY(files->setPath(QStringLiteral("C:\\")));
        files->setListIndex(0);
        QCOMPARE(files->FileName(), QStringLiteral("a.jpg")); // something to copy
    }
    QApplication::clipboard()->setText(QStringLiteral("before"));
    target->setFocus();
    QTRY_VERIFY(target->hasFocus());
    QTest::keyClick(target, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(m_fired, QStringList{"Center1"});

    // With the wallpaper menu out of reach the key still does not copy.
    m_menus.wallpp->setEnabled(false);
    QTest::keyClick(target, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(m_fired, QStringList{"Center1"});
    QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("before"));
}

void MenuTreeTest::shortcutUnderDisabledOrHiddenMenuDoesNothing()
{
    m_menus.optionmenu->setEnabled(false);
    QTest::keyClick(m_list, Qt::Key_C, Qt::ControlModifier);
    QTest::keyClick(m_list, Qt::Key_F2);
    m_menus.optionmenu->setEnabled(true);
    m_menus.optionmenu->setVisible(false);
    QTest::keyClick(m_list, Qt::Key_C, Qt::ControlModifier);
    m_menus.optionmenu->setVisible(true);
    m_menus.wallpp->setVisible(false);
    QTest::keyClick(m_list, Qt::Key_T, Qt::ControlModifier);
    m_menus.wallpp->setVisible(true);
    m_menus.Center1->setEnabled(false);
    QTest::keyClick(m_list, Qt::Key_C, Qt::ControlModifier);
    m_menus.Center1->setEnabled(true);
    m_menus.filemenu->setEnabled(false); // as while a window-mode show runs
    QTest::keyClick(m_list, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(m_fired, QStringList());

    // Back in reach, the keys work again; a menu disabled elsewhere does not matter.
    QTest::keyClick(m_list, Qt::Key_C, Qt::ControlModifier);
    QTest::keyClick(m_list, Qt::Key_F2);
    QTest::keyClick(m_list, Qt::Key_T, Qt::ControlModifier);
    QCOMPARE(m_fired, QStringList({"Center1", "fullscreen", "Tile1"}));
}

void MenuTreeTest::hidingTopLevelItemRemovesItFromBar()
{
    m_menus.optionmenu->setVisible(false);
    QCOMPARE(barTexts(), QStringList({"&File", "&Options", "&Help"}));
    m_menus.optionmenu->setVisible(true);

    // The window-mode show's bar: the normal menus greyed, its items after them.
    for (MenuItem *item : {m_menus.filemenu, m_menus.optionmenu, m_menus.Option2, m_menus.help1})
        item->setEnabled(false);
    for (MenuItem *item : {m_menus.stop1, m_menus.pause1, m_menus.back1, m_menus.next1})
        item->setVisible(true);
    QCOMPARE(barTexts(), QStringList({"&File", "&View", "&Options", "&Help", "&Cancel", "&Pause", "&Back", "&Next"}));
    QVERIFY(!m_menus.filemenu->action()->isEnabled());
    QVERIFY(m_menus.stop1->action()->isEnabled());
    QVERIFY(m_window->menuBar()->actionGeometry(m_menus.filemenu->action()).isValid());
    QVERIFY(!m_window->menuBar()->actionGeometry(m_menus.play1->action()).isValid());

    // A top-level item without children runs its command from the bar.
    m_menus.stop1->action()->trigger();
    QCOMPARE(m_fired, QStringList{"stop1"});
}

void MenuTreeTest::choosingAnItemLeavesItsCheckMark()
{
    m_menus.St1->action()->trigger();
    m_menus.auto1->action()->trigger();
    QCOMPARE(m_fired, QStringList({"St1", "auto1"}));
    QVERIFY(!m_menus.St1->Checked());
    QVERIFY(!m_menus.St1->action()->isChecked());
    QVERIFY(m_menus.auto1->Checked());
    QVERIFY(m_menus.auto1->action()->isChecked());

    m_menus.auto1->setChecked(false);
    m_menus.St1->setChecked(true);
    QVERIFY(!m_menus.auto1->action()->isChecked());
    QVERIFY(m_menus.St1->action()->isChecked());

    // Separators and sub-menus have no command.
    m_menus.line->action()->trigger();
    m_menus.wallpp->action()->trigger();
    QCOMPARE(m_fired, QStringList({"St1", "auto1"}));
}

void MenuTreeTest::hiddenMenuOpensAsPopup()
{
    m_menus.largev->setCaption(QStringLiteral("Restore"));
    QStringList seen;
    // Picks the second entry of the open pop-up with the keyboard.
    QTimer::singleShot(0, this, [&seen] {
        QMenu *popup = qobject_cast<QMenu *>(QApplication::activePopupWidget());
        if (!popup)
            return;
        for (QAction *action : popup->actions())
            if (action->isVisible() && !action->isSeparator())
                seen << action->text();
        QTest::keyClick(popup, Qt::Key_Down);
        QTest::keyClick(popup, Qt::Key_Down);
        QTest::keyClick(popup, Qt::Key_Return);
    });
    // Should the pop-up not open, it must not hang the test.
    QTimer::singleShot(5000, this, [] {
        if (QWidget *popup = QApplication::activePopupWidget())
            popup->close();
    });
    MenuItem *chosen = m_menus.picact->exec(m_window->mapToGlobal(QPoint(50, 50)));
    QCOMPARE(seen, QStringList({"Restore", "Stretched Size", "Auto-Fit Size", "Actual Size", "Set As Wallpaper...",
                                "Copy -> Clipboard", "Paste  ->  View"}));
    QCOMPARE(chosen, m_menus.St2);
    QCOMPARE(m_fired, QStringList{"St2"});
    QVERIFY(!m_menus.picact->Visible());
}

void MenuTreeTest::onlyTheVisibleOptionsMenuOwnsAltO()
{
    // Two "&Options" menus: the normal one, and the one a paused window-mode
    // show puts in its place. Every press opens the one in the bar.
    const auto pressTwice = [this](MenuItem *expected) {
        for (int press = 0; press < 2; ++press) {
            QTest::keyClick(m_list, Qt::Key_O, Qt::AltModifier);
            QTRY_COMPARE(QApplication::activePopupWidget(), static_cast<QWidget *>(expected->menu()));
            QApplication::activePopupWidget()->close();
            QTRY_VERIFY(!QApplication::activePopupWidget());
        }
    };
    pressTwice(m_menus.Option2);
    m_menus.Option2->setVisible(false);
    m_menus.ops->setVisible(true);
    QCOMPARE(m_menus.Option2->action()->text(), QStringLiteral("Options"));
    QCOMPARE(m_menus.ops->action()->text(), QStringLiteral("&Options"));
    pressTwice(m_menus.ops);
}

int runMenuTreeTest(int argc, char *argv[])
{
    MenuTreeTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_menus.moc"
