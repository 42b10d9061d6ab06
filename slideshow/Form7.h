#pragma once

#include "controls/Form.h"

class QGroupBox;
class QPushButton;

namespace controls {
class MenuItem;
} // namespace controls

namespace slideshow {

// Ends the full-screen show as the panel's "&Cancel" does: back to the main
// window with its folder and the completion banner. Also what the show does
// when the system closes its window.
void cancelFullScreenShow();

// The full-screen show's control panel: a small window above the show with
// Back and Next buttons and a menu bar to pause, resume, hide the panel,
// end the show, switch the information lines, open the settings, jump to a
// position and work on the picture on screen.
class Form7 : public controls::Form {
    Q_OBJECT
public:
    // The loaded panel, or a new one in its design state ("&Pause" shown,
    // "&Resume" hidden, "ShowInfo").
    static Form7 &instance();
    // The loaded panel, or nullptr.
    static Form7 *loaded();

    QGroupBox *Frame1 = nullptr;
    QPushButton *Command1 = nullptr; // Back
    QPushButton *Command2 = nullptr; // Next

    // &File
    controls::MenuItem *file1 = nullptr;
    controls::MenuItem *copy1 = nullptr;
    controls::MenuItem *move1 = nullptr;
    controls::MenuItem *fileline1 = nullptr;
    controls::MenuItem *delete1 = nullptr;
    controls::MenuItem *rename1 = nullptr;
    controls::MenuItem *fileline2 = nullptr;
    controls::MenuItem *open1 = nullptr;
    // &Option
    controls::MenuItem *op = nullptr;
    controls::MenuItem *selindex = nullptr;
    controls::MenuItem *opline1 = nullptr;
    controls::MenuItem *showinfo = nullptr;
    controls::MenuItem *speed1 = nullptr;
    controls::MenuItem *opline2 = nullptr;
    controls::MenuItem *cancek1 = nullptr;
    controls::MenuItem *resume1 = nullptr;
    controls::MenuItem *pause1 = nullptr;
    controls::MenuItem *hide1 = nullptr;

    void pause1_Click();
    void resume1_Click();
    void Command1_Click();
    void Command2_Click();
    void hide1_Click();
    void cancek1_Click();
    void showinfo_Click();
    void speed1_Click();
    void selindex_Click();
    void copy1_Click();
    void move1_Click();
    void delete1_Click();
    void rename1_Click();
    void open1_Click();
    // The file operation dialog on the picture on screen.
    void OpenFileOp();

    // Shows the panel (modeless) in front of the full-screen window; the
    // first time near the bottom of the screen, centred.
    void showAboveTheShow();

private:
    explicit Form7(QWidget *show);
    void createMenus();
    // Each file item stores its operation in "Action", then opens the dialog.
    void fileOperation(const QString &action);

    bool m_placed = false;
};

} // namespace slideshow
