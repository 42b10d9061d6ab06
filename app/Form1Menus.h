#pragma once

#include "controls/MenuItem.h"

class QMainWindow;

// The main window's menu tree: the menu bar and the pop-up menus, which are
// hidden top-level items. One member per item, named as the item, so that a
// handler reads `menus.auto1->setChecked(true)`.
struct Form1Menus {
    using Item = controls::MenuItem;

    // &File
    Item *filemenu = nullptr;
    Item *cuts = nullptr;
    Item *editbook = nullptr;
    Item *line8 = nullptr;
    Item *efm3 = nullptr;
    Item *mcopy = nullptr;
    Item *mMove = nullptr;
    Item *mline = nullptr;
    Item *mdelete = nullptr;
    Item *mrename = nullptr;
    Item *mline2 = nullptr;
    Item *mopen = nullptr;
    Item *lineshort = nullptr;
    Item *copyto = nullptr;
    Item *view2 = nullptr;
    Item *exitline = nullptr;
    Item *systray = nullptr;
    Item *exitmenu = nullptr;

    // &View
    Item *optionmenu = nullptr;
    Item *fullscreen1 = nullptr;
    Item *line = nullptr;
    Item *St1 = nullptr;
    Item *auto1 = nullptr;
    Item *Act1 = nullptr;
    Item *line2 = nullptr;
    Item *fullscreen = nullptr;
    Item *viewmenu = nullptr;
    Item *line3 = nullptr;
    Item *wallpp = nullptr;
    Item *Tile1 = nullptr;
    Item *Center1 = nullptr;
    Item *Stretch12 = nullptr;

    // &Options
    Item *Option2 = nullptr;
    Item *go1 = nullptr;
    Item *FolderOp = nullptr;
    Item *LoadF = nullptr;
    Item *goto1 = nullptr;
    Item *refresh1 = nullptr;
    Item *line56 = nullptr;
    Item *slide1 = nullptr;
    Item *startup1 = nullptr;
    Item *defolder = nullptr;
    Item *mintray = nullptr;
    Item *BackC = nullptr;
    Item *Grey = nullptr;
    Item *Black = nullptr;
    Item *Brown = nullptr;
    Item *colorline = nullptr;
    Item *other = nullptr;

    Item *restore = nullptr;

    // &Help
    Item *help1 = nullptr;
    Item *readme = nullptr;
    Item *ontheweb = nullptr;
    Item *About1 = nullptr;

    // The window-mode slide show's bar
    Item *stop1 = nullptr;
    Item *pause1 = nullptr;
    Item *play1 = nullptr;

    // Pop-up menu of the picture
    Item *picact = nullptr;
    Item *largev = nullptr;
    Item *someline = nullptr;
    Item *St2 = nullptr;
    Item *auto3 = nullptr;
    Item *Act2 = nullptr;
    Item *actline = nullptr;
    Item *setas = nullptr;
    Item *Tile2 = nullptr;
    Item *Cemter2 = nullptr;
    Item *Stretch13 = nullptr;
    Item *separate = nullptr;
    Item *copyto2 = nullptr;
    Item *view3 = nullptr;

    // Pop-up menu of the banner image
    Item *systray1 = nullptr;
    Item *ok = nullptr;

    Item *back1 = nullptr;
    Item *next1 = nullptr;

    // &Options of a paused window-mode show
    Item *ops = nullptr;
    Item *seindex = nullptr;
    Item *efm2 = nullptr;
    Item *speed3 = nullptr;
    Item *lineline = nullptr;
    Item *Tray1 = nullptr;

    // Pop-up menu of the tray icon
    Item *traymenu1 = nullptr;
    Item *startslide = nullptr;
    Item *openview = nullptr;
};

// Creates the whole tree in the window's menu bar, in its initial state:
// the four normal menus shown, the slide-show items and pop-up menus hidden,
// "Auto-Fit Size" checked. The items belong to the window.
void buildForm1Menus(Form1Menus &m, QMainWindow *window);
