#pragma once

#include "controls/Form.h"

class QPushButton;
class QRadioButton;

namespace controls {
class Label;
class PictureBox;
} // namespace controls

namespace desktop {

// "Minimize to TrayIcon": whether the viewer starts in the notification area,
// kept as "TrayIcon". The choice takes effect at the next start.
class Form5 : public controls::Form {
    Q_OBJECT
public:
    // The loaded window, or a new one that has run its load.
    static Form5 &instance() { return controls::FormInstance<Form5>::get(); }
    static Form5 *loaded() { return controls::FormInstance<Form5>::loaded(); }

    QRadioButton *Option2 = nullptr; // start in the tray
    controls::Label *Label2 = nullptr; // "Enabled"
    QRadioButton *Option1 = nullptr; // start normally
    controls::Label *Label3 = nullptr; // "Disabled"
    QPushButton *Command1 = nullptr; // "&OK"
    QPushButton *Command2 = nullptr; // "&Cancel"
    controls::PictureBox *Picture1 = nullptr; // the illustration

    void Form_Load();
    void Label2_Click();
    void Label3_Click();
    void Command1_Click();
    void Command2_Click();

private:
    friend class controls::FormInstance<Form5>;
    Form5();
};

} // namespace desktop
