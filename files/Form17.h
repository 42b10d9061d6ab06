#pragma once

#include "controls/Form.h"
#include "platform/ShellFileOps.h"

#include <QSizeF>
#include <QString>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace controls {
class DirListBox;
class DriveListBox;
class FileListBox;
class Label;
} // namespace controls

namespace files {

// The operations as the setting "Action" names them.
namespace action {
inline const QString Copy = QStringLiteral("Copy");
inline const QString Move = QStringLiteral("Move");
inline const QString Delete = QStringLiteral("Delete");
inline const QString Rename = QStringLiteral("Rename");
inline const QString Open = QStringLiteral("Open");
} // namespace action

// The refresh marker's text when the dialog was opened from the main
// window's file list: after the operation the main window re-reads its list.
inline const QString Changeable = QStringLiteral("Changeable");

// The "Confirm File Operation" dialog: copies one picture file to a folder,
// moves it there, sends it to the trash, renames it or opens it with the
// desktop's program for it. It is loaded fresh for each use and unloaded
// after OK or Cancel; the operation chosen and the destination folder are
// remembered in the settings "Action" and "CopyPath".
class Form17 : public controls::Form {
    Q_OBJECT
public:
    // The loaded dialog; when none is loaded, a new one in its design state,
    // whose Form_Load has run.
    static Form17 &load();
    // The loaded dialog, or nullptr.
    static Form17 *loaded();

    // Sets the file to work on (a Windows path) and shows the dialog without
    // modality. This is how a slide show opens it: without the refresh
    // marker, so the main window's lists stay as they are afterwards.
    void showFor(const QString &sourcePath);

    // "Action"
    QGroupBox *Frame2 = nullptr;
    QRadioButton *Option1 = nullptr; // "Copy To"
    QRadioButton *Option9 = nullptr; // "Move To"
    QRadioButton *Option8 = nullptr; // "Delete"
    QRadioButton *Option6 = nullptr; // "Rename"
    QRadioButton *Option7 = nullptr; // "Open"
    QLabel *Picture1 = nullptr;               // the marker picture beside the selected option
    controls::Label *Label1 = nullptr;        // hidden: the file to work on
    // "Destination"
    QGroupBox *Frame1 = nullptr;
    controls::DriveListBox *Drive1 = nullptr;
    controls::DirListBox *Dir1 = nullptr;
    controls::FileListBox *File1 = nullptr; // hidden; follows Dir1
    QPushButton *Command3 = nullptr;        // "&Bookmark"
    controls::Label *Label4 = nullptr;      // hidden refresh marker
    // "Confirm Operation"
    QGroupBox *Frame3 = nullptr;
    QLineEdit *Text1 = nullptr;        // the new name, for Rename
    controls::Label *Label5 = nullptr; // "Type the full name (eg. abc.bmp)"
    QPushButton *Command1 = nullptr;   // "&OK !"
    QPushButton *Command2 = nullptr;   // "&Cancel"

    void Form_Load();
    void Option1_Click();
    void Option9_Click();
    void Option8_Click();
    void Option6_Click();
    void Option7_Click();
    void DisableDestination();
    void EnableDestination();
    void Drive1_Change();
    void Dir1_Change();
    void Dir1_MouseDown(int button, int shift, float x, float y);
    // "&OK !": performs the selected operation. The bookmark window's apply
    // step runs it after setting Drive1 and Dir1.
    void Command1_Click();
    void Command2_Click();
    // "&Bookmark": the bookmark window, which a disabled main window makes a
    // destination picker; its apply step runs Command1_Click.
    void Command3_Click();

protected:
    void Form_Unload(int &cancel) override;

private:
    Form17();
    void createControls();
    // Puts the marker beside the option whose top (in twips) is given.
    void markOption(double optionTop);
    // Steps 3 to 7 of OK: the selected operation, its result.
    platform::FileOpResult performSelectedOperation(const QString &source);
    void setOuterSizeTwips(double width, double height);

    QSizeF m_outerSize; // twips
    bool m_inDriveFallback = false;
};

} // namespace files
