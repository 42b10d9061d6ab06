#pragma once

#include "controls/MenuItem.h"

#include <QAction>

// Chooses a main-window menu item, as the user does, and returns the window
// it opened; the test run stops when it opened none.
template <typename F>
F &openFromMenu(controls::MenuItem *item)
{
    item->action()->trigger();
    F *form = F::loaded();
    if (!form)
        qFatal("%s did not open its window", qPrintable(item->Name()));
    return *form;
}
