#pragma once

#include "controls/Form.h"

namespace controls {
class ImageControl;
class PictureBox;
} // namespace controls

namespace view {

// A window without border or title bar for a picture alone on the screen:
// one picture box in the window-text colour (black in the usual scheme)
// holding one image control. The full view and the full-screen slide show
// are such windows.
class ScreenForm : public controls::Form {
    Q_OBJECT
public:
    controls::PictureBox *Picture1 = nullptr;
    controls::ImageControl *Image1 = nullptr;

protected:
    ScreenForm();
};

} // namespace view
