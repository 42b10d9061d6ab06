#pragma once

#include "controls/Form.h"
#include "platform/Tray.h"

#include <QtGlobal>

namespace controls {
class Label;
class PictureBox;
} // namespace controls

namespace app {

// The main window. It owns the state every other window reads and writes:
// the browser lists, the picture pane, the hidden state labels, the show
// position and the slide-show delay. Its handlers are defined in the folder
// of the subsystem each belongs to.
class Form1 : public controls::Form {
    Q_OBJECT
public:
    explicit Form1(QWidget *parent = nullptr);
    ~Form1() override;

    // The loaded main window, or null.
    static Form1 *instance();

    // ---- state shared with the other windows
    qint32 cuspeed = 0; // slide-show delay in milliseconds
    platform::NotifyIconData TrayIconData;

    // ---- controls
    controls::PictureBox *Picture5 = nullptr; // the picture pane
    // Hidden notice pictures, copied into the picture control as status notices.
    controls::PictureBox *Picture1 = nullptr; // "Please Wait..."
    controls::PictureBox *Picture2 = nullptr; // "Please Select A File"
    controls::PictureBox *Picture3 = nullptr; // "Process Completed"
    controls::PictureBox *Picture4 = nullptr; // "Error Occur"
    controls::Label *Label2 = nullptr; // path shown by the window-mode show; empty when none runs
    controls::Label *Label3 = nullptr; // path of the loaded picture; empty when none is loaded

    // ---- life cycle (app/)
    void Form_Load();
    void UnloadAllForms();
    void exitmenu_Click();

    // ---- tray (desktop/)
    void systray_Click();

    // ---- background colour (desktop/)
    void Grey_Click();
    void Black_Click();
    void Brown_Click();
    void other_Click();

protected:
    void Form_Unload(int &cancel) override;

private:
    void createControls();
    void fillTrayIconData();
};

} // namespace app
