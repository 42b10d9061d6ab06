#include "app/Form1Menus.h"

#include <QMainWindow>

void buildForm1Menus(Form1Menus &m, QMainWindow *window)
{
    using controls::MenuItem;
    auto top = [window](const char *name, const char *caption) {
        auto *item = new MenuItem(QString::fromLatin1(name), QString::fromLatin1(caption), window);
        item->attachTo(window);
        return item;
    };
    auto add = [](MenuItem *parent, const char *name, const char *caption, const QKeySequence &key = {}) {
        return parent->addItem(QString::fromLatin1(name), QString::fromLatin1(caption), key);
    };

    m.filemenu = top("filemenu", "&File");
    m.cuts = add(m.filemenu, "cuts", "Bookmarks ...");
    m.editbook = add(m.cuts, "editbook", "Load / Add / Remove");
    m.line8 = add(m.filemenu, "line8", "-");
    m.efm3 = add(m.filemenu, "efm3", "File Manager...");
    m.mcopy = add(m.efm3, "mcopy", "Copy ...");
    m.mMove = add(m.efm3, "mMove", "Move ...");
    m.mline = add(m.efm3, "mline", "-");
    m.mdelete = add(m.efm3, "mdelete", "Delete ...");
    m.mrename = add(m.efm3, "mrename", "Rename ...");
    m.mline2 = add(m.efm3, "mline2", "-");
    m.mopen = add(m.efm3, "mopen", "Open ...");
    m.lineshort = add(m.filemenu, "lineshort", "-");
    m.copyto = add(m.filemenu, "copyto", "Copy -> Clipboard");
    m.view2 = add(m.filemenu, "view2", "Paste  ->  View");
    m.exitline = add(m.filemenu, "exitline", "-");
    m.systray = add(m.filemenu, "systray", "Place in SysTray...", QKeySequence(Qt::CTRL | Qt::Key_Z));
    m.exitmenu = add(m.filemenu, "exitmenu", "Exit");

    m.optionmenu = top("optionmenu", "&View");
    m.fullscreen1 = add(m.optionmenu, "fullscreen1", "Full Screen View...", QKeySequence(Qt::CTRL | Qt::Key_F));
    m.line = add(m.optionmenu, "line", "-");
    m.St1 = add(m.optionmenu, "St1", "Stretched Size");
    m.auto1 = add(m.optionmenu, "auto1", "Auto-Fit Size");
    m.Act1 = add(m.optionmenu, "Act1", "Actual Size");
    m.line2 = add(m.optionmenu, "line2", "-");
    m.fullscreen = add(m.optionmenu, "fullscreen", "Full Screen SlideShow...", QKeySequence(Qt::Key_F2));
    m.viewmenu = add(m.optionmenu, "viewmenu", "Win Mode SlideShow...", QKeySequence(Qt::Key_F3));
    m.line3 = add(m.optionmenu, "line3", "-");
    m.wallpp = add(m.optionmenu, "wallpp", "Set As Wallpaper...");
    m.Tile1 = add(m.wallpp, "Tile1", "Tile...", QKeySequence(Qt::CTRL | Qt::Key_T));
    m.Center1 = add(m.wallpp, "Center1", "Center...", QKeySequence(Qt::CTRL | Qt::Key_C));
    m.Stretch12 = add(m.wallpp, "Stretch12", "Stretch...", QKeySequence(Qt::CTRL | Qt::Key_S));

    m.Option2 = top("Option2", "&Options");
    m.go1 = add(m.Option2, "go1", "Creat / View PicFolder...");
    m.FolderOp = add(m.Option2, "FolderOp", "Folder Operation...");
    m.LoadF = add(m.FolderOp, "LoadF", "Open Folder in Windows...", QKeySequence(Qt::CTRL | Qt::Key_O));
    m.goto1 = add(m.FolderOp, "goto1", "Load \"Default Folder\"", QKeySequence(Qt::CTRL | Qt::Key_J));
    m.refresh1 = add(m.FolderOp, "refresh1", "Refresh File / Folder list", QKeySequence(Qt::Key_F5));
    m.line56 = add(m.Option2, "line56", "-");
    m.slide1 = add(m.Option2, "slide1", "SlideShow...");
    m.startup1 = add(m.Option2, "startup1", "Start up ");
    m.defolder = add(m.startup1, "defolder", "Default Folder");
    m.mintray = add(m.startup1, "mintray", "Minmize to Tray");
    m.BackC = add(m.Option2, "BackC", "Background Color");
    m.Grey = add(m.BackC, "Grey", "Light Grey");
    m.Black = add(m.BackC, "Black", "Dark Black");
    m.Brown = add(m.BackC, "Brown", "Dark Grey");
    m.colorline = add(m.BackC, "colorline", "-");
    m.other = add(m.BackC, "other", "Other...");

    m.restore = top("restore", "&Restore");

    m.help1 = top("help1", "&Help");
    m.readme = add(m.help1, "readme", "Content...");
    m.ontheweb = add(m.help1, "ontheweb", "LDX on the Web...");
    m.About1 = add(m.help1, "About1", "About Quill's Personal Viewer");

    m.stop1 = top("stop1", "&Cancel");
    m.pause1 = top("pause1", "&Pause");
    m.play1 = top("play1", "&Resume");

    m.picact = top("picact", "&PicAct");
    m.largev = add(m.picact, "largev", "Larger View");
    m.someline = add(m.picact, "someline", "-");
    m.St2 = add(m.picact, "St2", "Stretched Size");
    m.auto3 = add(m.picact, "auto3", "Auto-Fit Size");
    m.Act2 = add(m.picact, "Act2", "Actual Size");
    m.actline = add(m.picact, "actline", "-");
    m.setas = add(m.picact, "setas", "Set As Wallpaper...");
    m.Tile2 = add(m.setas, "Tile2", "Tile...");
    m.Cemter2 = add(m.setas, "Cemter2", "Center...");
    m.Stretch13 = add(m.setas, "Stretch13", "Stretch...");
    m.separate = add(m.picact, "separate", "-");
    m.copyto2 = add(m.picact, "copyto2", "Copy -> Clipboard");
    m.view3 = add(m.picact, "view3", "Paste  ->  View");

    m.systray1 = top("systray1", "Access");
    m.ok = add(m.systray1, "ok", "Place in Systray...");

    m.back1 = top("back1", "&Back");
    m.next1 = top("next1", "&Next");

    m.ops = top("ops", "&Options");
    m.seindex = add(m.ops, "seindex", "Jump to Index");
    m.efm2 = add(m.ops, "efm2", "File Manager...");
    m.speed3 = add(m.ops, "speed3", "SlideShow..");
    m.lineline = add(m.ops, "lineline", "-");
    m.Tray1 = add(m.ops, "Tray1", "SysTr&ay...");

    m.traymenu1 = top("traymenu1", "TrayMenu");
    m.startslide = add(m.traymenu1, "startslide", "Start SlideShow");
    m.openview = add(m.traymenu1, "openview", "Open Viewer");

    for (MenuItem *hidden : {m.restore, m.stop1, m.pause1, m.play1, m.picact, m.systray1, m.back1, m.next1, m.ops,
                             m.traymenu1, m.efm2})
        hidden->setVisible(false);
    m.auto1->setChecked(true);
}
