#pragma once

#include "slideshow/DecodeAhead.h"
#include "view/ScreenForm.h"

#include <QRect>
#include <QSize>

namespace controls {
class Label;
} // namespace controls

namespace slideshow {

// The full-screen show's window: no border and no title bar, sized to the
// screen by the show's start, one picture on the window-text colour (black
// in the usual scheme) and three green information lines along the top. A
// click on the picture or around it pauses the show and opens its control
// panel; clicks on the lines do nothing.
class Form6 : public view::ScreenForm {
    Q_OBJECT
public:
    // The loaded window, or a new one in its design state.
    static Form6 &instance();
    // The loaded window, or nullptr.
    static Form6 *loaded();

    controls::Label *Label1 = nullptr; // the picture's full path
    controls::Label *Label2 = nullptr; // its natural size
    controls::Label *Label3 = nullptr; // file size and position

    void Image1_Click();
    void Picture1_Click();

    // Gives the window and its picture box the screen's size, from the
    // screen's top-left corner (pixels).
    void coverScreen(const QRect &screen);
    QSize screenPixels() const { return m_screen; }

    // How the show draws on this window, and its worker.
    ShowTarget showTarget() const;
    DecodeAhead &decodeAhead() { return m_decodeAhead; }

    // Unloads the window as the end of the show or Cancel does. Any other
    // unload (the system closing it, the program shutting down) ends the
    // show first, exactly as Cancel does, so that the main window is never
    // left disabled.
    void unloadAtShowEnd();

protected:
    void Form_Unload(int &cancel) override;

private:
    Form6();

    QSize m_screen;
    bool m_showEnding = false;
    DecodeAhead m_decodeAhead;
};

} // namespace slideshow
