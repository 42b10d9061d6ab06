#pragma once

#include "controls/Form.h"

namespace controls {
class PictureBox;
}

namespace app {

// The start-up window: a borderless picture shown while the main window is
// created, then unloaded.
class Form10 : public controls::Form {
    Q_OBJECT
public:
    explicit Form10(QWidget *parent = nullptr);

    controls::PictureBox *Picture1 = nullptr;

    void Form_Load();
};

} // namespace app
