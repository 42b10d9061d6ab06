#pragma once

#include "controls/Form.h"

#include <QLocale>
#include <QString>

#include <optional>

class QCheckBox;
class QGroupBox;
class QLineEdit;
class QPushButton;

namespace controls {
class Label;
} // namespace controls

namespace slideshow {

// Seconds in the delay box, as the user's locale writes a floating-point
// number: its decimal separator, no group separators, up to 15 significant
// digits, no trailing zeros (1 is "1", two and a half "2.5").
QString delayText(double seconds, const QLocale &locale = QLocale());
// The box's text read the same way (blanks around it allowed); no value for
// text that is not a finite number.
std::optional<double> delayNumber(const QString &text, const QLocale &locale = QLocale());
// What OK makes of the box's text: the delay in milliseconds that is stored
// and used, within 0 to 60 seconds, rounded half to even, and 1 (the
// shortest the timers accept) for no delay or one that rounds to none. No
// value for text that is not a number: OK then leaves the delay as it was.
std::optional<qint32> delayMilliseconds(const QString &text, const QLocale &locale = QLocale());

// The slide-show settings dialog ("SlideShow"): the delay of both shows,
// whether they loop, and the information lines of the full-screen show.
class Form3 : public controls::Form {
    Q_OBJECT
public:
    enum class Size {
        Designed, // the whole dialog (main window and window-mode show)
        Cut,      // only the delay frame, 3600 × 2805 twips outside (full-screen panel)
    };
    // Loads the dialog, or takes the one already open, and shows it modeless
    // in front. Cut gives it its cut size; Designed leaves an open dialog's
    // size as it is (a newly loaded one has its designed size).
    static Form3 &open(Size size);
    // The loaded dialog, or nullptr.
    static Form3 *loaded();

    QGroupBox *Frame1 = nullptr;
    controls::Label *Label1 = nullptr;
    controls::Label *Label2 = nullptr; // the delay in words
    QGroupBox *Frame2 = nullptr;
    QLineEdit *Text1 = nullptr; // the delay box, in seconds
    QPushButton *Command3 = nullptr; // "+"
    QPushButton *Command4 = nullptr; // "-"
    QPushButton *Command5 = nullptr; // "X"
    QCheckBox *Check4 = nullptr;     // "Enabled Loop"
    QPushButton *Command1 = nullptr; // "&OK"
    QPushButton *Command2 = nullptr; // "&Cancel"
    QGroupBox *Frame6 = nullptr;
    controls::Label *Label4 = nullptr;
    controls::Label *Label5 = nullptr;
    controls::Label *Label6 = nullptr;
    QCheckBox *Check1 = nullptr; // "Locate"
    QCheckBox *Check2 = nullptr; // "FileSize"
    QCheckBox *Check3 = nullptr; // "ImageSize"

    void Form_Load();
    void Text1_Change();
    void Command3_Click();
    void Command4_Click();
    void Command5_Click();
    void Check1_Click();
    void Check2_Click();
    void Check3_Click();
    void Command1_Click();
    void Command2_Click();

private:
    Form3();
    void createControls();
    // Gives the delay in words the width its text needs.
    void fitDelayLabel();
    // The box's number for the buttons; text that is no number counts as 0.
    double boxNumber() const;

    bool m_placed = false;
};

} // namespace slideshow
