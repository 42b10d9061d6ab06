#pragma once

#include "controls/Form.h"

class QPushButton;

namespace controls {
class DirListBox;
class DriveListBox;
class Label;
} // namespace controls

namespace files {

// "Default Folder...": shows the stored default folder ("AutoJump") and lets
// the user choose another with its drive and folder lists, or turn it off.
class Form2 : public controls::Form {
    Q_OBJECT
public:
    // The loaded window, or a new one, loaded from the setting, when none is.
    static Form2 &instance() { return controls::FormInstance<Form2>::get(); }
    static Form2 *loaded() { return controls::FormInstance<Form2>::loaded(); }

    controls::Label *Label1 = nullptr; // "Current Default Folder :"
    controls::Label *Label4 = nullptr; // the stored folder
    controls::Label *Label5 = nullptr; // "Disabled", in Label4's place
    controls::DriveListBox *Drive1 = nullptr;
    controls::DirListBox *Dir1 = nullptr;
    QPushButton *Command1 = nullptr; // "&OK"
    QPushButton *Command2 = nullptr; // "&Cancel"
    QPushButton *Command3 = nullptr; // "&Disabled "

    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void Drive1_Change();

private:
    friend class controls::FormInstance<Form2>;
    Form2();
    void createControls();
    void Form_Load();
};

} // namespace files
