#pragma once

#include "controls/Form.h"

class QLabel;

namespace controls {
class PictureBox;
}

namespace desktop {

// The About window: the product, its version and what it is built with. A
// fixed window without commands, closed with its close box.
class Form4 : public controls::Form {
    Q_OBJECT
public:
    // The loaded window, or a new one in its design state.
    static Form4 &instance() { return controls::FormInstance<Form4>::get(); }
    static Form4 *loaded() { return controls::FormInstance<Form4>::loaded(); }

    controls::PictureBox *Picture1 = nullptr; // the product picture
    QLabel *Label1 = nullptr; // product and version
    QLabel *Label2 = nullptr; // what the viewer does and what it is built with

private:
    friend class controls::FormInstance<Form4>;
    Form4();
};

} // namespace desktop
