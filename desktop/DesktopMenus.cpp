// The menu items of the tray settings, wallpaper, clipboard, help and About.
#include "app/Form1.h"
#include "controls/MenuItem.h"

namespace app {

void Form1::connectDesktopHandlers()
{
    const auto on = [this](controls::MenuItem *item, void (Form1::*handler)()) {
        connect(item, &controls::MenuItem::Click, this, handler);
    };
    on(mintray, &Form1::mintray_Click);
    on(Tile1, &Form1::Tile1_Click);
    on(Center1, &Form1::Center1_Click);
    on(Stretch12, &Form1::Stretch12_Click);
    on(Tile2, &Form1::Tile2_Click);
    on(Cemter2, &Form1::Cemter2_Click);
    on(Stretch13, &Form1::Stretch13_Click);
    on(copyto, &Form1::Copyto_Click);
    on(copyto2, &Form1::copyto2_Click);
    on(view2, &Form1::view2_Click);
    on(view3, &Form1::view3_Click);
    on(readme, &Form1::readme_Click);
    on(ontheweb, &Form1::ontheweb_Click);
    on(About1, &Form1::About1_Click);
}

} // namespace app
