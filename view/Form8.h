#pragma once

#include "picture/Picture.h"
#include "view/ScreenForm.h"

#include <QSize>

namespace view {

// The full view: a borderless window without a title bar that covers the
// screen and shows one picture on the window-text colour (black in the usual
// scheme). A click on the picture or around it closes the window.
class Form8 : public ScreenForm {
    Q_OBJECT
public:
    // The loaded full-view window, or a new one in its design state when
    // none is loaded. An unloaded window is deleted, so the next call starts
    // afresh.
    static Form8 &instance();
    // The loaded window, or nullptr.
    static Form8 *loaded();

    void Image1_Click();
    void Picture1_Click();

private:
    Form8();
};

// Opens the full view of `picture` on a screen of `screenPixels`: the window
// and its box take the screen's size and are shown; the picture is placed at
// its natural size, or shrunk to fit with its aspect ratio kept (the width
// tested first, then the height), and centred by the screen's size in twips.
// A picture decoded for a smaller view is decoded again for the screen's
// own pixels.
void showFullView(Form8 &form, const picture::Picture &picture, QSize screenPixels);

} // namespace view
